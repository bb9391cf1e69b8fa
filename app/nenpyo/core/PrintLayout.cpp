#include "PrintLayout.h"

#include <algorithm>

CPrintLayout::CPrintLayout(int nBodyHeight, int nLineHeight, int nPadding, int nFirstPageReserved)
    : m_nBodyHeight(std::max(0, nBodyHeight)),
      m_nLineHeight(std::max(1, nLineHeight)),
      m_nPadding(std::max(0, nPadding)),
      m_nY(std::clamp(nFirstPageReserved, 0, m_nBodyHeight))
{
}

void CPrintLayout::Place(int nLines, std::vector<SSlice>& vSlices)
{
    vSlices.clear();
    nLines = std::max(1, nLines);
    for (int nFirst = 0; nFirst < nLines;) {
        const int nLeft = nLines - nFirst;
        const int nRoom = std::max(0, (m_nBodyHeight - m_nY - m_nPadding) / m_nLineHeight);
        if (nRoom < nLeft && !m_bPageEmpty) {
            // The row, or what is left of it, does not fit here: it starts the next page.
            ++m_nPage;
            m_nY = 0;
            m_bPageEmpty = true;
            continue;
        }
        const int n = std::min(nLeft, std::max(1, nRoom));
        const int nHeight = m_nPadding + n * m_nLineHeight;
        vSlices.push_back({m_nPage, m_nY, nFirst, n, nHeight});
        m_nY += nHeight;
        m_bPageEmpty = false;
        nFirst += n;
    }
}
