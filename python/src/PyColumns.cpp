// Columns, not objects: an event table as a pandas.DataFrame whose columns are built here, and the
// era dates of many dates at once. numpy is loaded on the first such call, pandas only by the
// calls that return its objects.
#include "Bindings.h"
#include "PyText.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <corvane/EraDateText.h>
#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>

namespace corvane_py {

namespace {

// A column of Python objects (str, Date or None), filled in place.
class CObjectColumn {
public:
    explicit CObjectColumn(py::ssize_t nSize) : m_array(py::dtype("O"), std::vector<py::ssize_t>{nSize}) {}

    void Set(py::ssize_t i, py::object value)
    {
        auto** ppSlot = static_cast<PyObject**>(m_array.mutable_data()) + i;
        Py_XDECREF(*ppSlot);
        *ppSlot = value.release().ptr();
    }
    const py::array& Array() const { return m_array; }

private:
    py::array m_array;
};

// A column of small whole numbers that may be missing: pandas' nullable integers.
template <typename T>
class CNullableColumn {
public:
    explicit CNullableColumn(py::ssize_t nSize) : m_values(nSize), m_mask(nSize)
    {
        m_pValues = m_values.mutable_data();
        m_pMask = m_mask.mutable_data();
    }

    void Set(py::ssize_t i, std::optional<T> value)
    {
        m_pValues[i] = value.value_or(T{0});
        m_pMask[i] = !value;
    }
    py::object Array(const py::module_& pandas) const { return pandas.attr("arrays").attr("IntegerArray")(m_values, m_mask); }

private:
    py::array_t<T> m_values;
    py::array_t<bool> m_mask;
    T* m_pValues = nullptr;
    bool* m_pMask = nullptr;
};

// The target of the first link of a text, or None (LinkTarget). Most texts have no markup.
py::object Link(const CString& strText)
{
    return strText.Find('<') < 0 ? py::object(py::none()) : LinkTarget(strText);
}

std::optional<std::int8_t> Part(int n, int nMax)
{
    return n >= 1 && n <= nMax ? std::optional<std::int8_t>(static_cast<std::int8_t>(n)) : std::nullopt;
}

py::object DataFrame(const py::module_& pandas, const py::dict& columns, py::handle index)
{
    if (index.is_none())
        return pandas.attr("DataFrame")(columns, py::arg("copy") = false);
    return pandas.attr("DataFrame")(columns, py::arg("index") = index, py::arg("copy") = false);
}

py::object ToDataFrame(const CYearEvent& events, py::handle priority)
{
    const EEventPriority eFilter = PriorityArg(priority);
    const py::module_ pandas = py::module_::import("pandas");
    py::ssize_t nSize = 0;
    for (const auto& pData : events.GetEventData())
        nSize += CYearEvent::IsShown(*pData, eFilter) ? 1 : 0;
    py::array_t<std::int32_t> year(nSize);
    py::array_t<bool> leap(nSize);
    py::array_t<std::int8_t> priorities(nSize);
    CNullableColumn<std::int8_t> month(nSize);
    CNullableColumn<std::int8_t> day(nSize);
    CObjectColumn text(nSize);
    CObjectColumn note(nSize);
    CObjectColumn link(nSize);
    auto* pYear = year.mutable_data();
    auto* pLeap = leap.mutable_data();
    auto* pPriority = priorities.mutable_data();
    const py::str empty("");
    py::ssize_t i = 0;
    for (const auto& pData : events.GetEventData()) {
        const SEventData& d = *pData;
        if (!CYearEvent::IsShown(d, eFilter))
            continue;
        pYear[i] = d.lYear;
        month.Set(i, d.nMonth == -1 ? std::nullopt : std::optional<std::int8_t>(static_cast<std::int8_t>(d.nMonth)));
        day.Set(i, d.nDay == -1 ? std::nullopt : std::optional<std::int8_t>(static_cast<std::int8_t>(d.nDay)));
        pLeap[i] = d.bLeapMonth;
        pPriority[i] = static_cast<std::int8_t>(d.nPriority);
        text.Set(i, ToStr(d.strEvent.View()));
        note.Set(i, d.strNote.IsEmpty() ? empty : ToStr(d.strNote.View()));
        link.Set(i, Link(d.strEvent));
        ++i;
    }
    py::dict columns;
    columns["year"] = year;
    columns["month"] = month.Array(pandas);
    columns["day"] = day.Array(pandas);
    columns["leap"] = leap;
    columns["text"] = text.Array();
    columns["note"] = note.Array();
    columns["priority"] = priorities;
    columns["link"] = link.Array();
    return DataFrame(pandas, columns, py::none());
}

// errors="raise" or "coerce".
bool Coerce(const std::string& strErrors)
{
    if (strErrors != "raise" && strErrors != "coerce")
        throw py::value_error("errors must be 'raise' or 'coerce', not " + strErrors);
    return strErrors == "coerce";
}

// A missing value as pandas and numpy write one: None, NaN, NaT.
bool IsMissing(py::handle value)
{
    if (value.is_none())
        return true;
    if (PyFloat_Check(value.ptr()))
        return std::isnan(PyFloat_AS_DOUBLE(value.ptr()));
    const std::string strType = py::str(py::type::handle_of(value).attr("__name__"));
    return strType == "NaTType" ||
           (strType == "datetime64" && py::module_::import("numpy").attr("isnat")(value).cast<bool>());
}

// The values as Python objects one by one: numpy's days become datetime.date (NaT None), a
// pandas.Series gives its values; anything else is iterated as it is. The index of a Series, else None.
std::pair<py::list, py::object> Values(py::handle values)
{
    if (py::hasattr(values, "dtype") && py::hasattr(values, "__len__")) {
        const py::object numpy = py::module_::import("numpy");
        py::object index = py::hasattr(values, "index") && py::hasattr(values, "iloc") ? values.attr("index")
                                                                                      : py::object(py::none());
        const py::object dtype = values.attr("dtype");
        if (py::hasattr(dtype, "kind") && py::str(dtype.attr("kind")).cast<std::string>() == "M")
            return {numpy.attr("asarray")(values).attr("astype")("datetime64[D]").attr("astype")("O").attr("tolist")(),
                    index};
        return {py::list(numpy.attr("asarray")(values, py::arg("dtype") = "O")), index};
    }
    if (py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
        throw py::type_error("the values must be a sequence of dates, not a single str");
    return {py::list(py::reinterpret_borrow<py::object>(values)), py::none()};
}

// A numpy datetime64 scalar as a datetime.date (NaT as None); anything else as it is.
py::object Scalar(py::handle value)
{
    if (py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>() == "datetime64")
        return value.attr("astype")("datetime64[D]").attr("item")();
    return py::reinterpret_borrow<py::object>(value);
}

// The era date of the date in the era in force that began last, as its index; -1 when none is.
int EraOf(const CGengouEra& eras, const SEraDate& date)
{
    const std::vector<int> indices = eras.GetIndicesInForce(date);
    return indices.empty() ? -1 : indices.back();
}

// The era dates of many dates, with their parts.
class CEraDates {
public:
    CEraDates(const CGengouEra& eras, py::ssize_t nSize) : m_eras(eras), m_names(eras.GetSize()), m_text(nSize),
        m_era(nSize), m_eraYear(nSize), m_month(nSize), m_day(nSize), m_leap(nSize)
    {
        m_pLeap = m_leap.mutable_data();
    }

    // Writes the era date of the date at i; false (and None) when no era of the table is in force.
    bool Set(py::ssize_t i, const SEraDate& date)
    {
        const int nIndex = EraOf(m_eras, date);
        if (nIndex < 0) {
            SetNone(i);
            return false;
        }
        m_text.Set(i, ToStr(m_eras.GetEraDateText(nIndex, date).View()));
        if (m_bParts) {
            m_era.Set(i, Name(nIndex));
            m_eraYear.Set(i, static_cast<std::int32_t>(std::int64_t{date.lYear} - m_eras.GetAt(nIndex).lBeginYear + 1));
            m_month.Set(i, Part(date.nMonth, 12));
            m_day.Set(i, Part(date.nDay, 31));
            m_pLeap[i] = date.bLeap;
        }
        return true;
    }

    void SetNone(py::ssize_t i)
    {
        m_text.Set(i, py::none());
        m_era.Set(i, py::none());
        m_eraYear.Set(i, std::nullopt);
        m_month.Set(i, std::nullopt);
        m_day.Set(i, std::nullopt);
        m_pLeap[i] = false;
    }

    void WithParts() { m_bParts = true; }

    py::object Result(py::handle index) const
    {
        if (!m_bParts) {
            if (index.is_none())
                return py::list(m_text.Array().attr("tolist")());
            return py::module_::import("pandas").attr("Series")(m_text.Array(), py::arg("index") = index);
        }
        const py::module_ pandas = py::module_::import("pandas");
        py::dict columns;
        columns["era"] = m_era.Array();
        columns["era_year"] = m_eraYear.Array(pandas);
        columns["month"] = m_month.Array(pandas);
        columns["leap"] = m_leap;
        columns["day"] = m_day.Array(pandas);
        columns["text"] = m_text.Array();
        return DataFrame(pandas, columns, index);
    }

private:
    // The name of an era without its markup, once for each era.
    py::object Name(int nIndex)
    {
        py::object& name = m_names[static_cast<std::size_t>(nIndex)];
        if (!name) {
            const CString strFirst = m_eras.GetEraDateText(nIndex, {m_eras.GetAt(nIndex).lBeginYear, 0, false, 0});
            name = ToStr(strFirst.Left(strFirst.GetLength() - CP932("元年").GetLength()).View());
        }
        return name;
    }

    const CGengouEra& m_eras;
    std::vector<py::object> m_names;
    bool m_bParts = false;
    CObjectColumn m_text;
    CObjectColumn m_era;
    CNullableColumn<std::int32_t> m_eraYear;
    CNullableColumn<std::int8_t> m_month;
    CNullableColumn<std::int8_t> m_day;
    py::array_t<bool> m_leap;
    bool* m_pLeap = nullptr;
};

py::object EraDatesOfEvents(const CGengouEra& eras, const CYearEvent& events, bool bCoerce, bool bParts)
{
    CEraDates result(eras, events.GetLen());
    if (bParts)
        result.WithParts();
    py::ssize_t i = 0;
    for (const auto& pData : events.GetEventData()) {
        const SEraDate date = EventDate(*pData);
        if (!result.Set(i, date) && !bCoerce)
            RaiseDateError(FormatWesternDate(date) + CP932("に当たる元号は表にありません"), py::str(ToStr(FormatWesternDate(date).View())));
        ++i;
    }
    return result.Result(py::none());
}

py::object EraDates(const CGengouEra& eras, py::handle values, const std::string& strErrors, bool bParts)
{
    const bool bCoerce = Coerce(strErrors);
    if (py::isinstance<CYearEvent>(values))
        return EraDatesOfEvents(eras, values.cast<const CYearEvent&>(), bCoerce, bParts);
    const auto [list, index] = Values(values);
    CEraDates result(eras, static_cast<py::ssize_t>(list.size()));
    if (bParts)
        result.WithParts();
    for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(list.size()); ++i) {
        const py::object value = Scalar(list[static_cast<std::size_t>(i)]);
        if (IsMissing(value)) {
            result.SetNone(i);
            continue;
        }
        try {
            const SEraDate date = DateArg(value, eras);
            if (!result.Set(i, date) && !bCoerce)
                RaiseDateError(FormatWesternDate(date) + CP932("に当たる元号は表にありません"), value);
        } catch (const py::error_already_set& e) {
            if (!bCoerce || !e.matches(PyExc_ValueError))
                throw;
            result.SetNone(i);
        } catch (const py::value_error&) {
            if (!bCoerce)
                throw;
            result.SetNone(i);
        }
    }
    return result.Result(index);
}

py::object ParseMany(const CGengouEra& eras, py::handle texts, const std::string& strErrors, bool bParts)
{
    const bool bCoerce = Coerce(strErrors);
    const auto [list, index] = Values(texts);
    const auto nSize = static_cast<py::ssize_t>(list.size());
    CObjectColumn dates(nSize);
    CNullableColumn<std::int32_t> year(nSize);
    CNullableColumn<std::int8_t> month(nSize);
    CNullableColumn<std::int8_t> day(nSize);
    py::array_t<bool> leap(nSize);
    auto* pLeap = leap.mutable_data();
    for (py::ssize_t i = 0; i < nSize; ++i) {
        const py::object text = list[static_cast<std::size_t>(i)];
        std::optional<SEraDate> date;
        if (!IsMissing(text)) {
            SParsedEraDate parsed;
            CString strError;
            std::optional<CString> strText;
            try {
                strText = DateText(text);
            } catch (const py::error_already_set&) {
                if (!bCoerce)
                    throw;
            }
            if (strText && ParseEraDateText(eras, *strText, parsed, strError))
                date = parsed.date;
            else if (strText && !bCoerce)
                RaiseDateError(strError, text);
        }
        dates.Set(i, date ? py::cast(*date) : py::none());
        year.Set(i, date ? std::optional<std::int32_t>(date->lYear) : std::nullopt);
        month.Set(i, date ? Part(date->nMonth, 12) : std::nullopt);
        day.Set(i, date ? Part(date->nDay, 31) : std::nullopt);
        pLeap[i] = date && date->bLeap;
    }
    if (!bParts) {
        if (index.is_none())
            return py::list(dates.Array().attr("tolist")());
        return py::module_::import("pandas").attr("Series")(dates.Array(), py::arg("index") = index);
    }
    const py::module_ pandas = py::module_::import("pandas");
    py::dict columns;
    columns["year"] = year.Array(pandas);
    columns["month"] = month.Array(pandas);
    columns["leap"] = leap;
    columns["day"] = day.Array(pandas);
    columns["date"] = dates.Array();
    return DataFrame(pandas, columns, index);
}

} // namespace

void BindColumns(py::module_& m)
{
    auto events = py::reinterpret_borrow<py::class_<CYearEvent>>(m.attr("Events"));
    events.def("to_dataframe", &ToDataFrame, py::arg("priority") = int{PRIORITY_ALL},
               "The events (of that priority and above) as a pandas.DataFrame, one row an event in list order: "
               "year (int32), month and day (Int8, <NA> where the event gives none), leap (bool), text and note "
               "(str), priority (int8) and link (str, or None). The columns are built without an Event object "
               "for each event.");

    auto eras = py::reinterpret_borrow<py::class_<CGengouEra>>(m.attr("Eras"));
    eras.def("era_dates", &EraDates, py::arg("values"), py::arg("errors") = "raise", py::arg("parts") = false,
             "The era dates (as era_date gives them) of many dates: a sequence, numpy array or pandas.Series "
             "of dates in any form era_date takes (pandas and numpy datetimes among them), or an Events table "
             "(the date of each event). None, NaN and NaT give None. errors='coerce' gives None for a date "
             "that is none or that no era of the table covers, instead of raising corvane.DateError. A list, "
             "or a Series on the index of a Series; with parts=True a pandas.DataFrame of the columns era, "
             "era_year (Int32), month, day (Int8), leap and text.");
    eras.def("parse_many", &ParseMany, py::arg("texts"), py::arg("errors") = "raise", py::arg("parts") = false,
             "The dates that many texts name (as parse reads them): a sequence, numpy array or pandas.Series of "
             "str. None, NaN and NaT give None; errors='coerce' gives None for a text that is no date instead "
             "of raising corvane.DateError. A list of corvane.Date (or None), or a Series on the index of a "
             "Series; with parts=True a pandas.DataFrame of the columns year (Int32), month, day (Int8), leap "
             "and date.");
}

} // namespace corvane_py
