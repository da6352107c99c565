#include "ui/picturebox.h"

#include "ui/errorreport.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

const QColor FrameColour(255, 0, 0);

// A workaround of the toolkit, for speed. Qt's raster engine hands the drawing of a
// rectangle of 96 rows or more to its worker threads and waits for them; for the two squares a
// stroke step exposes, that hand-over costs more than the copy. Drawn in strips of fewer rows,
// the exposed areas stay on this thread. The stroke step measured with and without the strips
// is in docs/performance.md, since figures kept here would go stale.
constexpr int StripRows = 64;

void drawOnThisThread(QPainter &painter, const QImage &image, const QRect &rect)
{
    for (int top = rect.top(); top <= rect.bottom(); top += StripRows) {
        const QRect strip(rect.left(), top, rect.width(),
                          std::min(StripRows, rect.bottom() + 1 - top));
        painter.drawImage(strip, image, strip);
    }
}

} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
    , m_image(layout::Form1::Picture1.size())
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(tr("Canvas"));
    setAccessibleDescription(
            tr("The grid of squares. Drag across it with the left or the right mouse button to "
               "join the squares into a passage; the labels above show the square under the "
               "pointer. Command1 sets the grid's size."));
    // The image covers every pixel, and keeps its place when the widget grows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(layout::Form1::Picture1.size());
}

bool PictureBox::setCanvasSize(QSize size)
{
    if (!m_image.resize(size))
        return false;
    resize(size);
    return true;
}

void PictureBox::PaintPicture(const QImage &picture, const QRect &target)
{
    const QRect changed = m_image.draw(picture, target);
    if (!changed.isEmpty())
        update(changed);
}

void PictureBox::setShape1(const QRect &frame)
{
    if (frame == m_frame)
        return;
    update(m_frame);
    m_frame = frame;
    update(m_frame);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    guarded(window(), [&] {
        QPainter painter(this);
        for (const QRect &rect : event->region())
            drawOnThisThread(painter, m_image.pixels(), rect);

        if (!m_frame.isEmpty() && event->region().intersects(m_frame)) {
            // Four strips one device pixel wide along the inside of the square. On a scaled
            // screen a one-pixel pen would be rounded on its own; filled strips fall on the very
            // device pixels that the edges of the square's tile are drawn on.
            const qreal line = 1.0 / devicePixelRatioF();
            const QRectF square(m_frame);
            painter.fillRect(QRectF(square.left(), square.top(), square.width(), line),
                             FrameColour);
            painter.fillRect(QRectF(square.left(), square.bottom() - line, square.width(), line),
                             FrameColour);
            painter.fillRect(QRectF(square.left(), square.top(), line, square.height()),
                             FrameColour);
            painter.fillRect(QRectF(square.right() - line, square.top(), line, square.height()),
                             FrameColour);
        }
    });
}

QPoint PictureBox::pixelUnder(const QPointF &position)
{
    return QPoint(int(std::floor(position.x())), int(std::floor(position.y())));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->modifiers(), pixelUnder(event->position()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->buttons(), event->modifiers(), pixelUnder(event->position()));
}

void PictureBox::setSquareUnderPointer(int index, int last)
{
    if (index == m_underPointer && last == m_lastSquare)
        return; // told already, or to be told
    m_underPointer = index;
    m_lastSquare = last;
    m_settle.start(SettleTime, this);
}

void PictureBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_settle.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_settle.stop();
    guarded(window(), [this] {
        m_readout = { m_underPointer, m_lastSquare, m_readoutText ? m_readoutText() : QString() };
        QAccessibleValueChangeEvent changed(this, m_readout.index);
        QAccessible::updateAccessibility(&changed);
    });
}
