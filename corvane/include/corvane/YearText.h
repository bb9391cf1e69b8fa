// A Western year as a user types it: the one reader of the year fields and arguments of every
// program (Tamber's dialog and tamber-cli, Nenpyo's dialogs, corvane label).
#pragma once

#include <cstdint>
#include <string_view>

#include <corvane/corvane_export.h>

// Reads strText (UTF-8) as a Western year: blanks around it (ASCII white space or the ideographic
// space U+3000), an optional sign (+ or -, the full-width ＋ or －, the minus sign −), one or more
// decimal digits (ASCII or full-width ０-９, mixed as typed, leading zeros allowed) and, optionally,
// 年 right after the digits ("1984年", "-660年"). The year must lie within the 32-bit range
// (-2147483648 to 2147483647); year 0 is read as 0 (whether it is allowed is the caller's rule).
// Returns true with lYear set. Returns false, lYear unchanged, for anything else: an empty or blank
// text, a sign without digits or two signs, a blank between the sign and the digits, any other
// text before or after the year (an era name, a month, "1984年目"), bytes that are not UTF-8, a
// number beyond the 32-bit range however many digits it has.
CORVANE_EXPORT bool ParseTypedYear(std::string_view strText, std::int32_t& lYear);
