#include "DocumentFiles.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <framework/Cp932.h>
#include <framework/FileDialog.h>
#include <framework/FileSystem.h>
#include <framework/HostUi.h>
#include <shared/qt/QtText.h>

#include "Chronology.h"
#include "DamagedLine.h"
#include "NenpyoSession.h"
#include "RecentFiles.h"

namespace {

const char* const kDocumentFilter = "年表ファイル (*.nenpyo)|*.nenpyo|";
const char* const kOpenFilter = "年表・出来事ファイル|*.nenpyo;*.lev|年表ファイル|*.nenpyo|出来事ファイル|*.lev|";

CString Cp932Path(const QString& strPath)
{
    CString str;
    FromNativePath(strPath.toStdString(), str);
    return str;
}

QString NativePath(const CString& strPath) { return ToQString(strPath); }

} // namespace

CDocumentFiles::CDocumentFiles(QWidget* pWindow, CChronology& chronology, const CNenpyoSession& session)
    : QObject(pWindow), m_pWindow(pWindow), m_chronology(chronology), m_session(session)
{
}

void CDocumentFiles::ShowFileStatus(const SFileStatus& status, const CString& strFile) const
{
    AfxMessageBox(FormatFileStatus(status, strFile), MB_ICONEXCLAMATION);
}

QString CDocumentFiles::AskFileName(bool bOpen, const QString& strTitle, const char* pszFilter, const char* pszDefExt,
                                   const QString& strFileName) const
{
    const unsigned long dwFlags = bOpen ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER
                                        : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    CFileDialog dialog(bOpen, LiteralToCp932(pszDefExt), Cp932Path(strFileName), dwFlags, LiteralToCp932(pszFilter));
    dialog.m_request.strTitle = FromQString(strTitle);
    const CNenpyoDoc& doc = m_chronology.Doc();
    const CString strWhere = doc.GetPathName().IsEmpty() ? doc.Events().GetFileName() : doc.GetPathName();
    if (!strWhere.IsEmpty())
        dialog.m_request.strInitialDir = CNenpyoDoc::FolderOf(strWhere);
    if (dialog.DoModal() != IDOK)
        return QString();
    return NativePath(dialog.GetPathName());
}

QString CDocumentFiles::AskExportName(const QString& strTitle, const char* pszFilter, const char* pszDefExt) const
{
    return AskFileName(false, strTitle, pszFilter, pszDefExt,
                       ToQString(CNenpyoSession::DocumentName(m_chronology.Doc())) + QLatin1Char('.') +
                           QLatin1String(pszDefExt));
}

void CDocumentFiles::NewFile()
{
    if (!MaybeSave())
        return;
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New(m_session.DefaultTables());
    m_chronology.Replace(std::move(pDoc));
}

void CDocumentFiles::Open()
{
    if (!MaybeSave())
        return;
    const QString strPath = AskFileName(true, QStringLiteral("年表を開く"), kOpenFilter, "nenpyo", QString());
    if (!strPath.isEmpty())
        OpenFile(strPath);
}

bool CDocumentFiles::OpenFile(const QString& strPath)
{
    CString strName;
    if (!FromNativePath(QFileInfo(strPath).absoluteFilePath().toStdString(), strName)) {
        AfxMessageBox(CP932("このファイル名はShift_JIS(コードページ932)で表せない文字を含むため開けません。"),
                      MB_ICONEXCLAMATION);
        return false;
    }
    auto pDoc = std::make_unique<CNenpyoDoc>();
    CString strFailed;
    const SFileStatus status = pDoc->Open(strName, m_session.DefaultTables(), strFailed);
    if (!status.Ok() && !pDoc->IsRecovered()) {
        ShowFileStatus(status, strFailed);
        return false;
    }
    if (!status.Ok() && !AskToRecover(status, strFailed, *pDoc))
        return false;
    m_chronology.Replace(std::move(pDoc), m_session.IsSample(strName));
    if (!m_chronology.IsReadOnly())
        AddRecentFile(QFileInfo(strPath).absoluteFilePath());
    // Each table the document names that could not be read, and what is shown instead.
    CString strWarnings;
    for (const CString& strWarning : m_chronology.Doc().Warnings())
        strWarnings += (strWarnings.IsEmpty() ? CString() : CString("\n")) + strWarning;
    if (!strWarnings.IsEmpty())
        AfxMessageBox(strWarnings, MB_ICONEXCLAMATION);
    return true;
}

bool CDocumentFiles::AskToRecover(const SFileStatus& status, const CString& strFailed, const CNenpyoDoc& doc)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年表"),
                    QStringLiteral("%1\n%2行目: %3。\n\nその前までに読めた%4件の出来事を開きますか?\n"
                                   "復元した年表は、保存するときに新しい名前を尋ねます。")
                        .arg(ToQString(FormatFileStatus(status, strFailed)))
                        .arg(status.nLine)
                        .arg(ToQString(CDamagedLine::Describe(strFailed, status.nLine)))
                        .arg(doc.Events().GetLen()),
                    QMessageBox::Open | QMessageBox::Cancel, m_pWindow);
    box.button(QMessageBox::Open)->setText(QStringLiteral("読めた所までを開く(&O)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("開かない"));
    box.setDefaultButton(QMessageBox::Open);
    if (box.exec() != QMessageBox::Open)
        return false;
    m_strRecovered = QStringLiteral("%1 の%2行目より前を復元しました").arg(QFileInfo(NativePath(strFailed)).fileName()).arg(status.nLine);
    return true;
}

bool CDocumentFiles::Save()
{
    CNenpyoDoc& doc = m_chronology.Doc();
    switch (m_session.SaveRoute(doc, m_chronology.IsReadOnly())) {
    case CNenpyoSession::ESave::AskName: return SaveAs();
    case CNenpyoSession::ESave::Document: return SaveTo(NativePath(doc.GetPathName()));
    case CNenpyoSession::ESave::TablesInPlace: break;
    }
    CString strFailed;
    const SFileStatus status = doc.SaveTablesInPlace(strFailed);
    if (!status.Ok()) {
        ShowFileStatus(status, strFailed);
        return false;
    }
    m_chronology.MarkSaved();
    return true;
}

bool CDocumentFiles::SaveAs()
{
    const CNenpyoDoc& doc = m_chronology.Doc();
    const QString strPath = AskFileName(false, QStringLiteral("名前を付けて保存"), kDocumentFilter, "nenpyo",
                                        ToQString(CNenpyoSession::ProposedName(doc)));
    if (strPath.isEmpty())
        return false;
    // Save as writes the tables beside the document under its name: files of that name that are
    // not this chronology's own would be replaced, so ask first.
    QStringList existing;
    for (const CString& strName : CNenpyoSession::TablesReplaced(doc, Cp932Path(QFileInfo(strPath).absoluteFilePath())))
        existing << ToQString(strName);
    if (!existing.isEmpty() &&
        QMessageBox::question(m_pWindow, QStringLiteral("名前を付けて保存"),
                              QStringLiteral("%1 は既にあります。置き換えますか?").arg(existing.join(QStringLiteral("、"))),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return false;
    return SaveTo(strPath);
}

bool CDocumentFiles::SaveTo(const QString& strPath)
{
    CString strFailed;
    const SFileStatus status = m_chronology.Doc().Save(Cp932Path(QFileInfo(strPath).absoluteFilePath()), strFailed);
    if (!status.Ok()) {
        ShowFileStatus(status, strFailed);
        return false;
    }
    m_chronology.MarkSaved();
    AddRecentFile(QFileInfo(strPath).absoluteFilePath());
    return true;
}

bool CDocumentFiles::MaybeSave()
{
    if (!m_chronology.IsModified())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年表"),
                    QStringLiteral("%1 への変更を保存しますか?").arg(m_pWindow->windowTitle().section(QStringLiteral("[*]"), 0, 0)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_pWindow);
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存(&S)"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return Save();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

void CDocumentFiles::AddRecentFile(const QString& strPath)
{
    CRecentFiles::Add(strPath);
    Q_EMIT recentFilesChanged();
}

bool CDocumentFiles::OpenRecentFile(const QString& strPath)
{
    if (!QFileInfo::exists(strPath)) {
        QMessageBox::information(m_pWindow, QStringLiteral("年表"),
                                 QStringLiteral("%1 が見つかりません。最近使ったファイルから外します。").arg(strPath));
        CRecentFiles::Remove(strPath);
        Q_EMIT recentFilesChanged();
        return false;
    }
    return MaybeSave() && OpenFile(strPath);
}
