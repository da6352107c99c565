// The three grid settings the user enters in the settings dialog. All are 0 until the first
// accepted settings; PixelsPerSquare == 0 means the editor is not set up yet.
#pragma once

#include <cstdint>

struct Settings
{
    std::int16_t SizeX = 0;
    std::int16_t SizeY = 0;
    std::int16_t PixelsPerSquare = 0;

    bool isSetUp() const { return PixelsPerSquare != 0; }
};
