// Reading whole numbers from text as the C library's atoi and base-10 strtol do, but with the
// 32-bit years of the tables: a value beyond the range saturates at INT32_MIN or INT32_MAX instead
// of wrapping or overflowing.
#pragma once

#include <cstdint>

#include <framework/framework_export.h>

// Leading white space (space, tab, CR, LF, vertical tab, form feed) is skipped, then an optional
// sign, then decimal digits up to the first other byte. No digits give 0. A null pointer gives 0.
FRAMEWORK_EXPORT std::int32_t Atoi32(const char* psz);

// As Atoi32; *ppEnd (when not null) receives the first byte after the digits, or psz itself when
// there were no digits, as strtol reports it.
FRAMEWORK_EXPORT std::int32_t Strtol32(const char* psz, const char** ppEnd);
