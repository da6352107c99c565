#include "tilepainter.h"

#include <numberrules.h>

using namespace numberrules;

std::int16_t squareIndexAt(float x, float y, const Settings &settings)
{
    const double pixels = double(settings.PixelsPerSquare);
    return toInt16(divide(y, pixels) * double(settings.SizeX) + divide(x, pixels));
}

void Sub_DrawSquare(PictureSurface &picture1, const TileSets &pictureClip1,
                    const SquareData &squareData, const Settings &settings, float x, float y,
                    std::int16_t mode)
{
    const std::string &code = squareData.at(squareIndexAt(x, y, settings));
    const std::int16_t tileNumber = Func_BinToDec(code);
    if (mode != 0 && mode != 1)
        throw EditorError(ErrorKind::SubscriptOutOfRange,
                          "there is no tile set " + std::to_string(mode));
    const QImage &cell = pictureClip1[std::size_t(mode)].GraphicCell(tileNumber);
    const float pixels = float(settings.PixelsPerSquare);
    picture1.PaintPicture(cell, x, y, pixels, pixels);
}
