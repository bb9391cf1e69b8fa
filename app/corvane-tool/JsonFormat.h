// CJsonFormat: a table as a UTF-8 JSON document (nlohmann-json does the parsing and the quoting).
//
//   {
//     "kind": "event",                  era, period, event or base-year
//     "version": 5,                     the version in the file's header line
//     "name": "…", ...                  the other table fields (CTableContent::TableFields)
//     "records": [                      not for base-year; one record a line, in table order
//       {"year": 710, "month": -1, ...}
//     ]
//   }
//
// The writer writes the keys in the order of the field lists; the reader takes them in any order
// (it is fastest when the table fields come before "records", as written), requires every field
// and refuses keys it does not know.
#pragma once

#include <istream>
#include <ostream>

#include "TableSink.h"

class CJsonFormat {
public:
    class CWriter : public CTableWriter {
    public:
        explicit CWriter(std::ostream& out) : CTableWriter(out) {}
        void Begin(ETableKind eKind, const CCellRow& table) override;
        void Record(const CCellRow& record) override;
        void End() override;

    private:
        bool m_bFirst = true;
    };

    // True when the first character of the stream that is not white space, after a UTF-8 byte
    // order mark, is '{': a JSON table rather than a CSV one. The stream is put back at its start
    // (its state cleared); false for a stream that cannot be read.
    static bool IsJson(std::istream& in);

    // Reads a document and feeds sink (Begin, every Record, End). Throws CTransferError for a
    // document that is not JSON or not a table as the writer writes it.
    static void Read(std::istream& in, CTableSink& sink);
};
