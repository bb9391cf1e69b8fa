#include "WebPage.h"

#include <cmath>
#include <string_view>

#include <nlohmann/json.hpp>

#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>
#include <shared/chronology/ChronologyText.h>

#include "BandEvents.h"
#include "BandLayout.h"
#include "BandScale.h"
#include "NenpyoDoc.h"
#include "RowExport.h"
#include "WebResources.h"

using json = nlohmann::json;

namespace {

// Times go to the page as whole numbers of 2^-20 year (about 30 seconds), shorter than fractions:
// days from 701 on lie where the calendar puts them, at fractions of years of 353 to 385 days, so
// no coarser grid holds them all; a year of 2^31 stays below 2^53, exact in JavaScript.
constexpr double kTimeUnits = 1048576.0;

std::int64_t TimeUnits(double dTime)
{
    return std::llround(dTime * kTimeUnits);
}

std::string Utf8(const CString& str)
{
    return Cp932ToUtf8Lossy(str.View());
}

std::string PlainName(const CString& strName)
{
    CString strPlain;
    CHtmlManage().RemoveHtml(strName, strPlain);
    return Utf8(strPlain);
}

// The event text: a plain run as a string, a run with an address the page may link as
// [words, address]; a run with any other address is plain words.
json Runs(const std::vector<STextRun>& vRuns)
{
    json runs = json::array();
    for (const STextRun& run : vRuns) {
        if (!run.strLink.IsEmpty() && CRowExport::IsWebLink(run.strLink))
            runs.push_back(json::array({Utf8(run.strText), Utf8(run.strLink)}));
        else
            runs.push_back(Utf8(run.strText));
    }
    return runs;
}

// [year, year text, era year, period, base-year label, date, runs, note, band group, begin, end]
json Rows(const CNenpyoDoc& doc, EEventPriority eFilter)
{
    const CChronologyText text(&doc.Eras(), &doc.Periods(), doc.HasBaseYear() ? &doc.BaseYear() : nullptr);
    json rows = json::array();
    for (const auto& pRecord : doc.Events().GetEventData()) {
        const SEventData& data = *pRecord;
        if (!CYearEvent::IsShown(data, eFilter))
            continue;
        const SChronologyRow row = text.MakeRow(data);
        rows.push_back(json::array({
            data.lYear, Utf8(row.strYear), Utf8(row.strEraYear), Utf8(row.strPeriod), Utf8(row.strBaseYear),
            Utf8(CRowExport::ColumnText(row, COLUMN_DATE)), Runs(row.vTextRuns), Utf8(row.strNote),
            CBandEvents::GroupOf(data.nPriority),
            TimeUnits(CBandScale::DateStart(data.lYear, data.nMonth, data.bLeapMonth, data.nDay)),
            TimeUnits(CBandScale::DateEnd(data.lYear, data.nMonth, data.bLeapMonth, data.nDay)),
        }));
    }
    return rows;
}

// {"lanes": n, "spans": [[begin, end, lane, alone, name], ...]}
json Spans(const CGengouEra& table)
{
    const CGengouEraArray& records = table.GetGengouEraTable();
    const SBandSpans spans = CBandLayout::LayOutSpans(records);
    json out = {{"lanes", spans.nLanes}, {"spans", json::array()}};
    for (const SBandSpan& span : spans.vSpans) {
        out["spans"].push_back(json::array({TimeUnits(span.dBegin), TimeUnits(span.dEnd), span.nLane, span.bAlone,
                                            PlainName(records[static_cast<std::size_t>(span.nRecord)].strGengou)}));
    }
    return out;
}

// [[name, first year], ...] of every era, for going to an era date.
json EraStarts(const CGengouEra& table)
{
    json starts = json::array();
    for (const SGengouEraTable& rec : table.GetGengouEraTable())
        starts.push_back(json::array({PlainName(rec.strGengou), rec.lBeginYear}));
    return starts;
}

json BaseYear(const CNenpyoDoc& doc)
{
    if (!doc.HasBaseYear())
        return nullptr;
    const CBaseYear& base = doc.BaseYear();
    const std::int32_t lEnd = base.GetEndWesternYear();
    return json::array({base.GetBaseWesternYear(), lEnd == NO_END_YEAR ? json(nullptr) : json(lEnd),
                        Utf8(base.GetTableName())});
}

json Columns(const CNenpyoDoc& doc)
{
    json columns = json::array();
    for (int n = 0; n < COLUMN_COUNT; ++n) {
        if (CRowExport::HasColumn(doc, n))
            columns.push_back(json::array({n, Utf8(CRowExport::ColumnTitle(doc, n))}));
    }
    return columns;
}

std::string HtmlEscaped(std::string_view sv)
{
    std::string strOut;
    strOut.reserve(sv.size());
    for (const char ch : sv) {
        switch (ch) {
        case '&': strOut += "&amp;"; break;
        case '<': strOut += "&lt;"; break;
        case '>': strOut += "&gt;"; break;
        case '"': strOut += "&quot;"; break;
        default: strOut += ch; break;
        }
    }
    return strOut;
}

// The page template with each {{NAME}} replaced by what fills it; the fillings are not looked into.
std::string Fill(std::string_view svTemplate, const std::vector<std::pair<std::string_view, std::string>>& vFills)
{
    std::string strOut;
    std::size_t nPos = 0;
    while (nPos < svTemplate.size()) {
        const std::size_t nOpen = svTemplate.find("{{", nPos);
        const std::size_t nClose = nOpen == std::string_view::npos ? nOpen : svTemplate.find("}}", nOpen);
        if (nClose == std::string_view::npos) {
            strOut += svTemplate.substr(nPos);
            break;
        }
        strOut += svTemplate.substr(nPos, nOpen - nPos);
        const std::string_view svName = svTemplate.substr(nOpen + 2, nClose - nOpen - 2);
        for (const auto& [svKey, strFill] : vFills) {
            if (svKey == svName)
                strOut += strFill;
        }
        nPos = nClose + 2;
    }
    return strOut;
}

} // namespace

std::string CWebPage::ScriptSafe(const std::string& strJson)
{
    std::string strOut;
    strOut.reserve(strJson.size() + strJson.size() / 16);
    for (std::size_t i = 0; i < strJson.size(); ++i) {
        const char ch = strJson[i];
        if (ch == '<') {
            strOut += "\\u003c";
        } else if (ch == '\xE2' && i + 2 < strJson.size() && strJson[i + 1] == '\x80' &&
                   (strJson[i + 2] == '\xA8' || strJson[i + 2] == '\xA9')) {
            strOut += strJson[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            strOut += ch;
        }
    }
    return strOut;
}

std::string CWebPage::Data(const CNenpyoDoc& doc, EEventPriority eFilter)
{
    const json data = {
        {"name", Utf8(doc.Events().GetTableName())},
        {"explanation", Utf8(doc.Events().GetExplanation())},
        {"priority", CBandEvents::GroupsShown(eFilter)},
        {"timeUnits", kTimeUnits},
        {"columns", Columns(doc)},
        {"rows", Rows(doc, eFilter)},
        {"periods", Spans(doc.Periods())},
        {"eras", Spans(doc.Eras())},
        {"eraStarts", EraStarts(doc.Eras())},
        {"baseYear", BaseYear(doc)},
    };
    return ScriptSafe(data.dump(-1, ' ', false, json::error_handler_t::replace));
}

std::string CWebPage::Page(const CNenpyoDoc& doc, EEventPriority eFilter)
{
    std::string strTitle = HtmlEscaped(Utf8(doc.Events().GetTableName()));
    if (strTitle.empty())
        strTitle = HtmlEscaped("年表");
    return Fill(kWebPageHtml, {
        {"TITLE", strTitle},
        {"EXPLANATION", HtmlEscaped(Utf8(doc.Events().GetExplanation()))},
        {"STYLE", kWebPageCss},
        {"SCRIPT", kWebPageJs},
        {"DATA", Data(doc, eFilter)},
    });
}

SFileStatus CWebPage::Write(const CNenpyoDoc& doc, EEventPriority eFilter, const std::filesystem::path& path)
{
    return CRowExport::WriteFile(path, Page(doc, eFilter));
}
