#include "util/CountSearch.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

using u64 = std::uint64_t;

bool AllDigits(std::string_view str)
{
    return std::all_of(str.begin(), str.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// At most 19 digits (the bounds are at most 10^18), so the value fits.
u64 ParseDigits(const std::string& str)
{
    u64 v = 0;
    for (const char ch : str)
        v = v * 10 + static_cast<u64>(ch - '0');
    return v;
}

// Adds one to a string of digits of fixed length; false when it would carry out of it.
bool Increment(std::string& str)
{
    for (auto it = str.rbegin(); it != str.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return true;
        }
        *it = '0';
    }
    return false;
}

// Takes one from a string of digits of fixed length; false when it would borrow out of it.
bool Decrement(std::string& str)
{
    for (auto it = str.rbegin(); it != str.rend(); ++it) {
        if (*it != '0') {
            --*it;
            return true;
        }
        *it = '9';
    }
    return false;
}

// A number's text has no leading zero, except the number 0 itself.
bool IsNumberText(const std::string& str)
{
    return str.size() == 1 || str[0] != '0';
}

// The least m with uLow <= m <= uHigh whose digits hold strPat (digits, not empty) at some place,
// or only at the front when bFrontOnly.
//
// Numbers of one length n at a time, from the length of uLow up: for each place p of the pattern,
// the least n-digit number not below uLow that holds the pattern at p is built directly. For n
// longer than uLow it is 10...0 with the pattern laid over it. For n equal to uLow's length it
// keeps uLow's digits before p: if the pattern is above uLow's digits at p, zeros follow; if it
// equals them, uLow itself; if it is below, the digits before p must grow by one (not possible at
// p = 0 or when they are all nines). The least over all places is the least n-digit answer, and
// the first length that has one gives the answer.
std::optional<u64> LeastAtLeast(u64 uLow, u64 uHigh, std::string_view strPat, bool bFrontOnly)
{
    const std::string strLow = std::to_string(uLow);
    const std::size_t nHighLength = std::to_string(uHigh).size();
    const std::size_t k = strPat.size();
    for (std::size_t n = std::max(strLow.size(), k); n <= nHighLength; ++n) {
        std::optional<u64> best;
        const std::size_t nLastPlace = bFrontOnly ? 0 : n - k;
        for (std::size_t p = 0; p <= nLastPlace; ++p) {
            std::string str;
            if (n == strLow.size()) {
                const int nCompare = strLow.compare(p, k, strPat);
                if (nCompare < 0) {
                    str = strLow.substr(0, p) + std::string(strPat) + std::string(n - p - k, '0');
                } else if (nCompare == 0) {
                    str = strLow;
                } else {
                    std::string strPrefix = strLow.substr(0, p);
                    if (p == 0 || !Increment(strPrefix))
                        continue;
                    str = strPrefix + std::string(strPat) + std::string(n - p - k, '0');
                }
            } else {
                str.assign(n, '0');
                if (p > 0)
                    str[0] = '1';
                str.replace(p, k, strPat);
            }
            if (!IsNumberText(str))
                continue;
            const u64 v = ParseDigits(str);
            if (!best || v < *best)
                best = v;
        }
        if (best)
            return *best <= uHigh ? best : std::nullopt;
    }
    return std::nullopt;
}

// The greatest m with uLow <= m <= uHigh whose digits hold strPat at some place (only at the
// front when bFrontOnly): the mirror image of LeastAtLeast, from the length of uHigh down, with
// nines after the pattern and the digits before it shrinking by one where needed.
std::optional<u64> GreatestAtMost(u64 uLow, u64 uHigh, std::string_view strPat, bool bFrontOnly)
{
    const std::string strHigh = std::to_string(uHigh);
    const std::size_t k = strPat.size();
    for (std::size_t n = strHigh.size(); n >= k && n >= 1; --n) {
        std::optional<u64> best;
        const std::size_t nLastPlace = bFrontOnly ? 0 : n - k;
        for (std::size_t p = 0; p <= nLastPlace; ++p) {
            std::string str;
            if (n == strHigh.size()) {
                const int nCompare = strHigh.compare(p, k, strPat);
                if (nCompare > 0) {
                    str = strHigh.substr(0, p) + std::string(strPat) + std::string(n - p - k, '9');
                } else if (nCompare == 0) {
                    str = strHigh;
                } else {
                    std::string strPrefix = strHigh.substr(0, p);
                    if (p == 0 || !Decrement(strPrefix))
                        continue;
                    str = strPrefix + std::string(strPat) + std::string(n - p - k, '9');
                }
            } else {
                str.assign(n, '9');
                str.replace(p, k, strPat);
            }
            if (!IsNumberText(str))
                continue;
            const u64 v = ParseDigits(str);
            if (!best || v > *best)
                best = v;
        }
        if (best)
            return *best >= uLow ? best : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

bool FindFirstCountContaining(std::int64_t lLow, std::int64_t lHigh, std::string_view strText,
                              std::int64_t& lResult)
{
    lLow = std::max(lLow, -kMaxSearchCount);
    lHigh = std::min(lHigh, kMaxSearchCount);
    if (lLow > lHigh)
        return false;
    if (strText.empty()) {
        lResult = lLow;
        return true;
    }

    // Negative numbers first, as they come first: c = -m, so the least c is the greatest m. Their
    // text is "-" and the digits of m, so a text that begins with "-" must begin m's digits.
    if (lLow < 0) {
        const u64 uLow = lHigh < 0 ? static_cast<u64>(-lHigh) : 1;
        const u64 uHigh = static_cast<u64>(-lLow);
        std::optional<u64> m;
        if (strText[0] == '-') {
            const std::string_view strRest = strText.substr(1);
            if (strRest.empty())
                m = uHigh;
            else if (AllDigits(strRest))
                m = GreatestAtMost(uLow, uHigh, strRest, true);
        } else if (AllDigits(strText)) {
            m = GreatestAtMost(uLow, uHigh, strText, false);
        }
        if (m) {
            lResult = -static_cast<std::int64_t>(*m);
            return true;
        }
    }

    if (lHigh >= 0 && AllDigits(strText)) {
        const std::optional<u64> m =
            LeastAtLeast(static_cast<u64>(std::max<std::int64_t>(lLow, 0)), static_cast<u64>(lHigh), strText, false);
        if (m) {
            lResult = static_cast<std::int64_t>(*m);
            return true;
        }
    }
    return false;
}
