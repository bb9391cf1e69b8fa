// CQtHostUi: the host UI seam of the framework (CHostUi) shown with Qt: messages in a QMessageBox,
// file requests in a QFileDialog. Tamber installs one for its whole run, so the library's own
// open dialog and messages appear as the program's.
#pragma once

#include <memory>

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <framework/HostUi.h>

class CQtHostUi : public CHostUi {
public:
    // Modal message with an OK button, titled with the application's display name, with the icon
    // that the MB_ICON bits of nType ask for (none when they ask for none), over the active window.
    void ShowMessage(const CString& strText, unsigned nType) override;
    // Modal open or save dialog for the request. A chosen file whose name has no code page 932 form
    // is refused with a message and the dialog is shown again; cancel returns false.
    bool AskFileName(const SFileRequest& request, CString& strPath) override;
    // The same dialog, any name the system allows (the native fields of the request first).
    bool AskNativeFileName(const SFileRequest& request, std::string& strNative) override;
    void ShowUtf8Message(const std::string& strText, unsigned nType) override;

    // The message box that ShowMessage shows, not yet shown.
    static std::unique_ptr<QMessageBox> MakeMessageBox(const CString& strText, unsigned nType);
    static std::unique_ptr<QMessageBox> MakeMessageBox(const QString& strText, unsigned nType);
    // The file dialog that AskFileName shows for the request, not yet shown: its title, filters,
    // folder (a relative one taken from the current directory; the native one when set), name
    // offered (the native one when set), default suffix, and
    // the existence and overwrite rules of the OFN_ flags.
    static std::unique_ptr<QFileDialog> MakeFileDialog(const SFileRequest& request);
    // The filters of a "desc|pattern|desc|pattern|" filter string as Qt name filters
    // ("desc (pattern ...)"). Several patterns separated by ';' become one filter; "*.*" (every
    // file, dot or not, in the library's filters) becomes "*". An empty string gives no filter.
    static QStringList ConvertFilter(const QString& strFilter);
};
