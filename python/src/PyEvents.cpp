// corvane.Priority, corvane.Event and corvane.Events: event chronologies.
#include "Bindings.h"
#include "PyText.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <corvane/HtmlManage.h>
#include <corvane/YearEvent.h>

namespace corvane_py {

namespace {

constexpr std::int16_t kNone = -1;   // a month or day that the record does not give

std::optional<int> Part(std::int16_t n)
{
    return n == kNone ? std::nullopt : std::optional<int>(n);
}

std::int16_t ToPart(std::optional<int> n, const char* pszWhat)
{
    if (!n)
        return kNone;
    if (*n < 0 || *n > std::numeric_limits<std::int16_t>::max())
        throw py::value_error(std::string(pszWhat) + " must be None or 0 to 32767, not " + std::to_string(*n));
    return static_cast<std::int16_t>(*n);
}

// The target of the first link of a text (code page 932), or None.
py::object Link(const CString& strText)
{
    CString strLink;
    CString strLabel;
    int nStart = -1;
    int nEnd = -1;
    bool bFound = CHtmlManage::GetLinkFromString(strText, 0, strLink, strLabel, nStart, nEnd);
    if (!bFound && nStart > 0)
        bFound = CHtmlManage::GetLinkFromString(strText, nStart, strLink, strLabel, nStart, nEnd);
    return bFound ? py::object(ToStr(strLink.View())) : py::object(py::none());
}

SEventData MakeEvent(std::int32_t lYear, const py::str& text, std::optional<int> month, std::optional<int> day,
                     bool bLeap, const py::str& note, std::int32_t nPriority)
{
    SEventData data;
    data.lYear = lYear;
    data.strEvent = ToCp932(text, "the event text");
    data.strNote = ToCp932(note, "the note");
    data.nMonth = ToPart(month, "month");
    data.nDay = ToPart(day, "day");
    data.bLeapMonth = bLeap;
    data.nPriority = nPriority;
    return data;
}

std::unique_ptr<CYearEvent> Load(py::handle path, bool bStrict)
{
    if (bStrict)
        CheckStrictly(path, ETableKind::Event);
    const std::filesystem::path native = PathArg(path);
    auto pEvents = std::make_unique<CYearEvent>();
    SFileStatus status;
    {
        const py::gil_scoped_release release;   // a new table, which no other thread can reach
        status = pEvents->Load(native, false);
    }
    Check(status, path);
    return pEvents;
}

const SEventData& At(const CYearEvent& events, int nIndex)
{
    const int nSize = events.GetLen();
    if (nIndex < 0)
        nIndex += nSize;
    if (nIndex < 0 || nIndex >= nSize)
        throw py::index_error("event index out of range");
    // From the nearer end of the list.
    const auto& list = events.GetEventData();
    if (nIndex <= nSize / 2)
        return **std::next(list.begin(), nIndex);
    return **std::prev(list.end(), nSize - nIndex);
}

} // namespace

void BindEvents(py::module_& m)
{
    py::enum_<EEventPriority>(m, "Priority", py::arithmetic(),
                              "Display priorities (0 is the highest) and, as filters, the priorities shown.")
        .value("HIGH", PRIORITY_HIGH, "As a filter: priority 0 only.")
        .value("MIDDLE", PRIORITY_MIDDLE, "As a filter: priorities 0 and 1.")
        .value("LOW", PRIORITY_LOW, "As a filter: priorities 0 to 2.")
        .value("ALL", PRIORITY_ALL, "As a filter: every event. Never a record's priority.");

    py::class_<SEventData>(m, "Event", R"doc(
One event of a chronology: a copy; changing it changes no table (put it in with Events.add).

``month`` and ``day`` are None where the event gives none; before 1873 they are of the old calendar
(``leap`` for a leap month, 閏). ``text`` is one line and may hold HTML markup; ``link`` is the
target of its first link (<a href="...">), or None. ``priority`` is 0 (high) to 2 (low).
)doc")
        .def(py::init(&MakeEvent), py::arg("year"), py::arg("text"), py::arg("month") = py::none(),
             py::arg("day") = py::none(), py::arg("leap") = false, py::arg("note") = "", py::arg("priority") = 0)
        .def_readwrite("year", &SEventData::lYear)
        .def_property("month", [](const SEventData& d) { return Part(d.nMonth); },
                      [](SEventData& d, std::optional<int> n) { d.nMonth = ToPart(n, "month"); })
        .def_property("day", [](const SEventData& d) { return Part(d.nDay); },
                      [](SEventData& d, std::optional<int> n) { d.nDay = ToPart(n, "day"); })
        .def_readwrite("leap", &SEventData::bLeapMonth)
        .def_property("text", [](const SEventData& d) { return ToStr(d.strEvent.View()); },
                      [](SEventData& d, py::handle s) { d.strEvent = ToCp932(s, "the event text"); })
        .def_property("note", [](const SEventData& d) { return ToStr(d.strNote.View()); },
                      [](SEventData& d, py::handle s) { d.strNote = ToCp932(s, "the note"); })
        .def_readwrite("priority", &SEventData::nPriority)
        .def_property_readonly("link", [](const SEventData& d) { return Link(d.strEvent); })
        .def_property_readonly("date", [](const SEventData& d) {
                const bool bMonth = d.nMonth >= 1 && d.nMonth <= 12;
                const bool bDay = bMonth && d.nDay >= 1 && d.nDay <= 31;
                return SEraDate{d.lYear, bMonth ? d.nMonth : 0, bMonth && d.bLeapMonth, bDay ? d.nDay : 0};
            }, "The event's date as a corvane.Date, as far as its month and day are those of a calendar.")
        .def(py::self == py::self)
        .def("__repr__", [](const SEventData& d) {
            return py::str("corvane.Event({}, {!r}, month={}, day={}, leap={}, priority={})")
                .format(d.lYear, ToStr(d.strEvent.View()), Part(d.nMonth), Part(d.nDay), d.bLeapMonth, d.nPriority);
        });

    py::class_<CYearEvent>(m, "Events", R"doc(
An event chronology (.lev): a sequence of Event records in list order (normally by date).
)doc")
        .def(py::init<>(), "An empty chronology.")
        .def_static("load", &Load, py::arg("path"), py::arg("strict") = false,
                    "Reads an event file, keeping its order. Raises OSError (errno, filename) or "
                    "corvane.FormatError (filename, line, reason). With strict=True, also for any line the "
                    "library's strict check finds (corvane.check): a damaged line, and what the format "
                    "allows but the writer never writes (a record missing fields, a day that does not exist).")
        .def("save", [](CYearEvent& e, py::handle path) {
                 const std::filesystem::path native = PathArg(path);
                 Check(e.Save(native), path);
             }, py::arg("path"),
             "Writes the chronology as an event file (version 5), replacing the file atomically: on "
             "failure (OSError, or corvane.FormatError for a text no file can hold) the previous file is "
             "left exactly as it was.")
        .def_property("name", [](const CYearEvent& e) { return ToStr(e.GetTableName().View()); },
                      [](CYearEvent& e, py::handle s) { e.SetTableName(ToCp932(s, "the name")); })
        .def_property("explanation", [](const CYearEvent& e) { return ToStr(e.GetExplanation().View()); },
                      [](CYearEvent& e, py::handle s) { e.SetExplanation(ToCp932(s, "the explanation")); })
        .def_property_readonly("path", [](const CYearEvent& e) { return ToStr(e.GetFileName().View()); },
                               "The file last loaded or saved ('' for a new table).")
        .def("__len__", &CYearEvent::GetLen)
        .def("__getitem__", [](const CYearEvent& e, int nIndex) { return At(e, nIndex); })
        .def("__delitem__", [](CYearEvent& e, int nIndex) {
            const int nSize = e.GetLen();
            if (nIndex < 0)
                nIndex += nSize;
            if (nIndex < 0 || !e.RemoveAt(nIndex, PRIORITY_ALL, nullptr))
                throw py::index_error("event index out of range");
        })
        .def("__iter__", [](const CYearEvent& e) {
            py::list list(e.GetLen());
            py::ssize_t i = 0;
            for (const auto& pData : e.GetEventData())
                list[i++] = py::cast(*pData);
            return py::iter(list);
        })
        .def("add", [](CYearEvent& e, const SEventData& data) { e.SetData(data, true, -1, PRIORITY_ALL); },
             py::arg("event"), "Adds a copy of the event by date: after the events of its date.")
        .def("filter", [](const CYearEvent& e, int nFilter) {
                 py::list list;
                 for (const auto& pData : e.GetEventData())
                     if (CYearEvent::IsShown(*pData, static_cast<EEventPriority>(nFilter)))
                         list.append(*pData);
                 return list;
             }, py::arg("priority"),
             "The events of that priority and above (Priority.HIGH: priority 0 only; Priority.ALL: every "
             "event), in list order.")
        .def("to_records", [](const CYearEvent& e, int nFilter) {
                 const py::str keys[] = {py::str("year"), py::str("month"), py::str("day"), py::str("leap"),
                                         py::str("text"), py::str("note"), py::str("priority"), py::str("link")};
                 py::list list;
                 for (const auto& pData : e.GetEventData()) {
                     const SEventData& d = *pData;
                     if (!CYearEvent::IsShown(d, static_cast<EEventPriority>(nFilter)))
                         continue;
                     py::dict record;
                     record[keys[0]] = d.lYear;
                     record[keys[1]] = Part(d.nMonth);
                     record[keys[2]] = Part(d.nDay);
                     record[keys[3]] = d.bLeapMonth;
                     record[keys[4]] = ToStr(d.strEvent.View());
                     record[keys[5]] = ToStr(d.strNote.View());
                     record[keys[6]] = d.nPriority;
                     record[keys[7]] = Link(d.strEvent);
                     list.append(std::move(record));
                 }
                 return list;
             }, py::arg("priority") = PRIORITY_ALL,
             "The events (of that priority and above) as dicts of plain values, keys year, month, day, "
             "leap, text, note, priority and link: pandas.DataFrame(events.to_records()) takes them as "
             "they are.");
}

} // namespace corvane_py
