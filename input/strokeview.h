// What the stroke stages need from the window, and nothing more: the read-out captions, the
// cursor frame and painting one square. The main window implements it; tests fake it.
#pragma once

#include <QString>

#include <cstdint>

// The cursor frame's geometry in canvas pixels.
struct CursorFrame
{
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;

    friend bool operator==(const CursorFrame &, const CursorFrame &) = default;
};

class StrokeView
{
public:
    virtual ~StrokeView() = default;

    virtual void setDirectionCaption(const QString &caption) = 0; // Label2
    virtual void setPositionCaption(const QString &caption) = 0; // Label1
    virtual void setDataCaption(const QString &caption) = 0; // Label4

    virtual CursorFrame cursorFrame() const = 0; // Shape1
    virtual void setCursorFrame(const CursorFrame &frame) = 0;

    // Repaints the square whose top-left corner is (x, y) with the tile of its code from tile
    // set `mode` (0 for the left button, 1 for the right).
    virtual void Sub_DrawSquare(float x, float y, std::int16_t mode) = 0;
};
