#include <numberrules.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace numberrules;

namespace {

ErrorKind kindOf(auto &&call)
{
    try {
        call();
    } catch (const EditorError &error) {
        return error.kind();
    }
    ADD_FAILURE() << "no error raised";
    return ErrorKind::InvalidOperation;
}

} // namespace

TEST(NumberRules, RoundsHalfToEven)
{
    const struct
    {
        double value;
        int expected;
    } cases[] = { { 0.5, 0 },     { 1.5, 2 },    { 2.5, 2 },   { 3.5, 4 },
                  { -0.5, 0 },    { -1.5, -2 },  { -2.5, -2 }, { 0.49999, 0 },
                  { 0.50001, 1 }, { 99.5, 100 }, { 7.5, 8 } };
    for (const auto &c : cases) {
        EXPECT_EQ(toInt16(c.value), c.expected) << c.value;
        EXPECT_EQ(toInt32(c.value), c.expected) << c.value;
    }
}

TEST(NumberRules, ConversionsOverflowAtTheirBoundaries)
{
    EXPECT_EQ(toInt16(32767.0), 32767);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768); // the tie goes to the even neighbour, which fits
    EXPECT_EQ(kindOf([] { toInt16(32767.5); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { toInt16(-32768.6); }), ErrorKind::Overflow);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_EQ(kindOf([] { toInt32(2147483647.5); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { toInt32(1e300); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { toInt16(std::numeric_limits<double>::infinity()); }),
              ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { toInt16(std::nan("")); }), ErrorKind::InvalidOperation);
}

TEST(NumberRules, SixteenBitArithmeticNeverWraps)
{
    EXPECT_EQ(add16(32766, 1), 32767);
    EXPECT_EQ(sub16(-32767, 1), -32768);
    EXPECT_EQ(mul16(100, 100), 10000);
    EXPECT_EQ(mul16(-128, 256), -32768);
    EXPECT_EQ(kindOf([] { add16(32767, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { sub16(-32768, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { mul16(200, 200); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { add32(2147483647, 1); }), ErrorKind::Overflow);
}

TEST(NumberRules, RemainderTruncatesTowardZero)
{
    EXPECT_EQ(rem32(75, 32), 11);
    EXPECT_EQ(rem32(-1, 32), -1);
    EXPECT_EQ(rem32(-33, 32), -1);
    EXPECT_EQ(rem32(std::numeric_limits<Int32>::min(), -1), 0);
    EXPECT_EQ(kindOf([] { rem32(5, 0); }), ErrorKind::DivisionByZero);
}

TEST(NumberRules, FloatingPointFaultsAreErrors)
{
    EXPECT_DOUBLE_EQ(divide(1.0, 4.0), 0.25);
    EXPECT_EQ(kindOf([] { divide(1.0, 0.0); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(kindOf([] { divide(0.0, 0.0); }), ErrorKind::InvalidOperation);
    EXPECT_EQ(kindOf([] { divide(1e308, 1e-308); }), ErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { toSingle(1e39); }), ErrorKind::Overflow);
    EXPECT_EQ(toSingle(0.1), 0.1f);
}
