// Every control byte through both formats: a table whose texts hold each of them (a lone CR, a
// lone LF, CR LF, a tab...) at the start, inside and at the end of a text comes back from CSV and
// from JSON with the same bytes.
#include "CsvFormat.h"
#include "JsonFormat.h"
#include "TableBuilder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const CTableContent& content)
{
    std::vector<std::string> texts;
    content.ForEachRecord([&](const CFieldRow& row) {
        texts.push_back(row[CTableContent::EVENT_TEXT].str.Str());
        texts.push_back(row[CTableContent::EVENT_NOTE].str.Str());
    });
    CFieldRow table;
    content.GetTableRow(table);
    texts.push_back(table[CTableContent::TABLE_NAME].str.Str());
    texts.push_back(table[CTableContent::TABLE_EXPLANATION].str.Str());
    return texts;
}

TEST(TableSinkTest, EveryControlByteComesBackFromBothFormats)
{
    CTableContent content(ETableKind::Event);
    CFieldRow table;
    content.GetTableRow(table);
    table[CTableContent::TABLE_NAME].str = "name\rwith a lone CR";
    table[CTableContent::TABLE_EXPLANATION].str = "\nexplanation\n";
    content.SetTableRow(table);
    std::vector<std::string> controls = {"\r\n", "\r\r\n\n"};
    for (int ch = 1; ch < 0x20; ++ch)
        controls.emplace_back(1, static_cast<char>(ch));
    controls.emplace_back("\x7F");
    CFieldRow record(CTableContent::RecordFields(ETableKind::Event).size());
    for (const std::string& control : controls) {
        record[CTableContent::EVENT_TEXT].str = CString(control + "a" + control + "b" + control);
        record[CTableContent::EVENT_NOTE].str = CString(control);
        content.AddRecord(record);
    }
    const std::vector<std::string> expected = Texts(content);

    for (const bool bCsv : {true, false}) {
        SCOPED_TRACE(bCsv ? "csv" : "json");
        std::stringstream file;
        CTableBuilder builder;
        if (bCsv) {
            CCsvFormat::CWriter writer(file);
            CTableSink::Export(content, writer, nullptr);
            CCsvFormat::Read(file, builder);
        } else {
            CJsonFormat::CWriter writer(file);
            CTableSink::Export(content, writer, nullptr);
            CJsonFormat::Read(file, builder);
        }
        const std::unique_ptr<CTableContent> pBack = builder.Take();
        ASSERT_TRUE(pBack);
        EXPECT_EQ(expected, Texts(*pBack));
    }
}

} // namespace
