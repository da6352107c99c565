// The cursor frame on a scaled screen (run with QT_SCALE_FACTOR set): its outline lies on the
// very device pixels where the edges of its square's tile are shown.
#include "uitest.h"

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
