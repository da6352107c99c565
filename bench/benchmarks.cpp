// Benchmarks of painting, stroke steps, set-up and saving at the largest grid, each measured in
// the same run as the floor that bounds it (a bare copy, allocation or write of the same bytes).
#include "bitmapfile/bitmapfile.h"
#include "tests/support/savenow.h"
#include "tests/support/editordriver.h"
#include "ui/editorfont.h"
#include "tests/support/imagesurface.h"
#include "ui/picturebox.h"
#include "render/tilepainter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QEventLoop>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <random>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Squares = 100;

// Floors are noisy on a shared machine; the least of the repetitions is the stable figure, and
// the ratios are taken between those.
double least(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}
#define PASSAGES_BENCHMARK(name) BENCHMARK(name)->ComputeStatistics("min", least)

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
PASSAGES_BENCHMARK(BM_TileCopyFloor)->Arg(7)->Arg(32)->Arg(48)->Arg(96);

void BM_DrawSquare(benchmark::State &state)
{
    const auto p = std::int16_t(state.range(0));
    Grid grid;
    grid.resize({ Squares, Squares, p });
    std::mt19937 random(7);
    for (int i = 0; i < Squares * Squares; ++i) {
        for (Side side : { Side::Left, Side::Bottom, Side::Right, Side::Top }) {
            if (random() % 2)
                grid.Func_SetSide(i, side);
        }
    }
    const TileSets sets = loadTileSets();
    ImageSurface surface(canvasSizeFor(grid.settings()));
    SquareWalk walk;
    for (auto _ : state) {
        const int square = walk.next();
        paintSquare(surface, sets, grid, square, square & 1 ? TileSet::DarkTealBlue : TileSet::DarkRed);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * p * p * 4);
}
PASSAGES_BENCHMARK(BM_DrawSquare)->Arg(7)->Arg(32)->Arg(48)->Arg(96);

// The main window offscreen, set up through the same call the settings dialog makes.
struct Editor
{
    explicit Editor(Settings grid)
    {
        (void)driver.form.Sub_Draw(grid);
        QCoreApplication::processEvents();
    }
    void sendMove(QPoint at, Qt::MouseButtons buttons)
    {
        QWidget *canvas = driver.canvas();
        QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    EditorDriver driver;
};

// The centres of the squares a stroke steps through: a ring round the top three rows of the
// squares the window shows, clear of the buttons (which lie over rows 3 and 4 and would be
// repainted with them), so that every step, the last one back to the start included, enters a
// neighbour.
std::vector<QPoint> strokePath(int p)
{
    constexpr int lastColumn = 5;
    constexpr int lastRow = 2;
    std::vector<QPoint> squares;
    for (int column = 0; column < lastColumn; ++column)
        squares.emplace_back(column, 0);
    for (int row = 0; row < lastRow; ++row)
        squares.emplace_back(lastColumn, row);
    for (int column = lastColumn; column > 0; --column)
        squares.emplace_back(column, lastRow);
    for (int row = lastRow; row > 0; --row)
        squares.emplace_back(0, row);
    std::vector<QPoint> path;
    for (const QPoint &square : squares)
        path.push_back(square * p + QPoint(p / 2, p / 2));
    return path;
}

// A caption like Label1's, different each time.
QString positionCaption(int at)
{
    return QStringLiteral("X:%1,Y:%2,ID:%3")
            .arg(QString::number(at % 100), QString::number(at / 100 % 100),
                 QString::number(at % 10000));
}

// What a stroke step, and each of its floors, repeats. Each next() asks for a repaint that
// QCoreApplication::sendPostedEvents() then makes, up to the window's backing store.

// One real QMouseEvent (left button held) into the next square along the path.
class StrokeSteps
{
public:
    explicit StrokeSteps(Editor &editor)
        : m_editor(editor)
        , m_path(strokePath(editor.driver.settings().PixelsPerSquare))
    {
        m_editor.driver.press(m_path.front());
    }
    void next()
    {
        m_at = (m_at + 1) % m_path.size();
        m_editor.sendMove(m_path[m_at], Qt::LeftButton);
    }

private:
    Editor &m_editor;
    std::vector<QPoint> m_path;
    std::size_t m_at = 0;
};

// The canvas repainting the two squares of each step along the same path: the same pixels as
// the step, in the same order, so that they are as far from the cache as the step finds them.
class CanvasRepaints
{
public:
    explicit CanvasRepaints(Editor &editor)
        : m_editor(editor)
        , m_pixels(editor.driver.settings().PixelsPerSquare)
        , m_path(strokePath(m_pixels))
    { }
    void next()
    {
        const QRect from = square(m_at);
        m_at = (m_at + 1) % m_path.size();
        m_editor.driver.canvas()->update(from | square(m_at));
    }

private:
    QRect square(std::size_t i) const
    {
        return QRect(m_path[i] - QPoint(m_pixels / 2, m_pixels / 2), QSize(m_pixels, m_pixels));
    }
    Editor &m_editor;
    int m_pixels;
    std::vector<QPoint> m_path;
    std::size_t m_at = 0;
};

// A stock opaque QLabel with Label1's geometry and font in a window of the main window's size,
// given a new caption: what the toolkit must repaint for it, whatever the editor does.
class CaptionRepaints
{
public:
    CaptionRepaints()
        : m_label(&m_window)
    {
        m_window.resize(layout::Form1::client);
        m_label.setGeometry(32, 8, 105, 17);
        m_label.setFont(editorFont());
        m_label.setAutoFillBackground(true);
        m_window.show();
        QCoreApplication::processEvents();
    }
    void next() { m_label.setText(positionCaption(++m_at)); }

private:
    QWidget m_window;
    QLabel m_label;
    int m_at = 0;
};

void BM_StrokeStep(benchmark::State &state)
{
    Editor editor({ Squares, Squares, std::int16_t(state.range(0)) });
    StrokeSteps steps(editor);
    for (auto _ : state) {
        steps.next();
        QCoreApplication::sendPostedEvents();
    }
}
PASSAGES_BENCHMARK(BM_StrokeStep)->Arg(96);

// The real Label1 in the main window given a new caption.
void BM_ReadoutRepaint(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    QLabel *label = editor.driver.label("Label1");
    int at = 0;
    for (auto _ : state) {
        label->setText(positionCaption(++at));
        QCoreApplication::sendPostedEvents();
    }
}
PASSAGES_BENCHMARK(BM_ReadoutRepaint);

void BM_LabelRepaint(benchmark::State &state)
{
    CaptionRepaints captions;
    for (auto _ : state) {
        captions.next();
        QCoreApplication::sendPostedEvents();
    }
}
PASSAGES_BENCHMARK(BM_LabelRepaint);

void BM_CanvasRepaint(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    CanvasRepaints repaints(editor);
    for (auto _ : state) {
        repaints.next();
        QCoreApplication::sendPostedEvents();
    }
}
PASSAGES_BENCHMARK(BM_CanvasRepaint);

// The stroke step and its floor measured side by side: rounds of a block of steps, a block of
// canvas repaints along the same path and a block of captions, each block timed, and the least
// of each kind kept. On a shared machine whose speed drifts over seconds, the separate
// benchmarks above can catch the step and its floors in different moods; here all three see the
// same ones.
void BM_StrokeStepInterleaved(benchmark::State &state)
{
    constexpr int block = 32;
    constexpr int rounds = 300;
    Editor editor({ Squares, Squares, 96 });
    StrokeSteps steps(editor);
    CanvasRepaints repaints(editor);
    CaptionRepaints captions;
    auto leastOf = [](auto &work, double &least) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < block; ++i) {
            work.next();
            QCoreApplication::sendPostedEvents();
        }
        least = std::min(least, double(timer.nsecsElapsed()) / block);
    };
    const double never = std::numeric_limits<double>::max();
    double step = never, canvas = never, caption = never;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            leastOf(steps, step);
            leastOf(repaints, canvas);
            leastOf(captions, caption);
        }
    }
    const double floor = canvas + 2 * caption;
    state.counters["step_us"] = step / 1000;
    state.counters["floor_us"] = floor / 1000;
    state.counters["ratio"] = step / floor;
}
PASSAGES_BENCHMARK(BM_StrokeStepInterleaved)->Iterations(1)->Unit(benchmark::kMillisecond);

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
PASSAGES_BENCHMARK(BM_CanvasAllocFloor)->Unit(benchmark::kMillisecond);

void BM_SubDrawLargest(benchmark::State &state)
{
    Editor editor({ 3, 3, 7 });
    for (auto _ : state) {
        (void)editor.driver.form.Sub_Draw({ Squares, Squares, 96 });
        state.PauseTiming();
        (void)editor.driver.form.Sub_Draw({ 3, 3, 7 });
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
PASSAGES_BENCHMARK(BM_SubDrawLargest)->Unit(benchmark::kMillisecond);

QString benchFolder()
{
    static QTemporaryDir dir(QDir::current().filePath(QStringLiteral("bench-files-XXXXXX")));
    return dir.path();
}

// The bitmap's bytes written into the same folder as the save, bare (BM_WriteFloor) and made
// durable (BM_DurableWriteFloor) as a save must: the file's data synced (fdatasync), and the
// folder that holds its name synced (fsync).
void writeFloor(benchmark::State &state, bool durable)
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
        if (durable && ::fdatasync(fd) != 0)
            state.SkipWithError("fdatasync failed");
        ::close(fd);
        if (durable) {
            const int folder = ::open(QFile::encodeName(benchFolder()).constData(),
                                      O_RDONLY | O_DIRECTORY);
            if (::fsync(folder) != 0)
                state.SkipWithError("the folder's fsync failed");
            ::close(folder);
        }
        state.PauseTiming();
        ::unlink(path.constData());
        state.ResumeTiming();
    }
}

void BM_WriteFloor(benchmark::State &state)
{
    writeFloor(state, false);
}
PASSAGES_BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond);

void BM_DurableWriteFloor(benchmark::State &state)
{
    writeFloor(state, true);
}
PASSAGES_BENCHMARK(BM_DurableWriteFloor)->Unit(benchmark::kMillisecond);

void BM_SaveLargest(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    const QString path = QDir(benchFolder()).filePath(QStringLiteral("test.bmp"));
    for (auto _ : state) {
        if (saveNow(editor.driver.canvas()->Image(), saveTargetFor(path)).end
            != SaveOutcome::End::Saved)
            state.SkipWithError("save failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
PASSAGES_BENCHMARK(BM_SaveLargest)->Unit(benchmark::kMillisecond);

qint64 threadNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The longest the window's event loop is kept from running while the largest canvas is saved
// through the real Form1: a 1 ms timer runs from before Save is pressed until the save has ended
// and one tick more, and each save's iteration time is the longest gap between two ticks (the
// press itself, the progress dialog's updates and the end of the save included). Were the save
// on the window's thread, the gap would be the whole save (BM_SaveLargest). The worst of the
// repetitions ("max") is the figure. Beside it, busy_ms: the most processor time the window's
// own thread spent between two ticks, which is the part of a gap the editor's code is
// answerable for; the rest is the system giving the core to other threads and programs.
void BM_SaveEventLoopGap(benchmark::State &state)
{
    Editor editor({ Squares, Squares, 96 });
    Form1 &form = editor.driver.form;
    qputenv("HOME", QFile::encodeName(benchFolder())); // where "Save" writes
    const QString path = defaultBitmapPath();
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        qint64 busiest = 0; // the window's thread's own processor time between two ticks
        qint64 busyAtTick = threadNanoseconds();
        int ticksAfterEnd = -1;
        QEventLoop loop;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(1);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.nsecsElapsed());
            sinceTick.restart();
            const qint64 busy = threadNanoseconds();
            busiest = std::max(busiest, busy - busyAtTick);
            busyAtTick = busy;
            if (ticksAfterEnd >= 0 && ++ticksAfterEnd == 2)
                loop.quit();
        });
        QObject::connect(&form, &Form1::saveEnded, &loop, [&] { ticksAfterEnd = 0; });
        QTimer::singleShot(20, &form, [&] {
            QTest::mouseClick(editor.driver.button("cmdSave"), Qt::LeftButton);
        });
        sinceTick.start();
        ticks.start();
        loop.exec();
        QObject::disconnect(&form, &Form1::saveEnded, &loop, nullptr);
        state.SetIterationTime(double(longest) / 1e9);
        state.counters["busy_ms"] = double(busiest) / 1e6;
        if (!QFileInfo::exists(path) || editor.driver.form.findChild<QMessageBox *>())
            state.SkipWithError("save failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
double most(const std::vector<double> &values)
{
    return *std::max_element(values.begin(), values.end());
}
BENCHMARK(BM_SaveEventLoopGap)
        ->ComputeStatistics("max", most)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

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
