// The code page 932 codec and the character-aware searches of CString on arbitrary bytes.
#include <framework/Cp932.h>
#include <framework/String.h>

#include "FuzzCheck.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Character boundaries of the text, walked the slow, obvious way.
std::vector<bool> Boundaries(const CString& str)
{
    std::vector<bool> b(static_cast<std::size_t>(str.GetLength()) + 1, false);
    int i = 0;
    while (i < str.GetLength()) {
        b[static_cast<std::size_t>(i)] = true;
        const bool lead = CString::IsLeadByte(static_cast<unsigned char>(str.GetAt(i)));
        i += (lead && i + 1 < str.GetLength()) ? 2 : 1;
    }
    b[static_cast<std::size_t>(str.GetLength())] = true;
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte splits the input into a text and a search pattern.
    const std::size_t split = data[0] % (size);
    const CString text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    const CString pattern = text.Left(static_cast<int>(split % 4) + 1);
    const std::vector<bool> boundary = Boundaries(text);

    for (int from = 0, n = 0; n < 64; ++n) {
        const int i = text.Find(pattern, from);
        if (i < 0)
            break;
        FuzzCheck(boundary[static_cast<std::size_t>(i)]);
        FuzzCheck(text.Mid(i, pattern.GetLength()) == pattern);
        from = i + text.CharLength(i);
    }
    const int r = text.ReverseFind('\\');
    FuzzCheck(r < 0 || (boundary[static_cast<std::size_t>(r)] && text.GetAt(r) == '\\'));

    CString replaced = text;
    replaced.Replace(pattern, CString("<>"));
    CString upper = text;
    upper.MakeUpper();
    FuzzCheck(upper.GetLength() == text.GetLength());

    // A text that converts must come back byte for byte.
    std::string utf8;
    if (Cp932ToUtf8(text.View(), utf8)) {
        CString back;
        FuzzCheck(Utf8ToCp932(utf8, back));
        // Code page 932 has a few duplicate codes (NEC and IBM extensions) that map to one
        // character; those come back as the preferred code, so only the UTF-8 must be stable.
        std::string again;
        FuzzCheck(Cp932ToUtf8(back.View(), again) && again == utf8);
    }
    CString fromUtf8;
    if (Utf8ToCp932(std::string_view(reinterpret_cast<const char*>(data), size), fromUtf8)) {
        std::string round;
        FuzzCheck(Cp932ToUtf8(fromUtf8.View(), round));
    }
    return 0;
}
