#include "TableBuilder.h"

#include "Progress.h"

namespace {

// The library refuses to read a line longer than 64 MiB. A record's texts, each quoted with its
// quotes doubled or its line breaks escaped, fit in a line of that size up to this many bytes.
constexpr std::size_t kMaxRecordText = (std::size_t{32} << 20) - 1024;

} // namespace

void CTableBuilder::Convert(const std::vector<SFieldSpec>& fields, std::size_t nFirstRecord,
                            const std::vector<CCellRow>& rows, std::vector<CFieldRow>& out)
{
    std::vector<std::string_view> texts;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const SFieldSpec& field = fields[i];
            if (field.eType == EFieldType::Text) {
                texts.push_back(rows[r][i].str);
            } else if (rows[r][i].llValue < field.llMin || rows[r][i].llValue > field.llMax) {
                throw CTransferError(FieldPlace(nFirstRecord + r, field.pszName) + ": " +
                                     std::to_string(rows[r][i].llValue) + " is out of range (" +
                                     std::to_string(field.llMin) + " to " + std::to_string(field.llMax) + ")");
            }
        }
    }
    std::vector<CString> cp932;
    std::string strProblem;
    const int nBad = m_text.FromUtf8(texts, cp932, strProblem);
    if (nBad >= 0) {
        // Find the record and field of the text that failed.
        std::size_t nText = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (const SFieldSpec& field : fields) {
                if (field.eType == EFieldType::Text && nText++ == static_cast<std::size_t>(nBad))
                    throw CTransferError(FieldPlace(nFirstRecord + r, field.pszName) + ": " + strProblem);
            }
        }
    }
    out.resize(rows.size());
    std::size_t nText = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out[r].resize(fields.size());
        std::size_t nBytes = 0;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].eType == EFieldType::Text) {
                nBytes += cp932[nText].GetLength();
                out[r][i].str = std::move(cp932[nText++]);
            } else {
                out[r][i].llValue = rows[r][i].llValue;
            }
        }
        if (nBytes > kMaxRecordText)
            throw CTransferError(RecordPlace(nFirstRecord + r) +
                                 ": texts longer than 32 MiB, more than a table file's line can hold");
    }
}

void CTableBuilder::Begin(ETableKind eKind, const CCellRow& table)
{
    m_pContent = std::make_unique<CTableContent>(eKind);
    Convert(CTableContent::TableFields(eKind), 0, {table}, m_converted);
    m_pContent->SetTableRow(m_converted[0]);
}

void CTableBuilder::Record(const CCellRow& record)
{
    m_pending.push_back(record);
    if (m_pending.size() == CFieldText::kBatch)
        Flush();
}

void CTableBuilder::Flush()
{
    Convert(CTableContent::RecordFields(m_pContent->Kind()), m_nRecords + 1, m_pending, m_converted);
    std::size_t nRecord = m_nRecords;
    for (const CFieldRow& row : m_converted) {
        const std::string strProblem = CTableContent::RecordProblem(m_pContent->Kind(), row);
        if (!strProblem.empty())
            throw CTransferError(RecordPlace(nRecord + 1) + ", " + strProblem);
        ++nRecord;
        m_pContent->AddRecord(row);
        if (m_pProgress)
            m_pProgress->Step();
    }
    m_nRecords += m_pending.size();
    m_pending.clear();
}

void CTableBuilder::End()
{
    Flush();
    m_bEnded = true;
}
