// The parts of the corvane module, each bound by its own file (Module.cpp calls them in order).
#pragma once

#include <pybind11/pybind11.h>

#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <corvane/TableKind.h>
#include <corvane/YearEvent.h>

namespace corvane_py {

namespace py = pybind11;

void BindDate(py::module_& m);     // Date (PyDate.cpp)
void BindEras(py::module_& m);     // Era, Eras (PyEras.cpp)
void BindEvents(py::module_& m);   // Priority, Event, Events (PyEvents.cpp)
void BindYears(py::module_& m);    // BaseYear, cycle, years_of (PyYears.cpp)
void BindCheck(py::module_& m);    // Finding, check (PyCheck.cpp)

// For a load with strict=True: raises corvane.FormatError (filename, line, reason) for the first
// finding of the library's strict check (its first error, else its first warning), OSError when
// the file cannot be read.
void CheckStrictly(py::handle path, ETableKind eKind);
void BindColumns(py::module_& m);  // Events.to_dataframe, Eras.era_dates, Eras.parse_many (PyColumns.cpp)
void BindValues(py::module_& m);   // copy, pickle and == of the tables and records (PyValues.cpp)

// A priority filter: a Priority (or the int of one, 0-3). Raises ValueError for another int and
// TypeError for anything else.
EEventPriority PriorityArg(py::handle priority);

// The target of the first link of an event text (code page 932), or None.
py::object LinkTarget(const CString& strText);

// The event's date as a Date, as far as its month and day are those of a calendar.
SEraDate EventDate(const SEventData& data);

// A date as the functions take it: a corvane.Date, a text that the era-date reader reads against
// eras, or a datetime.date (a day from 1873 on, when the calendar is Gregorian). Raises TypeError
// for anything else and corvane.DateError for a text that is no date or an earlier datetime.date.
SEraDate DateArg(py::handle date, const CGengouEra& eras);

// Raises corvane.DateError with the reason (code page 932, Japanese) and the date as given (text:
// a str as it is, any other date as its str()).
[[noreturn]] void RaiseDateError(const CString& strReason, py::handle date);

// The code page 932 form of a date text. Raises corvane.DateError for a character that code page
// 932 cannot hold, TypeError for an object that is not a str.
CString DateText(py::handle text);

// The exception types the module creates (Module.cpp).
py::object& DateErrorType();

} // namespace corvane_py
