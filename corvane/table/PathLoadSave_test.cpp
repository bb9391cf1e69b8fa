// Loading and saving by native path: any name the system allows, including the folders and the
// look-alike characters that code page 932 cannot name; and the steps of a table save as the
// operating system sees them.
#include <corvane/corvane.h>

#include "testing/EventTestSupport.h"
#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// One kind of table: fills one, saves it and loads it by path.
struct SKind {
    const char* pszFile;
    std::function<SFileStatus(const std::filesystem::path&, Env*)> save;
    std::function<SFileStatus(const std::filesystem::path&, CString&)> load;   // gives its file name
};

std::vector<SKind> Kinds()
{
    return {
        {"元号.lgn",
         [](const std::filesystem::path& path, Env* pEnv) {
             CGengouEra table;
             table.SetTableName("t");
             table.SetData("a", 1, 2, "note");
             return table.Save(path, HEADER_GENGOU, pEnv);
         },
         [](const std::filesystem::path& path, CString& strName) {
             CGengouEra table;
             const SFileStatus status = table.Load(path, HEADER_GENGOU);
             strName = table.GetFileName();
             return status.Ok() && table.GetSize() != 1 ? SFileStatus{IDS_FILE_BAD_FORMAT, 0, 0} : status;
         }},
        {"日本史.lev",
         [](const std::filesystem::path& path, Env* pEnv) {
             CYearEvent table;
             table.SetTableName("t");
             table.SetData(eventtest::Event(1, 2, 3, "a"), true, -1, PRIORITY_ALL);
             return table.Save(path, pEnv);
         },
         [](const std::filesystem::path& path, CString& strName) {
             CYearEvent table;
             const SFileStatus status = table.Load(path, false);
             strName = table.GetFileName();
             return status.Ok() && table.GetLen() != 1 ? SFileStatus{IDS_FILE_BAD_FORMAT, 0, 0} : status;
         }},
        {"基点.lby",
         [](const std::filesystem::path& path, Env* pEnv) {
             CBaseYear table;
             table.SetTableName("t");
             table.SetBaseWesternYear(1950);
             return table.Save(path, pEnv);
         },
         [](const std::filesystem::path& path, CString& strName) {
             CBaseYear table;
             const SFileStatus status = table.Load(path);
             strName = table.GetFileName();
             return status.Ok() && table.GetBaseWesternYear() != 1950 ? SFileStatus{IDS_FILE_BAD_FORMAT, 0, 0} : status;
         }},
    };
}

TEST(PathLoadSaveTest, EveryTableSavesAndLoadsInFoldersCodePage932CannotName)
{
    const char* folders[] = {"résumé/José/年表〜", "한국어/简体", "表‖−¢£¬"};
    for (const SKind& kind : Kinds()) {
        for (const char* pszFolder : folders) {
            SCOPED_TRACE(std::string(kind.pszFile) + " in " + pszFolder);
            CTempDir dir;
            const std::string strName = std::string(pszFolder) + "/" + kind.pszFile;
            std::filesystem::create_directories(dir.Path(pszFolder));
            ASSERT_TRUE(kind.save(dir.Path(strName), Env::Default()).Ok());
            CString strFileName;
            EXPECT_TRUE(kind.load(dir.Path(strName), strFileName).Ok());
            // No look-alike name: the table keeps no name rather than one that names another file.
            EXPECT_TRUE(strFileName.IsEmpty());
            // Nothing was written under a look-alike name either.
            EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path(pszFolder)),
                                       std::filesystem::directory_iterator()));
        }
    }
}

TEST(PathLoadSaveTest, ANameCodePage932HoldsBecomesTheTablesFileName)
{
    for (const SKind& kind : Kinds()) {
        SCOPED_TRACE(kind.pszFile);
        CTempDir dir;
        ASSERT_TRUE(kind.save(dir.Path(kind.pszFile), Env::Default()).Ok());
        CString strFileName;
        ASSERT_TRUE(kind.load(dir.Path(kind.pszFile), strFileName).Ok());
        EXPECT_EQ(dir.Name(kind.pszFile), strFileName);
        CString strMissing;
        EXPECT_FALSE(kind.load(dir.Path("missing"), strMissing).Ok());
    }
}

TEST(PathLoadSaveTest, ASaveWritesThenSyncsRenamesAndSyncsTheFolder)
{
    for (const SKind& kind : Kinds()) {
        SCOPED_TRACE(kind.pszFile);
        CTempDir dir;
        CFaultInjectionEnv env;
        ASSERT_TRUE(kind.save(dir.Path(kind.pszFile), &env).Ok());
        std::vector<std::string> steps = env.Steps();
        ASSERT_GE(steps.size(), 5u);
        EXPECT_EQ("open", steps.front());
        EXPECT_EQ((std::vector<std::string>{"write", "sync", "rename", "folder sync"}),
                  std::vector<std::string>(steps.end() - 4, steps.end()));
    }
}

} // namespace
