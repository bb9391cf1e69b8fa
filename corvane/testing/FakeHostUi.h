// CFakeHostUi: a host UI for tests. It records every message and every file dialog the library
// asks for, and answers the dialogs from a script (a path to choose, or a cancel). While an object
// lives it is the installed host UI; the default comes back when it is destroyed.
//
//     CFakeHostUi ui;
//     ui.ChooseNext(strPath);            // the next dialog returns strPath
//     EXPECT_TRUE(table.WriteFile(true, nullptr, HEADER_GENGOU));
//     ASSERT_EQ(1u, ui.m_requests.size());
//     EXPECT_EQ(0x8000Eu, ui.m_requests[0].dwFlags);
//
// A dialog asked for with nothing left in the script is cancelled.
#pragma once

#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/HostUi.h>
#include <framework/String.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

class CFakeHostUi final : public CHostUi {
public:
    struct SMessage {
        CString strText;       // code page 932 ('?' for a character of a UTF-8 message without a form)
        unsigned nType;
        std::string strUtf8;   // the text as UTF-8, whole
    };

    CFakeHostUi() { SetHostUi(this); }
    ~CFakeHostUi() override { SetHostUi(nullptr); }
    CFakeHostUi(const CFakeHostUi&) = delete;
    CFakeHostUi& operator=(const CFakeHostUi&) = delete;

    // Script: the next dialog chooses strPath (code page 932), or is cancelled.
    void ChooseNext(const CString& strPath)
    {
        std::string strNative;
        ToNativePath(strPath, strNative);
        m_answers.emplace_back(SAnswer{strPath, strNative});
    }
    // Script: the next dialog chooses a native (UTF-8) name; a dialog in code page 932 (AskFileName)
    // gets its code page 932 form, or an empty name when it has none.
    void ChooseNextNative(const std::string& strNative)
    {
        CString strPath;
        FromNativePath(strNative, strPath);
        m_answers.emplace_back(SAnswer{strPath, strNative});
    }
    void CancelNext() { m_answers.emplace_back(std::nullopt); }

    void ShowMessage(const CString& strText, unsigned nType) override
    {
        m_messages.push_back({strText, nType, Cp932ToUtf8Lossy(strText.View())});
    }
    void ShowUtf8Message(const std::string& strText, unsigned nType) override
    {
        m_messages.push_back({Utf8ToCp932Lossy(strText), nType, strText});
    }

    bool AskFileName(const SFileRequest& request, CString& strPath) override
    {
        const std::optional<SAnswer> answer = NextAnswer(request);
        if (!answer)
            return false;
        strPath = answer->strCp932;
        return true;
    }
    bool AskNativeFileName(const SFileRequest& request, std::string& strNative) override
    {
        const std::optional<SAnswer> answer = NextAnswer(request);
        if (!answer)
            return false;
        strNative = answer->strNative;
        return true;
    }

    // The last message as UTF-8, for readable failures ("" when none was shown).
    std::string LastMessageUtf8() const { return m_messages.empty() ? std::string() : m_messages.back().strUtf8; }

    std::vector<SMessage> m_messages;
    std::vector<SFileRequest> m_requests;

private:
    struct SAnswer {
        CString strCp932;
        std::string strNative;
    };
    std::optional<SAnswer> NextAnswer(const SFileRequest& request)
    {
        m_requests.push_back(request);
        if (m_answers.empty())
            return std::nullopt;
        std::optional<SAnswer> answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::deque<std::optional<SAnswer>> m_answers;
};
