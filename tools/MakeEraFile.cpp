// make-era-file: writes the era-name file 元号.lgn and the period file 時代.ler that the program
// ships, into the folder given (normally data/ﾗｲﾌﾞﾗﾘ).
//
//     make-era-file data/ﾗｲﾌﾞﾗﾘ
//
// The era names and their first years come from ICU's Japanese calendar (CLDR's era data). ICU
// carries one line of eras; for 1331-1392 it holds the southern court's eras and a few northern
// ones, so the other northern-court eras are kept by hand below, as are the few end years that do
// not follow from the next era's start and the periods. The files are written by Corvane's own
// CGengouEra::WriteFile, so they are exactly what the library writes (code page 932, CR LF).
//
// A test reads the shipped era file back and checks every first year against ICU, and the build
// regenerates both files and compares them with the shipped ones, so the data cannot drift from
// its sources.
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Which line of eras an era belongs to. From 1331 to 1392 two courts named their own eras; an era
// used by both (元徳, 建武, and every era outside those years) ends where the later of its two
// successors begins.
enum ECourt : unsigned { COURT_SOUTH = 1, COURT_NORTH = 2, COURT_BOTH = 3 };

struct SEra {
    std::string strName;      // UTF-8
    std::int32_t lYear = 0;   // Western year of the first day
    int nMonth = 0;           // month and day of the first day, only to order eras of one year
    int nDay = 0;
    unsigned nCourt = COURT_BOTH;
    std::int32_t lEndYear = 0;
    std::string strNote;      // UTF-8
};

// The first day of an era, as the era lists give it.
struct SEraStart {
    const char* pszName;
    std::int32_t lYear;
    int nMonth;
    int nDay;
};

// Northern-court eras that ICU does not carry.
const SEraStart kNorthernEras[] = {
    {"正慶", 1332, 4, 28}, {"暦応", 1338, 8, 28}, {"康永", 1342, 4, 27}, {"貞和", 1345, 10, 21},
    {"観応", 1350, 2, 27}, {"文和", 1352, 9, 27}, {"延文", 1356, 3, 28}, {"康安", 1361, 3, 29},
    {"貞治", 1362, 9, 23}, {"応安", 1368, 2, 18}, {"永和", 1375, 2, 27}, {"永徳", 1381, 2, 24},
};

// Eras whose first year ICU gives otherwise than the historical era lists: ICU 72 starts 至徳 in
// 1387, a day before 嘉慶; it began in 1384.
const SEraStart kCorrectedEras[] = {
    {"至徳", 1384, 2, 27},
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

// End years that the next era's start does not give: an era followed by years without an era, an
// era abolished without a successor of its own court, the end of the southern court, and the era
// that has not ended (32767, which Tamber reads as "not ended").
const std::map<std::string, std::int32_t> kEndYears = {
    {"白雉", 654}, {"朱鳥", 686}, {"正慶", 1333}, {"元中", 1392}, {"令和", 32767},
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

// Every era of ICU's Japanese calendar, in order: name and first day.
bool ReadIcuEras(std::vector<SEra>& eras)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    std::unique_ptr<icu::Calendar> japanese(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"), locale, status));
    std::unique_ptr<icu::GregorianCalendar> gregorian(
        new icu::GregorianCalendar(icu::TimeZone::createTimeZone("UTC"), icu::Locale::getRoot(), status));
    icu::SimpleDateFormat format(icu::UnicodeString("GGGG"), locale, status);
    if (U_FAILURE(status))
        return false;
    format.setCalendar(*japanese);
    format.setTimeZone(*icu::TimeZone::getGMT());

    const std::int32_t nLastEra = japanese->getMaximum(UCAL_ERA);
    for (std::int32_t nEra = 0; nEra <= nLastEra; ++nEra) {
        // Without a month and day the calendar takes the era's first day for year 1.
        japanese->clear();
        japanese->set(UCAL_ERA, nEra);
        japanese->set(UCAL_YEAR, 1);
        const UDate date = japanese->getTime(status);
        gregorian->setTime(date, status);
        icu::UnicodeString strName;
        format.format(date, strName);
        SEra era;
        era.strName = ToUtf8(strName);
        era.lYear = gregorian->get(UCAL_EXTENDED_YEAR, status);
        era.nMonth = gregorian->get(UCAL_MONTH, status) + 1;
        era.nDay = gregorian->get(UCAL_DATE, status);
        if (U_FAILURE(status))
            return false;
        eras.push_back(era);
    }
    return true;
}

bool Fail(const std::string& strMessage)
{
    std::fprintf(stderr, "make-era-file: %s\n", strMessage.c_str());
    return false;
}

// ICU's eras with the hand-kept ones, each with its court, end year and note, in order.
bool CollectEras(std::vector<SEra>& eras)
{
    std::vector<SEra> icu;
    if (!ReadIcuEras(icu))
        return Fail("ICU's Japanese calendar is not available");
    for (SEra& era : icu) {
        if (kOmittedEras.count(era.strName))
            continue;
        const auto corrected = std::find_if(std::begin(kCorrectedEras), std::end(kCorrectedEras),
                                            [&](const SEraStart& e) { return era.strName == e.pszName; });
        if (corrected != std::end(kCorrectedEras)) {
            if (corrected->lYear == era.lYear)
                return Fail("ICU now gives " + era.strName + " its historical year: drop the correction");
            era.lYear = corrected->lYear;
            era.nMonth = corrected->nMonth;
            era.nDay = corrected->nDay;
        }
        eras.push_back(era);
    }
    for (const SEraStart& start : kNorthernEras) {
        if (std::any_of(icu.begin(), icu.end(), [&](const SEra& e) { return e.strName == start.pszName; }))
            return Fail(std::string("ICU now carries ") + start.pszName + ": take it out of the hand-kept list");
        SEra era;
        era.strName = start.pszName;
        era.lYear = start.lYear;
        era.nMonth = start.nMonth;
        era.nDay = start.nDay;
        era.nCourt = COURT_NORTH;
        eras.push_back(era);
    }
    for (SEra& era : eras) {
        const auto court = kCourts.find(era.strName);
        if (court != kCourts.end())
            era.nCourt = court->second;
    }
    std::stable_sort(eras.begin(), eras.end(), [](const SEra& a, const SEra& b) {
        return std::tie(a.lYear, a.nMonth, a.nDay) < std::tie(b.lYear, b.nMonth, b.nDay);
    });

    // An era ends in the year its successor begins; an era of both courts ends with the later
    // of its successors in the two courts.
    for (std::size_t i = 0; i < eras.size(); ++i) {
        std::int32_t lEnd = 0;
        for (const unsigned nCourt : {COURT_SOUTH, COURT_NORTH}) {
            if (!(eras[i].nCourt & nCourt))
                continue;
            for (std::size_t j = i + 1; j < eras.size(); ++j) {
                if (eras[j].nCourt & nCourt) {
                    lEnd = std::max(lEnd, eras[j].lYear);
                    break;
                }
            }
        }
        const auto end = kEndYears.find(eras[i].strName);
        if (end != kEndYears.end())
            lEnd = end->second;
        if (lEnd < eras[i].lYear)
            return Fail("no end year for " + eras[i].strName);
        eras[i].lEndYear = lEnd;
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
        if (!AddRecord(table, era.strName, era.lYear, era.lEndYear, era.strNote))
            return false;
    }
    table.SetTableName(CP932("日本の元号"));
    table.SetExplanation(CP932("大化から令和までの元号。南北朝時代(1331～1392年)は南朝と北朝の両方を収める。\r\n"
                               "年は西暦で、改元の年は前後の元号に重なる。終わりの年32767は未終了を表す。"));
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
