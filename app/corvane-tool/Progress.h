// CProgress: a count of records on the error stream, for files of more than a million records,
// redrawn in place (meant for a terminal: the caller decides whether to show it at all).
#pragma once

#include <cstddef>
#include <ostream>

class CProgress {
public:
    static constexpr std::size_t kShownFrom = 1000000;

    CProgress(std::ostream& err, bool bShow, const char* pszWhat) : m_err(err), m_bShow(bShow), m_pszWhat(pszWhat) {}
    ~CProgress()
    {
        if (m_bShown)
            m_err << '\n' << std::flush;
    }
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    void Step()
    {
        ++m_nCount;
        if (m_bShow && m_nCount > kShownFrom && m_nCount % 100000 == 0) {
            m_err << "\rcorvane: " << m_pszWhat << ' ' << m_nCount << " records" << std::flush;
            m_bShown = true;
        }
    }

private:
    std::ostream& m_err;
    bool m_bShow;
    const char* m_pszWhat;
    std::size_t m_nCount = 0;
    bool m_bShown = false;
};
