// corvane.Date and the date arguments of the module's functions.
#include "Bindings.h"
#include "PyText.h"

#include <cstdint>
#include <limits>
#include <optional>

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <corvane/EraDateText.h>
#include <framework/Cp932.h>

namespace corvane_py {

namespace {

constexpr std::int32_t kFirstGregorianYear = 1873;

// The years of the library: the 32-bit range without year 0 (1 BC is -1), as cycle() counts them.
std::int32_t Year(std::int64_t lYear)
{
    if (lYear < std::numeric_limits<std::int32_t>::min() || lYear > std::numeric_limits<std::int32_t>::max())
        throw py::value_error("year outside the 32-bit range: " + std::to_string(lYear));
    if (lYear == 0)
        throw py::value_error("there is no year 0: 1 BC is -1");
    return static_cast<std::int32_t>(lYear);
}

// A date of the parts given, checked only for its shape: the calendar is the era table's business.
SEraDate MakeDate(std::int64_t lYear, std::optional<int> month, std::optional<int> day, bool bLeap)
{
    if (month && (*month < 1 || *month > 12))
        throw py::value_error("month must be 1 to 12, not " + std::to_string(*month));
    if (day && (*day < 1 || *day > 31))
        throw py::value_error("day must be 1 to 31, not " + std::to_string(*day));
    if (!month && (day || bLeap))
        throw py::value_error("a day or a leap month needs a month");
    return {Year(lYear), month.value_or(0), bLeap, day.value_or(0)};
}

std::optional<int> Part(int n)
{
    return n == 0 ? std::nullopt : std::optional<int>(n);
}

} // namespace

[[noreturn]] void RaiseDateError(const CString& strReason, py::handle date)
{
    const py::str reason = ToStr(strReason.View());
    const py::str text = py::isinstance<py::str>(date) ? py::reinterpret_borrow<py::str>(date) : py::str(date);
    const py::object error = DateErrorType()(py::str("{}: {!r}").format(reason, text));
    error.attr("reason") = reason;
    error.attr("text") = text;
    PyErr_SetObject(DateErrorType().ptr(), error.ptr());
    throw py::error_already_set();
}

CString DateText(py::handle text)
{
    try {
        return ToCp932(text, "the date");
    } catch (const py::value_error&) {
        RaiseDateError(CP932("日付に使えない文字があります(コードページ932にない文字です)"), text);
    }
}

SEraDate DateArg(py::handle date, const CGengouEra& eras)
{
    if (py::isinstance<SEraDate>(date)) {
        const auto d = date.cast<SEraDate>();
        CString strError;
        if (!eras.IsValidDate(d, &strError))
            RaiseDateError(strError, date);
        return d;
    }
    if (py::isinstance<py::str>(date)) {
        SParsedEraDate parsed;
        CString strError;
        if (!ParseEraDateText(eras, DateText(date), parsed, strError))
            RaiseDateError(strError, date);
        return parsed.date;
    }
    const py::object dateType = py::module_::import("datetime").attr("date");
    if (py::isinstance(date, dateType)) {
        const auto lYear = date.attr("year").cast<std::int32_t>();
        if (lYear < kFirstGregorianYear)
            throw py::value_error("a datetime.date is a Gregorian day: before 1873 Japanese dates are of the old "
                                  "calendar, give a corvane.Date or a text");
        return {lYear, date.attr("month").cast<int>(), false, date.attr("day").cast<int>()};
    }
    throw py::type_error("a date is a corvane.Date, a str or a datetime.date, not " +
                         std::string(py::str(py::type::handle_of(date).attr("__name__"))));
}

void BindDate(py::module_& m)
{
    py::class_<SEraDate>(m, "Date", R"doc(
A day, a month or a year as Japanese chronologies write them.

Before 1873 the month and day are those of the old Japanese calendar (a leap month, 閏, follows the
month of the same number) and ``year`` is the Western year the Japanese year mostly falls in
(慶応3年12月9日 is ``Date(1867, 12, 9)``); from 1873 on they are Gregorian. Dates compare as
(year, month, leap, day), a missing month or day sorting first. Immutable and hashable.
)doc")
        .def(py::init(&MakeDate), py::arg("year"), py::arg("month") = py::none(), py::arg("day") = py::none(),
             py::arg("leap") = false,
             "Date(year, month=None, day=None, leap=False). Raises ValueError for year 0 (1 BC is -1, as in "
             "cycle()), a month outside 1-12, a day outside 1-31, or a day or leap flag without a month.")
        .def_property_readonly("year", [](const SEraDate& d) { return d.lYear; }, "The Western year.")
        .def_property_readonly("month", [](const SEraDate& d) { return Part(d.nMonth); }, "1-12, or None.")
        .def_property_readonly("day", [](const SEraDate& d) { return Part(d.nDay); }, "1-31, or None.")
        .def_property_readonly("leap", [](const SEraDate& d) { return d.bLeap; }, "True for a leap month (閏).")
        .def(py::self == py::self)
        .def(py::self != py::self)
        .def(py::self < py::self)
        .def(py::self <= py::self)
        .def(py::self > py::self)
        .def(py::self >= py::self)
        .def("__hash__", [](const SEraDate& d) {
            return py::hash(py::make_tuple(d.lYear, d.nMonth, d.bLeap, d.nDay));
        })
        .def("__str__", [](const SEraDate& d) { return ToStr(FormatWesternDate(d).View()); },
             "The Western form the era-date reader reads back: 1989-01-08, 1868-閏04-01, 1989-01, 1989.")
        .def("__repr__", [](const SEraDate& d) {
            std::string str = "corvane.Date(" + std::to_string(d.lYear);
            if (d.nMonth != 0)
                str += ", " + std::to_string(d.nMonth);
            if (d.nDay != 0)
                str += ", " + std::to_string(d.nDay);
            if (d.bLeap)
                str += ", leap=True";
            return str + ")";
        })
        .def(py::pickle([](const SEraDate& d) { return py::make_tuple(d.lYear, d.nMonth, d.bLeap, d.nDay); },
                        [](const py::tuple& t) {
                            return MakeDate(t[0].cast<std::int64_t>(), Part(t[1].cast<int>()),
                                            Part(t[3].cast<int>()), t[2].cast<bool>());
                        }));
}

} // namespace corvane_py
