// The one writer of whole files: the order of its steps, and what a failure at each leaves.
#include <framework/AtomicFile.h>
#include <framework/ReplacementSet.h>

#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

std::size_t FilesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

TEST(AtomicFileTest, WritesSyncsRenamesAndSyncsTheFolderInThisOrder)
{
    CTempDir dir;
    CFaultInjectionEnv env;
    CAtomicFile file(&env);
    ASSERT_TRUE(file.Open(dir.Path("a.txt")));
    ASSERT_TRUE(file.Write("one "));
    ASSERT_TRUE(file.Write("two"));
    // Nothing is in place before the commit.
    EXPECT_FALSE(std::filesystem::exists(dir.Path("a.txt")));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ((std::vector<std::string>{"open", "write", "write", "sync", "rename", "folder sync"}), env.Steps());
    EXPECT_EQ("one two", dir.Read("a.txt"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(1u, FilesIn(dir.Path()));
}

TEST(AtomicFileTest, AFailureAtAnyStepBeforeTheRenameKeepsThePreviousFile)
{
    struct SCase {
        const char* pszFault;
        std::function<void(CFaultInjectionEnv&)> inject;
        const char* pszAfter;   // the file's content afterwards
    };
    const SCase cases[] = {
        {"open", [](CFaultInjectionEnv& env) { env.FailOpen(); }, "old"},
        {"first write", [](CFaultInjectionEnv& env) { env.FailWrite(1); }, "old"},
        {"second write", [](CFaultInjectionEnv& env) { env.FailWrite(2); }, "old"},
        {"sync", [](CFaultInjectionEnv& env) { env.FailCommit(); }, "old"},
        {"rename", [](CFaultInjectionEnv& env) { env.FailRename(); }, "old"},
        {"folder sync", [](CFaultInjectionEnv& env) { env.FailFolderSync(); }, "new content"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszFault);
        CTempDir dir;
        dir.Write("a.txt", "old");
        CFaultInjectionEnv env;
        c.inject(env);
        CAtomicFile file(&env);
        const bool bDone = file.Open(dir.Path("a.txt")) && file.Write("new ") && file.Write("content") && file.Commit();
        EXPECT_FALSE(bDone);
        EXPECT_NE(0, file.Error().nCause);
        EXPECT_EQ(c.pszAfter, dir.Read("a.txt"));
        EXPECT_EQ(1u, FilesIn(dir.Path())) << "a temporary file was left";
    }
}

TEST(AtomicFileTest, AFailedWriteSpoilsTheFileEvenIfLaterWritesSucceed)
{
    CTempDir dir;
    dir.Write("a.txt", "old");
    CFaultInjectionEnv env;
    env.FailWrite(1);
    CAtomicFile file(&env);
    ASSERT_TRUE(file.Open(dir.Path("a.txt")));
    EXPECT_FALSE(file.Write("lost"));
    EXPECT_FALSE(file.Write("kept?"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ("old", dir.Read("a.txt"));
    // The first failure is the one reported, and no step after it is taken.
    EXPECT_EQ(CFileException::diskFull, file.Error().nCause);
    EXPECT_EQ((std::vector<std::string>{"open", "write"}), env.Steps());
}

TEST(AtomicFileTest, AbandonedFileLeavesTheTargetAndNoTemporaryFile)
{
    CTempDir dir;
    dir.Write("a.txt", "old");
    {
        CAtomicFile file;
        ASSERT_TRUE(file.Open(dir.Path("a.txt")));
        ASSERT_TRUE(file.Write("new"));
    }
    EXPECT_EQ("old", dir.Read("a.txt"));
    EXPECT_EQ(1u, FilesIn(dir.Path()));
    CAtomicFile closed;
    EXPECT_FALSE(closed.Write("x"));
    EXPECT_FALSE(closed.Commit());
}

// Names that code page 932 cannot hold, and the look-alikes it would swap in, are written as named.
TEST(AtomicFileTest, WritesAnyNameTheSystemAllows)
{
    CTempDir dir;
    const char* names[] = {"résumé/José/年表〜/a.txt", "한국/波〜線.lev", "简体‖−¢£¬.txt"};
    for (const char* pszName : names) {
        SCOPED_TRACE(pszName);
        const std::filesystem::path path = dir.Path(pszName);
        std::filesystem::create_directories(path.parent_path());
        SEnvError error;
        ASSERT_TRUE(WriteFileAtomically(path, "text", error));
        EXPECT_EQ("text", dir.Read(pszName));
        EXPECT_EQ(path, Env::PathOf(Env::NameOf(path)));
    }
    SEnvError error;
    EXPECT_FALSE(WriteFileAtomically(dir.Path("missing/a.txt"), "text", error));
    EXPECT_FALSE(WriteFileAtomically(std::filesystem::path(), "text", error));
    EXPECT_EQ(CFileException::badPath, error.nCause);
}

} // namespace

namespace {

// Files replaced together: none is in place before the set's commit, and a failure before it
// leaves every one as it was.
TEST(ReplacementSetTest, FilesAreRenamedOnlyByTheSetsCommitInTheirOrder)
{
    CTempDir dir;
    dir.Write("a", "old a");
    dir.Write("b", "old b");
    CFaultInjectionEnv env;
    {
        CReplacementSet files(&env);
        SEnvError error;
        ASSERT_TRUE(WriteFileAtomically(dir.Path("a"), "new a", error, &files));
        ASSERT_TRUE(WriteFileAtomically(dir.Path("b"), "new b", error, &files));
        EXPECT_EQ("old a", dir.Read("a"));
        EXPECT_EQ("old b", dir.Read("b"));
        ASSERT_TRUE(files.Commit(error));
    }
    EXPECT_EQ("new a", dir.Read("a"));
    EXPECT_EQ("new b", dir.Read("b"));
    EXPECT_EQ((std::vector<std::string>{"open", "write", "sync", "open", "write", "sync", "rename", "folder sync",
                                        "rename", "folder sync"}),
              env.Steps());

    // The second file fails: the set is discarded and the first stays as it was too.
    env.Reset();
    env.FailWrite(2);
    {
        CReplacementSet files(&env);
        SEnvError error;
        ASSERT_TRUE(WriteFileAtomically(dir.Path("a"), "newer a", error, &files));
        EXPECT_FALSE(WriteFileAtomically(dir.Path("b"), "newer b", error, &files));
    }
    EXPECT_EQ("new a", dir.Read("a"));
    EXPECT_EQ("new b", dir.Read("b"));
    EXPECT_EQ(2u, FilesIn(dir.Path()));
}

} // namespace
