// A label for the read-outs, which change on every pointer movement. It behaves as a QLabel
// (same text, font, left and vertically centred, cut off where it does not fit) but paints
// opaquely, so the window behind it is not repainted, and draws its caption from glyphs looked up
// once per character rather than shaping the text on every paint. Shaping and the window's
// repaint cost more than the rest of a stroke step together.
#pragma once

#include <QGlyphRun>
#include <QHash>
#include <QLabel>
#include <QRawFont>

class ReadoutLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ReadoutLabel(const QString &text, QWidget *parent = nullptr);

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
    bool canDrawGlyphs(const QString &text) const;

    QRawFont m_rawFont;
    QHash<char16_t, Glyph> m_glyphs;
    QGlyphRun m_run;
    QString m_runText;
};
