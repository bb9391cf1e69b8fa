#include "NenpyoDoc.h"

#include <cerrno>
#include <algorithm>
#include <filesystem>
#include <string>

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

// True for a bare event file (*.lev, any case of the extension's letters as the program writes them).
bool IsEventFile(const std::filesystem::path& path)
{
    const std::filesystem::path extension = path.extension();
    return extension == ".lev" || extension == ".LEV";
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

// A name as the system finds it: absolute, its folders resolved as they are on disk (links
// followed, no "." or ".." left), the part that does not exist made plain.
std::filesystem::path RealPath(const std::filesystem::path& path)
{
    if (path.empty())
        return path;
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? std::filesystem::absolute(path, error).lexically_normal() : real;
}

// The name the document stores for a table file: relative to the document's folder when it can
// be, computed between the real folders.
std::filesystem::path StoredName(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const std::filesystem::path real = RealPath(path);
    const std::filesystem::path relative = real.lexically_relative(RealPath(folder));
    return relative.empty() || relative.is_absolute() ? real : relative;
}

SFileStatus ReadFailure(const CFileException& error)
{
    return Failure(IDS_FILE_READ_FAILED, error.m_lOsError > 0 ? static_cast<int>(error.m_lOsError) : 0);
}

} // namespace

std::filesystem::path CNenpyoDoc::Resolve(const std::filesystem::path& folder, const std::filesystem::path& name)
{
    return RealPath(folder / name);   // an absolute name replaces the folder
}

std::string CNenpyoDoc::Utf8(const std::filesystem::path& path)
{
    const std::u8string str = path.u8string();
    return std::string(str.begin(), str.end());
}

void CNenpyoDoc::LoadReference(CGengouEra& table, std::filesystem::path& tablePath, const std::filesystem::path& path,
                               const std::filesystem::path& defaultPath, EHeaderType eType)
{
    std::string strFailure;
    if (!path.empty()) {
        CGengouEra fresh;
        const SFileStatus status = fresh.Load(path, eType);
        if (status.Ok()) {
            table = fresh;
            tablePath = path;
            return;
        }
        strFailure = FormatFileStatusUtf8(status, Utf8(path));
    }
    table.ClearAll();
    tablePath.clear();
    if (!defaultPath.empty() && defaultPath != path) {
        const SFileStatus status = table.Load(defaultPath, eType);
        if (status.Ok()) {
            tablePath = defaultPath;
        } else {
            m_vWarnings.push_back(FormatFileStatusUtf8(status, Utf8(defaultPath)));
            table.ClearAll();
        }
    }
    // A file the document names and that cannot be read: what is shown instead.
    if (!strFailure.empty())
        m_vWarnings.push_back(strFailure + (tablePath.empty() ? "。代わりの表はありません"
                                                              : "。代わりに " + Utf8(tablePath) + " を使います"));
}

void CNenpyoDoc::SetEras(const CGengouEra& eras, const std::filesystem::path& path)
{
    m_eras = eras;
    m_erasPath = path;
    m_bChoiceModified = true;
}

void CNenpyoDoc::SetPeriods(const CGengouEra& periods, const std::filesystem::path& path)
{
    m_periods = periods;
    m_periodsPath = path;
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
    m_path.clear();
    m_eventsPath.clear();
    m_baseYearPath.clear();
    LoadReference(m_eras, m_erasPath, {}, defaults.eraFile, HEADER_GENGOU);
    LoadReference(m_periods, m_periodsPath, {}, defaults.periodFile, HEADER_JIDAI);
}

SFileStatus CNenpyoDoc::Open(const std::filesystem::path& path, const SDefaults& defaults, std::filesystem::path& failed)
{
    // A relative name is taken against the current directory; an absolute one is kept as given
    // (a link to a document stays the name the user knows).
    const std::filesystem::path full = path.is_absolute() ? path : RealPath(path);
    m_vWarnings.clear();
    failed = full;
    SNamedFiles files;
    if (IsEventFile(full)) {
        files.events = full;
    } else {
        const SFileStatus status = ReadDocumentFile(full, files);
        if (!status.Ok())
            return status;
    }
    const SFileStatus status = LoadTables(files, defaults, failed);
    if (status.Ok() || m_bRecovered)
        m_path = IsEventFile(full) ? std::filesystem::path() : full;
    return status;
}

SFileStatus CNenpyoDoc::ReadDocumentFile(const std::filesystem::path& path, SNamedFiles& files)
{
    CStdioFile file;
    CFileException error;
    if (!file.Open(path, CStdioFile::modeRead | CStdioFile::typeText, &error))
        return ReadFailure(error);
    const std::filesystem::path folder = path.parent_path();
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
            if (nEqual == std::string::npos)
                return Failure(IDS_FILE_BAD_FORMAT, 0, file.GetLineNumber());
            const std::string strKey = Trimmed(strText.substr(0, nEqual));
            const std::string strName = Trimmed(strText.substr(nEqual + 1));
            const std::filesystem::path full = strName.empty() ? std::filesystem::path() : Resolve(folder, Utf8Path(strName));
            if (strKey == kKeyEvents)
                files.events = full;
            else if (strKey == kKeyBaseYear)
                files.baseYear = full;
            else if (strKey == kKeyEras)
                files.eras = full;
            else if (strKey == kKeyPeriods)
                files.periods = full;
        }
        if (files.events.empty())
            return Failure(IDS_FILE_BAD_FORMAT, 0, file.GetLineNumber() + 1);
    } catch (const CFileException& e) {
        return ReadFailure(e);
    }
    return SFileStatus();
}

SFileStatus CNenpyoDoc::LoadTables(const SNamedFiles& files, const SDefaults& defaults, std::filesystem::path& failed)
{
    // A table that stops at a line keeps what it read before it; the first such failure is the
    // one reported, and the rest of the chronology is still read for a recovery.
    failed.clear();
    SFileStatus failure;
    const auto LoadChecked = [&](SFileStatus status, const std::filesystem::path& path, ETableKind eKind) {
        if (status.Ok())
            status = CheckTable(path, eKind);
        if (status.Ok())
            return true;
        const bool bRecoverable = Recoverable(status);
        if (failure.Ok() || !bRecoverable) {
            failure = status;
            failed = path;
        }
        return bRecoverable;
    };
    // The order in an event file is the user's order: it is kept as it stands.
    if (!LoadChecked(m_events.Load(files.events, false), files.events, ETableKind::Event))
        return failure;
    m_eventsPath = files.events;
    m_bHasBaseYear = !files.baseYear.empty();
    if (m_bHasBaseYear && !LoadChecked(m_baseYear.Load(files.baseYear), files.baseYear, ETableKind::BaseYear))
        return failure;
    m_baseYearPath = files.baseYear;
    LoadReference(m_eras, m_erasPath, files.eras, defaults.eraFile, HEADER_GENGOU);
    LoadReference(m_periods, m_periodsPath, files.periods, defaults.periodFile, HEADER_JIDAI);
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

SFileStatus CNenpyoDoc::CheckTable(const std::filesystem::path& path, ETableKind eKind)
{
    std::vector<STableFinding> vFindings;
    if (!CheckTableFile(path, vFindings, eKind).Ok())
        return SFileStatus();   // it read a moment ago; the check has nothing to add
    const STableFinding* pError = FirstCheckError(vFindings);
    if (!pError) {
        if (!vFindings.empty()) {
            std::string strNotice = Utf8(path.filename()) + ": " + std::to_string(vFindings[0].nLine) + "行目 " +
                                    Cp932ToUtf8Lossy(vFindings[0].strReason.View());
            if (vFindings.size() > 1)
                strNotice += " ほか" + std::to_string(vFindings.size() - 1) + "件の注意";
            m_strCheckNotice += (m_strCheckNotice.empty() ? "" : " / ") + strNotice;
        }
        return SFileStatus();
    }
    if (m_vDamage.empty()) {
        m_vDamage = vFindings;
        m_strDamageReason = pError->strReason;
        if (eKind == ETableKind::Event) {
            // Each record line read is one event, in file order, after the lines of the header.
            STableHeader header;
            ReadTableHeader(path, header);
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

SFileStatus CNenpyoDoc::WriteDocument(const std::filesystem::path& path, Env* pEnv) const
{
    const std::filesystem::path folder = path.parent_path();
    std::string strText = std::string(kHeaderKind) + ", " + std::to_string(kVersion) + "\r\n";
    const auto AddLine = [&](const char* pszKey, const std::filesystem::path& file) {
        if (!file.empty())
            strText += std::string(pszKey) + "=" + Utf8(StoredName(file, folder)) + "\r\n";
    };
    AddLine(kKeyEvents, m_eventsPath);
    if (m_bHasBaseYear)
        AddLine(kKeyBaseYear, m_baseYearPath);
    AddLine(kKeyEras, m_erasPath);
    AddLine(kKeyPeriods, m_periodsPath);
    return CRowExport::WriteFile(path, strText, pEnv);
}

SFileStatus CNenpyoDoc::Save(const std::filesystem::path& pathGiven, std::filesystem::path& failed)
{
    // Names are kept relative to the document's folder, which therefore has to be known whole.
    const std::filesystem::path path = pathGiven.is_absolute() ? pathGiven : RealPath(pathGiven);
    // A recovered chronology writes every table whole, wherever it goes.
    const bool bSaveAs = path != m_path || m_bRecovered;
    std::filesystem::path base = path;
    base.replace_extension();
    const bool bEventsModified = m_events.GetModified();
    const bool bBaseYearModified = m_baseYear.GetModified();
    // A failure leaves the table's modified flags as they were (a table written to a set that is
    // never put in place has not been saved).
    const auto Fail = [&](const SFileStatus& status, const std::filesystem::path& file) {
        m_events.SetModified(bEventsModified || m_events.GetModified());
        m_baseYear.SetModified(bBaseYearModified || m_baseYear.GetModified());
        failed = file;
        return status;
    };

    // Every file is written and synced before the first is put in place.
    CReplacementSet files(m_pEnv);
    const std::filesystem::path events =
        (bSaveAs || m_eventsPath.empty()) ? std::filesystem::path(base).concat(".lev") : m_eventsPath;
    if (bSaveAs || bEventsModified || m_eventsPath.empty()) {
        if (const SFileStatus status = m_events.Save(events, &files); !status.Ok())
            return Fail(status, events);
    }
    const std::filesystem::path baseYear =
        (bSaveAs || m_baseYearPath.empty()) ? std::filesystem::path(base).concat(".lby") : m_baseYearPath;
    if (m_bHasBaseYear && (bSaveAs || bBaseYearModified || m_baseYearPath.empty())) {
        if (const SFileStatus status = m_baseYear.Save(baseYear, &files); !status.Ok())
            return Fail(status, baseYear);
    }
    // The document names the files as they will be once in place.
    const std::filesystem::path oldEvents = m_eventsPath, oldBaseYear = m_baseYearPath;
    m_eventsPath = events;
    m_baseYearPath = m_bHasBaseYear ? baseYear : oldBaseYear;
    SFileStatus status = WriteDocument(path, &files);
    if (SEnvError error; status.Ok() && !files.Commit(error))
        status = Failure(IDS_FILE_WRITE_FAILED, error.lOsError > 0 ? static_cast<int>(error.lOsError) : 0);
    if (!status.Ok()) {
        m_eventsPath = oldEvents;
        m_baseYearPath = oldBaseYear;
        return Fail(status, path);
    }
    m_path = path;
    m_bChoiceModified = false;
    m_bRecovered = false;
    failed.clear();
    return status;
}

SFileStatus CNenpyoDoc::SaveTablesInPlace(std::filesystem::path& failed)
{
    failed = m_eventsPath;
    if (failed.empty())
        return Failure(IDS_FILE_WRITE_FAILED, ENOENT);
    const bool bEventsModified = m_events.GetModified();
    const bool bBaseYearModified = m_baseYear.GetModified();
    CReplacementSet files(m_pEnv);
    SFileStatus status = m_events.Save(m_eventsPath, &files);
    if (status.Ok() && m_bHasBaseYear && !m_baseYearPath.empty()) {
        failed = m_baseYearPath;
        status = m_baseYear.Save(m_baseYearPath, &files);
    }
    if (SEnvError error; status.Ok() && !files.Commit(error))
        status = Failure(IDS_FILE_WRITE_FAILED, error.lOsError > 0 ? static_cast<int>(error.lOsError) : 0);
    if (!status.Ok()) {
        m_events.SetModified(bEventsModified || m_events.GetModified());
        m_baseYear.SetModified(bBaseYearModified || m_baseYear.GetModified());
        return status;
    }
    m_bChoiceModified = false;
    m_bRecovered = false;
    failed.clear();
    return status;
}

bool CNenpyoDoc::NeedsDocument(const SDefaults& defaults) const
{
    // A table read from no file (a default that could not be read) has nothing to name.
    const auto Chosen = [](const std::filesystem::path& path, const std::filesystem::path& defaultPath) {
        return !path.empty() && path != defaultPath;
    };
    return m_bHasBaseYear || Chosen(m_erasPath, defaults.eraFile) || Chosen(m_periodsPath, defaults.periodFile);
}

bool CNenpyoDoc::IsModified() const
{
    return m_bChoiceModified || m_events.GetModified() || (m_bHasBaseYear && m_baseYear.GetModified());
}
