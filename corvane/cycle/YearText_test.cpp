// The typed-year reader: the forms the programs' year fields and arguments accept, and what they refuse.
#include <corvane/YearText.h>

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(YearText, ReadsTheFormsUsersType)
{
    const struct {
        const char* pszText;
        std::int32_t lYear;
    } kCases[] = {
        {"1984", 1984},
        {"0", 0},
        {"007", 7},
        {"-660", -660},
        {"+1984", 1984},
        {"  1984\t", 1984},
        {"\xE3\x80\x80" "1984\xE3\x80\x80", 1984},     // ideographic spaces around
        {"１９８４", 1984},                              // full-width digits
        {"1９8４", 1984},                                // mixed as an input method may leave them
        {"－６６０", -660},                              // full-width minus
        {"−660", -660},                                  // the minus sign U+2212
        {"＋１９８４", 1984},
        {"1984年", 1984},
        {"-660年", -660},
        {" １９８４年 ", 1984},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"00000000000000002147483647", 2147483647},
        {"-0", 0},
    };
    for (const auto& c : kCases) {
        std::int32_t lYear = 12345;
        EXPECT_TRUE(ParseTypedYear(c.pszText, lYear)) << c.pszText;
        EXPECT_EQ(c.lYear, lYear) << c.pszText;
    }
}

TEST(YearText, RefusesAnythingElseAndLeavesTheYear)
{
    const char* const kRefused[] = {
        "", "   ", "\xE3\x80\x80", "年",
        "+", "-", "－", "+-5", "-+5", "--5", "++5", "- 5", "+ 5", "5-",   // signs
        "2147483648", "-2147483649", "99999999999999999999", "-99999999999999999999",   // beyond 32 bits
        "1984年年", "1984 年", "1984年目", "1984年1月", "1984x", "1984.0", "1,984", "19 84", "0x10", "1e3",
        "平成1", "H1", "元年", "西暦1984年",   // era years are the era date reader's
        "\x82\x4F",          // a code page 932 ０ is no UTF-8
        "\xEF\xBC\x8F",      // ／, beside the full-width digits
        "\xEF\xBC",          // a character cut short
        "①", "¹",
    };
    for (const char* pszText : kRefused) {
        std::int32_t lYear = 12345;
        EXPECT_FALSE(ParseTypedYear(pszText, lYear)) << pszText;
        EXPECT_EQ(12345, lYear) << pszText;
    }
    // A text with a NUL inside is not a year either, whatever comes before it.
    std::int32_t lYear = 1;
    EXPECT_FALSE(ParseTypedYear(std::string("1984\0" "5", 6), lYear));
}

} // namespace
