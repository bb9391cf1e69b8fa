// Shared by the fuzz targets: a property that fails stops the run with a crash libFuzzer records,
// after naming the property and where it is checked.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void FuzzCheckAt(bool bHolds, const char* pszWhat, const char* pszFile, int nLine)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", pszFile, nLine, pszWhat);
    std::abort();
}

#define FuzzCheck(bHolds) FuzzCheckAt((bHolds), #bHolds, __FILE__, __LINE__)
