#include <corvane/GengouEra.h>

#include <framework/FileException.h>

#include <corvane/HtmlManage.h>

#include "util/CountSearch.h"

#include <algorithm>
#include <limits>
#include <string>

CGengouEra::CGengouEra() = default;

CGengouEra::~CGengouEra() = default;

CGengouEra& CGengouEra::operator=(const CGengouEra& src)
{
    if (this == &src)
        return *this;
    ClearAll();
    m_GengouEraTable = src.m_GengouEraTable;
    m_pDateIndex = src.m_pDateIndex;   // immutable once built: the same records, the same index
    CTableBase::operator=(src);
    return *this;
}

bool CGengouEra::GetAt(int nIndex, SGengouEraTable& rec) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        return false;
    rec = m_GengouEraTable[static_cast<std::size_t>(nIndex)];
    return true;
}

SGengouEraTable CGengouEra::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        AfxThrowInvalidArgException();
    return m_GengouEraTable[static_cast<std::size_t>(nIndex)];
}

bool CGengouEra::SetData(const char* pszGengou, std::int32_t lBeginYear, std::int32_t lEndYear, const char* pszNote)
{
    const CString strGengou(pszGengou);
    std::size_t nInsert = m_GengouEraTable.size();
    for (std::size_t i = 0; i < m_GengouEraTable.size(); ++i) {
        const SGengouEraTable& rec = m_GengouEraTable[i];
        if (rec.strGengou == strGengou)
            return rec.lBeginYear == lBeginYear && rec.lEndYear == lEndYear;
        if (lBeginYear < rec.lBeginYear) {
            nInsert = i;
            break;
        }
    }

    SGengouEraTable rec;
    rec.strGengou = strGengou;
    rec.lBeginYear = lBeginYear;
    rec.lEndYear = lEndYear;
    rec.strNote = pszNote;
    m_GengouEraTable.insert(m_GengouEraTable.begin() + static_cast<std::ptrdiff_t>(nInsert), std::move(rec));
    DropDateIndex();
    m_bModified = true;
    return true;
}

bool CGengouEra::SetAt(int nIndex, SGengouEraTable rec)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    const auto n = static_cast<std::size_t>(nIndex);
    if (n < m_GengouEraTable.size() && m_GengouEraTable[n] == rec)
        return false;
    if (n >= m_GengouEraTable.size())
        m_GengouEraTable.resize(n + 1);
    m_GengouEraTable[n] = std::move(rec);
    DropDateIndex();
    m_bModified = true;
    return true;
}

bool CGengouEra::RemoveAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        AfxThrowInvalidArgException();
    m_GengouEraTable.erase(m_GengouEraTable.begin() + nIndex);
    DropDateIndex();
    m_bModified = true;
    return true;
}

void CGengouEra::ClearAll()
{
    CGengouEraArray().swap(m_GengouEraTable);
    DropDateIndex();
    Initialize();
}

int CGengouEra::GetIndexFromYear(std::int32_t lYear) const
{
    for (int i = GetSize() - 1; i >= 0; --i) {
        const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(i)];
        if (rec.lBeginYear <= lYear && lYear <= rec.lEndYear)
            return i;
    }
    return -1;
}

CString CGengouEra::GetEraYearText(std::int32_t lYear) const
{
    for (int i = 0; i < GetSize(); ++i) {
        const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(i)];
        if (rec.lBeginYear <= lYear && lYear <= rec.lEndYear)
            return GetEraDateText(i, SEraDate{lYear, 0, false, 0});
    }
    return CString();
}

std::int32_t CGengouEra::GetWesternYear(const char* pszGengou, std::int32_t lYear) const
{
    const CString strGengou(pszGengou);
    CHtmlManage html;
    CString strPlain;
    for (const SGengouEraTable& rec : m_GengouEraTable) {
        html.RemoveHtml(rec.strGengou, strPlain);
        if (strPlain != strGengou)
            continue;
        const std::int64_t lWestern = std::int64_t{rec.lBeginYear} + lYear - 1;
        if (lWestern > rec.lEndYear || lWestern < std::numeric_limits<std::int32_t>::min())
            return NO_YEAR;
        return static_cast<std::int32_t>(lWestern);
    }
    return NO_YEAR;
}

bool CGengouEra::GetData(std::int32_t lYear, CGengouEraArray& arr) const
{
    for (const SGengouEraTable& rec : m_GengouEraTable) {
        if (rec.lBeginYear <= lYear && lYear <= rec.lEndYear)
            arr.push_back(rec);
    }
    return !arr.empty();
}

int CGengouEra::SearchStr(const char* pszText, SGengouEraTable* pRec, std::int32_t& lYear, int nStart, bool bYear) const
{
    if (nStart < 0 || !pRec)
        AfxThrowInvalidArgException();
    const CString strText(pszText);
    for (int i = nStart; i < GetSize(); ++i) {
        const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(i)];
        *pRec = rec;
        if (rec.strGengou.Find(strText) >= 0) {
            lYear = NO_YEAR;
            return i;
        }
        if (bYear) {
            // Era years run from 1 to lEndYear - lBeginYear + 1; none when the era ends before it begins.
            const std::int64_t lLast = std::int64_t{rec.lEndYear} - rec.lBeginYear + 1;
            std::int64_t n = 0;
            if (lLast >= 1 && FindFirstCountContaining(1, lLast, strText.View(), n)) {
                // n <= lEndYear - lBeginYear + 1, so the year lies within the era: no overflow.
                lYear = static_cast<std::int32_t>(std::int64_t{rec.lBeginYear} + n - 1);
                return i;
            }
        }
    }
    return -1;
}

void CGengouEra::Serialize(CArchive&) {}
