// CNenpyoWindow: Nenpyo's main window over one chronology: the name and explanation above a table
// of its events, menus and shortcuts for every action, an undo stack for every change.
//
// The actions that ask the user something (a file dialog, the event dialog) are thin: they ask,
// then call the operation below that does the work, which a test may call directly. File dialogs
// and file messages go through the library's host UI seam, as the tables' own do.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <corvane/EventData.h>
#include <corvane/YearEvent.h>

#include "NenpyoCommands.h"
#include "NenpyoDoc.h"

class CBandView;
class CChronologyPrinter;
class CEventModel;
class CHelpWindow;
class CLinkDelegate;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPrinter;
class QTableView;
class QUndoStack;

class CNenpyoWindow : public QMainWindow, public CCommandTarget {
    Q_OBJECT
public:
    explicit CNenpyoWindow(QWidget* pParent = nullptr);
    ~CNenpyoWindow() override;

    // The era and period files of a new chronology and of documents that name none: the era file
    // Tamber uses when there is one, else the shipped ones.
    static CNenpyoDoc::SDefaults DefaultTables();
    // The shipped sample chronology (日本史.nenpyo).
    static QString SampleFile();
    // The files opened or saved last, newest first.
    static QStringList RecentFiles();

    // Opens a document or a bare event file without asking about unsaved changes. On failure the
    // message is shown and the chronology shown before stays. True on success.
    bool OpenFile(const QString& strPath);
    // Saves to strPath (a document), as Save As does after its dialog. True on success; on
    // failure the message is shown and the previous files stay as they were.
    bool SaveTo(const QString& strPath);
    // Asks whether to save unsaved changes (保存 / 保存しない / キャンセル) when there are any.
    // False when the user cancelled or the save failed: the caller must not go on.
    bool MaybeSave();
    bool IsModified() const;

    // The operations behind the actions, on the selected row where they need one.
    void AddEvent(const SEventData& event);
    bool EditSelected(const SEventData& event);
    bool DeleteSelected();
    bool MoveSelected(bool bUp);
    bool MergeFile(const QString& strPath);
    void SetTableText(const CString& strName, const CString& strExplanation);
    void SetBaseYear(const CBaseYear& baseYear, bool bHas);
    // Asks for an era (HEADER_GENGOU) or period (HEADER_JIDAI) file with the library's dialog and
    // takes its table. False when cancelled or the file cannot be read (the library's message).
    bool ChooseEraFile(EHeaderType eType);
    void SetFilter(EEventPriority eFilter);
    // Selects the first shown event of lYear or after it, else the last row. False when no row
    // is shown.
    bool GoToYear(std::int32_t lYear);
    // Selects the next (bForward) or previous shown event whose text holds strText, going round
    // from the other end when there is none after (before) the selection (the status bar then
    // says so) and saying how many there are. False, with the selection kept, when there is none.
    bool FindText(const QString& strText, bool bForward);
    // Writes the shown rows, with progress and a cancel when it takes long; the status bar says
    // what was written where. False, with a message shown, when the file cannot be written, and
    // when cancelled (the previous file then stays). CSV has a byte order mark when
    // CsvByteOrderMark() (ファイル → CSVにBOMを付ける, remembered).
    bool ExportHtml(const QString& strPath);
    bool ExportCsv(const QString& strPath);
    bool PrintToPdf(const QString& strPath);
    static bool CsvByteOrderMark();
    // True when the printout and the PDF begin with a page of the band's visible range
    // (ファイル → 印刷に時間帯の図を含める, remembered).
    static bool PrintsBand();
    // Opens the link of the selected row's event with the desktop. False when it has none.
    bool OpenSelectedLink();
    // Opens a link target with the desktop (a relative one from the document's folder). False,
    // with a message shown, when it cannot be opened.
    bool OpenLink(const QString& strLink);
    // Opens a file of the recent files menu, asking about unsaved changes; one that is gone is
    // said to be so and dropped from the list.
    bool OpenRecentFile(const QString& strPath);

    // The selected row's list index, -1 for none; selects the row of a list index (none when the
    // filter hides it), scrolled into view or to the middle of the view.
    int SelectedIndex() const;
    void SelectIndex(int nListIndex, bool bCenter = false);

    CNenpyoDoc& Doc() override { return *m_pDoc; }
    void EventsChanged(int nSelect) override;
    CEventModel* Model() const { return m_pModel; }
    QTableView* View() const { return m_pView; }
    // The time band under the table.
    CBandView* Band() const { return m_pBand; }
    QUndoStack* UndoStack() const { return m_pUndoStack; }
    // The link target as the desktop gets it: a relative name is taken from the document's folder.
    QUrl LinkUrl(const QString& strLink) const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    // Enter on a row opens its link, or the event dialog when it has none.
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    // After the model and the band hold the document's events: the revision, the base-year column,
    // the selection of event nKeep (none when out of range), the title and the actions.
    void Refresh(int nKeep);
    void CreateActions();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateSearchMenu();
    void CreateViewMenu();
    // Gives job the band picture when PrintsBand().
    void AddBandPicture(CChronologyPrinter& job);
    void NewFile();
    void Open();
    bool Save();
    bool SaveAs();
    void Merge();
    void ExportHtmlAs();
    void ExportCsvAs();
    void Print();
    void PrintPdfAs();
    void AddEventDlg();
    void EditEventDlg();
    void EditTableTextDlg();
    void EditBaseYearDlg();
    void RemoveBaseYear();
    void OpenBaseYear();
    void GoToYearDlg();
    void FindDlg();
    void About();
    void Help();
    void CellActivated(const QModelIndex& index);

    // Says where and why a table file stopped being read; true when the user opens what was read.
    bool AskToRecover(const SFileStatus& status, const CString& strFailed, CNenpyoDoc& doc);
    void SetDocument(std::unique_ptr<CNenpyoDoc> pDoc);
    void ShowFileStatus(const SFileStatus& status, const CString& strFile) const;
    void UpdateTitle();
    void UpdateActions();
    void AddRecentFile(const QString& strPath);
    void UpdateRecentMenu();
    // Drops the recent files that are gone, saying which in the status bar.
    void DropMissingRecentFiles();
    // The number of shown events whose text holds strCp932.
    int CountMatches(const CString& strCp932);
    QString AskFileName(bool bOpen, const QString& strTitle, const char* pszFilter, const char* pszDefExt,
                        const QString& strFileName) const;
    // Writes an export (a CRowExport::EFormat) with a progress dialog; the status bar says where.
    bool WriteExport(const QString& strPath, int nFormat);
    // The document's name without folder and extension (無題: 年表), for titles and default names.
    QString DocumentName() const;

    std::unique_ptr<CNenpyoDoc> m_pDoc;
    CEventModel* m_pModel;
    QTableView* m_pView;
    CLinkDelegate* m_pLinks;   // draws and opens the links of the event texts
    CBandView* m_pBand;
    QLabel* m_pName;
    QLabel* m_pExplanation;
    QLabel* m_pCount;              // the rows shown and held, in the status bar for good
    QString m_strRecovered;        // what a recovered chronology was recovered from
    QUndoStack* m_pUndoStack;
    QMenu* m_pRecentMenu = nullptr;
    QActionGroup* m_pFilterGroup = nullptr;
    QAction* m_pEditAction = nullptr;
    QAction* m_pDeleteAction = nullptr;
    QAction* m_pUpAction = nullptr;
    QAction* m_pDownAction = nullptr;
    QAction* m_pRemoveBaseYearAction = nullptr;
    QString m_strFind;
    QPointer<CHelpWindow> m_pHelpWindow;
    int m_nRevision = 0;           // counts the changes of the chronology shown
    struct SFindCount {
        CString strText;
        EEventPriority eFilter = PRIORITY_ALL;
        int nRevision = -1;
        int nCount = 0;
    } m_findCount;                 // the matches of the last text found   // the help pages when the desktop has no viewer
};
