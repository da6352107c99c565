// The tile painter: which square's code it paints, from which set, where and at what size.
#include "tests/support/imagesurface.h"
#include "render/tilepainter.h"
#include "tests/support/tileshown.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TilePainter : public ::testing::Test
{
protected:
    void setUpGrid(std::int16_t sizeX, std::int16_t sizeY, std::int16_t pixels)
    {
        grid.resize({ sizeX, sizeY, pixels });
        surface = std::make_unique<ImageSurface>(QSize(sizeX * pixels, sizeY * pixels), Qt::black);
    }
    void draw(int index, TileSet set = TileSet::DarkRed)
    {
        paintSquare(*surface, sets, grid, index, set);
    }
    // The colour at a position given in fractions of the square at `index`.
    QRgb sample(int index, double fx, double fy) const
    {
        const QRect square = grid.squareRect(index);
        return surface->at(square.left() + int(fx * (square.width() - 1) + 0.5),
                           square.top() + int(fy * (square.height() - 1) + 0.5));
    }

    const TileSets sets = loadTileSets();
    Grid grid;
    std::unique_ptr<ImageSurface> surface;
};

} // namespace

TEST_F(TilePainter, PaintsTheTileOfTheSquaresCodeIntoItsRectangle)
{
    setUpGrid(10, 10, 32);
    const int square = grid.index(2, 1);
    grid.Func_SetSide(square, Side::Right);
    draw(square);
    EXPECT_EQ(grid.squareRect(square), QRect(2 * 32, 1 * 32, 32, 32));
    EXPECT_TRUE(isLight(sample(square, 0.5, 0.5)));
    EXPECT_TRUE(isLight(sample(square, 1.0, 0.5))); // the arm reaches the right edge
    EXPECT_TRUE(isRedWall(sample(square, 0.0, 0.5)));
    EXPECT_TRUE(isRedWall(sample(square, 0.5, 0.0)));
    EXPECT_TRUE(isRedWall(sample(square, 0.5, 1.0)));
    // Nothing outside the square's 32 x 32 pixels.
    for (auto [x, y] : { std::pair { 63, 40 }, { 96, 40 }, { 70, 31 }, { 70, 64 } })
        EXPECT_EQ(surface->at(x, y), qRgb(0, 0, 0)) << x << "," << y;

    draw(square, TileSet::DarkTealBlue); // the same tile from the other set
    EXPECT_TRUE(isTealWall(sample(square, 0.0, 0.5)));
    EXPECT_TRUE(isLight(sample(square, 1.0, 0.5)));
}

TEST_F(TilePainter, AnUntouchedSquareIsAClosedBox)
{
    setUpGrid(10, 10, 32);
    draw(0);
    EXPECT_TRUE(isLight(sample(0, 0.5, 0.5)));
    for (auto [fx, fy] : { std::pair { 0.0, 0.5 }, { 1.0, 0.5 }, { 0.5, 0.0 }, { 0.5, 1.0 } })
        EXPECT_TRUE(isRedWall(sample(0, fx, fy))) << fx << "," << fy;
}

TEST_F(TilePainter, ScalesTheWholeCellToTheSquare)
{
    for (std::int16_t pixels : { 7, 8, 32, 48, 96 }) {
        setUpGrid(3, 3, pixels);
        for (Side side : { Side::Left, Side::Bottom, Side::Right, Side::Top })
            grid.Func_SetSide(4, side);
        draw(4);
        // Walls take 10/48 of the edge and the passage 28/48, at every size.
        const double wall = 10.0 / 48.0;
        EXPECT_TRUE(isLight(sample(4, 0.0, 0.5))) << pixels;
        EXPECT_TRUE(isLight(sample(4, 0.5, 0.5))) << pixels;
        EXPECT_TRUE(isRedWall(sample(4, 0.0, 0.0))) << pixels;
        EXPECT_TRUE(isRedWall(sample(4, 1.0, 1.0))) << pixels;
        if (pixels >= 32) {
            EXPECT_TRUE(isRedWall(sample(4, wall * 0.5, wall * 0.5))) << pixels;
            EXPECT_TRUE(isLight(sample(4, wall * 1.6, wall * 1.6))) << pixels;
        }
    }
}

// The kept copies follow the square size: after a change of size, and back, every cell comes
// at the size asked for, smoothly scaled, and each tile number gets its own cell.
TEST(ScaledCells, AreTheCellsScaledSmoothlyToTheSizeAskedFor)
{
    const TileSets sets = loadTileSets();
    for (const int pixels : { 32, 7, 96, 32, 48 }) {
        const QSize size(pixels, pixels);
        for (const PictureClip &set : sets) {
            for (const int n : { 0, 6, 15, 6 }) {
                const QImage expected
                        = set.GraphicCell(n)
                                  .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGB32);
                ASSERT_EQ(set.ScaledCell(n, size), expected) << pixels << " cell " << n;
            }
        }
    }
}

TEST_F(TilePainter, AtFortyEightPixelsTheCellLandsPixelForPixel)
{
    setUpGrid(3, 3, 48);
    grid.Func_SetSide(4, Side::Bottom);
    grid.Func_SetSide(4, Side::Right);
    draw(4);
    const QImage cell = sets[0].GraphicCell(4 + 2);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(surface->at(48 + x, 48 + y), cell.pixel(x, y)) << x << "," << y;
    }
}

TEST_F(TilePainter, PaintingTheSameSquareTwiceChangesNothingMore)
{
    setUpGrid(10, 10, 32);
    grid.Func_SetSide(55, Side::Top);
    grid.Func_SetSide(55, Side::Bottom);
    draw(55, TileSet::DarkTealBlue);
    const QImage once = surface->retained.pixels();
    draw(55, TileSet::DarkTealBlue);
    EXPECT_EQ(surface->retained.pixels(), once);
}

TEST(RetainedImage, CutsOffWhatFallsOutsideAndKeepsItsPlaceOnResize)
{
    RetainedImage canvas(QSize(100, 80), Qt::white);
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    EXPECT_EQ(canvas.draw(red, QRect(95, 75, 10, 10)), QRect(95, 75, 5, 5));
    EXPECT_EQ(canvas.draw(red, QRect(-5, -5, 10, 10)), QRect(0, 0, 5, 5));
    EXPECT_TRUE(canvas.draw(red, QRect(200, 0, 10, 10)).isEmpty());
    EXPECT_EQ(canvas.pixels().pixel(99, 79), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixels().pixel(94, 79), qRgb(255, 255, 255));

    ASSERT_TRUE(canvas.resize(QSize(50, 120)));
    EXPECT_EQ(canvas.pixels().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixels().pixel(49, 79), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixels().pixel(10, 119), qRgb(255, 255, 255));
    ASSERT_TRUE(canvas.resize(QSize(100, 80)));
    EXPECT_EQ(canvas.pixels().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixels().pixel(99, 79), qRgb(255, 255, 255)); // not brought back
}

// Pixel for pixel through changes of shape: a wide canvas made narrower and taller, a tall one
// wider and shorter, narrower at the same height and larger both ways. Each time the overlap is
// the old image's own and the rest is background, so no row was copied at the other image's
// width (which, at the last kept row, also reads or writes past an image: the asan build stops).
TEST(RetainedImage, KeepsTheOverlapPixelForPixelWhateverTheNewShape)
{
    RetainedImage canvas(QSize(40, 6), Qt::white);
    int step = 0;
    for (const QSize size : { QSize(12, 30), QSize(50, 9), QSize(20, 9), QSize(35, 14) }) {
        // Every pixel different, and different from the steps before.
        QImage pattern(canvas.size(), QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x)
                pattern.setPixel(x, y, qRgb(x, y, ++step % 256));
        ASSERT_EQ(canvas.draw(pattern, pattern.rect()), pattern.rect());

        ASSERT_TRUE(canvas.resize(size));
        ASSERT_EQ(canvas.size(), size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                ASSERT_EQ(canvas.pixels().pixel(x, y),
                          pattern.rect().contains(x, y) ? pattern.pixel(x, y) : qRgb(255, 255, 255))
                        << x << "," << y << " after " << pattern.width() << "x"
                        << pattern.height() << " became " << size.width() << "x" << size.height();
    }
}
