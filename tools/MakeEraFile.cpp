// make-era-file: writes the era-name file 元号.lgn and the period file 時代.ler that the program
// ships, into the folder given (normally data/ﾗｲﾌﾞﾗﾘ).
//
//     make-era-file data/ﾗｲﾌﾞﾗﾘ
//
// The era names and their first days come from ICU's Japanese era data (CLDR's calendarData, read
// straight from the resource bundles: year, month and day of each era's first day, the month and
// day before 1873 those of the old Japanese calendar, as ours). ICU carries one line of eras; for
// 1331-1392 it holds the southern court's eras and a few northern ones, so the other northern-court
// eras are kept by hand below, with the few first days where the historical era lists differ from
// ICU, the ends that do not follow from the next era's start, and the periods. The files are
// written by Corvane's own CGengouEra::Save, so they are exactly what the library writes (code page
// 932, CR LF).
//
// The last day of an era is the day before the first day of the next era of its line (of both
// lines, the later, for an era both courts used), taken from the library's calendar: from 701 on
// the months of the lunisolar calendar (a month of 29 days ends on the 29th), from 1873 Gregorian.
// Before 701 the calendar has no day numbers: where an era began on the first day of a month, the
// era before it is given day 30 of the month before, which covers that month whatever its length.
// Every first day from 701 on must be a day of the calendar.
//
// A test reads the shipped era file back and checks every first and last day against ICU, and the
// build regenerates both files and compares them with the shipped ones, so the data cannot drift
// from its sources.
#include <corvane/Calendar.h>
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <unicode/unistr.h>
#include <unicode/ures.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Which line of eras an era belongs to. From 1331 to 1392 two courts named their own eras; an era
// used by both (元徳, 建武, and every era outside those years) ends where the later of its two
// successors begins.
enum ECourt : unsigned { COURT_SOUTH = 1, COURT_NORTH = 2, COURT_BOTH = 3 };

struct SDay {
    std::int32_t lYear = 0;
    int nMonth = 0;       // 0: not known
    bool bLeap = false;
    int nDay = 0;

    auto Key() const { return std::tie(lYear, nMonth, bLeap, nDay); }
};

struct SEra {
    std::string strName;   // UTF-8
    SDay begin;
    SDay end;
    unsigned nCourt = COURT_BOTH;
    std::string strNote;   // UTF-8
};

struct SEraStart {
    const char* pszName;
    SDay begin;
};

// Northern-court eras that ICU does not carry, with their first days from the era lists.
const SEraStart kNorthernEras[] = {
    {"正慶", {1332, 4, false, 28}}, {"暦応", {1338, 8, false, 28}}, {"康永", {1342, 4, false, 27}},
    {"貞和", {1345, 10, false, 21}}, {"観応", {1350, 2, false, 27}}, {"文和", {1352, 9, false, 27}},
    {"延文", {1356, 3, false, 28}}, {"康安", {1361, 3, false, 29}}, {"貞治", {1362, 9, false, 23}},
    {"応安", {1368, 2, false, 18}}, {"永和", {1375, 2, false, 27}}, {"永徳", {1381, 2, false, 24}},
};

// First days that the historical era lists give otherwise than ICU 72: 延長 began in the leap
// fourth month (ICU's data has no leap months); 至徳 began in 1384 (ICU: 1387, a day before 嘉慶);
// 応仁 on 文正2年3月5日 (ICU: 3日); 長享 on 文明19年7月20日 (ICU: 29日).
const SEraStart kCorrectedEras[] = {
    {"延長", {923, 4, true, 11}},
    {"至徳", {1384, 2, false, 27}},
    {"応仁", {1467, 3, false, 5}},
    {"長享", {1487, 7, false, 20}},
};

// ICU eras left out: 白鳳 is a private era name of the chronicles, not an official one (the gap
// between 白雉 and 朱鳥 had no official era).
const std::set<std::string> kOmittedEras = {"白鳳"};

// The court of the eras ICU carries for 1331-1392.
const std::map<std::string, ECourt> kCourts = {
    {"元弘", COURT_SOUTH}, {"延元", COURT_SOUTH}, {"興国", COURT_SOUTH}, {"正平", COURT_SOUTH},
    {"建徳", COURT_SOUTH}, {"文中", COURT_SOUTH}, {"天授", COURT_SOUTH}, {"弘和", COURT_SOUTH},
    {"元中", COURT_SOUTH}, {"康暦", COURT_NORTH}, {"嘉慶", COURT_NORTH}, {"康応", COURT_NORTH},
    {"至徳", COURT_NORTH}, {"明徳", COURT_NORTH},
};

// Ends that the next era's start does not give. 正慶 was abolished when 元弘 was restored on
// 元弘3年5月25日; the southern court's 元中 ended with the union of the courts on 明徳3年閏10月5日.
// Eras followed by years without an era (白雉, 朱鳥) are counted to the end of their last year, and
// that year's last month and its length are not in this data: they, and the era that has not
// ended (令和, end year 32767, which Tamber reads as "not ended"), have an end year and no day.
const std::map<std::string, SDay> kEnds = {
    {"白雉", {654, 0, false, 0}}, {"朱鳥", {686, 0, false, 0}},       {"正慶", {1333, 5, false, 24}},
    {"元中", {1392, 10, true, 4}}, {"令和", {32767, 0, false, 0}},
};

const std::map<std::string, std::string> kNotes = {
    {"白雉", "655年から朱鳥まで元号なし"},
    {"朱鳥", "687年から大宝まで元号なし"},
    {"元徳", "1331年に南朝は元弘に改元、北朝は1332年の正慶まで使用"},
    {"元弘", "南朝。1333年から建武まで全国で使用"},
    {"正慶", "北朝。1333年に廃され元弘に戻る"},
    {"建武", "1336年に南朝は延元に改元、北朝は1338年の暦応まで使用"},
    {"元中", "南朝。1392年の南北朝合一まで"},
    {"明徳", "北朝。1392年の南北朝合一の後も続く"},
    {"令和", "終わりの年32767は未終了を表す"},
};

struct SPeriod {
    const char* pszName;
    std::int32_t lBegin;
    std::int32_t lEnd;
    const char* pszNote;
};

// The usual periods of Japanese history with their conventional spans (negative: years BC).
const SPeriod kPeriods[] = {
    {"旧石器時代", -38000, -14000, "列島に人が住み始めてから土器が現れるまで"},
    {"縄文時代", -14000, -300, "土器と定住の始まり。終わりを紀元前10世紀とする説もある"},
    {"弥生時代", -300, 250, "水稲耕作と金属器が広まる"},
    {"古墳時代", 250, 592, "前方後円墳が造られ、ヤマト王権が国をまとめる"},
    {"飛鳥時代", 592, 710, "推古天皇の即位から平城京遷都まで"},
    {"奈良時代", 710, 794, "都が平城京にあった時代"},
    {"平安時代", 794, 1185, "平安京遷都から鎌倉幕府の成立まで"},
    {"鎌倉時代", 1185, 1333, "鎌倉幕府の時代。成立を1192年とする説もある"},
    {"建武の新政", 1333, 1336, "後醍醐天皇の親政"},
    {"室町時代", 1336, 1573, "足利氏の幕府の時代。南北朝時代と戦国時代を含む"},
    {"南北朝時代", 1336, 1392, "南朝と北朝が並び立った時代"},
    {"戦国時代", 1467, 1590, "応仁の乱から豊臣秀吉の全国統一まで"},
    {"安土桃山時代", 1573, 1603, "織田信長と豊臣秀吉の時代"},
    {"江戸時代", 1603, 1868, "江戸幕府の時代"},
    {"近代", 1868, 1945, "明治維新から第二次世界大戦の終わりまで"},
    {"現代", 1945, 32767, "第二次世界大戦後。終わりの年32767は未終了を表す"},
};

std::string ToUtf8(const icu::UnicodeString& str)
{
    std::string out;
    str.toUTF8String(out);
    return out;
}

// Every era of ICU's Japanese era data, in ICU's order: its name in Japanese and its first day.
bool ReadIcuEras(std::vector<SEra>& eras)
{
    UErrorCode status = U_ZERO_ERROR;
    UResourceBundle* pSupplemental = ures_openDirect(nullptr, "supplementalData", &status);
    UResourceBundle* pStarts = ures_getByKey(pSupplemental, "calendarData", nullptr, &status);
    pStarts = ures_getByKey(pStarts, "japanese", pStarts, &status);
    pStarts = ures_getByKey(pStarts, "eras", pStarts, &status);
    UResourceBundle* pJapanese = ures_open(nullptr, "ja", &status);
    UResourceBundle* pNames = ures_getByKey(pJapanese, "calendar", nullptr, &status);
    pNames = ures_getByKey(pNames, "japanese", pNames, &status);
    pNames = ures_getByKey(pNames, "eras", pNames, &status);
    pNames = ures_getByKey(pNames, "abbreviated", pNames, &status);
    const std::int32_t nEras = U_SUCCESS(status) ? ures_getSize(pStarts) : 0;
    // The starts are keyed by the era's number ("0", "1", ...), the names listed in that order.
    for (std::int32_t nEra = 0; nEra < nEras && U_SUCCESS(status); ++nEra) {
        UResourceBundle* pEra = ures_getByKey(pStarts, std::to_string(nEra).c_str(), nullptr, &status);
        std::int32_t nLength = 0;
        const std::int32_t* pStart = ures_getIntVector(ures_getByKey(pEra, "start", pEra, &status), &nLength, &status);
        std::int32_t nNameLength = 0;
        const UChar* pName = ures_getStringByIndex(pNames, nEra, &nNameLength, &status);
        if (U_SUCCESS(status) && nLength == 3) {
            SEra era;
            era.strName = ToUtf8(icu::UnicodeString(pName, nNameLength));
            era.begin = {pStart[0], pStart[1], false, pStart[2]};
            eras.push_back(era);
        }
        ures_close(pEra);
    }
    ures_close(pNames);
    ures_close(pJapanese);
    ures_close(pStarts);
    ures_close(pSupplemental);
    return U_SUCCESS(status) && static_cast<std::int32_t>(eras.size()) == nEras && nEras > 0;
}

bool Fail(const std::string& strMessage)
{
    std::fprintf(stderr, "make-era-file: %s\n", strMessage.c_str());
    return false;
}

// The day before the first day of an era: from 701 on the calendar's day before; before 701 the
// day before in the same month or the 30th of the month before (see the top of this file).
// False for a first day that is not a day of the calendar.
bool DayBefore(const SDay& day, SDay& before)
{
    const SEraDate date{day.lYear, day.nMonth, day.bLeap, day.nDay};
    std::int64_t nJdn = 0;
    if (CCalendar::JdnOfDate(date, nJdn)) {
        SEraDate previous;
        if (!CCalendar::DateOfJdn(nJdn - 1, previous))
            return false;
        before = {previous.lYear, previous.nMonth, previous.bLeap, previous.nDay};
        return true;
    }
    if (day.lYear >= CCalendar::FIRST_LUNISOLAR_YEAR || !CCalendar::CheckDate(date) || day.nDay < 1)
        return false;
    if (day.nDay > 1)
        before = {day.lYear, day.nMonth, day.bLeap, day.nDay - 1};
    else if (day.bLeap)
        before = {day.lYear, day.nMonth, false, 30};
    else
        before = {day.nMonth == 1 ? day.lYear - 1 : day.lYear, day.nMonth == 1 ? 12 : day.nMonth - 1, false, 30};
    return true;
}

// ICU's eras with the hand-kept ones, each with its court, last day and note, in order.
bool CollectEras(std::vector<SEra>& eras)
{
    std::vector<SEra> icu;
    if (!ReadIcuEras(icu))
        return Fail("ICU's Japanese era data is not available");
    for (SEra& era : icu) {
        if (kOmittedEras.count(era.strName))
            continue;
        const auto corrected = std::find_if(std::begin(kCorrectedEras), std::end(kCorrectedEras),
                                            [&](const SEraStart& e) { return era.strName == e.pszName; });
        if (corrected != std::end(kCorrectedEras)) {
            if (corrected->begin.Key() == era.begin.Key())
                return Fail("ICU now gives " + era.strName + " its historical first day: drop the correction");
            era.begin = corrected->begin;
        }
        eras.push_back(era);
    }
    for (const SEraStart& start : kNorthernEras) {
        if (std::any_of(icu.begin(), icu.end(), [&](const SEra& e) { return e.strName == start.pszName; }))
            return Fail(std::string("ICU now carries ") + start.pszName + ": take it out of the hand-kept list");
        SEra era;
        era.strName = start.pszName;
        era.begin = start.begin;
        era.nCourt = COURT_NORTH;
        eras.push_back(era);
    }
    for (SEra& era : eras) {
        const auto court = kCourts.find(era.strName);
        if (court != kCourts.end())
            era.nCourt = court->second;
    }
    std::stable_sort(eras.begin(), eras.end(),
                     [](const SEra& a, const SEra& b) { return a.begin.Key() < b.begin.Key(); });

    // An era ends the day before its successor begins; an era of both courts ends with the later
    // of its successors in the two courts.
    for (std::size_t i = 0; i < eras.size(); ++i) {
        SDay next;
        for (const unsigned nCourt : {COURT_SOUTH, COURT_NORTH}) {
            if (!(eras[i].nCourt & nCourt))
                continue;
            for (std::size_t j = i + 1; j < eras.size(); ++j) {
                if (eras[j].nCourt & nCourt) {
                    next = std::max(next, eras[j].begin, [](const SDay& a, const SDay& b) { return a.Key() < b.Key(); });
                    break;
                }
            }
        }
        const auto end = kEnds.find(eras[i].strName);
        if (end != kEnds.end())
            eras[i].end = end->second;
        else if (next.nMonth != 0 && !DayBefore(next, eras[i].end))
            return Fail("the first day after " + eras[i].strName + " is not a day of the calendar");
        const SEra& era = eras[i];
        if (era.end.lYear == 0 || (era.end.nMonth != 0 ? era.end.Key() < era.begin.Key() : era.end.lYear < era.begin.lYear))
            return Fail("no last day for " + era.strName);
        const auto note = kNotes.find(eras[i].strName);
        if (note != kNotes.end())
            eras[i].strNote = note->second;
        else if (eras[i].nCourt == COURT_SOUTH)
            eras[i].strNote = "南朝";
        else if (eras[i].nCourt == COURT_NORTH)
            eras[i].strNote = "北朝";
    }
    if (eras.empty() || eras.front().strName != "大化" || eras.back().strName != "令和")
        return Fail("the eras do not run from 大化 to 令和");
    return true;
}

bool Cp932(const std::string& strUtf8, CString& str)
{
    return Utf8ToCp932(strUtf8, str) || Fail("no code page 932 form for " + strUtf8);
}

bool AddRecord(CGengouEra& table, const std::string& strName, std::int32_t lBegin, std::int32_t lEnd,
               const std::string& strNote)
{
    CString strName932, strNote932;
    if (!Cp932(strName, strName932) || !Cp932(strNote, strNote932))
        return false;
    return table.SetData(strName932, lBegin, lEnd, strNote932) || Fail("duplicate name " + strName);
}

bool WriteTable(CGengouEra& table, const std::string& strFolder, const std::string& strFile, EHeaderType eType)
{
    CString strPath;
    if (!Cp932(strFolder + "/" + strFile, strPath))
        return false;
    table.SetFileName(strPath);
    if (!table.WriteFile(false, nullptr, eType))
        return Fail("cannot write " + strFolder + "/" + strFile);
    std::printf("%s/%s: %d records\n", strFolder.c_str(), strFile.c_str(), table.GetSize());
    return true;
}

bool MakeEraFile(const std::string& strFolder)
{
    std::vector<SEra> eras;
    if (!CollectEras(eras))
        return false;
    CGengouEra table;
    for (const SEra& era : eras) {
        if (!AddRecord(table, era.strName, era.begin.lYear, era.end.lYear, era.strNote))
            return false;
        SGengouEraTable& rec = table.GetGengoEraTable().back();
        rec.nBeginMonth = era.begin.nMonth, rec.bBeginLeap = era.begin.bLeap, rec.nBeginDay = era.begin.nDay;
        rec.nEndMonth = era.end.nMonth, rec.bEndLeap = era.end.bLeap, rec.nEndDay = era.end.nDay;
    }
    table.SetTableName(CP932("日本の元号"));
    table.SetExplanation(CP932("大化から令和までの元号。南北朝時代(1331～1392年)は南朝と北朝の両方を収める。\r\n"
                               "年は西暦で、改元の年は前後の元号に重なる。終わりの年32767は未終了を表す。\r\n"
                               "始まりと終わりの月日は、1872年までは旧暦（閏月を含む）、1873年からは新暦による。"));
    return WriteTable(table, strFolder, "元号.lgn", HEADER_GENGOU);
}

bool MakePeriodFile(const std::string& strFolder)
{
    CGengouEra table;
    for (const SPeriod& period : kPeriods) {
        if (!AddRecord(table, period.pszName, period.lBegin, period.lEnd, period.pszNote))
            return false;
    }
    table.SetTableName(CP932("日本の時代区分"));
    table.SetExplanation(CP932("旧石器時代から現代までの時代区分と、その通説の年代。\r\n"
                               "負の年は紀元前を表す。始まりと終わりには諸説がある。"));
    return WriteTable(table, strFolder, "時代.ler", HEADER_JIDAI);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-era-file FOLDER\n"
                             "writes FOLDER/元号.lgn and FOLDER/時代.ler\n");
        return 2;
    }
    return MakeEraFile(argv[1]) && MakePeriodFile(argv[1]) ? 0 : 1;
}
