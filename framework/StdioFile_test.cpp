// Text files on every platform: line ends, and what a save that fails at any step leaves behind.
#include <framework/StdioFile.h>

#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const CString& strFile)
{
    CStdioFile file(strFile, CStdioFile::modeRead | CStdioFile::typeText);
    std::vector<std::string> lines;
    CString line;
    while (file.ReadString(line))
        lines.emplace_back(line.View());
    return lines;
}

std::size_t FilesIn(const CTempDir& dir)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()));
}

TEST(StdioFileTest, ReadsCrLfAndLfAndALastLineWithoutEnd)
{
    struct Case { std::string bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"lone\rcr\n", {"lone\rcr"}},
        {"", {}},
        {"\n", {""}},
        {std::string("nul\0byte\n", 9), {std::string("nul\0byte", 8)}},
    };
    CTempDir dir;
    for (const Case& c : cases)
        EXPECT_EQ(c.lines, ReadLines(dir.Write("in.txt", c.bytes)));
}

// Lines of every length up to 96 with both line ends, so that a CR LF pair and lines fall across
// the 64 KiB blocks of reading and of writing.
TEST(StdioFileTest, LinesAcrossBlockBoundaries)
{
    std::string bytes;
    std::string written;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        std::string line(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
        expected.push_back(line);
        bytes += line + (i % 2 ? "\r\n" : "\n");
        written += line + "\r\n";
    }
    CTempDir dir;
    EXPECT_EQ(expected, ReadLines(dir.Write("big.txt", bytes)));

    CStdioFile file(dir.Name("out.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText);
    for (const std::string& line : expected)
        file.WriteString(CString(line.c_str()) + "\n");
    file.Close();
    EXPECT_EQ(written, dir.Read("out.txt"));
}

TEST(StdioFileTest, WritesLineFeedsAsCrLf)
{
    CTempDir dir;
    CStdioFile file(dir.Name("out.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText);
    file.WriteString("[a], 1\n");
    file.WriteString(CString("x\0y\n", 4));
    file.WriteString("no end");
    file.Close();
    const char expected[] = "[a], 1\r\nx\0y\r\nno end";
    EXPECT_EQ(std::string(expected, sizeof expected - 1), dir.Read("out.txt"));
}

TEST(StdioFileTest, AbandonedWriteLeavesThePreviousFile)
{
    CTempDir dir;
    const CString strFile = dir.Write("t.txt", "keep\r\n");
    {
        CStdioFile file(strFile, CStdioFile::modeCreate | CStdioFile::modeWrite);
        file.WriteString("partial\n");
    }   // destroyed without Close, as when an exception skips it
    EXPECT_EQ("keep\r\n", dir.Read("t.txt"));
    EXPECT_EQ(1u, FilesIn(dir));
}

// Each step of a save made to fail: the open, every write, the commit. The previous file stays
// byte for byte, nothing is left beside it, and the failure carries its cause and system error.
// A failed folder sync comes after the replace: the new content is in place, yet the save fails.
TEST(StdioFileTest, FailedSaveAtAnyStepLeavesThePreviousFile)
{
    const std::vector<CString> lines = {"one\n", "two\n", "three"};
    CFaultInjectionEnv env;
    struct SCase {
        const char* pszFault;
        std::function<void()> inject;
        int nCause;
        int nOsError;
        const char* pszAfter;
    };
    std::vector<SCase> cases = {
        {"open", [&] { env.FailOpen(); }, CFileException::accessDenied, EACCES, "old\r\n"},
        {"commit", [&] { env.FailCommit(); }, CFileException::hardIO, EIO, "old\r\n"},
        {"folder sync", [&] { env.FailFolderSync(); }, CFileException::hardIO, EIO, "one\r\ntwo\r\nthree"},
    };
    for (int n = 1; n <= static_cast<int>(lines.size()); ++n)
        cases.push_back({"a write", [&env, n] { env.FailWrite(n); }, CFileException::diskFull, ENOSPC, "old\r\n"});

    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszFault);
        CTempDir dir;
        const CString strFile = dir.Write("t.txt", "old\r\n");
        env.Reset();
        c.inject();
        CFileException error;
        try {
            CStdioFile file(strFile, CStdioFile::modeCreate | CStdioFile::modeWrite, &env);
            for (const CString& line : lines)
                file.WriteString(line);
            file.Close();
        } catch (const CFileException& e) {
            error = e;
        }
        EXPECT_EQ(c.nCause, error.m_cause);
        EXPECT_EQ(c.nOsError, error.m_lOsError);
        EXPECT_EQ(c.pszAfter, dir.Read("t.txt"));
        EXPECT_EQ(1u, FilesIn(dir));
    }
    // One write a line, and the last case failed the last: every write was failed once.
    EXPECT_EQ(static_cast<int>(lines.size()), env.Writes());
}

} // namespace
