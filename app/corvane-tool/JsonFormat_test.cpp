// Which imports are taken for JSON: '{' first, after white space and a byte order mark.
#include "JsonFormat.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(JsonFormatTest, IsJsonLooksPastWhiteSpaceAndAByteOrderMark)
{
    const struct {
        std::string start;
        bool bJson;
    } cases[] = {
        {"{", true},
        {"\xEF\xBB\xBF{\"kind\"", true},
        {" \t\r\n{", true},
        {"\xEF\xBB\xBF \r\n{", true},
        {"kind,version", false},
        {"\xEF\xBB\xBFkind,{", false},
        {"\xEF\xBB{", false},   // part of a byte order mark is no white space
        {"\xEF\xBB\xBF\xEF\xBB\xBF{", false},
        {"", false},
        {"\xEF\xBB\xBF", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.start));
        std::istringstream in(c.start);
        EXPECT_EQ(c.bJson, CJsonFormat::IsJson(in));
        // The stream is back at its start for the reader.
        EXPECT_EQ(c.start, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
}

} // namespace
