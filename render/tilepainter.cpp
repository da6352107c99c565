#include "render/tilepainter.h"

#include "render/tileart.h"

TileSets loadTileSets()
{
    using tileart::CellsAcross;
    return { PictureClip(QImage(QStringLiteral(":/tiles/tileset0.bmp")), CellsAcross, CellsAcross),
             PictureClip(QImage(QStringLiteral(":/tiles/tileset1.bmp")), CellsAcross,
                         CellsAcross) };
}

QSize canvasSizeFor(const Settings &settings)
{
    return QSize(settings.PixelsPerSquare * settings.SizeX,
                 settings.SizeY * settings.PixelsPerSquare);
}

void paintSquare(PictureSurface &surface, const TileSets &tileSets, const Grid &grid, int index,
                 TileSet set)
{
    const int tileNumber = Grid::Func_BinToDec(grid.code(index));
    const QRect square = grid.squareRect(index);
    const QImage &cell = tileSets[std::size_t(set)].ScaledCell(tileNumber, square.size());
    surface.PaintPicture(cell, square);
}
