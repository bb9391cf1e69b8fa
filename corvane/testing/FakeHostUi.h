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
#include <framework/HostUi.h>
#include <framework/String.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

class CFakeHostUi final : public CHostUi {
public:
    struct SMessage {
        CString strText;
        unsigned nType;
    };

    CFakeHostUi() { SetHostUi(this); }
    ~CFakeHostUi() override { SetHostUi(nullptr); }
    CFakeHostUi(const CFakeHostUi&) = delete;
    CFakeHostUi& operator=(const CFakeHostUi&) = delete;

    // Script: the next dialog chooses strPath (code page 932), or is cancelled.
    void ChooseNext(const CString& strPath) { m_answers.emplace_back(strPath); }
    void CancelNext() { m_answers.emplace_back(std::nullopt); }

    void ShowMessage(const CString& strText, unsigned nType) override { m_messages.push_back({strText, nType}); }

    bool AskFileName(const SFileRequest& request, CString& strPath) override
    {
        m_requests.push_back(request);
        if (m_answers.empty())
            return false;
        const std::optional<CString> answer = m_answers.front();
        m_answers.pop_front();
        if (!answer)
            return false;
        strPath = *answer;
        return true;
    }

    // The last message as UTF-8, for readable failures ("" when none was shown).
    std::string LastMessageUtf8() const
    {
        return m_messages.empty() ? std::string() : Cp932ToUtf8Lossy(m_messages.back().strText.View());
    }

    std::vector<SMessage> m_messages;
    std::vector<SFileRequest> m_requests;

private:
    std::deque<std::optional<CString>> m_answers;
};
