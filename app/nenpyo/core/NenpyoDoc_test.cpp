// The document file: a folder moved as a whole still opens, bad documents give the library's
// messages with the line to blame, and a failed save leaves the files and the chronology as they
// were.
#include "NenpyoDoc.h"

#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include "DamagedLine.h"
#include "EventTestData_test.h"
#include "testing/TempDir.h"

namespace {

// Writes the bytes as they are into a file of the test's folder and gives its native path.
std::filesystem::path Put(const CTempDir& dir, const std::string& strUtf8Name, const std::string& bytes)
{
    dir.Write(strUtf8Name, bytes);
    return dir.Path(strUtf8Name);
}

CNenpyoDoc::SDefaults NoDefaults() { return {}; }

// The code page 932 bytes of a file written from a UTF-8 literal.

// A chronology with two events and a base-year table, its era and period files in ﾗｲﾌﾞﾗﾘ beside
// the folder of the document.
void WriteReferenceTables(const CTempDir& dir)
{
    dir.Write("root/ﾗｲﾌﾞﾗﾘ/元号.lgn", Cp932("[元号], 1\r\nera\r\n\r\n明治,1868,1912,\r\n"));
    dir.Write("root/ﾗｲﾌﾞﾗﾘ/時代.ler", Cp932("[時代], 1\r\nperiod\r\n\r\n近代,1868,1945,\r\n"));
}



} // namespace

TEST(NenpyoDoc, MovedFolderStillOpens)
{
    CTempDir dir;
    WriteReferenceTables(dir);
    std::filesystem::create_directories(dir.Path() / "root/年表");
    {
        CNenpyoDoc doc;
        CNenpyoDoc::SDefaults defaults;
        defaults.eraFile = dir.Path("root/ﾗｲﾌﾞﾗﾘ/元号.lgn");
        defaults.periodFile = dir.Path("root/ﾗｲﾌﾞﾗﾘ/時代.ler");
        doc.New(defaults);
        doc.Events().SetData(Event(1868, "明治改元"), true, -1, PRIORITY_ALL);
        doc.Events().SetData(Event(1871, "廃藩置県", 1), true, -1, PRIORITY_ALL);
        doc.Events().SetTableName(CP932("近代"));
        doc.SetHasBaseYear(true);
        doc.BaseYear().SetBaseWesternYear(1868);
        std::filesystem::path failed;
        ASSERT_TRUE(doc.Save(dir.Path("root/年表/近代.nenpyo"), failed).Ok());
        EXPECT_FALSE(doc.IsModified());
    }
    EXPECT_EQ("[年表], 1\r\n出来事=近代.lev\r\n基点年=近代.lby\r\n元号=../ﾗｲﾌﾞﾗﾘ/元号.lgn\r\n時代=../ﾗｲﾌﾞﾗﾘ/時代.ler\r\n",
              dir.Read("root/年表/近代.nenpyo"));

    std::filesystem::rename(dir.Path() / "root", dir.Path() / "moved");
    CNenpyoDoc doc;
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Open(dir.Path("moved/年表/近代.nenpyo"), NoDefaults(), failed).Ok());
    EXPECT_TRUE(doc.Warnings().empty());
    EXPECT_EQ(2, doc.Events().GetLen());
    EXPECT_EQ(CP932("近代"), doc.Events().GetTableName());
    EXPECT_EQ(dir.Path("moved/年表/近代.lev"), doc.EventsPath());
    ASSERT_TRUE(doc.HasBaseYear());
    EXPECT_EQ(1868, doc.BaseYear().GetBaseWesternYear());
    EXPECT_EQ(1, doc.Eras().GetSize());
    EXPECT_EQ(1, doc.Periods().GetSize());
    EXPECT_FALSE(doc.IsModified());
}

TEST(NenpyoDoc, BadDocumentsAreRefusedWithTheLine)
{
    const struct {
        const char* pszText;
        unsigned nMessage;
        int nLine;
    } aCases[] = {
        {"", IDS_FILE_BAD_FORMAT, 1},
        {"[出来事], 5\n出来事=a.lev\n", IDS_FILE_BAD_FORMAT, 1},
        {"[年表], 1\n# comment\n出来事 a.lev\n", IDS_FILE_BAD_FORMAT, 3},
        {"[年表], 1\n基点年=a.lby\n", IDS_FILE_BAD_FORMAT, 3},
        {"[年表], 1\n出来事=missing.lev\n", IDS_FILE_READ_FAILED, 0},
    };
    CTempDir dir;
    for (const auto& test : aCases) {
        SCOPED_TRACE(test.pszText);
        const std::filesystem::path strPath = Put(dir, "bad.nenpyo", test.pszText);
        CNenpyoDoc doc;
        std::filesystem::path failed;
        const SFileStatus status = doc.Open(strPath, NoDefaults(), failed);
        EXPECT_EQ(test.nMessage, status.nMessage);
        EXPECT_EQ(test.nLine, status.nLine);
        EXPECT_FALSE(failed.empty());
    }
}

TEST(NenpyoDoc, ReadsAByteOrderMarkUnknownKeysAndABareEventFile)
{
    CTempDir dir;
    dir.Write("a.lev", Cp932("[出来事], 5\r\nname\r\n\r\n0\r\n1600, -1, -1, \"x\", \"\", 0, 0\r\n"));
    const std::filesystem::path strDoc = Put(dir, "a.nenpyo", "\xEF\xBB\xBF[年表], 1\n\nlater=1\n出来事=a.lev\n元号=nowhere.lgn\n");
    CNenpyoDoc doc;
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Open(strDoc, NoDefaults(), failed).Ok()) << failed;
    EXPECT_EQ(1, doc.Events().GetLen());
    EXPECT_FALSE(doc.HasBaseYear());
    EXPECT_EQ(1u, doc.Warnings().size());   // the era file that is not there

    CNenpyoDoc bare;
    WriteReferenceTables(dir);
    const CNenpyoDoc::SDefaults defaults{dir.Path("root/ﾗｲﾌﾞﾗﾘ/元号.lgn"), dir.Path("root/ﾗｲﾌﾞﾗﾘ/時代.ler")};
    ASSERT_TRUE(bare.Open(dir.Path("a.lev"), defaults, failed).Ok());
    EXPECT_TRUE(bare.Path().empty());
    EXPECT_EQ(dir.Path("a.lev"), bare.EventsPath());
    EXPECT_EQ(1, bare.Events().GetLen());
    // Saved in place while it has nothing that only a document can name.
    EXPECT_FALSE(bare.NeedsDocument(defaults));
    CNenpyoDoc noPeriods;   // a default that could not be read names nothing
    const CNenpyoDoc::SDefaults gone{defaults.eraFile, dir.Path("gone.ler")};
    ASSERT_TRUE(noPeriods.Open(dir.Path("a.lev"), gone, failed).Ok());
    EXPECT_FALSE(noPeriods.NeedsDocument(gone));
    CGengouEra periods, other;
    periods = bare.Periods();
    const std::filesystem::path periodsPath = bare.PeriodsPath();
    EXPECT_EQ(defaults.periodFile, periodsPath);
    dir.Write("other.ler", Cp932("[時代], 1\r\nother\r\n\r\n"));
    ASSERT_TRUE(other.Load(dir.Path("other.ler"), HEADER_JIDAI).Ok());
    bare.SetPeriods(other, dir.Path("other.ler"));
    EXPECT_TRUE(bare.NeedsDocument(defaults));
    bare.SetPeriods(periods, periodsPath);
    EXPECT_FALSE(bare.NeedsDocument(defaults));
    bare.SetHasBaseYear(true);
    EXPECT_TRUE(bare.NeedsDocument(defaults));
}

TEST(NenpyoDoc, FailedSaveKeepsThePreviousFilesAndTheChronology)
{
    CTempDir dir;
    CNenpyoDoc doc;
    doc.New(NoDefaults());
    doc.Events().SetData(Event(1600, "関ヶ原の戦い"), true, -1, PRIORITY_ALL);
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Save(dir.Path("a.nenpyo"), failed).Ok());
    const std::string strLev = dir.Read("a.lev");
    const std::string strDoc = dir.Read("a.nenpyo");

    doc.Events().SetData(Event(1603, "江戸幕府"), true, -1, PRIORITY_ALL);
    dir.Write("file", "not a folder");
    // Save as under a file: the first table fails, nothing is renamed, the old names stay.
    const SFileStatus status = doc.Save(dir.Path("file/b.nenpyo"), failed);
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
    EXPECT_EQ(dir.Path("file/b.lev"), failed);
    EXPECT_EQ(dir.Path("a.nenpyo"), doc.Path());
    EXPECT_EQ(dir.Path("a.lev"), doc.EventsPath());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(strLev, dir.Read("a.lev"));
    EXPECT_EQ(strDoc, dir.Read("a.nenpyo"));

    // The document itself cannot be replaced (a folder stands in its place): the tables written
    // before keep their names and the chronology stays unsaved.
    std::filesystem::create_directory(dir.Path() / "c.nenpyo");
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, doc.Save(dir.Path("c.nenpyo"), failed).nMessage);
    EXPECT_EQ(dir.Path("c.nenpyo"), failed);
    EXPECT_EQ(dir.Path("a.lev"), doc.EventsPath());
    EXPECT_TRUE(doc.IsModified());
}

TEST(NenpyoDoc, ResolveTakesOutDotParts)
{
    const struct {
        const char* pszFolder;
        const char* pszName;
        const char* pszResult;
    } aCases[] = {
        {"/a/年表", "../ﾗｲﾌﾞﾗﾘ/元号.lgn", "/a/ﾗｲﾌﾞﾗﾘ/元号.lgn"},
        {"/a/年表", "./b/../../../c.lev", "/c.lev"},
        {"/", "../c.lev", "/c.lev"},                    // no folder above the root to leave
        {"/a", "/x/./y//z.lev", "/x/y/z.lev"},          // an absolute name is cleaned alike
        {"/a/表", "b.lev", "/a/表/b.lev"},              // 表 ends in the byte of '\'
    };
    for (const auto& c : aCases)
        EXPECT_EQ(std::filesystem::path(c.pszResult), CNenpyoDoc::Resolve(c.pszFolder, c.pszName)) << c.pszName;
}

// A file cut at every byte, and one with each line damaged in turn, still opens: with every record
// whose line was whole before the damage (a last line without its line end still reads as a
// record, as the format says), marked as recovered when the reading stopped at a line.
TEST(NenpyoDoc, DamagedEventFileOpensWithTheRecordsBeforeTheDamage)
{
    const std::vector<std::string> lines = {
        Cp932("[出来事], 5"), Cp932("日本史"), Cp932("説明"), "0",
        Cp932("1582, 6, 2, \"本能寺の変\", \"\", 0, 0"), Cp932("1600, 9, 15, \"関ヶ原の戦い\", \"備考\", 0, 0"),
        Cp932("1603, -1, -1, \"江戸幕府\", \"\", 1, 0"),
    };
    constexpr int kHeaderLines = 4;
    CTempDir dir;
    std::vector<SEventData> whole;
    std::string strFile;
    {
        for (const std::string& strLine : lines)
            strFile += strLine + "\r\n";
        CNenpyoDoc doc;
        std::filesystem::path failed;
        ASSERT_TRUE(doc.Open(Put(dir, "whole.lev", strFile), NoDefaults(), failed).Ok());
        for (const auto& pRecord : doc.Events().GetEventData())
            whole.push_back(*pRecord);
    }
    // Opens the bytes as a bare event file and checks the records of the first nWhole lines; at most
    // nMore records may follow them.
    const auto Check = [&](const std::string& strBytes, int nWhole, int nMore) {
        CNenpyoDoc doc;
        std::filesystem::path failed;
        const SFileStatus status = doc.Open(Put(dir, "cut.lev", strBytes), NoDefaults(), failed);
        EXPECT_EQ(!status.Ok(), doc.IsRecovered());
        if (!status.Ok()) {
            EXPECT_GT(status.nLine, 0);
            EXPECT_TRUE(doc.IsModified());
            EXPECT_FALSE(CDamagedLine::Describe(dir.Path("cut.lev"), status.nLine).IsEmpty());
            doc.KeepBeforeDamage();
        }
        const int nRecords = std::max(0, nWhole - kHeaderLines);
        ASSERT_GE(doc.Events().GetLen(), nRecords);
        ASSERT_LE(doc.Events().GetLen(), nRecords + (status.Ok() ? nMore : 0));
        auto it = doc.Events().GetEventData().begin();
        for (int n = 0; n < nRecords; ++n, ++it)
            EXPECT_EQ(whole[static_cast<std::size_t>(n)], **it);
    };
    for (std::size_t nCut = 0, nLine = 0, nEnd = lines[0].size() + 2; nCut < strFile.size(); ++nCut) {
        SCOPED_TRACE("cut at " + std::to_string(nCut));
        if (nCut >= nEnd)
            nEnd += lines[++nLine].size() + 2;
        Check(strFile.substr(0, nCut), static_cast<int>(nLine), 1);
    }
    for (std::size_t nDamaged = 0; nDamaged < lines.size(); ++nDamaged) {
        SCOPED_TRACE("damaged line " + std::to_string(nDamaged + 1));
        for (const char* pszDamage : {"\x81\x82 damaged", "\x82"}) {   // no comma; half a character
            std::string strBytes;
            for (std::size_t n = 0; n < lines.size(); ++n)
                strBytes += (n == nDamaged ? std::string(pszDamage) : lines[n]) + "\r\n";
            // A damaged name or explanation line is still a name or an explanation.
            Check(strBytes, static_cast<int>(nDamaged), static_cast<int>(whole.size()));
        }
    }
}

TEST(NenpyoDoc, DamagedTableOfADocumentOpensRecoveredWithTheOtherTables)
{
    CTempDir dir;
    WriteReferenceTables(dir);
    std::filesystem::create_directories(dir.Path() / "root/年表");
    dir.Write("root/年表/a.lev", Cp932("[出来事], 5\r\nname\r\n\r\n0\r\n1868, -1, -1, \"明治改元\", \"\", 0, 0\r\n"
                                       "broken line\r\n1871, -1, -1, \"廃藩置県\", \"\", 0, 0\r\n"));
    dir.Write("root/年表/a.lby", Cp932("[基点年],5\r\n明治\r\n1868\r\n"));
    const std::filesystem::path strDoc = Put(dir, "root/年表/a.nenpyo", std::string("[年表], 1\n出来事=a.lev\n基点年=a.lby\n"
                                                                 "元号=../ﾗｲﾌﾞﾗﾘ/元号.lgn\n時代=../ﾗｲﾌﾞﾗﾘ/時代.ler\n"));
    CNenpyoDoc doc;
    std::filesystem::path failed;
    const SFileStatus status = doc.Open(strDoc, NoDefaults(), failed);
    EXPECT_EQ(IDS_FILE_BAD_FORMAT, status.nMessage);
    EXPECT_EQ(6, status.nLine);
    EXPECT_EQ(dir.Path("root/年表/a.lev"), failed);
    EXPECT_EQ(CP932("項目を区切るカンマがありません"), CDamagedLine::Describe(failed, status.nLine));
    ASSERT_TRUE(doc.IsRecovered());
    EXPECT_EQ(1, doc.Events().GetLen());
    EXPECT_EQ(1868, doc.BaseYear().GetBaseWesternYear());   // read before the base-year file ended
    EXPECT_EQ(1, doc.Eras().GetSize());
    EXPECT_EQ(1, doc.Periods().GetSize());
    EXPECT_EQ(strDoc, doc.Path());

    // Saved under a new name, every table is written whole and the chronology is itself again.
    ASSERT_TRUE(doc.Save(dir.Path("root/年表/b.nenpyo"), failed).Ok());
    EXPECT_FALSE(doc.IsRecovered());
    EXPECT_FALSE(doc.IsModified());
    CNenpyoDoc reopened;
    ASSERT_TRUE(reopened.Open(dir.Path("root/年表/b.nenpyo"), NoDefaults(), failed).Ok());
    EXPECT_EQ(1, reopened.Events().GetLen());
    EXPECT_EQ(CP932("明治"), reopened.BaseYear().GetTableName());
}

// Damage the lenient reader passes over (a cut inside a line, an open quote) is found by the check:
// the chronology opens recovered, with all of it as read or only what stands before the damage.
TEST(NenpyoDoc, CheckErrorsOpenRecoveredAndWarningsGoToTheNotice)
{
    CTempDir dir;
    const std::string strHead = Cp932("[出来事], 5\r\n日本史\r\n\r\n0\r\n1582, 6, 2, \"本能寺の変\", \"\", 0, 0\r\n");
    struct SCase {
        std::string bytes;
        int nLine;          // 0: opens whole
        int nAsRead;        // events as read
        int nBefore;        // events before the damage
        const char* pszReason;
    };
    const SCase cases[] = {
        {strHead + Cp932("1600, 9, 15, \"関ヶ原の戦い\", \"備"), 6, 2, 1, "引用符の中で終わっています"},
        {strHead + Cp932("1614, 10, 1, \"大坂冬の陣\", \", 1, 0\r\n1615, -1, -1, \"x\", \"\", 0, 0\r\n"), 6, 3, 1,
         "引用符が閉じていません"},
        {strHead + Cp932("abcd, 10, 1, \"x\", \"\", 1, 0\r\n"), 6, 2, 1, "年が数ではありません"},
        {Cp932("[出来事], 5\r\n日本史\r\n\r\n0x\r\n1582, 6, 2, \"本能寺の変\", \"\", 0, 0\r\n"), 4, 1, 0, "今日の日付"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::filesystem::path strPath = Put(dir, "damaged.lev", c.bytes);
        CNenpyoDoc doc;
        std::filesystem::path failed;
        const SFileStatus status = doc.Open(strPath, NoDefaults(), failed);
        EXPECT_EQ(IDS_FILE_BAD_FORMAT, status.nMessage);
        EXPECT_EQ(c.nLine, status.nLine);
        EXPECT_EQ(strPath, failed);
        ASSERT_TRUE(doc.IsRecovered());
        EXPECT_TRUE(doc.IsModified());
        EXPECT_NE(Cp932ToUtf8Lossy(doc.DamageReason().View()).find(c.pszReason), std::string::npos);
        EXPECT_NE(Cp932ToUtf8Lossy(doc.DamagedLines().View()).find(std::to_string(c.nLine) + "行目: "), std::string::npos);
        EXPECT_TRUE(doc.CheckNotice().empty());
        EXPECT_EQ(c.nAsRead, doc.Events().GetLen());
        EXPECT_EQ(c.nBefore, doc.EventsBeforeDamage());
        doc.KeepBeforeDamage();
        EXPECT_EQ(c.nBefore, doc.Events().GetLen());
        // Saved under a new name: the damaged file stays as it was.
        ASSERT_TRUE(doc.Save(dir.Path("saved.nenpyo"), failed).Ok());
        EXPECT_EQ(c.bytes, dir.Read("damaged.lev"));
        EXPECT_FALSE(doc.IsRecovered());
    }

    // Warnings only: the file opens whole, and the notice names the file, the line and the reason.
    const std::filesystem::path strShort = Put(dir, "short.lev", strHead + Cp932("1600, 9, 15, \"関ヶ原の戦い\"\r\n"));
    CNenpyoDoc doc;
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Open(strShort, NoDefaults(), failed).Ok());
    EXPECT_FALSE(doc.IsRecovered());
    EXPECT_EQ(2, doc.Events().GetLen());
    EXPECT_EQ("short.lev: 6行目 項目が足りません(備考は既定の値で読まれます)", doc.CheckNotice());
}
