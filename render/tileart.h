// Draws the sixteen tiles of a tile set: a light passage enclosed by bevelled walls, open towards
// the sides whose bit is set in the tile number (left 8, bottom 4, right 2, top 1). The editor
// ships the result as two images; this code is what made them.
#pragma once

#include <QImage>
#include <QRgb>

namespace tileart {

inline constexpr int CellSize = 48;
inline constexpr int WallDepth = 10; // walls and corner posts are 10 pixels deep
inline constexpr int Cells = 16;

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

// A 48 x 48 tile and the 192 x 192 set of all sixteen, cell n at row n / 4, column n % 4.
QImage drawTile(int n, const Palette &colours);
QImage drawTileSet(const Palette &colours);

} // namespace tileart
