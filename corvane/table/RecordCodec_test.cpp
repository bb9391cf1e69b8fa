// The record-line codec: quoting and escapes on their own, then through an event file where the
// formats once quoted and escaped each in their own way.
#include "table/RecordCodec.h"

#include "testing/TempDir.h"

#include <corvane/YearEvent.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RecordCodecTest, LineBreakEscapes)
{
    const struct {
        const char* pszText;
        const char* pszEscaped;
        const char* pszBack;
    } cases[] = {
        {"a\r\nb", "a\\r\\nb", "a\r\nb"},
        {"a\nb\rc", "a\\r\\nb\\r\\nc", "a\r\nb\r\nc"},   // lone breaks cannot split the line
        {"\r\n\r\n", "\\r\\n\\r\\n", "\r\n\r\n"},
        {"\n\r", "\\r\\n\\r\\n", "\r\n\r\n"},
        {"\x83\x5C\r\n", "\x83\x5C\\r\\n", "\x83\x5C\r\n"},   // ソ, whose trail byte is a backslash
        {"\x81\x81\n", "\x81\x81\\r\\n", "\x81\x81\r\n"},     // a lead byte as trail byte
        {"plain", "plain", "plain"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.pszEscaped), EscapeLineBreaks(CString(c.pszText))) << c.pszText;
        EXPECT_EQ(CString(c.pszBack), UnescapeLineBreaks(EscapeLineBreaks(CString(c.pszText)))) << c.pszText;
    }
    // ソ (83 5C) followed by "r\n" as text is not an escape.
    const CString strSo = CP932("ソr\\n");
    EXPECT_EQ(strSo, UnescapeLineBreaks(strSo));
    // A lead byte right before a line break would swallow the escape's backslash.
    for (const char* psz : {"\xE0\n", "a\x81\r\n", "\x83\x5C\x81\r"})
        EXPECT_THROW(EscapeLineBreaks(CString(psz)), CFileException) << psz;
}

TEST(RecordCodecTest, QuotingDoublesEveryQuoteByte)
{
    EXPECT_EQ(CString("\"a\"\"b\""), QuoteField("a\"b"));
    EXPECT_EQ(CString("\"\x81\"\"\""), QuoteField("\x81\""));   // a lone lead byte before a quote
    EXPECT_EQ(CString("plain"), TextField("plain"));
    for (const char* psz : {"a,b", "\"a", " \"a", "a\"\"b", ",\x81\"a"}) {
        CString strBack;
        CTableBase::GetElementFromCSV(TextField(psz), 0, strBack);
        EXPECT_EQ(CString(psz).Trim(), strBack) << psz;
    }
}

class RecordCodecFileTest : public testing::Test {
protected:
    CTempDir m_dir;
};

TEST_F(RecordCodecFileTest, LoneLeadBytesBeforeQuotesKeepTheFieldsInPlace)
{
    CYearEvent table;
    table.SetTableName(",\x81\"a");
    SEventData data;
    data.lYear = 1;
    data.strEvent = "\x81\"";
    data.strNote = "NOTE";
    data.nPriority = 2;
    data.bLeapMonth = true;
    table.SetData(data, false, -1, PRIORITY_ALL);
    ASSERT_TRUE(table.Save(m_dir.Name("a.lev")).Ok());
    CYearEvent back;
    ASSERT_TRUE(back.Load(m_dir.Name("a.lev"), false).Ok());
    EXPECT_EQ(table.GetTableName(), back.GetTableName());
    ASSERT_EQ(1, back.GetLen());
    EXPECT_EQ(data, *back.GetEventData().front());
}

// A text no file can hold, or a line longer than the reader takes, fails the save like a full
// disk: the previous file stays as it was.
TEST_F(RecordCodecFileTest, WhatCannotBeReadBackIsNotWritten)
{
    CYearEvent table;
    table.SetTableName("old");
    ASSERT_TRUE(table.Save(m_dir.Name("a.lev")).Ok());
    const std::string strOld = m_dir.Read("a.lev");

    SEventData data;
    data.lYear = 1;
    data.strNote = "\xE0\n";
    table.SetData(data, false, -1, PRIORITY_ALL);
    SFileStatus status = table.Save(m_dir.Name("a.lev"));
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
    EXPECT_TRUE(table.GetModified());

    // 16 MiB line feeds grow to 64 MiB once escaped.
    data.strNote = CString('\n', 16 << 20);
    table.SetAt(0, &data, PRIORITY_ALL);
    status = table.Save(m_dir.Name("a.lev"));
    EXPECT_EQ(IDS_FILE_WRITE_FAILED, status.nMessage);
    EXPECT_EQ(strOld, m_dir.Read("a.lev"));
}

} // namespace
