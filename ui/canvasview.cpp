#include "canvasview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>

namespace {
// While the pointer rests past an edge the view moves on every tick, faster the further out it
// is, like a text view selecting past its edge.
constexpr int AutoScrollInterval = 30; // milliseconds
constexpr int SlowestStep = 4; // pixels per tick
constexpr int FastestStep = 48;

int stepFor(int overshoot)
{
    if (overshoot == 0)
        return 0;
    const int step = std::clamp(std::abs(overshoot), SlowestStep, FastestStep);
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
    setWidget(canvas);
    canvas->installEventFilter(this);
}

void CanvasView::wheelEvent(QWheelEvent *event)
{
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
    if (watched == widget() && event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        m_pointer = move->globalPosition();
        m_buttons = move->buttons();
        if (m_buttons != Qt::NoButton && !overshoot().isNull()) {
            if (!m_autoScroll.isActive())
                m_autoScroll.start(AutoScrollInterval, this);
        } else {
            m_autoScroll.stop();
        }
    } else if (watched == widget() && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton) {
        m_autoScroll.stop();
    }
    return QScrollArea::eventFilter(watched, event);
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
    if (across->value() == x && down->value() == y) {
        m_autoScroll.stop(); // at the end of the canvas
        return;
    }
    // The pointer now lies over another part of the canvas: the stroke goes on there.
    QWidget *canvas = widget();
    const QPointF at = canvas->mapFromGlobal(m_pointer);
    QMouseEvent move(QEvent::MouseMove, at, m_pointer, Qt::NoButton, m_buttons,
                     QApplication::keyboardModifiers());
    QCoreApplication::sendEvent(canvas, &move);
}
