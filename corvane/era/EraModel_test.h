// The reference for the tests of CGengouEra's faster paths: SetData exactly as the plain scan
// from index 0 does it.
#pragma once

#include <corvane/GengouEra.h>

inline bool PlainSetData(CGengouEraArray& arr, const SGengouEraTable& rec)
{
    std::size_t nInsert = arr.size();
    for (std::size_t i = 0; i < arr.size(); ++i) {
        if (arr[i].strGengou == rec.strGengou)
            return arr[i].lBeginYear == rec.lBeginYear && arr[i].lEndYear == rec.lEndYear;
        if (rec.lBeginYear < arr[i].lBeginYear) {
            nInsert = i;
            break;
        }
    }
    arr.insert(arr.begin() + static_cast<std::ptrdiff_t>(nInsert), rec);
    return true;
}
