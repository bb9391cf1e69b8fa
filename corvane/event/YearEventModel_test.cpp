// A differential test: the table, with everything it remembers to avoid walks, against a plain
// model that walks from the head for every index and every insertion, driven by the same random
// operations and compared after every step.
#include <corvane/HtmlManage.h>
#include <corvane/YearEvent.h>

#include "testing/EventTestSupport.h"
#include "testing/FakeHostUi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {


// The event table as the plain algorithms describe it, on a vector (list positions are indexes).
class CModel {
public:
    std::vector<SEventData> m_v;
    bool m_bModified = false;

    static int Key(const SEventData& d)
    {
        return (d.nMonth == -1 ? 0 : d.nMonth) * 1000 + (d.bLeapMonth ? 100 : 0) + (d.nDay == -1 ? 0 : d.nDay);
    }
    static bool IndexVisible(const SEventData& d, int f) { return f == 2 || f == 3 || d.nPriority <= f; }
    static bool QueryVisible(const SEventData& d, int f) { return f == 3 || d.nPriority <= f; }

    // The list position of visible index i under the index rule, or -1.
    int Position(int i, int f) const
    {
        for (int p = 0, k = 0; p < static_cast<int>(m_v.size()); ++p)
            if (IndexVisible(m_v[p], f) && k++ == i)
                return p;
        return -1;
    }
    bool GetAt(int i, SEventData* pOut, int f) const
    {
        const int p = i < 0 ? -1 : Position(i, f);
        if (p >= 0)
            *pOut = m_v[p];
        return p >= 0;
    }
    bool InsertAtDate(const SEventData& d)
    {
        for (std::size_t p = 0; p < m_v.size(); ++p) {
            if (m_v[p].lYear > d.lYear || (m_v[p].lYear == d.lYear && Key(m_v[p]) > Key(d))) {
                m_v.insert(m_v.begin() + static_cast<std::ptrdiff_t>(p), d);
                m_bModified = true;
                return true;
            }
        }
        return false;
    }
    bool SetData(const SEventData& d, bool bSorted, int i, int f)
    {
        if (i == -1) {
            if (!bSorted || !InsertAtDate(d))
                m_v.push_back(d);
            m_bModified = true;
            return true;
        }
        SEventData cur;
        if (!GetAt(i, &cur, f))
            return false;
        if (d == cur)
            return true;
        if (d.lYear == cur.lYear && ((d.nMonth == cur.nMonth && d.nDay == cur.nDay && d.bLeapMonth == cur.bLeapMonth) ||
                                     (d.nMonth == -1 && d.nDay == -1))) {
            m_v[Position(i, f)] = d;
        } else {
            m_v.erase(m_v.begin() + Position(i, f));
            if (!InsertAtDate(d))
                m_v.push_back(d);
        }
        m_bModified = true;
        return true;
    }
    int IndexFromYear(std::int32_t y, int f, bool bNearest) const
    {
        int k = 0;
        for (const SEventData& d : m_v) {
            if (!QueryVisible(d, f))
                continue;
            if (bNearest ? d.lYear >= y : d.lYear == y)
                return k;
            ++k;
        }
        return -1;
    }
    int NumOfYear(std::int32_t y, int f) const
    {
        int n = 0;
        for (const SEventData& d : m_v)
            n += QueryVisible(d, f) && d.lYear == y;
        return n;
    }
    std::int32_t NextYear(std::int32_t y, int f) const
    {
        for (const SEventData& d : m_v)
            if (QueryVisible(d, f) && d.lYear > y)
                return d.lYear;
        return NO_YEAR;
    }
    int IndexFromEventData(const SEventData& d, int f) const   // GetAt for each index in turn
    {
        SEventData cur;
        for (int i = 0; GetAt(i, &cur, f); ++i)
            if (cur == d)
                return i;
        return -1;
    }
    int Search(const CString& strText, std::int32_t lFrom, std::int32_t lTo, int f, int nStart) const
    {
        if (nStart == -1)
            nStart = 0;
        else if (nStart < 0 || nStart >= static_cast<int>(m_v.size()))
            return -1;
        CHtmlManage html;
        for (int p = nStart; p < static_cast<int>(m_v.size()); ++p) {
            CString strPlain;
            html.RemoveHtml(m_v[p].strEvent, strPlain);
            if ((strText.IsEmpty() || strPlain.Find(strText) >= 0) && lFrom <= m_v[p].lYear && m_v[p].lYear <= lTo &&
                m_v[p].nPriority <= f)
                return p;
        }
        return -1;
    }
    // 0 false, 1 true, 2 false with the message.
    int Move(bool bAfter, std::int32_t y, int nPos, int f)
    {
        int p = 0;
        while (p < static_cast<int>(m_v.size()) && m_v[p].lYear != y)
            ++p;
        if (p == static_cast<int>(m_v.size()))
            return 1;
        const std::int64_t nSteps = bAfter ? nPos : std::int64_t{nPos} - 1;
        for (std::int64_t n = 0; n < nSteps;) {
            if (++p == static_cast<int>(m_v.size()))
                return 0;
            n += QueryVisible(m_v[p], f);
        }
        if (m_v[p].lYear != y || p + 1 == static_cast<int>(m_v.size()))
            return 0;
        if (m_v[p + 1].nPriority > f)
            return 2;
        std::swap(m_v[p], m_v[p + 1]);
        m_bModified = true;
        return 1;
    }
};

class CDriver {
public:
    explicit CDriver(unsigned nSeed, int nYears) : m_rng(nSeed), m_nYears(nYears) {}

    int Int(int nLow, int nHigh) { return std::uniform_int_distribution<int>(nLow, nHigh)(m_rng); }
    EEventPriority Filter() { return static_cast<EEventPriority>(Int(-1, 4)); }
    std::int32_t Year() { return 1000 + Int(0, m_nYears); }
    SEventData Record()
    {
        static const char* const kTexts[] = {"a", "b", "<b>a</b>", "ab", "c<i>x</i>"};
        SEventData d;
        d.lYear = Year();
        d.nMonth = static_cast<std::int16_t>(Int(0, 3) == 0 ? -1 : Int(1, 3));
        d.nDay = static_cast<std::int16_t>(Int(0, 2) == 0 ? -1 : Int(1, 2));
        d.bLeapMonth = Int(0, 4) == 0;
        d.nPriority = Int(0, 9) == 0 ? 3 : Int(0, 2);
        d.strEvent = kTexts[Int(0, 4)];
        d.strNote = Int(0, 1) ? "n" : "";
        return d;
    }
    // An existing record (or a fresh one when the table is empty).
    SEventData Existing(const CModel& model)
    {
        return model.m_v.empty() ? Record() : model.m_v[static_cast<std::size_t>(Int(0, static_cast<int>(model.m_v.size()) - 1))];
    }

private:
    std::mt19937 m_rng;
    int m_nYears;
};

void ExpectSame(CYearEvent& table, const CModel& model, int nStep)
{
    ASSERT_EQ(static_cast<int>(model.m_v.size()), table.GetLen()) << "step " << nStep;
    SEventData data;
    std::size_t i = 0;
    for (bool b = table.GetFirstData(&data); b; b = table.GetNextData(&data), ++i)
        ASSERT_TRUE(data == model.m_v[i]) << "step " << nStep << " position " << i;
    ASSERT_EQ(model.m_bModified, table.GetModified()) << "step " << nStep;
}

// bTidy makes unsorted appends and out-of-order SetAt rare, so that the list spends long stretches
// in order (or in year order, after moves) and the shortcuts that rely on it are exercised.
void RunDifferential(unsigned nSeed, int nYears, int nSteps, bool bTidy)
{
    CFakeHostUi ui;
    CDriver drive(nSeed, nYears);
    CYearEvent table;
    CModel model;
    for (int nStep = 0; nStep < nSteps; ++nStep) {
        SCOPED_TRACE(testing::Message() << "seed " << nSeed << " step " << nStep);
        int nOp = drive.Int(0, 99);
        if (nOp < 35 && table.GetLen() > 120)             // keep the lists small enough to walk
            nOp = 45;
        const EEventPriority f = drive.Filter();
        const int nLen = table.GetLen();
        if (nOp < 35) {                                   // add, mostly sorted
            const SEventData d = drive.Record();
            const bool bSorted = drive.Int(0, bTidy ? 99 : 9) != 0;
            ASSERT_EQ(model.SetData(d, bSorted, -1, f), table.SetData(d, bSorted, -1, f));
        } else if (nOp < 42) {                            // replace
            const SEventData d = drive.Int(0, 1) ? drive.Record() : drive.Existing(model);
            const int i = drive.Int(-1, nLen);
            ASSERT_EQ(model.SetData(d, false, i == -1 ? 0 : i, f), table.SetData(d, false, i == -1 ? 0 : i, f));
        } else if (nOp < 45) {                            // SetAt: in place, order may break
            const int i = drive.Int(0, nLen);
            const int p = model.Position(i, f);
            SEventData d = drive.Record();
            if (bTidy && p >= 0) {
                d.lYear = model.m_v[static_cast<std::size_t>(p)].lYear;
                d.nMonth = model.m_v[static_cast<std::size_t>(p)].nMonth;
                d.nDay = model.m_v[static_cast<std::size_t>(p)].nDay;
                d.bLeapMonth = model.m_v[static_cast<std::size_t>(p)].bLeapMonth;
            }
            if (p >= 0)
                model.m_v[static_cast<std::size_t>(p)] = d;
            ASSERT_EQ(p >= 0, table.SetAt(i, &d, f));
        } else if (nOp < 52) {                            // remove
            const int i = drive.Int(-1, nLen);
            SEventData a, b;
            const int p = i < 0 ? -1 : model.Position(i, f);
            if (p >= 0) {
                a = model.m_v[static_cast<std::size_t>(p)];
                model.m_v.erase(model.m_v.begin() + p);
                model.m_bModified = true;
            }
            ASSERT_EQ(p >= 0, table.RemoveAt(i, f, &b));
            if (p >= 0) {
                ASSERT_TRUE(a == b);
            }
        } else if (nOp < 62) {                            // moves
            const bool bAfter = drive.Int(0, 1) != 0;
            const std::int32_t y = drive.Int(0, 3) ? drive.Existing(model).lYear : drive.Year();
            const int nPos = drive.Int(-1, 4);
            const std::size_t nMessages = ui.m_messages.size();
            const int nExpected = model.Move(bAfter, y, nPos, f);
            const CYearEvent::EMoveCheck eCheck = bAfter ? table.CheckMoveToAfter(y, nPos, f) : table.CheckMoveToBefore(y, nPos, f);
            ASSERT_EQ(nExpected, eCheck == CYearEvent::MOVE_HIDDEN ? 2 : eCheck == CYearEvent::MOVE_REFUSED ? 0 : 1);
            const bool bResult = bAfter ? table.MoveToAfter(y, nPos, f) : table.MoveToBefore(y, nPos, f);
            ASSERT_EQ(nExpected == 1, bResult);
            ASSERT_EQ(nMessages + (nExpected == 2), ui.m_messages.size());
        } else if (nOp < 72) {                            // a walk by index, forwards or backwards
            const bool bBack = drive.Int(0, 1) != 0;
            for (int j = 0; j <= nLen; ++j) {
                const int i = bBack ? nLen - j : j;
                SEventData a, b;
                const bool bFound = model.GetAt(i, &a, f);
                ASSERT_EQ(bFound, table.GetAt(i, &b, f)) << i;
                if (bFound) {
                    ASSERT_TRUE(a == b) << i;
                }
            }
        } else if (nOp < 84) {                            // year queries
            std::int32_t y = drive.Int(0, 2) ? drive.Existing(model).lYear : drive.Year();
            SEventData reached;
            if (drive.Int(0, 1) && table.GetAt(drive.Int(0, nLen), &reached, f))
                y = reached.lYear;                        // a query about the year a walk is in
            ASSERT_EQ(model.IndexFromYear(y, f, false), table.GetIndexFromYear(y, f));
            ASSERT_EQ(model.IndexFromYear(y, f, true), table.GetNearestYear(y, f));
            ASSERT_EQ(model.NumOfYear(y, f), table.GetNumOfYear(y, f));
            ASSERT_EQ(model.NextYear(y, f), table.GetNextYear(y, f));
            const SEventData d = drive.Existing(model);
            ASSERT_EQ(model.IndexFromEventData(d, f), table.GetIndexFromEventData(d, f));
        } else if (nOp < 88) {                            // GetData hands out the records
            const std::int32_t y = drive.Existing(model).lYear;
            std::vector<SEventData*> v;
            table.GetData(y, v, f);
            std::vector<SEventData> expected;
            for (const SEventData& d : model.m_v)
                if (d.lYear == y && CModel::QueryVisible(d, f))
                    expected.push_back(d);
            ASSERT_EQ(expected.size(), v.size());
            for (std::size_t j = 0; j < v.size(); ++j)
                ASSERT_TRUE(expected[j] == *v[j]);
        } else if (nOp < 93) {                            // text search, continued to the end
            const CString strText(drive.Int(0, 1) ? "a" : "ab");
            const std::int32_t lFrom = drive.Year(), lTo = drive.Year();
            for (int nStart = -1;;) {
                std::int32_t lYear = 0;
                const int nExpected = model.Search(strText, lFrom, lTo, f, nStart);
                ASSERT_EQ(nExpected, table.SearchStr(strText, lYear, lFrom, lTo, f, nStart));
                if (nExpected < 0)
                    break;
                nStart = nExpected + 1;
            }
        } else if (nOp < 96) {                            // merge a small table
            CYearEvent other;
            CModel otherModel;
            for (int j = drive.Int(0, 6); j > 0; --j) {
                const SEventData d = drive.Record();
                other.SetData(d, false, -1, PRIORITY_ALL);
                otherModel.m_v.push_back(d);
            }
            for (const SEventData& d : otherModel.m_v)
                model.SetData(d, true, -1, PRIORITY_ALL);
            ASSERT_TRUE(table.Merge(other));
        } else if (nOp < 98 || drive.Int(0, 1)) {
            table.SetModified(false);
            model.m_bModified = false;
        } else {
            table.RemoveAll();
            model.m_v.clear();
        }
        ExpectSame(table, model, nStep);
    }
}

TEST(YearEventModelTest, FastPathsMatchThePlainWalks)
{
    for (unsigned nSeed = 1; nSeed <= 12; ++nSeed)
        ASSERT_NO_FATAL_FAILURE(RunDifferential(nSeed, nSeed % 3 == 0 ? 3 : 40, 1500, nSeed % 2 == 0));
}

} // namespace
