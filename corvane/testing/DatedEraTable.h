// A small era table with days for the tests of the lookups by date: the modern eras from 慶応 to
// 令和 and some eras of both courts between 1334 and 1394. Days before 1873 are old-calendar days.
// Two ways of writing a change are mixed on purpose: most records end the day before the next
// begins, while 慶応 and the eras of the two courts end on the day of the change itself.
#pragma once

#include <framework/Cp932.h>

#include <corvane/GengouEra.h>

#include <cstdint>
#include <stdexcept>

namespace testing_eras {

struct SDays {
    const char* pszName;
    std::int32_t lBegin;
    int nBeginMonth;
    bool bBeginLeap;
    int nBeginDay;
    std::int32_t lEnd;
    int nEndMonth;
    bool bEndLeap;
    int nEndDay;
    const char* pszNote;
};

// In table order (by begin year; the courts interleaved as SetData sorts them).
inline constexpr SDays kDatedEras[] = {
    {"建武", 1334, 1, false, 29, 1338, 8, false, 28, "北朝"},
    {"延元", 1336, 2, false, 29, 1340, 4, false, 28, "南朝"},
    {"暦応", 1338, 8, false, 28, 1342, 4, false, 27, "北朝"},
    {"興国", 1340, 4, false, 28, 1346, 12, false, 8, "南朝"},
    {"康永", 1342, 4, false, 27, 1345, 10, false, 21, "北朝"},
    {"元中", 1384, 4, false, 28, 1392, 10, true, 5, "南朝"},
    {"明徳", 1390, 3, false, 26, 1394, 7, false, 5, "北朝"},
    {"応永", 1394, 7, false, 5, 1428, 4, false, 27, ""},
    {"慶応", 1865, 4, false, 7, 1868, 9, false, 8, ""},
    {"明治", 1868, 9, false, 8, 1912, 7, false, 29, ""},
    {"大正", 1912, 7, false, 30, 1926, 12, false, 24, ""},
    {"昭和", 1926, 12, false, 25, 1989, 1, false, 7, ""},
    {"平成", 1989, 1, false, 8, 2019, 4, false, 30, ""},
    {"令和", 2019, 5, false, 1, 32767, 0, false, 0, ""},
};

// Fills an empty table with kDatedEras.
inline void FillDatedEras(CGengouEra& eras)
{
    for (const SDays& d : kDatedEras) {
        const CString strName = LiteralToCp932(d.pszName);
        if (!eras.SetData(strName, d.lBegin, d.lEnd, LiteralToCp932(d.pszNote)))
            throw std::logic_error("FillDatedEras: name twice");
        const int nIndex = eras.GetSize() - 1;
        SGengouEraTable rec = eras.GetAt(nIndex);
        rec.nBeginMonth = d.nBeginMonth;
        rec.bBeginLeap = d.bBeginLeap;
        rec.nBeginDay = d.nBeginDay;
        rec.nEndMonth = d.nEndMonth;
        rec.bEndLeap = d.bEndLeap;
        rec.nEndDay = d.nEndDay;
        eras.SetAt(nIndex, rec);
    }
}

} // namespace testing_eras
