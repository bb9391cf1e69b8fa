#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/StdioFile.h>

#include "testing/RunWithoutRoot.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <limits.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
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

// A file size limit for the life of the object: a write past it fails as on a full disk (EFBIG
// instead of ENOSPC).
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = nBytes;
        EXPECT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    }
    ~CFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old {};
};

TEST_F(StdioFileTest, DiskFullDuringSaveLeavesThePreviousFile)
{
    const std::string previous(4000, 'p');
    Spit(Path("t.txt"), previous);
    const CFileSizeLimit limit(1000);
    int cause = CFileException::none;
    try {
        CStdioFile file(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
        for (int i = 0; i < 100; ++i)
            file.WriteString(CString('x', 1000) + "\n");
        file.Close();
    } catch (const CFileException& e) {
        cause = e.m_cause;
    }
    EXPECT_EQ(CFileException::diskFull, cause);
    EXPECT_EQ(previous, Slurp(Path("t.txt")));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

// A save that fails part way through a link leaves everything as it was: the link, the content,
// the mode and the owner of the file it points to.
TEST_F(StdioFileTest, FailedSaveThroughALinkKeepsLinkContentModeAndOwner)
{
    Spit(Path("target.txt"), "keep\r\n");
    ASSERT_EQ(0, ::chmod(Path("target.txt").c_str(), 0640));
    const bool bRoot = ::geteuid() == 0;
    if (bRoot) {
        ASSERT_EQ(0, ::chown(Path("target.txt").c_str(), 65534, 65534));
    }
    fs::create_symlink("target.txt", m_dir / "link.txt");
    const CFileSizeLimit limit(1000);
    EXPECT_THROW(
        {
            CStdioFile file(Path("link.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
            file.WriteString(CString('x', 4000));
            file.Close();
        },
        CFileException);
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
    EXPECT_EQ("keep\r\n", Slurp(Path("target.txt")));
    struct stat st {};
    ASSERT_EQ(0, ::stat(Path("target.txt").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    if (bRoot) {
        EXPECT_EQ(65534u, st.st_uid);
    }
    EXPECT_EQ(2, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
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

void Save(const std::string& name, const char* pszText)
{
    CStdioFile file(name.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
    file.WriteString(pszText);
    file.Close();
}

TEST_F(StdioFileTest, ReadOnlyFolderRefusesTheSave)
{
    Spit(Path("t.txt"), "keep");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(RunWithoutRoot(m_dir, [&] {
        CStdioFile file;
        CFileException e;
        EXPECT_FALSE(file.Open(Path("t.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, &e));
        EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    }));
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ("keep", Slurp(Path("t.txt")));
}

TEST_F(StdioFileTest, SaveThroughALinkKeepsTheLink)
{
    struct Case { const char* pszLink; const char* pszTarget; bool bTargetExists; };
    fs::create_directory(m_dir / "sub");
    const Case cases[] = {
        {"dangling", "new.txt", false},
        {"relative", "sub/old.txt", true},
        {"chain", "relative", true},             // a link to a link: the last file is saved
        {"sub/up", "../dangling2", false},       // relative to the link's own folder
        {"absolute", "", false},                 // filled in below: an absolute target
    };
    Spit(Path("sub/old.txt"), "old");
    for (const Case& c : cases) {
        const std::string strTarget = *c.pszTarget ? c.pszTarget : Path("abs.txt");
        fs::create_symlink(strTarget, m_dir / c.pszLink);
        Save(Path(c.pszLink), c.pszLink);
        EXPECT_TRUE(fs::is_symlink(m_dir / c.pszLink)) << c.pszLink;
        EXPECT_EQ(strTarget, fs::read_symlink(m_dir / c.pszLink).string()) << c.pszLink;
        EXPECT_EQ(c.pszLink, Slurp(Path(c.pszLink))) << c.pszLink;
    }
    EXPECT_EQ("chain", Slurp(Path("sub/old.txt")));
    EXPECT_EQ("sub/up", Slurp(Path("dangling2")));
    // A loop of links is refused, and nothing is left behind.
    fs::create_symlink("loop2", m_dir / "loop1");
    fs::create_symlink("loop1", m_dir / "loop2");
    CStdioFile file;
    CFileException e;
    EXPECT_FALSE(file.Open(Path("loop1").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, &e));
    EXPECT_EQ(CFileException::badPath, e.m_cause);
    EXPECT_EQ(10, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, FileTheUserMayNotWriteIsNotReplaced)
{
    Spit(Path("ro.txt"), "keep");
    ::chmod(Path("ro.txt").c_str(), 0444);
    EXPECT_TRUE(RunWithoutRoot(m_dir, [&] {
        CStdioFile file;
        CFileException e;
        EXPECT_FALSE(file.Open(Path("ro.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, &e));
        EXPECT_EQ(CFileException::accessDenied, e.m_cause);
        EXPECT_EQ(EACCES, e.m_lOsError);
    }));
    EXPECT_EQ("keep", Slurp(Path("ro.txt")));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, SaveKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    // Root saving another user's file: it stays theirs, with its mode (set-group-ID included).
    constexpr uid_t kNobody = 65534;
    Spit(Path("theirs.txt"), "old");
    ASSERT_EQ(0, ::chown(Path("theirs.txt").c_str(), kNobody, kNobody));
    ASSERT_EQ(0, ::chmod(Path("theirs.txt").c_str(), 02640));
    Save(Path("theirs.txt"), "new");
    struct stat st {};
    ASSERT_EQ(0, ::stat(Path("theirs.txt").c_str(), &st));
    EXPECT_EQ(kNobody, st.st_uid);
    EXPECT_EQ(kNobody, st.st_gid);
    EXPECT_EQ(02640u, st.st_mode & 07777);
    EXPECT_EQ("new", Slurp(Path("theirs.txt")));
}

TEST_F(StdioFileTest, UserSavingAFileOfAnotherOwnerKeepsItsMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a file of another user";
    // A user may replace root's file in the user's own folder but cannot keep root as its owner:
    // the save succeeds and the mode carries over.
    Spit(Path("t.txt"), "old");
    ASSERT_EQ(0, ::chmod(Path("t.txt").c_str(), 0646));
    EXPECT_TRUE(RunWithoutRoot(m_dir, [&] { Save(Path("t.txt"), "new"); }));
    struct stat st {};
    ASSERT_EQ(0, ::stat(Path("t.txt").c_str(), &st));
    EXPECT_EQ(0646u, st.st_mode & 07777);
    EXPECT_EQ(65534u, st.st_uid);
    EXPECT_EQ("new", Slurp(Path("t.txt")));
}

TEST_F(StdioFileTest, AnyNameTheFileSystemAcceptsCanBeSaved)
{
    const std::string strLong(NAME_MAX, 'n');
    Save(Path(strLong), "x");
    EXPECT_EQ("x", Slurp(Path(strLong)));
    Save(Path(strLong), "y");
    EXPECT_EQ("y", Slurp(Path(strLong)));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(StdioFileTest, HardLinkedFileGetsANewInode)
{
    Spit(Path("a.txt"), "old");
    fs::create_hard_link(m_dir / "a.txt", m_dir / "b.txt");
    Save(Path("a.txt"), "new");
    EXPECT_EQ("new", Slurp(Path("a.txt")));
    EXPECT_EQ("old", Slurp(Path("b.txt")));
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
