// CNenpyoWindow: Nenpyo's main window over one chronology: the name and explanation above a table
// of its events and the band of time, menus and shortcuts for every action. The window lays out,
// asks and shows; the parts it holds do the rest:
//   CChronology      the chronology and its undo stack: every change, and what changed;
//   CNenpyoSession   the decisions about files (which way a save goes, what it would replace);
//   CEventSearch     finding by text and by year;
//   CSharing         exports, printing, PDF and the band's picture;
//   CNenpyoSettings  what is remembered between runs.
//
// The actions that ask the user something (a file dialog, the event dialog) are thin: they ask,
// then call the operation below that does the work, which a test may call directly. File dialogs
// and file messages go through the library's host UI seam, as the tables' own do.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <corvane/EventData.h>

#include "Chronology.h"
#include "DocumentFiles.h"
#include "EventSearch.h"
#include "NenpyoSession.h"

class CBandView;
class CEventModel;
class CHelpWindow;
class CLinkDelegate;
class CNenpyoMenus;
class CSharing;
class QLabel;
class QTableView;

class CNenpyoWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CNenpyoWindow(QWidget* pParent = nullptr);
    ~CNenpyoWindow() override = default;

    // Opening and saving (CDocumentFiles), for the caller that has a name already.
    bool OpenFile(const QString& strPath) { return m_pFiles->OpenFile(strPath); }
    bool SaveTo(const QString& strPath) { return m_pFiles->SaveTo(strPath); }
    bool MaybeSave() { return m_pFiles->MaybeSave(); }

    // The operations behind the actions that work on the selected row. False when there is none
    // or nothing changes (a move out of its year or across a hidden event says why).
    bool EditSelected(const SEventData& event);
    bool DeleteSelected();
    bool MoveSelected(bool bUp);
    // Merges an event file by date, the selection following its event. False, with the library's
    // message, when the file cannot be read.
    bool MergeFile(const QString& strPath);
    // Asks for an era (HEADER_GENGOU) or period (HEADER_JIDAI) file, starting in the document's
    // folder, and takes its table. False when cancelled or the file cannot be read (the library's
    // message).
    bool ChooseEraFile(EHeaderType eType);
    void SetFilter(EEventPriority eFilter) { m_pChronology->SetFilter(eFilter); }
    // Selects the first shown event of lYear or after it, else the last row. False when no row
    // is shown.
    bool GoToYear(std::int32_t lYear);
    // Selects the next (bForward) or previous shown event whose text holds strText (CEventSearch);
    // the status bar says how many there are and whether the search went round. False, with the
    // selection kept, when there is none.
    bool FindText(const QString& strText, bool bForward);
    // Finds the text found last again (asks for one before the first search).
    void FindAgain(bool bForward);
    // Opens the link of the selected row's event. False when it has none.
    bool OpenSelectedLink();
    // Opens a link of an event as CLinkOpener allows. False when it is not opened.
    bool OpenLink(const QString& strLink);

    // The actions that ask first.
    void AddEventDlg();
    void EditEventDlg();
    void EditTableTextDlg();
    void EditBaseYearDlg();
    void GoToYearDlg();
    void FindDlg();
    void Help();
    void ShowMessage(const QString& strText, int nTimeout);

    // The selected row's list index, -1 for none; selects the row of a list index (none when the
    // filter hides it), scrolled into view or to the middle of the view.
    int SelectedIndex() const;
    void SelectIndex(int nListIndex, bool bCenter = false);

    CChronology& Chronology() { return *m_pChronology; }
    CNenpyoDoc& Doc() { return m_pChronology->Doc(); }
    QUndoStack* UndoStack() const { return m_pChronology->UndoStack(); }
    CDocumentFiles& Files() { return *m_pFiles; }
    CSharing& Sharing() { return *m_pSharing; }
    const CNenpyoSession& Session() const { return m_session; }
    CEventModel* Model() const { return m_pModel; }
    QTableView* View() const { return m_pView; }
    CBandView* Band() const { return m_pBand; }
    // The link target as the desktop gets it: a relative name is taken from the document's folder.
    QUrl LinkUrl(const QString& strLink) const;

protected:
    // Asks about unsaved changes; remembers the window's size.
    void closeEvent(QCloseEvent* pEvent) override;
    // Enter on a row opens its link, or the event dialog when it has none.
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    QTableView* CreateTable();
    QWidget* CreateCentral();
    // A new chronology is shown; the chronology changed (select nSelect, -1: keep the selection);
    // the filter changed.
    void Replaced();
    void Changed(int nSelect);
    void FilterChanged(EEventPriority eFilter);
    void UpdateTitle();
    void UpdateActions();

    CNenpyoSession m_session;
    CChronology* m_pChronology;
    CDocumentFiles* m_pFiles;
    CSharing* m_pSharing = nullptr;
    CNenpyoMenus* m_pMenus = nullptr;
    CEventSearch m_search;
    CEventModel* m_pModel;
    QTableView* m_pView = nullptr;
    CLinkDelegate* m_pLinks = nullptr;   // draws and opens the links of the event texts
    CBandView* m_pBand = nullptr;
    QLabel* m_pName = nullptr;
    QLabel* m_pExplanation = nullptr;
    QLabel* m_pCount = nullptr;          // the rows shown and held, in the status bar for good
    int m_nKeep = -1;                    // the selection while the model lays out again
    QPointer<CHelpWindow> m_pHelpWindow; // the help pages when the desktop has no viewer
};
