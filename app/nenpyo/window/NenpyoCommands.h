// The undoable changes of a chronology, one QUndoCommand each. Every change goes through the
// tables' own operations (CEventEdit for the events); a command tells its target what changed so
// that the view can show it and select the event the change is about.
#pragma once

#include <memory>

#include <QUndoCommand>

#include <corvane/BaseYear.h>
#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <corvane/YearEvent.h>

class CNenpyoDoc;

// What the commands change and tell: the window.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual CNenpyoDoc& Doc() = 0;
    // The events changed; select the event at list index nSelect (-1: keep the selection).
    virtual void EventsChanged(int nSelect) = 0;
};

class CAddEventCommand : public QUndoCommand {
public:
    CAddEventCommand(CCommandTarget& target, const SEventData& data);
    void redo() override;
    void undo() override;

private:
    CCommandTarget& m_target;
    SEventData m_data;
    int m_nIndex = -1;
};

class CEditEventCommand : public QUndoCommand {
public:
    CEditEventCommand(CCommandTarget& target, int nIndex, const SEventData& data);
    void redo() override;
    void undo() override;

private:
    CCommandTarget& m_target;
    int m_nIndex;
    SEventData m_new;
    SEventData m_old;
    int m_nNewIndex = -1;
};

class CDeleteEventCommand : public QUndoCommand {
public:
    CDeleteEventCommand(CCommandTarget& target, int nIndex);
    void redo() override;
    void undo() override;

private:
    CCommandTarget& m_target;
    int m_nIndex;
    SEventData m_data;
};

// A move of one event within its year: the events at list indexes nSwapped and nSwapped + 1
// change places (CEventEdit::MovePair finds them).
class CMoveEventCommand : public QUndoCommand {
public:
    CMoveEventCommand(CCommandTarget& target, int nSwapped, int nSelectBefore, int nSelectAfter);
    void redo() override;
    void undo() override;

private:
    CCommandTarget& m_target;
    int m_nSwapped;
    int m_nSelectBefore;
    int m_nSelectAfter;
};

// The event table's name and explanation.
class CTableTextCommand : public QUndoCommand {
public:
    CTableTextCommand(CCommandTarget& target, const CString& strName, const CString& strExplanation);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CCommandTarget& m_target;
    CString m_strName;
    CString m_strExplanation;
};

// The base-year table replaced by another (its options, supplement and name), or taken away or
// added (bHas).
class CBaseYearCommand : public QUndoCommand {
public:
    CBaseYearCommand(CCommandTarget& target, const CBaseYear& baseYear, bool bHas);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CCommandTarget& m_target;
    CBaseYear m_baseYear;
    bool m_bHas;
};

// The events of another table merged in by date; undo puts back the table as it was.
class CMergeCommand : public QUndoCommand {
public:
    CMergeCommand(CCommandTarget& target, std::unique_ptr<CYearEvent> pOther);
    void redo() override;
    void undo() override;

private:
    CCommandTarget& m_target;
    std::unique_ptr<CYearEvent> m_pOther;
    std::unique_ptr<CYearEvent> m_pBefore;
};

// The era table (HEADER_GENGOU) or the period table (HEADER_JIDAI) replaced by another; the
// document names the new table's file from then on.
class CReferenceTableCommand : public QUndoCommand {
public:
    CReferenceTableCommand(CCommandTarget& target, EHeaderType eType, const CGengouEra& table);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CCommandTarget& m_target;
    EHeaderType m_eType;
    CGengouEra m_table;
};
