#include <framework/Cp932.h>
#include <framework/FileDialog.h>
#include <framework/HostUi.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

class CScriptedUi final : public CHostUi {
public:
    void ShowMessage(const CString& strText, unsigned nType) override
    {
        m_messages.push_back(strText);
        m_nLastType = nType;
    }
    bool AskFileName(const SFileRequest& request, CString& strPath) override
    {
        m_requests.push_back(request);
        if (m_strAnswer.IsEmpty())
            return false;
        strPath = m_strAnswer;
        return true;
    }
    std::vector<CString> m_messages;
    std::vector<SFileRequest> m_requests;
    unsigned m_nLastType = 0;
    CString m_strAnswer;
};

bool TestStrings(unsigned nID, CString& strText)
{
    if (nID != 7)
        return false;
    strText = "file %1 failed (%1)";
    return true;
}

TEST(HostUiTest, MessagesAndStringsGoThroughTheInstalledUi)
{
    CScriptedUi ui;
    SetHostUi(&ui);
    EXPECT_EQ(IDOK, AfxMessageBox("hello", MB_ICONEXCLAMATION));
    {
        CResourceContext context(&TestStrings);
        CString str;
        AfxFormatString1(str, 7, "a.lgn");
        EXPECT_EQ(CString("file a.lgn failed (a.lgn)"), str);
        AfxFormatString1(str, 8, "a.lgn");
        EXPECT_TRUE(str.IsEmpty());
        EXPECT_EQ(IDOK, AfxMessageBox(7u, MB_OK));
    }
    CString str("unchanged");
    EXPECT_FALSE(AfxLoadString(7, str));   // the context ended with its scope
    EXPECT_EQ(CString("unchanged"), str);
    ASSERT_EQ(2u, ui.m_messages.size());
    EXPECT_EQ(CString("hello"), ui.m_messages[0]);
    EXPECT_EQ(CString("file %1 failed (%1)"), ui.m_messages[1]);
    SetHostUi(nullptr);
    EXPECT_NE(&ui, &GetHostUi());
}

TEST(HostUiTest, FileDialogAsksTheHostAndReportsCancel)
{
    CScriptedUi ui;
    SetHostUi(&ui);
    CFileDialog save(false, "lgn", "a.lgn", 0x8000E, "d (*.lgn)|*.lgn||");
    save.m_request.strTitle = "t";
    EXPECT_EQ(IDCANCEL, save.DoModal());
    EXPECT_TRUE(save.GetPathName().IsEmpty());
    ui.m_strAnswer = "/x/b.lgn";
    CFileDialog open(true, "lgn", nullptr, 0x8100C, "d (*.lgn)|*.lgn|");
    EXPECT_EQ(IDOK, open.DoModal());
    EXPECT_EQ(CString("/x/b.lgn"), open.GetPathName());
    ASSERT_EQ(2u, ui.m_requests.size());
    EXPECT_FALSE(ui.m_requests[0].bOpen);
    EXPECT_EQ(0x8000EUL, ui.m_requests[0].dwFlags);
    EXPECT_EQ(CString("a.lgn"), ui.m_requests[0].strFileName);
    EXPECT_EQ(CString("t"), ui.m_requests[0].strTitle);
    EXPECT_TRUE(ui.m_requests[1].bOpen);
    EXPECT_TRUE(ui.m_requests[1].strFileName.IsEmpty());
    SetHostUi(nullptr);
    // The default UI cancels every dialog.
    EXPECT_EQ(IDCANCEL, CFileDialog(true).DoModal());
}

// A host that knows only code page 932 names and texts still serves a program that keeps native
// paths and UTF-8 messages: what has a code page 932 form goes through, the rest is left out of the
// request or shown as '?', and a cancel leaves the caller's name as it was.
TEST(HostUiTest, NativeNamesAndUtf8TextsThroughACodePage932Host)
{
    CScriptedUi ui;
    SetHostUi(&ui);
    SFileRequest request;
    request.strNativeFileName = "年表〜.nenpyo";       // 〜 has no exact code page 932 form
    request.strNativeInitialDir = "/home/年表";
    std::string strChosen = "unchanged";
    EXPECT_FALSE(GetHostUi().AskNativeFileName(request, strChosen));
    EXPECT_EQ("unchanged", strChosen);
    ASSERT_EQ(1u, ui.m_requests.size());
    EXPECT_TRUE(ui.m_requests[0].strFileName.IsEmpty());
    EXPECT_EQ(LiteralToCp932("/home/年表"), ui.m_requests[0].strInitialDir);

    ui.m_strAnswer = LiteralToCp932("/home/年表/日本史.nenpyo");
    EXPECT_TRUE(GetHostUi().AskNativeFileName(request, strChosen));
    EXPECT_EQ("/home/年表/日本史.nenpyo", strChosen);
    ui.m_strAnswer = "/home/\x82";                     // half a character: no native form
    strChosen = "unchanged";
    EXPECT_FALSE(GetHostUi().AskNativeFileName(request, strChosen));
    EXPECT_EQ("unchanged", strChosen);

    EXPECT_EQ(IDOK, AfxMessageBoxUtf8("ファイル résumé/年表〜.lev", MB_ICONEXCLAMATION));
    ASSERT_EQ(1u, ui.m_messages.size());
    EXPECT_EQ(LiteralToCp932("ファイル r?sum?/年表～.lev"), ui.m_messages[0]);
    EXPECT_EQ(MB_ICONEXCLAMATION, ui.m_nLastType);
    SetHostUi(nullptr);
}

} // namespace
