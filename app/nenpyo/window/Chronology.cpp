#include "Chronology.h"

#include <QUndoStack>

#include "EventEdit.h"
#include "NenpyoCommands.h"

CChronology::CChronology(QObject* pParent)
    : QObject(pParent), m_pDoc(std::make_unique<CNenpyoDoc>()), m_pUndoStack(new QUndoStack(this))
{
    connect(m_pUndoStack, &QUndoStack::cleanChanged, this, &CChronology::modifiedChanged);
}

CChronology::~CChronology()
{
    // The stack goes with our children, after the document: its commands must not reach it.
    disconnect(m_pUndoStack, nullptr, this, nullptr);
    m_pUndoStack->clear();
}

void CChronology::Replace(std::unique_ptr<CNenpyoDoc> pDoc, bool bReadOnly)
{
    m_pUndoStack->clear();
    m_pDoc = std::move(pDoc);
    m_bReadOnly = bReadOnly;
    ++m_nRevision;
    Q_EMIT replaced();
    Q_EMIT modifiedChanged();
}

bool CChronology::IsModified() const
{
    return !m_pUndoStack->isClean() || m_pDoc->IsRecovered();
}

void CChronology::MarkSaved()
{
    m_bReadOnly = false;
    m_pUndoStack->setClean();
    Q_EMIT modifiedChanged();
}

void CChronology::SetFilter(EEventPriority eFilter)
{
    if (eFilter == m_eFilter)
        return;
    m_eFilter = eFilter;
    Q_EMIT filterChanged(eFilter);
}

void CChronology::Changed(int nSelect)
{
    ++m_nRevision;
    Q_EMIT changed(nSelect);
}

void CChronology::AddEvent(const SEventData& event)
{
    m_pUndoStack->push(new CAddEventCommand(*this, event));
}

bool CChronology::EditEvent(int nIndex, const SEventData& event)
{
    SEventData old;
    if (!m_pDoc->Events().GetAt(nIndex, &old, PRIORITY_ALL) || old == event)
        return false;
    m_pUndoStack->push(new CEditEventCommand(*this, nIndex, event));
    return true;
}

bool CChronology::DeleteEvent(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_pDoc->Events().GetLen())
        return false;
    m_pUndoStack->push(new CDeleteEventCommand(*this, nIndex));
    return true;
}

CChronology::EMove CChronology::MoveEvent(int nIndex, bool bUp)
{
    if (nIndex < 0 || nIndex >= m_pDoc->Events().GetLen())
        return EMove::NotInYear;
    bool bHidden = false;
    const int nSwapped = CEventEdit::MovePair(m_pDoc->Events(), nIndex, bUp, m_eFilter, bHidden);
    if (bHidden)
        return EMove::AcrossHidden;
    if (nSwapped < 0)
        return EMove::NotInYear;
    m_pUndoStack->push(new CMoveEventCommand(*this, nSwapped, nIndex, bUp ? nIndex - 1 : nIndex + 1));
    return EMove::Moved;
}

void CChronology::Merge(std::unique_ptr<CYearEvent> pOther, int nSelected)
{
    m_pUndoStack->push(new CMergeCommand(*this, std::move(pOther), nSelected));
}

bool CChronology::SetTableText(const CString& strName, const CString& strExplanation)
{
    const CYearEvent& events = m_pDoc->Events();
    if (strName == events.GetTableName() && strExplanation == events.GetExplanation())
        return false;
    m_pUndoStack->push(new CTableTextCommand(*this, strName, strExplanation));
    return true;
}

void CChronology::SetBaseYear(const CBaseYear& baseYear, bool bHas)
{
    m_pUndoStack->push(new CBaseYearCommand(*this, baseYear, bHas));
}

void CChronology::SetReferenceTable(EHeaderType eType, const CGengouEra& table, const std::filesystem::path& path)
{
    m_pUndoStack->push(new CReferenceTableCommand(*this, eType, table, path));
}
