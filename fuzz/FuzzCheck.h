// Shared by the fuzz targets: a property that fails stops the run with a crash libFuzzer records.
#pragma once

#include <cstdlib>

inline void FuzzCheck(bool bHolds)
{
    if (!bHolds)
        std::abort();
}
