#include "LinkRule.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace {

std::string Lower(std::string str)
{
    std::transform(str.begin(), str.end(), str.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return str;
}

} // namespace

bool CLinkRule::IsProgram(const std::filesystem::path& file)
{
    static const char* const s_apszRun[] = {".desktop", ".exe", ".com", ".bat", ".cmd", ".msi", ".scr", ".lnk",
                                            ".ps1",     ".vbs", ".js",  ".jar", ".sh",  ".appimage", ".run"};
    const std::string strExtension = Lower(file.extension().string());
    for (const char* pszRun : s_apszRun) {
        if (strExtension == pszRun)
            return true;
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status))
        return false;
    using std::filesystem::perms;
    return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
}

CLinkRule::EAction CLinkRule::Decide(const std::string& strScheme, const std::filesystem::path& localFile)
{
    const std::string strLower = Lower(strScheme);
    if (strLower == "http" || strLower == "https" || strLower == "ftp" || strLower == "mailto")
        return EAction::Open;
    if (strLower != "file" || localFile.empty() || IsProgram(localFile))
        return EAction::Refuse;
    return EAction::AskFirst;
}
