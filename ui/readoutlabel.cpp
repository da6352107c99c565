#include "readoutlabel.h"

#include <QEvent>
#include <QPainter>

ReadoutLabel::ReadoutLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReadoutLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_rawFont = QRawFont();
        m_glyphs.clear();
        m_runText.clear();
    }
    QLabel::changeEvent(event);
}

ReadoutLabel::Glyph ReadoutLabel::glyphFor(QChar c)
{
    const auto found = m_glyphs.constFind(c.unicode());
    if (found != m_glyphs.constEnd())
        return *found;
    if (!m_rawFont.isValid())
        m_rawFont = QRawFont::fromFont(font());
    const QList<quint32> indexes = m_rawFont.glyphIndexesForString(QString(c));
    Glyph glyph { indexes.value(0), 0 };
    if (indexes.size() == 1)
        glyph.advance = m_rawFont.advancesForGlyphIndexes(indexes).value(0).x();
    return *m_glyphs.insert(c.unicode(), glyph);
}

// Glyph by glyph is right for the plain ASCII captions the read-outs show; anything else (other
// scripts, combining marks) goes through Qt's full text layout.
bool ReadoutLabel::canDrawGlyphs(const QString &text) const
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

void ReadoutLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QString caption = text();
    if (!canDrawGlyphs(caption)) {
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), int(alignment()), caption);
        return;
    }
    if (caption != m_runText) {
        QList<quint32> indexes;
        QList<QPointF> positions;
        indexes.reserve(caption.size());
        positions.reserve(caption.size());
        qreal x = 0;
        for (QChar c : caption) {
            const Glyph glyph = glyphFor(c);
            indexes.append(glyph.index);
            positions.append(QPointF(x, 0));
            x += glyph.advance;
        }
        m_run.setRawFont(m_rawFont);
        m_run.setGlyphIndexes(indexes);
        m_run.setPositions(positions);
        m_runText = caption;
    }
    // Left aligned and vertically centred, as a QLabel places one line.
    const QRect area = contentsRect();
    const qreal lineHeight = m_rawFont.ascent() + m_rawFont.descent();
    const qreal baseline = area.top() + (area.height() - lineHeight) / 2 + m_rawFont.ascent();
    painter.setClipRect(area);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawGlyphRun(QPointF(area.left(), baseline), m_run);
}
