// CYearEvent: an event chronology. The table name, explanation and flags of every table file
// (CTableBase) plus an ordered list of events (SEventData) that the table owns.
//
// Order. The list is normally chronological: by year, then within a year by the date key
//     (month, or 0 for none) * 1000 + (100 for a leap month) + (day, or 0 for none),
// so an undated event comes first in its year, a month-only event before day 1 of its month, and
// leap month N after the whole of month N. Events with equal year and key keep their insertion
// order (a new one goes after them). The order is not enforced: unsorted appends, unsorted reads
// and the moves within a year put events where the caller says, and later sorted insertions then
// go before the first event in list order that sorts after the new one.
//
// Filters. Most operations take an EEventPriority filter; an event that passes it is visible, and
// the visible index of an event counts only visible events, from 0, in list order. Three rules:
//   index rule (GetAt, SetAt, RemoveAt, SetData replacing, GetIndexFromEventData): filter
//     PRIORITY_LOW or PRIORITY_ALL shows every event, so indexes are plain list positions; any
//     other filter shows the events with nPriority <= filter;
//   query rule (the year queries, GetData, the moves): PRIORITY_ALL shows every event, any other
//     filter shows nPriority <= filter;
//   search rule (SearchStr): nPriority <= filter.
// Filters are compared as signed numbers; a negative filter hides every event of priority >= 0.
// What a program shows at a chosen priority is the query rule: IsShown.
//
// Records. The table owns every record. Records reached through GetEventData and GetData may be
// read, and their texts (event text, note) changed at any time; their year, month, day, leap flag
// and priority are changed only through SetAt or SetData, which keep the table's order knowledge.
//
// Cost. Walking GetAt(0), GetAt(1), ... under any filter, and going year by year with the year
// queries through a list in year order, are linear overall: a lookup starts from where the
// previous one got to. Adding an event by date to a list in order costs the distance from the tail
// (appending a later event costs O(1)). Each query is one walk at most.
//
// Changing the list (adding, replacing, removing, moving, clearing, reading, merging, assigning)
// sets the iteration cursor to none.
//
// Not thread-safe, not even for concurrent const calls: const lookups remember where they got to.
#pragma once

#include <filesystem>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include <framework/Document.h>
#include <framework/String.h>

#include <corvane/EventData.h>
#include <corvane/TableBase.h>
#include <corvane/corvane_export.h>

// A display priority (values 0 to 2 as a record's nPriority) and a display filter.
enum EEventPriority : int {
    PRIORITY_HIGH = 0,     // as a filter: priority 0 only
    PRIORITY_MIDDLE = 1,   // as a filter: priorities 0 and 1
    PRIORITY_LOW = 2,      // as a filter: priorities 0 to 2
    PRIORITY_ALL = 3,      // as a filter: every event; never a record's priority
};

class CStdioFile;

class CORVANE_EXPORT CYearEvent : public CTableBase {
public:
    // The events in list order. Positions stay valid while other events are inserted or
    // removed; the table owns every record.
    using CEventList = std::list<std::unique_ptr<SEventData>>;
    // A position in the list; GetEventData().end() stands for "none".
    using POSITION = CEventList::const_iterator;

    CYearEvent();
    ~CYearEvent() override;
    CYearEvent(const CYearEvent&) = delete;   // a table is copied by assignment

    // Replaces this table's events by copies of the other's (in its list order) and copies the
    // five base fields, the modified flag included. The cursor becomes none. Assigning a table to
    // itself changes nothing.
    CYearEvent& operator=(const CYearEvent& other);

    // True when the event is visible under eFilter by the query rule (PRIORITY_ALL shows every
    // event, any other filter the events with nPriority <= eFilter): the rule by which a program
    // shows, lists and exports the events of a chosen priority.
    static bool IsShown(const SEventData& data, EEventPriority eFilter);

    // Frees every event. The base fields and the modified flag are untouched.
    void RemoveAll();
    // The number of events, whatever their priority.
    int GetLen() const;

    // Read access to the list and to the iteration cursor (for the records, see Records above).
    const CEventList& GetEventData() const;
    const POSITION& GetCurPos() const { return m_CurPos; }

    // Iteration, without a filter; each copies a record into *pData. All return false and change
    // nothing when pData is null.
    // GetFirstData: false (cursor none) for an empty table; else the first event, and the cursor
    // moves to the second (none if there is none).
    bool GetFirstData(SEventData* pData);
    // GetNextData: false when the cursor is none; else the event at the cursor, and the cursor
    // advances.
    bool GetNextData(SEventData* pData);
    // GetTailData: false (nothing changed) for an empty table; else the last event, and the
    // cursor becomes none.
    bool GetTailData(SEventData* pData);

    // Copies the event at nIndex (index rule) into *pData. False, *pData unchanged, when there is
    // no such event or pData is null.
    bool GetAt(int nIndex, SEventData* pData, EEventPriority eFilter) const;
    // Replaces the event at nIndex (index rule) by a copy of *pData where it stands, without
    // re-sorting. Does not set the modified flag. False, nothing changed, when there is no such
    // event or pData is null.
    bool SetAt(int nIndex, const SEventData* pData, EEventPriority eFilter);
    // Removes the event at nIndex (index rule), first copying it into *pData when pData is not
    // null, and sets the modified flag. False, nothing changed, when there is no such event.
    bool RemoveAt(int nIndex, EEventPriority eFilter, SEventData* pData);

    // nIndex -1 adds the event: by date (InsertAtDate, appended when that declines) when bSorted,
    // else at the end; always true. Any other nIndex replaces the event at that index (index
    // rule): false, nothing changed, when there is none; an equal event changes nothing (true,
    // modified flag untouched); an event of the same year that keeps month, day and leap flag, or
    // that has month -1 and day -1, replaces the old one where it stands (a place the user chose
    // by hand is kept); any other event is removed and the new one inserted by date, whatever
    // bSorted says. Sets the modified flag whenever it changes the list.
    bool SetData(SEventData data, bool bSorted, int nIndex, EEventPriority eFilter);

    // Inserts *pData before the first event (in list order) that sorts after it, takes ownership
    // (pData becomes null), sets the modified flag and returns true. Returns false, with pData
    // still owning the record and the table unchanged, when pData is null, the table is empty or
    // no event sorts after the record (the caller then appends it, as SetData does).
    bool InsertAtDate(std::unique_ptr<SEventData>& pData);

    // Queries (query rule). Each returns its miss value and changes nothing when nothing fits.
    // The visible index of the first visible event of lYear; -1 if none.
    int GetIndexFromYear(std::int32_t lYear, EEventPriority eFilter) const;
    // The visible index of the first visible event (in list order) whose year is >= lYear; -1 if none.
    int GetNearestYear(std::int32_t lYear, EEventPriority eFilter) const;
    // The number of visible events of lYear.
    int GetNumOfYear(std::int32_t lYear, EEventPriority eFilter) const;
    // The year of the first visible event (in list order) whose year is > lYear; NO_YEAR if none.
    std::int32_t GetNextYear(std::int32_t lYear, EEventPriority eFilter) const;
    // The index (index rule) of the first visible event equal to data in all seven fields; -1 if none.
    int GetIndexFromEventData(const SEventData& data, EEventPriority eFilter) const;

    // Empties vData (releasing its storage), then appends, in list order, a pointer to each
    // visible event of lYear. True when at least one was appended. The pointers refer to the
    // table's own records: valid until the list next changes, never to be freed by the caller
    // (for changing them, see Records above).
    bool GetData(std::int32_t lYear, std::vector<SEventData*>& vData, EEventPriority eFilter);

    // Looks for pszText (case-sensitive, code page 932) in the event texts stripped of their HTML
    // markup, from list position nStart (-1: from the first event) to the end, among the events of
    // lFrom..lTo (inclusive) that pass the search rule; notes and dates are not searched. Returns
    // the list position of the first match (use GetAt with PRIORITY_ALL; continue from the result
    // + 1) and sets lYear to NO_YEAR, meaning "found in the text". Returns -1, lYear unchanged,
    // when nothing matches or nStart is neither -1 nor a list position. An empty text matches
    // every event in range.
    int SearchStr(const char* pszText, std::int32_t& lYear, std::int32_t lFrom, std::int32_t lTo,
                  EEventPriority eFilter, int nStart) const;

    // Moves one event of lYear one place later or earlier in the list. nPos counts among the
    // visible events (query rule) of lYear from its first event in list order, which counts as 0
    // whether visible or not. MoveToAfter swaps the event reached after nPos visible steps with
    // the event after it; MoveToBefore swaps the event after the one reached after nPos - 1
    // visible steps with the one reached. True, nothing changed, when no event has lYear. False,
    // nothing changed, when the event reached is not of lYear, or when stepping or the swap would
    // run past the end of the list. When the event to swap with has a priority above eFilter, the
    // hidden-data message is shown (OK button) and the result is false, nothing changed. Only the
    // year of the event reached is checked: callers ask for moves within the year. On success the
    // modified flag is set.
    bool MoveToBefore(std::int32_t lYear, int nPos, EEventPriority eFilter);
    bool MoveToAfter(std::int32_t lYear, int nPos, EEventPriority eFilter);

    // What MoveToBefore / MoveToAfter would do with the same arguments, without doing it and
    // without a message: a host that shows its own message asks first and moves only on
    // MOVE_SWAPS (the move then shows nothing).
    enum EMoveCheck {
        MOVE_SWAPS,     // two events would be swapped (true)
        MOVE_NO_YEAR,   // no event has lYear (true, nothing changed)
        MOVE_REFUSED,   // not within the year, or past the list (false, nothing changed)
        MOVE_HIDDEN,    // the event to swap with is hidden by eFilter (the message, false)
    };
    EMoveCheck CheckMoveToBefore(std::int32_t lYear, int nPos, EEventPriority eFilter) const;
    EMoveCheck CheckMoveToAfter(std::int32_t lYear, int nPos, EEventPriority eFilter) const;

    // Adds a copy of each of other's events by date, as SetData(copy, true, -1, PRIORITY_ALL)
    // does (after the events of this table with the same year and key), walking other with its
    // own cursor, which ends as none. No duplicate detection; names and flags stay, apart from the
    // modified flag that an insertion sets. Merging a table into itself doubles its events.
    // Always true.
    bool Merge(CYearEvent& other);

    // Adds the events of an event file (.lev, versions 0 to 5 and above) to the table; the table
    // is not emptied first. A given pszFileName replaces the stored file name (an empty one
    // empties it); with no name at all the open dialog asks (cancel: false, no message, nothing
    // changed). The table name, explanation and today flag are taken from the header as its
    // version says. With bSorted each event goes in by date (equal keys in file order); without
    // it the file's order is kept. True, modified flag cleared, when the whole file was read. On
    // failure a message is shown (61447 bad format, 61451 unreadable) and the result is false;
    // whatever was read before the failure stays (the modified flag set if events were added).
    bool ReadFile(const char* pszFileName, bool bSorted);

    // Writes every event into an event file of version 5 (lines end in CR LF) through the table
    // save procedure: the save dialog when bDialog is true or the table has no file name (cancel:
    // false, no message, nothing changed), the current directory set to pDocument's folder, the
    // file name stored relative to it. True, modified flag cleared, on success. On failure message
    // 61448 is shown, the result is false, the previous file is left exactly as it was and the
    // modified flag is unchanged. eType is ignored.
    //
    // So that no text can split its line, a line break (CR LF, or a lone CR or LF) in the table
    // name, explanation, an event text or a note is written as the four characters \r\n, and a
    // table name or explanation that holds a comma, a doubled quote or begins with a quote is
    // written quoted. Reading turns the escape back into CR LF in the explanation and the notes
    // only, as files have always been read; a table name or event text keeps the four characters.
    bool WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType) override;

    // The core of ReadFile and WriteFile, for programs with no user to ask: no dialog, no message,
    // the current directory left alone. Load reads pszPath (as it stands; a relative name against
    // the current directory) as ReadFile does, the file name becoming pszPath; on failure it keeps
    // what it already read, as ReadFile does, and returns what went wrong. Save writes the table as
    // WriteFile does to pszPath, which becomes the file name; on failure the previous file and the
    // modified flag are left as they were. Both clear the modified flag on success.
    SFileStatus Load(const char* pszPath, bool bSorted, Env* pEnv = Env::Default());
    SFileStatus Save(const char* pszPath, Env* pEnv = Env::Default());
    // The same for a native path (any name the system allows): the file name the table keeps
    // (GetFileName) is the path's code page 932 form, or empty when it has none.
    SFileStatus Load(const std::filesystem::path& path, bool bSorted, Env* pEnv = Env::Default());
    SFileStatus Save(const std::filesystem::path& path, Env* pEnv = Env::Default());

private:
    unsigned ReadEventLines(CStdioFile& file, bool bSorted);
    void WriteEventLines(CStdioFile& file) const;

    struct SMemo;   // the order counts and where the last lookup got to (YearEvent.cpp)

    void ListChanged();
    POSITION Before(POSITION pos) const;
    void CountPair(POSITION first, POSITION second, int nSign);
    bool YearSorted() const;
    POSITION YearWalkStart(std::int64_t lYearBelow, std::int32_t nThreshold, int& nVisibleBefore) const;
    POSITION FindVisible(int nIndex, std::int32_t nThreshold) const;
    POSITION FindFirstOfYear(std::int32_t lYear) const;
    POSITION FindInsertPosition(const SEventData& data) const;
    void Remember(std::int32_t nThreshold, int nIndex, POSITION pos) const;
    POSITION InsertBefore(POSITION pos, std::unique_ptr<SEventData> pData);
    void Append(std::unique_ptr<SEventData> pData);
    void AddRecord(std::unique_ptr<SEventData> pData, bool bSorted);
    void Erase(POSITION pos);
    void Replace(POSITION pos, const SEventData& data);
    void Relocate(POSITION pos, POSITION before);
    // The two neighbours a move within lYear swaps: the event reached after nSteps visible steps
    // from the year's first event, and the one right after it (set on MOVE_SWAPS only).
    EMoveCheck FindMovePair(std::int32_t lYear, std::int64_t nSteps, EEventPriority eFilter, POSITION& pos,
                            POSITION& next) const;
    // Finishes a move as FindMovePair found it: on MOVE_SWAPS puts moved just before before, on
    // MOVE_HIDDEN shows the message. The move's result.
    bool FinishMove(EMoveCheck eCheck, POSITION moved, POSITION before);

    CEventList m_EventData;
    POSITION m_CurPos;
    std::unique_ptr<SMemo> m_pMemo;
};
