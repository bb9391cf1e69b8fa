// The search behind the SearchStr operations that look for a text in year numbers (era years,
// counts from a base year): the first whole number of an interval whose decimal text contains a
// given text. Internal to the library.
#pragma once

#include <cstdint>
#include <string_view>

// The largest magnitude of a number this search handles: counts outside
// [-kMaxSearchCount, kMaxSearchCount] are never found (the interval is cut to that range).
inline constexpr std::int64_t kMaxSearchCount = 1000000000000000000;   // 10^18

// Finds the smallest c with lLow <= c <= lHigh whose decimal text ("%lld": a minus sign for
// negative numbers, no sign and no leading zeros otherwise) contains strText as a byte-wise
// substring. Returns true with c in lResult, or false with lResult untouched. An empty text is
// contained in every number. The work depends on the lengths of the text and of the bounds only,
// never on the width of the interval: the answer is built digit by digit (for each length of
// number and each place of the text in it, the least number not below the bound that has the text
// there), not found by counting.
bool FindFirstCountContaining(std::int64_t lLow, std::int64_t lHigh, std::string_view strText,
                              std::int64_t& lResult);
