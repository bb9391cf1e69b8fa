// The comma-separated field reader and the header-line reader on arbitrary lines.
#include <corvane/TableBase.h>

#include <cstdint>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CString line(reinterpret_cast<const char*>(data), static_cast<int>(size));
    // Walk every field as a reader does; each read must end inside the line and move forward.
    int nStart = 0;
    for (int n = 0; n <= line.GetLength() + 1; ++n) {
        CString field("unchanged");
        const int nEnd = CTableBase::GetElementFromCSV(line, nStart, field);
        if (nEnd < 0) {
            FuzzCheck(field == CString("unchanged"));
            break;
        }
        FuzzCheck(nEnd >= nStart && nEnd <= line.GetLength());
        FuzzCheck(field.GetLength() <= line.GetLength() - nStart);
        nStart = nEnd + 1;
    }
    CString kind;
    int nVersion = -1;
    FuzzCheck(CTableBase::GetTableKindNameAndFileVer(line, kind, nVersion));
    return 0;
}
