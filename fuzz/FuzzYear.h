// Shared by the fuzz targets that search or count years: a year drawn where 32-bit arithmetic
// goes wrong first.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>

// A year near 0, near either end of the 32-bit range, or anywhere.
inline std::int32_t DrawYear(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return in.ConsumeIntegralInRange<std::int32_t>(-40, 40);
    case 1:
        return INT32_MIN + in.ConsumeIntegralInRange<std::int32_t>(0, 40);
    case 2:
        return INT32_MAX - in.ConsumeIntegralInRange<std::int32_t>(0, 40);
    default:
        return in.ConsumeIntegral<std::int32_t>();
    }
}
