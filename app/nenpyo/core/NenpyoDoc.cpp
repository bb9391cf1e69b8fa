#include "NenpyoDoc.h"

#include <cerrno>
#include <algorithm>
#include <filesystem>
#include <string>

#include <corvane/FilePathManager.h>
#include <framework/Cp932.h>
#include <framework/FileException.h>
#include <framework/FileSystem.h>
#include <framework/ReplacementSet.h>
#include <framework/StdioFile.h>

#include "RowExport.h"

namespace {

// The document's own texts are UTF-8 source literals; the keys are compared as UTF-8 bytes.
constexpr const char* kHeaderKind = "[年表]";
constexpr int kVersion = 1;
constexpr const char* kKeyEvents = "出来事";
constexpr const char* kKeyBaseYear = "基点年";
constexpr const char* kKeyEras = "元号";
constexpr const char* kKeyPeriods = "時代";

SFileStatus Failure(unsigned nMessage, int nOsError = 0, int nLine = 0)
{
    SFileStatus status;
    status.nMessage = nMessage;
    status.nOsError = nOsError;
    status.nLine = nLine;
    return status;
}

bool EndsWith(const CString& str, const char* pszSuffix)
{
    const CString strSuffix(pszSuffix);
    return str.GetLength() >= strSuffix.GetLength() && str.Right(strSuffix.GetLength()) == strSuffix;
}

// The path without its extension: "a/b.nenpyo" gives "a/b"; a name without one stays whole.
CString WithoutExtension(const CString& strPath)
{
    const int nDot = strPath.ReverseFind('.');
    const int nSlash = strPath.ReverseFind(kNativePathSeparator);
    return nDot > nSlash + 1 ? strPath.Left(nDot) : strPath;
}

std::string Trimmed(const std::string& str)
{
    const auto nFirst = str.find_first_not_of(" \t");
    if (nFirst == std::string::npos)
        return std::string();
    const auto nLast = str.find_last_not_of(" \t\r");
    return str.substr(nFirst, nLast - nFirst + 1);
}

std::filesystem::path Utf8Path(const std::string& str)
{
    return std::filesystem::path(std::u8string(str.begin(), str.end()));
}

std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string str = path.u8string();
    return std::string(str.begin(), str.end());
}

// A name as the system finds it: absolute, its folders resolved as they are on disk (links
// followed, no "." or ".." left), the part that does not exist made plain. Empty when it has no
// native form.
std::filesystem::path RealPath(const CString& strPath)
{
    std::string strNative;
    if (!ToNativePath(strPath, strNative))
        return {};
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(Utf8Path(strNative), error);
    return error ? Utf8Path(strNative).lexically_normal() : path;
}

// The name the document stores for a table file: relative to the document's folder when it can
// be, computed between the real folders, as UTF-8. False when the name has no native form.
bool StoredName(const CString& strPath, const CString& strFolder, std::string& strUtf8)
{
    const std::filesystem::path path = RealPath(strPath);
    if (path.empty())
        return false;
    const std::filesystem::path relative = path.lexically_relative(RealPath(strFolder));
    strUtf8 = Utf8(relative.empty() || relative.is_absolute() ? path : relative);
    return true;
}

} // namespace

CString CNenpyoDoc::FolderOf(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind(kNativePathSeparator);
    if (nSlash < 0) {
        CString strDir;
        return GetCurrentDir(strDir) ? strDir : CString(".");
    }
    return nSlash == 0 ? CString("/") : strPath.Left(nSlash);
}

CString CNenpyoDoc::Resolve(const CString& strFolder, const CString& strName)
{
    CString strJoined;
    if (!CFilePathManager::RelPathToAbsPath(PATH_STYLE_NATIVE, strFolder, strName, strJoined))
        strJoined = strName;   // already absolute
    const std::filesystem::path path = RealPath(strJoined);
    CString strResult;
    return !path.empty() && FromNativePath(Utf8(path), strResult) ? strResult : strJoined;
}

void CNenpyoDoc::LoadReference(CGengouEra& table, const CString& strPath, const CString& strDefault,
                               EHeaderType eType)
{
    CString strFailure;
    if (!strPath.IsEmpty()) {
        CGengouEra fresh;
        const SFileStatus status = fresh.Load(strPath, eType);
        if (status.Ok()) {
            table = fresh;
            return;
        }
        strFailure = FormatFileStatus(status, strPath);
    }
    table.ClearAll();
    bool bDefault = false;
    if (!strDefault.IsEmpty() && strDefault != strPath) {
        const SFileStatus status = table.Load(strDefault, eType);
        bDefault = status.Ok();
        if (!bDefault) {
            m_vWarnings.push_back(FormatFileStatus(status, strDefault));
            table.ClearAll();
        }
    }
    // A file the document names and that cannot be read: what is shown instead.
    if (!strFailure.IsEmpty())
        m_vWarnings.push_back(strFailure + (bDefault ? CP932("。代わりに ") + strDefault + CP932(" を使います")
                                                     : CString(CP932("。代わりの表はありません"))));
}

void CNenpyoDoc::SetEras(const CGengouEra& eras)
{
    m_eras = eras;
    m_bChoiceModified = true;
}

void CNenpyoDoc::SetPeriods(const CGengouEra& periods)
{
    m_periods = periods;
    m_bChoiceModified = true;
}

void CNenpyoDoc::SetHasBaseYear(bool bHas)
{
    m_bChoiceModified = m_bChoiceModified || bHas != m_bHasBaseYear;
    m_bHasBaseYear = bHas;
}

void CNenpyoDoc::New(const SDefaults& defaults)
{
    m_events.RemoveAll();
    m_events.Initialize();
    m_baseYear = CBaseYear();
    m_bHasBaseYear = false;
    m_bChoiceModified = false;
    m_vWarnings.clear();
    SetPathName("");
    LoadReference(m_eras, CString(), defaults.strEraFile, HEADER_GENGOU);
    LoadReference(m_periods, CString(), defaults.strPeriodFile, HEADER_JIDAI);
}

SFileStatus CNenpyoDoc::Open(const char* pszPath, const SDefaults& defaults, CString& strFailed)
{
    CString strPath(pszPath);
    CString strCurrent;
    if (!IsNativeAbsolutePath(strPath) && GetCurrentDir(strCurrent))
        strPath = Resolve(strCurrent, strPath);
    m_vWarnings.clear();
    strFailed = strPath;
    if (EndsWith(strPath, ".lev") || EndsWith(strPath, ".LEV")) {
        // The order in the file is the user's order: it is kept as it stands.
        SFileStatus status = m_events.Load(strPath, false);
        if (!status.Ok() && !Recoverable(status))
            return status;
        if (status.Ok())
            status = CheckTable(strPath, ETableKind::Event);
        LoadReference(m_eras, CString(), defaults.strEraFile, HEADER_GENGOU);
        LoadReference(m_periods, CString(), defaults.strPeriodFile, HEADER_JIDAI);
        if (!status.Ok())
            MarkRecovered();
        return status;
    }
    return ReadDocument(strPath, defaults, strFailed);
}

SFileStatus CNenpyoDoc::ReadDocument(const char* pszPath, const SDefaults& defaults, CString& strFailed)
{
    CStdioFile file;
    CFileException error;
    if (!file.Open(pszPath, CStdioFile::modeRead | CStdioFile::typeText, &error))
        return Failure(IDS_FILE_READ_FAILED, error.m_lOsError > 0 ? static_cast<int>(error.m_lOsError) : 0);

    const CString strFolder = FolderOf(pszPath);
    CString strEvents, strBaseYear, strEras, strPeriods;
    try {
        CString strLine;
        if (!file.ReadString(strLine))
            return Failure(IDS_FILE_BAD_FORMAT, 0, 1);
        std::string strHeader(strLine.View());
        if (strHeader.rfind("\xEF\xBB\xBF", 0) == 0)
            strHeader.erase(0, 3);
        const auto nComma = strHeader.find(',');
        if (Trimmed(strHeader.substr(0, nComma)) != kHeaderKind || nComma == std::string::npos)
            return Failure(IDS_FILE_BAD_FORMAT, 0, 1);
        while (file.ReadString(strLine)) {
            const std::string strText = Trimmed(std::string(strLine.View()));
            if (strText.empty() || strText[0] == '#')
                continue;
            const auto nEqual = strText.find('=');
            CString strName;
            if (nEqual == std::string::npos || !FromNativePath(Trimmed(strText.substr(nEqual + 1)), strName))
                return Failure(IDS_FILE_BAD_FORMAT, 0, file.GetLineNumber());
            const std::string strKey = Trimmed(strText.substr(0, nEqual));
            const CString strFull = strName.IsEmpty() ? CString() : Resolve(strFolder, strName);
            if (strKey == kKeyEvents)
                strEvents = strFull;
            else if (strKey == kKeyBaseYear)
                strBaseYear = strFull;
            else if (strKey == kKeyEras)
                strEras = strFull;
            else if (strKey == kKeyPeriods)
                strPeriods = strFull;
        }
        if (strEvents.IsEmpty())
            return Failure(IDS_FILE_BAD_FORMAT, 0, file.GetLineNumber() + 1);
    } catch (const CFileException& e) {
        return Failure(IDS_FILE_READ_FAILED, e.m_lOsError > 0 ? static_cast<int>(e.m_lOsError) : 0);
    }
    file.Close();

    // A table that stops at a line keeps what it read before it; the first such failure is the
    // one reported, and the rest of the chronology is still read for a recovery.
    strFailed.Empty();
    SFileStatus failure;
    const auto Note = [&](SFileStatus status, const CString& strFile) {
        if (status.Ok())
            return true;
        const bool bRecoverable = Recoverable(status);
        if (failure.Ok() || !bRecoverable) {
            failure = status;
            strFailed = strFile;
        }
        return bRecoverable;
    };
    const auto LoadChecked = [&](const SFileStatus& status, const CString& strFile, ETableKind eKind) {
        return Note(status.Ok() ? CheckTable(strFile, eKind) : status, strFile);
    };
    if (!LoadChecked(m_events.Load(strEvents, false), strEvents, ETableKind::Event))
        return failure;
    m_bHasBaseYear = !strBaseYear.IsEmpty();
    if (m_bHasBaseYear && !LoadChecked(m_baseYear.Load(strBaseYear), strBaseYear, ETableKind::BaseYear))
        return failure;
    LoadReference(m_eras, strEras, defaults.strEraFile, HEADER_GENGOU);
    LoadReference(m_periods, strPeriods, defaults.strPeriodFile, HEADER_JIDAI);
    SetPathName(pszPath);
    if (!failure.Ok())
        MarkRecovered();
    return failure;
}

bool CNenpyoDoc::Recoverable(SFileStatus& status)
{
    // A file that holds no line at all is missing its first one.
    if (status.nMessage == IDS_FILE_BAD_FORMAT && status.nLine == 0)
        status.nLine = 1;
    return status.nLine > 0;
}

SFileStatus CNenpyoDoc::CheckTable(const CString& strPath, ETableKind eKind)
{
    std::string strNative;
    std::vector<STableFinding> vFindings;
    if (!ToNativePath(strPath, strNative) || !CheckTableFile(Utf8Path(strNative), vFindings, eKind).Ok())
        return SFileStatus();   // it read a moment ago; the check has nothing to add
    const STableFinding* pError = FirstCheckError(vFindings);
    const CString strName = strPath.Mid(strPath.ReverseFind(kNativePathSeparator) + 1);
    if (!pError) {
        if (!vFindings.empty()) {
            CString strNotice;
            strNotice.Format(CP932("%s: %d行目 %s"), strName.GetString(), vFindings[0].nLine,
                             vFindings[0].strReason.GetString());
            if (vFindings.size() > 1)
                strNotice.AppendFormat(CP932(" ほか%d件の注意"), static_cast<int>(vFindings.size() - 1));
            m_strCheckNotice += (m_strCheckNotice.IsEmpty() ? CString() : CString(" / ")) + strNotice;
        }
        return SFileStatus();
    }
    if (m_vDamage.empty()) {
        m_vDamage = vFindings;
        m_strDamageReason = pError->strReason;
        if (eKind == ETableKind::Event) {
            // Each record line read is one event, in file order, after the lines of the header.
            STableHeader header;
            ReadTableHeader(strPath, header);
            const int nHeaderLines = 2 + (header.nVersion >= 3 ? 1 : 0) + (header.nVersion >= 4 ? 1 : 0);
            m_nKeepEvents = std::max(0, pError->nLine - nHeaderLines - 1);
        }
    }
    return Failure(IDS_FILE_BAD_FORMAT, 0, pError->nLine);
}

void CNenpyoDoc::KeepBeforeDamage()
{
    while (m_nKeepEvents >= 0 && m_events.GetLen() > m_nKeepEvents)
        m_events.RemoveAt(m_events.GetLen() - 1, PRIORITY_ALL, nullptr);
}

CString CNenpyoDoc::DamagedLines(int nMax) const
{
    CString strLines;
    int nShown = 0;
    for (const STableFinding& finding : m_vDamage) {
        if (finding.eLevel != ECheckLevel::Error)
            continue;
        if (nShown++ == nMax) {
            strLines += CP932("…");
            break;
        }
        strLines.AppendFormat(CP932("%d行目: %s\n"), finding.nLine, finding.strReason.GetString());
    }
    return strLines;
}

void CNenpyoDoc::MarkRecovered()
{
    m_bRecovered = true;
    m_events.SetModified(true);
    m_baseYear.SetModified(m_bHasBaseYear);
    m_bChoiceModified = true;
}

SFileStatus CNenpyoDoc::WriteDocument(const char* pszPath, Env* pEnv) const
{
    const CString strFolder = FolderOf(pszPath);
    std::string strText = std::string(kHeaderKind) + ", " + std::to_string(kVersion) + "\r\n";
    const auto AddLine = [&](const char* pszKey, const CString& strPath) {
        std::string strName;
        if (strPath.IsEmpty() || !StoredName(strPath, strFolder, strName))
            return;
        strText += std::string(pszKey) + "=" + strName + "\r\n";
    };
    AddLine(kKeyEvents, m_events.GetFileName());
    if (m_bHasBaseYear)
        AddLine(kKeyBaseYear, m_baseYear.GetFileName());
    AddLine(kKeyEras, m_eras.GetFileName());
    AddLine(kKeyPeriods, m_periods.GetFileName());
    return CRowExport::WriteFile(pszPath, strText, pEnv);
}

SFileStatus CNenpyoDoc::Save(const char* pszPath, CString& strFailed)
{
    // Names are kept relative to the document's folder, which therefore has to be known whole.
    CString strPath(pszPath), strCurrent;
    if (!IsNativeAbsolutePath(strPath) && GetCurrentDir(strCurrent))
        strPath = Resolve(strCurrent, strPath);
    // A recovered chronology writes every table whole, wherever it goes.
    const bool bSaveAs = strPath != GetPathName() || m_bRecovered;
    const CString strBase = WithoutExtension(strPath);
    const CString strOldEvents = m_events.GetFileName();
    const CString strOldBaseYear = m_baseYear.GetFileName();
    const bool bEventsModified = m_events.GetModified();
    const bool bBaseYearModified = m_baseYear.GetModified();
    // A failure puts back the names of the tables already written elsewhere, so the chronology
    // still names the files its document names.
    const auto Fail = [&](const SFileStatus& status, const CString& strFile) {
        m_events.SetFileName(strOldEvents);
        m_baseYear.SetFileName(strOldBaseYear);
        m_events.SetModified(bEventsModified || m_events.GetModified());
        m_baseYear.SetModified(bBaseYearModified || m_baseYear.GetModified());
        strFailed = strFile;
        return status;
    };

    // Every file is written and synced before the first is put in place.
    CReplacementSet files(m_pEnv);
    const CString strEvents = (bSaveAs || strOldEvents.IsEmpty()) ? strBase + ".lev" : strOldEvents;
    if (bSaveAs || m_events.GetModified() || strOldEvents.IsEmpty()) {
        const SFileStatus status = m_events.Save(strEvents, &files);
        if (!status.Ok())
            return Fail(status, strEvents);
    }
    if (m_bHasBaseYear) {
        const CString strBaseYear = (bSaveAs || strOldBaseYear.IsEmpty()) ? strBase + ".lby" : strOldBaseYear;
        if (bSaveAs || m_baseYear.GetModified() || strOldBaseYear.IsEmpty()) {
            const SFileStatus status = m_baseYear.Save(strBaseYear, &files);
            if (!status.Ok())
                return Fail(status, strBaseYear);
        }
    }
    SFileStatus status = WriteDocument(strPath, &files);
    if (!status.Ok())
        return Fail(status, strPath);
    if (SEnvError error; !files.Commit(error))
        return Fail(Failure(IDS_FILE_WRITE_FAILED, error.lOsError > 0 ? static_cast<int>(error.lOsError) : 0), strPath);
    SetPathName(strPath);
    m_bChoiceModified = false;
    m_bRecovered = false;
    strFailed.Empty();
    return status;
}

SFileStatus CNenpyoDoc::SaveTablesInPlace(CString& strFailed)
{
    strFailed = m_events.GetFileName();
    if (strFailed.IsEmpty())
        return Failure(IDS_FILE_WRITE_FAILED, ENOENT);
    const bool bEventsModified = m_events.GetModified();
    const bool bBaseYearModified = m_baseYear.GetModified();
    CReplacementSet files(m_pEnv);
    SFileStatus status = m_events.Save(strFailed, &files);
    if (status.Ok() && m_bHasBaseYear && !m_baseYear.GetFileName().IsEmpty()) {
        strFailed = m_baseYear.GetFileName();
        status = m_baseYear.Save(strFailed, &files);
    }
    if (SEnvError error; status.Ok() && !files.Commit(error))
        status = Failure(IDS_FILE_WRITE_FAILED, error.lOsError > 0 ? static_cast<int>(error.lOsError) : 0);
    if (!status.Ok()) {
        m_events.SetModified(bEventsModified || m_events.GetModified());
        m_baseYear.SetModified(bBaseYearModified || m_baseYear.GetModified());
    }
    if (status.Ok()) {
        m_bChoiceModified = false;
        m_bRecovered = false;
        strFailed.Empty();
    }
    return status;
}

bool CNenpyoDoc::NeedsDocument(const SDefaults& defaults) const
{
    // A table read from no file (a default that could not be read) has nothing to name.
    const auto Chosen = [](const CGengouEra& table, const CString& strDefault) {
        return !table.GetFileName().IsEmpty() && table.GetFileName() != strDefault;
    };
    return m_bHasBaseYear || Chosen(m_eras, defaults.strEraFile) || Chosen(m_periods, defaults.strPeriodFile);
}

bool CNenpyoDoc::IsModified() const
{
    return m_bChoiceModified || m_events.GetModified() || (m_bHasBaseYear && m_baseYear.GetModified());
}
