// A random-event soak of the real main window: presses and movements with every button mask,
// anywhere from far outside the canvas to inside it, whole and fractional, mixed with settings
// changes through the dialog (valid, refused and cancelled, smallest to largest grid, also while
// a button is held) and saves. After every event the codes, and the squares the event
// repainted, are checked. The suite replays fixed runs, so it is the same test every time; a run
// number of your own picks another random sequence:
//
//   export QT_QPA_PLATFORM=offscreen
//   PASSAGES_SOAK_EVENTS=1000000 PASSAGES_SOAK_RUN=42 build/dev/tests/test_soak
#include "tests/uitest.h"

#include "bitmapfile/bitmapfile.h"
#include "input/pointermapping.h"
#include "tests/support/tileshown.h"

#include <QImageReader>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

long long environmentNumber(const char *name, long long fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::atoll(value) : fallback;
}

class Soak
{
public:
    explicit Soak(std::uint64_t run)
        : m_random(run)
    { }

    // Runs `events` random events; stops at the first broken property.
    void run(long long events)
    {
        // A little while without settings first, then a grid: strokes need one.
        for (m_event = 0; m_event < std::min(events, 50LL); ++m_event)
            pointer();
        changeSettings(true);
        for (; m_event < events && !::testing::Test::HasFailure(); ++m_event) {
            const int pick = int(m_random() % 1000);
            if (pick < 5)
                changeSettings();
            else if (pick < 7 && m_editor.settings().isSetUp())
                save();
            else
                pointer();
            checkCodes();
        }
    }

private:
    int between(int low, int high) { return low + int(m_random() % unsigned(high - low + 1)); }

    float coordinate(int extent)
    {
        switch (m_random() % 8) {
        case 0:
            return float(between(-100000, 100000)); // far outside, either side
        case 1:
            return float(between(-3, 3)); // around the top or left edge
        case 2:
            return float(extent + between(-3, 3)); // around the bottom or right edge
        case 3:
            return float(between(0, extent)) + float(m_random() % 1000) / 1000.0f;
        default:
            return float(between(0, std::max(0, extent - 1)));
        }
    }

    void pointer()
    {
        const QSize size = m_editor.canvas()->size();
        const QPointF at(coordinate(size.width()), coordinate(size.height()));
        const auto mask = static_cast<std::int16_t>(m_random() % 8);
        const StrokeAnchor anchor = m_editor.form.anchor();
        if (m_random() % 6 == 0) {
            const Qt::MouseButton buttons[] = { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton };
            send(QEvent::MouseButtonPress, at, buttons[m_random() % 3], mask);
            return;
        }
        send(QEvent::MouseMove, at, Qt::NoButton, mask);
        if (m_editor.settings().isSetUp() && (mask == 1 || mask == 2))
            checkRepaint(at, anchor, mask == 1 ? 0 : 1);
    }

    void send(QEvent::Type type, QPointF at, Qt::MouseButton button, std::int16_t mask)
    {
        Qt::MouseButtons held;
        if (mask & 1)
            held |= Qt::LeftButton;
        if (mask & 2)
            held |= Qt::RightButton;
        if (mask & 4)
            held |= Qt::MiddleButton;
        QWidget *canvas = m_editor.canvas();
        QMouseEvent event(type, at, canvas->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
        expectNoError();
    }

    // The squares a stroke step repainted show the tile of their code from the button's set.
    void checkRepaint(QPointF at, StrokeAnchor before, int set)
    {
        const Settings &s = m_editor.settings();
        const PointerSquare here = mapPointer(PictureBox::pixelUnder(at), m_editor.canvas()->size(),
                                              m_editor.form.grid());
        const int column = here.column;
        const int row = here.row;
        if (column == before.LastSquareX && row == before.LastSquareY)
            return;
        checkSquare(column, row, set);
        int neighbourColumn = column;
        int neighbourRow = row;
        if (row != before.LastSquareY)
            neighbourRow += row < before.LastSquareY ? 1 : -1; // vertical steps win
        else
            neighbourColumn += column < before.LastSquareX ? 1 : -1;
        // The anchor is always on the grid, and so is the square the step came from.
        ASSERT_TRUE(neighbourColumn >= 0 && neighbourColumn < s.SizeX && neighbourRow >= 0
                    && neighbourRow < s.SizeY)
                << where(neighbourColumn, neighbourRow);
        checkSquare(neighbourColumn, neighbourRow, set);
    }

    void checkSquare(int column, int row, int set)
    {
        ++m_squaresChecked;
        const Settings &s = m_editor.settings();
        const int p = s.PixelsPerSquare;
        const std::string code = m_editor.code(row * s.SizeX + column);
        const QRect square(column * p, row * p, p, p);
        ASSERT_EQ(tileShown(m_editor.canvas()->Image(), square),
                  code + (set == 1 ? " right" : " left"))
                << where(column, row);
    }

    void checkCodes()
    {
        const std::vector<SquareCode> &codes = m_editor.form.grid().SquareData();
        const Settings &s = m_editor.settings();
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const std::string code = squareCodeText(codes[i]);
            ASSERT_LT(codes[i], 16) << "entry " << i << " after event " << m_event;
            for (std::size_t k = 0; k < 4; ++k) {
                if (i >= m_previous.size() || code[k] == squareCodeText(m_previous[i])[k])
                    continue;
                ASSERT_EQ(code[k], '1') << "entry " << i << " lost a side at event " << m_event;
                // A side gained now never opens onto the edge of the canvas; the spare entry
                // belongs to no square and never gains one.
                const int column = int(i) % s.SizeX;
                const int row = int(i) / s.SizeX;
                const bool ontoEdge = row >= s.SizeY || (k == 0 && column == 0)
                        || (k == 1 && row == s.SizeY - 1) || (k == 2 && column == s.SizeX - 1)
                        || (k == 3 && row == 0);
                ASSERT_FALSE(ontoEdge) << "entry " << i << " side " << k << " at event " << m_event;
            }
        }
        m_previous = codes;
    }

    void changeSettings(bool accept = false)
    {
        const int kind = accept ? 3 : int(m_random() % 4);
        // Mostly small grids; the largest now and then, as it takes a second to set up.
        const bool largest = m_random() % 10 == 0;
        const QString x = QString::number(largest ? 100 : between(3, 12));
        const QString y = QString::number(largest ? 100 : between(3, 12));
        const QString pixels = QString::number(largest ? 96 : between(7, 40));
        const QString refused[] = { QStringLiteral("2.9"), QStringLiteral("abc"), QString(),
                                    QStringLiteral("101"), QStringLiteral("-5") };
        const Settings before = m_editor.settings();
        ++m_settingsChanges;
        m_editor.withDialog([&](Form2 &dialog) {
            if (kind == 0) {
                EditorDriver::fill(dialog, x, y, pixels);
                EditorDriver::click(dialog, "Command2");
            } else if (kind == 1) {
                EditorDriver::fill(dialog, x, refused[m_random() % 5], pixels);
                EditorDriver::click(dialog, "Command1");
                EditorDriver::click(dialog, "Command2");
            } else {
                EditorDriver::fill(dialog, x, y, pixels);
                EditorDriver::click(dialog, "Command1");
            }
        });
        if (kind < 2) {
            ASSERT_EQ(m_editor.settings().SizeX, before.SizeX);
            ASSERT_EQ(m_editor.settings().PixelsPerSquare, before.PixelsPerSquare);
        } else {
            ASSERT_EQ(m_editor.canvas()->width(), x.toInt() * pixels.toInt());
            // Kept codes stay by index; the list has its new size.
            const std::size_t count = std::size_t(x.toInt() * y.toInt() + 1);
            ASSERT_EQ(m_editor.form.grid().SquareData().size(), count);
            if (m_previous.size() > count)
                m_previous.resize(count);
        }
        expectNoError();
    }

    void save()
    {
        ++m_saves;
        ASSERT_TRUE(m_editor.save());
        expectNoError();
        ASSERT_EQ(QImageReader(defaultBitmapPath()).size(), m_editor.canvas()->size());
    }

    void expectNoError()
    {
        ASSERT_EQ(m_editor.form.findChild<QMessageBox *>(), nullptr)
                << "an error reached the user at event " << m_event;
    }

    std::string where(int column, int row) const
    {
        return "square " + std::to_string(column) + "," + std::to_string(row) + " at event "
                + std::to_string(m_event);
    }

public:
    long long m_squaresChecked = 0;
    long long m_settingsChanges = 0;
    long long m_saves = 0;

private:
    std::mt19937_64 m_random;
    EditorDriver m_editor;
    std::vector<SquareCode> m_previous;
    long long m_event = 0;
};

} // namespace

TEST(Soak, RandomEventsKeepCodesAndTilesConsistent)
{
    // The run number picks the random sequence; the same number replays the same events.
    std::vector<std::uint64_t> runs = { 1, 2, 3 };
    if (const long long chosen = environmentNumber("PASSAGES_SOAK_RUN", -1); chosen >= 0)
        runs = { std::uint64_t(chosen) };
    const long long events = environmentNumber("PASSAGES_SOAK_EVENTS", 1000);
    for (const std::uint64_t run : runs) {
        SCOPED_TRACE("replay with PASSAGES_SOAK_RUN=" + std::to_string(run));
        std::printf("soak: %lld events, run %llu\n", events, static_cast<unsigned long long>(run));
        Soak soak(run);
        soak.run(events);
        std::printf("soak: %lld repainted squares checked, %lld settings dialogs, %lld saves\n",
                    soak.m_squaresChecked, soak.m_settingsChanges, soak.m_saves);
        if (events >= 1000) {
            EXPECT_GT(soak.m_squaresChecked, events / 100) << "the soak drew too little";
        }
    }
}
