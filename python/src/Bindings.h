// The parts of the corvane module, each bound by its own file (Module.cpp calls them in order).
#pragma once

#include <pybind11/pybind11.h>

#include <corvane/GengouEra.h>
#include <corvane/TableKind.h>

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

// A date as the functions take it: a corvane.Date, a text that the era-date reader reads against
// eras, or a datetime.date (a day from 1873 on, when the calendar is Gregorian). Raises TypeError
// for anything else and corvane.DateError for a text that is no date or an earlier datetime.date.
SEraDate DateArg(py::handle date, const CGengouEra& eras);

// Raises corvane.DateError with the reason (code page 932) and the text that was not a date.
[[noreturn]] void RaiseDateError(const CString& strReason, py::handle text);

// The exception types the module creates (Module.cpp).
py::object& DateErrorType();

} // namespace corvane_py
