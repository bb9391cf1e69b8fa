// CTableBuilder: the sink an import feeds. It checks every value against its field (numbers in
// range, texts with a code page 932 form) and builds the table; the first bad value throws a
// CTransferError naming its record and field. Texts are converted in batches.
#pragma once

#include <memory>
#include <vector>

#include "FieldText.h"
#include "TableSink.h"

class CTableBuilder : public CTableSink {
public:
    explicit CTableBuilder(CProgress* pProgress = nullptr) : m_pProgress(pProgress) {}

    void Begin(ETableKind eKind, const CCellRow& table) override;
    void Record(const CCellRow& record) override;
    void End() override;

    // The table built, after End; null before.
    std::unique_ptr<CTableContent> Take() { return m_bEnded ? std::move(m_pContent) : nullptr; }

private:
    void Convert(const std::vector<SFieldSpec>& fields, std::size_t nFirstRecord, const std::vector<CCellRow>& rows,
                 std::vector<CFieldRow>& out);
    void Flush();

    CProgress* m_pProgress;
    std::unique_ptr<CTableContent> m_pContent;
    CFieldText m_text;
    std::vector<CCellRow> m_pending;
    std::vector<CFieldRow> m_converted;
    std::size_t m_nRecords = 0;   // records received so far
    bool m_bEnded = false;
};
