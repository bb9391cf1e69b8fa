// CGengouEra: a table of Japanese era names (元号) or of historical periods (時代), each a name and
// the span of Western years it covers, with the lookups a chronology tool asks of it and the era
// and period files it is stored in.
//
// Order: SetData (and therefore ReadFile) keeps the records sorted by begin year, ascending; a
// record whose begin year equals that of records already present goes after them. SetAt, RemoveAt
// and changes through GetGengoEraTable work on positions and do not reorder, so the order holds
// only as far as callers keep it.
//
// Years are signed 32-bit. A lookup that finds no index returns -1; one that finds no year returns
// NO_YEAR (2147483647). Not thread-safe.
//
// Dates: the lookups by date (GetIndicesInForce and those after it) answer from an index that the
// table builds on the first such lookup after a change, in O(n log n); each lookup then costs
// O(log n) plus the size of its answer. SetData, SetAt, RemoveAt, ClearAll, assignment, loading
// and the non-const GetGengoEraTable drop the index. A reference kept from GetGengoEraTable and
// changed after a lookup by date is not seen until the index is dropped: call GetGengoEraTable
// again after such a change. A const table is not safe to share between threads either: its
// first lookup by date builds the index.
#pragma once

#include <filesystem>

#include <compare>
#include <cstdint>
#include <memory>
#include <vector>

#include <framework/Archive.h>
#include <framework/Document.h>
#include <framework/String.h>

#include <corvane/TableBase.h>
#include <corvane/corvane_export.h>

// A day, or a month, or a year, as Japanese chronologies write it. Before 1873 the month and day
// are those of the old Japanese calendar (a leap month, 閏, follows the month of the same number),
// and lYear is the Western year that the Japanese year mostly falls in (慶応3年12月9日 is 1867,
// 12月9日); from 1873 on they are Gregorian. No conversion between the two calendars is made.
// Dates compare as (year, month, leap after its month, day); a missing month or day (0) sorts
// before every given one.
struct CORVANE_EXPORT SEraDate {
    std::int32_t lYear = 0;
    int nMonth = 0;        // 1-12; 0: the year alone
    bool bLeap = false;    // the leap month that follows nMonth; only with a month
    int nDay = 0;          // 1-31; 0: no day

    friend bool operator==(const SEraDate&, const SEraDate&) = default;
    friend auto operator<=>(const SEraDate& a, const SEraDate& b)
    {
        if (auto c = a.lYear <=> b.lYear; c != 0)
            return c;
        if (auto c = a.nMonth <=> b.nMonth; c != 0)
            return c;
        if (auto c = a.bLeap <=> b.bLeap; c != 0)
            return c;
        return a.nDay <=> b.nDay;
    }
};

// One era (or period). Copied by value; a default record has empty strings, both years 0 and no
// days. The first and last day are optional: a record read from a file without days (every period
// file, era files of the older format) has month and day 0 and is known by year alone.
struct CORVANE_EXPORT SGengouEraTable {
    CString strGengou;              // name, e.g. 明治; may hold HTML markup
    std::int32_t lBeginYear = 0;    // Western year of era year 1
    std::int32_t lEndYear = 0;      // Western year of the era's last year, inclusive
    CString strNote;                // free note; line breaks are CR LF pairs
    // The day the era began and the day it ended (inclusive), with lBeginYear and lEndYear as their
    // years; month 0 when not known. Month 1-12, day 1-31; bLeap for an old-calendar leap month.
    int nBeginMonth = 0;
    bool bBeginLeap = false;
    int nBeginDay = 0;
    int nEndMonth = 0;
    bool bEndLeap = false;
    int nEndDay = 0;

    SEraDate BeginDate() const { return {lBeginYear, nBeginMonth, bBeginLeap, nBeginDay}; }
    SEraDate EndDate() const { return {lEndYear, nEndMonth, bEndLeap, nEndDay}; }

    // Field by field; names and notes as exact bytes.
    friend bool operator==(const SGengouEraTable& a, const SGengouEraTable& b)
    {
        return a.lBeginYear == b.lBeginYear && a.lEndYear == b.lEndYear && a.strGengou == b.strGengou &&
               a.strNote == b.strNote && a.BeginDate() == b.BeginDate() && a.EndDate() == b.EndDate();
    }
};

// The record array of an era table (and of the era lists that GetData fills).
using CGengouEraArray = std::vector<SGengouEraTable>;

class CStdioFile;

class CORVANE_EXPORT CGengouEra : public CTableBase {
public:
    // The end year of an era that has not ended (and no end day): the lookups by date take it to
    // be in force on every later day.
    static constexpr std::int32_t NOT_ENDED = 32767;

    CGengouEra();
    ~CGengouEra() override;
    CGengouEra(const CGengouEra&) = delete;   // no copy constructor: construct, then assign

    // Replaces this table by a copy of the source: its records in the source's order (without the
    // ordering and name checks of SetData), file name, table name, modified flag, explanation and
    // today-date flag. Assigning a table to itself leaves it as it was.
    CGengouEra& operator=(const CGengouEra& src);

    int GetSize() const { return static_cast<int>(m_GengouEraTable.size()); }

    // Copies the record at nIndex into rec and returns true; for an index outside 0..GetSize()-1
    // returns false and leaves rec untouched.
    bool GetAt(int nIndex, SGengouEraTable& rec) const;
    // The record at nIndex. Throws std::invalid_argument for an index outside 0..GetSize()-1.
    SGengouEraTable GetAt(int nIndex) const;

    const CGengouEraArray& GetGengouEraTable() const { return m_GengouEraTable; }
    // The array itself, to be changed directly; the modified flag is not touched, the index of the
    // lookups by date is dropped.
    CGengouEraArray& GetGengoEraTable()
    {
        DropDateIndex();
        return m_GengouEraTable;
    }

    // Adds a record in order of begin year, after those with the same begin year. Scanning from
    // index 0 up to the insertion point (that record included), the first record with the same
    // name (exact bytes) decides: same begin and end year returns true and changes nothing (the
    // note is neither compared nor updated); other years return false and change nothing. A
    // same-name record beyond the insertion point is not seen and the record is added. Returns
    // true and sets the modified flag when it inserts. Null texts count as empty. Years are stored
    // as given; the end year is not compared with the begin year. Linear in the table's size.
    bool SetData(const char* pszGengou, std::int32_t lBeginYear, std::int32_t lEndYear, const char* pszNote);

    // Stores rec at nIndex and sets the modified flag; an index at or beyond GetSize() first grows
    // the table to nIndex + 1 records with default records in between. Returns false, changing
    // nothing, when the record at nIndex equals rec. Throws std::invalid_argument, changing nothing,
    // for a negative index. Keeps neither the order nor unique names.
    bool SetAt(int nIndex, SGengouEraTable rec);

    // Removes the record at nIndex, sets the modified flag and returns true. Throws
    // std::invalid_argument, changing nothing, for an index outside 0..GetSize()-1.
    bool RemoveAt(int nIndex);

    // Removes every record and frees their storage, then resets the fields of CTableBase as
    // Initialize does (names empty, both flags false).
    void ClearAll();

    // Index of the last record (highest index) with lBeginYear <= lYear <= lEndYear; -1 if none.
    int GetIndexFromYear(std::int32_t lYear) const;

    // The Western year of era year lYear of the first record (from index 0) whose name, with its
    // HTML markup removed, equals pszGengou exactly: lBeginYear + lYear - 1. There is no lower
    // bound (era year 0 gives the year before the era). Returns NO_YEAR when no record bears the
    // name, when the year lies after the era's lEndYear, and when it lies outside the 32-bit range
    // (computed in 64 bits, so extreme years never overflow).
    std::int32_t GetWesternYear(const char* pszGengou, std::int32_t lYear) const;

    // Appends to arr a copy of every record, in table order, with lBeginYear <= lYear <= lEndYear;
    // arr is not emptied first. Returns true when arr holds at least one record afterwards
    // (records it held before count too).
    bool GetData(std::int32_t lYear, CGengouEraArray& arr) const;

    // The era year of lYear in the first record, in table order, that covers it: the era's name
    // stripped of markup and its year, "昭和59年", with "元" for year 1, "平成元年". Empty when no
    // record covers the year. Changes nothing.
    CString GetEraYearText(std::int32_t lYear) const;

    // Finds the first record from nStart on whose name (markup included) contains pszText, or,
    // when bYear is set, one of whose era years 1 .. lEndYear - lBeginYear + 1 contains it when
    // written in decimal. Returns the index, with the record copied into *pRec and lYear set to
    // NO_YEAR for a name match or to the Western year of the smallest matching era year. Returns
    // -1 when nothing matches: *pRec then holds the last record examined and lYear is untouched;
    // when nStart >= GetSize() nothing is filled at all. Texts match as CString::Find finds them,
    // so an empty (or null) text matches the name of the record at nStart. Throws std::invalid_argument for a negative nStart or a null
    // pRec. The cost does not depend on the length of the eras' spans.
    int SearchStr(const char* pszText, SGengouEraTable* pRec, std::int32_t& lYear, int nStart, bool bYear) const;

    // --- Lookups by date ---
    //
    // A record covers the days from its begin date to its end date, both included; a record
    // without a begin (end) day covers its begin (end) year from its first (to its last) day, so
    // that a table without days answers by year as GetData does. Where one record ends on the day
    // another begins, the day belongs to the one that begins (the day of a change belongs to the
    // new era). Records whose end lies before their begin cover nothing.

    // The indices, ascending (table order), of every record in force at some time of the date
    // given: of the day when date has a month and a day, of the month when it has a month and no
    // day, of the year when its month is 0. In 1331-1392 a day has two eras (both courts). Empty
    // when none. Changes nothing but the index.
    std::vector<int> GetIndicesInForce(const SEraDate& date) const;
    // GetIndicesInForce for the year lYear alone.
    std::vector<int> GetIndicesInYear(std::int32_t lYear) const { return GetIndicesInForce({lYear, 0, false, 0}); }

    // The index of the first record (table order) whose name, with its HTML markup removed,
    // equals pszName exactly (null as empty); -1 when none.
    int GetIndexFromName(const char* pszName) const;

    // The era date text of date in the record at nIndex: its name stripped of markup, its era year
    // (元 for year 1), and the month (閏 before a leap month) and day as far as date gives them:
    // "平成元年1月8日", "慶応4年閏4月1日", "昭和64年1月", "令和元年". Whether the record is in force on
    // that date is not checked (see GetIndicesInForce). Empty for an index outside the table and
    // for a year before the record's begin year.
    CString GetEraDateText(int nIndex, const SEraDate& date) const;

    // Whether the date exists: CCalendar::CheckDate (the month lengths and leap months of the
    // lunisolar calendar from 701, Gregorian from 1873, 1872 ending with 12月2日). Before 701, where
    // the calendar knows no leap months, a leap month that the table's days place in a year excludes
    // every other in that year. Returns true; or false with the reason, in Japanese, in *pstrError
    // (when given).
    bool IsValidDate(const SEraDate& date, CString* pstrError = nullptr) const;

    // The Western date of year lEraYear (1 for 元年), month nMonth (0: the year alone; bLeap for a
    // leap month) and day nDay (0: no day) of the record at nIndex, into date. Returns false, date
    // untouched, with the reason in *pstrError (when given) when the index lies outside the table,
    // when the date fails IsValidDate, or when the record is not in force at any time of it
    // (before its begin or after its end: 昭和64年1月8日, 平成32年, 平成0年; an era that has not
    // ended, NOT_ENDED, has no end), or when the year does not fit 32 bits.
    bool GetDateOfEraDate(int nIndex, std::int32_t lEraYear, int nMonth, bool bLeap, int nDay, SEraDate& date,
                          CString* pstrError = nullptr) const;

    // Does nothing.
    void Serialize(CArchive& ar);

    // Adds the records of an era file (eType HEADER_GENGOU) or a period file (HEADER_JIDAI) to the
    // table through SetData and takes over the file's table name and, for a file of version 1 or
    // later, its explanation. The table is not emptied first. pszFileName (relative names are
    // taken against the current directory) replaces the stored file name; with neither, an open
    // dialog asks for one. Returns true when the whole file was read (modified flag cleared).
    // Returns false: on a cancelled dialog, with nothing changed and no message; on a format error
    // or a file that cannot be read, with message 61451 (61447 for a file exception of cause end of
    // file) when bMessage is set. A failed read keeps what it already did: the absolute file name,
    // the table name and explanation if they were reached, the records before the failing line.
    // A record line needs three commas (after the name, the begin year and the end year). The
    // fields after the note, when there are six, are the record's first and last day (month, day,
    // leap flag 0 or 1 each); a day that is missing or out of range (month 1-12, day 0-31) is read
    // as not known, and the line is read all the same.
    // With another eType the period file's dialog strings are used and any header word is accepted.
    // The records are added exactly as SetData adds them one after the other (a record it inserts
    // keeps the days the line gave); a file in begin-year order read into a table in order costs
    // linear time.
    bool ReadFile(const char* pszFileName, EHeaderType eType, bool bMessage);

    // Writes the table as an era file (HEADER_GENGOU) or a period file (any other value) through the
    // table save procedure: header, table name, explanation and every record, each line ended by
    // CR LF. Line breaks (CR LF, or a lone CR or LF) inside the explanation, the notes, the table
    // name and the era names are written as the four characters \r\n so that they cannot split a
    // line; in the explanation and the notes they read back as CR LF. A record that knows its first
    // or last day has six more fields after its note (a day out of range is written as not known,
    // 0, 0, 0); a record without days is written as a file of four fields has always held it.
    // Returns true when written (file name relative to the document's folder, modified flag
    // cleared). Returns false on a cancelled dialog (nothing changed, no message) or when the file
    // cannot be written (message 61448; the previous file is left whole, the file name holds its
    // new relative value).
    bool WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType) override;

    // The core of ReadFile and WriteFile, for programs with no user to ask: no dialog, no message,
    // the current directory left alone. Load reads pszPath (as it stands; a relative name against
    // the current directory) as ReadFile does, the file name becoming pszPath; on failure it keeps
    // what it already did, as ReadFile does, and returns what went wrong. Save writes the table as
    // WriteFile does to pszPath, which becomes the file name; on failure the previous file and the
    // modified flag are left as they were. Both clear the modified flag on success.
    SFileStatus Load(const char* pszPath, EHeaderType eType, Env* pEnv = Env::Default());
    SFileStatus Save(const char* pszPath, EHeaderType eType, Env* pEnv = Env::Default());
    // The same for a native path (any name the system allows): the file name the table keeps
    // (GetFileName) is the path's code page 932 form, or empty when it has none.
    SFileStatus Load(const std::filesystem::path& path, EHeaderType eType, Env* pEnv = Env::Default());
    SFileStatus Save(const std::filesystem::path& path, EHeaderType eType, Env* pEnv = Env::Default());

protected:
    CGengouEraArray m_GengouEraTable;

    // Drops the index of the lookups by date; the next such lookup rebuilds it.
    void DropDateIndex() { m_pDateIndex.reset(); }

private:
    struct SDateIndex;
    const SDateIndex& DateIndex() const;
    mutable std::shared_ptr<const SDateIndex> m_pDateIndex;

    unsigned ReadEraLines(CStdioFile& file, EHeaderType eType);
    void WriteEraLines(CStdioFile& file, EHeaderType eType) const;
};
