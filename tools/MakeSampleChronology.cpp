// Writes the sample chronology that Nenpyo ships (日本史.lev, 日本史.lby and the document
// 日本史.nenpyo that ties them to the era and period files) from its UTF-8 source:
//
//     make-sample-chronology tools/sample/日本史.txt data/年表
//
// The era and period files are taken from ﾗｲﾌﾞﾗﾘ beside the output folder, so that the document
// names them as ../ﾗｲﾌﾞﾗﾘ/元号.lgn and ../ﾗｲﾌﾞﾗﾘ/時代.ler wherever the two folders go together.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <framework/Cp932.h>

#include "EventEdit.h"
#include "NenpyoDoc.h"

namespace {

bool ToCp932(const std::string& strUtf8, CString& str, int nLine)
{
    if (Utf8ToCp932(strUtf8, str))
        return true;
    std::fprintf(stderr, "line %d: text without a code page 932 form\n", nLine);
    return false;
}

std::vector<std::string> Split(const std::string& str, char chSeparator)
{
    std::vector<std::string> parts(1);
    for (const char ch : str) {
        if (ch == chSeparator)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    return parts;
}

// "", "9", "9/15", "閏7/1" into the event's month, leap flag and day.
bool ParseDate(std::string strDate, SEventData& data)
{
    data.nMonth = data.nDay = -1;
    data.bLeapMonth = strDate.rfind("閏", 0) == 0;
    if (data.bLeapMonth)
        strDate.erase(0, std::string("閏").size());
    if (strDate.empty())
        return !data.bLeapMonth;
    const std::vector<std::string> parts = Split(strDate, '/');
    try {
        data.nMonth = static_cast<std::int16_t>(std::stoi(parts[0]));
        if (parts.size() > 1)
            data.nDay = static_cast<std::int16_t>(std::stoi(parts[1]));
    } catch (const std::exception&) {
        return false;
    }
    return parts.size() <= 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-sample-chronology SOURCE.txt OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[2]).lexically_normal();
    CNenpyoDoc doc;
    CNenpyoDoc::SDefaults defaults;
    defaults.eraFile = out.parent_path() / u8"ﾗｲﾌﾞﾗﾘ" / u8"元号.lgn";
    defaults.periodFile = out.parent_path() / u8"ﾗｲﾌﾞﾗﾘ" / u8"時代.ler";
    doc.New(defaults);
    if (!doc.Warnings().empty() || doc.Eras().GetSize() == 0 || doc.Periods().GetSize() == 0) {
        std::fprintf(stderr, "the era and period files are not in ﾗｲﾌﾞﾗﾘ beside %s\n", argv[2]);
        return 1;
    }

    CYearEvent& events = doc.Events();
    events.SetTableName(LiteralToCp932("日本史の主な出来事"));
    events.SetExplanation(LiteralToCp932("日本の歴史の主な出来事です。1872年(明治5年)までの月日は旧暦です。\r\n"
                                         "表示優先度: 高は教科書の太字ほどの出来事、中・低はその前後の出来事です。"));
    std::ifstream in(argv[1]);
    std::string strLine;
    int nLine = 0;
    while (std::getline(in, strLine)) {
        ++nLine;
        if (strLine.empty() || strLine[0] == '#')
            continue;
        const std::vector<std::string> fields = Split(strLine, '|');
        SEventData data;
        CString strMessage;
        if (fields.size() != 5 || !ParseDate(fields[1], data) || !ToCp932(fields[3], data.strEvent, nLine) ||
            !ToCp932(fields[4], data.strNote, nLine)) {
            std::fprintf(stderr, "line %d: not year|date|priority|text|note\n", nLine);
            return 1;
        }
        data.lYear = std::stoi(fields[0]);
        data.nPriority = std::stoi(fields[2]);
        if (!CEventEdit::Check(data, strMessage)) {
            std::fprintf(stderr, "line %d: %s\n", nLine, Cp932ToUtf8Lossy(strMessage.View()).c_str());
            return 1;
        }
        CEventEdit::Add(events, data);
    }

    doc.SetHasBaseYear(true);
    CBaseYear& baseYear = doc.BaseYear();
    baseYear.SetTableName(LiteralToCp932("江戸幕府"));
    baseYear.SetBaseWesternYear(1603);
    baseYear.SetEndWesternYear(1867);
    baseYear.SetEndYearPlus(true);
    baseYear.SetSupplement(LiteralToCp932("江戸幕府が開かれた1603年を0年として大政奉還の1867年まで数え、"
                                          "その後の年は +N で表します。"));

    std::filesystem::path failed;
    const SFileStatus status = doc.Save(out / u8"日本史.nenpyo", failed);
    if (!status.Ok()) {
        std::fprintf(stderr, "%s\n", FormatFileStatusUtf8(status, CNenpyoDoc::Utf8(failed)).c_str());
        return 1;
    }
    std::printf("%d events\n", events.GetLen());
    return 0;
}
