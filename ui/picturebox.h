// The canvas: a widget that keeps a retained image of its whole area, paints pictures into it,
// reports presses and movements as button masks with canvas coordinates, and draws the cursor
// frame (a red outline) over the image without changing it. Only changed rectangles are
// repainted; the canvas can reach 9600 x 9600 pixels.
#pragma once

#include <picturesurface.h>
#include <retainedimage.h>
#include <strokeview.h>

#include <QWidget>

#include <cstdint>

class PictureBox : public QWidget, public PictureSurface
{
    Q_OBJECT
public:
    static constexpr QSize DesignSize { 161, 193 };
    static constexpr CursorFrame DesignFrame { 0, 0, 49, 49 };

    explicit PictureBox(QWidget *parent = nullptr);

    // The inner drawing area in canvas pixels; the canvas has no border, so it is the whole
    // widget.
    float ScaleWidth() const { return float(width()); }
    float ScaleHeight() const { return float(height()); }

    // Gives the canvas a new size. The overlapping part of the image is kept at the top left;
    // the rest shows the background. False, with nothing changed, when the memory for the new
    // image cannot be had.
    [[nodiscard]] bool setCanvasSize(QSize size);

    void PaintPicture(const QImage &picture, float x1, float y1, float width1,
                      float height1) override;
    // The retained image: what the canvas shows, without the cursor frame.
    const QImage &Image() const { return m_image.image(); }

    // Shape1, the cursor frame.
    CursorFrame Shape1() const { return m_frame; }
    void setShape1(const CursorFrame &frame);

    // The pixel under a pointer position. On scaled screens Qt reports fractional positions;
    // the handlers take whole pixels, since the square index rounds column and row fractions
    // together and a fraction could link one square while painting it where another lies.
    static QPointF pixelUnder(const QPointF &position);

signals:
    // Positions in whole canvas pixels. Button masks: 1 left, 2 right, 4 middle, summed.
    // Shift state: 1 Shift, 2 Ctrl, 4 Alt.
    void mouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void mouseMove(std::int16_t button, std::int16_t shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QRect frameRect() const;

    RetainedImage m_image;
    CursorFrame m_frame = DesignFrame;
};
