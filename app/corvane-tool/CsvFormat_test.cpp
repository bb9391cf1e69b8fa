// The line each CSV failure names, where counting could slip: rows after a quoted field that spans
// lines, LF and CR LF line ends, a last row without a line end.
#include "CsvFormat.h"
#include "TableBuilder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

const std::string kHeader = "kind,version,name,explanation,today,year,month,day,leap_month,priority,text,note\r\n";
const std::string kTable = "event,5,n,e,0,,,,,,,\r\n";
const std::string kRecord = ",,,,,710,-1,-1,0,0,t,n\r\n";
const std::string kTwoLines = ",,,,,710,-1,-1,0,0,\"t\r\nu\",\"n\nm\"\r\n";   // lines 3 to 5

std::string Failure(const std::string& content)
{
    std::istringstream in(content);
    CTableBuilder builder;
    try {
        CCsvFormat::Read(in, builder);
    } catch (const CTransferError& e) {
        return e.what();
    }
    return "read";
}

TEST(CsvFormatTest, FailuresNameTheirLine)
{
    const struct {
        std::string content;
        const char* pszMessage;
    } cases[] = {
        {kHeader + kTable + kRecord + kRecord, "read"},
        {kHeader + kTable + kTwoLines + ",,,,,x,-1,-1,0,0,t,n", "line 6: record 2, field \"year\": not a whole number"},
        {kHeader + kTable + kTwoLines + ",,,,,710,-1,-1,0,2,t,n,", "line 6: 13 fields, expected 12"},
        {kHeader + kTable + kTwoLines + ",,,,,710,-1,-1,0,0,\"t\"x,n\r\n", "line 6: text after the closing quote"},
        {kHeader + kTable + ",,,,,710,-1,-1,0,0,\"t\r\n\"x,n\r\n", "line 4: text after the closing quote"},
        {kHeader + kTable + kRecord + ",,,,,710,-1,-1,0,0,t\r,n\r\n", "line 4: a carriage return outside quotes"},
        {kHeader + kTable + kRecord + ",,,,,710,-1,-1,0,0,\"t\r\n\r\n", "line 4: a quoted field is not closed"},
        {kHeader + kTable + kRecord + ",,,,,710,-1,-1,2,0,t,n", "line 4: record 2, field \"leap_month\": not 0 or 1"},
        {"kind,version\nevent,5\n", "line 1: not the columns of a table of kind event"},
        {"kind\nera\n", "line 1: not the columns of a table of kind era"},
        {kHeader + "chronicle,5,n,e,0,,,,,,,\r\n", "line 2: the kind \"chronicle\""},
        {kHeader, "line 2: no table row after the header"},
        {"kind,version,name,base_year,end_year,kazoe,display_minus,minus1,end_year_plus,end_year_kaiki,"
         "begin_year_quest,end_year_quest,supplement\n"
         "base-year,5,n,1,2,0,0,0,0,0,0,0,s\n,,,,,,,,,,,,\n",
         "line 3: a base-year table has no record rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string strFailure = Failure(c.content);
        EXPECT_EQ(0u, strFailure.find(c.pszMessage)) << strFailure;
    }
}

} // namespace
