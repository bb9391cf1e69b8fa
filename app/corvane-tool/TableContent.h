// CTableContent: one table file of any of the four kinds (era names, periods, events, base year)
// seen as named fields, so that the tool's commands and its JSON and CSV formats treat every kind
// the same way. The tables themselves are read and written only through the library's core
// (Load and Save), so the files the tool writes are exactly those the library writes.
//
// A table has table fields (version, name, ...; for the base-year table every value) and, except
// for the base-year table, records of record fields. Texts in the rows are code page 932.
#pragma once

#include <filesystem>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <corvane/BaseYear.h>
#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>
#include <corvane/TableKind.h>
#include <corvane/YearEvent.h>
#include <framework/String.h>

enum class EFieldType { Text, Number, Flag };

struct SFieldSpec {
    const char* pszName;          // the JSON key and CSV column
    EFieldType eType;
    std::int64_t llMin = 0;       // the range of a number
    std::int64_t llMax = 0;
    // A field that files exported before it existed lack: a missing one reads as 0 (or empty).
    // Optional fields come last in their list.
    bool bOptional = false;
};

// One value of a row: a text in str, a number or a flag (0 or 1) in llValue.
struct SFieldValue {
    CString str;
    std::int64_t llValue = 0;
};
using CFieldRow = std::vector<SFieldValue>;

class CTableContent {
public:
    // Where each field stands in a row: the order of TableFields and RecordFields.
    enum ETableField : std::size_t { TABLE_VERSION, TABLE_NAME, TABLE_EXPLANATION, TABLE_TODAY };   // era, period, event
    enum EBaseYearField : std::size_t {
        BASE_VERSION, BASE_NAME, BASE_YEAR, BASE_END_YEAR, BASE_KAZOE, BASE_DISPLAY_MINUS, BASE_MINUS1,
        BASE_END_YEAR_PLUS, BASE_END_YEAR_KAIKI, BASE_BEGIN_YEAR_QUEST, BASE_END_YEAR_QUEST, BASE_SUPPLEMENT,
    };
    enum EEraField : std::size_t {
        ERA_NAME, ERA_BEGIN_YEAR, ERA_END_YEAR, ERA_NOTE,
        ERA_BEGIN_MONTH, ERA_BEGIN_DAY, ERA_BEGIN_LEAP_MONTH, ERA_END_MONTH, ERA_END_DAY, ERA_END_LEAP_MONTH,
    };
    enum EEventField : std::size_t {
        EVENT_YEAR, EVENT_MONTH, EVENT_DAY, EVENT_LEAP_MONTH, EVENT_PRIORITY, EVENT_TEXT, EVENT_NOTE,
    };

    // "era", "period", "event", "base-year"; false for any other name.
    static const char* KindName(ETableKind eKind);
    static bool KindFromName(std::string_view name, ETableKind& eKind);
    static const std::vector<SFieldSpec>& TableFields(ETableKind eKind);
    static const std::vector<SFieldSpec>& RecordFields(ETableKind eKind);   // empty for base-year

    // An empty table of the kind, version 0.
    explicit CTableContent(ETableKind eKind);

    ETableKind Kind() const { return m_eKind; }

    // Loads the file as a table of this object's kind (which must be the one its header names),
    // events in file order. On failure the table holds what the library read before the failure.
    SFileStatus Load(const std::filesystem::path& path, int nVersion);
    // Saves the table through the library; on failure the previous file is left as it was.
    SFileStatus Save(const std::filesystem::path& path);

    // The table fields, in the order of TableFields.
    void GetTableRow(CFieldRow& row) const;
    void SetTableRow(const CFieldRow& row);

    std::size_t RecordCount() const;
    // Calls visit with each record's row in table order (the row is reused between calls).
    void ForEachRecord(const std::function<void(const CFieldRow&)>& visit) const;
    // Appends a record at the end, in the order of RecordFields, without sorting or merging.
    void AddRecord(const CFieldRow& row);
    // What is wrong with a record row whose fields are each in range ("field \"x\": why"), empty
    // when nothing is: an era's day or leap month needs its month.
    static std::string RecordProblem(ETableKind eKind, const CFieldRow& row);

    // The table itself, for the commands that need one kind (null for the other kinds).
    CGengouEra* Eras() { return m_pEras.get(); }
    CYearEvent* Events() { return m_pEvents.get(); }
    CBaseYear* BaseYear() { return m_pBaseYear.get(); }

private:
    ETableKind m_eKind;
    int m_nVersion = 0;
    std::unique_ptr<CGengouEra> m_pEras;   // era or period table
    std::unique_ptr<CYearEvent> m_pEvents;
    std::unique_ptr<CBaseYear> m_pBaseYear;
};
