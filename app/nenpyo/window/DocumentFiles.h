// CDocumentFiles: opening and saving the chronology with the user: the file dialogs, the question
// before unsaved changes are lost, the offer to open what a damaged file held, the question before
// a save as replaces tables, and the recent files. CNenpyoSession decides (the defaults, which way
// a save goes, what it would replace); this asks and shows.
#pragma once

#include <filesystem>

#include <QObject>
#include <QString>

#include <corvane/FileStatus.h>
#include <framework/String.h>

class CChronology;
class CNenpyoDoc;
class CNenpyoSession;
class QWidget;

class CDocumentFiles : public QObject {
    Q_OBJECT
public:
    // pWindow: the parent of the dialogs, whose title names the chronology.
    CDocumentFiles(QWidget* pWindow, CChronology& chronology, const CNenpyoSession& session);

    // A new chronology with the default tables, after asking about unsaved changes.
    void NewFile();
    // Asks for a file and opens it, after asking about unsaved changes.
    void Open();
    // Opens a document or a bare event file without asking about unsaved changes; the shipped
    // sample opens read-only. On failure the message is shown and the chronology shown before
    // stays. True on success.
    bool OpenFile(const QString& strPath);
    bool Save();
    bool SaveAs();
    // Saves to strPath (a document), as Save As does after its dialog. True on success; on
    // failure the message is shown and the previous files stay as they were.
    bool SaveTo(const QString& strPath);
    // Asks whether to save unsaved changes (保存 / 保存しない / キャンセル) when there are any.
    // False when the user cancelled or the save failed: the caller must not go on.
    bool MaybeSave();
    // Opens a file of the recent files menu, asking about unsaved changes; one that is gone is
    // said to be so and dropped from the list.
    bool OpenRecentFile(const QString& strPath);

    // A file name from the library's file dialog (through the host UI), starting in the folder of
    // the chronology's files; empty when cancelled.
    QString AskFileName(bool bOpen, const QString& strTitle, const char* pszFilter, const char* pszDefExt,
                        const QString& strFileName) const;
    // Asks for a file to write, proposing the document's name with the extension pszDefExt.
    QString AskExportName(const QString& strTitle, const char* pszFilter, const char* pszDefExt) const;
    // The library's message of a failed load or save, naming the file as the system gives it.
    static void ShowFileStatus(const SFileStatus& status, const std::filesystem::path& file);
    // What the chronology shown was recovered from (empty unless it was).
    const QString& RecoveredNote() const { return m_strRecovered; }

Q_SIGNALS:
    void recentFilesChanged();

private:
    // Says where and why a table file stopped being read; true when the user opens what was read.
    bool AskToRecover(const SFileStatus& status, const std::filesystem::path& failed, CNenpyoDoc& doc);
    void AddRecentFile(const QString& strPath);

    QWidget* m_pWindow;
    CChronology& m_chronology;
    const CNenpyoSession& m_session;
    QString m_strRecovered;
};
