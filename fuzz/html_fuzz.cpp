// Markup removal and link extraction on arbitrary text: the offsets returned must lie inside it.
#include <corvane/HtmlManage.h>

#include <cstdint>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int nPos = (data[0] << 8 | data[1]) - 8;
    const CString text(reinterpret_cast<const char*>(data + 2), static_cast<int>(size - 2));

    CString plain;
    CHtmlManage().RemoveHtml(text, plain);
    FuzzCheck(plain.GetLength() <= text.GetLength());
    if (text.Find('<') < 0)
        FuzzCheck(plain == text);

    CString link, label;
    int nStart = -2, nEnd = -2;
    const bool bFound = CHtmlManage::GetLinkFromString(text, nPos, link, label, nStart, nEnd);
    FuzzCheck(nStart == -1 || (nStart >= 0 && nStart < text.GetLength()));
    FuzzCheck(nEnd == -2 || nEnd == -1 || (nEnd >= 0 && nEnd <= text.GetLength()));
    if (bFound) {
        FuzzCheck(nStart >= 0 && nEnd > nStart && nStart <= nPos && nPos <= nEnd);
        FuzzCheck((link.IsEmpty() || text.Find(link) >= 0) && label.GetLength() < text.GetLength());
    }
    return 0;
}
