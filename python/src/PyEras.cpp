// corvane.Era and corvane.Eras: era-name and period tables, and the era dates.
#include "Bindings.h"
#include "PyText.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <corvane/EraDateText.h>
#include <framework/Cp932.h>

namespace corvane_py {

namespace {

std::optional<SEraDate> DayOf(const SEraDate& date)
{
    return date.nMonth == 0 ? std::nullopt : std::optional<SEraDate>(date);
}

std::unique_ptr<CGengouEra> Load(const SPath& path, bool bPeriods, bool bStrict)
{
    if (bStrict)
        CheckStrictly(path, bPeriods ? ETableKind::Period : ETableKind::Era);
    const std::filesystem::path native = PathArg(path);
    auto pEras = std::make_unique<CGengouEra>();
    SFileStatus status;
    {
        const py::gil_scoped_release release;   // a new table, which no other thread can reach
        status = pEras->Load(native, bPeriods ? HEADER_JIDAI : HEADER_GENGOU);
    }
    Check(status, path);
    return pEras;
}

// The shipped era file: installed in share/tamber beside the package's dist-packages folder, in
// the package folder itself (a wheel), or in the source tree of a module run from its build folder.
py::object ShippedPath()
{
    const py::object os = py::module_::import("os");
    const py::object join = os.attr("path").attr("join");
    const py::object exists = os.attr("path").attr("exists");
    const py::object moduleDir = os.attr("path").attr("dirname")(py::module_::import("corvane").attr("__file__"));
    const py::object installed = join(moduleDir, CORVANE_PYTHON_TO_DATA, "ﾗｲﾌﾞﾗﾘ", "元号.lgn");
    if (exists(installed).cast<bool>())
        return os.attr("path").attr("normpath")(installed);
    const py::object inWheel = join(moduleDir, "元号.lgn");
    if (exists(inWheel).cast<bool>())
        return inWheel;
    const py::object inSource = join(TAMBER_SOURCE_DIR, "data", "ﾗｲﾌﾞﾗﾘ", "元号.lgn");
    if (exists(inSource).cast<bool>())
        return inSource;
    return installed;   // not there either: loading it says so
}

py::list Records(const CGengouEra& eras, const std::vector<int>& indices)
{
    py::list list;
    for (const int nIndex : indices)
        list.append(eras.GetAt(nIndex));
    return list;
}

// The index of the era in which the date is written: the one named, or the one in force that
// began last. Raises corvane.DateError (with the date as given) when there is none.
int IndexInForce(const CGengouEra& eras, const SEraDate& date, py::handle given, const std::optional<py::str>& era)
{
    const std::vector<int> indices = eras.GetIndicesInForce(date);
    if (!era) {
        if (indices.empty())
            RaiseDateError(FormatWesternDate(date) + CP932("に当たる元号は表にありません"), given);
        return indices.back();   // the era that began last: the new era of a year of change
    }
    const CString strEra = ToCp932(*era, "the era name");
    const int nIndex = eras.GetIndexFromName(strEra);
    if (nIndex < 0)
        throw py::value_error("the table has no era " + std::string(py::repr(*era)));
    if (std::find(indices.begin(), indices.end(), nIndex) == indices.end())
        RaiseDateError(strEra + CP932("は") + FormatWesternDate(date) + CP932("の元号ではありません"), given);
    return nIndex;
}

} // namespace

void BindEras(py::module_& m)
{
    py::class_<SGengouEraTable>(m, "Era", R"doc(
One era (or period) of an Eras table: a copy, read-only.

``begin`` and ``end`` are the Western years of its first and last year (inclusive; 32767 for an
era that has not ended). ``begin_date`` and ``end_date`` are the days it began and ended, where the
file gives them, else None.
)doc")
        .def_property_readonly("name", [](const SGengouEraTable& r) { return ToStr(r.strGengou.View()); },
                               "The name as stored (it may hold HTML markup).")
        .def_property_readonly("begin", [](const SGengouEraTable& r) { return r.lBeginYear; })
        .def_property_readonly("end", [](const SGengouEraTable& r) { return r.lEndYear; })
        .def_property_readonly("note", [](const SGengouEraTable& r) { return ToStr(r.strNote.View()); })
        .def_property_readonly("begin_date", [](const SGengouEraTable& r) { return DayOf(r.BeginDate()); })
        .def_property_readonly("end_date", [](const SGengouEraTable& r) { return DayOf(r.EndDate()); })
        .def(py::self == py::self)
        .def("__repr__", [](const SGengouEraTable& r) {
            return py::str("corvane.Era({!r}, {}, {})").format(ToStr(r.strGengou.View()), r.lBeginYear, r.lEndYear);
        });

    py::class_<CGengouEra>(m, "Eras", R"doc(
An era-name table (.lgn) or a period table (.ler): a sequence of Era records in file order, and the
era dates of the eras it holds.

Wherever a date is taken it may be a corvane.Date, a text in any form the reader reads
("1989-01-08", "平成元年1月8日", "H1.1.8", "慶応4年閏4月1日", ...) or a datetime.date from 1873 on.
A date that does not exist, or a text that is none, raises corvane.DateError.
)doc")
        .def(py::init<>(), "An empty table.")
        .def_static("load", &Load, py::arg("path"), py::arg("periods") = false, py::arg("strict") = false,
                    "Reads an era file (a period file with periods=True). Raises OSError (errno, filename) "
                    "or corvane.FormatError (filename, line, reason); with strict=True also for any line the "
                    "library's strict check finds (corvane.check).")
        .def_static("shipped", [] { return Load(ShippedPath(), false, false); },
                    "The era file shipped with the library: every Japanese era from 大化 to 令和, both courts "
                    "of 1331-1392.")
        .def_property_readonly("name", [](const CGengouEra& e) { return ToStr(e.GetTableName().View()); },
                               "The table's name.")
        .def_property_readonly("explanation", [](const CGengouEra& e) { return ToStr(e.GetExplanation().View()); })
        .def_property_readonly("path", [](const CGengouEra& e) { return ToStr(e.GetFileName().View()); },
                               "The file the table was loaded from ('' for a new table).")
        .def("__len__", &CGengouEra::GetSize)
        .def("__getitem__", [](const CGengouEra& e, int nIndex) {
            if (nIndex < 0)
                nIndex += e.GetSize();
            if (nIndex < 0 || nIndex >= e.GetSize())
                throw py::index_error("era index out of range");
            return e.GetAt(nIndex);
        })
        .def("__iter__", [](const CGengouEra& e) { return py::iter(py::cast(e.GetGengouEraTable())); })
        .def("eras_on", [](const CGengouEra& e, py::handle date) {
                 return Records(e, e.GetIndicesInForce(DateArg(date, e)));
             }, py::arg("date"),
             "The eras in force at some time of the date (of its day, month or year), in table order: one, "
             "two on a day of both courts (1331-1392) or on a change of era in a month or year, none before "
             "the first.")
        .def("era_date", [](const CGengouEra& e, py::handle date, std::optional<py::str> era) {
                 const SEraDate d = DateArg(date, e);
                 return ToStr(e.GetEraDateText(IndexInForce(e, d, date, era), d).View());
             }, py::arg("date"), py::arg("era") = py::none(),
             "The era date of the date: '平成元年1月8日', '慶応4年閏4月1日', '昭和64年1月', '令和元年'. In "
             "the era in force that began last (a year of change, known by year alone, is the new era's; of "
             "the two courts, the later one), or in the era named. Raises corvane.DateError when "
             "that era is not in force on the date, ValueError for a name the table does not hold.")
        .def("parse", [](const CGengouEra& e, const py::str& text) {
                 SParsedEraDate parsed;
                 CString strError;
                 if (!ParseEraDateText(e, DateText(text), parsed, strError))
                     RaiseDateError(strError, text);
                 return parsed.date;
             }, py::arg("text"),
             "The date a text names, in any of the forms the reader reads. Raises corvane.DateError, "
             "with the reason, for a text that is no date or a date that does not exist.");
}

} // namespace corvane_py
