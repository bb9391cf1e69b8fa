#include <framework/HostUi.h>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <cstdio>

namespace {

class CStderrHostUi final : public CHostUi {
public:
    void ShowMessage(const CString& strText, unsigned nType) override
    {
        const char* pszKind = "";
        switch (nType & MB_ICONMASK) {
        case MB_ICONHAND: pszKind = "error: "; break;
        case MB_ICONEXCLAMATION: pszKind = "warning: "; break;
        default: break;
        }
        std::fprintf(stderr, "%s%s\n", pszKind, Cp932ToUtf8Lossy(strText.View()).c_str());
    }
    bool AskFileName(const SFileRequest&, CString&) override { return false; }
};

CStderrHostUi g_defaultUi;
CHostUi* g_pHostUi = nullptr;
PFNSTRINGLOADER g_pfnLoader = nullptr;

} // namespace

void SetHostUi(CHostUi* pUi)
{
    g_pHostUi = pUi;
}

CHostUi& GetHostUi()
{
    return g_pHostUi ? *g_pHostUi : static_cast<CHostUi&>(g_defaultUi);
}

int AfxMessageBox(const char* pszText, unsigned nType)
{
    GetHostUi().ShowMessage(CString(pszText), nType);
    return IDOK;
}

int AfxMessageBoxUtf8(const std::string& strText, unsigned nType)
{
    GetHostUi().ShowUtf8Message(strText, nType);
    return IDOK;
}

bool CHostUi::AskNativeFileName(const SFileRequest& request, std::string& strNative)
{
    SFileRequest cp932 = request;
    if (!request.strNativeFileName.empty() && !FromNativePath(request.strNativeFileName, cp932.strFileName))
        cp932.strFileName.Empty();
    if (!request.strNativeInitialDir.empty() && !FromNativePath(request.strNativeInitialDir, cp932.strInitialDir))
        cp932.strInitialDir.Empty();
    CString strPath;
    std::string strChosen;
    if (!AskFileName(cp932, strPath) || !ToNativePath(strPath, strChosen))
        return false;
    strNative = strChosen;
    return true;
}

void CHostUi::ShowUtf8Message(const std::string& strText, unsigned nType)
{
    ShowMessage(Utf8ToCp932Lossy(strText), nType);
}

int AfxMessageBox(unsigned nIDPrompt, unsigned nType)
{
    CString str;
    if (!AfxLoadString(nIDPrompt, str))
        return 0;
    return AfxMessageBox(str, nType);
}

CResourceContext::CResourceContext(PFNSTRINGLOADER pfnLoader) : m_pfnPrevious(g_pfnLoader)
{
    g_pfnLoader = pfnLoader;
}

CResourceContext::~CResourceContext()
{
    g_pfnLoader = m_pfnPrevious;
}

bool AfxLoadString(unsigned nID, CString& strText)
{
    return g_pfnLoader && g_pfnLoader(nID, strText);
}

void AfxFormatString1(CString& rString, unsigned nIDS, const char* lpsz1)
{
    CString str;
    if (!AfxLoadString(nIDS, str)) {
        rString.Empty();
        return;
    }
    str.Replace("%1", lpsz1 ? lpsz1 : "");
    rString = str;
}
