// The undoable changes of a chronology, one QUndoCommand each. Every change goes through the
// tables' own operations (CEventEdit for the events); a command tells the chronology what changed
// (CChronology::Changed), with the event the change is about, and the chronology announces it.
#pragma once

#include <filesystem>

#include <memory>

#include <QUndoCommand>

#include <corvane/BaseYear.h>
#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <corvane/YearEvent.h>

class CChronology;

class CAddEventCommand : public QUndoCommand {
public:
    CAddEventCommand(CChronology& target, const SEventData& data);
    void redo() override;
    void undo() override;

private:
    CChronology& m_target;
    SEventData m_data;
    int m_nIndex = -1;
};

class CEditEventCommand : public QUndoCommand {
public:
    CEditEventCommand(CChronology& target, int nIndex, const SEventData& data);
    void redo() override;
    void undo() override;

private:
    CChronology& m_target;
    int m_nIndex;
    SEventData m_new;
    SEventData m_old;
    int m_nNewIndex = -1;
};

class CDeleteEventCommand : public QUndoCommand {
public:
    CDeleteEventCommand(CChronology& target, int nIndex);
    void redo() override;
    void undo() override;

private:
    CChronology& m_target;
    int m_nIndex;
    SEventData m_data;
};

// A move of one event within its year: the events at list indexes nSwapped and nSwapped + 1
// change places (CEventEdit::MovePair finds them).
class CMoveEventCommand : public QUndoCommand {
public:
    CMoveEventCommand(CChronology& target, int nSwapped, int nSelectBefore, int nSelectAfter);
    void redo() override;
    void undo() override;

private:
    CChronology& m_target;
    int m_nSwapped;
    int m_nSelectBefore;
    int m_nSelectAfter;
};

// The event table's name and explanation.
class CTableTextCommand : public QUndoCommand {
public:
    CTableTextCommand(CChronology& target, const CString& strName, const CString& strExplanation);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CChronology& m_target;
    CString m_strName;
    CString m_strExplanation;
};

// The base-year table replaced by another (its options, supplement and name), or taken away or
// added (bHas).
class CBaseYearCommand : public QUndoCommand {
public:
    CBaseYearCommand(CChronology& target, const CBaseYear& baseYear, bool bHas);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CChronology& m_target;
    CBaseYear m_baseYear;
    bool m_bHas;
};

// The events of another table merged in by date; undo puts back the table as it was.
class CMergeCommand : public QUndoCommand {
public:
    // nSelected: the list index of the event selected before (-1: none), selected again where it
    // goes, after the merge and after its undo.
    CMergeCommand(CChronology& target, std::unique_ptr<CYearEvent> pOther, int nSelected);
    void redo() override;
    void undo() override;

private:
    CChronology& m_target;
    std::unique_ptr<CYearEvent> m_pOther;
    std::unique_ptr<CYearEvent> m_pBefore;
    int m_nSelected;
};

// The era table (HEADER_GENGOU) or the period table (HEADER_JIDAI) replaced by another read from
// path; the document names that file from then on (and the previous one again after an undo).
class CReferenceTableCommand : public QUndoCommand {
public:
    CReferenceTableCommand(CChronology& target, EHeaderType eType, const CGengouEra& table,
                           const std::filesystem::path& path);
    void redo() override;
    void undo() override;

private:
    void Swap();

    CChronology& m_target;
    EHeaderType m_eType;
    CGengouEra m_table;
    std::filesystem::path m_path;
};
