#include "squaredata.h"

#include "numberrules.h"

#include <utility>

using namespace numberrules;

namespace {

EditorError subscriptError(std::int32_t index)
{
    return EditorError(ErrorKind::SubscriptOutOfRange,
                       "square index " + std::to_string(index) + " is out of range");
}

// A code character read as a number; anything but a decimal digit is a type mismatch.
int digitValue(char c)
{
    if (c < '0' || c > '9')
        throw EditorError(ErrorKind::TypeMismatch,
                          std::string("'") + c + "' in a square code is not a number");
    return c - '0';
}

} // namespace

const std::string &SquareData::at(std::int32_t index) const
{
    if (index < 0 || std::size_t(index) >= m_codes.size())
        throw subscriptError(index);
    return m_codes[std::size_t(index)];
}

std::string &SquareData::at(std::int32_t index)
{
    return const_cast<std::string &>(std::as_const(*this).at(index));
}

void SquareData::redimPreserve(std::int16_t upperIndex)
{
    if (upperIndex < 0)
        throw subscriptError(upperIndex);
    m_codes.resize(std::size_t(upperIndex) + 1);
}

void Sub_ResizeSquareData(SquareData &squareData, const Settings &settings)
{
    const std::int16_t upperIndex = mul16(settings.SizeY, settings.SizeX);
    squareData.redimPreserve(upperIndex);
    for (std::int32_t i = 0; i <= upperIndex; ++i) {
        std::string &code = squareData.at(i);
        if (code.empty())
            code = EmptyCode;
    }
}

bool Func_SetSide(SquareData &squareData, const Settings &settings, std::int16_t index,
                  std::string_view sideCode)
{
    const std::int16_t upperIndex = mul16(settings.SizeY, settings.SizeX);
    if (index > upperIndex || index < 0)
        return false;

    // Side codes in the order they are tested; the position of the '1' is the side's position.
    static constexpr std::string_view sideCodes[]
            = { side::Left, side::Bottom, side::Right, side::Top };
    std::size_t position = 0;
    for (std::size_t k = 0; k < std::size(sideCodes); ++k) {
        if (sideCode == sideCodes[k]) {
            position = k + 1;
            break;
        }
    }
    if (position == 0)
        return true;

    std::string &code = squareData.at(index);
    if (code.size() < position)
        throw EditorError(ErrorKind::TypeMismatch, "square code '" + code + "' is too short");
    if (digitValue(code[position - 1]) == 0) {
        std::string updated = code;
        updated[position - 1] = '1';
        code = std::move(updated);
    }
    return true;
}

std::int16_t Func_BinToDec(std::string_view code)
{
    const std::size_t n = code.size();
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int digit = digitValue(code[n - 1 - i]);
        // Each weight is 2 to the power i in double precision, which overflows from 2^1024 on.
        if (i >= 1024)
            throw EditorError(ErrorKind::Overflow, "overflow in a binary code's weight");
        // digit * 2^i is a whole number; from 2^31 on only a 0 digit keeps it a 32-bit value.
        if (i >= 31) {
            if (digit != 0)
                throw EditorError(ErrorKind::Overflow, "overflow in a binary code's value");
            continue;
        }
        sum = add32(sum, toInt32(std::int64_t(digit) << i));
    }
    return toInt16(sum);
}
