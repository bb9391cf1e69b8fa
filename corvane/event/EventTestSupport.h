// Helpers shared by the event table tests: a recording host UI, a scratch folder with files of
// given bytes, and short ways to make records.
#pragma once

#include <framework/Cp932.h>
#include <framework/HostUi.h>
#include <framework/String.h>

#include <corvane/EventData.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

namespace eventtest {

// Installed for its lifetime: records every message and dialog request; answers dialogs from
// m_answers (cancel when it is empty).
class CRecordingUi final : public CHostUi {
public:
    CRecordingUi() { SetHostUi(this); }
    ~CRecordingUi() override { SetHostUi(nullptr); }
    CRecordingUi(const CRecordingUi&) = delete;
    CRecordingUi& operator=(const CRecordingUi&) = delete;

    void ShowMessage(const CString& strText, unsigned nType) override
    {
        m_messages.push_back(strText);
        m_types.push_back(nType);
    }
    bool AskFileName(const SFileRequest& request, CString& strPath) override
    {
        m_requests.push_back(request);
        if (m_answers.empty())
            return false;
        strPath = m_answers.front();
        m_answers.pop_front();
        return true;
    }

    std::vector<CString> m_messages;
    std::vector<unsigned> m_types;
    std::vector<SFileRequest> m_requests;
    std::deque<CString> m_answers;
};

// A fresh folder under the system's temporary folder, removed with its content at the end.
class CScratchDir {
public:
    CScratchDir()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "event_test_XXXXXX").string();
        m_path = mkdtemp(strTemplate.data());
    }
    ~CScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    // The full name of a file in the folder (ASCII names only), as the tables take it.
    CString Path(const char* pszName) const { return CString((m_path / pszName).string().c_str()); }

    void Write(const char* pszName, const std::string& strBytes) const
    {
        std::ofstream(m_path / pszName, std::ios::binary) << strBytes;
    }
    std::string Read(const char* pszName) const
    {
        std::ifstream in(m_path / pszName, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

// The code page 932 bytes of a UTF-8 text with Japanese in it.
inline std::string Sjis(const char* pszUtf8)
{
    return LiteralToCp932(pszUtf8).Str();
}

inline SEventData Event(std::int32_t lYear, int nMonth, int nDay, const char* pszEvent, int nPriority = 0,
                        bool bLeap = false, const char* pszNote = "")
{
    SEventData data;
    data.lYear = lYear;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    data.strEvent = pszEvent;
    data.strNote = pszNote;
    data.nPriority = nPriority;
    data.bLeapMonth = bLeap;
    return data;
}

} // namespace eventtest
