#include <corvane/FilePathManager.h>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <stdlib.h>

namespace {

// Rows hold CStrings so that Japanese names can come in through CP932().
struct SRelCase {
    CString strBase;
    CString strPath;
    CString strResult;
};

void CheckRel(EPathStyle eStyle, const SRelCase& c)
{
    CString strResult("old");
    EXPECT_TRUE(CFilePathManager::AbsToRelPath(eStyle, c.strPath, strResult, c.strBase));
    EXPECT_EQ(c.strResult, strResult) << "base " << Cp932ToUtf8Lossy(c.strBase.View()) << ", path "
                                      << Cp932ToUtf8Lossy(c.strPath.View());
}

TEST(FilePathManagerTest, WindowsRelativeNames)
{
    const SRelCase cases[] = {
        {R"(C:\Docs)", R"(C:\Docs\Lib\a.lby)", R"(LIB\A.LBY)"},
        {R"(C:\Docs)", R"(C:\Docs\Lib\Sub\a.lby)", R"(LIB\SUB\A.LBY)"},
        {R"(C:\Docs)", R"(c:\docs\lib\a.lby)", R"(LIB\A.LBY)"},
        {R"(C:\Docs\Sub)", R"(C:\Docs\a.lby)", R"(..\A.LBY)"},
        {R"(C:\Docs\Sub)", R"(C:\a.lby)", R"(..\..\A.LBY)"},
        {R"(C:\Y)", R"(C:\X\a.lby)", R"(..\X\A.LBY)"},
        {R"(C:\Docs)", R"(C:\Docs2\a.lby)", R"(..\DOCS2\A.LBY)"},
        {R"(C:\Docs\Sub\Deep)", R"(C:\Docs\Sub)", R"(..\..\SUB)"},
        {R"(C:\Docs)", R"(C:\Docs)", R"(..\DOCS)"},
        {R"(C:\Docs)", R"(D:\a.lby)", R"(D:\A.LBY)"},
        {R"(C:\Docs)", R"(Lib\a.lby)", R"(LIB\A.LBY)"},
        {R"(C:\)", R"(C:\a.lby)", R"(..\A.LBY)"},
        {R"(\\Srv\Share\Dir)", R"(\\Srv\Share\Dir\a.lby)", R"(A.LBY)"},
        {R"(\\Srv\Share)", R"(\\Srv2\Share\a.lby)", R"(\\SRV2\SHARE\A.LBY)"},
        // More of the same rules.
        {R"(C:\Docs)", "a.lby", "A.LBY"},
        {R"(C:\Docs)", R"(\Docs\a.lby)", R"(\DOCS\A.LBY)"},   // no drive: not on C:
        {R"(\\Srv\Share\A\B)", R"(\\srv\share\x.lby)", R"(..\..\X.LBY)"},
        {R"(\\Srv\Share)", R"(\\Srv\Share\Lib\a.lby)", R"(LIB\A.LBY)"},
        {R"(C:\Docs)", R"(\\Srv\Docs\a.lby)", R"(\\SRV\DOCS\A.LBY)"},
        {R"(C:\Docs\)", R"(C:\Docs\Lib\a.lby)", R"(LIB\A.LBY)"},        // trailing '\' removed
        {R"(C:\Docs\\)", R"(C:\Docs\a.lby)", R"(A.LBY)"},
        {R"(C:\\)", R"(C:\a.lby)", R"(..\A.LBY)"},                      // still the root
        {R"(\\Srv\Share\)", R"(\\Srv\Share\a.lby)", R"(A.LBY)"},
    };
    for (const auto& c : cases)
        CheckRel(PATH_STYLE_WINDOWS, c);
}

TEST(FilePathManagerTest, WindowsNamesWithABackslashSecondByte)
{
    // 表 and ソ end in a byte of value '\', ッ in one of value 'b': neither a separator nor a letter.
    const SRelCase cases[] = {
        {CP932(R"(C:\表)"), CP932(R"(C:\表\ソ.lby)"), CP932("ソ.LBY")},
        {CP932(R"(C:\表\ソ)"), CP932(R"(C:\表\a.lby)"), CP932(R"(..\A.LBY)")},
        {CP932(R"(C:\表ソ)"), CP932(R"(C:\表\ッ.lby)"), CP932(R"(..\表\ッ.LBY)")},
        {CP932(R"(C:\Docs\表)"), CP932(R"(c:\docs\表\ッb.lby)"), CP932("ッB.LBY")},
        {CP932(R"(C:\表)"), CP932("表.lby"), CP932("表.LBY")},
    };
    for (const auto& c : cases)
        CheckRel(PATH_STYLE_WINDOWS, c);
}

TEST(FilePathManagerTest, WindowsNamesWithoutARelativeFormComeBackWhole)
{
    const SRelCase cases[] = {
        // Relative names stay relative, whatever the base: they are resolved against the current
        // directory when the file is opened.
        {R"(\\Srv\Share\Dir)", "a.lby", "A.LBY"},
        {R"(\\Srv\Share\Dir)", R"(Lib\a.lby)", R"(LIB\A.LBY)"},
        {R"(\Docs)", "a.lby", "A.LBY"},
        {R"(C:\Docs)", "C:a.lby", "C:A.LBY"},
        // No ".." leads from one share to another.
        {R"(\\Srv\Share)", R"(\\Srv\Other\a.lby)", R"(\\SRV\OTHER\A.LBY)"},
        {R"(\\Srv\Share\Dir)", R"(\\Srv\Other\Dir\a.lby)", R"(\\SRV\OTHER\DIR\A.LBY)"},
        {R"(\\Srv\Share)", R"(\\Srv)", R"(\\SRV)"},
        // A network name against a rooted base, and a base that names no folder.
        {R"(\Docs)", R"(\\Srv\Share\a.lby)", R"(\\SRV\SHARE\A.LBY)"},
        {"", R"(C:\a.lby)", R"(C:\A.LBY)"},
        {"C:", R"(C:\a.lby)", R"(C:\A.LBY)"},
    };
    for (const auto& c : cases)
        CheckRel(PATH_STYLE_WINDOWS, c);
}

TEST(FilePathManagerTest, PosixRelativeNames)
{
    const SRelCase cases[] = {
        {"/docs", "/docs/Lib/a.lby", "Lib/a.lby"},
        {"/docs", "/docs/Lib/Sub/a.lby", "Lib/Sub/a.lby"},
        {"/docs", "/DOCS/lib/a.lby", "../DOCS/lib/a.lby"},   // another folder on this file system
        {"/docs/Sub", "/docs/a.lby", "../a.lby"},
        {"/docs/Sub", "/a.lby", "../../a.lby"},
        {"/Y", "/X/a.lby", "../X/a.lby"},
        {"/docs", "/docs2/a.lby", "../docs2/a.lby"},
        {"/docs/Sub/Deep", "/docs/Sub", "../../Sub"},
        {"/docs", "/docs", "../docs"},
        {"/docs", "Lib/a.lby", "Lib/a.lby"},
        {"/docs", "a.lby", "a.lby"},
        {"/", "/a.lby", "../a.lby"},                         // ".." of the root is the root
        {"/", "/docs/a.lby", "../docs/a.lby"},
        // Trailing and doubled slashes.
        {"/docs/", "/docs/Lib/a.lby", "Lib/a.lby"},
        {"/docs//", "/docs/a.lby", "a.lby"},
        {"//docs", "/docs//Lib///a.lby", "Lib/a.lby"},
        {"/docs", "/docs/Lib/", "Lib/"},
        // '\' and ':' are ordinary characters; Japanese names are compared as bytes.
        {"/docs", R"(/docs/a\b:c.lby)", R"(a\b:c.lby)"},
        {CP932("/表"), CP932("/表/ソ.lby"), CP932("ソ.lby")},
        {CP932("/表/ソ"), CP932("/表/ッ.lby"), CP932("../ッ.lby")},
        // A base that is not absolute names no folder to be relative to.
        {"docs", "/docs/a.lby", "/docs/a.lby"},
        {"", "/docs/a.lby", "/docs/a.lby"},
        {R"(C:\Docs)", "/docs/a.lby", "/docs/a.lby"},
    };
    for (const auto& c : cases)
        CheckRel(PATH_STYLE_POSIX, c);
}

TEST(FilePathManagerTest, CheckAbsPath)
{
    const struct {
        CString strPath;
        bool bWindows;
        bool bPosix;
    } cases[] = {
        {R"(C:\x)", true, false},
        {"x:y", true, false},
        {R"(\x)", true, false},
        {R"(\\srv\x)", true, false},
        {R"(a\b)", true, false},
        {R"(lib\x.lby)", false, false},
        {"a.lby", false, false},
        {"", false, false},
        {"/x", false, true},
        {"/", false, true},
        {"lib/x.lby", false, false},
        {CP932("表x"), false, false},           // second byte of 表 is no separator
        {CP932(R"(ソ\x)"), false, false},
        {CP932(R"(表:\x)"), true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bWindows, CFilePathManager::CheckAbsPath(PATH_STYLE_WINDOWS, c.strPath))
            << Cp932ToUtf8Lossy(c.strPath.View());
        EXPECT_EQ(c.bPosix, CFilePathManager::CheckAbsPath(PATH_STYLE_POSIX, c.strPath))
            << Cp932ToUtf8Lossy(c.strPath.View());
    }
    EXPECT_TRUE(CFilePathManager().CheckAbsPath("/x"));
}

TEST(FilePathManagerTest, RelPathToAbsPathJoinsTexts)
{
    const struct {
        EPathStyle eStyle;
        CString strFolder;
        CString strPath;
        bool bResult;
        CString strResult;   // "old": untouched
    } cases[] = {
        {PATH_STYLE_WINDOWS, R"(C:\Docs)", R"(..\Lib\a.lby)", true, R"(C:\Docs\..\Lib\a.lby)"},
        {PATH_STYLE_WINDOWS, R"(C:\)", "a.Lby", true, R"(C:\a.Lby)"},
        {PATH_STYLE_WINDOWS, CP932(R"(C:\表)"), "a", true, CP932(R"(C:\表\a)")},
        {PATH_STYLE_WINDOWS, R"(C:\Docs)", R"(C:\a.lby)", false, "old"},
        {PATH_STYLE_WINDOWS, R"(C:\Docs)", R"(\a.lby)", false, "old"},
        {PATH_STYLE_WINDOWS, "", "a.lby", false, "old"},
        {PATH_STYLE_POSIX, "/docs", "../Lib/./a.lby", true, "/docs/../Lib/./a.lby"},
        {PATH_STYLE_POSIX, "/", "a.lby", true, "/a.lby"},
        {PATH_STYLE_POSIX, "/docs", R"(C:\a.lby)", true, R"(/docs/C:\a.lby)"},
        {PATH_STYLE_POSIX, "/docs", "/a.lby", false, "old"},
    };
    for (const auto& c : cases) {
        CString strResult("old");
        EXPECT_EQ(c.bResult, CFilePathManager::RelPathToAbsPath(c.eStyle, c.strFolder, c.strPath, strResult))
            << c.strFolder.GetString() << " + " << c.strPath.GetString();
        EXPECT_EQ(c.strResult, strResult) << c.strFolder.GetString() << " + " << c.strPath.GetString();
    }
}

TEST(FilePathManagerTest, ResultMayShareStorageWithTheArguments)
{
    CString str("/docs/Lib/a.lby");
    EXPECT_TRUE(CFilePathManager::AbsToRelPath(PATH_STYLE_POSIX, str, str, "/docs"));
    EXPECT_EQ(CString("Lib/a.lby"), str);

    CString strBase("/docs");
    EXPECT_TRUE(CFilePathManager::AbsToRelPath(PATH_STYLE_POSIX, "/docs/a.lby", strBase, strBase));
    EXPECT_EQ(CString("a.lby"), strBase);
}

// Runs each test in a fresh temporary folder and restores the current directory afterwards.
class FilePathManagerCurrentDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pathSaved = std::filesystem::current_path();
        std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-path-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(strTemplate.data()));
        m_pathTemp = std::filesystem::canonical(strTemplate);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_pathSaved);
        std::error_code ec;
        std::filesystem::remove_all(m_pathTemp, ec);
    }

    // The name of a folder under the temporary one, made and entered; returned in code page 932.
    CString EnterFolder(const std::string& strUtf8Name)
    {
        const std::filesystem::path path = m_pathTemp / strUtf8Name;
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
        CString strName;
        EXPECT_TRUE(FromNativePath(path.string(), strName));
        return strName;
    }

    std::filesystem::path m_pathSaved;
    std::filesystem::path m_pathTemp;
};

TEST_F(FilePathManagerCurrentDirTest, NullBaseAndJoinUseTheCurrentDirectory)
{
    const CString strDir = EnterFolder("表ソ/ッ");
    const CFilePathManager paths;

    CString strResult("old");
    EXPECT_TRUE(paths.AbsToRelPath(strDir + CP932("/Lib/表.lby"), strResult, nullptr));
    EXPECT_EQ(CP932("Lib/表.lby"), strResult);
    EXPECT_TRUE(paths.AbsToRelPath(strDir + "/../a.lby", strResult, nullptr));
    EXPECT_EQ(CString("../a.lby"), strResult);   // ".." is not resolved, only carried over
    EXPECT_TRUE(paths.AbsToRelPath(m_pathTemp.string().c_str() + CString("/x.lby"), strResult, nullptr));
    EXPECT_EQ(CString("../../x.lby"), strResult);

    EXPECT_TRUE(paths.RelPathToCurAbsPath(CP932("../Lib/表.lby"), strResult));
    EXPECT_EQ(strDir + CP932("/../Lib/表.lby"), strResult);
    strResult = "old";
    EXPECT_FALSE(paths.RelPathToCurAbsPath("/a.lby", strResult));
    EXPECT_EQ(CString("old"), strResult);

    // The POSIX join under the root adds no second slash.
    std::filesystem::current_path("/");
    EXPECT_TRUE(paths.RelPathToCurAbsPath("a.lby", strResult));
    EXPECT_EQ(CString("/a.lby"), strResult);
    EXPECT_TRUE(paths.AbsToRelPath("/a.lby", strResult, nullptr));
    EXPECT_EQ(CString("../a.lby"), strResult);
}

TEST_F(FilePathManagerCurrentDirTest, UnreadableCurrentDirectoryLeavesTheResult)
{
    EnterFolder("gone");
    std::filesystem::remove(m_pathTemp / "gone");
    const CFilePathManager paths;

    CString strResult("old");
    EXPECT_FALSE(paths.AbsToRelPath("/a.lby", strResult, nullptr));
    EXPECT_EQ(CString("old"), strResult);
    EXPECT_FALSE(paths.RelPathToCurAbsPath("a.lby", strResult));
    EXPECT_EQ(CString("old"), strResult);
    // An explicit base needs no current directory.
    EXPECT_TRUE(paths.AbsToRelPath("/docs/a.lby", strResult, "/docs"));
    EXPECT_EQ(CString("a.lby"), strResult);
}

} // namespace
