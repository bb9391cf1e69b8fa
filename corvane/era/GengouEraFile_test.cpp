// Era-name and period files: real files in a temporary folder, dialogs and messages answered by
// the recording host UI.
#include <corvane/corvane.h>

#include "testing/FakeHostUi.h"
#include "testing/RelativeName.h"
#include "table/TableFile.h"
#include "testing/TempDir.h"
#include "testing/Cp932Literal.h"

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

// A valid era-name file of four modern eras, as it lies on disk (code page 932, CR LF).
std::string ModernErasFile()
{
    return LiteralToCp932("[元号], 1\r\n"
                          "近代の元号\r\n"
                          "明治以降\\r\\n一世一元\r\n"
                          "\"明治\", 1868, 1912, \"\"\r\n"
                          "\"大正\", 1912, 1926, \"\"\r\n"
                          "\"昭和\", 1926, 1989, \"元号\"\"昭和\"\"\"\r\n"
                          "\"平成\", 1989, 2019, \"改元は1月8日\\r\\n退位により終了\"\r\n")
        .Str();
}

std::string ToLf(std::string str)
{
    std::string out;
    for (const char ch : str) {
        if (ch != '\r')
            out += ch;
    }
    return out;
}

CString ReadFailed(const CString& strFile)
{
    return CP932("ファイル ") + strFile + CP932(" の読込みに失敗しました");
}

// Reads the file with messages on; the test checks the messages itself.
struct SRead {
    bool bResult;
    std::vector<CFakeHostUi::SMessage> messages;
};
SRead Read(CGengouEra& era, const CString& strFile, EHeaderType eType = HEADER_GENGOU)
{
    CFakeHostUi ui;
    const bool b = era.ReadFile(strFile, eType, true);
    return {b, ui.m_messages};
}

TEST(GengouEraFileTest, ReadsAFileWithCrLfAndWithLf)
{
    CTempDir dir;
    for (const std::string& bytes : {ModernErasFile(), ToLf(ModernErasFile())}) {
        const CString strFile = dir.Write("a.lgn", bytes);
        CGengouEra era;
        const SRead r = Read(era, strFile);
        EXPECT_TRUE(r.bResult);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(CP932("近代の元号"), era.GetTableName());
        EXPECT_EQ(CP932("明治以降\r\n一世一元"), era.GetExplanation());
        ASSERT_EQ(4, era.GetSize());
        EXPECT_EQ(CP932("明治"), era.GetAt(0).strGengou);
        EXPECT_EQ(1868, era.GetAt(0).lBeginYear);
        EXPECT_EQ(1912, era.GetAt(0).lEndYear);
        EXPECT_EQ(CP932("元号\"昭和\""), era.GetAt(2).strNote);
        EXPECT_EQ(CP932("改元は1月8日\r\n退位により終了"), era.GetAt(3).strNote);
        EXPECT_FALSE(era.GetModified());
        EXPECT_EQ(strFile, era.GetFileName());

        // Read again without ClearAll: the records are merged, nothing doubles.
        EXPECT_TRUE(Read(era, strFile).bResult);
        EXPECT_EQ(4, era.GetSize());
    }
}

TEST(GengouEraFileTest, WritesWhatItReadByteForByte)
{
    CTempDir dir;
    const CString strSource = dir.Write("in.lgn", ModernErasFile());
    CGengouEra era;
    ASSERT_TRUE(Read(era, strSource).bResult);
    era.SetModified(true);
    era.SetFileName(dir.Name("out.lgn"));
    CFakeHostUi ui;
    EXPECT_TRUE(era.WriteFile(false, nullptr, HEADER_GENGOU));
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_TRUE(ui.m_requests.empty());
    EXPECT_FALSE(era.GetModified());
    EXPECT_EQ(ModernErasFile(), dir.Read("out.lgn"));
}

TEST(GengouEraFileTest, MergesIntoATableThatIsNotEmpty)
{
    CTempDir dir;
    const CString strFile = dir.Write("a.lgn", ModernErasFile());
    CGengouEra era;
    era.SetData(CP932("慶応"), 1865, 1868, "");
    era.SetData(CP932("大正"), 1912, 1925, "other years");   // the file's 大正 is dropped silently
    era.SetExplanation("old");
    const SRead r = Read(era, strFile);
    EXPECT_TRUE(r.bResult);
    EXPECT_TRUE(r.messages.empty());
    ASSERT_EQ(5, era.GetSize());
    EXPECT_EQ(CP932("慶応"), era.GetAt(0).strGengou);
    EXPECT_EQ(1925, era.GetAt(2).lEndYear);
    EXPECT_EQ(CP932("明治以降\r\n一世一元"), era.GetExplanation());
    EXPECT_FALSE(era.GetModified());
}

TEST(GengouEraFileTest, HeaderKindsAndVersions)
{
    CTempDir dir;
    const std::string records = Cp932("\"B\", 20, 30, \"\"\r\n\"A\", 10, 20, \"n\"\r\n");
    const struct {
        const char* pszHeader;
        EHeaderType eType;
        bool bResult;
        int nRecords;   // records read; -1: the explanation line is taken as a record too
    } cases[] = {
        {"[元号], 1", HEADER_GENGOU, true, 2},
        {"[元号], 2", HEADER_GENGOU, true, 2},        // a later version reads like version 1
        {"[元号]", HEADER_GENGOU, true, -1},          // version 0: no explanation line
        {"[元号], 0", HEADER_GENGOU, true, -1},
        {" [元号] , 1", HEADER_GENGOU, true, 2},
        {"[時代], 1", HEADER_GENGOU, false, 0},
        {"[時代], 1", HEADER_JIDAI, true, 2},
        {"[元号], 1", HEADER_JIDAI, false, 0},
        {"[元号], 1", static_cast<EHeaderType>(0), true, 2},   // other types accept any kind
        {"[出来事], 5", static_cast<EHeaderType>(0), true, 2},
        {"元号, 1", HEADER_GENGOU, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszHeader);
        // The explanation line of version 1 files is itself a valid record line, so that a
        // version 0 reading shows up as one record more.
        const CString strFile =
            dir.Write("h.lgn", Cp932(c.pszHeader) + "\r\nname\r\n\"X\", 1, 2, \"expl\"\r\n" + records);
        CGengouEra era;
        era.SetTableName("before");
        era.SetExplanation("before");
        const SRead r = Read(era, strFile, c.eType);
        EXPECT_EQ(c.bResult, r.bResult);
        if (!c.bResult) {
            ASSERT_EQ(1u, r.messages.size());
            EXPECT_EQ(ReadFailed(strFile), r.messages[0].strText);
            EXPECT_EQ(CString("before"), era.GetTableName());
            EXPECT_EQ(0, era.GetSize());
            continue;
        }
        EXPECT_EQ(CString("name"), era.GetTableName());
        if (c.nRecords < 0) {
            EXPECT_EQ(CString("before"), era.GetExplanation());
            ASSERT_EQ(3, era.GetSize());
            EXPECT_EQ(CString("X"), era.GetAt(0).strGengou);
        } else {
            EXPECT_EQ(CString("\"X\", 1, 2, \"expl\""), era.GetExplanation());
            ASSERT_EQ(2, era.GetSize());
        }
        EXPECT_EQ(CString("A"), era.GetAt(era.GetSize() - 2).strGengou);   // ascending begin years
    }
}

TEST(GengouEraFileTest, FailuresKeepWhatWasReadBefore)
{
    CTempDir dir;
    const std::string head = Cp932("[元号], 1\r\n名前\r\n説明\r\n\"A\", 1, 2, \"\"\r\n");
    const struct {
        const char* pszName;
        std::string bytes;
        int nRecords;
        bool bTableName;   // the table name line was reached
    } cases[] = {
        {"empty", "", 0, false},
        {"header only", Cp932("[元号], 1\r\n"), 0, false},
        {"no explanation", Cp932("[元号], 1\r\n名前\r\n"), 0, true},
        {"blank line at the end", head + "\r\n", 1, true},
        {"line of a CR", head + "\r\r\n\"B\", 3, 4, \"\"\r\n", 1, true},
        {"no comma after the name", head + "\"B\" 3 4\r\n", 1, true},
        {"unquoted name only", head + "B\r\n", 1, true},
        {"no comma after the begin year", head + "\"B\", 3\r\n", 1, true},
        {"no comma after the end year", head + "\"B\", 3, 4\r\n\"C\", 5, 6, \"\"\r\n", 1, true},
        {"closing quote at the end", head + "\"B\"x\r\n", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CString strFile = dir.Write("f.lgn", c.bytes);
        CGengouEra era;
        era.SetModified(false);
        const SRead r = Read(era, strFile);
        EXPECT_FALSE(r.bResult);
        ASSERT_EQ(1u, r.messages.size());
        EXPECT_EQ(ReadFailed(strFile), r.messages[0].strText);
        EXPECT_EQ(c.nRecords, era.GetSize());
        EXPECT_EQ(c.bTableName, era.GetTableName() == CP932("名前"));
        EXPECT_EQ(c.bTableName, era.GetModified());   // changed by what was taken over
        EXPECT_EQ(strFile, era.GetFileName());

        // Silently with messages off.
        CFakeHostUi ui;
        CGengouEra quiet;
        EXPECT_FALSE(quiet.ReadFile(strFile, HEADER_GENGOU, false));
        EXPECT_TRUE(ui.m_messages.empty());
    }
}

TEST(GengouEraFileTest, FieldRulesOfRecordLines)
{
    CTempDir dir;
    const CString strFile = dir.Write(
        "r.lgn", Cp932("[時代], 1\r\nt\r\n\r\n"
                       "\"q\", \"5\", 7, \"quoted year\"\r\n"
                       "  spaced  ,  -12x ,+13 , \" note \"  \r\n"
                       "plain, 20, 99999999999, unquoted \"\"note\"\"\r\n"
                       "\"empty note\", 30, 31,\r\n"
                       "\"late\", 40, 41, \"a\", extra, fields\r\n"
                       "\"逆順\", 2, 3, \"\"\r\n"));
    CGengouEra era;
    const SRead r = Read(era, strFile, HEADER_JIDAI);
    ASSERT_TRUE(r.bResult) << (r.messages.empty() ? "" : Cp932ToUtf8Lossy(r.messages[0].strText.View()));
    EXPECT_TRUE(era.GetExplanation().IsEmpty());
    const CGengouEraArray expected = {
        {CString("spaced"), -12, 13, CString("note")},   // white space at the ends is lost
        {CString("q"), 0, 7, CString("quoted year")},    // a year in quotes reads as 0
        {CP932("逆順"), 2, 3, CString()},
        {CString("plain"), 20, 2147483647, CString("unquoted \"note\"")},
        {CString("empty note"), 30, 31, CString()},
        {CString("late"), 40, 41, CString("a")},
    };
    EXPECT_EQ(expected, era.GetGengouEraTable());
}

// The first and last day go in six fields after the note; a record without days keeps the four
// fields of old.
TEST(GengouEraFileTest, DaysAfterTheNote)
{
    CTempDir dir;
    CGengouEra era;
    const auto add = [&](const char* pszName, std::int32_t lBegin, std::int32_t lEnd, SEraDate begin, SEraDate end) {
        SGengouEraTable rec{LiteralToCp932(pszName), lBegin, lEnd, CString("n")};
        rec.nBeginMonth = begin.nMonth, rec.bBeginLeap = begin.bLeap, rec.nBeginDay = begin.nDay;
        rec.nEndMonth = end.nMonth, rec.bEndLeap = end.bLeap, rec.nEndDay = end.nDay;
        era.GetGengoEraTable().push_back(rec);
    };
    add("延喜", 901, 923, {901, 7, false, 15}, {923, 4, true, 10});
    add("延長", 923, 931, {923, 4, true, 11}, {931, 4, false, 25});
    add("朱鳥", 686, 686, {686, 7, false, 20}, {});
    add("令和", 2019, 32767, {2019, 5, false, 1}, {});
    add("昔", 1, 2, {}, {});
    add("月だけ", 3, 4, {3, 6, false, 0}, {4, 13, false, 1});   // month 13 is no day: written as 0, 0, 0
    ASSERT_TRUE(era.Save(dir.Name("d.lgn"), HEADER_GENGOU).Ok());
    EXPECT_EQ(Cp932("[元号], 1\r\n\r\n\r\n"
                    "\"延喜\", 901, 923, \"n\", 7, 15, 0, 4, 10, 1\r\n"
                    "\"延長\", 923, 931, \"n\", 4, 11, 1, 4, 25, 0\r\n"
                    "\"朱鳥\", 686, 686, \"n\", 7, 20, 0, 0, 0, 0\r\n"
                    "\"令和\", 2019, 32767, \"n\", 5, 1, 0, 0, 0, 0\r\n"
                    "\"昔\", 1, 2, \"n\"\r\n"
                    "\"月だけ\", 3, 4, \"n\", 6, 0, 0, 0, 0, 0\r\n"),
              dir.Read("d.lgn"));
    CGengouEra back;
    ASSERT_TRUE(back.Load(dir.Name("d.lgn"), HEADER_GENGOU).Ok());
    era.GetGengoEraTable()[5].nEndMonth = 0, era.GetGengoEraTable()[5].nEndDay = 0;
    CGengouEra sorted;   // the reader keeps begin-year order
    for (const int i : {2, 0, 1, 3, 4, 5})
        sorted.GetGengoEraTable().push_back(era.GetAt(i));
    std::sort(sorted.GetGengoEraTable().begin(), sorted.GetGengoEraTable().end(),
              [](const SGengouEraTable& a, const SGengouEraTable& b) { return a.lBeginYear < b.lBeginYear; });
    EXPECT_EQ(sorted.GetGengouEraTable(), back.GetGengouEraTable());

    // Fields that are no day leave the day not known and the line read; records that SetData
    // inserts out of order keep their days.
    const CString strFile = dir.Write(
        "bad.lgn", Cp932("[元号], 1\r\nt\r\n\r\n"
                         "\"a\", 10, 11, \"\", 13, 1, 0, 2, 30, 0\r\n"   // month 13
                         "\"b\", 12, 13, \"\", 1, 32, 0, 2, 3, 2\r\n"    // day 32, leap flag 2
                         "\"c\", 14, 15, \"\", 0, 5, 0, 2, 3\r\n"        // a day without month, a cut end
                         "\"d\", 16, 17, , 5, 6, 1, x, y, z\r\n"         // unquoted empty note; words
                         "e, 18, 19, a note, with a comma\r\n"
                         "\"f\", 5, 6, \"\", 3, 4, 0, 5, 6, 0\r\n"));
    CGengouEra odd;
    ASSERT_TRUE(odd.Load(strFile, HEADER_GENGOU).Ok());
    const auto days = [](const SGengouEraTable& r) {
        return std::vector<int>{r.nBeginMonth, r.bBeginLeap, r.nBeginDay, r.nEndMonth, r.bEndLeap, r.nEndDay};
    };
    ASSERT_EQ(6, odd.GetSize());
    EXPECT_EQ(CString("f"), odd.GetAt(0).strGengou);
    EXPECT_EQ((std::vector<int>{3, 0, 4, 5, 0, 6}), days(odd.GetAt(0)));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 2, 0, 30}), days(odd.GetAt(1)));
    for (const int i : {2, 3, 5})
        EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0}), days(odd.GetAt(i))) << i;
    EXPECT_EQ((std::vector<int>{5, 1, 6, 0, 0, 0}), days(odd.GetAt(4)));
    EXPECT_EQ(CString("a note"), odd.GetAt(5).strNote);
}

TEST(GengouEraFileTest, RoundTripOfAwkwardTexts)
{
    CTempDir dir;
    CGengouEra era;
    era.SetTableName(CP932("表, \"名\""));
    era.SetExplanation("line 1\r\nline 2\nline 3\rend");
    era.SetData(CP932("\"元号\", 名"), -660, -585, CP932("注, \"引用\"\r\n次の行\r\n"));
    era.SetData(CP932("ソ表"), 1, 2, "lone\nLF and lone\rCR");
    era.SetData("\\r\\n", 3, 4, "\\");
    era.SetFileName(dir.Name("rt.lgn"));
    CFakeHostUi ui;
    ASSERT_TRUE(era.WriteFile(false, nullptr, HEADER_GENGOU));

    // No line of the file is split by the texts: 3 lines and 3 records.
    const std::string bytes = dir.Read("rt.lgn");
    EXPECT_EQ(6, std::count(bytes.begin(), bytes.end(), '\n'));
    EXPECT_EQ(6, std::count(bytes.begin(), bytes.end(), '\r'));

    CGengouEra back;
    ASSERT_TRUE(back.ReadFile(dir.Name("rt.lgn"), HEADER_GENGOU, true));
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_EQ(era.GetTableName(), back.GetTableName());
    EXPECT_EQ(CString("line 1\r\nline 2\r\nline 3\r\nend"), back.GetExplanation());
    ASSERT_EQ(3, back.GetSize());
    EXPECT_EQ(era.GetAt(0), back.GetAt(0));
    EXPECT_EQ(CP932("ソ表"), back.GetAt(1).strGengou);
    EXPECT_EQ(CString("lone\r\nLF and lone\r\nCR"), back.GetAt(1).strNote);
    EXPECT_EQ(era.GetAt(2).strGengou, back.GetAt(2).strGengou);
    EXPECT_EQ(CString("\\"), back.GetAt(2).strNote);
}

TEST(GengouEraFileTest, ALineBreakInANameCannotSplitTheFile)
{
    CTempDir dir;
    CGengouEra era;
    era.SetTableName("two\r\nlines");
    era.SetData("a\nb", 1, 2, "");
    era.SetFileName(dir.Name("n.lgn"));
    CFakeHostUi ui;
    ASSERT_TRUE(era.WriteFile(false, nullptr, HEADER_GENGOU));
    CGengouEra back;
    ASSERT_TRUE(back.ReadFile(dir.Name("n.lgn"), HEADER_GENGOU, true));
    // Names are not unescaped on reading: the escape stays visible instead of breaking the file.
    EXPECT_EQ(CString("two\\r\\nlines"), back.GetTableName());
    ASSERT_EQ(1, back.GetSize());
    EXPECT_EQ(CString("a\\r\\nb"), back.GetAt(0).strGengou);
}

TEST(GengouEraFileTest, DialogStringsOfEachKind)
{
    CTempDir dir;
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    const struct {
        EHeaderType eType;
        const char* pszExt;
        const char* pszReadTitle;
        const char* pszWriteTitle;
        const char* pszReadFilter;
        const char* pszHeader;
    } cases[] = {
        {HEADER_GENGOU, "lgn", "元号ﾃﾞｰﾀの読込み", "元号ﾃﾞｰﾀの書込み", "元号ﾃﾞｰﾀ (*.lgn)|*.lgn|すべてのﾌｧｲﾙ (*.*)|*.*|",
         "[元号], 1"},
        {HEADER_JIDAI, "ler", "時代ﾃﾞｰﾀの読込み", "時代ﾃﾞｰﾀの書込み", "時代ﾃﾞｰﾀ (*.ler)|*.ler|すべてのﾌｧｲﾙ (*.*)|*.*|",
         "[時代], 1"},
        {static_cast<EHeaderType>(0), "ler", "時代ﾃﾞｰﾀの読込み", "時代ﾃﾞｰﾀの書込み",
         "時代ﾃﾞｰﾀ (*.ler)|*.ler|すべてのﾌｧｲﾙ (*.*)|*.*|", "[時代], 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszExt);
        CFakeHostUi ui;
        ui.CancelNext();
        ui.ChooseNext(dir.Name("chosen"));
        CGengouEra era;
        era.SetTableName("t");
        EXPECT_FALSE(era.ReadFile(nullptr, c.eType, true));
        EXPECT_TRUE(era.WriteFile(false, nullptr, c.eType));
        ASSERT_EQ(2u, ui.m_requests.size());
        const SFileRequest& open = ui.m_requests[0];
        const SFileRequest& save = ui.m_requests[1];
        EXPECT_TRUE(open.bOpen);
        EXPECT_EQ(LiteralToCp932(c.pszReadTitle), open.strTitle);
        EXPECT_EQ(LiteralToCp932(c.pszReadFilter), open.strFilter);
        EXPECT_EQ(CString(c.pszExt), open.strDefExt);
        EXPECT_EQ(0x8100Cu, open.dwFlags);
        EXPECT_FALSE(save.bOpen);
        EXPECT_EQ(LiteralToCp932(c.pszWriteTitle), save.strTitle);
        EXPECT_EQ(LiteralToCp932(c.pszReadFilter) + "|", save.strFilter);
        EXPECT_EQ(CString(c.pszExt), save.strDefExt);
        EXPECT_EQ(CString("t"), save.strFileName);
        EXPECT_EQ(0x8000Eu, save.dwFlags);
        EXPECT_TRUE(ui.m_messages.empty());
        EXPECT_EQ(RelativeName("chosen"), era.GetFileName());
        EXPECT_EQ(Cp932(c.pszHeader) + "\r\nt\r\n\r\n", dir.Read("chosen"));
    }
}

TEST(GengouEraFileTest, WriteFailureShowsItsMessage)
{
    CTempDir dir;
    CFakeHostUi ui;
    CGengouEra era;
    era.SetData("a", 1, 2, "");
    era.SetFileName(dir.Name("missing/a.lgn"));
    EXPECT_FALSE(era.WriteFile(false, nullptr, HEADER_GENGOU));
    ASSERT_EQ(1u, ui.m_messages.size());
    EXPECT_EQ(CP932("ファイル ") + era.GetFileName() + CP932(" への書き込みに失敗しました"), ui.m_messages[0].strText);
    EXPECT_TRUE(era.GetModified());
}

// Files that are not era files at all: each read ends with a message or reads as the rules say,
// and never crashes or hangs.
TEST(GengouEraFileTest, HostileFiles)
{
    CTempDir dir;
    std::mt19937 rng(42);
    std::string binary(64 * 1024, '\0');
    for (char& ch : binary)
        ch = static_cast<char>(rng());

    const std::string oneLine(10 * 1024 * 1024, 'x');
    const std::string longField(1024 * 1024, 'y');
    const struct {
        const char* pszName;
        std::string bytes;
        EHeaderType eType;
        bool bResult;
    } cases[] = {
        {"binary", binary, HEADER_GENGOU, false},
        {"binary after a header", Cp932("[元号], 1\r\nt\r\ne\r\n") + binary, HEADER_GENGOU, false},
        {"one 10 MB line", oneLine, HEADER_GENGOU, false},
        {"one 1 MB line, any kind", longField, static_cast<EHeaderType>(0), false},
        {"1 MB record", Cp932("[元号], 1\r\nt\r\ne\r\n\"") + longField + "\", 1, 2, \"\"", HEADER_GENGOU, true},
        {"NUL bytes", Cp932("[元号], 1\r\n") + std::string("t\0u\r\ne\r\n\"a\0b\", 1, 2, \"\"\r\n", 25), HEADER_GENGOU,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CString strFile = dir.Write("x.lgn", c.bytes);
        CGengouEra era;
        const SRead r = Read(era, strFile, c.eType);
        EXPECT_EQ(c.bResult, r.bResult);
        EXPECT_EQ(c.bResult ? 0u : 1u, r.messages.size());
    }
}

TEST(GengouEraFileTest, InvalidCodePageBytesAreKeptAsTheyAre)
{
    // A lone lead byte before the closing quote, an unassigned double-byte code and a lead byte
    // at the very end of the line: the reader takes the bytes as they are, and a write gives them
    // back unchanged.
    CTempDir dir;
    const std::string bytes = Cp932("[元号], 1\r\n") + "t\xff\r\n\r\n" + "\"\x81\", 1, 2, \"\xeb\x40\"\r\n" +
                              "\"b\", 3, 4, \"\x81\"\r\n" + "\"c\", 5, 6, \x9f";
    const CString strFile = dir.Write("bad.lgn", bytes);
    CGengouEra era;
    const SRead r = Read(era, strFile);
    ASSERT_TRUE(r.bResult);
    ASSERT_EQ(3, era.GetSize());
    EXPECT_EQ(CString("\x81"), era.GetAt(0).strGengou);
    EXPECT_EQ(CString("\xeb\x40"), era.GetAt(0).strNote);
    EXPECT_EQ(CString("\x81"), era.GetAt(1).strNote);
    EXPECT_EQ(CString("\x9f"), era.GetAt(2).strNote);
    EXPECT_EQ(CString("t\xff"), era.GetTableName());

    era.SetFileName(dir.Name("again.lgn"));
    ASSERT_TRUE(era.WriteFile(false, nullptr, HEADER_GENGOU));
    CGengouEra back;
    ASSERT_TRUE(Read(back, dir.Name("again.lgn")).bResult);
    EXPECT_EQ(era.GetGengouEraTable(), back.GetGengouEraTable());
    EXPECT_EQ(era.GetTableName(), back.GetTableName());

    // A file name without a native form cannot be opened: 61451.
    CGengouEra other;
    const SRead bad = Read(other, dir.Name() + "/\x81\xff.lgn");
    EXPECT_FALSE(bad.bResult);
    EXPECT_EQ(1u, bad.messages.size());
}

// Reading adds the records as SetData does one after the other, whatever their order, into
// empty, sorted and unsorted tables, up to a failing line.
TEST(GengouEraFileTest, ReadingMatchesPlainSetData)
{
    CTempDir dir;
    std::mt19937 rng(11);
    const auto randomRec = [&]() {
        SGengouEraTable rec;
        rec.strGengou = CString(std::string(1, static_cast<char>('a' + rng() % 12)));
        rec.lBeginYear = static_cast<std::int32_t>(rng() % 20) - 5;
        rec.lEndYear = rec.lBeginYear + static_cast<std::int32_t>(rng() % 2);
        rec.strNote = CString(std::to_string(rng() % 1000).c_str());
        return rec;
    };
    for (int nRun = 0; nRun < 150; ++nRun) {
        CGengouEra era;
        const unsigned nStart = rng() % 3;   // empty, sorted, unsorted
        for (unsigned n = nStart == 0 ? 0 : rng() % 10; n > 0; --n) {
            const SGengouEraTable rec = randomRec();
            era.SetData(rec.strGengou, rec.lBeginYear, rec.lEndYear, rec.strNote);
        }
        if (nStart == 2)
            std::reverse(era.GetGengoEraTable().begin(), era.GetGengoEraTable().end());
        CGengouEra model;   // the same records through SetData one at a time
        model.GetGengoEraTable() = era.GetGengouEraTable();
        std::string bytes = "[x], 1\r\nt\r\n\r\n";
        const int nLines = static_cast<int>(rng() % 40);
        const int nBad = rng() % 4 == 0 ? static_cast<int>(rng() % 40) : -1;
        for (int i = 0; i < nLines; ++i) {
            if (i == nBad) {
                bytes += "\r\n";
                continue;
            }
            const SGengouEraTable rec = randomRec();
            if (nBad < 0 || i < nBad)
                model.SetData(rec.strGengou, rec.lBeginYear, rec.lEndYear, rec.strNote);
            bytes += "\"" + rec.strGengou.Str() + "\", " + std::to_string(rec.lBeginYear) + ", " +
                     std::to_string(rec.lEndYear) + ", \"" + rec.strNote.Str() + "\"\r\n";
        }
        CFakeHostUi ui;
        const bool bRead = era.ReadFile(dir.Write("m.ler", bytes), static_cast<EHeaderType>(0), false);
        ASSERT_EQ(nBad < 0 || nBad >= nLines, bRead) << "run " << nRun;
        ASSERT_EQ(model.GetGengouEraTable(), era.GetGengouEraTable()) << "run " << nRun;
    }
}

TEST(GengouEraFileTest, CancelledOpenChangesNothing)
{
    CFakeHostUi ui;
    ui.CancelNext();
    CGengouEra era;
    era.SetData("a", 1, 2, "");
    era.SetTableName("t");
    EXPECT_FALSE(era.ReadFile(nullptr, HEADER_GENGOU, true));
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_EQ(1, era.GetSize());
    EXPECT_TRUE(era.GetModified());
    EXPECT_TRUE(era.GetFileName().IsEmpty());
    EXPECT_EQ(1u, ui.m_requests.size());
}

} // namespace
