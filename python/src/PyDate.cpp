// corvane.Date and the date arguments of the module's functions.
#include "Bindings.h"
#include "PyText.h"

#include <cstdint>
#include <limits>
#include <optional>

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <corvane/Calendar.h>
#include <corvane/EraDateText.h>
#include <corvane/SexagenaryCycle.h>
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

std::optional<std::int64_t> Jdn(const SEraDate& d)
{
    std::int64_t lJdn = 0;
    return CCalendar::JdnOfDate(d, lJdn) ? std::optional<std::int64_t>(lJdn) : std::nullopt;
}

// The day number of d; ValueError when it has none.
std::int64_t NeedJdn(const SEraDate& d)
{
    const std::optional<std::int64_t> jdn = Jdn(d);
    if (!jdn)
        throw py::value_error("the date has no day number: a day from 701-02-13 (Julian) on that exists");
    return *jdn;
}

SEraDate FromJdn(std::int64_t lJdn)
{
    SEraDate date;
    if (lJdn < CCalendar::FIRST_JDN || !CCalendar::DateOfJdn(lJdn, date))
        throw py::value_error("no date of day number " + std::to_string(lJdn) + ": the days begin at " +
                              std::to_string(CCalendar::FIRST_JDN) + " (701-02-13, Julian)");
    return date;
}

// The date of a Western day of the Julian or the proleptic Gregorian calendar.
SEraDate FromWestern(std::int64_t lYear, int nMonth, int nDay, bool bJulian)
{
    const SWesternDate western{Year(lYear), nMonth, nDay};
    std::int64_t lJdn = 0;
    if (!(bJulian ? CCalendar::JulianToJdn(western, lJdn) : CCalendar::GregorianToJdn(western, lJdn)))
        throw py::value_error(std::string(bJulian ? "no Julian day " : "no Gregorian day ") + std::to_string(lYear) +
                              "-" + std::to_string(nMonth) + "-" + std::to_string(nDay));
    return FromJdn(lJdn);
}

SEraDate FromGregorian(py::handle date)
{
    return FromWestern(date.attr("year").cast<std::int64_t>(), date.attr("month").cast<int>(),
                       date.attr("day").cast<int>(), false);
}

py::object ToGregorian(const SEraDate& d)
{
    SWesternDate western;
    if (!CCalendar::JdnToGregorian(NeedJdn(d), western) || western.lYear < 1 || western.lYear > 9999)
        throw py::value_error("the day lies outside the years 1-9999 of datetime.date");
    return py::module_::import("datetime").attr("date")(western.lYear, western.nMonth, western.nDay);
}

py::tuple ToJulian(const SEraDate& d)
{
    SWesternDate western;
    if (!CCalendar::JdnToJulian(NeedJdn(d), western))
        throw py::value_error("the Julian year does not fit 32 bits");
    return py::make_tuple(western.lYear, western.nMonth, western.nDay);
}

std::optional<py::str> SexagenaryDay(const SEraDate& d)
{
    const std::optional<std::int64_t> jdn = Jdn(d);
    if (!jdn)
        return std::nullopt;
    const int nCycle = CCalendar::SexagenaryDay(*jdn);
    CString strStem;
    CString strBranch;
    CSexagenaryCycle().GetStemName(nCycle % 10, strStem);
    CSexagenaryCycle().GetBranchName(nCycle % 12, strBranch);
    return ToStr((strStem + strBranch).View());
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
    if (py::isinstance(date, dateType))   // a Gregorian day: before 1873 the old-calendar date of that day
        return FromGregorian(date);
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
        .def_property_readonly("jdn", &Jdn,
                               "The Julian Day Number of the day, or None: for a month, a year, a date that does "
                               "not exist and an old-calendar day before 701-02-13 (Julian).")
        .def_property_readonly(
            "weekday", [](const SEraDate& d) { return Jdn(d) ? std::optional<int>(CCalendar::Weekday(*Jdn(d))) : std::nullopt; },
            "0 Monday ... 6 Sunday, or None where jdn is None.")
        .def_property_readonly("sexagenary_day", &SexagenaryDay, "The day's 干支 (戊午), or None where jdn is None.")
        .def_static("from_jdn", &FromJdn, py::arg("jdn"),
                    "The date of a Julian Day Number from 1977142 (701-02-13) on: old-calendar before 1873. "
                    "ValueError before.")
        .def_static("from_gregorian", &FromGregorian, py::arg("date"),
                    "The date of a datetime.date (a proleptic Gregorian day) from 701-02-13 (Julian) on.")
        .def_static(
            "from_julian",
            [](std::int64_t lYear, int nMonth, int nDay) { return FromWestern(lYear, nMonth, nDay, true); },
            py::arg("year"), py::arg("month"), py::arg("day"),
            "The date of a day of the Julian calendar from 701-02-13 on. ValueError for a day that does not exist.")
        .def("to_gregorian", &ToGregorian,
             "The day as a datetime.date (proleptic Gregorian, as Python's). ValueError where jdn is None.")
        .def("to_julian", &ToJulian, "The day in the Julian calendar: (year, month, day). ValueError where jdn is None.")
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
