// Paints one square of the canvas: the tile of the square's code, taken from a tile set and
// scaled into the square's PixelsPerSquare x PixelsPerSquare pixels.
#pragma once

#include "render/pictureclip.h"
#include "render/picturesurface.h"

#include "model/grid.h"

#include <QSize>

#include <array>

// Tile set 0 (dark red, left button) and tile set 1 (dark teal blue, right button), indexed by
// TileSet.
using TileSets = std::array<PictureClip, 2>;

// The tile sets compiled into the program.
TileSets loadTileSets();

// The canvas's size for the settings: SizeX * P by SizeY * P pixels.
QSize canvasSizeFor(const Settings &settings);

void paintSquare(PictureSurface &surface, const TileSets &tileSets, const Grid &grid, int index,
                 TileSet set);
