// The host UI seam: the library shows file dialogs and messages but links no GUI toolkit. The host
// program installs an implementation of CHostUi (Tamber installs a Qt one; tests install a fake
// that records requests and answers from a script). Without one, messages go to stderr and every
// dialog is cancelled.
//
// On top of the seam sit the thin layers the library calls: AfxMessageBox, AfxFormatString1 with
// the current string table, and CFileDialog (FileDialog.h).
#pragma once

#include <string>

#include <framework/String.h>
#include <framework/framework_export.h>

// Message box types and results. The values are fixed: host programs read them as numbers.
inline constexpr unsigned MB_OK = 0x00000000;
inline constexpr unsigned MB_ICONHAND = 0x00000010;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x00000020;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x00000040;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0x000000F0;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// File dialog flags. The values are fixed: host programs read SFileRequest::dwFlags as numbers.
inline constexpr unsigned long OFN_READONLY = 0x00000001;
inline constexpr unsigned long OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned long OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned long OFN_NOCHANGEDIR = 0x00000008;
inline constexpr unsigned long OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr unsigned long OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr unsigned long OFN_EXPLORER = 0x00080000;

struct SFileRequest {             // one open or save dialog
    bool bOpen = true;            // true: choose an existing file; false: choose a name to save
    CString strTitle;             // dialog title; empty for the toolkit's default
    CString strFilter;            // "desc|pattern|desc|pattern|" (one or two bars at the end)
    CString strDefExt;            // default extension without the dot, may be empty
    CString strFileName;          // name offered at first, may be empty
    CString strInitialDir;        // folder shown first, may be relative to the current directory
    unsigned long dwFlags = 0;    // OFN_* bits, e.g. 0x8000E to save, 0x8100C to open
    // Native forms (UTF-8 on POSIX and Windows) of the name offered and the folder, for a program
    // that keeps native paths; when set they are used instead of strFileName and strInitialDir.
    std::string strNativeFileName;
    std::string strNativeInitialDir;
};

class FRAMEWORK_EXPORT CHostUi {  // installed by the host program
public:
    virtual ~CHostUi() = default;
    // Shows a modal message with an OK button; nType holds the MB_* icon bits.
    virtual void ShowMessage(const CString& strText, unsigned nType) = 0;
    // Shows the dialog. Returns true with the chosen full path (code page 932) in strPath, or false
    // when the user cancelled, leaving strPath unchanged.
    virtual bool AskFileName(const SFileRequest& request, CString& strPath) = 0;

    // The same dialog for a program that keeps native paths: true with the chosen full path in its
    // native form (UTF-8), any name the system allows; false on cancel, strNative unchanged. The
    // default asks AskFileName (the native fields of the request given in code page 932 where they
    // have that form) and gives the native form of its choice.
    virtual bool AskNativeFileName(const SFileRequest& request, std::string& strNative);
    // A message whose text is UTF-8 (it may name a file outside code page 932). The default shows
    // it with ShowMessage, a character without a code page 932 form as '?'.
    virtual void ShowUtf8Message(const std::string& strText, unsigned nType);
};

// Installs the host's implementation; the caller keeps ownership and must keep it alive while it
// is installed. Null restores the default: messages to stderr, every dialog cancelled.
FRAMEWORK_EXPORT void SetHostUi(CHostUi* pUi);
FRAMEWORK_EXPORT CHostUi& GetHostUi();

// Shows the text with an OK button through the host UI; returns IDOK.
FRAMEWORK_EXPORT int AfxMessageBox(const char* pszText, unsigned nType = MB_OK);
// Shows a UTF-8 text through the host UI (ShowUtf8Message); returns IDOK.
FRAMEWORK_EXPORT int AfxMessageBoxUtf8(const std::string& strText, unsigned nType = MB_OK);
// Shows the string nIDPrompt of the current string table; an unknown id shows nothing and
// returns 0.
FRAMEWORK_EXPORT int AfxMessageBox(unsigned nIDPrompt, unsigned nType = MB_OK);

// A string table: fills strText with the string of nID and returns true, or returns false.
using PFNSTRINGLOADER = bool (*)(unsigned nID, CString& strText);

// The switch to a library's resource context: while an object of this class lives, string ids
// are looked up with its loader; the previous context comes back when it is destroyed.
class FRAMEWORK_EXPORT CResourceContext {
public:
    explicit CResourceContext(PFNSTRINGLOADER pfnLoader);
    ~CResourceContext();
    CResourceContext(const CResourceContext&) = delete;
    CResourceContext& operator=(const CResourceContext&) = delete;

private:
    PFNSTRINGLOADER m_pfnPrevious;
};

// Loads string nID from the current resource context. False, with strText unchanged, when there is
// no context or it has no such string.
FRAMEWORK_EXPORT bool AfxLoadString(unsigned nID, CString& strText);

// rString := string nIDS of the current resource context with every "%1" replaced by lpsz1 (null
// counts as empty). An unknown id leaves rString empty.
FRAMEWORK_EXPORT void AfxFormatString1(CString& rString, unsigned nIDS, const char* lpsz1);
