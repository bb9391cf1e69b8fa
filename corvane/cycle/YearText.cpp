#include <corvane/YearText.h>

#include <cstddef>
#include <limits>

namespace {

// The characters beyond ASCII that a typed year may hold, in UTF-8.
constexpr std::string_view kFullDigitLead = "\xEF\xBC";   // ０-９: EF BC 90-99
constexpr std::string_view kFullPlus = "\xEF\xBC\x8B";    // ＋
constexpr std::string_view kFullMinus = "\xEF\xBC\x8D";   // －
constexpr std::string_view kMinusSign = "\xE2\x88\x92";   // −
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kYearMark = "\xE5\xB9\xB4";    // 年

bool IsAsciiBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

// The length of the blank at the start (bFront) or at the end of str; 0 when there is none.
std::size_t BlankAt(std::string_view str, bool bFront)
{
    if (!str.empty() && IsAsciiBlank(bFront ? str.front() : str.back()))
        return 1;
    const bool bWide = bFront ? str.starts_with(kIdeographicSpace) : str.ends_with(kIdeographicSpace);
    return bWide ? kIdeographicSpace.size() : 0;
}

// Removes the blanks at both ends of str.
void TrimBlanks(std::string_view& str)
{
    for (std::size_t n = BlankAt(str, true); n > 0; n = BlankAt(str, true))
        str.remove_prefix(n);
    for (std::size_t n = BlankAt(str, false); n > 0; n = BlankAt(str, false))
        str.remove_suffix(n);
}

// Removes prefix from the start of str when it is there; true if so.
bool Take(std::string_view& str, std::string_view prefix)
{
    if (!str.starts_with(prefix))
        return false;
    str.remove_prefix(prefix.size());
    return true;
}

// The digit at the start of str (ASCII or full-width), removed; -1, str unchanged, when there is none.
int TakeDigit(std::string_view& str)
{
    if (!str.empty() && str.front() >= '0' && str.front() <= '9') {
        const int nDigit = str.front() - '0';
        str.remove_prefix(1);
        return nDigit;
    }
    if (str.size() >= 3 && str.starts_with(kFullDigitLead)) {
        const auto ch = static_cast<unsigned char>(str[2]);
        if (ch >= 0x90 && ch <= 0x99) {
            str.remove_prefix(3);
            return ch - 0x90;
        }
    }
    return -1;
}

} // namespace

bool ParseTypedYear(std::string_view strText, std::int32_t& lYear)
{
    TrimBlanks(strText);
    if (strText.ends_with(kYearMark))
        strText.remove_suffix(kYearMark.size());
    bool bMinus = false;
    if (Take(strText, "-") || Take(strText, kFullMinus) || Take(strText, kMinusSign))
        bMinus = true;
    else if (!Take(strText, "+"))
        Take(strText, kFullPlus);
    // Summed on the negative side, which holds the one more year: -2147483648 needs no special case.
    constexpr std::int64_t kLeast = std::numeric_limits<std::int32_t>::min();
    std::int64_t llNegative = 0;
    int nDigits = 0;
    for (int nDigit = TakeDigit(strText); nDigit >= 0; nDigit = TakeDigit(strText), ++nDigits) {
        llNegative = llNegative * 10 - nDigit;
        if (llNegative < kLeast)
            return false;
    }
    if (nDigits == 0 || !strText.empty() || (!bMinus && llNegative == kLeast))
        return false;
    lYear = static_cast<std::int32_t>(bMinus ? llNegative : -llNegative);
    return true;
}
