#include "CsvFormat.h"

#include <shared/chronology/CsvField.h>

#include <algorithm>
#include <charconv>

namespace {

constexpr std::size_t kMaxField = std::size_t{64} << 20;
// More columns than any table has: a row beyond this is refused before it grows further.
constexpr std::size_t kMaxColumns = 64;

std::string AtLine(std::size_t nLine) { return "line " + std::to_string(nLine) + ": "; }

} // namespace

void CCsvFormat::WriteField(std::ostream& out, const std::string& str)
{
    out << CsvField(str);
}

void CCsvFormat::CWriter::Cells(const std::vector<SFieldSpec>& fields, const CCellRow& cells)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        m_out << ',';
        if (fields[i].eType == EFieldType::Text)
            WriteField(m_out, cells[i].str);
        else
            m_out << cells[i].llValue;
    }
}

void CCsvFormat::CWriter::Begin(ETableKind eKind, const CCellRow& table)
{
    m_eKind = eKind;
    const std::vector<SFieldSpec>& tableFields = CTableContent::TableFields(eKind);
    const std::vector<SFieldSpec>& recordFields = CTableContent::RecordFields(eKind);
    m_out << "kind";
    for (const auto* pFields : {&tableFields, &recordFields}) {
        for (const SFieldSpec& field : *pFields)
            m_out << ',' << field.pszName;
    }
    m_out << "\r\n" << CTableContent::KindName(eKind);
    Cells(tableFields, table);
    m_out << std::string(recordFields.size(), ',') << "\r\n";
}

void CCsvFormat::CWriter::Record(const CCellRow& record)
{
    m_out << std::string(CTableContent::TableFields(m_eKind).size(), ',');
    Cells(CTableContent::RecordFields(m_eKind), record);
    m_out << "\r\n";
}

bool CCsvFormat::ReadRow(std::streambuf& in, std::vector<std::string>& cells, std::size_t& nLine)
{
    using Traits = std::char_traits<char>;
    const std::size_t nStartLine = nLine;
    cells.clear();
    if (Traits::eq_int_type(in.sgetc(), Traits::eof()))
        return false;
    cells.emplace_back();
    bool bQuoted = false;   // inside a quoted field
    bool bClosed = false;   // after the closing quote of a field
    for (;;) {
        const Traits::int_type c = in.sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            if (bQuoted)
                throw CTransferError(AtLine(nStartLine) + "a quoted field is not closed");
            ++nLine;
            return true;
        }
        const char ch = Traits::to_char_type(c);
        std::string& cell = cells.back();
        if (bQuoted) {
            if (ch == '"') {
                if (Traits::eq_int_type(in.sgetc(), Traits::to_int_type('"'))) {
                    in.sbumpc();
                    cell.push_back('"');
                } else {
                    bQuoted = false;
                    bClosed = true;
                }
            } else {
                if (ch == '\n')
                    ++nLine;
                cell.push_back(ch);
            }
        } else if (ch == ',') {
            if (cells.size() == kMaxColumns)
                throw CTransferError(AtLine(nStartLine) + "too many fields");
            cells.emplace_back();
            bClosed = false;
        } else if (ch == '\n' || (ch == '\r' && Traits::eq_int_type(in.sgetc(), Traits::to_int_type('\n')))) {
            if (ch == '\r')
                in.sbumpc();
            ++nLine;
            return true;
        } else if (bClosed) {
            throw CTransferError(AtLine(nLine) + "text after the closing quote of a field");
        } else if (ch == '"') {
            if (!cell.empty())
                throw CTransferError(AtLine(nLine) + "a quote inside an unquoted field");
            bQuoted = true;
        } else if (ch == '\r') {
            throw CTransferError(AtLine(nLine) + "a carriage return outside quotes");
        } else {
            cell.push_back(ch);
        }
        if (cells.back().size() > kMaxField)
            throw CTransferError(AtLine(nStartLine) + "a field longer than 64 MiB");
    }
}

void CCsvFormat::Read(std::istream& in, CTableSink& sink)
{
    std::streambuf& buf = *in.rdbuf();
    std::size_t nLine = 1;
    std::vector<std::string> header;
    std::vector<std::string> cells;
    if (!ReadRow(buf, header, nLine))
        throw CTransferError("an empty file: no header row");
    if (header[0].starts_with("\xEF\xBB\xBF"))
        header[0].erase(0, 3);
    std::size_t nRowLine = nLine;
    if (!ReadRow(buf, cells, nLine))
        throw CTransferError(AtLine(nRowLine) + "no table row after the header");
    ETableKind eKind = ETableKind::Event;
    if (!CTableContent::KindFromName(cells[0], eKind))
        throw CTransferError(AtLine(nRowLine) + "the kind \"" + cells[0] +
                             "\" is not one of era, period, event, base-year");
    const std::vector<SFieldSpec>& tableFields = CTableContent::TableFields(eKind);
    const std::vector<SFieldSpec>& recordFields = CTableContent::RecordFields(eKind);
    std::vector<std::string> expected = {"kind"};
    for (const auto* pFields : {&tableFields, &recordFields}) {
        for (const SFieldSpec& field : *pFields)
            expected.push_back(field.pszName);
    }
    // A file exported before the optional record fields existed lacks their columns.
    std::size_t nColumns = expected.size();
    while (header.size() < nColumns && nColumns > 1 + tableFields.size() &&
           recordFields[nColumns - 2 - tableFields.size()].bOptional)
        --nColumns;
    if (header.size() != nColumns || !std::equal(header.begin(), header.end(), expected.begin()))
        throw CTransferError("line 1: not the columns of a table of kind " + cells[0]);

    CCellRow row;
    // The cells of the fields from column nFirst on, checked against their types.
    const auto toCells = [&](const std::vector<SFieldSpec>& fields, std::size_t nFirst, std::size_t nRecord) {
        if (cells.size() != nColumns)
            throw CTransferError(AtLine(nRowLine) + std::to_string(cells.size()) + " fields, expected " +
                                 std::to_string(nColumns));
        row.resize(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (nFirst + i >= nColumns) {   // an optional field the file lacks
                row[i] = SCell();
                continue;
            }
            const std::string& cell = cells[nFirst + i];
            const std::string strPlace = AtLine(nRowLine) + FieldPlace(nRecord, fields[i].pszName);
            switch (fields[i].eType) {
            case EFieldType::Text: row[i].str.swap(cells[nFirst + i]); break;
            case EFieldType::Number: {
                const char* pEnd = cell.data() + cell.size();
                const auto result = std::from_chars(cell.data(), pEnd, row[i].llValue);
                if (result.ec == std::errc::result_out_of_range)
                    throw CTransferError(strPlace + ": out of range");
                if (cell.empty() || result.ec != std::errc() || result.ptr != pEnd)
                    throw CTransferError(strPlace + ": not a whole number");
                break;
            }
            case EFieldType::Flag:
                if (cell != "0" && cell != "1")
                    throw CTransferError(strPlace + ": not 0 or 1");
                row[i].llValue = cell == "1" ? 1 : 0;
                break;
            }
        }
    };
    toCells(tableFields, 1, 0);
    sink.Begin(eKind, row);
    for (std::size_t nRecord = 1;; ++nRecord) {
        nRowLine = nLine;
        if (!ReadRow(buf, cells, nLine))
            break;
        if (recordFields.empty())
            throw CTransferError(AtLine(nRowLine) + "a base-year table has no record rows");
        toCells(recordFields, 1 + tableFields.size(), nRecord);
        sink.Record(row);
    }
    sink.End();
}
