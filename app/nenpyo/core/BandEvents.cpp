#include "BandEvents.h"

#include <algorithm>

#include "BandScale.h"

int CBandEvents::GroupOf(std::int32_t nPriority)
{
    return std::clamp(nPriority, 0, kGroups - 1);
}

int CBandEvents::GroupsShown(EEventPriority eFilter)
{
    return eFilter >= PRIORITY_ALL ? kGroups : eFilter < 0 ? 0 : static_cast<int>(eFilter) + 1;
}

void CBandEvents::Clear()
{
    for (auto& vGroup : m_avGroups)
        std::vector<SBandEvent>().swap(vGroup);
    std::vector<std::pair<int, int>>().swap(m_vWhere);
}

void CBandEvents::Build(const CYearEvent& events)
{
    Clear();
    int nIndex = 0;
    for (const auto& pRecord : events.GetEventData()) {
        const SEventData& data = *pRecord;
        const int nDay = data.nDay;
        const double dBegin = CBandScale::DateStart(data.lYear, data.nMonth, data.bLeapMonth, nDay);
        const double dEnd = CBandScale::DateEnd(data.lYear, data.nMonth, data.bLeapMonth, nDay);
        m_avGroups[GroupOf(data.nPriority)].push_back({dBegin, dEnd, nIndex++, &data});
    }
    m_vWhere.resize(static_cast<std::size_t>(nIndex));
    const auto byBegin = [](const SBandEvent& a, const SBandEvent& b) { return a.dBegin < b.dBegin; };
    for (int nGroup = 0; nGroup < kGroups; ++nGroup) {
        auto& vGroup = m_avGroups[nGroup];
        if (!std::is_sorted(vGroup.begin(), vGroup.end(), byBegin))
            std::stable_sort(vGroup.begin(), vGroup.end(), byBegin);
        for (std::size_t n = 0; n < vGroup.size(); ++n)
            m_vWhere[static_cast<std::size_t>(vGroup[n].nListIndex)] = {nGroup, static_cast<int>(n)};
    }
}

std::pair<std::size_t, std::size_t> CBandEvents::Range(int nGroup, double dFrom, double dTo) const
{
    const auto& vGroup = m_avGroups[nGroup];
    const auto first = std::lower_bound(vGroup.begin(), vGroup.end(), dFrom,
                                        [](const SBandEvent& e, double d) { return e.dBegin < d; });
    const auto last = std::lower_bound(first, vGroup.end(), dTo,
                                       [](const SBandEvent& e, double d) { return e.dBegin < d; });
    return {static_cast<std::size_t>(first - vGroup.begin()), static_cast<std::size_t>(last - vGroup.begin())};
}

std::size_t CBandEvents::CountVisible(EEventPriority eFilter, double dFrom, double dTo) const
{
    std::size_t nCount = 0;
    for (int nGroup = 0; nGroup < GroupsShown(eFilter); ++nGroup) {
        const auto [nFirst, nLast] = Range(nGroup, dFrom, dTo);
        nCount += nLast - nFirst;
        // Those that began up to a year before and reach into the stretch.
        const auto [nEarly, nEarlyEnd] = Range(nGroup, dFrom - 1.0, dFrom);
        for (std::size_t n = nEarly; n < nEarlyEnd; ++n)
            nCount += m_avGroups[nGroup][n].dEnd > dFrom ? 1 : 0;
    }
    return nCount;
}

const SBandEvent* CBandEvents::Find(int nListIndex, int* pGroup) const
{
    if (nListIndex < 0 || static_cast<std::size_t>(nListIndex) >= m_vWhere.size())
        return nullptr;
    const auto [nGroup, nPos] = m_vWhere[static_cast<std::size_t>(nListIndex)];
    if (pGroup != nullptr)
        *pGroup = nGroup;
    return &m_avGroups[nGroup][static_cast<std::size_t>(nPos)];
}

bool CBandEvents::Extent(double& dFrom, double& dTo) const
{
    bool bAny = false;
    for (const auto& vGroup : m_avGroups) {
        if (vGroup.empty())
            continue;
        // Sorted by beginning; every event lasts at most a year.
        const double dFirst = vGroup.front().dBegin;
        const double dLast = vGroup.back().dBegin + 1.0;
        dFrom = bAny ? std::min(dFrom, dFirst) : dFirst;
        dTo = bAny ? std::max(dTo, dLast) : dLast;
        bAny = true;
    }
    return bAny;
}
