// The tables and records as values: copy.copy and copy.deepcopy (the same: a table holds no Python
// objects), pickle, and == by content.
#include "Bindings.h"
#include "PyText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pybind11/stl.h>

#include <corvane/BaseYear.h>

namespace corvane_py {

namespace {

// Texts travel through pickle as their code page 932 bytes, exactly as the table holds them.
py::bytes Bytes(const CString& str)
{
    return py::bytes(std::string(str.View()));
}

CString FromBytes(py::handle bytes)
{
    return CString(std::string_view(bytes.cast<std::string_view>()));
}

py::tuple EventState(const SEventData& d)
{
    return py::make_tuple(d.lYear, Bytes(d.strEvent), Bytes(d.strNote), d.nMonth, d.nDay, d.bLeapMonth, d.nPriority);
}

// A record as it was pickled, unchecked: a table read from a file may hold what Event() refuses.
SEventData EventOfState(const py::tuple& t)
{
    if (t.size() != 7)
        throw py::value_error("not the state of a corvane.Event");
    SEventData d;
    d.lYear = t[0].cast<std::int32_t>();
    d.strEvent = FromBytes(t[1]);
    d.strNote = FromBytes(t[2]);
    d.nMonth = t[3].cast<std::int16_t>();
    d.nDay = t[4].cast<std::int16_t>();
    d.bLeapMonth = t[5].cast<bool>();
    d.nPriority = t[6].cast<std::int32_t>();
    return d;
}

py::tuple EraState(const SGengouEraTable& r)
{
    return py::make_tuple(Bytes(r.strGengou), r.lBeginYear, r.lEndYear, Bytes(r.strNote), r.nBeginMonth,
                          r.bBeginLeap, r.nBeginDay, r.nEndMonth, r.bEndLeap, r.nEndDay);
}

SGengouEraTable EraOfState(const py::tuple& t)
{
    if (t.size() != 10)
        throw py::value_error("not the state of a corvane.Era");
    SGengouEraTable r;
    r.strGengou = FromBytes(t[0]);
    r.lBeginYear = t[1].cast<std::int32_t>();
    r.lEndYear = t[2].cast<std::int32_t>();
    r.strNote = FromBytes(t[3]);
    r.nBeginMonth = t[4].cast<int>();
    r.bBeginLeap = t[5].cast<bool>();
    r.nBeginDay = t[6].cast<int>();
    r.nEndMonth = t[7].cast<int>();
    r.bEndLeap = t[8].cast<bool>();
    r.nEndDay = t[9].cast<int>();
    return r;
}

// The base fields every table has: name, explanation and file name.
py::tuple BaseState(const CTableBase& table)
{
    return py::make_tuple(Bytes(table.GetTableName()), Bytes(table.GetExplanation()), Bytes(table.GetFileName()));
}

void SetBaseState(CTableBase& table, const py::tuple& t)
{
    if (t.size() != 3)
        throw py::value_error("not the state of a corvane table");
    table.SetTableName(FromBytes(t[0]));
    table.SetExplanation(FromBytes(t[1]));
    table.SetFileName(FromBytes(t[2]));
    table.SetModified(false);
}

bool SameBase(const CTableBase& a, const CTableBase& b)
{
    return a.GetTableName() == b.GetTableName() && a.GetExplanation() == b.GetExplanation();
}

bool SameEvents(const CYearEvent& a, const CYearEvent& b)
{
    if (!SameBase(a, b) || a.GetLen() != b.GetLen())
        return false;
    auto it = b.GetEventData().begin();
    for (const auto& pData : a.GetEventData())
        if (!(*pData == **it++))
            return false;
    return true;
}

// The fields of a base-year table beyond the base fields.
py::tuple BaseYearFields(const CBaseYear& b)
{
    CString strSupplement;
    b.GetSupplement(strSupplement);
    return py::make_tuple(b.GetBaseWesternYear(), b.GetEndWesternYear(), b.GetKazoe(), Bytes(strSupplement),
                          b.GetDisplayMinus(), b.GetMinus1(), b.GetEndYearPlus(), b.GetEndYearKaiki(),
                          b.GetBeginYearQuest(), b.GetEndYearQuest());
}

py::tuple BaseYearState(const CBaseYear& b)
{
    return py::make_tuple(BaseState(b), BaseYearFields(b));
}

std::unique_ptr<CBaseYear> BaseYearOfState(const py::tuple& t)
{
    const auto f = t.size() == 2 ? t[1].cast<py::tuple>() : py::tuple();
    if (f.size() != 10)
        throw py::value_error("not the state of a corvane.BaseYear");
    auto p = std::make_unique<CBaseYear>();
    p->SetBaseWesternYear(f[0].cast<std::int32_t>());
    p->SetEndWesternYear(f[1].cast<std::int32_t>());
    p->SetKazoe(f[2].cast<bool>());
    p->SetSupplement(FromBytes(f[3]));
    p->SetDisplayMinus(f[4].cast<bool>());
    p->SetMinus1(f[5].cast<bool>());
    p->SetEndYearPlus(f[6].cast<bool>());
    p->SetEndYearKaiki(f[7].cast<bool>());
    p->SetBeginYearQuest(f[8].cast<bool>());
    p->SetEndYearQuest(f[9].cast<bool>());
    SetBaseState(*p, t[0].cast<py::tuple>());
    return p;
}

// A day of an era as Era() takes it: a Date of that year with a month, or None.
void SetDay(std::optional<SEraDate> date, std::int32_t lYear, const char* pszWhat, int& nMonth, bool& bLeap,
            int& nDay)
{
    if (!date)
        return;
    if (date->lYear != lYear || date->nMonth == 0)
        throw py::value_error(std::string(pszWhat) + " must be a corvane.Date with a month in the year " +
                              std::to_string(lYear));
    nMonth = date->nMonth;
    bLeap = date->bLeap;
    nDay = date->nDay;
}

SGengouEraTable MakeEra(const py::str& name, std::int32_t lBegin, std::int32_t lEnd, const py::str& note,
                        std::optional<SEraDate> beginDate, std::optional<SEraDate> endDate)
{
    SGengouEraTable r;
    r.strGengou = ToCp932(name, "the era name");
    r.lBeginYear = lBegin;
    r.lEndYear = lEnd;
    r.strNote = ToCp932(note, "the note");
    if (lEnd < lBegin)
        throw py::value_error("end must not be before begin");
    SetDay(beginDate, lBegin, "begin_date", r.nBeginMonth, r.bBeginLeap, r.nBeginDay);
    SetDay(endDate, lEnd, "end_date", r.nEndMonth, r.bEndLeap, r.nEndDay);
    return r;
}

// copy.copy and copy.deepcopy of a class whose C++ copy is a full copy.
template <typename TClass, typename TCopy>
void DefCopy(TClass& cls, TCopy copy)
{
    cls.def("__copy__", copy).def("__deepcopy__", [copy](py::handle self, py::handle) { return copy(self); },
                                  py::arg("memo"));
}

template <typename T>
py::class_<T> Class(py::module_& m, const char* pszName)
{
    return py::reinterpret_borrow<py::class_<T>>(m.attr(pszName));
}

} // namespace

void BindValues(py::module_& m)
{
    auto date = Class<SEraDate>(m, "Date");   // pickled in PyDate.cpp; immutable, so a copy is itself
    DefCopy(date, [](py::handle self) { return py::reinterpret_borrow<py::object>(self); });

    auto event = Class<SEventData>(m, "Event");
    event.def(py::pickle(&EventState, &EventOfState));
    DefCopy(event, [](py::handle self) { return py::cast(self.cast<SEventData>()); });

    auto events = Class<CYearEvent>(m, "Events");
    events.def(py::pickle(
        [](const CYearEvent& e) {
            py::list records(e.GetLen());
            py::ssize_t i = 0;
            for (const auto& pData : e.GetEventData())
                records[i++] = EventState(*pData);
            return py::make_tuple(BaseState(e), records);
        },
        [](const py::tuple& t) {
            if (t.size() != 2)
                throw py::value_error("not the state of a corvane.Events");
            auto p = std::make_unique<CYearEvent>();
            for (const auto& record : t[1].cast<py::list>())
                p->SetData(EventOfState(record.cast<py::tuple>()), false, -1, PRIORITY_ALL);
            SetBaseState(*p, t[0].cast<py::tuple>());
            return p;
        }));
    DefCopy(events, [](py::handle self) {
        auto p = std::make_unique<CYearEvent>();
        *p = self.cast<const CYearEvent&>();
        return py::cast(std::move(p));
    });
    events.def("__eq__", [](const CYearEvent& a, py::handle b) -> py::object {
        if (!py::isinstance<CYearEvent>(b))
            return py::reinterpret_borrow<py::object>(Py_NotImplemented);
        return py::bool_(SameEvents(a, b.cast<const CYearEvent&>()));
    }, "Equal when name, explanation and every event (in order) are equal; the path does not count.");

    auto era = Class<SGengouEraTable>(m, "Era");
    era.def(py::init(&MakeEra), py::arg("name"), py::arg("begin"), py::arg("end"), py::arg("note") = "",
            py::arg("begin_date") = py::none(), py::arg("end_date") = py::none(),
            "An era of the years begin to end (inclusive), with the days it began and ended when known "
            "(corvane.Date of those years, with a month). Raises ValueError for an end before the begin or a "
            "day of another year.");
    era.def(py::pickle(&EraState, &EraOfState));
    DefCopy(era, [](py::handle self) { return py::cast(self.cast<SGengouEraTable>()); });

    auto eras = Class<CGengouEra>(m, "Eras");
    eras.def(py::pickle(
        [](const CGengouEra& e) {
            py::list records;
            for (const auto& r : e.GetGengouEraTable())
                records.append(EraState(r));
            return py::make_tuple(BaseState(e), records);
        },
        [](const py::tuple& t) {
            if (t.size() != 2)
                throw py::value_error("not the state of a corvane.Eras");
            auto p = std::make_unique<CGengouEra>();
            auto& records = p->GetGengoEraTable();
            for (const auto& record : t[1].cast<py::list>())
                records.push_back(EraOfState(record.cast<py::tuple>()));
            SetBaseState(*p, t[0].cast<py::tuple>());
            return p;
        }));
    DefCopy(eras, [](py::handle self) {
        auto p = std::make_unique<CGengouEra>();
        *p = self.cast<const CGengouEra&>();
        return py::cast(std::move(p));
    });
    eras.def("__eq__", [](const CGengouEra& a, py::handle b) -> py::object {
        if (!py::isinstance<CGengouEra>(b))
            return py::reinterpret_borrow<py::object>(Py_NotImplemented);
        const auto& other = b.cast<const CGengouEra&>();
        return py::bool_(SameBase(a, other) && a.GetGengouEraTable() == other.GetGengouEraTable());
    }, "Equal when name, explanation and every era (in order) are equal; the path does not count.");

    auto baseYear = Class<CBaseYear>(m, "BaseYear");
    baseYear.def(py::pickle(&BaseYearState, &BaseYearOfState));
    DefCopy(baseYear, [](py::handle self) { return py::cast(std::make_unique<CBaseYear>(self.cast<const CBaseYear&>())); });
    baseYear.def("__eq__", [](const CBaseYear& a, py::handle b) -> py::object {
        if (!py::isinstance<CBaseYear>(b))
            return py::reinterpret_borrow<py::object>(Py_NotImplemented);
        const auto& other = b.cast<const CBaseYear&>();
        return py::bool_(SameBase(a, other) && BaseYearFields(a).equal(BaseYearFields(other)));
    }, "Equal when every field is equal; the path does not count.");
}

} // namespace corvane_py
