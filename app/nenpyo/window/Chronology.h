// CChronology: the chronology being edited: the one object that changes. It owns the document
// (CNenpyoDoc) and its undo stack; every change is a command pushed here (NenpyoCommands), and it
// announces what changed, so that the table model, the band and the window listen instead of
// being told. It also holds the display filter, which every view of the chronology shares.
//
// Unsaved means: the undo stack is not at its clean state, or the chronology was recovered from a
// damaged file (it is not what that file holds until it is saved under a new name).
#pragma once

#include <filesystem>

#include <memory>

#include <QObject>

#include <corvane/BaseYear.h>
#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <corvane/YearEvent.h>

#include "NenpyoDoc.h"

class QUndoStack;

class CChronology : public QObject {
    Q_OBJECT
public:
    explicit CChronology(QObject* pParent = nullptr);
    ~CChronology() override;

    CNenpyoDoc& Doc() { return *m_pDoc; }
    const CNenpyoDoc& Doc() const { return *m_pDoc; }
    QUndoStack* UndoStack() const { return m_pUndoStack; }

    // Shows pDoc from now on; the undo history of the previous one goes. A read-only chronology
    // (the shipped sample) is saved only under a new name. Announces replaced().
    void Replace(std::unique_ptr<CNenpyoDoc> pDoc, bool bReadOnly = false);
    bool IsReadOnly() const { return m_bReadOnly; }
    // The one rule of unsaved changes (above).
    bool IsModified() const;
    // After a save that wrote everything: nothing is unsaved, and a read-only chronology saved
    // under a new name is an ordinary one.
    void MarkSaved();

    // PRIORITY_HIGH, PRIORITY_MIDDLE or PRIORITY_ALL; announces filterChanged() when it changes.
    EEventPriority Filter() const { return m_eFilter; }
    void SetFilter(EEventPriority eFilter);
    // Counts the changes: equal revisions mean the same events.
    int Revision() const { return m_nRevision; }

    // The changes, each one command on the undo stack. The ones with a result return false, and
    // push nothing, when there is nothing to change (no such event, the same data).
    void AddEvent(const SEventData& event);
    bool EditEvent(int nIndex, const SEventData& event);
    bool DeleteEvent(int nIndex);
    enum class EMove { Moved, NotInYear, AcrossHidden };
    // Moves the event at nIndex within its year, past the next event the filter shows.
    EMove MoveEvent(int nIndex, bool bUp);
    // Merges the events of pOther by date; nSelected (the selected event, -1: none) is followed to
    // its new place.
    void Merge(std::unique_ptr<CYearEvent> pOther, int nSelected);
    bool SetTableText(const CString& strName, const CString& strExplanation);
    void SetBaseYear(const CBaseYear& baseYear, bool bHas);
    void SetReferenceTable(EHeaderType eType, const CGengouEra& table, const std::filesystem::path& path);

    // Called by the commands after each change: announces changed(nSelect).
    void Changed(int nSelect);

Q_SIGNALS:
    // Another chronology is shown (everything is new).
    void replaced();
    // The chronology changed; nSelect is the list index of the event the change is about (-1:
    // keep the selection).
    void changed(int nSelect);
    void filterChanged(EEventPriority eFilter);
    // IsModified() may give another answer.
    void modifiedChanged();

private:
    std::unique_ptr<CNenpyoDoc> m_pDoc;
    QUndoStack* m_pUndoStack;
    EEventPriority m_eFilter = PRIORITY_ALL;
    int m_nRevision = 0;
    bool m_bReadOnly = false;
};
