#include <framework/Numbers.h>

#include <limits>

std::int32_t Strtol32(const char* psz, const char** ppEnd)
{
    if (!psz) {
        if (ppEnd)
            *ppEnd = psz;
        return 0;
    }
    const char* p = psz;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-') {
        bNegative = *p == '-';
        ++p;
    }
    const char* pDigits = p;
    // Accumulate the magnitude in 64 bits and stop growing it once it is past every 32-bit value.
    std::int64_t nValue = 0;
    constexpr std::int64_t nCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (*p >= '0' && *p <= '9') {
        if (nValue <= nCap)
            nValue = nValue * 10 + (*p - '0');
        ++p;
    }
    if (ppEnd)
        *ppEnd = p == pDigits ? psz : p;
    if (bNegative)
        nValue = -nValue;
    if (nValue > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (nValue < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(nValue);
}

std::int32_t Atoi32(const char* psz)
{
    return Strtol32(psz, nullptr);
}
