// corvane.BaseYear, corvane.cycle and corvane.years_of: counts from a base year and the
// sexagenary years (干支).
#include "Bindings.h"
#include "PyText.h"

#include <cstdint>
#include <memory>
#include <optional>

#include <pybind11/stl.h>

#include <corvane/BaseYear.h>
#include <corvane/SexagenaryCycle.h>

namespace corvane_py {

namespace {

std::unique_ptr<CBaseYear> Load(const SPath& path, bool bStrict)
{
    if (bStrict)
        CheckStrictly(path, ETableKind::BaseYear);
    const std::filesystem::path native = PathArg(path);
    auto pTable = std::make_unique<CBaseYear>();
    SFileStatus status;
    {
        const py::gil_scoped_release release;   // a new table, which no other thread can reach
        status = pTable->Load(native);
    }
    Check(status, path);
    return pTable;
}

py::str Name(const char* pszCp932)
{
    return ToStr(pszCp932);
}

py::tuple Cycle(std::int32_t lYear)
{
    const CSexagenaryCycle cycle;
    int nStem = 0;
    int nBranch = 0;
    if (!cycle.YearToStemBranch(lYear, nStem, nBranch))
        throw py::value_error("there is no year 0: 1 BC is -1");   // as corvane.Date says
    const char* pszStem = nullptr;
    const char* pszBranch = nullptr;
    const char* pszStemReading = nullptr;
    const char* pszBranchReading = nullptr;
    const char* pszAnimal = nullptr;
    cycle.GetStemName(nStem, pszStem);
    cycle.GetBranchName(nBranch, pszBranch);
    cycle.GetStemReading(nStem, pszStemReading);
    cycle.GetBranchReading(nBranch, pszBranchReading);
    cycle.GetAnimalName(nBranch, pszAnimal);
    return py::make_tuple(Name(pszStem), Name(pszBranch), ToStr((CString(pszStemReading) + pszBranchReading).View()),
                          Name(pszAnimal));
}

// The years of a pair from start to end as a range of astronomical years (1 BC is 0), in which
// they recur at a fixed step: corvane.Years maps them back to the years without year 0.
py::object YearsOf(const py::str& pair, std::int32_t lStart, std::int32_t lEnd)
{
    const CSexagenaryCycle cycle;
    const CString strPair = ToCp932(pair, "the pair");
    // A stem and a branch, or a branch alone (any stem); each a double-byte character.
    const bool bStem = strPair.GetLength() == 4;
    int nStem = CSexagenaryCycle::NO_STEM;
    int nBranch = -1;
    if (bStem) {
        for (int n = 0; n < CSexagenaryCycle::STEM_COUNT; ++n) {
            CString strStem;
            cycle.GetStemName(n, strStem);
            if (strStem == strPair.Left(2))
                nStem = n;
        }
    }
    const bool bShape = strPair.GetLength() == 2 || (bStem && nStem != CSexagenaryCycle::NO_STEM);
    if (!bShape || !cycle.FindBranch(strPair.Right(2), nBranch) || (bStem && nStem % 2 != nBranch % 2))
        throw py::value_error("not a sexagenary pair (such as 甲子) nor a branch (such as 子): " +
                              std::string(py::repr(pair)));
    const auto astronomical = [](std::int32_t lYear) { return lYear < 0 ? std::int64_t{lYear} + 1 : lYear; };
    const std::int64_t nStep = bStem ? 60 : 12;
    std::int32_t lFirst = 0;
    const py::object range = py::module_::import("builtins").attr("range");
    if (lStart > lEnd || !cycle.FindNearestYear(nStem, nBranch, lStart, NEAREST_ON_OR_AFTER, lFirst) || lFirst > lEnd)
        return range(0);
    const std::int64_t nFirst = astronomical(lFirst);
    const std::int64_t nLast = nFirst + (astronomical(lEnd) - nFirst) / nStep * nStep;
    return range(nFirst, nLast + 1, nStep);
}

} // namespace

void BindYears(py::module_& m)
{
    py::class_<CBaseYear>(m, "BaseYear", R"doc(
A base-year table (.lby): labels the years of a chronology with their count from a base year, up to
an optional end year, and after it (+N), under the table's counting options.
)doc")
        .def(py::init<>(), "An empty table (base year and end year as a new table in the program has them).")
        .def_static("load", &Load, py::arg("path"), py::arg("strict") = false,
                    "Reads a base-year file. Raises OSError (errno, filename) or corvane.FormatError "
                    "(filename, line, reason); with strict=True also for any line the library's strict "
                    "check finds (corvane.check).")
        .def_property_readonly("name", [](const CBaseYear& b) { return ToStr(b.GetTableName().View()); })
        .def_property_readonly("path", [](const CBaseYear& b) { return ToStr(b.GetFileName().View()); },
                               "The file the table was loaded from.")
        .def_property_readonly("base", &CBaseYear::GetBaseWesternYear, "The base year (Western).")
        .def_property_readonly("end", [](const CBaseYear& b) {
                return b.GetEndWesternYear() == NO_END_YEAR ? std::nullopt
                                                            : std::optional<std::int32_t>(b.GetEndWesternYear());
            }, "The end year (Western), or None.")
        .def("label", [](const CBaseYear& b, std::int32_t lYear) {
                 CString strLabel;
                 return b.MakeBaseYearStr(lYear, strLabel) ? std::optional<py::str>(ToStr(strLabel.View()))
                                                           : std::nullopt;
             }, py::arg("year"),
             "The label of the Western year: '12', '3?', '--' or '+5'; None for a year the table does not label.");

    m.def("cycle", &Cycle, py::arg("year"),
          "The sexagenary pair of a Western year (negative before the Western era; there is no year 0): "
          "(stem, branch, readings, animal), such as ('甲', '子', 'きのえね', 'ねずみ') for 1984.");
    // corvane.years_of (corvane/_years.py) wraps it in a lazy sequence.
    m.def("_years_of", &YearsOf, py::arg("pair"), py::arg("start"), py::arg("end"),
          "The years of years_of(pair, start, end) as a range of astronomical years (1 BC is 0).");
}

} // namespace corvane_py
