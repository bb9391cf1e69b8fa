// Shared by the fuzz targets of the file readers: one scratch file that each input is written to
// whole, and a host UI that records what the library asks of it and never opens a dialog.
#pragma once

#include <corvane/TableBase.h>

#include <framework/Cp932.h>
#include <framework/HostUi.h>
#include <framework/String.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "FuzzCheck.h"

// A host UI that shows nothing: messages are kept, every dialog is counted and cancelled. The
// fuzz targets pass file names, so a dialog is itself a finding.
class CRecordingHostUi final : public CHostUi {
public:
    void ShowMessage(const CString& strText, unsigned) override { m_messages.push_back(strText); }
    bool AskFileName(const SFileRequest&, CString&) override
    {
        ++m_nDialogs;
        return false;
    }
    void Clear()
    {
        m_messages.clear();
        m_nDialogs = 0;
    }

    std::vector<CString> m_messages;
    int m_nDialogs = 0;
};

// The recording host UI, installed on first use for the whole run.
inline CRecordingHostUi& FuzzHostUi()
{
    static CRecordingHostUi* s_pUi = [] {
        auto* pUi = new CRecordingHostUi;
        SetHostUi(pUi);
        return pUi;
    }();
    return *s_pUi;
}

// The scratch file in a folder of its own under the temporary directory, removed at a normal
// exit. Its
// name is plain ASCII, so the code page 932 name equals the native one.
class CFuzzFile {
public:
    static CFuzzFile& Get()
    {
        static CFuzzFile s_file;
        return s_file;
    }

    // Replaces the file's content with the bytes and returns its absolute name.
    const CString& Write(const std::uint8_t* data, std::size_t size)
    {
        std::ofstream out(m_strNative, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        FuzzCheck(!out.fail());
        return m_strName;
    }

    const CString& Name() const { return m_strName; }

private:
    CFuzzFile()
    {
        std::string strDir = (std::filesystem::temp_directory_path() / "corvane-fuzz-XXXXXX").string();
        FuzzCheck(::mkdtemp(strDir.data()) != nullptr);
        m_strDir = strDir;
        m_strNative = strDir + "/input.txt";
        m_strName = CString(m_strNative.c_str());
    }
    ~CFuzzFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_strDir, ec);
    }
    CFuzzFile(const CFuzzFile&) = delete;
    CFuzzFile& operator=(const CFuzzFile&) = delete;

    std::string m_strDir;
    std::string m_strNative;
    CString m_strName;
};

// The lines of a text file as the table readers take them: LF or CR LF ends a line, a CR not
// followed by LF stays in the line, and a last line without a line end counts. Split the plain
// way, independently of CStdioFile.
inline std::vector<CString> SplitFileLines(const std::uint8_t* data, std::size_t size)
{
    std::vector<CString> lines;
    const char* p = reinterpret_cast<const char*>(data);
    std::size_t nBegin = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (p[i] != '\n')
            continue;
        std::size_t nEnd = i;
        if (nEnd > nBegin && p[nEnd - 1] == '\r')
            --nEnd;
        lines.emplace_back(p + nBegin, static_cast<int>(nEnd - nBegin));
        nBegin = i + 1;
    }
    if (nBegin < size)
        lines.emplace_back(p + nBegin, static_cast<int>(size - nBegin));
    return lines;
}

// The kind and version of a file's header line, split as every reader splits it; false for a
// file without lines.
inline bool SplitFileHeader(const std::vector<CString>& lines, CString& strKind, int& nVersion)
{
    if (lines.empty())
        return false;
    nVersion = 0;
    CTableBase::GetTableKindNameAndFileVer(lines[0], strKind, nVersion);
    return true;
}

// The library's message nID with the file name in place of %1, as the readers show it.
inline CString FuzzExpectedMessage(unsigned nID, const CString& strFileName)
{
    CString strText;
    if (nID == 61447)
        strText = CP932("ファイル %1 のフォーマットが正しくありません");
    else if (nID == 61451)
        strText = CP932("ファイル %1 の読込みに失敗しました");
    strText.Replace(CString("%1"), strFileName);
    return strText;
}
