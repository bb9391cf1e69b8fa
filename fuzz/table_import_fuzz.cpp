// The JSON and CSV import of the corvane tool on whole files. Each input is written to a scratch
// file and imported into a table file; the import must either succeed and write exactly that
// file, or fail and write nothing at all (no table file, no temporary file left behind). A crash,
// a hang or a leak is a finding of libFuzzer itself.
#include "CorvaneTool.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FuzzCheck.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder()
{
    static const fs::path s_folder = [] {
        std::string strTemplate = (fs::temp_directory_path() / "table-import-fuzz-XXXXXX").string();
        FuzzCheck(::mkdtemp(strTemplate.data()) != nullptr);
        return fs::path(strTemplate);
    }();
    return s_folder;
}

std::size_t FilesIn(const fs::path& folder)
{
    std::size_t nFiles = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it)
        ++nFiles;
    return nFiles;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const fs::path input = Folder() / "input";
    const fs::path output = Folder() / "output";
    std::ofstream(input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    fs::remove(output);

    const std::string strInput = input.string();
    const std::string strOutput = output.string();
    const char* argv[] = {"corvane", "import", strInput.c_str(), "-o", strOutput.c_str()};
    std::ostringstream out;
    std::ostringstream err;
    const int nStatus = CCorvaneTool(out, err, false).Run(5, argv);

    FuzzCheck(nStatus == 0 || nStatus == 1);
    FuzzCheck(fs::exists(output) == (nStatus == 0));
    FuzzCheck(FilesIn(Folder()) == (nStatus == 0 ? 2u : 1u));
    FuzzCheck(nStatus == 0 ? err.str().empty() : !err.str().empty());
    return 0;
}
