#include "render/tileart.h"

#include <algorithm>
#include <cstdint>

namespace tileart {

namespace {

    constexpr int Last = CellSize - 1;
    constexpr int MiddleFrom = 19; // the middle block runs along positions 19-28 of each wall
    constexpr int MiddleTo = 28;

    const Palette palettes[2] = {
        { qRgb(255, 255, 255),
          qRgb(0x8C, 0x00, 0x00),
          qRgb(0x95, 0x01, 0x01),
          qRgb(0xBB, 0x01, 0x01),
          qRgb(0x85, 0x00, 0x00),
          qRgb(0xA3, 0x01, 0x01),
          { qRgb(0xD4, 0x50, 0x51), qRgb(0xDE, 0x76, 0x78), qRgb(0xC6, 0x8A, 0x8A),
            qRgb(0xB5, 0x5D, 0x60) },
          qRgb(0xF8, 0xF8, 0xF8) },
        { qRgb(255, 255, 255),
          qRgb(0x01, 0x38, 0x50),
          qRgb(0x01, 0x3C, 0x54),
          qRgb(0x01, 0x4B, 0x6A),
          qRgb(0x01, 0x34, 0x4B),
          qRgb(0x01, 0x41, 0x5C),
          { qRgb(0x1C, 0x96, 0xC9), qRgb(0x3A, 0xB4, 0xE7), qRgb(0x41, 0xBB, 0xED),
            qRgb(0x1E, 0x97, 0xC7) },
          qRgb(0xF2, 0xFA, 0xFD) },
    };

    struct Candidate
    {
        int depth;
        Face face;
    };

    // Whether the tile number's code has the side (the number is the code).
    bool isOpen(int n, Side side)
    {
        return (n & int(side)) != 0;
    }

    bool inPost(int x, int y)
    {
        return (x < WallDepth || x > Last - WallDepth) && (y < WallDepth || y > Last - WallDepth);
    }

    // The closed walls whose band holds (x, y), with the pixel's depth in each.
    int wallCandidates(int n, int x, int y, Candidate out[4])
    {
        int count = 0;
        if (!isOpen(n, Side::Left) && x < WallDepth)
            out[count++] = { x, Face::Left };
        if (!isOpen(n, Side::Bottom) && y > Last - WallDepth)
            out[count++] = { Last - y, Face::Bottom };
        if (!isOpen(n, Side::Right) && x > Last - WallDepth)
            out[count++] = { Last - x, Face::Right };
        if (!isOpen(n, Side::Top) && y < WallDepth)
            out[count++] = { y, Face::Top };
        return count;
    }

    bool isWall(int n, int x, int y)
    {
        Candidate unused[4];
        return inPost(x, y) || wallCandidates(n, x, y, unused) > 0;
    }

    bool isPassage(int n, int x, int y)
    {
        return x >= 0 && x <= Last && y >= 0 && y <= Last && !isWall(n, x, y);
    }

    // A light, repeatable texture of a few levels on the wall tones.
    int textureOffset(int n, int x, int y)
    {
        std::uint32_t h = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u
                ^ std::uint32_t(n + 1) * 83492791u;
        h ^= h >> 13;
        h *= 0x5bd1e995u;
        h ^= h >> 15;
        return int(h % 5u) - 2;
    }

    QRgb shade(QRgb colour, int offset)
    {
        auto channel = [offset](int c) { return std::clamp(c + offset, 0, 255); };
        return qRgb(channel(qRed(colour)), channel(qGreen(colour)), channel(qBlue(colour)));
    }

} // namespace

const Palette &palette(int set)
{
    return palettes[set == 1 ? 1 : 0];
}

PixelRole pixelRole(int n, int x, int y)
{
    PixelRole role;
    Candidate candidates[4];
    const int count = wallCandidates(n, x, y, candidates);
    if (count == 0 && !inPost(x, y)) {
        role.openingEdge = x == 0 || y == 0 || x == Last || y == Last;
        return role;
    }
    role.wall = true;

    Candidate chosen;
    if (count > 0) {
        // Walls meeting at a corner are mitred: each pixel belongs to the wall whose edge is
        // nearer.
        chosen = *std::min_element(
                candidates, candidates + count,
                [](const Candidate &a, const Candidate &b) { return a.depth < b.depth; });
    } else {
        // A free-standing post has two inner faces, each like the inner face of the wall on
        // the cell edge it stands on; each pixel belongs to the face that is nearer.
        const bool left = x < WallDepth;
        const bool top = y < WallDepth;
        const Candidate across { left ? x : Last - x, left ? Face::Left : Face::Right };
        const Candidate down { top ? y : Last - y, top ? Face::Top : Face::Bottom };
        chosen = across.depth >= down.depth ? across : down;
    }
    role.face = chosen.face;
    role.depth = chosen.depth;
    role.rim = isPassage(n, x - 1, y) || isPassage(n, x + 1, y) || isPassage(n, x, y - 1)
            || isPassage(n, x, y + 1);

    // Position along the wall: y for the side walls, x for the top and bottom walls.
    const int along = (role.face == Face::Left || role.face == Face::Right) ? y : x;
    role.middleBlock = count > 0 && !role.rim && role.depth < WallDepth - 1 && along >= MiddleFrom
            && along <= MiddleTo;
    return role;
}

QImage drawTile(int n, const Palette &colours)
{
    QImage tile(CellSize, CellSize, QImage::Format_RGB32);
    for (int y = 0; y < CellSize; ++y) {
        for (int x = 0; x < CellSize; ++x) {
            const PixelRole role = pixelRole(n, x, y);
            QRgb colour = colours.passage;
            if (!role.wall) {
                if (role.openingEdge)
                    colour = colours.openingEdge;
            } else if (role.rim) {
                colour = colours.rim[int(role.face)];
            } else {
                if (role.middleBlock)
                    colour = colours.middle;
                else if (role.depth == 0)
                    colour = colours.depth0;
                else if (role.depth <= 4)
                    colour = colours.base;
                else if (role.face == Face::Left || role.face == Face::Bottom)
                    colour = colours.lit;
                else
                    colour = colours.shaded;
                colour = shade(colour, textureOffset(n, x, y));
            }
            tile.setPixel(x, y, colour);
        }
    }
    return tile;
}

QImage drawTileSet(const Palette &colours)
{
    QImage set(CellsAcross * CellSize, CellsAcross * CellSize, QImage::Format_RGB32);
    for (int n = 0; n < Cells; ++n) {
        const QImage tile = drawTile(n, colours);
        for (int y = 0; y < CellSize; ++y) {
            for (int x = 0; x < CellSize; ++x)
                set.setPixel((n % CellsAcross) * CellSize + x, (n / CellsAcross) * CellSize + y,
                             tile.pixel(x, y));
        }
    }
    return set;
}

} // namespace tileart
