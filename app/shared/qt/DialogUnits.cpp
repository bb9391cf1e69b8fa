#include "DialogUnits.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdint>

namespace {

// n * numerator / denominator rounded to the nearest whole number, halves away from zero, computed
// without overflow.
int MulDiv(int n, int nNumerator, int nDenominator)
{
    const std::int64_t llProduct = std::int64_t{n} * nNumerator;
    const std::int64_t llHalf = nDenominator / 2;
    const std::int64_t llResult = llProduct >= 0 ? (llProduct + llHalf) / nDenominator
                                                 : (llProduct - llHalf) / nDenominator;
    return static_cast<int>(llResult);
}

} // namespace

QFont CDialogUnits::GetDialogFont()
{
    QFont font(QStringLiteral("Noto Sans CJK JP"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int nWidth52 =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = std::max(1, (nWidth52 / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());
}

int CDialogUnits::ToPixelsX(int nUnits) const
{
    return MulDiv(nUnits, m_nBaseX, 4);
}

int CDialogUnits::ToPixelsY(int nUnits) const
{
    return MulDiv(nUnits, m_nBaseY, 8);
}

QRect CDialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}
