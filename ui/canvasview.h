// The scrolling area that holds the canvas. A canvas that fits shows as it is, with no scroll
// bars; a larger one scrolls: scroll bars, the wheel (vertically; Shift+wheel and a horizontal
// wheel sideways), and, while a drag holds the pointer past the visible edge, the view follows
// it and the stroke goes on at the canvas position under the pointer.
#pragma once

#include <QBasicTimer>
#include <QPointF>
#include <QScrollArea>

class CanvasView : public QScrollArea
{
    Q_OBJECT
public:
    explicit CanvasView(QWidget *canvas, QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // How far the pointer lies past each visible edge, in pixels (negative: left or above).
    QPoint overshoot() const;

    QBasicTimer m_autoScroll;
    QPointF m_pointer; // global position of the last movement during a drag
    Qt::MouseButtons m_buttons;
};
