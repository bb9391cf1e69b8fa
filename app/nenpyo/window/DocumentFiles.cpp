#include "DocumentFiles.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <framework/Cp932.h>
#include <framework/HostUi.h>
#include <shared/qt/QtText.h>

#include "Chronology.h"
#include "DamagedLine.h"
#include "NenpyoSession.h"
#include "RecentFiles.h"
#include "WorkProgress.h"

namespace {

const char* const kDocumentFilter = "年表ファイル (*.nenpyo)|*.nenpyo|";
const char* const kOpenFilter = "年表・出来事ファイル|*.nenpyo;*.lev|年表ファイル|*.nenpyo|出来事ファイル|*.lev|";

// The native path of a name Qt gives, made absolute.
std::filesystem::path AbsolutePath(const QString& strPath)
{
    return ToPath(QFileInfo(strPath).absoluteFilePath());
}

} // namespace

CDocumentFiles::CDocumentFiles(QWidget* pWindow, CChronology& chronology, const CNenpyoSession& session)
    : QObject(pWindow), m_pWindow(pWindow), m_chronology(chronology), m_session(session)
{
}

void CDocumentFiles::ShowFileStatus(const SFileStatus& status, const std::filesystem::path& file)
{
    AfxMessageBoxUtf8(FormatFileStatusUtf8(status, CNenpyoDoc::Utf8(file)), MB_ICONEXCLAMATION);
}

QString CDocumentFiles::AskFileName(bool bOpen, const QString& strTitle, const char* pszFilter, const char* pszDefExt,
                                   const QString& strFileName) const
{
    const unsigned long dwFlags = bOpen ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER
                                        : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    SFileRequest request;
    request.bOpen = bOpen;
    request.strTitle = FromQString(strTitle);
    request.strFilter = LiteralToCp932(pszFilter);
    request.strDefExt = LiteralToCp932(pszDefExt);
    request.dwFlags = dwFlags;
    request.strNativeFileName = strFileName.toStdString();
    // The folder of the chronology's files, wherever they were read from or last saved to.
    const std::filesystem::path& source = m_chronology.Doc().SourcePath();
    if (!source.empty())
        request.strNativeInitialDir = CNenpyoDoc::Utf8(source.parent_path());
    std::string strChosen;
    if (!GetHostUi().AskNativeFileName(request, strChosen))
        return QString();
    return QString::fromStdString(strChosen);
}

QString CDocumentFiles::AskExportName(const QString& strTitle, const char* pszFilter, const char* pszDefExt) const
{
    return AskFileName(false, strTitle, pszFilter, pszDefExt,
                       QString::fromStdString(CNenpyoSession::DocumentName(m_chronology.Doc())) + QLatin1Char('.') +
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
    const std::filesystem::path path = AbsolutePath(strPath);
    auto pDoc = std::make_unique<CNenpyoDoc>();
    std::filesystem::path failed;
    const SFileStatus status = pDoc->Open(path, m_session.DefaultTables(), failed);
    if (!status.Ok() && !pDoc->IsRecovered()) {
        ShowFileStatus(status, failed);
        return false;
    }
    if (!status.Ok() && !AskToRecover(status, failed, *pDoc))
        return false;
    m_chronology.Replace(std::move(pDoc), m_session.IsSample(path));
    if (!m_chronology.IsReadOnly())
        AddRecentFile(QFileInfo(strPath).absoluteFilePath());
    // Each table the document names that could not be read, and what is shown instead.
    std::string strWarnings;
    for (const std::string& strWarning : m_chronology.Doc().Warnings())
        strWarnings += (strWarnings.empty() ? "" : "\n") + strWarning;
    if (!strWarnings.empty())
        AfxMessageBoxUtf8(strWarnings, MB_ICONEXCLAMATION);
    return true;
}

bool CDocumentFiles::AskToRecover(const SFileStatus& status, const std::filesystem::path& failed, CNenpyoDoc& doc)
{
    const CString strReason = doc.DamageReason().IsEmpty() ? CDamagedLine::Describe(failed, status.nLine)
                                                           : doc.DamageReason();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年表"),
                    QStringLiteral("%1\n%2行目: %3。\n\nその前までに読めた%4件の出来事を開きますか?\n"
                                   "復元した年表は、保存するときに新しい名前を尋ねます。")
                        .arg(QString::fromStdString(FormatFileStatusUtf8(status, CNenpyoDoc::Utf8(failed))))
                        .arg(status.nLine)
                        .arg(ToQString(strReason))
                        .arg(doc.EventsBeforeDamage()),
                    QMessageBox::Open | QMessageBox::Cancel, m_pWindow);
    box.button(QMessageBox::Open)->setText(QStringLiteral("読めた所までを開く(&O)"));
    // Damage the reader passed over: all of it can be opened as read, with the damaged lines named.
    QPushButton* pAsRead = doc.DamageReason().IsEmpty()
                               ? nullptr
                               : box.addButton(QStringLiteral("読めたとおりに開く(&A)"), QMessageBox::AcceptRole);
    box.setDetailedText(ToQString(doc.DamagedLines()));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("開かない"));
    box.setDefaultButton(QMessageBox::Open);
    const int nAnswer = box.exec();
    if (nAnswer != QMessageBox::Open && (!pAsRead || box.clickedButton() != pAsRead))
        return false;
    if (nAnswer == QMessageBox::Open)
        doc.KeepBeforeDamage();
    m_strRecovered = QString::fromUtf8(nAnswer == QMessageBox::Open ? "%1 の%2行目より前を復元しました"
                                                                   : "%1 を読めたとおりに開きました(%2行目から傷があります)")
                         .arg(FromPath(failed.filename()))
                         .arg(status.nLine);
    return true;
}

bool CDocumentFiles::Save()
{
    CNenpyoDoc& doc = m_chronology.Doc();
    switch (m_session.SaveRoute(doc, m_chronology.IsReadOnly())) {
    case CNenpyoSession::ESave::AskName: return SaveAs();
    case CNenpyoSession::ESave::Document: return SaveTo(FromPath(doc.Path()));
    case CNenpyoSession::ESave::TablesInPlace: break;
    }
    std::filesystem::path failed;
    SFileStatus status;
    CWorkProgress::RunBusy(m_pWindow, QStringLiteral("保存しています..."), [&] { status = doc.SaveTablesInPlace(failed); });
    if (!status.Ok()) {
        ShowFileStatus(status, failed);
        return false;
    }
    m_chronology.MarkSaved();
    return true;
}

bool CDocumentFiles::SaveAs()
{
    const CNenpyoDoc& doc = m_chronology.Doc();
    const QString strPath = AskFileName(false, QStringLiteral("名前を付けて保存"), kDocumentFilter, "nenpyo",
                                        FromPath(CNenpyoSession::ProposedName(doc)));
    if (strPath.isEmpty())
        return false;
    // Save as writes the tables beside the document under its name: files of that name that are
    // not this chronology's own would be replaced, so ask first.
    QStringList existing;
    for (const std::string& strName : CNenpyoSession::TablesReplaced(doc, AbsolutePath(strPath)))
        existing << QString::fromStdString(strName);
    if (!existing.isEmpty() &&
        QMessageBox::question(m_pWindow, QStringLiteral("名前を付けて保存"),
                              QStringLiteral("%1 は既にあります。置き換えますか?").arg(existing.join(QStringLiteral("、"))),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return false;
    return SaveTo(strPath);
}

bool CDocumentFiles::SaveTo(const QString& strPath)
{
    const std::filesystem::path path = AbsolutePath(strPath);
    std::filesystem::path failed;
    SFileStatus status;
    CNenpyoDoc& doc = m_chronology.Doc();
    CWorkProgress::RunBusy(m_pWindow, QStringLiteral("保存しています..."), [&] { status = doc.Save(path, failed); });
    if (!status.Ok()) {
        ShowFileStatus(status, failed);
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
