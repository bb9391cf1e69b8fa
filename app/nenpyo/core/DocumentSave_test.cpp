// A save of a chronology's three files (events, base years, document) and the exports, made to
// fail at every write and at every step after the writes through a fault-injecting Env: a reopen
// finds the whole old chronology, never a mix; and the order of the steps the system sees.
#include "NenpyoDoc.h"
#include "RowExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "EventTestData_test.h"
#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

namespace {

// Writes the bytes as they are into a file of the test's folder and gives its native path.
std::filesystem::path Put(const CTempDir& dir, const std::string& strUtf8Name, const std::string& bytes)
{
    dir.Write(strUtf8Name, bytes);
    return dir.Path(strUtf8Name);
}

struct SFiles {
    std::string strEvents, strBaseYear, strDocument;
    bool operator==(const SFiles&) const = default;
};

SFiles Read(const CTempDir& dir)
{
    return {dir.Read("a.lev"), dir.Read("a.lby"), dir.Read("a.nenpyo")};
}

std::size_t FilesIn(const CTempDir& dir)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()));
}

// A chronology with a base-year table saved as a.nenpyo in the folder, then opened again and
// changed in both tables, ready to be saved over its files.
void SaveAndChange(const CTempDir& dir, CNenpyoDoc& doc)
{
    {
        CNenpyoDoc first;
        first.New({});
        first.Events().SetData(Event(1600, "関ヶ原の戦い"), true, -1, PRIORITY_ALL);
        first.SetHasBaseYear(true);
        first.BaseYear().SetBaseWesternYear(1600);
        std::filesystem::path failed;
        ASSERT_TRUE(first.Save(dir.Path("a.nenpyo"), failed).Ok());
    }
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Open(dir.Path("a.nenpyo"), {}, failed).Ok());
    doc.Events().SetData(Event(1603, "江戸幕府"), true, -1, PRIORITY_ALL);
    doc.BaseYear().SetBaseWesternYear(1603);
}

TEST(DocumentSave, AFailureAtAnyWriteOfAnyFileLeavesTheWholeOldChronology)
{
    // The writes of one save, counted on a copy.
    int nWrites = 0;
    {
        CTempDir dir;
        CNenpyoDoc doc;
        SaveAndChange(dir, doc);
        CFaultInjectionEnv env;
        doc.SetEnv(&env);
        std::filesystem::path failed;
        ASSERT_TRUE(doc.Save(dir.Path("a.nenpyo"), failed).Ok());
        nWrites = env.Writes();
    }
    ASSERT_GE(nWrites, 6);
    std::vector<std::pair<std::string, std::function<void(CFaultInjectionEnv&)>>> faults;
    for (int n = 1; n <= nWrites; ++n)
        faults.emplace_back("write " + std::to_string(n), [n](CFaultInjectionEnv& env) { env.FailWrite(n); });
    faults.emplace_back("sync", [](CFaultInjectionEnv& env) { env.FailCommit(); });
    faults.emplace_back("rename", [](CFaultInjectionEnv& env) { env.FailRename(); });
    faults.emplace_back("open", [](CFaultInjectionEnv& env) { env.FailOpen(); });

    for (const auto& [strFault, inject] : faults) {
        SCOPED_TRACE(strFault);
        CTempDir dir;
        CNenpyoDoc doc;
        SaveAndChange(dir, doc);
        const SFiles before = Read(dir);
        CFaultInjectionEnv env;
        inject(env);
        doc.SetEnv(&env);
        std::filesystem::path failed;
        EXPECT_EQ(IDS_FILE_WRITE_FAILED, doc.Save(dir.Path("a.nenpyo"), failed).nMessage);
        EXPECT_FALSE(failed.empty());
        EXPECT_TRUE(doc.IsModified());
        EXPECT_TRUE(Read(dir) == before);
        EXPECT_EQ(3u, FilesIn(dir)) << "a temporary file was left";

        // The chronology still saves once the system lets it, and reopens as saved.
        doc.SetEnv(Env::Default());
        ASSERT_TRUE(doc.Save(dir.Path("a.nenpyo"), failed).Ok());
        CNenpyoDoc again;
        ASSERT_TRUE(again.Open(dir.Path("a.nenpyo"), {}, failed).Ok());
        EXPECT_EQ(2, again.Events().GetLen());
        EXPECT_EQ(1603, again.BaseYear().GetBaseWesternYear());
    }
}

TEST(DocumentSave, AllFilesAreWrittenAndSyncedBeforeTheFirstRename)
{
    CTempDir dir;
    CNenpyoDoc doc;
    SaveAndChange(dir, doc);
    CFaultInjectionEnv env;
    doc.SetEnv(&env);
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Save(dir.Path("a.nenpyo"), failed).Ok());
    // Each file: open, its writes, sync; then the renames with their folder syncs.
    std::vector<std::string> steps;
    for (const std::string& strStep : env.Steps()) {
        if (strStep != "write" || steps.back() != "write")
            steps.push_back(strStep);
    }
    EXPECT_EQ((std::vector<std::string>{"open", "write", "sync", "open", "write", "sync", "open", "write", "sync",
                                        "rename", "folder sync", "rename", "folder sync", "rename", "folder sync"}),
              steps);
}

// A failed folder sync comes after a rename: the files are then whole, the first one new.
TEST(DocumentSave, AFailedFolderSyncLeavesEveryFileWhole)
{
    CTempDir dir;
    CNenpyoDoc doc;
    SaveAndChange(dir, doc);
    CFaultInjectionEnv env;
    env.FailFolderSync();
    doc.SetEnv(&env);
    std::filesystem::path failed;
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, doc.Save(dir.Path("a.nenpyo"), failed).nMessage);
    EXPECT_TRUE(doc.IsModified());
    CNenpyoDoc again;
    ASSERT_TRUE(again.Open(dir.Path("a.nenpyo"), {}, failed).Ok());
    EXPECT_EQ(2, again.Events().GetLen());
    EXPECT_EQ(1600, again.BaseYear().GetBaseWesternYear());
}

TEST(DocumentSave, EveryExportFailureLeavesThePreviousFile)
{
    CNenpyoDoc doc;
    doc.New({});
    for (int n = 0; n < 3000; ++n)
        doc.Events().SetData(Event(1000 + n, "出来事,\"引用\""), false, -1, PRIORITY_ALL);
    for (const CRowExport::EFormat eFormat :
         {CRowExport::EFormat::Csv, CRowExport::EFormat::CsvWithByteOrderMark, CRowExport::EFormat::Html}) {
        CTempDir dir;
        const std::filesystem::path strOut = Put(dir, "out", "previous");
        CFaultInjectionEnv env;
        bool bCancelled = false;
        ASSERT_TRUE(CRowExport::Export(doc, PRIORITY_ALL, eFormat, dir.Path("count"), {}, bCancelled, &env).Ok());
        const int nWrites = env.Writes();
        ASSERT_GE(nWrites, 1);
        std::vector<std::function<void()>> faults = {[&env] { env.FailCommit(); }, [&env] { env.FailRename(); },
                                                     [&env] { env.FailOpen(); }};
        for (int n = 1; n <= nWrites; ++n)
            faults.push_back([&env, n] { env.FailWrite(n); });
        for (std::size_t i = 0; i < faults.size(); ++i) {
            SCOPED_TRACE(i);
            env.Reset();
            faults[i]();
            EXPECT_EQ(IDS_FILE_WRITE_FAILED,
                      CRowExport::Export(doc, PRIORITY_ALL, eFormat, strOut, {}, bCancelled, &env).nMessage);
            EXPECT_EQ("previous", dir.Read("out"));
            EXPECT_EQ(2u, FilesIn(dir));
        }
        env.Reset();
        ASSERT_TRUE(CRowExport::Export(doc, PRIORITY_ALL, eFormat, strOut, {}, bCancelled, &env).Ok());
        EXPECT_EQ(dir.Read("count"), dir.Read("out"));
        EXPECT_EQ("sync", env.Steps()[env.Steps().size() - 3]);
        EXPECT_EQ("folder sync", env.Steps().back());
    }
}

} // namespace
