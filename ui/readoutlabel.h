// A one-line label for the read-outs, which change on every pointer movement. It shows its text
// left aligned and vertically centred in the window's font and colours, cut off where it does
// not fit, as a QLabel does. Unlike a QLabel it paints opaquely, so the window behind it is not
// repainted with it, and it draws from glyphs looked up once per character instead of shaping the
// text on every paint: the two made a stroke step a fifth cheaper (see docs/performance.md).
#pragma once

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QWidget>

class ReadoutLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit ReadoutLabel(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Glyph
    {
        quint32 index;
        qreal advance;
    };
    Glyph glyphFor(QChar c);
    static bool canDrawGlyphs(const QString &text);
    void layOutGlyphs();

    QString m_text;
    QRawFont m_rawFont;
    QHash<char16_t, Glyph> m_glyphs;
    QGlyphRun m_run;
    bool m_runIsCurrent = false;
};
