// The editor's model: one four-character code per square recording which sides a drawn path
// crosses (position 1 left, 2 bottom, 3 right, 4 top; '1' connected), plus one spare entry at
// index SizeX * SizeY that belongs to no square. Codes only ever gain connections.
#pragma once

#include "settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace side {
inline constexpr std::string_view Left = "1000";
inline constexpr std::string_view Bottom = "0100";
inline constexpr std::string_view Right = "0010";
inline constexpr std::string_view Top = "0001";
} // namespace side

inline constexpr std::string_view EmptyCode = "0000";

class SquareData
{
public:
    bool isEmpty() const { return m_codes.empty(); }
    // Number of entries, squares and spare entry together.
    std::size_t count() const { return m_codes.size(); }
    // The code at an index; a subscript error outside 0 .. count() - 1.
    const std::string &at(std::int32_t index) const;
    std::string &at(std::int32_t index);
    const std::vector<std::string> &codes() const { return m_codes; }

    // Resizes to the indices 0 .. upperIndex, keeping entries by index; new entries are "".
    void redimPreserve(std::int16_t upperIndex);

private:
    std::vector<std::string> m_codes;
};

// Brings the list to SizeX * SizeY + 1 entries, keeping codes by index; new entries become
// "0000" and any other entry stays as it was.
void Sub_ResizeSquareData(SquareData &squareData, const Settings &settings);

// Marks one side of the square at index as connected. False for an index outside
// 0 .. SizeX * SizeY; true otherwise, also when the side was connected already or sideCode is
// none of the four side codes (then nothing changes).
bool Func_SetSide(SquareData &squareData, const Settings &settings, std::int16_t index,
                  std::string_view sideCode);

// A string of binary digits read as a number: "0000" is 0, "1000" is 8, "1111" is 15.
std::int16_t Func_BinToDec(std::string_view code);
