// Reads a square's tile back from pixels, for tests that look at a tile set, the canvas, the
// screen or a saved bitmap: which pixels are passage floor, which tile set the walls come from,
// and which sides the passage crosses. The thresholds come from tilepixels.json, which the
// end-to-end driver reads too.
#pragma once

#include <QImage>
#include <QRect>

#include <string>

namespace tilepixels {
inline constexpr int GrayWeights[3] = { PASSAGES_GRAY_WEIGHTS };
inline constexpr int LightGrayAbove = PASSAGES_LIGHT_GRAY_ABOVE;
} // namespace tilepixels

// A passage's floor is light; walls, their rims and corner posts are darker.
inline bool isLight(QRgb c)
{
    using namespace tilepixels;
    const int gray
            = (qRed(c) * GrayWeights[0] + qGreen(c) * GrayWeights[1] + qBlue(c) * GrayWeights[2])
            / (GrayWeights[0] + GrayWeights[1] + GrayWeights[2]);
    return gray > LightGrayAbove;
}

// Wall pixels of tile set 0 (dark red) and tile set 1 (dark teal blue).
inline bool isRedWall(QRgb c)
{
    return !isLight(c) && qRed(c) > qBlue(c);
}
inline bool isTealWall(QRgb c)
{
    return !isLight(c) && qBlue(c) > qRed(c);
}

// "0101 left": the sides the passage crosses, in the order of a square code, and the tile set
// ("left" dark red, "right" dark teal blue); "blank" for a square no tile was painted on, "no
// floor" for one whose centre is not passage.
inline std::string tileShown(const QImage &image, const QRect &square)
{
    auto pixel = [&](double fx, double fy) {
        return image.pixel(square.left() + int(fx * (square.width() - 1) + 0.5),
                           square.top() + int(fy * (square.height() - 1) + 0.5));
    };
    const QRgb corner = pixel(0, 0); // every tile has a post in each corner
    if (isLight(corner))
        return "blank";
    if (!isLight(pixel(0.5, 0.5)))
        return "no floor";
    std::string code;
    const double sides[4][2] = { { 0, 0.5 }, { 0.5, 1 }, { 1, 0.5 }, { 0.5, 0 } };
    for (const auto &side : sides)
        code += isLight(pixel(side[0], side[1])) ? '1' : '0';
    return code + (isTealWall(corner) ? " right" : " left");
}
