// Paints one square of the canvas: the tile of the square's code, taken from the tile set of the
// mode and scaled into the square's PixelsPerSquare x PixelsPerSquare pixels.
#pragma once

#include "pictureclip.h"
#include "picturesurface.h"

#include <settings.h>
#include <squaredata.h>

#include <array>
#include <cstdint>

// Tile set 0 (dark red, left button) and tile set 1 (dark teal blue, right button).
using TileSets = std::array<PictureClip, 2>;

// The square index of the square whose corner is (x, y): (y / P) * SizeX + x / P, rounded half
// to even.
std::int16_t squareIndexAt(float x, float y, const Settings &settings);

void Sub_DrawSquare(PictureSurface &picture1, const TileSets &pictureClip1,
                    const SquareData &squareData, const Settings &settings, float x, float y,
                    std::int16_t mode);
