// A picture surface over a plain retained image: the tile painter without a window.
#pragma once

#include "render/picturesurface.h"
#include "render/retainedimage.h"

struct ImageSurface : PictureSurface
{
    explicit ImageSurface(QSize size, QColor background = Qt::white)
        : retained(size, background)
    { }
    void PaintPicture(const QImage &picture, const QRect &target) override
    {
        ++calls;
        retained.draw(picture, target);
    }
    QRgb at(int x, int y) const { return retained.pixels().pixel(x, y); }

    RetainedImage retained;
    int calls = 0;
};
