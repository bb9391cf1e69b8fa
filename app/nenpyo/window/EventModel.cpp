#include "EventModel.h"

#include <algorithm>

#include <shared/chronology/ChronologyText.h>
#include <shared/chronology/LinkedText.h>
#include <corvane/HtmlManage.h>

#include "Chronology.h"
#include "NenpyoDoc.h"
#include <shared/qt/QtText.h>
#include "RowExport.h"

CEventModel::CEventModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CEventModel::Follow(CChronology* pChronology)
{
    connect(pChronology, &CChronology::replaced, this, [this, pChronology] { SetDocument(&pChronology->Doc()); });
    connect(pChronology, &CChronology::changed, this, &CEventModel::Reload);
    connect(pChronology, &CChronology::filterChanged, this, &CEventModel::SetFilter);
    SetFilter(pChronology->Filter());
    SetDocument(&pChronology->Doc());
}

void CEventModel::SetDocument(CNenpyoDoc* pDoc)
{
    beginResetModel();
    m_pDoc = pDoc;
    LayOut();
    endResetModel();
}

void CEventModel::SetFilter(EEventPriority eFilter)
{
    beginResetModel();
    m_eFilter = eFilter;
    LayOut();
    endResetModel();
}

void CEventModel::Reload()
{
    beginResetModel();
    LayOut();
    endResetModel();
}

void CEventModel::LayOut()
{
    m_vRows.clear();
    m_bAll = m_eFilter == PRIORITY_ALL;
    if (m_pDoc == nullptr || m_bAll)
        return;
    int nIndex = 0;
    for (const auto& pRecord : m_pDoc->Events().GetEventData()) {
        if (CYearEvent::IsShown(*pRecord, m_eFilter))
            m_vRows.push_back(nIndex);
        ++nIndex;
    }
}

int CEventModel::ListIndex(int nRow) const
{
    if (nRow < 0 || nRow >= rowCount())
        return -1;
    return m_bAll ? nRow : m_vRows[static_cast<std::size_t>(nRow)];
}

int CEventModel::RowOf(int nListIndex) const
{
    if (m_pDoc == nullptr || nListIndex < 0 || nListIndex >= m_pDoc->Events().GetLen())
        return -1;
    if (m_bAll)
        return nListIndex;
    const auto it = std::lower_bound(m_vRows.begin(), m_vRows.end(), nListIndex);
    return it != m_vRows.end() && *it == nListIndex ? static_cast<int>(it - m_vRows.begin()) : -1;
}

bool CEventModel::EventAt(int nRow, SEventData& data) const
{
    const int nIndex = ListIndex(nRow);
    return nIndex >= 0 && m_pDoc->Events().GetAt(nIndex, &data, PRIORITY_ALL);
}

int CEventModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || m_pDoc == nullptr)
        return 0;
    return m_bAll ? m_pDoc->Events().GetLen() : static_cast<int>(m_vRows.size());
}

int CEventModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant CEventModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid())
        return QVariant();
    const int nColumn = index.column();
    switch (nRole) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case LinkRole:
        break;
    case Qt::TextAlignmentRole:
        return nColumn == COLUMN_YEAR ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                      : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case LinkRangesRole: {
        SEventData event;
        if (nColumn != COLUMN_TEXT || !EventAt(index.row(), event) || event.strEvent.Find('<') < 0)
            return QVariant();
        QVariantList ranges;
        qsizetype nStart = 0;
        for (const STextRun& run : CLinkedText::Runs(event.strEvent)) {
            const qsizetype nLength = ToQString(run.strText).size();
            if (!run.strLink.IsEmpty())
                ranges.append(QVariant(QVariantList{nStart, nLength, ToQString(run.strLink)}));
            nStart += nLength;
        }
        return ranges;
    }
    default:
        return QVariant();
    }

    SEventData event;
    if (!EventAt(index.row(), event))
        return QVariant();
    // The link needs none of the tables (asked for at every paint of a linked cell): a row made
    // without them skips the year lookups.
    if (nRole == LinkRole)
        return nColumn == COLUMN_TEXT && event.strEvent.Find('<') >= 0
                   ? ToQString(CChronologyText(nullptr, nullptr, nullptr).MakeRow(event).strLink)
                   : QString();
    if (nRole == Qt::ToolTipRole && nColumn != COLUMN_TEXT && nColumn != COLUMN_NOTE)
        return QVariant();
    const CChronologyText text(&m_pDoc->Eras(), &m_pDoc->Periods(),
                               m_pDoc->HasBaseYear() ? &m_pDoc->BaseYear() : nullptr);

    CString strText;
    switch (nColumn) {
    case COLUMN_YEAR: strText.Format("%d", static_cast<int>(event.lYear)); break;
    case COLUMN_ERA_YEAR: strText = text.EraYear(event); break;
    case COLUMN_PERIOD: strText = text.Period(event.lYear); break;
    case COLUMN_BASE_YEAR: strText = text.BaseYearLabel(event.lYear); break;
    case COLUMN_DATE:
        event.MakeDate(strText);
        strText.TrimRight();
        break;
    case COLUMN_TEXT: CHtmlManage().RemoveHtml(event.strEvent, strText); break;
    case COLUMN_NOTE: strText = event.strNote; break;
    default: break;
    }
    QString str = ToQString(strText);
    if (nRole == Qt::DisplayRole && nColumn == COLUMN_NOTE)
        str.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    return str;
}

QVariant CEventModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (nRole != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return nSection + 1;
    if (m_pDoc == nullptr)
        return QVariant();
    return ToQString(CRowExport::ColumnTitle(*m_pDoc, nSection));
}
