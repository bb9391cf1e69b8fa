#include <framework/FileDialog.h>

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         unsigned long dwFlags, const char* lpszFilter)
{
    m_request.bOpen = bOpenFileDialog;
    m_request.strDefExt = lpszDefExt;
    m_request.strFileName = lpszFileName;
    m_request.dwFlags = dwFlags;
    m_request.strFilter = lpszFilter;
}

int CFileDialog::DoModal()
{
    CString strPath;
    if (!GetHostUi().AskFileName(m_request, strPath))
        return IDCANCEL;
    m_strPathName = strPath;
    return IDOK;
}
