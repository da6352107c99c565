// Something a picture can be painted into, scaled into a rectangle: the canvas.
#pragma once

class QImage;
class QRect;

class PictureSurface
{
public:
    virtual ~PictureSurface() = default;
    // Draws the whole picture scaled into the rectangle, replacing the pixels under it; whatever
    // falls outside the surface is cut off.
    virtual void PaintPicture(const QImage &picture, const QRect &target) = 0;
};
