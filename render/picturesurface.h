// Something a picture can be painted into, scaled into a rectangle: the canvas.
#pragma once

class QImage;

class PictureSurface
{
public:
    virtual ~PictureSurface() = default;
    // Draws the whole picture scaled into the rectangle (x1, y1, width1, height1), replacing the
    // pixels under it; whatever falls outside the surface is cut off.
    virtual void PaintPicture(const QImage &picture, float x1, float y1, float width1,
                              float height1)
            = 0;
};
