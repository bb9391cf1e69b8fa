// CCsvFormat: a table as UTF-8 CSV (RFC 4180: fields separated by commas, rows ended by CR LF, a
// field quoted when it holds a comma, a double quote, CR or LF, with its quotes doubled).
//
// The first row names the columns: "kind", the table fields, then the record fields. The second
// row holds the table: its kind (era, period, event, base-year) and table fields, the record
// columns empty. Every further row is a record: the kind and table columns empty. Numbers are
// decimal, flags 0 or 1.
//
// The reader also takes LF alone as a row end and skips a UTF-8 byte order mark. It refuses a
// quote inside an unquoted field, text after a closing quote, an unterminated quote, a row of
// another width, a header that is not the kind's, and any field longer than 64 MiB.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "TableSink.h"

class CCsvFormat {
public:
    class CWriter : public CTableWriter {
    public:
        explicit CWriter(std::ostream& out) : CTableWriter(out) {}
        void Begin(ETableKind eKind, const CCellRow& table) override;
        void Record(const CCellRow& record) override;
        void End() override {}

    private:
        void Cells(const std::vector<SFieldSpec>& fields, const CCellRow& cells);
    };

    // Reads a file and feeds sink (Begin, every Record, End). Throws CTransferError naming the
    // line (and the record and field) of the first problem.
    static void Read(std::istream& in, CTableSink& sink);

private:
    // One row into cells; false at the end of the input. nLine is the line the row begins on.
    static bool ReadRow(std::streambuf& in, std::vector<std::string>& cells, std::size_t& nLine);
    static void WriteField(std::ostream& out, const std::string& str);
};
