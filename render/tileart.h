// Draws the sixteen tiles of a tile set: a light passage enclosed by bevelled walls, open towards
// the sides of the tile number's square code (model/grid.h). The editor ships the result as two
// images; this code is what made them. Also the tile sets' geometry, which the editor cuts them by.
#pragma once

#include "model/grid.h"

#include <QImage>
#include <QRgb>

namespace tileart {

// A tile set is CellsAcross x CellsAcross cells of CellSize pixels square, cell n at row
// n / CellsAcross and column n % CellsAcross.
inline constexpr int CellSize = 48;
inline constexpr int CellsAcross = 4;
inline constexpr int WallDepth = 10; // walls and corner posts are 10 pixels deep
inline constexpr int Cells = CellsAcross * CellsAcross;

enum class Face { Left, Bottom, Right, Top };

struct Palette
{
    QRgb passage;
    QRgb depth0; // outermost line of a wall
    QRgb base; // depths 1-4
    QRgb lit; // depths 5-8 of faces turned right or up (left and bottom walls)
    QRgb shaded; // depths 5-8 of faces turned left or down (right and top walls)
    QRgb middle; // the block in the middle of every wall
    QRgb rim[4]; // indexed by Face
    QRgb openingEdge;
};

// Tile set 0 is dark red, tile set 1 dark teal blue.
const Palette &palette(int set);

// One pixel of cell n as the drawing procedure sees it.
struct PixelRole
{
    bool wall = false;
    bool rim = false; // a wall pixel with passage directly left, right, above or below
    bool openingEdge = false; // a passage pixel on the cell's edge
    bool middleBlock = false;
    Face face = Face::Left; // the wall face a wall pixel belongs to
    int depth = 0; // distance from the cell edge that face stands on
};

PixelRole pixelRole(int n, int x, int y);

// A tile, and the set of all sixteen.
QImage drawTile(int n, const Palette &colours);
QImage drawTileSet(const Palette &colours);

} // namespace tileart
