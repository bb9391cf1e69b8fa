// CEventEdit: the changes Nenpyo makes to an event table, each with what it takes to undo it.
// No toolkit. Indexes here are list positions (every event counts, as under PRIORITY_ALL).
#pragma once

#include <cstdint>

#include <corvane/EventData.h>
#include <corvane/YearEvent.h>
#include <framework/String.h>

class CEventEdit {
public:
    // Adds the event by date (after the events of the same year and date) and returns the list
    // index it got.
    static int Add(CYearEvent& table, const SEventData& data);

    // Replaces the event at list index nIndex as the table replaces events (in place when the date
    // is kept, else moved to its date) and returns its new list index; -1, nothing changed, when
    // there is no such event.
    static int Replace(CYearEvent& table, int nIndex, const SEventData& data);

    // Puts the event back at list index nIndex (0..GetLen()), as undoing a removal must, even
    // where the date order would not put it (an order the user chose by hand). Costs one pass
    // over the table when the date order does not put it there.
    static void InsertAt(CYearEvent& table, int nIndex, const SEventData& data);

    // The pair a move of the event at list index nIndex one place earlier (bUp) or later within
    // its year swaps, as the user sees the table under eFilter, as the table's own move would find
    // it: the list index of the earlier event of the pair (give it to Swap), or -1 when the event
    // cannot move (no neighbour of the same year; bHidden set when the neighbour is hidden by the
    // filter). Changes nothing and shows nothing.
    static int MovePair(const CYearEvent& table, int nIndex, bool bUp, EEventPriority eFilter, bool& bHidden);

    // Swaps the events at list indexes nIndex and nIndex + 1, which must be of one year (a move,
    // its undo and its redo). False, nothing changed, otherwise. Shows nothing.
    static bool Swap(CYearEvent& table, int nIndex);

    // Whether an event may be stored as the user gave it: a year other than 0, a month of 1 to 12
    // or none, a day only with a month, a date that exists (CCalendar::CheckDate: the months of
    // the lunisolar calendar up to 1872, Gregorian from 1873), and a text. False with the message
    // to show in strMessage.
    static bool Check(const SEventData& data, CString& strMessage);
};
