// CEventSearch: finding events by their text and by year among the events a filter shows. No
// toolkit: the window asks for the text and shows the answer.
//
// A search goes from the event after the current one to the end and then round from the other end
// (backwards: from the one before to the start, then round from the end). The number of matches is
// counted once for a text, a filter and a revision of the table, so that going from match to match
// walks the table no more than the search itself does.
#pragma once

#include <cstdint>

#include <corvane/YearEvent.h>
#include <framework/String.h>

class CEventSearch {
public:
    struct SFound {
        int nIndex = -1;        // the list index of the event found; -1 when nothing matches
        int nCount = 0;         // the events the filter shows whose text holds the text
        bool bWrapped = false;  // went round from the other end to find it
    };

    // The next (bForward) or previous event after (before) list index nCurrent (-1: none, the
    // search starts at the first or the last) whose text holds strText (code page 932), among the
    // events eFilter shows. nRevision names the state of the table: a count is reused only for the
    // same text, filter and revision. An empty text finds nothing.
    SFound Find(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nCurrent,
                bool bForward, int nRevision);
    // The number of shown events whose text holds strText (cached as above).
    int Count(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nRevision);

    // The row (the index among the shown events) of the first shown event of lYear or after it, else
    // the last row; -1 when the filter shows no event.
    static int YearRow(const CYearEvent& events, std::int32_t lYear, EEventPriority eFilter, int nShown);

    // The text searched last, for 次を検索 (empty before the first search).
    const CString& LastText() const { return m_strLast; }

private:
    // The last match in list indexes [nFrom, nEnd) (nFrom -1: from the start); -1 when none.
    static int LastBefore(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nFrom,
                          int nEnd);
    static int Next(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nFrom);

    CString m_strLast;
    CString m_strCounted;
    EEventPriority m_eCounted = PRIORITY_ALL;
    int m_nCountedRevision = -1;
    int m_nCount = 0;
};
