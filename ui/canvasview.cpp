#include "ui/canvasview.h"

#include "ui/picturebox.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>

namespace {
int stepFor(int overshoot)
{
    if (overshoot == 0)
        return 0;
    const int step
            = std::clamp(std::abs(overshoot), CanvasView::SlowestStep, CanvasView::FastestStep);
    return overshoot < 0 ? -step : step;
}
} // namespace

CanvasView::CanvasView(QWidget *canvas, QWidget *parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("canvasView"));
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window shows through around a small canvas, as if there were no scrolling area.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    // The canvas inside takes the focus; the view around it is no stop of its own, which a
    // screen reader would announce as nothing.
    setFocusPolicy(Qt::NoFocus);
    setWidget(canvas);
    canvas->installEventFilter(this);
}

void CanvasView::wheelEvent(QWheelEvent *event)
{
    // A wheel turned with no button down ends a drag whose release never reached the canvas.
    m_buttons &= event->buttons();
    // Shift turns the wheel sideways, as users expect of an editor; Qt's scroll bars would take
    // Shift to mean a page at a time.
    if (event->modifiers() & Qt::ShiftModifier) {
        QWheelEvent sideways(event->position(), event->globalPosition(),
                             event->pixelDelta().transposed(), event->angleDelta().transposed(),
                             event->buttons(), event->modifiers() & ~Qt::ShiftModifier,
                             event->phase(), event->inverted(), event->source());
        QCoreApplication::sendEvent(horizontalScrollBar(), &sideways);
        event->setAccepted(sideways.isAccepted());
        return;
    }
    QScrollArea::wheelEvent(event);
}

QPoint CanvasView::overshoot() const
{
    const QPoint at = viewport()->mapFromGlobal(m_pointer.toPoint());
    const QRect visible = viewport()->rect();
    auto past = [](int v, int low, int high) {
        return v < low ? v - low : v > high ? v - high : 0;
    };
    return QPoint(past(at.x(), visible.left(), visible.right()),
                  past(at.y(), visible.top(), visible.bottom()));
}

bool CanvasView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != widget())
        return QScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
        m_pointer = static_cast<QMouseEvent *>(event)->globalPosition();
        m_buttons = static_cast<QMouseEvent *>(event)->buttons();
        if (m_buttons != Qt::NoButton && !overshoot().isNull()) {
            if (!m_autoScroll.isActive())
                m_autoScroll.start(AutoScrollInterval, this);
        } else {
            m_autoScroll.stop();
        }
        break;
    case QEvent::MouseButtonRelease:
        m_buttons = static_cast<QMouseEvent *>(event)->buttons();
        if (m_buttons == Qt::NoButton)
            m_autoScroll.stop();
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

void CanvasView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy); // moves the canvas by (dx, dy) in the view
    if (m_buttons == Qt::NoButton)
        return;
    const QPointF to = widget()->mapFromGlobal(m_pointer);
    emit canvasMovedUnderPointer(m_buttons, PictureBox::pixelUnder(to + QPointF(dx, dy)),
                                 PictureBox::pixelUnder(to));
}

void CanvasView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId()) {
        QScrollArea::timerEvent(event);
        return;
    }
    const QPoint past = overshoot();
    QScrollBar *across = horizontalScrollBar();
    QScrollBar *down = verticalScrollBar();
    const int x = across->value();
    const int y = down->value();
    across->setValue(x + stepFor(past.x()));
    down->setValue(y + stepFor(past.y()));
    if (across->value() == x && down->value() == y)
        m_autoScroll.stop(); // at the end of the canvas
}
