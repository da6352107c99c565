// Reads a square's tile back from pixels, for tests that look at the canvas, the screen or a
// saved bitmap: which sides the passage crosses and which tile set the walls come from.
#pragma once

#include <QImage>
#include <QRect>

#include <string>

// A passage's floor is light; walls and corner posts are dark.
inline bool isLight(QRgb c)
{
    return qGray(c) > 180;
}

// "0101 left": the sides the passage crosses, in the order of a square code, and the tile set
// ("left" dark red, "right" dark teal blue); "blank" for a square no tile was painted on.
inline std::string tileShown(const QImage &image, const QRect &square)
{
    auto pixel = [&](double fx, double fy) {
        return image.pixel(square.left() + int(fx * (square.width() - 1) + 0.5),
                           square.top() + int(fy * (square.height() - 1) + 0.5));
    };
    const QRgb corner = pixel(0, 0); // every tile has a post in each corner
    if (isLight(corner))
        return "blank";
    std::string code;
    const double sides[4][2] = { { 0, 0.5 }, { 0.5, 1 }, { 1, 0.5 }, { 0.5, 0 } };
    for (const auto &side : sides)
        code += isLight(pixel(side[0], side[1])) ? '1' : '0';
    return code + (qBlue(corner) > qRed(corner) ? " right" : " left");
}
