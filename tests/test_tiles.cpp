// The two tile sets as shipped: their geometry, colours, file format and cell layout.
#include "render/tileart.h"
#include "render/tilepainter.h"
#include "tests/support/tileshown.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

constexpr int Cell = 48;

enum class Kind { Passage, Rim, Wall };

const PictureClip &tileSet(int set)
{
    static const TileSets sets = loadTileSets();
    return sets[std::size_t(set)];
}

bool open(int n, int bit)
{
    return (n & bit) != 0;
}

// The passage by its own rule: the 28 x 28 centre plus a 28-wide arm to each joined side.
bool expectedPassage(int n, int x, int y)
{
    const bool midX = x >= 10 && x <= 37;
    const bool midY = y >= 10 && y <= 37;
    return (midX && midY) || (midY && x < 10 && open(n, 8)) || (midX && y > 37 && open(n, 4))
            || (midY && x > 37 && open(n, 2)) || (midX && y < 10 && open(n, 1));
}

bool isRimColour(int set, QRgb c)
{
    for (QRgb rim : tileart::palette(set).rim) {
        if ((c & 0xffffff) == (rim & 0xffffff))
            return true;
    }
    return false;
}

Kind kindAt(int set, int n, int x, int y)
{
    const QRgb c = tileSet(set).GraphicCell(n).pixel(x, y);
    if (isLight(c))
        return Kind::Passage;
    return isRimColour(set, c) ? Kind::Rim : Kind::Wall;
}

// Mean colour of a rectangle of one cell, as "#RRGGBB" rounded.
struct Mean
{
    double r = 0, g = 0, b = 0;
};

Mean meanOf(int set, int n, const QRect &area)
{
    const QImage cell = tileSet(set).GraphicCell(n);
    Mean m;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = cell.pixel(x, y);
            m.r += qRed(c);
            m.g += qGreen(c);
            m.b += qBlue(c);
            ++count;
        }
    }
    m.r /= count;
    m.g /= count;
    m.b /= count;
    return m;
}

void expectNear(const Mean &m, QRgb expected, const char *what, int set)
{
    constexpr double levels = 3.0;
    EXPECT_NEAR(m.r, qRed(expected), levels) << what << " set " << set;
    EXPECT_NEAR(m.g, qGreen(expected), levels) << what << " set " << set;
    EXPECT_NEAR(m.b, qBlue(expected), levels) << what << " set " << set;
}

quint32 le32(const QByteArray &bytes, int offset)
{
    return quint32(quint8(bytes[offset])) | quint32(quint8(bytes[offset + 1])) << 8
            | quint32(quint8(bytes[offset + 2])) << 16 | quint32(quint8(bytes[offset + 3])) << 24;
}

quint16 le16(const QByteArray &bytes, int offset)
{
    return quint16(quint8(bytes[offset]) | quint8(bytes[offset + 1]) << 8);
}

} // namespace

TEST(TileSets, PassageMeetsWallsExactlyWhereTheSidesAreJoined)
{
    for (int set = 0; set < 2; ++set) {
        for (int n = 0; n < 16; ++n) {
            for (int y = 0; y < Cell; ++y) {
                for (int x = 0; x < Cell; ++x) {
                    const bool passage = kindAt(set, n, x, y) == Kind::Passage;
                    ASSERT_EQ(passage, expectedPassage(n, x, y))
                            << "set " << set << " cell " << n << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(TileSets, ClosedBoxAndCrossAreWhatTheyClaim)
{
    for (int set = 0; set < 2; ++set) {
        int edgePassage0 = 0;
        int wall15 = 0;
        for (int i = 0; i < Cell; ++i) {
            for (auto [x, y] : { std::pair { i, 0 }, { i, 47 }, { 0, i }, { 47, i } })
                edgePassage0 += kindAt(set, 0, x, y) == Kind::Passage;
        }
        for (int y = 0; y < Cell; ++y) {
            for (int x = 0; x < Cell; ++x)
                wall15 += kindAt(set, 15, x, y) != Kind::Passage;
        }
        EXPECT_EQ(edgePassage0, 0) << "cell 0 is closed on every side";
        EXPECT_EQ(wall15, 4 * 10 * 10) << "cell 15 has only its four corner posts";
    }
}

TEST(TileSets, RimIsTheOnePixelLineOfWallTouchingThePassage)
{
    for (int set = 0; set < 2; ++set) {
        for (int n = 0; n < 16; ++n) {
            for (int y = 0; y < Cell; ++y) {
                for (int x = 0; x < Cell; ++x) {
                    if (expectedPassage(n, x, y))
                        continue;
                    const bool touches = (x > 0 && expectedPassage(n, x - 1, y))
                            || (x < 47 && expectedPassage(n, x + 1, y))
                            || (y > 0 && expectedPassage(n, x, y - 1))
                            || (y < 47 && expectedPassage(n, x, y + 1));
                    ASSERT_EQ(kindAt(set, n, x, y), touches ? Kind::Rim : Kind::Wall)
                            << "set " << set << " cell " << n << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(TileSets, BothSetsHaveTheSameShapes)
{
    for (int n = 0; n < 16; ++n) {
        for (int y = 0; y < Cell; ++y) {
            for (int x = 0; x < Cell; ++x)
                ASSERT_EQ(kindAt(0, n, x, y), kindAt(1, n, x, y)) << n << " " << x << "," << y;
        }
    }
}

TEST(TileSets, ElementColoursMatchTheirTones)
{
    for (int set = 0; set < 2; ++set) {
        const tileart::Palette &p = tileart::palette(set);
        // Cell 0 has all four walls; rows 12-17 along the side walls are plain bevel.
        expectNear(meanOf(set, 0, QRect(0, 12, 1, 6)), p.depth0, "left wall depth 0", set);
        expectNear(meanOf(set, 0, QRect(47, 12, 1, 6)), p.depth0, "right wall depth 0", set);
        expectNear(meanOf(set, 0, QRect(1, 12, 4, 6)), p.base, "base tone", set);
        expectNear(meanOf(set, 0, QRect(5, 12, 4, 6)), p.lit, "left wall strip", set);
        expectNear(meanOf(set, 0, QRect(12, 39, 6, 4)), p.lit, "bottom wall strip", set);
        expectNear(meanOf(set, 0, QRect(39, 12, 4, 6)), p.shaded, "right wall strip", set);
        expectNear(meanOf(set, 0, QRect(12, 5, 6, 4)), p.shaded, "top wall strip", set);
        expectNear(meanOf(set, 0, QRect(0, 19, 9, 10)), p.middle, "middle block", set);
        expectNear(meanOf(set, 0, QRect(19, 0, 10, 9)), p.middle, "middle block", set);
        expectNear(meanOf(set, 0, QRect(9, 12, 1, 24)), p.rim[0], "left rim", set);
        expectNear(meanOf(set, 0, QRect(12, 38, 24, 1)), p.rim[1], "bottom rim", set);
        expectNear(meanOf(set, 0, QRect(38, 12, 1, 24)), p.rim[2], "right rim", set);
        expectNear(meanOf(set, 0, QRect(12, 9, 24, 1)), p.rim[3], "top rim", set);
        expectNear(meanOf(set, 15, QRect(0, 10, 1, 28)), p.openingEdge, "opening edge", set);
        expectNear(meanOf(set, 15, QRect(12, 12, 24, 24)), p.passage, "passage", set);
    }
    // The tones themselves, as the two looks are defined.
    EXPECT_EQ(tileart::palette(0).base & 0xffffff, 0x950101u);
    EXPECT_EQ(tileart::palette(1).base & 0xffffff, 0x013C54u);
}

TEST(TileSets, WallsAreRedInSetZeroAndTealInSetOne)
{
    for (int n = 0; n < 16; ++n) {
        const QImage red = tileSet(0).GraphicCell(n);
        const QImage teal = tileSet(1).GraphicCell(n);
        for (int y = 0; y < Cell; ++y) {
            for (int x = 0; x < Cell; ++x) {
                if (kindAt(0, n, x, y) != Kind::Wall)
                    continue;
                const QRgb r = red.pixel(x, y);
                const QRgb t = teal.pixel(x, y);
                ASSERT_TRUE(qRed(r) >= 128 && qRed(r) <= 191 && qGreen(r) < 8 && qBlue(r) < 8)
                        << n << " " << x << "," << y;
                ASSERT_TRUE(qRed(t) < 8 && qGreen(t) >= 48 && qGreen(t) <= 80 && qBlue(t) >= 70
                            && qBlue(t) <= 110)
                        << n << " " << x << "," << y;
            }
        }
    }
}

TEST(TileSets, CellsAreNumberedRowByRowFromTheTopLeft)
{
    const PictureClip &set = tileSet(0);
    EXPECT_EQ(set.Rows(), 4);
    EXPECT_EQ(set.Cols(), 4);
    EXPECT_EQ(set.cellRect(3), QRect(144, 0, 48, 48));
    EXPECT_EQ(set.cellRect(4), QRect(0, 48, 48, 48));
    EXPECT_EQ(set.cellRect(15), QRect(144, 144, 48, 48));
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(set.GraphicCell(n), set.Picture().copy(set.cellRect(n))) << n;
    // Reading a cell twice hands out the same picture, unchanged.
    EXPECT_EQ(set.GraphicCell(7).cacheKey(), set.GraphicCell(7).cacheKey());
}

TEST(TileSets, FilesAreUncompressed24BitBitmapsStoredBottomRowFirst)
{
    for (int set = 0; set < 2; ++set) {
        QFile file(QStringLiteral(PASSAGES_SOURCE_DIR "/render/tiles/tileset%1.bmp").arg(set));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        ASSERT_EQ(bmp.size(), 54 + 192 * 192 * 3);
        EXPECT_EQ(bmp.left(2), "BM");
        EXPECT_EQ(le32(bmp, 2), 54u + 192 * 192 * 3);
        EXPECT_EQ(le32(bmp, 6), 0u); // the two reserved words
        EXPECT_EQ(le32(bmp, 10), 54u);
        EXPECT_EQ(le32(bmp, 14), 40u);
        EXPECT_EQ(le32(bmp, 18), 192u);
        EXPECT_EQ(le32(bmp, 22), 192u); // positive: bottom row first
        EXPECT_EQ(le16(bmp, 26), 1);
        EXPECT_EQ(le16(bmp, 28), 24);
        EXPECT_EQ(le32(bmp, 30), 0u);
        EXPECT_EQ(le32(bmp, 34), 110592u);
        EXPECT_EQ(le32(bmp, 38), 0u);
        EXPECT_EQ(le32(bmp, 42), 0u);
        EXPECT_EQ(le32(bmp, 46), 0u); // no colour table

        const QImage image = tileSet(set).Picture();
        for (int row = 0; row < 192; row += 37) {
            for (int x = 0; x < 192; x += 13) {
                const int at = 54 + row * 576 + x * 3;
                const QRgb stored = qRgb(quint8(bmp[at + 2]), quint8(bmp[at + 1]), quint8(bmp[at]));
                ASSERT_EQ(stored, image.pixel(x, 191 - row)) << row << "," << x;
            }
        }
    }
}

TEST(TileSets, ShippedImagesAreWhatTheGeneratorDraws)
{
    for (int set = 0; set < 2; ++set) {
        const QImage drawn = tileart::drawTileSet(tileart::palette(set));
        EXPECT_EQ(drawn, tileSet(set).Picture())
                << "render/tiles is out of date: run tilegen render/tiles";
    }
}
