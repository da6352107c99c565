// The scrolling area that holds the canvas. A canvas that fits shows as it is, with no scroll
// bars; a larger one scrolls: scroll bars, the wheel (vertically; Shift+wheel and a horizontal
// wheel sideways), and, while a drag holds the pointer past the visible edge, the view follows
// it. Whatever moves the view while a drag is on, the canvas slides under the still pointer; the
// view reports where the pointer was on the canvas and where it is now, so that the stroke can
// walk the way in between. The view also sets the borderless canvas apart from the window with a
// thin line one pixel outside the part of the canvas it shows; a margin of one pixel at its left
// and top holds that side of the line.
#pragma once

#include <QBasicTimer>
#include <QPointF>
#include <QRect>
#include <QScrollArea>

class CanvasView : public QScrollArea
{
    Q_OBJECT
public:
    // While the pointer rests past an edge the view moves on every tick, faster the further out
    // it is, like a text view selecting past its edge.
    static constexpr int AutoScrollInterval = 30; // milliseconds
    static constexpr int SlowestStep = 4; // pixels per tick
    static constexpr int FastestStep = 48;

    explicit CanvasView(QWidget *canvas, QWidget *parent = nullptr);

    // Puts the canvas's top left corner (scrolled to the start) at `corner` in the parent
    // widget; the view takes the rest of the parent, to its bottom right corner.
    void placeCanvasAt(QPoint corner);

signals:
    // The view moved while buttons pressed on the canvas are held: the canvas pixel under the
    // pointer was `from` and is now `to`.
    void canvasMovedUnderPointer(Qt::MouseButtons buttons, QPoint from, QPoint to);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // How far the pointer lies past each visible edge, in pixels (negative: left or above).
    QPoint overshoot() const;
    // The rectangle on whose edges the line's pixels lie, in the view's coordinates.
    QRect canvasLine() const;
    void updateCanvasLine();
    void paintCanvasLine();

    QRect m_canvasLine; // where the line was last drawn
    QBasicTimer m_autoScroll;
    QPointF m_pointer; // global position of the last press or movement on the canvas
    Qt::MouseButtons m_buttons; // held since a press on the canvas
};
