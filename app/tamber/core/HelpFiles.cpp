#include <tamber/core/HelpFiles.h>

#include <filesystem>
#include <system_error>

#include <shared/shipped/ShippedFiles.h>

namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& str)
{
    return fs::path(std::u8string(str.begin(), str.end()));
}

std::string ToUtf8(const fs::path& path)
{
    const std::u8string str = path.u8string();
    return std::string(str.begin(), str.end());
}

} // namespace

std::string FindHelpFile(const std::string& strProgramDir)
{
    const std::string strBeside = ToUtf8(FromUtf8(strProgramDir) / "tamber.chm");
    std::error_code ec;
    if (fs::exists(FromUtf8(strBeside), ec))
        return strBeside;
    const std::string strInstalled = FindShippedFile(strProgramDir, "tamber.chm", nullptr);
    return strInstalled.empty() ? strBeside : strInstalled;
}

std::string FindHelpPages(const std::string& strProgramDir)
{
    const std::string strIndex = FindShippedFile(strProgramDir, "help/index.html", "app/tamber/resources/help/index.html");
    return strIndex.empty() ? strIndex : ToUtf8(FromUtf8(strIndex).parent_path());
}
