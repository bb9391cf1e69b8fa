// Relative file names in both path styles on arbitrary names and base folders.
#include <corvane/FilePathManager.h>

#include <cstdint>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t split = data[0] % size;
    const CString base(reinterpret_cast<const char*>(data + 1), static_cast<int>(split));
    const CString path(reinterpret_cast<const char*>(data + 1 + split), static_cast<int>(size - 1 - split));
    for (EPathStyle eStyle : {PATH_STYLE_WINDOWS, PATH_STYLE_POSIX}) {
        CString result;
        FuzzCheck(CFilePathManager::AbsToRelPath(eStyle, path, result, base));
        CFilePathManager::CheckAbsPath(eStyle, path);
        CString joined;
        CFilePathManager::RelPathToAbsPath(eStyle, base, path, joined);
    }
    return 0;
}
