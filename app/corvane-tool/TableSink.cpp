#include "TableSink.h"

#include "FieldText.h"
#include "Progress.h"

namespace {

// Converts the texts of the rows in one batch and hands each converted row to emit.
template <typename TEmit>
void ConvertRows(const std::vector<SFieldSpec>& fields, const std::vector<CFieldRow>& rows, CFieldText& text,
                 CCellRow& cells, TEmit emit)
{
    std::vector<const CString*> texts;
    for (const CFieldRow& row : rows) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].eType == EFieldType::Text)
                texts.push_back(&row[i].str);
        }
    }
    std::vector<std::string> utf8;
    text.ToUtf8(texts, utf8);
    std::size_t nText = 0;
    cells.resize(fields.size());
    for (const CFieldRow& row : rows) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].eType == EFieldType::Text)
                cells[i].str.swap(utf8[nText++]);
            else
                cells[i].llValue = row[i].llValue;
        }
        emit(cells);
    }
}

} // namespace

std::string RecordPlace(std::size_t nRecord)
{
    return nRecord == 0 ? std::string("table") : "record " + std::to_string(nRecord);
}

std::string FieldPlace(std::size_t nRecord, const char* pszField)
{
    return RecordPlace(nRecord) + ", field \"" + pszField + "\"";
}

void CTableSink::Export(const CTableContent& content, CTableSink& sink, CProgress* pProgress)
{
    const ETableKind eKind = content.Kind();
    CFieldText text;
    CCellRow cells;
    std::vector<CFieldRow> rows(1);
    content.GetTableRow(rows[0]);
    ConvertRows(CTableContent::TableFields(eKind), rows, text, cells,
                [&](const CCellRow& table) { sink.Begin(eKind, table); });

    const std::vector<SFieldSpec>& fields = CTableContent::RecordFields(eKind);
    rows.clear();
    const auto flush = [&] {
        ConvertRows(fields, rows, text, cells, [&](const CCellRow& record) {
            sink.Record(record);
            if (pProgress)
                pProgress->Step();
        });
        rows.clear();
    };
    content.ForEachRecord([&](const CFieldRow& row) {
        rows.push_back(row);
        if (rows.size() == CFieldText::kBatch)
            flush();
    });
    flush();
    sink.End();
}
