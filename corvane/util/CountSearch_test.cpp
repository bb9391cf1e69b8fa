#include "util/CountSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// The plain scan the search replaces.
bool ScanFirstCount(std::int64_t lLow, std::int64_t lHigh, const std::string& strText, std::int64_t& lResult)
{
    for (std::int64_t c = lLow; c <= lHigh; ++c) {
        if (std::to_string(c).find(strText) != std::string::npos) {
            lResult = c;
            return true;
        }
    }
    return false;
}

void ExpectSameAsScan(std::int64_t lLow, std::int64_t lHigh, const std::string& strText)
{
    std::int64_t lExpected = 12345;
    std::int64_t lActual = 12345;
    const bool bExpected = ScanFirstCount(lLow, lHigh, strText, lExpected);
    const bool bActual = FindFirstCountContaining(lLow, lHigh, strText, lActual);
    ASSERT_EQ(bExpected, bActual) << "[" << lLow << ", " << lHigh << "] \"" << strText << "\"";
    ASSERT_EQ(lExpected, lActual) << "[" << lLow << ", " << lHigh << "] \"" << strText << "\"";
}

TEST(CountSearchTest, Examples)
{
    struct {
        std::int64_t lLow, lHigh;
        const char* pszText;
        bool bFound;
        std::int64_t lResult;
    } const cases[] = {
        {0, 100, "1", true, 1},
        {2, 100, "1", true, 10},
        {0, 5, "7", false, 0},
        {0, 1000, "", true, 0},
        {-5, 5, "", true, -5},
        {-20, 20, "1", true, -19},            // -19 comes before -18, ..., -1
        {-20, 20, "-", true, -20},
        {-20, 20, "-2", true, -20},
        {-19, 20, "-2", true, -2},            // "-2" must begin the text: -12 has no "-2"
        {-1, 20, "-2", false, 0},
        {-100, -1, "-1", true, -100},
        {-9, 9, "0", true, 0},
        {11, 100, "0", true, 20},
        {0, 4294967296, "4294967295", true, 4294967295},
        {0, 4294967294, "4294967295", false, 0},
        {1, 2147483647, "0000000000", false, 0},   // the least such number has 11 digits
        {1, 100000000000, "0000000000", true, 10000000000},
        {0, 100, "1a", false, 0},
        {0, 100, "+1", false, 0},
        {-100, 100, "1-", false, 0},
        {5, 4, "", false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t lResult = -777;
        EXPECT_EQ(c.bFound, FindFirstCountContaining(c.lLow, c.lHigh, c.pszText, lResult))
            << "[" << c.lLow << ", " << c.lHigh << "] \"" << c.pszText << "\"";
        EXPECT_EQ(c.bFound ? c.lResult : -777, lResult) << c.pszText;
    }
    ExpectSameAsScan(123456790, 123600000, "12345");
    ExpectSameAsScan(999999990, 1000020000, "0000");
}

// Every pattern of one or two characters from digits and minus, on every interval of a window
// around zero.
TEST(CountSearchTest, AgreesWithScanOnShortPatternsNearZero)
{
    const std::string strChars = "0123456789-";
    std::vector<std::string> patterns;
    for (const char a : strChars) {
        patterns.emplace_back(1, a);
        for (const char b : strChars)
            patterns.push_back(std::string{a, b});
    }
    for (const std::string& strPattern : patterns)
        for (std::int64_t lLow = -130; lLow <= 130; lLow += 3)
            for (const std::int64_t lWidth : {0, 1, 9, 50, 260})
                ExpectSameAsScan(lLow, lLow + lWidth, strPattern);
}

// Random windows anywhere in the range the base-year search uses (within +-2^33), with patterns
// often taken from the numbers inside or near the window so that matches are common.
TEST(CountSearchTest, AgreesWithScanOnRandomWindows)
{
    std::mt19937_64 rng(20240601);
    std::uniform_int_distribution<std::int64_t> anywhere(-(std::int64_t{1} << 33), std::int64_t{1} << 33);
    std::uniform_int_distribution<int> width(0, 3000);
    std::uniform_int_distribution<int> length(1, 4);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 1500; ++i) {
        std::int64_t lLow = anywhere(rng);
        // Also windows that start at or straddle a power of ten or zero.
        if (i % 5 == 1)
            lLow = static_cast<std::int64_t>(std::pow(10.0, i % 11)) - width(rng) / 2;
        if (i % 5 == 2)
            lLow = -(static_cast<std::int64_t>(std::pow(10.0, i % 11))) - width(rng) / 2;
        const std::int64_t lHigh = lLow + width(rng);
        std::string strPattern;
        if (i % 2 == 0) {
            const std::string strNear = std::to_string(lLow + width(rng));
            const std::size_t n = std::min<std::size_t>(strNear.size(), static_cast<std::size_t>(length(rng)));
            strPattern = strNear.substr(std::uniform_int_distribution<std::size_t>(0, strNear.size() - n)(rng), n);
        } else {
            for (int j = length(rng); j > 0; --j)
                strPattern += static_cast<char>('0' + digit(rng));
        }
        ExpectSameAsScan(lLow, lHigh, strPattern);
    }
}

TEST(CountSearchTest, BoundsBeyondTheSupportedRangeAreCut)
{
    std::int64_t lResult = 0;
    EXPECT_TRUE(FindFirstCountContaining(INT64_MIN, INT64_MAX, "", lResult));
    EXPECT_EQ(-kMaxSearchCount, lResult);
    EXPECT_TRUE(FindFirstCountContaining(INT64_MIN, INT64_MAX, "7", lResult));
    EXPECT_EQ(-999999999999999997, lResult);
    EXPECT_FALSE(FindFirstCountContaining(kMaxSearchCount + 1, INT64_MAX, "1", lResult));
    EXPECT_FALSE(FindFirstCountContaining(0, INT64_MAX, std::string(5000, '1'), lResult));
}

} // namespace
