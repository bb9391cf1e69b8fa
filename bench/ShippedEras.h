// The shipped era table (data/ﾗｲﾌﾞﾗﾘ/元号.lgn), read once for the benchmarks that measure lookups
// on it; a benchmark without it cannot run and stops.
#pragma once

#include <cstdlib>
#include <string>

#include <corvane/GengouEra.h>
#include <shared/shipped/DefaultEras.h>
#include <shared/shipped/ShippedFiles.h>

inline const CGengouEra& ShippedEras()
{
    static CGengouEra s_eras;
    static const bool s_bLoaded = LoadWholeEraFile(FindShippedEraFile(std::string()), s_eras);
    if (!s_bLoaded)
        std::abort();
    return s_eras;
}
