// The cursor frame on a scaled screen (run with QT_SCALE_FACTOR set): its outline lies on the
// very device pixels where the edges of its square's tile are shown.
#include "tests/uitest.h"

#include <array>
#include <cmath>

namespace {

// The first and last device pixels along a line of the screen that pass `test`, looking from
// `from` to `to` (device pixels) with the other coordinate fixed.
std::pair<int, int> extent(const QImage &screen, bool across, int fixed, int from, int to,
                           auto test)
{
    int first = -1;
    int last = -1;
    for (int v = from; v <= to; ++v) {
        if (test(across ? screen.pixel(v, fixed) : screen.pixel(fixed, v))) {
            if (first < 0)
                first = v;
            last = v;
        }
    }
    return { first, last };
}

bool isRed(QRgb c)
{
    return c == qRgb(255, 0, 0);
}
bool isPainted(QRgb c)
{
    return c != qRgb(255, 255, 255);
}

} // namespace

TEST(ScaledScreen, TheFrameLiesOnTheEdgesOfItsSquare)
{
    EditorDriver editor;
    const qreal scale = editor.form.devicePixelRatioF();
    std::printf("device pixel ratio %g\n", scale);
    editor.setUp(10, 10, 32);
    editor.drag({ { 2, 2 }, { 2, 3 } }); // (2, 2) has walls left and right
    editor.drag({ { 5, 5 }, { 6, 5 } }); // (5, 5) has walls above and below
    const QPoint corner = editor.canvasInWindow().topLeft();
    auto device = [&](int v) { return int(v * scale); };

    const struct
    {
        int column, row;
        bool across;
    } squares[] = { { 2, 2, true }, { 5, 5, false } };
    for (const auto &s : squares) {
        SCOPED_TRACE("square " + std::to_string(s.column) + "," + std::to_string(s.row));
        // Along the middle of the square, from half a square before it to half a square after.
        const QPoint middle = corner + editor.centre(s.column, s.row);
        const int start = (s.across ? corner.x() + s.column * 32 : corner.y() + s.row * 32) - 16;
        const int fixed = device(s.across ? middle.y() : middle.x());
        editor.moveTo(editor.centre(8, 8));
        const auto tile = extent(onScreen(editor.form), s.across, fixed, device(start),
                                 device(start + 64), isPainted);
        editor.moveTo(editor.centre(s.column, s.row));
        const auto frame = extent(onScreen(editor.form), s.across, fixed, device(start),
                                  device(start + 64), isRed);
        EXPECT_EQ(frame, tile) << "frame " << frame.first << " to " << frame.second << ", tile "
                               << tile.first << " to " << tile.second;
        EXPECT_NEAR(tile.second - tile.first + 1, 32 * scale, 1.0);
    }
}

namespace {

// The device pixels of a logical rectangle: those whose centre lies in it.
QRect devicePixels(const QRectF &logical, qreal scale)
{
    const QRectF d(logical.topLeft() * scale, logical.size() * scale);
    return QRect(QPoint(int(std::ceil(d.left() - 0.5)), int(std::ceil(d.top() - 0.5))),
                 QPoint(int(std::ceil(d.right() - 0.5)) - 1, int(std::ceil(d.bottom() - 0.5)) - 1));
}

// How many device pixels of `area` show the colour.
int countOf(const QImage &screen, const QRect &area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += screen.pixel(x, y) == colour;
    return n;
}

// The four one-pixel sides of a line rectangle.
std::array<QRect, 4> sidesOf(const QRect &r)
{
    return { QRect(r.left(), r.top(), r.width(), 1), QRect(r.left(), r.bottom(), r.width(), 1),
             QRect(r.left(), r.top(), 1, r.height()), QRect(r.right(), r.top(), 1, r.height()) };
}

} // namespace

TEST(ScaledScreen, TheLineAroundTheCanvasMovesWithEachSetUp)
{
    EditorDriver editor;
    const qreal scale = editor.form.devicePixelRatioF();
    const QRgb line = editor.form.palette().color(QPalette::Dark).rgb();
    QRect before = editor.canvasInWindow().adjusted(-1, -1, 1, 1);
    // Smaller, larger and smaller than the canvas at start; all of it within the part of the
    // window the offscreen screen grabs at a scale of 2.
    for (const int squares : { 5, 30, 3 }) {
        editor.setUp(squares, squares, 7);
        const QRect now = editor.canvasInWindow().adjusted(-1, -1, 1, 1);
        const QImage screen = onScreen(editor.form);
        SCOPED_TRACE(squares);
        for (const QRect &side : sidesOf(now)) {
            // All along the side (but for a device pixel at each end, where rounding decides),
            // the line shows on a device pixel of its one logical pixel or the one beside it.
            const QRect d = devicePixels(side, scale);
            const bool across = side.width() > 1;
            const int first = (across ? d.left() : d.top()) + 1;
            const int last = (across ? d.right() : d.bottom()) - 1;
            int missing = 0;
            for (int v = first; v <= last; ++v)
                missing += countOf(screen,
                                   across ? QRect(v, d.top() - 1, 1, d.height() + 2)
                                          : QRect(d.left() - 1, v, d.width() + 2, 1),
                                   line)
                        == 0;
            EXPECT_EQ(missing, 0) << "line side at " << side.x() << "," << side.y();
        }
        // Nothing of the earlier line is left where the new one and the canvas are not.
        for (const QRect &side : sidesOf(before)) {
            const QRegion gone = QRegion(side) - now.adjusted(-2, -2, 2, 2);
            for (const QRect &r : gone)
                EXPECT_EQ(countOf(screen, devicePixels(r, scale), line), 0)
                        << "old line at " << r.x() << "," << r.y();
        }
        before = now;
    }
}

TEST(ScaledScreen, TheFrameIsOneDevicePixelThick)
{
    EditorDriver editor;
    const qreal scale = editor.form.devicePixelRatioF();
    editor.setUp(10, 10, 32);
    editor.moveTo(editor.centre(4, 4));
    const QImage screen = onScreen(editor.form);
    const QRect square(editor.canvasInWindow().topLeft() + QPoint(4 * 32, 4 * 32), QSize(32, 32));
    const QRect d = devicePixels(square, scale); // the square's device pixels
    const QPoint middle = d.center();
    const QRgb red = qRgb(255, 0, 0);
    // The outermost device pixel of each edge is red, the one just inside it is not.
    EXPECT_EQ(screen.pixel(d.left(), middle.y()), red);
    EXPECT_NE(screen.pixel(d.left() + 1, middle.y()), red);
    EXPECT_EQ(screen.pixel(d.right(), middle.y()), red);
    EXPECT_NE(screen.pixel(d.right() - 1, middle.y()), red);
    EXPECT_EQ(screen.pixel(middle.x(), d.top()), red);
    EXPECT_NE(screen.pixel(middle.x(), d.top() + 1), red);
    EXPECT_EQ(screen.pixel(middle.x(), d.bottom()), red);
    EXPECT_NE(screen.pixel(middle.x(), d.bottom() - 1), red);
}
