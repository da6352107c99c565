#include "ui/canvasview.h"

#include "ui/errorreport.h"
#include "ui/picturebox.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
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
    setViewportMargins(1, 1, 0, 0); // the line's left and top sides
    setWidget(canvas);
    canvas->installEventFilter(this);
}

void CanvasView::placeCanvasAt(QPoint corner)
{
    const QPoint origin = corner - QPoint(1, 1);
    setGeometry(QRect(origin, parentWidget()->size() - QSize(origin.x(), origin.y())));
}

// One pixel outside the part of the canvas the viewport shows (the scroll bars are not part of
// it): left and top in the margin, right and bottom in the viewport beside a canvas smaller than
// it, or under a scroll bar or past the view's edge beside a larger one.
QRect CanvasView::canvasLine() const
{
    const QRect shown(viewport()->mapTo(this, QPoint()), viewport()->size());
    const QRect canvas(widget()->mapTo(this, QPoint()), widget()->size());
    return canvas.intersected(shown).adjusted(-1, -1, 1, 1);
}

void CanvasView::updateCanvasLine()
{
    // Only the pixels of the line where it was last drawn and where it goes, not the whole
    // view; a pixel wider on each side, so that on a scaled screen the device pixels the line
    // was rounded to are covered too.
    const QRect line = canvasLine();
    if (line == m_canvasLine)
        return;
    auto band = [](const QRect &r) {
        return QRegion(r.adjusted(-1, -1, 1, 1)) - QRegion(r.adjusted(2, 2, -2, -2));
    };
    update(band(m_canvasLine) + band(line));
}

void CanvasView::paintCanvasLine()
{
    // Filled pixels rather than a pen: on a scaled screen they cover the same device pixels as
    // the canvas's own pixels would, so the line meets the canvas without a gap or overlap. The
    // viewport is transparent, so the sides drawn under it show.
    QPainter painter(this);
    m_canvasLine = canvasLine();
    const QRegion line = QRegion(m_canvasLine) - QRegion(m_canvasLine.adjusted(1, 1, -1, -1));
    for (const QRect &strip : line)
        painter.fillRect(strip, palette().color(QPalette::Dark));
}

bool CanvasView::event(QEvent *event)
{
    // The scroll area's paint event paints the view itself (the viewport's comes through
    // viewportEvent): the line first, then what the scroll area draws over it.
    if (event->type() == QEvent::Paint)
        guarded(window(), [this] { paintCanvasLine(); });
    return QScrollArea::event(event);
}

bool CanvasView::viewportEvent(QEvent *event)
{
    const bool handled = QScrollArea::viewportEvent(event);
    if (event->type() == QEvent::Resize) // scroll bars shown or hidden, or the window resized
        guarded(window(), [this] { updateCanvasLine(); });
    return handled;
}

void CanvasView::wheelEvent(QWheelEvent *event)
{
    guarded(window(), [&] {
        // A wheel turned with no button down ends a drag whose release never reached the canvas.
        m_buttons &= event->buttons();
        // Shift turns the wheel sideways, as users expect of an editor; Qt's scroll bars would
        // take Shift to mean a page at a time.
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
    });
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
    // The scroll area first: it lays out its scroll bars for a canvas of a new size.
    const bool filtered = QScrollArea::eventFilter(watched, event);
    guarded(window(), [&] {
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
        case QEvent::Move: // scrolled
        case QEvent::Resize: // set up anew
            updateCanvasLine();
            break;
        default:
            break;
        }
    });
    return filtered;
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
    guarded(window(), [this] {
        const QPoint past = overshoot();
        QScrollBar *across = horizontalScrollBar();
        QScrollBar *down = verticalScrollBar();
        const int x = across->value();
        const int y = down->value();
        across->setValue(x + stepFor(past.x()));
        down->setValue(y + stepFor(past.y()));
        if (across->value() == x && down->value() == y)
            m_autoScroll.stop(); // at the end of the canvas
    });
}
