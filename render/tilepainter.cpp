#include "tilepainter.h"

TileSets loadTileSets()
{
    return { PictureClip(QImage(QStringLiteral(":/tiles/tileset0.bmp")), 4, 4),
             PictureClip(QImage(QStringLiteral(":/tiles/tileset1.bmp")), 4, 4) };
}

QRect squareRect(const Grid &grid, int index)
{
    const int pixels = grid.settings().PixelsPerSquare;
    return QRect(grid.left(index), grid.top(index), pixels, pixels);
}

void Sub_DrawSquare(PictureSurface &picture1, const TileSets &pictureClip1, const Grid &grid,
                    int index, TileSet set)
{
    const int tileNumber = Grid::Func_BinToDec(grid.code(index));
    const QImage &cell = pictureClip1[std::size_t(set)].GraphicCell(tileNumber);
    picture1.PaintPicture(cell, squareRect(grid, index));
}
