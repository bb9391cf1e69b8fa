#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/StdioFile.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class StdioFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/stdiofile_test.XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(szTemplate));
        m_dir = szTemplate;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    static std::string Slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Spit(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::vector<std::string> ReadLines(const std::string& path)
    {
        CStdioFile file(path.c_str(), CStdioFile::modeRead | CStdioFile::typeText);
        std::vector<std::string> lines;
        CString line;
        while (file.ReadString(line))
            lines.emplace_back(line.View());
        return lines;
    }

    fs::path m_dir;
};

TEST_F(StdioFileTest, ReadsCrLfAndLfAndALastLineWithoutEnd)
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
    for (const Case& c : cases) {
        Spit(Path("in.txt"), c.bytes);
        EXPECT_EQ(c.lines, ReadLines(Path("in.txt")));
    }
}

TEST_F(StdioFileTest, ReadsLinesAcrossBufferBoundaries)
{
    std::string bytes;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        std::string line(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
        expected.push_back(line);
        bytes += line + (i % 2 ? "\r\n" : "\n");
    }
    Spit(Path("big.txt"), bytes);
    EXPECT_EQ(expected, ReadLines(Path("big.txt")));
}

TEST_F(StdioFileTest, WritesLineFeedsAsCrLf)
{
    {
        CStdioFile file(Path("out.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText);
        file.WriteString("[元号], 1\n");
        file.WriteString(CString("x\0y\n", 4));
        file.WriteString("no end");
        file.Close();
    }
    const char expected[] = "[元号], 1\r\nx\0y\r\nno end";
    EXPECT_EQ(std::string(expected, sizeof expected - 1), Slurp(Path("out.txt")));
}

TEST_F(StdioFileTest, SaveReplacesTheFileAndKeepsItsMode)
{
    Spit(Path("t.txt"), "old\r\n");
    ::chmod(Path("t.txt").c_str(), 0640);
    CStdioFile file(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
    file.WriteString("new\n");
    EXPECT_EQ("old\r\n", Slurp(Path("t.txt")));   // nothing changes before Close
    file.Close();
    EXPECT_EQ("new\r\n", Slurp(Path("t.txt")));
    struct stat st {};
    ASSERT_EQ(0, ::stat(Path("t.txt").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, AbandonedWriteLeavesThePreviousFile)
{
    Spit(Path("t.txt"), "keep\r\n");
    {
        CStdioFile file(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
        file.WriteString("partial\n");
    }   // destroyed without Close, as when an exception skips it
    EXPECT_EQ("keep\r\n", Slurp(Path("t.txt")));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, DiskFullDuringSaveLeavesThePreviousFile)
{
    const std::string previous(4000, 'p');
    Spit(Path("t.txt"), previous);
    // A file size limit makes the write fail as a full disk does (EFBIG instead of ENOSPC).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &old));
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    int cause = CFileException::none;
    try {
        CStdioFile file(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
        for (int i = 0; i < 100; ++i)
            file.WriteString(CString('x', 1000) + "\n");
        file.Close();
    } catch (const CFileException& e) {
        cause = e.m_cause;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(CFileException::diskFull, cause);
    EXPECT_EQ(previous, Slurp(Path("t.txt")));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, OpenFailuresCarryTheirCause)
{
    struct Case { std::string name; unsigned flags; int cause; };
    Spit(Path("plain"), "x");
    const Case cases[] = {
        {Path("missing.txt"), CStdioFile::modeRead, CFileException::fileNotFound},
        {Path("nodir/x.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite, CFileException::fileNotFound},
        {Path("plain/x.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite, CFileException::badPath},
        {m_dir.string(), CStdioFile::modeRead, CFileException::accessDenied},
        {m_dir.string(), CStdioFile::modeCreate | CStdioFile::modeWrite, CFileException::accessDenied},
        {"", CStdioFile::modeRead, CFileException::badPath},
        {Path("a\x81"), CStdioFile::modeRead, CFileException::badPath},   // no native form
    };
    for (const Case& c : cases) {
        CStdioFile file;
        CFileException e;
        EXPECT_FALSE(file.Open(c.name.c_str(), c.flags, &e)) << c.name;
        EXPECT_EQ(c.cause, e.m_cause) << c.name;
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_THROW(CStdioFile(Path("missing.txt").c_str(), CStdioFile::modeRead), CFileException);
}

TEST_F(StdioFileTest, ReadOnlyFolderRefusesTheSave)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    Spit(Path("t.txt"), "keep");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    CStdioFile file;
    CFileException e;
    EXPECT_FALSE(file.Open(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, &e));
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ("keep", Slurp(Path("t.txt")));
}

TEST_F(StdioFileTest, JapaneseFileNamesAreNativeUtf8)
{
    CString strName;
    ASSERT_TRUE(Utf8ToCp932(Path("元号.lgn"), strName));
    {
        CStdioFile file(strName, CStdioFile::modeCreate | CStdioFile::modeWrite);
        file.WriteString("x");
        file.Close();
    }
    EXPECT_EQ("x", Slurp(Path("元号.lgn")));
}

TEST_F(StdioFileTest, CurrentDirectoryRoundTripsInCodePage932)
{
    fs::create_directory(m_dir / "ﾗｲﾌﾞﾗﾘ");
    CString strOld;
    ASSERT_TRUE(GetCurrentDir(strOld));
    CString strTarget;
    ASSERT_TRUE(Utf8ToCp932((m_dir / "ﾗｲﾌﾞﾗﾘ").string(), strTarget));
    ASSERT_TRUE(SetCurrentDir(strTarget));
    CString strNow;
    EXPECT_TRUE(GetCurrentDir(strNow));
    EXPECT_EQ(strTarget, strNow);
    EXPECT_FALSE(SetCurrentDir(""));
    EXPECT_FALSE(SetCurrentDir(nullptr));
    EXPECT_FALSE(SetCurrentDir(Path("missing").c_str()));
    EXPECT_TRUE(SetCurrentDir(strOld));
}

} // namespace
