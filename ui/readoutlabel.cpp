#include "readoutlabel.h"

#include <QEvent>
#include <QPainter>

ReadoutLabel::ReadoutLabel(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReadoutLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_runIsCurrent = false;
    update();
}

QSize ReadoutLabel::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, m_text);
}

void ReadoutLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_rawFont = QRawFont();
        m_glyphs.clear();
        m_runIsCurrent = false;
    }
    QWidget::changeEvent(event);
}

ReadoutLabel::Glyph ReadoutLabel::glyphFor(QChar c)
{
    const auto found = m_glyphs.constFind(c.unicode());
    if (found != m_glyphs.constEnd())
        return *found;
    const QList<quint32> indexes = m_rawFont.glyphIndexesForString(QString(c));
    Glyph glyph { indexes.value(0), 0 };
    if (indexes.size() == 1)
        glyph.advance = m_rawFont.advancesForGlyphIndexes(indexes).value(0).x();
    return *m_glyphs.insert(c.unicode(), glyph);
}

// Glyph by glyph is right for the plain ASCII captions the read-outs show; anything else (other
// scripts, combining marks) goes through Qt's full text layout.
bool ReadoutLabel::canDrawGlyphs(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

void ReadoutLabel::layOutGlyphs()
{
    if (!m_rawFont.isValid())
        m_rawFont = QRawFont::fromFont(font());
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(m_text.size());
    positions.reserve(m_text.size());
    qreal x = 0;
    for (QChar c : std::as_const(m_text)) {
        const Glyph glyph = glyphFor(c);
        indexes.append(glyph.index);
        positions.append(QPointF(x, 0));
        x += glyph.advance;
    }
    m_run.setRawFont(m_rawFont);
    m_run.setGlyphIndexes(indexes);
    m_run.setPositions(positions);
    m_runIsCurrent = true;
}

void ReadoutLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    if (!canDrawGlyphs(m_text)) {
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_text);
        return;
    }
    if (!m_runIsCurrent)
        layOutGlyphs();
    // Vertically centred, as a label places one line.
    const qreal lineHeight = m_rawFont.ascent() + m_rawFont.descent();
    const qreal baseline = (height() - lineHeight) / 2 + m_rawFont.ascent();
    painter.setClipRect(rect());
    painter.drawGlyphRun(QPointF(0, baseline), m_run);
}
