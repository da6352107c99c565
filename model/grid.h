// The editor's model: the three grid settings and, for every square, the sides that a drawn path
// crosses, plus a spare entry at index SizeX * SizeY that belongs to no square. Codes only ever
// gain sides. Of Qt only QRect, for a square's pixels.
#pragma once

#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

// The values a setting may take, both ends included. The settings dialog checks an entry against
// it before rounding the entry to a whole number.
struct SettingRange
{
    int low;
    int high;

    constexpr bool contains(double value) const { return value >= low && value <= high; }
};

// Squares across, squares down and the edge of one square in pixels; all 0 until the first
// accepted settings.
struct Settings
{
    // The ranges of accepted settings: SizeX and SizeY, and PixelsPerSquare.
    static constexpr SettingRange SizeRange { 3, 100 };
    static constexpr SettingRange PixelsPerSquareRange { 7, 96 };

    std::int16_t SizeX = 0;
    std::int16_t SizeY = 0;
    std::int16_t PixelsPerSquare = 0;

    bool isSetUp() const { return PixelsPerSquare != 0; }
    friend bool operator==(const Settings &, const Settings &) = default;
};

// A side of a square, valued at its weight in the tile number.
enum class Side : std::uint8_t { Left = 8, Bottom = 4, Right = 2, Top = 1 };

// A square code: the sides a path crosses, as a mask of their weights. Read as a number it is
// the square's tile number.
using SquareCode = std::uint8_t;

// The code as the editor shows it: left, bottom, right and top, '1' where a path crosses ("1000"
// is a square joined on its left only).
std::string squareCodeText(SquareCode code);

// The two tile sets, by their colours: tile set 0 and tile set 1.
enum class TileSet : std::uint8_t { DarkRed, DarkTealBlue };

class Grid
{
public:
    const Settings &settings() const { return m_settings; }
    bool isSetUp() const { return m_settings.isSetUp(); }

    // Takes new settings and brings the codes to them in one step: SizeX * SizeY + 1 entries,
    // codes kept by index (not by row and column), new entries without sides.
    void resize(const Settings &settings);

    // The codes, spare entry included; none before the first set-up.
    const std::vector<SquareCode> &SquareData() const { return m_squareData; }
    SquareCode code(int index) const { return m_squareData[std::size_t(index)]; }

    // The one mapping between a square's column and row, its index and its pixels.
    int index(int column, int row) const { return row * m_settings.SizeX + column; }
    int column(int index) const { return index % m_settings.SizeX; }
    int row(int index) const { return index / m_settings.SizeX; }
    // The square's pixels on the canvas: what the painter paints and the cursor frame outlines.
    QRect squareRect(int index) const
    {
        const int p = m_settings.PixelsPerSquare;
        return QRect(column(index) * p, row(index) * p, p, p);
    }

    // Marks one side of the square at `index` as connected. False, changing nothing, for an
    // index outside 0 .. SizeX * SizeY; true otherwise (the spare entry included), also when
    // the side was connected already.
    bool Func_SetSide(int index, Side side);

    // The tile number of a code: its sides read as a binary number, each side at its weight
    // (Side), which is how the code keeps them.
    static constexpr int Func_BinToDec(SquareCode code) { return code; }

private:
    void Sub_ResizeSquareData();

    Settings m_settings;
    std::vector<SquareCode> m_squareData;
};
