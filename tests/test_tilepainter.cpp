// The tile painter: which square's code it paints, from which set, where and at what size.
#include <editorerror.h>
#include <retainedimage.h>
#include <tilepainter.h>

#include <gtest/gtest.h>

namespace {

struct ImageSurface : PictureSurface
{
    explicit ImageSurface(QSize size)
        : retained(size, Qt::black)
    { }
    void PaintPicture(const QImage &picture, float x1, float y1, float w, float h) override
    {
        ++calls;
        retained.paintPicture(picture, x1, y1, w, h);
    }
    QRgb at(int x, int y) const { return retained.image().pixel(x, y); }

    RetainedImage retained;
    int calls = 0;
};

bool isPassage(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}
bool isRedWall(QRgb c)
{
    return qRed(c) > 100 && qGreen(c) < 40 && qBlue(c) < 40;
}
bool isTealWall(QRgb c)
{
    return qRed(c) < 40 && qBlue(c) > 60 && qBlue(c) > qRed(c) + 40;
}

class TilePainter : public ::testing::Test
{
protected:
    void setUpGrid(std::int16_t sizeX, std::int16_t sizeY, std::int16_t pixels)
    {
        settings = { sizeX, sizeY, pixels };
        Sub_ResizeSquareData(data, settings);
        surface = std::make_unique<ImageSurface>(QSize(sizeX * pixels, sizeY * pixels));
    }
    void draw(float x, float y, std::int16_t mode)
    {
        Sub_DrawSquare(*surface, sets, data, settings, x, y, mode);
    }
    // The colour at a position given in fractions of the square whose corner is (x, y).
    QRgb sample(int x, int y, double fx, double fy) const
    {
        const int p = settings.PixelsPerSquare;
        return surface->at(x + int(fx * (p - 1) + 0.5), y + int(fy * (p - 1) + 0.5));
    }

    TileSets sets { PictureClip::fromFile(":/tiles/tileset0.bmp"),
                    PictureClip::fromFile(":/tiles/tileset1.bmp") };
    Settings settings;
    SquareData data;
    std::unique_ptr<ImageSurface> surface;
};

} // namespace

TEST_F(TilePainter, PaintsTheTileOfTheSquaresCodeIntoItsRectangle)
{
    setUpGrid(10, 10, 32);
    data.at(12) = "0010"; // open to the right
    draw(64, 32, 0);
    EXPECT_TRUE(isPassage(sample(64, 32, 0.5, 0.5)));
    EXPECT_TRUE(isPassage(sample(64, 32, 1.0, 0.5))); // the arm reaches the right edge
    EXPECT_TRUE(isRedWall(sample(64, 32, 0.0, 0.5)));
    EXPECT_TRUE(isRedWall(sample(64, 32, 0.5, 0.0)));
    EXPECT_TRUE(isRedWall(sample(64, 32, 0.5, 1.0)));
    // Nothing outside the square's 32 x 32 pixels.
    for (auto [x, y] : { std::pair { 63, 40 }, { 96, 40 }, { 70, 31 }, { 70, 64 } })
        EXPECT_EQ(surface->at(x, y), qRgb(0, 0, 0)) << x << "," << y;
}

TEST_F(TilePainter, ModeSelectsTheTileSet)
{
    setUpGrid(10, 10, 32);
    data.at(12) = "0010";
    draw(64, 32, 1);
    EXPECT_TRUE(isTealWall(sample(64, 32, 0.0, 0.5)));
    EXPECT_TRUE(isPassage(sample(64, 32, 1.0, 0.5)));
    EXPECT_THROW(draw(64, 32, 2), EditorError);
}

TEST_F(TilePainter, AnUntouchedSquareIsAClosedBox)
{
    setUpGrid(10, 10, 32);
    draw(0, 0, 0);
    EXPECT_TRUE(isPassage(sample(0, 0, 0.5, 0.5)));
    for (auto [fx, fy] : { std::pair { 0.0, 0.5 }, { 1.0, 0.5 }, { 0.5, 0.0 }, { 0.5, 1.0 } })
        EXPECT_TRUE(isRedWall(sample(0, 0, fx, fy))) << fx << "," << fy;
}

TEST_F(TilePainter, ScalesTheWholeCellToTheSquare)
{
    for (std::int16_t pixels : { 7, 8, 32, 48, 96 }) {
        setUpGrid(3, 3, pixels);
        data.at(4) = "1111";
        draw(pixels, pixels, 0);
        // Walls take 10/48 of the edge and the passage 28/48, at every size.
        const double wall = 10.0 / 48.0;
        EXPECT_TRUE(isPassage(sample(pixels, pixels, 0.0, 0.5))) << pixels;
        EXPECT_TRUE(isPassage(sample(pixels, pixels, 0.5, 0.5))) << pixels;
        EXPECT_TRUE(isRedWall(sample(pixels, pixels, 0.0, 0.0))) << pixels;
        EXPECT_TRUE(isRedWall(sample(pixels, pixels, 1.0, 1.0))) << pixels;
        if (pixels >= 32) {
            EXPECT_TRUE(isRedWall(sample(pixels, pixels, wall * 0.5, wall * 0.5))) << pixels;
            EXPECT_TRUE(isPassage(sample(pixels, pixels, wall * 1.6, wall * 1.6))) << pixels;
        }
    }
}

TEST_F(TilePainter, AtFortyEightPixelsTheCellLandsPixelForPixel)
{
    setUpGrid(3, 3, 48);
    data.at(4) = "0110";
    draw(48, 48, 0);
    const QImage cell = sets[0].GraphicCell(6);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(surface->at(48 + x, 48 + y), cell.pixel(x, y)) << x << "," << y;
    }
}

TEST_F(TilePainter, PositionsThatAreNotMultiplesRoundHalfToEven)
{
    setUpGrid(10, 10, 32);
    EXPECT_EQ(squareIndexAt(16, 0, settings), 0); // 0.5 -> 0
    EXPECT_EQ(squareIndexAt(48, 0, settings), 2); // 1.5 -> 2
    EXPECT_EQ(squareIndexAt(64, 32, settings), 12);
    data.at(2) = "1111";
    draw(48, 0, 0); // paints square 2's cross at x = 48
    EXPECT_TRUE(isPassage(sample(48, 0, 0.0, 0.5)));
}

TEST_F(TilePainter, AnIndexWithoutAnEntryDrawsNothing)
{
    setUpGrid(10, 10, 32);
    const QImage before = surface->retained.image();
    try {
        draw(0, 11 * 32, 0); // index 110, past the spare entry
        FAIL() << "no error";
    } catch (const EditorError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::SubscriptOutOfRange);
    }
    EXPECT_EQ(surface->calls, 0);
    EXPECT_EQ(surface->retained.image(), before);

    SquareData empty;
    EXPECT_THROW(Sub_DrawSquare(*surface, sets, empty, settings, 0, 0, 0), EditorError);
    const Settings notSetUp;
    EXPECT_THROW(Sub_DrawSquare(*surface, sets, data, notSetUp, 0, 0, 0), EditorError);
    EXPECT_EQ(surface->calls, 0);
}

TEST_F(TilePainter, PaintingTheSameSquareTwiceChangesNothingMore)
{
    setUpGrid(10, 10, 32);
    data.at(55) = "0101";
    draw(160, 160, 1);
    const QImage once = surface->retained.image();
    draw(160, 160, 1);
    EXPECT_EQ(surface->retained.image(), once);
}

TEST(RetainedImage, CutsOffWhatFallsOutsideAndKeepsItsPlaceOnResize)
{
    RetainedImage canvas(QSize(100, 80), Qt::white);
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    EXPECT_EQ(canvas.paintPicture(red, 95, 75, 10, 10), QRect(95, 75, 5, 5));
    EXPECT_EQ(canvas.paintPicture(red, -5, -5, 10, 10), QRect(0, 0, 5, 5));
    EXPECT_TRUE(canvas.paintPicture(red, 200, 0, 10, 10).isEmpty());
    EXPECT_EQ(canvas.image().pixel(99, 79), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.image().pixel(94, 79), qRgb(255, 255, 255));

    ASSERT_TRUE(canvas.resize(QSize(50, 120)));
    EXPECT_EQ(canvas.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.image().pixel(49, 79), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.image().pixel(10, 119), qRgb(255, 255, 255));
    ASSERT_TRUE(canvas.resize(QSize(100, 80)));
    EXPECT_EQ(canvas.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.image().pixel(99, 79), qRgb(255, 255, 255)); // not brought back
}
