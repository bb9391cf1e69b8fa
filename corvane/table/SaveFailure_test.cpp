// A save of each kind of table made to fail at every step through a fault-injecting Env: it is
// reported, the previous file stays byte for byte (but for a failed folder sync, which comes after
// the replace) and the table stays modified, so that the user is asked again.
#include <corvane/corvane.h>

#include "testing/EventTestSupport.h"
#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// A small table of one kind and its core save.
struct SKind {
    const char* pszName;
    std::function<std::unique_ptr<CTableBase>()> make;
    std::function<SFileStatus(CTableBase&, const CString&, Env*)> save;
};

std::vector<SKind> Kinds()
{
    return {
        {"era",
         [] {
             auto pEra = std::make_unique<CGengouEra>();
             pEra->SetTableName("t");
             pEra->SetData("a", 1, 2, "note");
             pEra->SetData("b", 3, 4, "");
             return std::unique_ptr<CTableBase>(std::move(pEra));
         },
         [](CTableBase& t, const CString& strFile, Env* pEnv) {
             return static_cast<CGengouEra&>(t).Save(strFile, HEADER_GENGOU, pEnv);
         }},
        {"base-year",
         [] {
             auto pTable = std::make_unique<CBaseYear>();
             pTable->SetTableName("t");
             pTable->SetBaseWesternYear(1950);
             return std::unique_ptr<CTableBase>(std::move(pTable));
         },
         [](CTableBase& t, const CString& strFile, Env* pEnv) { return static_cast<CBaseYear&>(t).Save(strFile, pEnv); }},
        {"event",
         [] {
             auto pTable = std::make_unique<CYearEvent>();
             pTable->SetTableName("t");
             pTable->SetData(eventtest::Event(1, 2, 3, "a"), true, -1, PRIORITY_ALL);
             pTable->SetData(eventtest::Event(4, -1, -1, "b"), true, -1, PRIORITY_ALL);
             return std::unique_ptr<CTableBase>(std::move(pTable));
         },
         [](CTableBase& t, const CString& strFile, Env* pEnv) { return static_cast<CYearEvent&>(t).Save(strFile, pEnv); }},
    };
}

const std::string kPrevious = "previous\r\n";

TEST(SaveFailureTest, EveryFailedWriteLeavesThePreviousFile)
{
    for (const SKind& kind : Kinds()) {
        SCOPED_TRACE(kind.pszName);
        CTempDir dir;
        CFaultInjectionEnv env;
        ASSERT_TRUE(kind.save(*kind.make(), dir.Name("clean"), &env).Ok());
        const int nWrites = env.Writes();
        ASSERT_GE(nWrites, 6);
        const CString strFile = dir.Write("table", kPrevious);
        for (int n = 1; n <= nWrites; ++n) {
            SCOPED_TRACE(n);
            env.Reset();
            env.FailWrite(n);
            const std::unique_ptr<CTableBase> pTable = kind.make();
            const SFileStatus status = kind.save(*pTable, strFile, &env);
            EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
            EXPECT_EQ(ENOSPC, status.nOsError);
            EXPECT_TRUE(pTable->GetModified());
            EXPECT_EQ(kPrevious, dir.Read("table"));
        }
    }
}

TEST(SaveFailureTest, FailedOpenCommitOrFolderSync)
{
    struct SCase {
        const char* pszFault;
        void (CFaultInjectionEnv::*inject)();
        int nOsError;
        bool bReplaced;   // only a failed folder sync comes after the replace
    };
    const SCase cases[] = {
        {"open", &CFaultInjectionEnv::FailOpen, EACCES, false},
        {"commit", &CFaultInjectionEnv::FailCommit, EIO, false},
        {"folder sync", &CFaultInjectionEnv::FailFolderSync, EIO, true},
    };
    for (const SKind& kind : Kinds()) {
        for (const SCase& c : cases) {
            SCOPED_TRACE(std::string(kind.pszName) + ", " + c.pszFault);
            CTempDir dir;
            ASSERT_TRUE(kind.save(*kind.make(), dir.Name("clean"), Env::Default()).Ok());
            const CString strFile = dir.Write("table", kPrevious);
            CFaultInjectionEnv env;
            (env.*c.inject)();
            const std::unique_ptr<CTableBase> pTable = kind.make();
            const SFileStatus status = kind.save(*pTable, strFile, &env);
            EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
            EXPECT_EQ(c.nOsError, status.nOsError);
            EXPECT_TRUE(pTable->GetModified());
            EXPECT_EQ(c.bReplaced ? dir.Read("clean") : kPrevious, dir.Read("table"));
            EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir.Path()),
                                       std::filesystem::directory_iterator()));
        }
    }
    // A load whose open fails reports it the same way.
    CFaultInjectionEnv env;
    env.FailOpen();
    CTempDir dir;
    const SFileStatus status = CBaseYear().Load(dir.Write("b.lby", kPrevious), &env);
    EXPECT_EQ(IDS_FILE_READ_FAILED, status.nMessage);
    EXPECT_EQ(EACCES, status.nOsError);
}

} // namespace
