// The era table's text search against its plain loop on small eras: names (markup included) and,
// with the year flag, every era year 1, 2, ... written in decimal, one after the other. Eras are
// drawn with any names and with begin years near 0, near both ends of the 32-bit range or
// anywhere; an era too long for the plain loop is checked for what its answer must satisfy.
#include <corvane/GengouEra.h>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "FuzzYear.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr std::int64_t kPlainLimit = 20000;   // era years the plain loop looks at, at most

// The smallest era year n >= 1 of rec whose decimal text holds strText, 0 for none, nullopt when
// the era is longer than the plain loop may go and nothing was found before the limit.
std::optional<std::int64_t> PlainEraYear(const SGengouEraTable& rec, const std::string& strText)
{
    const std::int64_t lLast = std::int64_t{rec.lEndYear} - rec.lBeginYear + 1;
    for (std::int64_t n = 1; n <= lLast; ++n) {
        if (n > kPlainLimit)
            return std::nullopt;
        if (std::to_string(n).find(strText) != std::string::npos)
            return n;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    CGengouEra era;
    const int nRecords = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < nRecords; ++i) {
        SGengouEraTable rec;
        const std::string strName = in.ConsumeRandomLengthString(12);
        rec.strGengou = CString(strName.data(), static_cast<int>(strName.size()));
        rec.lBeginYear = DrawYear(in);
        rec.lEndYear = in.ConsumeBool() ? DrawYear(in)
                                        : static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                              std::int64_t{rec.lBeginYear} + in.ConsumeIntegralInRange(-3, 3000),
                                              INT32_MIN, INT32_MAX));
        era.SetAt(i, rec);   // positions as drawn: the search does not depend on the order
    }
    std::string strText = in.ConsumeRandomLengthString(8);
    if (in.ConsumeBool()) {
        for (char& ch : strText)
            ch = "0123456789"[static_cast<unsigned char>(ch) % 10];
    }
    const CString text(strText.data(), static_cast<int>(strText.size()));
    const bool bYear = in.ConsumeBool();
    const int nStart = in.ConsumeIntegralInRange(0, nRecords + 1);

    SGengouEraTable found;
    found.strGengou = "untouched";
    std::int32_t lYear = 7;
    const int nFound = era.SearchStr(text, &found, lYear, nStart, bYear);

    // The plain loop, record by record; a text with a NUL byte is searched up to it, as a C string.
    const std::string strC(strText.c_str());
    const CString textC(strC.c_str());
    int nExpected = -1;
    std::int32_t lExpectedYear = 7;
    bool bDecided = true;
    for (int i = nStart; i < era.GetSize() && nExpected < 0; ++i) {
        const SGengouEraTable rec = era.GetAt(i);
        if (rec.strGengou.Find(textC) >= 0) {
            nExpected = i;
            lExpectedYear = NO_YEAR;
        } else if (bYear) {
            const std::optional<std::int64_t> n = PlainEraYear(rec, strC);
            if (!n) {
                bDecided = false;   // a long era: check below what the answer must satisfy
                break;
            }
            if (*n > 0) {
                nExpected = i;
                lExpectedYear = static_cast<std::int32_t>(rec.lBeginYear + *n - 1);
            }
        }
    }
    if (bDecided) {
        FuzzCheck(nFound == nExpected && lYear == lExpectedYear);
    } else if (nFound >= 0) {
        FuzzCheck(nFound >= nStart && nFound < era.GetSize());
        const SGengouEraTable rec = era.GetAt(nFound);
        if (lYear != NO_YEAR) {
            FuzzCheck(lYear >= rec.lBeginYear && lYear <= rec.lEndYear);
            FuzzCheck(std::to_string(std::int64_t{lYear} - rec.lBeginYear + 1).find(strC) != std::string::npos);
        }
    }
    // The record given holds the one found, or the last one examined, or nothing when none was.
    if (nFound >= 0)
        FuzzCheck(found == era.GetAt(nFound));
    else if (nStart >= era.GetSize())
        FuzzCheck(found.strGengou == "untouched" && lYear == 7);
    else
        FuzzCheck(found == era.GetAt(era.GetSize() - 1) && lYear == 7);
    return 0;
}
