#include "NenpyoSession.h"

#include <system_error>

#include <shared/shipped/DefaultEras.h>

namespace {

bool Exists(const std::filesystem::path& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The name without its folder and its last extension, as UTF-8.
std::string BaseName(const std::filesystem::path& path)
{
    return CNenpyoDoc::Utf8(path.stem());
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    const bool bSame = !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, error);
    return !error && bSame;
}

} // namespace

CNenpyoDoc::SDefaults CNenpyoSession::DefaultTables() const
{
    CNenpyoDoc::SDefaults defaults;
    // The programs' one rule; when neither reads, the shipped name, so that the message names it.
    const std::filesystem::path shipped = m_places.libraryFolder / u8"元号.lgn";
    defaults.eraFile = DefaultEraFile({m_places.rememberedEraFile, shipped});
    if (defaults.eraFile.empty())
        defaults.eraFile = shipped;
    defaults.periodFile = m_places.libraryFolder / u8"時代.ler";
    return defaults;
}

bool CNenpyoSession::IsSample(const std::filesystem::path& path) const
{
    return SameFile(path, m_places.sampleFile);
}

CNenpyoSession::ESave CNenpyoSession::SaveRoute(const CNenpyoDoc& doc, bool bReadOnly) const
{
    // A recovered chronology goes to a new name: the damaged file is never replaced unasked.
    if (doc.IsRecovered() || bReadOnly)
        return ESave::AskName;
    if (!doc.Path().empty())
        return ESave::Document;
    if (doc.EventsPath().empty() || doc.NeedsDocument(DefaultTables()))
        return ESave::AskName;
    return ESave::TablesInPlace;
}

std::filesystem::path CNenpyoSession::ProposedName(const CNenpyoDoc& doc)
{
    std::filesystem::path name = doc.Path().filename();
    if (name.empty())
        name = doc.EventsPath().stem();
    if (name.empty())
        name = std::filesystem::path(u8"年表");
    if (doc.IsRecovered())
        name = std::filesystem::path(name.stem()).concat(u8"(復元).nenpyo");
    return name;
}

std::vector<std::string> CNenpyoSession::TablesReplaced(const CNenpyoDoc& doc, const std::filesystem::path& path)
{
    // Save as writes the tables beside the document under its name; a recovered chronology writes
    // its tables anew even under its own name.
    std::vector<std::string> vExisting;
    if (!doc.IsRecovered() && SameFile(path, doc.Path()))
        return vExisting;
    for (const char* pszSuffix : {".lev", ".lby"}) {
        if (std::string_view(pszSuffix) == ".lby" && !doc.HasBaseYear())
            continue;
        std::filesystem::path table = path;
        table.replace_extension(pszSuffix);
        if (Exists(table))
            vExisting.push_back(CNenpyoDoc::Utf8(table.filename()));
    }
    return vExisting;
}

std::string CNenpyoSession::DocumentName(const CNenpyoDoc& doc)
{
    const std::string strName = BaseName(doc.SourcePath());
    return strName.empty() ? "年表" : strName;
}

std::string CNenpyoSession::TitleName(const CNenpyoDoc& doc, bool bReadOnly)
{
    std::string strFile = CNenpyoDoc::Utf8(doc.SourcePath().filename());
    if (strFile.empty())
        strFile = "無題";
    if (doc.IsRecovered())
        strFile += " (復元)";
    if (bReadOnly)
        strFile += " (読み取り専用)";
    return strFile;
}
