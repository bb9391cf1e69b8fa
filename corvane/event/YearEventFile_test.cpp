#include <corvane/YearEvent.h>

#include "testing/EventTestSupport.h"
#include "testing/Cp932Literal.h"
#include "testing/FakeHostUi.h"
#include "testing/RelativeName.h"
#include "table/RecordCodec.h"
#include "table/TableFile.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using eventtest::Event;

std::vector<SEventData> Records(const CYearEvent& table)
{
    std::vector<SEventData> v;
    for (const auto& pData : table.GetEventData())
        v.push_back(*pData);
    return v;
}

CString FormatMessage(const char* pszBefore, const CString& strFile, const char* pszAfter)
{
    return LiteralToCp932(pszBefore) + strFile + LiteralToCp932(pszAfter);
}

CString BadFormat(const CString& strFile)
{
    return FormatMessage("ファイル ", strFile, " のフォーマットが正しくありません");
}

class YearEventFileTest : public testing::Test {
protected:
    CFakeHostUi m_ui;
    CTempDir m_dir;
};

// A small chronology of a temple, as its event file holds it.
const std::string kTempleFile = Cp932(
    "[出来事], 5\r\n"
    "寺の歩み\r\n"
    "寺の主な出来事\\r\\n年は西暦\r\n"
    "0\r\n"
    "710, -1, -1, \"寺の創建\", \"\", 0, 0\r\n"
    "720, 3, -1, \"大火\", \"本堂が焼失\", 1, 1\r\n"
    "721, 4, 10, \"<a href=\"\"fire.htm\"\">再建</a>の開始\", \"出典:\"\"寺の日記\"\"\\r\\n第二巻\", 2, 0\r\n");

std::vector<SEventData> TempleEvents()
{
    return {Event(710, -1, -1, Cp932("寺の創建").c_str(), 0),
            Event(720, 3, -1, Cp932("大火").c_str(), 1, true, Cp932("本堂が焼失").c_str()),
            Event(721, 4, 10, Cp932("<a href=\"fire.htm\">再建</a>の開始").c_str(), 2, false,
                  Cp932("出典:\"寺の日記\"\r\n第二巻").c_str())};
}

TEST_F(YearEventFileTest, WritesATempleChronologyByteForByteAndReadsItBack)
{
    CYearEvent table;
    table.SetTableName(Cp932("寺の歩み").c_str());
    table.SetExplanation(Cp932("寺の主な出来事\r\n年は西暦").c_str());
    for (const SEventData& data : TempleEvents())
        table.SetData(data, true, -1, PRIORITY_ALL);
    table.SetFileName(m_dir.Name("temple.lev"));
    CDocument document;
    document.SetPathName(m_dir.Name("chronology.doc"));
    ASSERT_TRUE(table.WriteFile(false, &document, HEADER_GENGOU));
    EXPECT_EQ(kTempleFile, m_dir.Read("temple.lev"));
    EXPECT_EQ(RelativeName("temple.lev"), table.GetFileName());   // relative to the document's folder
    EXPECT_FALSE(table.GetModified());
    EXPECT_TRUE(m_ui.m_messages.empty());

    CYearEvent back;
    back.SetTodayDate(true);
    ASSERT_TRUE(back.ReadFile(m_dir.Name("temple.lev"), false));
    EXPECT_EQ(TempleEvents(), Records(back));
    EXPECT_EQ(table.GetTableName(), back.GetTableName());
    EXPECT_EQ(table.GetExplanation(), back.GetExplanation());
    EXPECT_FALSE(back.GetTodayDate());
    EXPECT_FALSE(back.GetModified());
    EXPECT_EQ(m_dir.Name("temple.lev"), back.GetFileName());

    ASSERT_TRUE(back.ReadFile(nullptr, false));   // the stored name; nothing is emptied first
    EXPECT_EQ(6, back.GetLen());
}

TEST_F(YearEventFileTest, ReadsEveryOlderVersion)
{
    struct SCase {
        const char* pszFile;
        const char* pszExplanation;
        bool bToday;
        std::vector<SEventData> events;
    };
    const SCase cases[] = {
        {"[出来事]\nT\n5, \"e\", \"n\\r\\nm\", 2\n", "old", false, {Event(5, -1, -1, "e", 0, false, "n\r\nm")}},
        {"[出来事], 1\nT\n5, \"e\", \"n\", 2\n-3, x, y, 7\n", "old", false,
         {Event(5, -1, -1, "e", 2, false, "n"), Event(-3, -1, -1, "x", 0, false, "y")}},
        {"[出来事], 2\nT\n5, 3, 1, \"e\", \"n\", 1, 1\n", "old", false, {Event(5, 3, 1, "e", 1, false, "n")}},
        {"[出来事], 3\nT\nE\\r\\nF\n5, 3, 1, e, n, 1\n", "E\r\nF", false, {Event(5, 3, 1, "e", 1, false, "n")}},
        {"[出来事], 4\nT\n\n 7x\n5, 3, 1, e, n, 1, 1\n", "old", true, {Event(5, 3, 1, "e", 1, false, "n")}},
        {"[出来事],5\r\nT\r\nE\r\n0\r\n5, 3, -1, e, n, 1, 1\r\n", "E", false, {Event(5, 3, -1, "e", 1, true, "n")}},
        {"[出来事], 9\nT\nE\n-1\n5, 3, 1, e, n, 1, 1", "E", true, {Event(5, 3, 1, "e", 1, true, "n")}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszFile);
        m_dir.Write("old.lev", Cp932(c.pszFile));
        CYearEvent table;
        table.SetExplanation("old");
        table.SetTodayDate(!c.bToday);
        ASSERT_TRUE(table.ReadFile(m_dir.Name("old.lev"), false));
        EXPECT_EQ(CString("T"), table.GetTableName());
        EXPECT_EQ(CString(c.pszExplanation), table.GetExplanation());
        EXPECT_EQ(c.bToday, table.GetTodayDate());
        EXPECT_EQ(c.events, Records(table));
    }
    EXPECT_TRUE(m_ui.m_messages.empty());
}

TEST_F(YearEventFileTest, ReadsFieldsByTheirRules)
{
    m_dir.Write("f.lev", Cp932("[出来事], 5\n\"Name, with comma\"\n\nx\n") +
                         "1, 1, 1, a, b, 3, 1\n"           // priority 3 reads as 0
                         "2, 1, 1, a, b, -1,  1 \n"        // -1 reads as 0; a blank-wrapped 1 is a leap month
                         "3, 1, 1, a, b, 1, 2\n"           // leap field 2: false
                         "4, 1, 1, a, b, 1, yes\n"
                         "5, 99999, -99999\n"              // months and days saturate; missing fields
                         "6,\n"
                         "7, 2, 3, \"q\"\"uote\"  , \" n \"\n");
    CYearEvent table;
    table.SetExplanation("kept");
    ASSERT_TRUE(table.ReadFile(m_dir.Name("f.lev"), false));
    EXPECT_EQ(CString("Name, with comma"), table.GetTableName());
    EXPECT_EQ(CString("kept"), table.GetExplanation());   // an empty line leaves it
    EXPECT_FALSE(table.GetTodayDate());
    const std::vector<SEventData> expected = {
        Event(1, 1, 1, "a", 0, true, "b"),   Event(2, 1, 1, "a", 0, true, "b"),  Event(3, 1, 1, "a", 1, false, "b"),
        Event(4, 1, 1, "a", 1, false, "b"),  Event(5, 32767, -32768, "", 0),      Event(6, -1, -1, "", 0),
        Event(7, 2, 3, "q\"uote", 0, false, "n"),
    };
    EXPECT_EQ(expected, Records(table));
}

TEST_F(YearEventFileTest, SortedReadingPlacesEventsByDateKeepingFileOrderForEqualKeys)
{
    m_dir.Write("s.lev", Cp932("[出来事], 5\nT\n\n0\n"
                              "1700, 5, -1, b, , 0, 0\n1600, -1, -1, a, , 0, 0\n1700, 5, -1, c, , 0, 0\n"
                              "1700, -1, -1, u, , 0, 0\n"));
    CYearEvent sorted;
    ASSERT_TRUE(sorted.ReadFile(m_dir.Name("s.lev"), true));
    CYearEvent kept;
    ASSERT_TRUE(kept.ReadFile(m_dir.Name("s.lev"), false));
    std::string strSorted, strKept;
    for (const SEventData& data : Records(sorted))
        strSorted += data.strEvent.Str();
    for (const SEventData& data : Records(kept))
        strKept += data.strEvent.Str();
    EXPECT_EQ("aubc", strSorted);
    EXPECT_EQ("bacu", strKept);
}

TEST_F(YearEventFileTest, FailuresShowTheirMessageAndKeepWhatWasRead)
{
    struct SCase {
        const char* pszFile;
        int nEvents;
        bool bNameTaken;
    };
    const SCase cases[] = {
        {"", 0, false},
        {"[元号], 1\nT\n1, a, b\n", 0, false},
        {"[出来事], 5\n", 0, false},
        {"[出来事], 5\nT\n", 0, true},
        {"[出来事], 5\nT\nE\n", 0, true},
        {"[出来事], 5\nT\nE\n0\n1, 1, 1, a, b, 0, 0\n2 no comma\n3, 1, 1, c, d, 0, 0\n", 1, true},
        {"[出来事], 5\nT\nE\n0\n1, 1, 1, a, b, 0, 0\n2, 1, 1, a, b, 0, 0\n\n", 2, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszFile);
        m_ui.m_messages.clear();
        m_dir.Write("bad.lev", Cp932(c.pszFile));
        CYearEvent table;
        table.SetTableName("before");
        table.SetModified(false);
        EXPECT_FALSE(table.ReadFile(m_dir.Name("bad.lev"), true));
        ASSERT_EQ(1u, m_ui.m_messages.size());
        EXPECT_EQ(BadFormat(m_dir.Name("bad.lev")), m_ui.m_messages[0].strText);
        EXPECT_EQ(c.nEvents, table.GetLen());
        EXPECT_EQ(c.nEvents > 0, table.GetModified());
        EXPECT_EQ(CString(c.bNameTaken ? "T" : "before"), table.GetTableName());
        EXPECT_EQ(m_dir.Name("bad.lev"), table.GetFileName());
    }

    m_ui.m_messages.clear();
    CYearEvent table;
    EXPECT_FALSE(table.ReadFile(m_dir.Name("missing.lev"), true));
    ASSERT_EQ(1u, m_ui.m_messages.size());
    EXPECT_EQ(FormatMessage("ファイル ", m_dir.Name("missing.lev"), " の読込みに失敗しました"), m_ui.m_messages[0].strText);
}

TEST_F(YearEventFileTest, NamesAndTextsThatWouldBreakTheirLineKeepTheFileReadable)
{
    struct SCase {
        const char* pszName;
        const char* pszExplanation;
        const char* pszEvent;
        const char* pszNote;
        const char* pszLines;   // lines 2 and 3, and the record line, as written
    };
    const SCase cases[] = {
        {"plain \"q\" name", "e", "ev", "n", "plain \"q\" name\r\ne\r\n0\r\n1, -1, -1, \"ev\", \"n\", 0, 0\r\n"},
        {"a,b", "\"quoted\" start", "ev", "n",
         "\"a,b\"\r\n\"\"\"quoted\"\" start\"\r\n0\r\n1, -1, -1, \"ev\", \"n\", 0, 0\r\n"},
        {"x\"\"y", "line\ronly\nfeed", "two\r\nlines", "lone\nfeed",
         "\"x\"\"\"\"y\"\r\nline\\r\\nonly\\r\\nfeed\r\n0\r\n"
         "1, -1, -1, \"two\\r\\nlines\", \"lone\\r\\nfeed\", 0, 0\r\n"},
        {"name\r\nbreak", "", "\"", "\"\"",
         "name\\r\\nbreak\r\n\r\n0\r\n1, -1, -1, \"\"\"\", \"\"\"\"\"\", 0, 0\r\n"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CYearEvent table;
        table.SetTableName(c.pszName);
        table.SetExplanation(c.pszExplanation);
        table.SetData(Event(1, -1, -1, c.pszEvent, 0, false, c.pszNote), true, -1, PRIORITY_ALL);
        table.SetFileName(m_dir.Name("q.lev"));
        ASSERT_TRUE(table.WriteFile(false, nullptr, HEADER_GENGOU));
        EXPECT_EQ(Cp932("[出来事], 5\r\n") + c.pszLines, m_dir.Read("q.lev"));
        CYearEvent back;
        ASSERT_TRUE(back.ReadFile(m_dir.Name("q.lev"), false));
        const auto normalized = [](const char* psz) {   // lone CR and LF come back as CR LF
            std::string str(psz);
            for (std::size_t i = 0; i < str.size(); ++i) {
                if ((str[i] == '\r' && (i + 1 == str.size() || str[i + 1] != '\n')) ||
                    (str[i] == '\n' && (i == 0 || str[i - 1] != '\r')))
                    str.replace(i, 1, "\r\n"), ++i;
            }
            return CString(str.c_str());
        };
        // Event texts and table names are read as they stand, so a line break written as the
        // escape comes back as the escape: the line structure survives, the break does not.
        EXPECT_EQ(EscapeLineBreaks(CString(c.pszName)), back.GetTableName());
        if (*c.pszExplanation) {
            EXPECT_EQ(normalized(c.pszExplanation), back.GetExplanation());
        }
        ASSERT_EQ(1, back.GetLen());
        EXPECT_EQ(EscapeLineBreaks(CString(c.pszEvent)), back.GetEventData().front()->strEvent);
        EXPECT_EQ(normalized(c.pszNote), back.GetEventData().front()->strNote);
    }
}

TEST_F(YearEventFileTest, DialogsAndWriteFailures)
{
    CYearEvent table;
    table.SetFileName("stored.lev");
    EXPECT_FALSE(table.ReadFile("", false));   // an empty name empties the stored one: the dialog asks
    ASSERT_EQ(1u, m_ui.m_requests.size());
    const SFileRequest& open = m_ui.m_requests[0];
    EXPECT_TRUE(open.bOpen);
    EXPECT_EQ(LiteralToCp932("出来事ﾃﾞｰﾀの読込み"), open.strTitle);
    EXPECT_EQ(LiteralToCp932("出来事ﾃﾞｰﾀ (*.lev)|*.lev|すべてのﾌｧｲﾙ (*.*)|*.*||"), open.strFilter);
    EXPECT_EQ(CString("lev"), open.strDefExt);
    EXPECT_EQ(0x8100Cu, open.dwFlags);
    EXPECT_TRUE(table.GetFileName().IsEmpty());
    EXPECT_TRUE(m_ui.m_messages.empty());

    table.SetTableName("T");
    table.SetData(Event(1, -1, -1, "e"), true, -1, PRIORITY_ALL);
    EXPECT_FALSE(table.WriteFile(false, nullptr, HEADER_JIDAI));   // no file name: the dialog, cancelled
    ASSERT_EQ(2u, m_ui.m_requests.size());
    EXPECT_FALSE(m_ui.m_requests[1].bOpen);
    EXPECT_EQ(LiteralToCp932("出来事ﾃﾞｰﾀの書込み"), m_ui.m_requests[1].strTitle);
    EXPECT_EQ(CString("T"), m_ui.m_requests[1].strFileName);
    EXPECT_TRUE(table.GetModified());
    EXPECT_TRUE(m_ui.m_messages.empty());

    m_ui.ChooseNext(m_dir.Name("chosen.lev"));
    EXPECT_FALSE(table.ReadFile(nullptr, false));   // the chosen file does not exist yet
    ASSERT_EQ(1u, m_ui.m_messages.size());
    m_ui.m_messages.clear();

    table.SetFileName(m_dir.Name("no-such-folder/x.lev"));
    EXPECT_FALSE(table.WriteFile(false, nullptr, HEADER_GENGOU));
    ASSERT_EQ(1u, m_ui.m_messages.size());
    EXPECT_EQ(FormatMessage("ファイル ", table.GetFileName(), " への書き込みに失敗しました"), m_ui.m_messages[0].strText);
    EXPECT_TRUE(table.GetModified());
}

} // namespace
