// Base-year labels and the count search against their plain forms on small spans: the label of a
// year is the number of years walked from the base year to it (the year 0 that does not exist
// skipped) with the counting options applied, and the search looks at one offset after the other.
// Base and end years are drawn anywhere in the 32-bit range, near 0 and near both of its ends.
#include <corvane/BaseYear.h>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "FuzzYear.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>

namespace {

std::int32_t Clamp32(std::int64_t l)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(l, INT32_MIN, INT32_MAX));
}

// The plain label: walk year by year from the base (or, after the end year, from the end year).
std::optional<std::string> PlainLabel(const CBaseYear& t, std::int32_t lYear)
{
    const std::int64_t lBase = t.GetBaseWesternYear();
    const std::int64_t lEnd = t.GetEndWesternYear();
    if (lEnd != NO_END_YEAR && lYear > lEnd) {
        if (!t.GetEndYearPlus())
            return std::nullopt;
        std::int64_t n = 0;
        for (std::int64_t y = lEnd; y < lYear; ++y)
            ++n;
        if (t.GetEndYearKaiki() && n >= 2)
            ++n;
        return "+" + std::to_string(n) + (t.GetEndYearQuest() ? "?" : "");
    }
    if (!t.GetDisplayMinus() && lYear < lBase)
        return std::nullopt;
    const int nStep = lYear < lBase ? -1 : 1;
    std::int64_t n = 0;
    for (std::int64_t y = lBase; y != lYear;) {
        y += nStep;
        if (y != 0 || y == lYear)   // there is no year 0 between the two
            n += nStep;
    }
    if (t.GetKazoe())
        ++n;
    if (t.GetKazoe() && t.GetMinus1() && n <= 0)
        --n;
    if (t.GetEndYearQuest() && lEnd != NO_END_YEAR && lYear == lEnd)
        return std::string("--");
    return std::to_string(n) + (t.GetBeginYearQuest() ? "?" : "");
}

// The plain search over offsets lFirst..lLast (at most nLimit of them); nullopt when the limit cut
// it short before a match.
std::optional<std::int64_t> PlainSearch(const CBaseYear& t, const std::string& strText, std::int64_t lFirst,
                                        std::int64_t lLast, std::int64_t nLimit)
{
    const std::int64_t lBase = t.GetBaseWesternYear();
    for (std::int64_t k = lFirst; k <= lLast; ++k) {
        if (k - lFirst >= nLimit)
            return std::nullopt;
        if (lBase + k < INT32_MIN)
            continue;   // no such year
        if (k > INT_MAX)
            break;      // beyond what the int result can carry
        if (std::to_string(k + (t.GetKazoe() ? 1 : 0)).find(strText) != std::string::npos)
            return k;
    }
    return -1;
}

// A table with options and years drawn from the input.
void DrawTable(FuzzedDataProvider& in, CBaseYear& t)
{
    const std::uint8_t nFlags = in.ConsumeIntegral<std::uint8_t>();
    t.SetKazoe(nFlags & 1);
    t.SetDisplayMinus(nFlags & 2);
    t.SetMinus1(nFlags & 4);
    t.SetEndYearPlus(nFlags & 8);
    t.SetEndYearKaiki(nFlags & 16);
    t.SetBeginYearQuest(nFlags & 32);
    t.SetEndYearQuest(nFlags & 64);
    const std::int32_t lBase = DrawYear(in);
    t.SetBaseWesternYear(lBase);
    if (in.ConsumeBool())
        t.SetEndWesternYear(NO_END_YEAR);
    else if (in.ConsumeBool())
        t.SetEndWesternYear(Clamp32(std::int64_t{lBase} + in.ConsumeIntegralInRange(-5, 3000)));
    else
        t.SetEndWesternYear(DrawYear(in));
}

// One label: near the base, near the end, or anywhere (compared only when the walk is short).
void CheckLabel(FuzzedDataProvider& in, const CBaseYear& t)
{
    const std::int64_t lBase = t.GetBaseWesternYear();
    const std::int64_t lEnd = t.GetEndWesternYear();
    std::int32_t lYear = 0;
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        lYear = Clamp32(lBase + in.ConsumeIntegralInRange(-3000, 3000));
        break;
    case 1:
        lYear = Clamp32(lEnd + in.ConsumeIntegralInRange(-3000, 3000));
        break;
    default:
        lYear = DrawYear(in);
    }
    CString strLabel("unchanged");
    const bool bLabel = t.MakeBaseYearStr(lYear, strLabel);
    if (!bLabel)
        FuzzCheck(strLabel == "unchanged");
    const std::int64_t lWalk = std::max(std::abs(std::int64_t{lYear} - lBase),
                                        lEnd != NO_END_YEAR && lYear > lEnd ? std::int64_t{lYear} - lEnd : 0);
    if (lWalk <= 20000) {
        const std::optional<std::string> expected = PlainLabel(t, lYear);
        FuzzCheck(bLabel == expected.has_value());
        FuzzCheck(!bLabel || strLabel.View() == *expected);
    }
}

// One search: digits and a minus sign mostly, any bytes sometimes; null now and then.
void CheckSearch(FuzzedDataProvider& in, const CBaseYear& t)
{
    const std::int32_t lBase = t.GetBaseWesternYear();
    const std::int64_t lEnd = t.GetEndWesternYear();
    std::string strText = in.ConsumeRandomLengthString(12);
    if (in.ConsumeBool()) {
        for (char& ch : strText)
            ch = "0123456789-"[static_cast<unsigned char>(ch) % 11];
    }
    strText = strText.c_str();   // the search takes a C string
    const bool bNull = strText.empty() && in.ConsumeBool();
    const std::int32_t lFrom = in.ConsumeBool() ? Clamp32(std::int64_t{lBase} + in.ConsumeIntegralInRange(-100, 3000))
                                                : DrawYear(in);
    const std::int32_t lTo = in.ConsumeBool() ? Clamp32(std::int64_t{lFrom} + in.ConsumeIntegralInRange(-10, 4000))
                                              : DrawYear(in);
    int nStart = -1;
    if (in.ConsumeIntegralInRange(0, 3) == 0)
        nStart = in.ConsumeBool() ? in.ConsumeIntegralInRange(-100, 3000) : in.ConsumeIntegral<int>();
    const std::int64_t lFirst = nStart == -1 ? std::max<std::int64_t>(std::int64_t{lFrom} - lBase, 0) : nStart;
    const std::int64_t lLast = std::min<std::int64_t>(lTo, lEnd) - lBase;
    // A start below -1 makes negative offsets possible, and offset -1 found reads like "none":
    // tell the two apart by the found year, primed with a year the search cannot give.
    std::int64_t lUnset = lBase + lLast + 1;
    if (lUnset > INT32_MAX)
        lUnset = lBase + lFirst - 1;
    if (lFirst > lLast)
        lUnset = 12345;   // nothing to search
    std::int32_t lFound = Clamp32(lUnset);
    const bool bUnsetIsAYear = lFound == lUnset;
    const int nFound = t.SearchStr(bNull ? nullptr : strText.c_str(), lFrom, lTo, lFound, nStart);
    if (!bUnsetIsAYear)
        return;   // every 32-bit year can be found: no year tells "none"
    const bool bFound = nFound != -1 || lFound != lUnset;
    if (!bFound) {
        FuzzCheck(nFound == -1);
    } else {
        FuzzCheck(nFound >= lFirst && nFound <= lLast && lFound == lBase + std::int64_t{nFound});
        FuzzCheck(std::to_string(std::int64_t{nFound} + (t.GetKazoe() ? 1 : 0)).find(strText) != std::string::npos);
    }
    // Every offset before the one found (or all of them) checked one by one, as far as 5000.
    const std::int64_t lCheckLast = bFound ? std::int64_t{nFound} - 1 : lLast;
    const std::optional<std::int64_t> plain = PlainSearch(t, strText, lFirst, lCheckLast, 5000);
    FuzzCheck(!plain || *plain == -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    CBaseYear t;
    DrawTable(in, t);
    for (int nQuery = 0; nQuery < 8 && in.remaining_bytes() > 0; ++nQuery) {
        CheckLabel(in, t);
        CheckSearch(in, t);
    }
    return 0;
}
