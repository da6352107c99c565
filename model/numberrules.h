// The arithmetic the whole editor uses. Settings, indices, tile numbers, columns and rows are
// signed 16-bit and never wrap: a result out of range is an overflow error. Canvas coordinates
// are single precision, evaluated in double precision and rounded only where stored. Conversion
// to an integer rounds half to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
#pragma once

#include "editorerror.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace numberrules {

using Int16 = std::int16_t;
using Int32 = std::int32_t;

namespace detail {
    template<typename T>
    T narrowChecked(std::int64_t value, const char *what)
    {
        if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
            throw EditorError(ErrorKind::Overflow, std::string("overflow in ") + what);
        return static_cast<T>(value);
    }

    template<typename T>
    T roundChecked(double value)
    {
        if (std::isnan(value))
            throw EditorError(ErrorKind::InvalidOperation, "conversion of an invalid number");
        // Compare before rounding so that huge values never reach the integer conversion.
        constexpr double low = double(std::numeric_limits<T>::min()) - 0.5;
        constexpr double high = double(std::numeric_limits<T>::max()) + 0.5;
        if (!(value >= low && value <= high))
            throw EditorError(ErrorKind::Overflow, "overflow in conversion to an integer");
        // Adding and taking away 1.5 * 2^52 leaves no fraction bits, so the default rounding mode
        // (to nearest, ties to even) does the rounding. Exact for every value that passed the range
        // test, and much cheaper than std::nearbyint, which saves and restores the FP environment.
        constexpr double shift = 6755399441055744.0; // 1.5 * 2^52
        const double rounded = (value + shift) - shift;
        return narrowChecked<T>(static_cast<std::int64_t>(rounded), "conversion");
    }
} // namespace detail

inline Int16 add16(Int16 a, Int16 b)
{
    return detail::narrowChecked<Int16>(std::int64_t(a) + b, "16-bit sum");
}

inline Int16 sub16(Int16 a, Int16 b)
{
    return detail::narrowChecked<Int16>(std::int64_t(a) - b, "16-bit difference");
}

inline Int16 mul16(Int16 a, Int16 b)
{
    return detail::narrowChecked<Int16>(std::int64_t(a) * b, "16-bit product");
}

inline Int32 add32(Int32 a, Int32 b)
{
    return detail::narrowChecked<Int32>(std::int64_t(a) + b, "32-bit sum");
}

inline Int32 toInt32(std::int64_t value)
{
    return detail::narrowChecked<Int32>(value, "32-bit value");
}

inline Int16 toInt16(double value)
{
    return detail::roundChecked<Int16>(value);
}
inline Int32 toInt32(double value)
{
    return detail::roundChecked<Int32>(value);
}

// Remainder of a division truncated toward zero: the result has the sign of the dividend.
inline Int32 rem32(Int32 dividend, Int32 divisor)
{
    if (divisor == 0)
        throw EditorError(ErrorKind::DivisionByZero, "division by zero");
    if (divisor == -1)
        return 0; // INT32_MIN % -1 is undefined in C++; the remainder is 0 for any dividend.
    return dividend % divisor;
}

// Floating-point division with the faults an error instead of an infinity or a NaN.
inline double divide(double numerator, double denominator)
{
    if (denominator == 0.0) {
        if (numerator == 0.0 || std::isnan(numerator))
            throw EditorError(ErrorKind::InvalidOperation, "invalid floating-point operation");
        throw EditorError(ErrorKind::DivisionByZero, "division by zero");
    }
    const double q = numerator / denominator;
    if (std::isnan(q))
        throw EditorError(ErrorKind::InvalidOperation, "invalid floating-point operation");
    if (std::isinf(q))
        throw EditorError(ErrorKind::Overflow, "floating-point overflow");
    return q;
}

// Stores a double-precision result as a single-precision value.
inline float toSingle(double value)
{
    if (std::isnan(value))
        throw EditorError(ErrorKind::InvalidOperation, "invalid floating-point operation");
    const float f = static_cast<float>(value);
    if (std::isinf(f))
        throw EditorError(ErrorKind::Overflow, "floating-point overflow");
    return f;
}

} // namespace numberrules
