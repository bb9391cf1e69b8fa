#include "CsvField.h"

#include <gtest/gtest.h>

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    const struct {
        std::string_view in;
        const char* pszOut;
    } cases[] = {
        {"", ""},
        {"江戸 幕府", "江戸 幕府"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"line\r\nbreak", "\"line\r\nbreak\""},
        {"lone\r", "\"lone\r\""},
        {"lone\n", "\"lone\n\""},
        {"tab\tand ;", "tab\tand ;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszOut, CsvField(c.in)) << c.in;
}
