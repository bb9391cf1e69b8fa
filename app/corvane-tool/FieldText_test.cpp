// The "#cp932:" marker at its edges: either case of hexadecimal digit, the digits next to the
// ranges, a text that itself begins with the marker, the marker elsewhere in a text, and a bad
// field first or last in a batch.
#include "FieldText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ToUtf8(const std::vector<std::string>& texts, std::size_t nIndex)
{
    std::vector<CString> strings;
    for (const std::string& str : texts)
        strings.emplace_back(str.data(), static_cast<int>(str.size()));
    std::vector<const CString*> pointers;
    for (const CString& str : strings)
        pointers.push_back(&str);
    std::vector<std::string> out;
    CFieldText().ToUtf8(pointers, out);
    return out[nIndex];
}

TEST(FieldTextTest, ExportEscapesWhatWouldNotComeBack)
{
    const struct {
        std::string text;
        std::string field;
    } cases[] = {
        {"abc", "abc"},
        {"#cp932:41", "#cp932:2363703933323a3431"},   // a text that begins with the marker
        {"#cp932:", "#cp932:2363703933323a"},
        {"x#cp932:41", "x#cp932:41"},                 // the marker elsewhere is plain text
        {"#CP932:41", "#CP932:41"},                   // the marker is lower case only
        {"\x81", "#cp932:81"},                        // a lone lead byte
        {"\xED\x40", "#cp932:ed40"},                  // encoded twice (also 0xFA5C)
        {"\xFF", "#cp932:ff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(c.field, ToUtf8({c.text}, 0));
        // In a batch of plain texts, first and last.
        EXPECT_EQ(c.field, ToUtf8({c.text, "plain"}, 0));
        EXPECT_EQ(c.field, ToUtf8({"plain", c.text}, 1));
    }
}

TEST(FieldTextTest, ImportReadsEitherCaseOfDigitAndRefusesTheNeighbours)
{
    const struct {
        const char* pszField;
        std::string text;   // empty with a problem
        const char* pszProblem;
    } cases[] = {
        {"#cp932:09afAF", "\x09\xAF\xAF", nullptr},
        {"#cp932:", "", nullptr},
        {"#cp932:2363703933323a3431", "#cp932:41", nullptr},
        {"x#cp932:41", "x#cp932:41", nullptr},
        {"#CP932:41", "#CP932:41", nullptr},
        {"#cp932:4", "", "an odd number"},
        {"#cp932:4/", "", "not a hexadecimal digit"},
        {"#cp932::4", "", "not a hexadecimal digit"},
        {"#cp932:@4", "", "not a hexadecimal digit"},
        {"#cp932:4G", "", "not a hexadecimal digit"},
        {"#cp932:`4", "", "not a hexadecimal digit"},
        {"#cp932:4g", "", "not a hexadecimal digit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszField);
        for (const bool bLast : {false, true}) {
            const std::vector<std::string_view> fields =
                bLast ? std::vector<std::string_view>{"plain", c.pszField} : std::vector<std::string_view>{c.pszField, "plain"};
            std::vector<CString> out;
            std::string strProblem;
            const int nBad = CFieldText().FromUtf8(fields, out, strProblem);
            if (c.pszProblem) {
                EXPECT_EQ(bLast ? 1 : 0, nBad);
                EXPECT_NE(std::string::npos, strProblem.find(c.pszProblem)) << strProblem;
            } else {
                ASSERT_EQ(-1, nBad) << strProblem;
                EXPECT_EQ(c.text, out[bLast ? 1 : 0].Str());
                EXPECT_EQ("plain", out[bLast ? 0 : 1].Str());
            }
        }
    }
}

} // namespace
