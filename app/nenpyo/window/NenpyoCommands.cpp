#include "NenpyoCommands.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "EventEdit.h"
#include "Chronology.h"
#include "NenpyoDoc.h"

CAddEventCommand::CAddEventCommand(CChronology& target, const SEventData& data)
    : m_target(target), m_data(data)
{
    setText(QStringLiteral("出来事の追加"));
}

void CAddEventCommand::redo()
{
    m_nIndex = CEventEdit::Add(m_target.Doc().Events(), m_data);
    m_target.Changed(m_nIndex);
}

void CAddEventCommand::undo()
{
    CYearEvent& events = m_target.Doc().Events();
    events.RemoveAt(m_nIndex, PRIORITY_ALL, nullptr);
    m_target.Changed(std::min(m_nIndex, events.GetLen() - 1));
}

CEditEventCommand::CEditEventCommand(CChronology& target, int nIndex, const SEventData& data)
    : m_target(target), m_nIndex(nIndex), m_new(data)
{
    setText(QStringLiteral("出来事の編集"));
}

void CEditEventCommand::redo()
{
    CYearEvent& events = m_target.Doc().Events();
    events.GetAt(m_nIndex, &m_old, PRIORITY_ALL);
    m_nNewIndex = CEventEdit::Replace(events, m_nIndex, m_new);
    m_target.Changed(m_nNewIndex);
}

void CEditEventCommand::undo()
{
    CYearEvent& events = m_target.Doc().Events();
    events.RemoveAt(m_nNewIndex, PRIORITY_ALL, nullptr);
    CEventEdit::InsertAt(events, m_nIndex, m_old);
    m_target.Changed(m_nIndex);
}

CDeleteEventCommand::CDeleteEventCommand(CChronology& target, int nIndex) : m_target(target), m_nIndex(nIndex)
{
    setText(QStringLiteral("出来事の削除"));
}

void CDeleteEventCommand::redo()
{
    CYearEvent& events = m_target.Doc().Events();
    events.RemoveAt(m_nIndex, PRIORITY_ALL, &m_data);
    m_target.Changed(std::min(m_nIndex, events.GetLen() - 1));
}

void CDeleteEventCommand::undo()
{
    CEventEdit::InsertAt(m_target.Doc().Events(), m_nIndex, m_data);
    m_target.Changed(m_nIndex);
}

CMoveEventCommand::CMoveEventCommand(CChronology& target, int nSwapped, int nSelectBefore, int nSelectAfter)
    : m_target(target), m_nSwapped(nSwapped), m_nSelectBefore(nSelectBefore), m_nSelectAfter(nSelectAfter)
{
    setText(QStringLiteral("出来事の移動"));
}

void CMoveEventCommand::redo()
{
    CEventEdit::Swap(m_target.Doc().Events(), m_nSwapped);
    m_target.Changed(m_nSelectAfter);
}

void CMoveEventCommand::undo()
{
    CEventEdit::Swap(m_target.Doc().Events(), m_nSwapped);
    m_target.Changed(m_nSelectBefore);
}

CTableTextCommand::CTableTextCommand(CChronology& target, const CString& strName, const CString& strExplanation)
    : m_target(target), m_strName(strName), m_strExplanation(strExplanation)
{
    setText(QStringLiteral("表の名前と説明の変更"));
}

void CTableTextCommand::Swap()
{
    CYearEvent& events = m_target.Doc().Events();
    const CString strName = events.GetTableName();
    const CString strExplanation = events.GetExplanation();
    events.SetTableName(m_strName);
    events.SetExplanation(m_strExplanation);
    m_strName = strName;
    m_strExplanation = strExplanation;
    m_target.Changed(-1);
}

void CTableTextCommand::redo() { Swap(); }
void CTableTextCommand::undo() { Swap(); }

CBaseYearCommand::CBaseYearCommand(CChronology& target, const CBaseYear& baseYear, bool bHas)
    : m_target(target), m_baseYear(baseYear), m_bHas(bHas)
{
    setText(QStringLiteral("基点年の変更"));
}

void CBaseYearCommand::Swap()
{
    CNenpyoDoc& doc = m_target.Doc();
    const CBaseYear previous = doc.BaseYear();
    const bool bHadBefore = doc.HasBaseYear();
    doc.BaseYear() = m_baseYear;
    doc.SetHasBaseYear(m_bHas);
    // Whichever way it goes, the file no longer holds what the table holds.
    doc.BaseYear().SetModified(true);
    m_baseYear = previous;
    m_bHas = bHadBefore;
    m_target.Changed(-1);
}

void CBaseYearCommand::redo() { Swap(); }
void CBaseYearCommand::undo() { Swap(); }

CMergeCommand::CMergeCommand(CChronology& target, std::unique_ptr<CYearEvent> pOther, int nSelected)
    : m_target(target), m_pOther(std::move(pOther)), m_nSelected(nSelected)
{
    setText(QStringLiteral("出来事ファイルの併合"));
}

void CMergeCommand::redo()
{
    CYearEvent& events = m_target.Doc().Events();
    m_pBefore = std::make_unique<CYearEvent>();
    *m_pBefore = events;
    // The merged events go in by date, around the records already there: the selected record is
    // found again where it went.
    const SEventData* pSelected = nullptr;
    if (m_nSelected >= 0 && m_nSelected < events.GetLen())
        pSelected = std::next(events.GetEventData().begin(), m_nSelected)->get();
    events.Merge(*m_pOther);
    int nSelect = -1;
    int nIndex = 0;
    for (auto it = events.GetEventData().begin(); pSelected && it != events.GetEventData().end(); ++it, ++nIndex) {
        if (it->get() == pSelected) {
            nSelect = nIndex;
            break;
        }
    }
    m_target.Changed(nSelect);
}

void CMergeCommand::undo()
{
    CYearEvent& events = m_target.Doc().Events();
    events = *m_pBefore;
    events.SetModified(true);
    m_pBefore.reset();
    m_target.Changed(m_nSelected);
}

CReferenceTableCommand::CReferenceTableCommand(CChronology& target, EHeaderType eType, const CGengouEra& table,
                                               const std::filesystem::path& path)
    : m_target(target), m_eType(eType), m_path(path)
{
    m_table = table;
    setText(eType == HEADER_GENGOU ? QStringLiteral("元号ファイルの選択") : QStringLiteral("時代ファイルの選択"));
}

void CReferenceTableCommand::Swap()
{
    CNenpyoDoc& doc = m_target.Doc();
    const bool bEras = m_eType == HEADER_GENGOU;
    CGengouEra previous;
    previous = bEras ? doc.Eras() : doc.Periods();
    std::filesystem::path previousPath = bEras ? doc.ErasPath() : doc.PeriodsPath();
    if (bEras)
        doc.SetEras(m_table, m_path);
    else
        doc.SetPeriods(m_table, m_path);
    m_table = previous;
    m_path = std::move(previousPath);
    m_target.Changed(-1);
}

void CReferenceTableCommand::redo() { Swap(); }
void CReferenceTableCommand::undo() { Swap(); }
