// What the POSIX Env keeps of a file it replaces (links, mode, owner, inode), what it refuses, and
// native names.
#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/StdioFile.h>

#include "testing/FaultInjectionEnv.h"
#include "testing/RunWithoutRoot.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class EnvPosixTest : public ::testing::Test {
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
    fs::path m_dir;
};

TEST_F(EnvPosixTest, SaveReplacesTheFileAndKeepsItsMode)
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

// A save that fails part way through a link leaves everything as it was: the link, the content,
// the mode and the owner of the file it points to.
TEST_F(EnvPosixTest, FailedSaveThroughALinkKeepsLinkContentModeAndOwner)
{
    Spit(Path("target.txt"), "keep\r\n");
    ASSERT_EQ(0, ::chmod(Path("target.txt").c_str(), 0640));
    const bool bRoot = ::geteuid() == 0;
    if (bRoot) {
        ASSERT_EQ(0, ::chown(Path("target.txt").c_str(), 65534, 65534));
    }
    fs::create_symlink("target.txt", m_dir / "link.txt");
    CFaultInjectionEnv env;
    env.FailWrite(2);
    EXPECT_THROW(
        {
            CStdioFile file(Path("link.txt").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, &env);
            file.WriteString("x\n");
            file.WriteString("y\n");
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

void Save(const std::string& name, const char* pszText)
{
    CStdioFile file(name.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite);
    file.WriteString(pszText);
    file.Close();
}

// A new file gets the mode that the umask allows.
TEST_F(EnvPosixTest, NewFileFollowsTheUmask)
{
    const mode_t old = ::umask(027);
    Save(Path("new.txt"), "x");
    struct stat st {};
    EXPECT_EQ(0, ::stat(Path("new.txt").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    EXPECT_EQ(027u, ::umask(old));
}

TEST_F(EnvPosixTest, OpenFailuresCarryTheirCause)
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

TEST_F(EnvPosixTest, ReadOnlyFolderRefusesTheSave)
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

TEST_F(EnvPosixTest, SaveThroughALinkKeepsTheLink)
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

TEST_F(EnvPosixTest, FileTheUserMayNotWriteIsNotReplaced)
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

TEST_F(EnvPosixTest, SaveKeepsOwnerGroupAndMode)
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

TEST_F(EnvPosixTest, UserSavingAFileOfAnotherOwnerKeepsItsMode)
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

TEST_F(EnvPosixTest, AnyNameTheFileSystemAcceptsCanBeSaved)
{
    const std::string strLong(NAME_MAX, 'n');
    Save(Path(strLong), "x");
    EXPECT_EQ("x", Slurp(Path(strLong)));
    Save(Path(strLong), "y");
    EXPECT_EQ("y", Slurp(Path(strLong)));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
}

TEST_F(EnvPosixTest, HardLinkedFileGetsANewInode)
{
    Spit(Path("a.txt"), "old");
    fs::create_hard_link(m_dir / "a.txt", m_dir / "b.txt");
    Save(Path("a.txt"), "new");
    EXPECT_EQ("new", Slurp(Path("a.txt")));
    EXPECT_EQ("old", Slurp(Path("b.txt")));
}

TEST_F(EnvPosixTest, JapaneseFileNamesAreNativeUtf8)
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

TEST_F(EnvPosixTest, CurrentDirectoryRoundTripsInCodePage932)
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
