#include <corvane/SexagenaryCycle.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include <framework/Cp932.h>

namespace {

// The five constant tables in code page 932. The CStrings behind the pointers are the caching
// statics of CP932(), which outlive every caller; the pointers are taken once.
struct STables {
    const char* apszStem[CSexagenaryCycle::STEM_COUNT];
    const char* apszStemReading[CSexagenaryCycle::STEM_COUNT];
    const char* apszBranch[CSexagenaryCycle::BRANCH_COUNT];
    const char* apszBranchReading[CSexagenaryCycle::BRANCH_COUNT];
    const char* apszAnimal[CSexagenaryCycle::BRANCH_COUNT];
};

const STables& Tables()
{
    static const STables s_tables = {
        {CP932("甲").GetString(), CP932("乙").GetString(), CP932("丙").GetString(),
         CP932("丁").GetString(), CP932("戊").GetString(), CP932("己").GetString(),
         CP932("庚").GetString(), CP932("辛").GetString(), CP932("壬").GetString(),
         CP932("癸").GetString()},
        {CP932("きのえ").GetString(), CP932("きのと").GetString(), CP932("ひのえ").GetString(),
         CP932("ひのと").GetString(), CP932("つちのえ").GetString(), CP932("つちのと").GetString(),
         CP932("かのえ").GetString(), CP932("かのと").GetString(), CP932("みずのえ").GetString(),
         CP932("みずのと").GetString()},
        {CP932("子").GetString(), CP932("丑").GetString(), CP932("寅").GetString(),
         CP932("卯").GetString(), CP932("辰").GetString(), CP932("巳").GetString(),
         CP932("午").GetString(), CP932("未").GetString(), CP932("申").GetString(),
         CP932("酉").GetString(), CP932("戌").GetString(), CP932("亥").GetString()},
        {CP932("ね").GetString(), CP932("うし").GetString(), CP932("とら").GetString(),
         CP932("う").GetString(), CP932("たつ").GetString(), CP932("み").GetString(),
         CP932("うま").GetString(), CP932("ひつじ").GetString(), CP932("さる").GetString(),
         CP932("とり").GetString(), CP932("いぬ").GetString(), CP932("い").GetString()},
        {CP932("ねずみ").GetString(), CP932("うし").GetString(), CP932("とら").GetString(),
         CP932("うさぎ").GetString(), CP932("たつ").GetString(), CP932("へび").GetString(),
         CP932("うま").GetString(), CP932("ひつじ").GetString(), CP932("さる").GetString(),
         CP932("とり").GetString(), CP932("いぬ").GetString(), CP932("いのしし").GetString()},
    };
    return s_tables;
}

bool IsStem(int nStem) { return nStem >= 0 && nStem < CSexagenaryCycle::STEM_COUNT; }
bool IsBranch(int nBranch) { return nBranch >= 0 && nBranch < CSexagenaryCycle::BRANCH_COUNT; }

// The arithmetic runs on the astronomical count of years, which has a year 0: a Western year y
// counts as y when positive and as y + 1 when negative (-1 counts as 0). On that count the pairs
// are plainly periodic, and the 32-bit Western years map into 64 bits without loss.
constexpr std::int64_t kEpoch = 1984;   // 甲子

std::int64_t ToCount(std::int32_t lYear) { return lYear > 0 ? lYear : std::int64_t{lYear} + 1; }

std::int32_t FromCount(std::int64_t llCount)
{
    return static_cast<std::int32_t>(llCount >= 1 ? llCount : llCount - 1);
}

// The count of the first existing year on or after lYear, and of the last on or before it.
std::int64_t CountOnOrAfter(std::int32_t lYear) { return lYear == 0 ? 1 : ToCount(lYear); }
std::int64_t CountOnOrBefore(std::int32_t lYear) { return lYear == 0 ? 0 : ToCount(lYear); }

std::int64_t FloorMod(std::int64_t a, std::int64_t m) { return ((a % m) + m) % m; }

// The years of a pair are the counts n with (n - kEpoch) mod period == residue. Returns false when
// no year matches (an index outside its table, or a stem and a branch of different parity).
bool GetPattern(int nStem, int nBranch, int& nResidue, int& nPeriod)
{
    if (!IsBranch(nBranch))
        return false;
    if (nStem == CSexagenaryCycle::NO_STEM) {
        nResidue = nBranch;
        nPeriod = CSexagenaryCycle::BRANCH_COUNT;
        return true;
    }
    if (!IsStem(nStem))
        return false;
    // The position in the sixty-year cycle is the one of branch, branch + 12, ... whose stem fits.
    for (int n = nBranch; n < 60; n += CSexagenaryCycle::BRANCH_COUNT) {
        if (n % CSexagenaryCycle::STEM_COUNT == nStem) {
            nResidue = n;
            nPeriod = 60;
            return true;
        }
    }
    return false;
}

// The first count at or after llFrom that has the residue.
std::int64_t FirstMatch(std::int64_t llFrom, int nResidue, int nPeriod)
{
    return llFrom + FloorMod(nResidue - (llFrom - kEpoch), nPeriod);
}

}  // namespace

bool CSexagenaryCycle::YearToStemBranch(std::int32_t lYear, int& nStem, int& nBranch) const
{
    if (lYear == 0)
        return false;
    const std::int64_t llOffset = ToCount(lYear) - kEpoch;
    nStem = static_cast<int>(FloorMod(llOffset, STEM_COUNT));
    nBranch = static_cast<int>(FloorMod(llOffset, BRANCH_COUNT));
    return true;
}

void CSexagenaryCycle::GetStemName(int nStem, CString& strName) const
{
    strName = IsStem(nStem) ? Tables().apszStem[nStem] : "";
}

void CSexagenaryCycle::GetBranchName(int nBranch, CString& strName) const
{
    strName = IsBranch(nBranch) ? Tables().apszBranch[nBranch] : "";
}

bool CSexagenaryCycle::GetStemName(int nStem, const char*& pszName) const
{
    pszName = IsStem(nStem) ? Tables().apszStem[nStem] : nullptr;
    return pszName != nullptr;
}

bool CSexagenaryCycle::GetBranchName(int nBranch, const char*& pszName) const
{
    pszName = IsBranch(nBranch) ? Tables().apszBranch[nBranch] : nullptr;
    return pszName != nullptr;
}

bool CSexagenaryCycle::GetStemReading(int nStem, const char*& pszReading) const
{
    pszReading = IsStem(nStem) ? Tables().apszStemReading[nStem] : nullptr;
    return pszReading != nullptr;
}

bool CSexagenaryCycle::GetBranchReading(int nBranch, const char*& pszReading) const
{
    pszReading = IsBranch(nBranch) ? Tables().apszBranchReading[nBranch] : nullptr;
    return pszReading != nullptr;
}

bool CSexagenaryCycle::GetAnimalName(int nBranch, const char*& pszAnimal) const
{
    pszAnimal = IsBranch(nBranch) ? Tables().apszAnimal[nBranch] : nullptr;
    return pszAnimal != nullptr;
}

bool CSexagenaryCycle::FindBranch(const char* pszName, int& nBranch) const
{
    if (pszName == nullptr)
        return false;
    for (int n = 0; n < BRANCH_COUNT; ++n) {
        if (std::strcmp(pszName, Tables().apszBranch[n]) == 0) {
            nBranch = n;
            return true;
        }
    }
    return false;
}

void CSexagenaryCycle::ListYears(int nStem, int nBranch, CYearRange span,
                                 std::vector<std::int32_t>& years) const
{
    std::vector<std::int32_t>().swap(years);
    int nResidue = 0;
    int nPeriod = 0;
    if (span.m_lStartYear > span.m_lEndYear || !GetPattern(nStem, nBranch, nResidue, nPeriod))
        return;
    const std::int64_t llLast = CountOnOrBefore(span.m_lEndYear);
    std::int64_t llCount = FirstMatch(CountOnOrAfter(span.m_lStartYear), nResidue, nPeriod);
    if (llCount > llLast)
        return;
    years.reserve(static_cast<std::size_t>((llLast - llCount) / nPeriod + 1));
    // Stepping by the period on the count is stepping across the missing year 0: after a negative
    // year y comes y + period while that is still negative, else y + period + 1. Two plain loops
    // instead of a test per year: counts up to 0 are the years before 1 (one less than their
    // count), the counts after are the years themselves. Counts stay in 64 bits, so the step past
    // the end year never wraps, even at INT32_MAX.
    for (; llCount <= std::min<std::int64_t>(llLast, 0); llCount += nPeriod)
        years.push_back(static_cast<std::int32_t>(llCount - 1));
    for (; llCount <= llLast; llCount += nPeriod)
        years.push_back(static_cast<std::int32_t>(llCount));
}

void CSexagenaryCycle::ListBranchesForStem(int nStem, std::vector<const char*>& names) const
{
    if (nStem == NO_STEM) {
        names.insert(names.end(), std::begin(Tables().apszBranch), std::end(Tables().apszBranch));
        return;
    }
    if (!IsStem(nStem))
        return;
    for (int n = 0; n < BRANCH_COUNT / 2; ++n)
        names.push_back(Tables().apszBranch[(nStem + 2 * n) % BRANCH_COUNT]);
}

bool CSexagenaryCycle::FindNearestYear(int nStem, int nBranch, std::int32_t lBound,
                                       ENearestDirection eDirection, std::int32_t& lYear) const
{
    int nResidue = 0;
    int nPeriod = 0;
    if (!GetPattern(nStem, nBranch, nResidue, nPeriod))
        return false;
    // The window is as wide as the period, in Western year numbers (so it loses a year when it
    // spans 0), clamped to the 32-bit range.
    constexpr std::int64_t llMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t llMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t llBound = lBound;
    const bool bBefore = eDirection == NEAREST_BEFORE;
    const std::int64_t llLow = bBefore ? std::max(llMin, llBound - nPeriod) : llBound;
    const std::int64_t llHigh = bBefore ? llBound : std::min(llMax, llBound + nPeriod);
    const std::int64_t llCount =
        FirstMatch(CountOnOrAfter(static_cast<std::int32_t>(llLow)), nResidue, nPeriod);
    if (llCount > CountOnOrBefore(static_cast<std::int32_t>(llHigh)))
        return false;
    lYear = FromCount(llCount);
    return true;
}
