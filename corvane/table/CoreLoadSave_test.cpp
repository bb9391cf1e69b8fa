// The core layer of the tables: Load and Save report what went wrong and touch neither the host
// UI nor the current directory.
#include <corvane/corvane.h>

#include "table/RecordCodec.h"
#include "testing/FakeHostUi.h"
#include "testing/TempDir.h"

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

CString CurrentDir()
{
    CString str;
    GetCurrentDir(str);
    return str;
}

TEST(CoreLoadSaveTest, ReportsMessageLineAndSystemErrorWithoutUi)
{
    CTempDir dir;
    CFakeHostUi ui;
    const CString strBefore = CurrentDir();

    struct SCase {
        const char* pszName;
        std::string bytes;
        unsigned nMessage;
        int nLine;
        int nOsError;
    };
    const SCase cases[] = {
        {"good.lgn", "[Gengou], 1\r\nT\r\nE\r\n\"A\", 1, 2, \"n\"\r\n", 0, 0, 0},
        {"record.lgn", "[Gengou], 1\r\nT\r\nE\r\n\"A\", 1, 2, \"n\"\r\n\"B\", 3\r\n", IDS_FILE_READ_FAILED, 5, 0},
        {"header.lgn", "[Event], 1\r\n", IDS_FILE_READ_FAILED, 1, 0},
        // The last line, without a line end, is to blame.
        {"last.lgn", "[Gengou], 1\r\nT\r\nE\r\n\"A\", 1, 2, \"n\"\r\n\"B\", 3", IDS_FILE_READ_FAILED, 5, 0},
        // A line one byte over the limit.
        {"long.lgn", "[Gengou], 1\r\n" + std::string(kMaxTableLineLength + 1, 'x') + "\r\nE\r\n", IDS_FILE_READ_FAILED, 2, 0},
        // Ends before its explanation line: the missing line is to blame.
        {"short.lgn", "[Gengou], 1\r\nT\r\n", IDS_FILE_READ_FAILED, 3, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::string bytes = c.bytes;
        // The header word in the files above stands for the real one.
        if (bytes.rfind("[Gengou]", 0) == 0)
            bytes.replace(0, 8, CP932("[元号]").Str());
        CGengouEra era;
        const CString strFile = dir.Write(c.pszName, bytes);
        const SFileStatus status = era.Load(strFile, HEADER_GENGOU);
        EXPECT_EQ(c.nMessage, status.nMessage);
        EXPECT_EQ(c.nLine, status.nLine);
        EXPECT_EQ(c.nOsError, status.nOsError);
        EXPECT_EQ(strFile, era.GetFileName());
    }

    CYearEvent events;
    SFileStatus status = events.Load(dir.Name("missing.lev"), true);
    EXPECT_EQ(IDS_FILE_READ_FAILED, status.nMessage);
    EXPECT_EQ(ENOENT, status.nOsError);

    CBaseYear base;
    status = base.Save(dir.Name("no-such-folder/b.lby"));
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
    EXPECT_EQ(ENOENT, status.nOsError);
    EXPECT_EQ(CP932("ファイル x.lby への書き込みに失敗しました: No such file or directory"),
              FormatFileStatus(status, "x.lby"));
    // In UTF-8, with a name that code page 932 cannot hold.
    EXPECT_EQ("ファイル résumé/x.lby への書き込みに失敗しました: No such file or directory",
              FormatFileStatusUtf8(status, "résumé/x.lby"));
    EXPECT_EQ("ファイル 年表〜 のフォーマットが正しくありません (3行目)",
              FormatFileStatusUtf8(SFileStatus{IDS_FILE_BAD_FORMAT, 0, 3}, "年表〜"));
    EXPECT_EQ("", FormatFileStatusUtf8(SFileStatus(), "x"));

    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_TRUE(ui.m_requests.empty());
    EXPECT_EQ(strBefore, CurrentDir());
}

// The longest line a table may hold saves and reads back; one byte more is refused by the writer,
// which leaves the previous file.
TEST(CoreLoadSaveTest, LongestLineSavesAndReadsBack)
{
    CTempDir dir;
    CGengouEra era;
    era.SetTableName(std::string(kMaxTableLineLength, 'n').c_str());
    ASSERT_TRUE(era.Save(dir.Name("a.lgn"), HEADER_GENGOU).Ok());
    CGengouEra copy;
    ASSERT_TRUE(copy.Load(dir.Name("a.lgn"), HEADER_GENGOU).Ok());
    EXPECT_EQ(era.GetTableName(), copy.GetTableName());

    const std::string previous = dir.Read("a.lgn");
    era.SetTableName(std::string(kMaxTableLineLength + 1, 'n').c_str());
    const SFileStatus status = era.Save(dir.Name("a.lgn"), HEADER_GENGOU);
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
    EXPECT_EQ(0, status.nOsError);
    EXPECT_TRUE(era.GetModified());
    EXPECT_TRUE(previous == dir.Read("a.lgn"));
}

TEST(CoreLoadSaveTest, SaveThenLoadClearsTheModifiedFlag)
{
    CTempDir dir;
    CBaseYear base;
    base.SetTableName(CP932("創業"));
    base.SetBaseWesternYear(1950);
    ASSERT_TRUE(base.GetModified());
    ASSERT_TRUE(base.Save(dir.Name("b.lby")).Ok());
    EXPECT_FALSE(base.GetModified());

    CBaseYear copy;
    const SFileStatus status = copy.Load(dir.Name("b.lby"));
    ASSERT_TRUE(status.Ok());
    EXPECT_EQ(1950, copy.GetBaseWesternYear());
    EXPECT_EQ(CP932("創業"), copy.GetTableName());
    EXPECT_EQ(CString(), FormatFileStatus(status, "b.lby"));
    EXPECT_EQ(CP932("ファイル f のフォーマットが正しくありません (3行目)"),
              FormatFileStatus(SFileStatus{IDS_FILE_BAD_FORMAT, 0, 3}, "f"));
}

} // namespace
