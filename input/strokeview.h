// What the stroke steps need from the window, and nothing more: the read-out captions, the
// cursor frame and painting one square. The main window implements it; tests fake it.
#pragma once

#include "model/grid.h"

#include <QRect>
#include <QString>

class StrokeView
{
public:
    virtual ~StrokeView() = default;

    virtual void setDirectionCaption(const QString &caption) = 0; // Label2
    virtual void setPositionCaption(const QString &caption) = 0; // Label1
    virtual void setDataCaption(const QString &caption) = 0; // Label4

    // Shape1, the cursor frame, in canvas pixels.
    virtual void setCursorFrame(const QRect &frame) = 0;

    // Repaints the square at `index` with the tile of its code from a tile set.
    virtual void Sub_DrawSquare(int index, TileSet set) = 0;
};
