// CTableSink: a table on its way between a table file and a UTF-8 file (JSON or CSV). An export
// feeds a format's writer through this interface; a format's reader feeds a CTableBuilder.
//
// Cells follow the field lists of CTableContent: a text is UTF-8 in the form CFieldText gives
// (str), a number or a flag (0 or 1) is llValue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "TableContent.h"

class CProgress;

struct SCell {
    std::string str;
    std::int64_t llValue = 0;
};
using CCellRow = std::vector<SCell>;

// A file that cannot be imported: the message names the record and field, or the line.
class CTransferError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "table" for nRecord 0, else "record 3" (records count from 1).
std::string RecordPlace(std::size_t nRecord);
// "table, field \"name\"" for nRecord 0, else "record 3, field \"text\"".
std::string FieldPlace(std::size_t nRecord, const char* pszField);

class CTableSink {
public:
    virtual ~CTableSink() = default;
    // The kind and the table fields, once, before any record.
    virtual void Begin(ETableKind eKind, const CCellRow& table) = 0;
    virtual void Record(const CCellRow& record) = 0;
    virtual void End() = 0;

    // Feeds sink with the whole table, texts converted to UTF-8. pProgress (may be null) counts
    // the records.
    static void Export(const CTableContent& content, CTableSink& sink, CProgress* pProgress);
};

// A format's writer: the sink of an export, writing to a stream. Begin keeps the kind for the
// records that follow.
class CTableWriter : public CTableSink {
protected:
    explicit CTableWriter(std::ostream& out) : m_out(out) {}

    std::ostream& m_out;
    ETableKind m_eKind = ETableKind::Event;
};
