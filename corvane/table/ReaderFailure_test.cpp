// How every table reader and writer fails on hostile files and failing saves: each reader is fed
// the same set of bad files (empty, a 1 GiB file without a line end, NUL bytes, lone lead bytes,
// a million lines) and must answer with a result and at most one message, in bounded memory and
// time; each writer is made to fail before it starts (a parent that is no folder) and must show
// one message. (SaveFailure_test.cpp makes every step of the saves fail.)
#include <corvane/corvane.h>

#include "testing/FakeHostUi.h"
#include "table/TableFile.h"
#include "testing/TempDir.h"
#include "testing/Cp932Literal.h"

#include <framework/Cp932.h>
#include <framework/StdioFile.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One reader under test: reads the named file into a fresh table (messages on) and says in a
// few words what the table holds afterwards.
struct SReader {
    const char* pszName;
    std::function<bool(const CString& strFile, std::string& strHolds)> read;
};

std::vector<SReader> Readers()
{
    return {
        {"era",
         [](const CString& strFile, std::string& strHolds) {
             CGengouEra era;
             const bool b = era.ReadFile(strFile, HEADER_GENGOU, true);
             strHolds = std::to_string(era.GetSize()) + " records";
             return b;
         }},
        {"base-year",
         [](const CString& strFile, std::string& strHolds) {
             CBaseYear table;
             const bool b = table.ReadFile(strFile);
             strHolds = "base year " + std::to_string(table.GetBaseWesternYear());
             return b;
         }},
        {"event",
         [](const CString& strFile, std::string& strHolds) {
             CYearEvent table;
             const bool b = table.ReadFile(strFile, true);
             strHolds = std::to_string(table.GetEventData().size()) + " events";
             return b;
         }},
    };
}

// What one read did: the result, the ids of the messages shown, what the table held.
struct SOutcome {
    bool bResult = false;
    std::vector<unsigned> messages;
    std::string strHolds;
};

unsigned MessageId(const CString& strText, const CString& strFile)
{
    for (unsigned nID : {IDS_FILE_BAD_FORMAT, IDS_FILE_WRITE_FAILED, IDS_FILE_READ_FAILED}) {
        CString strExpected;
        LoadLibraryString(nID, strExpected);
        strExpected.Replace(CString("%1"), strFile);
        if (strText == strExpected)
            return nID;
    }
    return 0;   // not a message of the library, or not about this file
}

SOutcome Read(const SReader& reader, const CString& strFile)
{
    CFakeHostUi ui;
    SOutcome outcome;
    outcome.bResult = reader.read(strFile, outcome.strHolds);
    for (const CFakeHostUi::SMessage& m : ui.m_messages)
        outcome.messages.push_back(MessageId(m.strText, strFile));
    EXPECT_TRUE(ui.m_requests.empty()) << reader.pszName << ": a dialog was asked for";
    return outcome;
}

std::string Describe(const SReader& reader, const char* pszCase, const SOutcome& o)
{
    std::string str = std::string(reader.pszName) + " reader, " + pszCase + ": " + (o.bResult ? "true" : "false");
    for (unsigned nID : o.messages)
        str += ", message " + std::to_string(nID);
    return str + ", " + o.strHolds;
}

// The largest resident size the process has had, in KiB.
long MaxRssKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(ReaderFailureTest, EmptyFileIsAFormatFailure)
{
    CTempDir dir;
    const CString strFile = dir.Write("empty", "");
    const unsigned expected[] = {IDS_FILE_READ_FAILED, IDS_FILE_BAD_FORMAT, IDS_FILE_BAD_FORMAT};
    int i = 0;
    for (const SReader& reader : Readers()) {
        const SOutcome o = Read(reader, strFile);
        std::cout << Describe(reader, "0-byte file", o) << '\n';
        EXPECT_FALSE(o.bResult);
        EXPECT_EQ(std::vector<unsigned>{expected[i++]}, o.messages) << reader.pszName;
    }
}

// A sparse 1 GiB file of NUL bytes and no line end: the line reader gives up at its limit, so the
// read fails after kMaxLineLength bytes with the read-failure message, and memory stays far below
// the file's size. One test a reader, so that each measures its own peak (CTest runs every test
// in a process of its own).
class HugeFileTest : public testing::TestWithParam<std::size_t> {};

TEST_P(HugeFileTest, NoLineEndFailsInBoundedMemory)
{
    const SReader reader = Readers()[GetParam()];
    CTempDir dir;
    const std::string strNative = dir.Native("huge");
    const int fd = ::open(strNative.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ::ftruncate(fd, off_t{1} << 30));
    ::close(fd);
    const long lBefore = MaxRssKiB();
    const auto start = std::chrono::steady_clock::now();
    const SOutcome o = Read(reader, dir.Name("huge"));
    const double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long lGrowthMiB = (MaxRssKiB() - lBefore) / 1024;
    std::cout << Describe(reader, "sparse 1 GiB, no line end", o) << ", peak RSS growth " << lGrowthMiB << " MiB, "
              << dSeconds << " s\n";
    EXPECT_FALSE(o.bResult);
    EXPECT_EQ(std::vector<unsigned>{IDS_FILE_READ_FAILED}, o.messages);
    // The line limit is 64 MiB; the line and its copies stay within a few times that.
    EXPECT_LT(lGrowthMiB, 400);
}

INSTANTIATE_TEST_SUITE_P(EveryReader, HugeFileTest, testing::Range<std::size_t>(0, Readers().size()),
                         [](const testing::TestParamInfo<std::size_t>& param) {
                             std::string str = Readers()[param.param].pszName;
                             str.erase(std::remove(str.begin(), str.end(), '-'), str.end());
                             return str;
                         });

TEST(ReaderFailureTest, NulBytesAndLoneLeadBytes)
{
    struct SCase {
        const char* pszCase;
        const char* pszReader;
        std::string bytes;
        bool bResult;
        std::vector<unsigned> messages;
        const char* pszHolds;
    };
    const std::string era = Cp932("[元号], 1\r\n名前\r\n説明\r\n");
    const std::string by = Cp932("[基点年],5\r\n名前\r\n");
    const std::string ev = Cp932("[出来事], 5\r\n名前\r\n説明\r\n0\r\n");
    const std::string nul(1, '\0');
    const SCase cases[] = {
        // A NUL byte ends a name as SetData takes its texts: the record is read as "a".
        {"NUL inside a record", "era", era + "\"a" + nul + "b\", 1, 2, \"\"\r\n", true, {}, "1 records"},
        // A header of NUL bytes has the wrong kind.
        {"NUL header", "era", nul + nul + "\r\nx\r\n", false, {IDS_FILE_READ_FAILED}, "0 records"},
        {"NUL header", "base-year", nul + nul + "\r\nx\r\n", false, {IDS_FILE_BAD_FORMAT}, "base year 1"},
        // Numbers read as by atoi stop at the NUL.
        {"NUL in a number", "base-year", by + "19" + nul + "00\r\n1950\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n", true,
         {}, "base year 19"},
        // A lead byte with no second byte before the closing quote, and at the end of the line:
        // the field reader goes byte by byte, so the quote still closes the field.
        {"lone lead bytes", "era", era + "\"\x81\", 1, 2, \"\x9f\"\r\n\"b\", 3, 4, \"\"\xfc", true, {}, "2 records"},
        // A lead byte right before a comma between the years takes the comma as its second byte:
        // the character-aware search of the commas does not see it, so the record lacks a comma.
        {"lead byte before a comma", "era", era + "\"a\", 1\x81, 2, \"\"\r\n", false, {IDS_FILE_READ_FAILED},
         "0 records"},
        {"NUL inside a record", "event", ev + "1, 2, 3, \"a" + nul + "b\", \"\", 0, 0\r\n", true, {}, "1 events"},
        {"NUL header", "event", nul + nul + "\r\nx\r\n", false, {IDS_FILE_BAD_FORMAT}, "0 events"},
        {"lone lead bytes", "event", ev + "1, 2, 3, \"\x81\", \"\x9f\", 0, 0\r\n2, -1, -1, \"b\", \"\", 0, 0\xfc", true, {},
         "2 events"},
        // The lead byte takes the only comma of the line as its second byte: a line without a
        // comma is a format error.
        {"lead byte before a comma", "event", ev + "1\x81, 2\r\n", false, {IDS_FILE_BAD_FORMAT}, "0 events"},
        {"lead byte at the end of the file", "base-year", by + "1900\r\n1950\r\n1\xe0", false,
         {IDS_FILE_BAD_FORMAT}, "base year 1900"},
    };
    CTempDir dir;
    for (const SCase& c : cases) {
        for (const SReader& reader : Readers()) {
            if (std::string(reader.pszName) != c.pszReader)
                continue;
            const SOutcome o = Read(reader, dir.Write("bad", c.bytes));
            std::cout << Describe(reader, c.pszCase, o) << '\n';
            EXPECT_EQ(c.bResult, o.bResult) << c.pszCase;
            EXPECT_EQ(c.messages, o.messages) << c.pszCase;
            EXPECT_EQ(c.pszHolds, o.strHolds) << c.pszCase;
        }
    }
}

// A million lines: the era and event readers take a million records in one pass (in order, so
// each goes in at the end); the base-year reader reads its twelve lines and leaves the rest of the
// file unread. The sanitizer build, some ten
// times slower, reads a fifth of them: the same paths, in a test that stays within seconds.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kLines = 200000;
#else
constexpr int kLines = 1000000;
#endif

TEST(ReaderFailureTest, MillionLines)
{
    CTempDir dir;
    std::string era = Cp932("[元号], 1\r\n百万\r\n\r\n");
    era.reserve(static_cast<std::size_t>(kLines) * 32);
    for (int i = 0; i < kLines; ++i)
        era += "\"e" + std::to_string(i) + "\", " + std::to_string(i - kLines / 2) + ", " +
               std::to_string(i - kLines / 2 + 10) + ", \"\"\r\n";
    std::string by = Cp932("[基点年],5\r\n百万\r\n");
    for (int i = 0; i < kLines; ++i)
        by += "2\r\n";
    std::string ev = Cp932("[出来事], 5\r\n百万\r\n\r\n0\r\n");
    ev.reserve(static_cast<std::size_t>(kLines) * 32);
    for (int i = 0; i < kLines; ++i)
        ev += std::to_string(i / 3 - kLines / 6) + ", 1, " + std::to_string(i % 3 + 1) + ", \"e\", \"\", 0, 0\r\n";
    const std::string* files[] = {&era, &by, &ev};
    const std::string holds[] = {std::to_string(kLines) + " records", "base year 2", std::to_string(kLines) + " events"};
    int i = 0;
    for (const SReader& reader : Readers()) {
        const CString strFile = dir.Write("million", *files[i]);
        const auto start = std::chrono::steady_clock::now();
        const SOutcome o = Read(reader, strFile);
        const double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << Describe(reader, (std::to_string(kLines) + " lines").c_str(), o) << ", " << dSeconds << " s\n";
        EXPECT_TRUE(o.bResult) << reader.pszName;
        EXPECT_TRUE(o.messages.empty()) << reader.pszName;
        EXPECT_EQ(holds[i], o.strHolds);
        ++i;
    }
}

// One writer under test: an empty table of its kind, which the test writes to the named file
// without a dialog.
struct SWriter {
    const char* pszName;
    std::function<std::unique_ptr<CTableBase>()> make;
};

std::vector<SWriter> Writers()
{
    return {
        {"era", [] { return std::unique_ptr<CTableBase>(std::make_unique<CGengouEra>()); }},
        {"base-year", [] { return std::unique_ptr<CTableBase>(std::make_unique<CBaseYear>()); }},
        {"event", [] { return std::unique_ptr<CTableBase>(std::make_unique<CYearEvent>()); }},
    };
}

// Runs the writer with messages recorded and checks that it failed as a failed save must: false,
// the one message 61448 about the file, the modified flag still set.
void ExpectFailedSave(const SWriter& writer, const CString& strFile, const char* pszCase)
{
    CFakeHostUi ui;
    const std::unique_ptr<CTableBase> pTable = writer.make();
    pTable->SetFileName(strFile);
    pTable->SetModified(true);
    const bool b = pTable->WriteFile(false, nullptr, HEADER_GENGOU);
    const CString& strFileAfter = pTable->GetFileName();
    std::cout << writer.pszName << " writer, " << pszCase << ": " << (b ? "true" : "false");
    for (const CFakeHostUi::SMessage& m : ui.m_messages)
        std::cout << ", message " << MessageId(m.strText, strFileAfter);
    std::cout << '\n';
    EXPECT_FALSE(b) << writer.pszName;
    ASSERT_EQ(1u, ui.m_messages.size()) << writer.pszName;
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, MessageId(ui.m_messages[0].strText, strFileAfter)) << writer.pszName;
    EXPECT_TRUE(pTable->GetModified()) << writer.pszName;
}

std::size_t FilesIn(const fs::path& dir)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// A target whose parent is a file, not a folder: nothing can be created, and as root too.
TEST(ReaderFailureTest, SaveUnderANonFolderFails)
{
    for (const SWriter& writer : Writers()) {
        CTempDir dir;
        dir.Write("plain", "keep");
        ExpectFailedSave(writer, dir.Name("plain/table"), "parent is a file");
        EXPECT_EQ("keep", dir.Read("plain")) << writer.pszName;
        EXPECT_EQ(1u, FilesIn(dir.Path())) << writer.pszName;
    }
}

} // namespace
