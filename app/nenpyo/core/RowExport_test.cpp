// An export written to its file a piece at a time: the same bytes as the whole text, a byte
// order mark when asked for, and a cancel that leaves the previous file.
#include "RowExport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "EventTestData_test.h"
#include "NenpyoDoc.h"
#include "testing/TempDir.h"

TEST(RowExport, ExportWritesTheWholeTextOrLeavesThePreviousFile)
{
    CNenpyoDoc doc;
    doc.New({});
    for (int n = 0; n < 5000; ++n)
        doc.Events().SetData(Event(1000 + n, "出来事", n % 3), false, -1, PRIORITY_ALL);
    CTempDir dir;
    const std::filesystem::path strPath = dir.Path("out");
    int nCalls = 0;
    const CRowExport::CProgress count = [&](int nDone, int nTotal) {
        ++nCalls;
        return nDone <= nTotal && nTotal == CRowExport::RowCount(doc, PRIORITY_MIDDLE);
    };
    bool bCancelled = true;
    ASSERT_TRUE(CRowExport::Export(doc, PRIORITY_MIDDLE, CRowExport::EFormat::CsvWithByteOrderMark, strPath, count,
                                   bCancelled).Ok());
    EXPECT_FALSE(bCancelled);
    EXPECT_GT(nCalls, 0);
    EXPECT_EQ("\xEF\xBB\xBF" + CRowExport::Csv(doc, PRIORITY_MIDDLE), dir.Read("out"));
    ASSERT_TRUE(CRowExport::Export(doc, PRIORITY_ALL, CRowExport::EFormat::Html, strPath, {}, bCancelled).Ok());
    EXPECT_EQ(CRowExport::Html(doc, PRIORITY_ALL), dir.Read("out"));

    const std::string strBefore = dir.Read("out");
    ASSERT_TRUE(CRowExport::Export(doc, PRIORITY_ALL, CRowExport::EFormat::Csv, strPath,
                                   [](int, int) { return false; }, bCancelled).Ok());
    EXPECT_TRUE(bCancelled);
    EXPECT_EQ(strBefore, dir.Read("out"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()));
    EXPECT_EQ(IDS_FILE_WRITE_FAILED,
              CRowExport::Export(doc, PRIORITY_ALL, CRowExport::EFormat::Csv, dir.Path("none/out"), {}, bCancelled).nMessage);
}

TEST(RowExport, OnlyWebAddressesBecomeLinks)
{
    const struct {
        const char* pszLink;
        bool bWeb;
    } aCases[] = {
        {"http://example.org/", true}, {"HTTPS://example.org/", true}, {"mailto:a@example.org", true},
        {"Https:x", true}, {"javascript:alert(1)", false}, {"JavaScript:alert(1)", false},
        {" https://example.org/", false}, {"data:text/html,x", false}, {"file:///etc/passwd", false},
        {"vbscript:x", false}, {"page.html", false}, {"http", false}, {"httpx://a", false}, {"", false},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(c.bWeb, CRowExport::IsWebLink(CString(c.pszLink))) << c.pszLink;

    CNenpyoDoc doc;
    doc.New({});
    doc.Events().SetData(Event(1600, "<a href=\"javascript:alert(1)\">罠</a>と<a href=\"https://example.org/?a&b\">本</a>"),
                         false, -1, PRIORITY_ALL);
    const std::string strHtml = CRowExport::Html(doc, PRIORITY_ALL);
    EXPECT_EQ(std::string::npos, strHtml.find("javascript"));
    EXPECT_NE(std::string::npos, strHtml.find("<td>罠と<a href=\"https://example.org/?a&amp;b\" rel=\"noopener\">本</a></td>"));
}
