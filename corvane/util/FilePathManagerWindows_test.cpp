// On Windows the native names are in the Windows style, relative to the real current directory.
#include <corvane/FilePathManager.h>

#include <framework/FileSystem.h>

#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

namespace {

CString Name(const char* pszUtf8)
{
    return CString(Cp932(pszUtf8));
}

TEST(FilePathManagerWindowsTest, NativeNamesAreInTheWindowsStyle)
{
    const CFilePathManager manager;
    CString str;
    ASSERT_TRUE(manager.AbsToRelPath(Name("C:\\Docs\\ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str, Name("c:\\docs\\Sub")));
    EXPECT_EQ(Name("..\\ﾗｲﾌﾞﾗﾘ\\元号.LGN"), str);
    EXPECT_TRUE(manager.CheckAbsPath(Name("\\\\server\\share\\表.lev")));
    EXPECT_FALSE(manager.CheckAbsPath(Name("表\\a.lev")));   // 表 ends in the byte of '\'

    CString strCurrent;
    ASSERT_TRUE(GetCurrentDir(strCurrent));
    ASSERT_TRUE(manager.RelPathToCurAbsPath(Name("ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str));
    EXPECT_EQ(strCurrent + Name("\\ﾗｲﾌﾞﾗﾘ\\元号.lgn"), str);
    ASSERT_TRUE(manager.AbsToRelPath(str, str, nullptr));
    EXPECT_EQ(Name("ﾗｲﾌﾞﾗﾘ\\元号.LGN"), str);
}

} // namespace
