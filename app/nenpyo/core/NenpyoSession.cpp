#include "NenpyoSession.h"

#include <filesystem>
#include <system_error>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

namespace {

bool Exists(const CString& strName)
{
    std::string strNative;
    std::error_code error;
    return !strName.IsEmpty() && ToNativePath(strName, strNative) &&
           std::filesystem::is_regular_file(std::filesystem::u8path(strNative), error);
}

// The name without its folder.
CString FileName(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind(kNativePathSeparator);
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

// The name without its folder and its last extension.
CString BaseName(const CString& strPath)
{
    const CString strName = FileName(strPath);
    const int nDot = strName.ReverseFind('.');
    return nDot <= 0 ? strName : strName.Left(nDot);
}

bool SameFile(const CString& strA, const CString& strB)
{
    std::string strNativeA;
    std::string strNativeB;
    if (!ToNativePath(strA, strNativeA) || !ToNativePath(strB, strNativeB))
        return false;
    std::error_code error;
    const bool bSame = std::filesystem::equivalent(std::filesystem::u8path(strNativeA),
                                                   std::filesystem::u8path(strNativeB), error);
    return !error && bSame;
}

} // namespace

CNenpyoDoc::SDefaults CNenpyoSession::DefaultTables() const
{
    CNenpyoDoc::SDefaults defaults;
    const CString strLibrary = m_places.strLibraryFolder;
    const CString strSeparator(CString(kNativePathSeparator, 1));
    defaults.strEraFile = Exists(m_places.strRememberedEraFile)
                              ? m_places.strRememberedEraFile
                              : strLibrary + strSeparator + CP932("元号.lgn");
    defaults.strPeriodFile = strLibrary + strSeparator + CP932("時代.ler");
    return defaults;
}

bool CNenpyoSession::IsSample(const CString& strPath) const
{
    return SameFile(strPath, m_places.strSampleFile);
}

CNenpyoSession::ESave CNenpyoSession::SaveRoute(const CNenpyoDoc& doc, bool bReadOnly) const
{
    // A recovered chronology goes to a new name: the damaged file is never replaced unasked.
    if (doc.IsRecovered() || bReadOnly)
        return ESave::AskName;
    if (!doc.GetPathName().IsEmpty())
        return ESave::Document;
    if (doc.Events().GetFileName().IsEmpty() || doc.NeedsDocument(DefaultTables()))
        return ESave::AskName;
    return ESave::TablesInPlace;
}

CString CNenpyoSession::ProposedName(const CNenpyoDoc& doc)
{
    CString strName = FileName(doc.GetPathName());
    if (strName.IsEmpty())
        strName = BaseName(doc.Events().GetFileName());
    if (strName.IsEmpty())
        strName = CP932("年表");
    if (doc.IsRecovered())
        strName = BaseName(strName) + CP932("(復元).nenpyo");
    return strName;
}

std::vector<CString> CNenpyoSession::TablesReplaced(const CNenpyoDoc& doc, const CString& strPath)
{
    // Save as writes the tables beside the document under its name; a recovered chronology writes
    // its tables anew even under its own name.
    std::vector<CString> vExisting;
    if (!doc.IsRecovered() && !doc.GetPathName().IsEmpty() && SameFile(strPath, doc.GetPathName()))
        return vExisting;
    const CString strFolder = CNenpyoDoc::FolderOf(strPath);
    const CString strBase = strFolder + CString(kNativePathSeparator, 1) + BaseName(strPath);
    for (const char* pszSuffix : {".lev", ".lby"}) {
        if (CString(pszSuffix) == CString(".lby") && !doc.HasBaseYear())
            continue;
        if (Exists(strBase + pszSuffix))
            vExisting.push_back(BaseName(strPath) + pszSuffix);
    }
    return vExisting;
}

CString CNenpyoSession::DocumentName(const CNenpyoDoc& doc)
{
    CString strName = BaseName(doc.GetPathName());
    if (strName.IsEmpty())
        strName = BaseName(doc.Events().GetFileName());
    return strName.IsEmpty() ? CP932("年表") : strName;
}

CString CNenpyoSession::TitleName(const CNenpyoDoc& doc, bool bReadOnly)
{
    CString strFile = FileName(doc.GetPathName());
    if (strFile.IsEmpty())
        strFile = FileName(doc.Events().GetFileName());
    if (strFile.IsEmpty())
        strFile = CP932("無題");
    if (doc.IsRecovered())
        strFile += CP932(" (復元)");
    if (bReadOnly)
        strFile += CP932(" (読み取り専用)");
    return strFile;
}
