#include "picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

std::int16_t buttonMask(Qt::MouseButtons buttons)
{
    std::int16_t mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

std::int16_t shiftState(Qt::KeyboardModifiers modifiers)
{
    std::int16_t state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= 1;
    if (modifiers & Qt::ControlModifier)
        state |= 2;
    if (modifiers & Qt::AltModifier)
        state |= 4;
    return state;
}

const QColor FrameColour(255, 0, 0);

// Qt blends 96 rows or more on its worker threads; for a tile or two the hand-over costs more
// than the copy (measured in bench/), so the canvas draws in strips that stay on this thread.
constexpr int StripRows = 64;

} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
    , m_image(DesignSize)
{
    setObjectName(QStringLiteral("Picture1"));
    // The image covers every pixel, and keeps its place when the widget grows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(DesignSize);
}

bool PictureBox::setCanvasSize(QSize size)
{
    if (!m_image.resize(size))
        return false;
    resize(size);
    return true;
}

void PictureBox::PaintPicture(const QImage &picture, float x1, float y1, float width1,
                              float height1)
{
    const QRect changed = m_image.paintPicture(picture, x1, y1, width1, height1);
    if (!changed.isEmpty())
        update(changed);
}

void PictureBox::setShape1(const CursorFrame &frame)
{
    if (frame == m_frame)
        return;
    const QRect before = frameRect();
    m_frame = frame;
    const QRect after = frameRect();
    if (before != after) {
        update(before);
        update(after);
    }
}

QRect PictureBox::frameRect() const
{
    return QRect(nearestPixel(m_frame.Left), nearestPixel(m_frame.Top), nearestPixel(m_frame.Width),
                 nearestPixel(m_frame.Height));
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (const QRect &rect : event->region()) {
        for (int top = rect.top(); top <= rect.bottom(); top += StripRows) {
            const QRect strip(rect.left(), top, rect.width(),
                              std::min(StripRows, rect.bottom() + 1 - top));
            painter.drawImage(strip, m_image.image(), strip);
        }
    }

    const QRect frame = frameRect();
    if (!frame.isEmpty() && event->region().intersects(frame)) {
        // Four strips one device pixel wide along the inside of the square. On a scaled screen
        // a one-pixel pen would be rounded on its own; filled strips fall on the very device
        // pixels that the edges of the square's tile are drawn on.
        const qreal line = 1.0 / devicePixelRatioF();
        const QRectF square(frame);
        painter.fillRect(QRectF(square.left(), square.top(), square.width(), line), FrameColour);
        painter.fillRect(QRectF(square.left(), square.bottom() - line, square.width(), line),
                         FrameColour);
        painter.fillRect(QRectF(square.left(), square.top(), line, square.height()), FrameColour);
        painter.fillRect(QRectF(square.right() - line, square.top(), line, square.height()),
                         FrameColour);
    }
}

QPointF PictureBox::pixelUnder(const QPointF &position)
{
    return QPointF(std::floor(position.x()), std::floor(position.y()));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = pixelUnder(event->position());
    emit mouseDown(buttonMask(event->button()), shiftState(event->modifiers()), float(at.x()),
                   float(at.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = pixelUnder(event->position());
    emit mouseMove(buttonMask(event->buttons()), shiftState(event->modifiers()), float(at.x()),
                   float(at.y()));
}
