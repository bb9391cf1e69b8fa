// cp932-table: every double-byte code of code page 932 with this platform's conversion, one line
// each: the code, its UTF-8 form ("-" when the code is not defined) and the code that UTF-8 form
// converts back to. The Windows tests compare the system's conversion with this table.
#include <framework/Env.h>

#include <cstdio>
#include <string>

namespace {

std::string Hex(const std::string& bytes)
{
    std::string str;
    char sz[3];
    for (const unsigned char ch : bytes) {
        std::snprintf(sz, sizeof sz, "%02X", ch);
        str += sz;
    }
    return str;
}

} // namespace

int main()
{
    for (int nLead = 0x81; nLead <= 0xFC; ++nLead) {
        if (nLead >= 0xA0 && nLead <= 0xDF)
            continue;
        for (int nTrail = 0x40; nTrail <= 0xFC; ++nTrail) {
            if (nTrail == 0x7F)
                continue;
            const std::string code{static_cast<char>(nLead), static_cast<char>(nTrail)};
            std::string utf8;
            std::string back;
            if (!Env::Cp932ToUtf8(code, utf8)) {
                std::printf("%s -\n", Hex(code).c_str());
                continue;
            }
            if (!Env::Utf8ToCp932(utf8, back))
                back.clear();
            std::printf("%s %s %s\n", Hex(code).c_str(), Hex(utf8).c_str(), back.empty() ? "-" : Hex(back).c_str());
        }
    }
    return 0;
}
