#include <corvane/TableKind.h>

#include <framework/Cp932.h>

#include "table/TableFile.h"

const CString& TableKindWord(ETableKind eKind)
{
    switch (eKind) {
    case ETableKind::Era: return CP932("[元号]");
    case ETableKind::Period: return CP932("[時代]");
    case ETableKind::Event: return CP932("[出来事]");
    case ETableKind::BaseYear: break;
    }
    return CP932("[基点年]");
}

namespace {

template <typename Path>
SFileStatus ReadHeaderOf(const Path& path, STableHeader& header)
{
    CTableBase file;   // holds the name while LoadTableFile reads
    STableHeader found;
    const SFileStatus status = LoadTableFile(file, path, [&found](CStdioFile& stdioFile) {
        CString strLine;
        stdioFile.ReadString(strLine);
        CTableBase::GetTableKindNameAndFileVer(strLine, found.strWord, found.nVersion);
        for (const ETableKind eKind : {ETableKind::Era, ETableKind::Period, ETableKind::Event, ETableKind::BaseYear}) {
            if (found.strWord == TableKindWord(eKind))
                found.eKind = eKind;
        }
        return 0u;
    });
    if (status.Ok())
        header = found;
    return status;
}

} // namespace

SFileStatus ReadTableHeader(const char* pszPath, STableHeader& header)
{
    return ReadHeaderOf(pszPath, header);
}

SFileStatus ReadTableHeader(const std::filesystem::path& path, STableHeader& header)
{
    return ReadHeaderOf(path, header);
}
