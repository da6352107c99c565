// The canvas: a widget that keeps a retained image of its whole area, paints pictures into it,
// reports presses and movements with the buttons and the canvas pixel under the pointer, and
// draws the cursor frame (a red outline) over the image without changing it. Only changed
// rectangles are repainted; the canvas can reach 9600 x 9600 pixels.
#pragma once

#include "render/picturesurface.h"
#include "render/retainedimage.h"
#include "ui/layout.h"

#include <QBasicTimer>
#include <QWidget>

#include <functional>

class PictureBox : public QWidget, public PictureSurface
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Gives the canvas a new size. The overlapping part of the image is kept at the top left;
    // the rest shows the background. False, with nothing changed, when the memory for the new
    // image cannot be had.
    [[nodiscard]] bool setCanvasSize(QSize size);

    void PaintPicture(const QImage &picture, const QRect &target) override;
    // The retained image: what the canvas shows, without the cursor frame.
    const QImage &Image() const { return m_image.pixels(); }

    // Shape1, the cursor frame.
    QRect Shape1() const { return m_frame; }
    void setShape1(const QRect &frame);

    // The pixel under a pointer position. On scaled screens Qt reports fractional positions;
    // the editor works in whole pixels.
    static QPoint pixelUnder(const QPointF &position);

    // For a screen reader: the square under the pointer, its index up to `last`. Once the
    // pointer has rested on it for SettleTime (so that a fast drag does not queue up speech), it
    // becomes the canvas's accessible value, and its read-out, what the labels show of it then,
    // the canvas's label.
    static constexpr int SettleTime = 250; // milliseconds
    struct Readout
    {
        int index = 0;
        int last = 0;
        QString text;
    };
    void setSquareUnderPointer(int index, int last);
    void setReadoutText(std::function<QString()> text) { m_readoutText = std::move(text); }
    const Readout &readout() const { return m_readout; }

signals:
    // For a press the button pressed, for a movement the buttons held; the pixel under the
    // pointer, which lies off the canvas while a drag holds the pointer outside.
    void mouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers modifiers, QPoint at);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    RetainedImage m_image;
    QRect m_frame = layout::Form1::Shape1;
    Readout m_readout; // told to a screen reader
    std::function<QString()> m_readoutText;
    int m_underPointer = -1; // the square to be told once the pointer rests, or told already
    int m_lastSquare = -1;
    QBasicTimer m_settle;
};
