// On Windows the native names are in the Windows style, relative to the real current directory.
#include <corvane/FilePathManager.h>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

namespace {

TEST(FilePathManagerWindowsTest, NativeNamesAreInTheWindowsStyle)
{
    const CFilePathManager manager;
    CString str;
    ASSERT_TRUE(manager.AbsToRelPath(CP932("C:\\Docs\\ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str, CP932("c:\\docs\\Sub")));
    EXPECT_EQ(CP932("..\\ﾗｲﾌﾞﾗﾘ\\元号.LGN"), str);
    EXPECT_TRUE(manager.CheckAbsPath(CP932("\\\\server\\share\\表.lev")));
    EXPECT_FALSE(manager.CheckAbsPath(CP932("表\\a.lev")));   // 表 ends in the byte of '\'

    CString strCurrent;
    ASSERT_TRUE(GetCurrentDir(strCurrent));
    ASSERT_TRUE(manager.RelPathToCurAbsPath(CP932("ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str));
    EXPECT_EQ(strCurrent + CP932("\\ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str);
    ASSERT_TRUE(manager.AbsToRelPath(str, str, nullptr));
    EXPECT_EQ(CP932("ﾗｲﾌﾞﾗﾘ\\元号.LGN"), str);
}

} // namespace
