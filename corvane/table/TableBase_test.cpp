#include <corvane/TableBase.h>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct SFieldCase {
    const char* pszLine;
    int nStart;
    const char* pszField;   // null: the field must stay as it was
    int nResult;
};

TEST(TableBaseTest, GetElementFromCSVReadsOneField)
{
    const SFieldCase cases[] = {
        {"a,b", 0, "a", 1},
        {"a,b", 2, "b", 3},
        {"\"a,b\",c", 0, "a,b", 5},
        {"\t\"a,b\",c", 0, "a,b", 6},     // a tab before the opening quote
        {"  \"x \"\"y\"\" z\" , w", 0, "x \"y\" z", 14},
        {"a\"\"b,c", 0, "a\"b", 4},
        {"\"abc\"x,y", 0, "abc", 6},
        {"\"abc\"x", 0, "abc", 4},
        {"\"abc\"x", 5, "x", 6},
        {"\"\"", 0, "", 1},
        {" , x", 0, "", 1},
        {"abc", 0, "abc", 3},
        {"abc", 4, nullptr, -1},
        {"abc", 3, nullptr, -1},
        {"", 0, nullptr, -1},
        {"\r", 0, nullptr, -1},
        {"a,\r", 2, nullptr, -1},
        {"   ", 0, "", 3},
        {"\t x \t,y", 0, "x", 5},          // white space trimmed on both ends
        {"\" q \"", 0, "q", 4},             // also inside quotes
        {"\"unclosed, still", 0, "unclosed, still", 16},
        {"a,b\r", 2, "b", 4},               // a CR left at the end is trimmed away
        {"a\"b,c", 0, "a\"b", 3},            // a lone quote inside an unquoted field is kept
        {"ab\"", 0, "ab\"", 3},
        {"x,\"", 2, "", 3},                  // a quote that opens and never closes
    };
    for (const SFieldCase& c : cases) {
        SCOPED_TRACE(std::string("line [") + c.pszLine + "] from " + std::to_string(c.nStart));
        CString strField("unchanged");
        EXPECT_EQ(c.nResult, CTableBase::GetElementFromCSV(CString(c.pszLine), c.nStart, strField));
        EXPECT_EQ(CString(c.pszField ? c.pszField : "unchanged"), strField);
    }
}

TEST(TableBaseTest, GetElementFromCSVKeepsDoubleByteTextAndNulBytes)
{
    // 表 ends in the byte of a backslash and ソ likewise; neither disturbs the scan.
    const CString strLine = "\"" + CP932("表ソ\"\"明治\"\"") + "\", 1";
    CString strField;
    EXPECT_EQ(strLine.GetLength() - 3, CTableBase::GetElementFromCSV(strLine, 0, strField));
    EXPECT_EQ(CP932("表ソ\"明治\""), strField);

    const CString strNul("a\0b,c", 5);
    EXPECT_EQ(3, CTableBase::GetElementFromCSV(strNul, 0, strField));
    EXPECT_EQ(CString("a\0b", 3), strField);
}

TEST(TableBaseTest, GetTableKindNameAndFileVer)
{
    struct SCase {
        const char* pszLine;
        const char* pszKind;
        int nVersion;
    } const cases[] = {
        {"[元号], 1", "[元号]", 1},
        {"[元号]", "[元号]", 0},
        {"", "before", 0},
        {"\r", "before", 0},
        {"  [出来事] ,5", "[出来事]", 5},
        {"[時代], 2x", "[時代]", 2},
        {"[時代], x", "[時代]", 0},
        {"[時代], -3", "[時代]", -3},
        {"[時代], 99999999999", "[時代]", 2147483647},   // saturates instead of wrapping
        {"\"[元号], 1\"", "[元号], 1", 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszLine);
        CString strKind = CP932("before");
        int nVersion = -99;
        EXPECT_TRUE(CTableBase::GetTableKindNameAndFileVer(LiteralToCp932(c.pszLine), strKind, nVersion));
        EXPECT_EQ(LiteralToCp932(c.pszKind), strKind);
        EXPECT_EQ(c.nVersion, nVersion);
    }
}

TEST(TableBaseTest, GetBasePath)
{
    CTableBase table;
    CString strPath("untouched");
    EXPECT_FALSE(table.GetBasePath(strPath, nullptr));
    EXPECT_EQ(CString("untouched"), strPath);

    CDocument doc;
    const struct {
        const char* pszDoc;
        const char* pszFolder;
    } cases[] = {
        {"/home/u/docs/a.tdoc", "/home/u/docs"},
        {"/a.tdoc", "/"},
        {"a.tdoc", "a.tdoc"},
        {"", ""},
        {"/home/u/表/a.tdoc", "/home/u/表"},
    };
    // In the platform's own separator ('\\' on Windows, where 表 ends in that byte).
    const auto native = [](std::string str) {
        std::replace(str.begin(), str.end(), '/', kNativePathSeparator);
        return LiteralToCp932(str.c_str());
    };
    for (const auto& c : cases) {
        doc.SetPathName(native(c.pszDoc));
        EXPECT_TRUE(table.GetBasePath(strPath, &doc));
        EXPECT_EQ(native(c.pszFolder), strPath) << c.pszDoc;
    }
}

TEST(TableBaseTest, SettersSetTheModifiedFlagOnlyOnChange)
{
    CTableBase table;
    EXPECT_TRUE(table.GetFileName().IsEmpty());
    EXPECT_TRUE(table.GetTableName().IsEmpty());
    EXPECT_TRUE(table.GetExplanation().IsEmpty());
    EXPECT_FALSE(table.GetModified());
    EXPECT_FALSE(table.GetTodayDate());

    table.SetFileName("a.lgn");
    EXPECT_FALSE(table.GetModified());

    table.SetTableName("");   // equal to the empty name
    table.SetExplanation(nullptr);
    table.SetTodayDate(false);
    EXPECT_FALSE(table.GetModified());

    table.SetTableName("t");
    EXPECT_TRUE(table.GetModified());
    table.SetModified(false);
    table.SetTableName("t");
    EXPECT_FALSE(table.GetModified());
    table.SetExplanation("e\r\nf");
    EXPECT_TRUE(table.GetModified());
    table.SetModified(false);
    table.SetTodayDate(true);
    EXPECT_TRUE(table.GetModified());
    EXPECT_TRUE(table.GetTodayDate());

    const CTableBase copy(table);
    CTableBase assigned;
    assigned = table;
    for (const CTableBase* p : {&copy, static_cast<const CTableBase*>(&assigned)}) {
        EXPECT_EQ(CString("a.lgn"), p->GetFileName());
        EXPECT_EQ(CString("t"), p->GetTableName());
        EXPECT_EQ(CString("e\r\nf"), p->GetExplanation());
        EXPECT_TRUE(p->GetModified());
        EXPECT_TRUE(p->GetTodayDate());
    }

    table.Initialize();
    EXPECT_TRUE(table.GetFileName().IsEmpty());
    EXPECT_TRUE(table.GetTableName().IsEmpty());
    EXPECT_TRUE(table.GetExplanation().IsEmpty());
    EXPECT_FALSE(table.GetModified());
    EXPECT_FALSE(table.GetTodayDate());
}

} // namespace
