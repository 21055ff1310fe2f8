#include "graphics/gif_lzw.h"
#include "tests/graphics/gif_test_util.h"

#include <gtest/gtest.h>

using gif_test::Bytes;
using gif_test::Codes;
using gif_test::PackCodes;

TEST(GifLzw, DecodingStopsAtTheEndCodeOrTheLastWholeCode)
{
    Bytes pixels(4, 9);
    // 1, end, then a 2 that must not be read.
    const Bytes ended = PackCodes({{4, 3}, {1, 3}, {5, 3}, {2, 3}});
    EXPECT_EQ(gif_lzw::Decode(ended.data(), ended.size(), 2, pixels.data(), pixels.size()), 1u);
    EXPECT_EQ(pixels, Bytes({1, 9, 9, 9}));

    // No end code: decoding ends with the data; later pixels keep their values.
    const Bytes open = PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}});
    ASSERT_EQ(open.size(), 2u);
    pixels.assign(6, 9);
    EXPECT_EQ(gif_lzw::Decode(open.data(), open.size(), 2, pixels.data(), pixels.size()), 4u);
    EXPECT_EQ(pixels, Bytes({1, 2, 3, 1, 9, 9}));
}

TEST(GifLzw, OutputIsCutAtThePixelCount)
{
    Bytes pixels(8, 0);
    Bytes code;
    gif_lzw::Encode(Bytes(50, 3).data(), 50, 2, code);
    EXPECT_EQ(gif_lzw::Decode(code.data(), code.size(), 2, pixels.data(), 5), 5u);
    EXPECT_EQ(pixels, Bytes({3, 3, 3, 3, 3, 0, 0, 0}));
}

TEST(GifLzw, CodeNamingNothingRightAfterAClearEndsTheData)
{
    Bytes pixels(4, 9);
    const Bytes start = PackCodes({{4, 3}, {6, 3}, {1, 3}});
    EXPECT_EQ(gif_lzw::Decode(start.data(), start.size(), 2, pixels.data(), pixels.size()), 0u);
    EXPECT_EQ(pixels, Bytes(4, 9));
    const Bytes later = PackCodes({{4, 3}, {2, 3}, {4, 3}, {7, 3}, {1, 3}});
    EXPECT_EQ(gif_lzw::Decode(later.data(), later.size(), 2, pixels.data(), pixels.size()), 1u);
    EXPECT_EQ(pixels, Bytes({2, 9, 9, 9}));
}

TEST(GifLzw, StringsLongerThanABlockAndAFullTableAreHandled)
{
    // Each code names the string being built: lengths 1, 2, 3, ... up to the full table, and
    // then 12-bit codes go on with the table full (no clear).
    Codes codes = {{256, 9}, {7, 9}};
    uint32_t width = 9;
    uint32_t next = 258;
    size_t expected = 1;
    for (; next < gif_lzw::kMaxCodes; ++next)
    {
        codes.push_back({next, width});
        expected += next - 258 + 2;
        if (next + 1 == (1u << width) && width < 12)
            ++width;
    }
    for (int i = 0; i < 3; ++i)
        codes.push_back({4095, 12});
    const Bytes data = PackCodes(codes);
    const size_t count = expected + 3 * 3839;
    Bytes pixels(count + 1, 0);
    EXPECT_EQ(gif_lzw::Decode(data.data(), data.size(), 8, pixels.data(), count), count);
    Bytes sevens(count, 7);
    sevens.push_back(0);
    EXPECT_EQ(pixels, sevens);
}
