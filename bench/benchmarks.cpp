// Benchmarks of painting, stroke steps, set-up and saving at the largest grid, each measured in
// the same run as the floor that bounds it (a bare copy, allocation or write of the same bytes).
#include <canvassetup.h>
#include <form1.h>
#include <picturebox.h>
#include <readoutlabel.h>
#include <retainedimage.h>
#include <tilepainter.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Squares = 100;

// Visits every square of the grid in turn, row by row, as a drag does: each paint lands next to
// the one before. The floor and the painter walk alike.
class SquareWalk
{
public:
    int next()
    {
        const int square = m_at;
        m_at = (m_at + 1) % (Squares * Squares);
        return square;
    }

private:
    int m_at = 0;
};

void BM_TileCopyFloor(benchmark::State &state)
{
    const int p = int(state.range(0));
    const int width = Squares * p;
    std::vector<quint32> canvas(std::size_t(width) * std::size_t(width), 0xffffffffu);
    std::vector<quint32> tile(std::size_t(p) * std::size_t(p), 0xff800000u);
    SquareWalk walk;
    for (auto _ : state) {
        const int square = walk.next();
        quint32 *corner = canvas.data() + std::size_t(square / Squares) * p * width
                + std::size_t(square % Squares) * p;
        for (int row = 0; row < p; ++row)
            std::memcpy(corner + std::size_t(row) * width, tile.data() + std::size_t(row) * p,
                        std::size_t(p) * sizeof(quint32));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * p * p * 4);
}
BENCHMARK(BM_TileCopyFloor)->Arg(7)->Arg(32)->Arg(48)->Arg(96);

struct ImageSurface : PictureSurface
{
    explicit ImageSurface(QSize size)
        : retained(size)
    { }
    void PaintPicture(const QImage &picture, float x1, float y1, float w, float h) override
    {
        retained.paintPicture(picture, x1, y1, w, h);
    }
    RetainedImage retained;
};

void BM_DrawSquare(benchmark::State &state)
{
    const auto p = std::int16_t(state.range(0));
    const Settings settings { Squares, Squares, p };
    SquareData data;
    Sub_ResizeSquareData(data, settings);
    std::mt19937 random(7);
    for (int i = 0; i < Squares * Squares; ++i) {
        const int n = int(random() % 16);
        for (int bit = 0; bit < 4; ++bit)
            data.at(i)[std::size_t(bit)] = (n >> (3 - bit)) & 1 ? '1' : '0';
    }
    const TileSets sets { PictureClip::fromFile(":/tiles/tileset0.bmp"),
                          PictureClip::fromFile(":/tiles/tileset1.bmp") };
    ImageSurface surface(canvasSizeFor(settings));
    SquareWalk walk;
    for (auto _ : state) {
        const int square = walk.next();
        Sub_DrawSquare(surface, sets, data, settings, float(square % Squares * p),
                       float(square / Squares * p), std::int16_t(square & 1));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * p * p * 4);
}
BENCHMARK(BM_DrawSquare)->Arg(7)->Arg(32)->Arg(48)->Arg(96);

// The main window offscreen, set up through the same call the settings dialog makes.
struct Editor
{
    explicit Editor(Settings grid)
        : settings(grid)
        , form(settings)
    {
        form.show();
        (void)form.Sub_Draw();
        QCoreApplication::processEvents();
    }
    void sendMove(QPoint at, Qt::MouseButtons buttons)
    {
        QWidget *canvas = form.canvas();
        QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    void sendPress(QPoint at)
    {
        QWidget *canvas = form.canvas();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
    }
    Settings settings;
    Form1 form;
};

void BM_StrokeStep(benchmark::State &state)
{
    const int p = int(state.range(0));
    Editor editor({ Squares, Squares, std::int16_t(p) });
    // Steps within the squares the window shows, snaking so every step enters a neighbour.
    const int columns = 6;
    const int rows = 5;
    std::vector<QPoint> path;
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < columns; ++i) {
            const int column = row % 2 == 0 ? i : columns - 1 - i;
            path.emplace_back(column * p + p / 2, row * p + p / 2);
        }
    }
    for (int row = rows - 2; row > 0; --row)
        path.emplace_back(p / 2, row * p + p / 2);
    editor.sendPress(path.front());
    std::size_t at = 0;
    for (auto _ : state) {
        at = (at + 1) % path.size();
        editor.sendMove(path[at], Qt::LeftButton);
        // The repaint the movement asked for, up to the window's backing store.
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_StrokeStep)->Arg(96);

// What a stroke step's repaint is made of: one read-out rewritten and repainted, and the canvas
// repainting two tiles' worth, each with the paint cycle it causes.
void BM_ReadoutRepaint(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    auto *label = editor.form.findChild<ReadoutLabel *>(QStringLiteral("Label1"));
    int at = 0;
    for (auto _ : state) {
        ++at;
        label->setText(QStringLiteral("X:%1,Y:%2,ID:%3")
                               .arg(at % 100)
                               .arg(at / 100 % 100)
                               .arg(at % 10000));
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_ReadoutRepaint);

void BM_CanvasRepaint(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    for (auto _ : state) {
        editor.form.canvas()->update(QRect(96, 96, 2 * 96, 96));
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_CanvasRepaint);

constexpr std::size_t LargestPixels = std::size_t(9600) * 9600;

void BM_CanvasAllocFloor(benchmark::State &state)
{
    for (auto _ : state) {
        auto *pixels = static_cast<quint32 *>(std::malloc(LargestPixels * sizeof(quint32)));
        std::memset(pixels, 0xff, LargestPixels * sizeof(quint32));
        benchmark::DoNotOptimize(pixels);
        state.PauseTiming();
        std::free(pixels);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CanvasAllocFloor)->Unit(benchmark::kMillisecond);

void BM_SubDrawLargest(benchmark::State &state)
{
    Editor editor({ 3, 3, 7 });
    for (auto _ : state) {
        editor.settings = { Squares, Squares, 96 };
        (void)editor.form.Sub_Draw();
        state.PauseTiming();
        editor.settings = { 3, 3, 7 };
        (void)editor.form.Sub_Draw();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SubDrawLargest)->Unit(benchmark::kMillisecond);

QString benchFolder()
{
    static QTemporaryDir dir(QDir::current().filePath(QStringLiteral("bench-files-XXXXXX")));
    return dir.path();
}

void BM_WriteFloor(benchmark::State &state)
{
    const std::size_t bytes = LargestPixels * 3 + 54;
    std::vector<char> data(bytes, '\x5a');
    const QByteArray path = QDir(benchFolder()).filePath(QStringLiteral("floor.bmp")).toLocal8Bit();
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < bytes) {
            const ssize_t n = ::write(fd, data.data() + done, bytes - done);
            if (n <= 0) {
                state.SkipWithError("write failed");
                break;
            }
            done += std::size_t(n);
        }
        ::close(fd);
        state.PauseTiming();
        ::unlink(path.constData());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond);

void BM_SaveLargest(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    const QString path = QDir(benchFolder()).filePath(QStringLiteral("test.bmp"));
    for (auto _ : state) {
        SavePicture(editor.form.canvas()->Image(), path);
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveLargest)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
