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

// A month or day as a record holds it: -1 for None. The day within its month is CheckDate's.
std::int16_t ToPart(std::optional<int> n, const char* pszWhat, int nMax)
{
    if (!n)
        return kNone;
    if (*n < 1 || *n > nMax)
        throw py::value_error(std::string(pszWhat) + " must be None or 1 to " + std::to_string(nMax) + ", not " +
                              std::to_string(*n));
    return static_cast<std::int16_t>(*n);
}

// An event the library's calendar rule accepts: month 1-12 or none, a day only with a month and
// within that month, leap only with a month. Raises ValueError naming the field.
void CheckDate(const SEventData& data)
{
    if (data.nMonth == kNone) {
        if (data.nDay != kNone)
            throw py::value_error("day " + std::to_string(data.nDay) + " needs a month");
        if (data.bLeapMonth)
            throw py::value_error("leap needs a month");
        return;
    }
    static const CGengouEra s_noEras;   // the calendar alone: no era's days to place leap months
    CString strReason;
    const auto fail = [&strReason](const char* pszField) {
        throw py::value_error(std::string(pszField) + ": " + std::string(py::str(ToStr(strReason.View()))));
    };
    if (!s_noEras.IsValidDate({data.lYear, data.nMonth, data.bLeapMonth, 0}, &strReason))
        fail(data.bLeapMonth ? "leap" : "month");
    if (data.nDay != kNone && !s_noEras.IsValidDate({data.lYear, data.nMonth, data.bLeapMonth, data.nDay}, &strReason))
        fail("day");
}

std::int32_t CheckPriority(std::int32_t nPriority)
{
    if (nPriority < PRIORITY_HIGH || nPriority > PRIORITY_LOW)
        throw py::value_error("priority must be 0, 1 or 2 (Priority.HIGH, MIDDLE or LOW), not " +
                              std::to_string(nPriority));
    return nPriority;
}

// Sets one part of the date of an event, keeping the event as it was when the result is no date.
template <typename TSet>
void SetDatePart(SEventData& data, TSet set)
{
    SEventData changed = data;
    set(changed);
    CheckDate(changed);
    data = std::move(changed);
}

// The target of the first link of a text (code page 932), or None.
py::object Link(const CString& strText)
{
    return LinkTarget(strText);
}

} // namespace

py::object LinkTarget(const CString& strText)
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

namespace {

SEventData MakeEvent(std::int32_t lYear, const py::str& text, std::optional<int> month, std::optional<int> day,
                     bool bLeap, const py::str& note, std::int32_t nPriority)
{
    SEventData data;
    data.lYear = lYear;
    data.strEvent = ToCp932(text, "the event text");
    data.strNote = ToCp932(note, "the note");
    data.nMonth = ToPart(month, "month", 12);
    data.nDay = ToPart(day, "day", 31);
    data.bLeapMonth = bLeap;
    data.nPriority = CheckPriority(nPriority);
    CheckDate(data);
    return data;
}

std::unique_ptr<CYearEvent> Load(const SPath& path, bool bStrict)
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

// The list position of a Python index (negative from the end). Raises IndexError outside the table.
int Index(const CYearEvent& events, py::ssize_t nIndex)
{
    const py::ssize_t nSize = events.GetLen();
    if (nIndex < 0)
        nIndex += nSize;
    if (nIndex < 0 || nIndex >= nSize)
        throw py::index_error("event index out of range");
    return static_cast<int>(nIndex);
}

const SEventData& At(const CYearEvent& events, py::ssize_t nPosition)
{
    const int nSize = events.GetLen();
    const int nIndex = Index(events, nPosition);
    // From the nearer end of the list.
    const auto& list = events.GetEventData();
    if (nIndex <= nSize / 2)
        return **std::next(list.begin(), nIndex);
    return **std::prev(list.end(), nSize - nIndex);
}

// The events of the slice, in a new table with the same name and explanation.
std::unique_ptr<CYearEvent> Slice(const CYearEvent& events, const py::slice& slice)
{
    py::ssize_t nStart = 0;
    py::ssize_t nStop = 0;
    py::ssize_t nStep = 0;
    py::ssize_t nCount = 0;
    if (!slice.compute(events.GetLen(), &nStart, &nStop, &nStep, &nCount))
        throw py::error_already_set();
    std::vector<const SEventData*> all;
    all.reserve(static_cast<std::size_t>(events.GetLen()));
    for (const auto& pData : events.GetEventData())
        all.push_back(pData.get());
    auto pSlice = std::make_unique<CYearEvent>();
    pSlice->SetTableName(events.GetTableName());
    pSlice->SetExplanation(events.GetExplanation());
    for (py::ssize_t i = 0, n = nStart; i < nCount; ++i, n += nStep)
        pSlice->SetData(*all[static_cast<std::size_t>(n)], false, -1, PRIORITY_ALL);
    pSlice->SetModified(false);
    return pSlice;
}

} // namespace

EEventPriority PriorityArg(py::handle priority)
{
    if (!py::isinstance<py::int_>(priority) || py::isinstance<py::bool_>(priority))
        throw py::type_error("priority must be a corvane.Priority, not " +
                             std::string(py::str(py::type::handle_of(priority).attr("__name__"))));
    const auto n = priority.cast<long long>();
    if (n < PRIORITY_HIGH || n > PRIORITY_ALL)
        throw py::value_error("priority must be a corvane.Priority (HIGH, MIDDLE, LOW or ALL: 0 to 3), not " +
                              std::to_string(n));
    return static_cast<EEventPriority>(n);
}

SEraDate EventDate(const SEventData& d)
{
    const bool bMonth = d.nMonth >= 1 && d.nMonth <= 12;
    const bool bDay = bMonth && d.nDay >= 1 && d.nDay <= 31;
    return SEraDate{d.lYear, bMonth ? d.nMonth : 0, bMonth && d.bLeapMonth, bDay ? d.nDay : 0};
}

void BindEvents(py::module_& m)
{
    // A Python IntEnum, so that a Priority is an int wherever one is taken.
    const py::object priorityType = py::module_::import("enum").attr("IntEnum")(
        "Priority",
        py::make_tuple(py::make_tuple("HIGH", int{PRIORITY_HIGH}), py::make_tuple("MIDDLE", int{PRIORITY_MIDDLE}),
                       py::make_tuple("LOW", int{PRIORITY_LOW}), py::make_tuple("ALL", int{PRIORITY_ALL})),
        py::arg("module") = "corvane");
    priorityType.attr("__doc__") =
        "An event's display priority, and the filter of the priorities shown.\n\n"
        "As a record's priority: HIGH (0, the most important), MIDDLE (1) or LOW (2). As a filter "
        "(Events.filter, to_records, to_dataframe): HIGH shows priority 0 only, MIDDLE 0 and 1, LOW 0 to 2, "
        "ALL every event (never a record's priority).";
    m.attr("Priority") = priorityType;

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
                      [](SEventData& d, std::optional<int> n) {
                          SetDatePart(d, [&](SEventData& c) { c.nMonth = ToPart(n, "month", 12); });
                      })
        .def_property("day", [](const SEventData& d) { return Part(d.nDay); },
                      [](SEventData& d, std::optional<int> n) {
                          SetDatePart(d, [&](SEventData& c) { c.nDay = ToPart(n, "day", 31); });
                      })
        .def_property("leap", [](const SEventData& d) { return d.bLeapMonth; },
                      [](SEventData& d, bool b) { SetDatePart(d, [&](SEventData& c) { c.bLeapMonth = b; }); })
        .def_property("text", [](const SEventData& d) { return ToStr(d.strEvent.View()); },
                      [](SEventData& d, py::handle s) { d.strEvent = ToCp932(s, "the event text"); })
        .def_property("note", [](const SEventData& d) { return ToStr(d.strNote.View()); },
                      [](SEventData& d, py::handle s) { d.strNote = ToCp932(s, "the note"); })
        .def_property("priority", [](const SEventData& d) { return d.nPriority; },
                      [](SEventData& d, std::int32_t n) { d.nPriority = CheckPriority(n); })
        .def_property_readonly("link", [](const SEventData& d) { return Link(d.strEvent); })
        .def_property_readonly("date", &EventDate,
                               "The event's date as a corvane.Date, as far as its month and day are those of a "
                               "calendar.")
        .def(py::self == py::self)
        .def("__repr__", [](const SEventData& d) {
            return py::str("corvane.Event({}, {!r}, month={}, day={}, leap={}, note={!r}, priority={})")
                .format(d.lYear, ToStr(d.strEvent.View()), Part(d.nMonth), Part(d.nDay), d.bLeapMonth,
                        ToStr(d.strNote.View()), d.nPriority);
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
        .def("save", [](CYearEvent& e, const SPath& path) {
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
        .def("__getitem__", [](const CYearEvent& e, py::ssize_t nIndex) { return At(e, nIndex); })
        .def("__getitem__", &Slice, py::arg("slice"), "The events of a slice, as a new table of the same name.")
        .def("__setitem__", [](CYearEvent& e, py::ssize_t nIndex, const SEventData& data) {
                 e.SetAt(Index(e, nIndex), &data, PRIORITY_ALL);
                 e.SetModified(true);
             }, "Replaces the event at the index where it stands (the list is not re-sorted).")
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
        .def("filter", [](const CYearEvent& e, py::handle priority) {
                 const EEventPriority eFilter = PriorityArg(priority);
                 py::list list;
                 for (const auto& pData : e.GetEventData())
                     if (CYearEvent::IsShown(*pData, eFilter))
                         list.append(*pData);
                 return list;
             }, py::arg("priority"),
             "The events of that priority and above (Priority.HIGH: priority 0 only; Priority.ALL: every "
             "event), in list order. Raises ValueError for a value that is no Priority.")
        .def("to_records", [](const CYearEvent& e, py::handle priority) {
                 const EEventPriority eFilter = PriorityArg(priority);
                 const py::str keys[] = {py::str("year"), py::str("month"), py::str("day"), py::str("leap"),
                                         py::str("text"), py::str("note"), py::str("priority"), py::str("link")};
                 py::list list;
                 for (const auto& pData : e.GetEventData()) {
                     const SEventData& d = *pData;
                     if (!CYearEvent::IsShown(d, eFilter))
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
             }, py::arg("priority") = int{PRIORITY_ALL},
             "The events (of that priority and above) as dicts of plain values, keys year, month, day, "
             "leap, text, note, priority and link: pandas.DataFrame(events.to_records()) takes them as "
             "they are.");
}

} // namespace corvane_py
