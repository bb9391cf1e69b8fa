// The event file reader on whole files. Each input is written to a scratch file and read twice
// into one table, in file order and by date, and compared with a plain reading of the same bytes:
// lines split by hand, records put into a plain array (appended, or inserted before the first
// event that sorts after them). The year queries and indexed access, which walk the list from
// remembered places, are then checked against the array.
#include <corvane/YearEvent.h>

#include <framework/Numbers.h>

#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

namespace {

struct SModel {
    std::vector<SEventData> events;
    CString strTableName;
    CString strExplanation;
    bool bToday = false;
    bool bModified = false;
};

std::int32_t DateKey(const SEventData& d)
{
    return (d.nMonth == -1 ? 0 : d.nMonth) * 1000 + (d.bLeapMonth ? 100 : 0) + (d.nDay == -1 ? 0 : d.nDay);
}

void PlainAdd(std::vector<SEventData>& events, const SEventData& d, bool bSorted)
{
    auto it = events.end();
    if (bSorted) {
        it = std::find_if(events.begin(), events.end(), [&](const SEventData& e) {
            return e.lYear > d.lYear || (e.lYear == d.lYear && DateKey(e) > DateKey(d));
        });
    }
    events.insert(it, d);
}

// The fields after the year: each read from where the previous one ended; once one is missing
// (the line ended), every later one is missing too.
class CFields {
public:
    CFields(const CString& strLine, int nStart) : m_strLine(strLine), m_nNext(nStart) {}
    bool Next(CString& strField)
    {
        if (m_nNext < 0)
            return false;
        const int nEnd = CTableBase::GetElementFromCSV(m_strLine, m_nNext, strField);
        m_nNext = nEnd < 0 ? -1 : nEnd + 1;
        return nEnd >= 0;
    }

private:
    const CString& m_strLine;
    int m_nNext;
};

std::int16_t Short(CFields& fields)
{
    CString str;
    const std::int32_t n = fields.Next(str) ? Atoi32(str) : -1;
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(n, INT16_MIN, INT16_MAX));
}

CString Unescaped(CString str)
{
    str.Replace(CString("\\r\\n"), CString("\r\n"));
    return str;
}

// The plain reading: 0 when the whole file was read, else the message it fails with.
unsigned PlainRead(const std::vector<CString>& lines, bool bSorted, SModel& model)
{
    CString strKind;
    int nVersion = 0;
    if (!SplitFileHeader(lines, strKind, nVersion) || strKind != CP932("[出来事]"))
        return 61447;
    std::size_t nLine = 1;
    CString strField;
    if (nLine >= lines.size())
        return 61447;
    if (CTableBase::GetElementFromCSV(lines[nLine++], 0, strField) >= 0)
        model.strTableName = strField;
    if (nVersion >= 3) {
        if (nLine >= lines.size())
            return 61447;
        if (CTableBase::GetElementFromCSV(lines[nLine++], 0, strField) >= 0)
            model.strExplanation = Unescaped(strField);
    }
    if (nVersion >= 4) {
        if (nLine >= lines.size())
            return 61447;
        model.bToday = Atoi32(lines[nLine++]) != 0;
    } else {
        model.bToday = false;
    }
    for (; nLine < lines.size(); ++nLine) {
        const CString& strLine = lines[nLine];
        const int nComma = strLine.Find(',');
        if (nComma < 0)
            return 61447;
        SEventData d;
        d.lYear = Atoi32(strLine.Left(nComma));
        CFields fields(strLine, nComma + 1);
        d.nMonth = nVersion >= 2 ? Short(fields) : -1;
        d.nDay = nVersion >= 2 ? Short(fields) : -1;
        if (!fields.Next(d.strEvent))
            d.strEvent.Empty();
        CString strNote;
        if (fields.Next(strNote))
            d.strNote = Unescaped(strNote);
        d.nPriority = 0;
        CString strPriority;
        if (nVersion >= 1 && fields.Next(strPriority)) {
            const std::int32_t n = Atoi32(strPriority);
            d.nPriority = n < 0 || n > 2 ? 0 : n;
        }
        CString strLeap;
        d.bLeapMonth = nVersion >= 5 && fields.Next(strLeap) && strLeap == "1";
        PlainAdd(model.events, d, bSorted);
        model.bModified = true;
    }
    model.bModified = false;
    return 0;
}

bool Visible(const SEventData& d, EEventPriority eFilter)   // the query rule
{
    return eFilter == PRIORITY_ALL || d.nPriority <= eFilter;
}

void CheckQueries(const CYearEvent& table, const SModel& model)
{
    std::set<std::int32_t> years;
    for (const SEventData& d : model.events)
        years.insert(d.lYear);
    if (!model.events.empty())
        years.insert(model.events.front().lYear - 1);
    for (const EEventPriority eFilter : {PRIORITY_ALL, PRIORITY_HIGH, PRIORITY_MIDDLE}) {
        for (const std::int32_t lYear : years) {
            int nCount = 0;
            int nFirst = -1;
            int nVisible = 0;
            for (const SEventData& d : model.events) {
                if (!Visible(d, eFilter))
                    continue;
                if (d.lYear == lYear && nCount++ == 0)
                    nFirst = nVisible;
                ++nVisible;
            }
            FuzzCheck(table.GetNumOfYear(lYear, eFilter) == nCount);
            FuzzCheck(table.GetIndexFromYear(lYear, eFilter) == nFirst);
        }
        // Indexed access walks from remembered places: every index in turn, then backwards.
        std::vector<SEventData> visible;
        for (const SEventData& d : model.events) {
            if (eFilter == PRIORITY_LOW || eFilter == PRIORITY_ALL || d.nPriority <= eFilter)   // the index rule
                visible.push_back(d);
        }
        for (int i = static_cast<int>(visible.size()); i >= -1; --i) {
            SEventData d;
            const bool b = table.GetAt(i, &d, eFilter);
            FuzzCheck(b == (i >= 0 && i < static_cast<int>(visible.size())));
            FuzzCheck(!b || d == visible[static_cast<std::size_t>(i)]);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CRecordingHostUi& ui = FuzzHostUi();
    const CString& strFile = CFuzzFile::Get().Write(data, size);
    const std::vector<CString> lines = SplitFileLines(data, size);

    for (const bool bSorted : {false, true}) {
        CYearEvent table;
        SModel model;
        for (int nRound = 0; nRound < 2; ++nRound) {
            const unsigned nMessage = PlainRead(lines, bSorted, model);
            ui.Clear();
            const bool bRead = table.ReadFile(strFile, bSorted);
            FuzzCheck(bRead == (nMessage == 0));
            FuzzCheck(ui.m_nDialogs == 0);
            if (bRead) {
                FuzzCheck(ui.m_messages.empty());
            } else {
                FuzzCheck(ui.m_messages.size() == 1);
                FuzzCheck(ui.m_messages[0] == FuzzExpectedMessage(nMessage, strFile));
            }
            FuzzCheck(table.GetFileName() == strFile);
            FuzzCheck(table.GetTableName() == model.strTableName);
            FuzzCheck(table.GetExplanation() == model.strExplanation);
            FuzzCheck(table.GetTodayDate() == model.bToday);
            FuzzCheck(table.GetModified() == model.bModified);
            FuzzCheck(table.GetEventData().size() == model.events.size());
            std::size_t i = 0;
            for (const auto& pEvent : table.GetEventData())
                FuzzCheck(*pEvent == model.events[i++]);
        }
        if (model.events.size() <= 256)
            CheckQueries(table, model);
    }
    return 0;
}
