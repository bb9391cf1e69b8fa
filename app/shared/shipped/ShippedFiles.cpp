#include <tamber/core/ShippedFiles.h>

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& str)
{
    return fs::path(std::u8string(str.begin(), str.end()));
}

std::string ToUtf8(const fs::path& path)
{
    const std::u8string str = path.lexically_normal().u8string();
    return std::string(str.begin(), str.end());
}

// The first of the installed and the source-tree name that exists: strInstalled under the data
// folder of an installed program, strInSource under the source tree.
std::string FindFirst(const std::string& strProgramDir, const char* pszInstalled, const char* pszInSource)
{
    std::error_code ec;
#ifdef TAMBER_DATA_FROM_BIN
    if (!strProgramDir.empty()) {
        const fs::path installed = FromUtf8(strProgramDir) / FromUtf8(TAMBER_DATA_FROM_BIN) / FromUtf8(pszInstalled);
        if (fs::exists(installed, ec))
            return ToUtf8(installed);
    }
#endif
#ifdef TAMBER_SOURCE_DIR
    const fs::path inSource = FromUtf8(TAMBER_SOURCE_DIR) / FromUtf8(pszInSource);
    if (fs::exists(inSource, ec))
        return ToUtf8(inSource);
#endif
    return std::string();
}

} // namespace

std::string FindShippedEraFile(const std::string& strProgramDir)
{
    return FindFirst(strProgramDir, "ﾗｲﾌﾞﾗﾘ/元号.lgn", "data/ﾗｲﾌﾞﾗﾘ/元号.lgn");
}

std::string FindHelpPages(const std::string& strProgramDir)
{
    const std::string strIndex = FindFirst(strProgramDir, "help/index.html", "app/tamber/resources/help/index.html");
    return strIndex.empty() ? strIndex : ToUtf8(FromUtf8(strIndex).parent_path());
}
