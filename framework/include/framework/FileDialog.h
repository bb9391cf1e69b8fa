// CFileDialog: an open or save dialog, shown through the host UI seam (HostUi.h).
#pragma once

#include <framework/HostUi.h>
#include <framework/String.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CFileDialog {
public:
    CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                unsigned long dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr);

    // Shows the dialog: IDOK with the choice in GetPathName(), or IDCANCEL with nothing changed.
    int DoModal();
    // The full path chosen (empty before a successful DoModal).
    CString GetPathName() const { return m_strPathName; }

    // What the dialog is asked; the caller may set the title and the initial folder before DoModal.
    SFileRequest m_request;

private:
    CString m_strPathName;
};
