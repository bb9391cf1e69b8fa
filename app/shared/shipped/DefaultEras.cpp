#include <shared/shipped/DefaultEras.h>

#include <shared/shipped/RememberedEraFile.h>
#include <shared/shipped/ShippedFiles.h>

#include <framework/Env.h>

namespace {

namespace fs = std::filesystem;

// A UTF-8 name as a path (a narrow name would be taken in the ANSI code page on Windows); empty
// for an empty name.
fs::path Utf8Path(const std::string& str)
{
    return fs::path(std::u8string(str.begin(), str.end()));
}

} // namespace

std::string RunningProgramDir()
{
    const std::string strProgram = Env::ProgramPath();
    if (strProgram.empty())
        return std::string();
    const std::u8string strDir = Utf8Path(strProgram).parent_path().u8string();
    return std::string(strDir.begin(), strDir.end());
}

SEraFileCandidates DefaultEraFileCandidates(const std::string& strProgramDir)
{
    return {Utf8Path(RememberedEraFile()), Utf8Path(FindShippedEraFile(strProgramDir))};
}

bool LoadWholeEraFile(const fs::path& path, CGengouEra& eras, SFileStatus* pStatus)
{
    CGengouEra table;
    const SFileStatus status = table.Load(path, HEADER_GENGOU);
    if (pStatus)
        *pStatus = status;
    if (!status.Ok())
        return false;
    eras = table;
    return true;
}

bool LoadNamedEraFile(const std::string& strName, CGengouEra& eras, std::string& strMessage)
{
    SFileStatus status;
    if (LoadWholeEraFile(Utf8Path(strName), eras, &status))
        return true;
    strMessage = FormatFileStatusUtf8(status, strName);
    return false;
}

bool LoadDefaultEras(const SEraFileCandidates& candidates, CGengouEra& eras, fs::path* pFile, EShippedEras eShipped)
{
    const bool bShipped = eShipped == EShippedEras::WhenRememberedFails || candidates.remembered.empty();
    for (const fs::path* pCandidate : {&candidates.remembered, bShipped ? &candidates.shipped : nullptr}) {
        if (pCandidate && !pCandidate->empty() && LoadWholeEraFile(*pCandidate, eras)) {
            if (pFile)
                *pFile = *pCandidate;
            return true;
        }
    }
    return false;
}

bool LoadDefaultEras(const std::string& strProgramDir, CGengouEra& eras, EShippedEras eShipped)
{
    return LoadDefaultEras(DefaultEraFileCandidates(strProgramDir), eras, nullptr, eShipped);
}

fs::path DefaultEraFile(const SEraFileCandidates& candidates, EShippedEras eShipped)
{
    CGengouEra eras;
    fs::path file;
    LoadDefaultEras(candidates, eras, &file, eShipped);
    return file;
}
