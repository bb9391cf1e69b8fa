#include <framework/Cp932.h>
#include <framework/String.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// 表 is 0x95 0x5C in code page 932: its second byte is a backslash. ソ is 0x83 0x5C.
const CString& Hyou() { return CP932("表"); }

TEST(StringTest, ConstructionAndNulBytes)
{
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    const CString str("a\0b", 3);
    EXPECT_EQ(3, str.GetLength());
    EXPECT_EQ('\0', str.GetAt(1));
    EXPECT_THROW(str.GetAt(3), std::invalid_argument);
    EXPECT_THROW(str.GetAt(-1), std::invalid_argument);
    EXPECT_EQ(CString("x"), CString('x', 1));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(CString("a") < CString("\xE0"));   // bytes compare unsigned
}

TEST(StringTest, FindNeverMatchesOnTrailByte)
{
    const CString str = Hyou() + "\\" + Hyou();   // 95 5C 5C 95 5C
    EXPECT_EQ(2, str.Find('\\'));
    EXPECT_EQ(-1, str.Find('\\', 3));
    EXPECT_EQ(2, str.ReverseFind('\\'));
    EXPECT_EQ(2, str.Find("\\"));
    EXPECT_EQ(0, str.Find(Hyou()));
    EXPECT_EQ(3, str.Find(Hyou(), 1 + 2));
    EXPECT_EQ(0, str.Find(""));
    EXPECT_EQ(2, str.Find("", 2));
    EXPECT_EQ(-1, str.Find(static_cast<const char*>(nullptr)));
    EXPECT_EQ(-1, str.Find("x", 99));

    // A text that ends in a lone lead byte is read safely.
    const CString broken("a\x95", 2);
    EXPECT_EQ(-1, broken.Find('\\'));
    EXPECT_EQ(1, broken.Find('\x95'));
    EXPECT_EQ(-1, broken.ReverseFind('a' + 1));
}

TEST(StringTest, ReplaceIsCharacterAware)
{
    CString str = CString("a\\") + Hyou() + "\\b";
    EXPECT_EQ(2, str.Replace("\\", "/"));
    EXPECT_EQ(CString("a/") + Hyou() + "/b", str);

    CString lines("x\\r\\ny\\r\\n");
    EXPECT_EQ(2, lines.Replace("\\r\\n", "\r\n"));
    EXPECT_EQ(CString("x\r\ny\r\n"), lines);

    CString chars = Hyou() + "\\";
    EXPECT_EQ(1, chars.Replace('\\', '/'));
    EXPECT_EQ(Hyou() + "/", chars);
    EXPECT_EQ(0, chars.Replace("", "z"));
}

TEST(StringTest, CaseChangeLeavesTrailBytes)
{
    // ア in code page 932 is 0x83 0x41: its trail byte is an 'A'. ｱ (0xB1) is single-byte.
    CString str = CString("ab") + CP932("ア") + "Cd";
    str.MakeLower();
    EXPECT_EQ(CString("ab") + CP932("ア") + "cd", str);
    str.MakeUpper();
    EXPECT_EQ(CString("AB") + CP932("ア") + "CD", str);
}

TEST(StringTest, TrimSingleByteWhiteSpace)
{
    CString str(" \t\r\n\v\fx y\r\n ");
    str.Trim();
    EXPECT_EQ(CString("x y"), str);
    CString target = CString("\\") + Hyou();   // a trailing 0x5C trail byte is not trimmed
    target.TrimRight('\\');
    EXPECT_EQ(CString("\\") + Hyou(), target);
    target.TrimLeft('\\');
    EXPECT_EQ(Hyou(), target);
}

TEST(StringTest, SlicesClampAndFormat)
{
    const CString str("abcdef");
    EXPECT_EQ(CString("ab"), str.Left(2));
    EXPECT_EQ(CString("abcdef"), str.Left(99));
    EXPECT_EQ(CString(""), str.Left(-1));
    EXPECT_EQ(CString("cdef"), str.Mid(2));
    EXPECT_EQ(CString("cd"), str.Mid(2, 2));
    EXPECT_EQ(CString(""), str.Mid(9, 2));
    EXPECT_EQ(CString("ef"), str.Right(2));
    CString fmt;
    fmt.Format("%s, %d", "x", -12);
    fmt.AppendFormat("|%05d", 42);
    EXPECT_EQ(CString("x, -12|00042"), fmt);
}

} // namespace
