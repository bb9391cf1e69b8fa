#include <shared/shipped/ShippedFiles.h>

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

} // namespace

std::string FindShippedFile(const std::string& strProgramDir, const char* pszInstalled, const char* pszInSource)
{
    std::error_code ec;
#ifdef TAMBER_DATA_FROM_BIN
    if (!strProgramDir.empty()) {
        const fs::path installed = FromUtf8(strProgramDir) / FromUtf8(TAMBER_DATA_FROM_BIN) / FromUtf8(pszInstalled);
        if (fs::exists(installed, ec))
            return ToUtf8(installed);
    }
#else
    static_cast<void>(strProgramDir);
    static_cast<void>(pszInstalled);
#endif
#ifdef TAMBER_SOURCE_DIR
    if (pszInSource != nullptr) {
        const fs::path inSource = FromUtf8(TAMBER_SOURCE_DIR) / FromUtf8(pszInSource);
        if (fs::exists(inSource, ec))
            return ToUtf8(inSource);
    }
#else
    static_cast<void>(pszInSource);
#endif
    return std::string();
}

std::string FindShippedData(const std::string& strProgramDir, const std::string& strName)
{
    return FindShippedFile(strProgramDir, strName.c_str(), ("data/" + strName).c_str());
}

std::string FindShippedEraFile(const std::string& strProgramDir)
{
    return FindShippedData(strProgramDir, "ﾗｲﾌﾞﾗﾘ/元号.lgn");
}
