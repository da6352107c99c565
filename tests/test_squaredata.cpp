#include <editorerror.h>
#include <squaredata.h>

#include <gtest/gtest.h>

namespace {

Settings grid(std::int16_t x, std::int16_t y)
{
    return Settings { x, y, 32 };
}

SquareData resized(const Settings &settings)
{
    SquareData data;
    Sub_ResizeSquareData(data, settings);
    return data;
}

} // namespace

TEST(SquareData, HasOneSpareEntryBeyondTheGrid)
{
    const SquareData data = resized(grid(10, 10));
    ASSERT_EQ(data.count(), 101u);
    for (const std::string &code : data.codes())
        EXPECT_EQ(code, "0000");
}

TEST(SquareData, SetSideAcceptsTheSpareEntryAndRefusesBeyondIt)
{
    const Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    EXPECT_TRUE(Func_SetSide(data, settings, 100, "0001"));
    EXPECT_EQ(data.at(100), "0001");
    EXPECT_FALSE(Func_SetSide(data, settings, 101, "0001"));
    EXPECT_FALSE(Func_SetSide(data, settings, -1, "0001"));
    EXPECT_FALSE(Func_SetSide(data, settings, -32768, "1000"));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(data.at(i), "0000") << i;
}

TEST(SquareData, SetSideOnlyEverTurnsZeroIntoOne)
{
    const Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    Func_SetSide(data, settings, 5, "1000");
    EXPECT_TRUE(Func_SetSide(data, settings, 5, "0100"));
    EXPECT_EQ(data.at(5), "1100");
    EXPECT_TRUE(Func_SetSide(data, settings, 5, "0100"));
    EXPECT_EQ(data.at(5), "1100");

    Func_SetSide(data, settings, 6, "0001");
    Func_SetSide(data, settings, 6, "0100");
    EXPECT_EQ(data.at(6), "0101");
    Func_SetSide(data, settings, 6, "0010");
    EXPECT_EQ(data.at(6), "0111");
    EXPECT_EQ(Func_BinToDec(data.at(6)), 7);

    const char *sides[] = { "1000", "0100", "0010", "0001" };
    for (const char *sideCode : sides)
        Func_SetSide(data, settings, 7, sideCode);
    EXPECT_EQ(data.at(7), "1111");
}

TEST(SquareData, SideCodesThatMatchNothingChangeNothing)
{
    const Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    Func_SetSide(data, settings, 3, "1000");
    for (const char *notASide : { "1100", "", "0000", "1", "10000", "0001 ", "x001" }) {
        EXPECT_TRUE(Func_SetSide(data, settings, 3, notASide)) << notASide;
        EXPECT_EQ(data.at(3), "1000") << notASide;
    }
}

TEST(SquareData, SetSideBeforeTheFirstResizeIsASubscriptError)
{
    const Settings settings = grid(10, 10);
    SquareData data;
    try {
        Func_SetSide(data, settings, 0, "1000");
        FAIL() << "no error";
    } catch (const EditorError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::SubscriptOutOfRange);
    }
    // Out-of-range indices are refused before the list is touched.
    EXPECT_FALSE(Func_SetSide(data, settings, 101, "1000"));
}

TEST(SquareData, ResizeKeepsCodesByIndex)
{
    Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    for (int i = 0; i <= 100; ++i)
        Func_SetSide(data, settings, std::int16_t(i), "0010");

    settings = grid(5, 5);
    Sub_ResizeSquareData(data, settings);
    ASSERT_EQ(data.count(), 26u);

    settings = grid(10, 10);
    Sub_ResizeSquareData(data, settings);
    ASSERT_EQ(data.count(), 101u);
    for (int i = 0; i <= 25; ++i)
        EXPECT_EQ(data.at(i), "0010") << i;
    for (int i = 26; i <= 100; ++i)
        EXPECT_EQ(data.at(i), "0000") << i;
}

TEST(SquareData, ChangingSizeXMovesCodesToOtherRows)
{
    Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    Func_SetSide(data, settings, 10, "1000"); // row 1, column 0
    settings = grid(5, 10);
    Sub_ResizeSquareData(data, settings);
    EXPECT_EQ(data.at(2 * 5 + 0), "1000"); // now row 2, column 0
}

TEST(SquareData, ResizeOverflowLeavesTheListAsItWas)
{
    Settings settings = grid(10, 10);
    SquareData data = resized(settings);
    settings = grid(200, 200);
    EXPECT_THROW(Sub_ResizeSquareData(data, settings), EditorError);
    EXPECT_EQ(data.count(), 101u);
    EXPECT_THROW(Func_SetSide(data, settings, 0, "1000"), EditorError);
}

TEST(SquareData, SetSideOnAnEntryThatIsNotACodeIsATypeMismatch)
{
    const Settings settings = grid(3, 3);
    SquareData data = resized(settings);
    data.at(2) = "a000";
    try {
        Func_SetSide(data, settings, 2, "1000");
        FAIL() << "no error";
    } catch (const EditorError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::TypeMismatch);
    }
    EXPECT_EQ(data.at(2), "a000");
}

TEST(BinToDec, ReadsBinaryDigits)
{
    const struct
    {
        const char *code;
        int value;
    } cases[] = {
        { "0000", 0 },  { "0001", 1 }, { "1000", 8 }, { "0101", 5 }, { "1010", 10 },
        { "1111", 15 }, { "", 0 },     { "12", 4 },   { "9", 9 },    { "111111111111111", 32767 }
    };
    for (const auto &c : cases)
        EXPECT_EQ(Func_BinToDec(c.code), c.value) << c.code;
}

TEST(BinToDec, OverflowAndNonDigitsAreErrors)
{
    auto kind = [](const char *code) {
        try {
            Func_BinToDec(code);
        } catch (const EditorError &error) {
            return error.kind();
        }
        return ErrorKind::InvalidOperation;
    };
    EXPECT_EQ(kind("1000000000000000"), ErrorKind::Overflow); // 32768 does not fit 16 bits
    EXPECT_EQ(kind("10000000000000000000000000000000"), ErrorKind::Overflow); // 2^31
    EXPECT_EQ(kind(std::string(1100, '0').c_str()), ErrorKind::Overflow); // 2^1024 overflows
    EXPECT_EQ(Func_BinToDec(std::string(1000, '0') + "101"), 5);
    EXPECT_EQ(kind("01x0"), ErrorKind::TypeMismatch);
    EXPECT_EQ(kind(" 1"), ErrorKind::TypeMismatch);
}
