// The strict check against the lenient readers. Each input is a table file (the first byte picks
// its kind: event, era or base-year, the next four seed the damage); it is read and written back by
// the library, so that the file is as the writer writes it. One damage is then made at random - a
// cut that is not right after a line end, a quote removed where quotes are syntax, a digit of a
// number turned into a letter, a comma between fields removed - and the damaged file is read. When
// what the reader returns changed (its status, or the table, compared through what the writer
// writes of it), the check must report an error: a damage it misses while the records change is a
// fault.
#include <corvane/BaseYear.h>
#include <corvane/GengouEra.h>
#include <corvane/TableCheck.h>
#include <corvane/YearEvent.h>

#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// Reads the scratch file leniently and writes the table back to it; false when either fails.
bool ReadAndWrite(int nKind, const CString& strFile)
{
    switch (nKind) {
    case 0: {
        CYearEvent table;
        return table.Load(strFile, false).Ok() && table.Save(strFile).Ok();
    }
    case 1: {
        CGengouEra table;
        return table.Load(strFile, HEADER_GENGOU).Ok() && table.Save(strFile, HEADER_GENGOU).Ok();
    }
    default: {
        CBaseYear table;
        return table.Load(strFile).Ok() && table.Save(strFile).Ok();
    }
    }
}

std::string ReadScratch()
{
    std::ifstream in(std::string(CFuzzFile::Get().Name().View()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the lenient reader makes of the bytes, as the writer writes it; empty when it fails.
std::string Reading(int nKind, const std::string& bytes, bool& bRead)
{
    const CString& strFile = CFuzzFile::Get().Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    bRead = ReadAndWrite(nKind, strFile);
    return bRead ? ReadScratch() : std::string();
}

struct SLine {
    std::size_t nBegin;
    std::size_t nEnd;   // before the line end
};

std::vector<SLine> Lines(const std::string& bytes)
{
    std::vector<SLine> lines;
    std::size_t nBegin = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\n') {
            const std::size_t nEnd = i > nBegin && i < bytes.size() && bytes[i - 1] == '\r' ? i - 1 : i;
            if (i < bytes.size() || nBegin < i)
                lines.push_back({nBegin, nEnd});
            nBegin = i + 1;
        }
    }
    return lines;
}

// The places where a damage changes the syntax of the file as the writer writes it.
struct SPlaces {
    std::vector<std::size_t> cuts, quotes, digits, commas;
};

SPlaces Places(int nKind, const std::string& bytes)
{
    SPlaces places;
    const std::vector<SLine> lines = Lines(bytes);
    // Lines whose bytes outside quotes are numbers and separators; texts are quoted in them.
    const std::size_t nFirstRecord = nKind == 0 ? 4 : 3;
    // The base-year supplement is the last line and has no line end: a cut in it is a shorter one.
    const std::size_t nNoCutsFrom = nKind == 2 && lines.size() >= 12 ? lines[11].nBegin : bytes.size();
    for (std::size_t i = 1; i < nNoCutsFrom; ++i) {
        if (bytes[i - 1] != '\n')
            places.cuts.push_back(i);
    }
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const SLine& line = lines[n];
        const bool bRecord = n >= nFirstRecord && nKind != 2;
        const bool bNumbers = n == 0 || bRecord || (nKind == 0 && n == 3) || (nKind == 2 && n >= 2 && n <= 10);
        const bool bQuotedText = nKind == 0 && (n == 1 || n == 2) && line.nEnd > line.nBegin &&
                                 bytes[line.nBegin] == '"';
        bool bQuoted = false;
        for (std::size_t i = line.nBegin; i < line.nEnd; ++i) {
            const char ch = bytes[i];
            if (ch == '"' && (bRecord || bQuotedText))
                places.quotes.push_back(i);
            if (ch == '"')
                bQuoted = !bQuoted;
            else if (bNumbers && !bQuoted && ch >= '0' && ch <= '9')
                places.digits.push_back(i);
            else if (bNumbers && !bQuoted && ch == ',')
                places.commas.push_back(i);
        }
    }
    return places;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzHostUi();
    if (size < 6)
        return 0;
    const int nKind = data[0] % 3;
    const std::uint32_t nSeed = static_cast<std::uint32_t>(data[1]) | static_cast<std::uint32_t>(data[2]) << 8 |
                                static_cast<std::uint32_t>(data[3]) << 16 | static_cast<std::uint32_t>(data[4]) << 24;
    bool bRead = false;
    const std::string valid = Reading(nKind, std::string(reinterpret_cast<const char*>(data + 5), size - 5), bRead);
    if (!bRead)
        return 0;
    const std::optional<ETableKind> eKind =
        nKind == 0 ? ETableKind::Event : nKind == 1 ? ETableKind::Era : ETableKind::BaseYear;
    if (HasCheckErrors(CheckTableText(valid, eKind)))
        return 0;   // values the writer writes but the format does not hold (a month 13)
    bool bValidRead = false;
    const std::string reference = Reading(nKind, valid, bValidRead);
    FuzzCheck(bValidRead);

    const SPlaces places = Places(nKind, valid);
    std::mt19937 random(nSeed);
    for (int nDamage = 0; nDamage < 4; ++nDamage) {
        const std::vector<std::size_t>& where = nDamage == 0   ? places.cuts
                                                : nDamage == 1 ? places.quotes
                                                : nDamage == 2 ? places.digits
                                                               : places.commas;
        if (where.empty())
            continue;
        const std::size_t nAt = where[std::uniform_int_distribution<std::size_t>(0, where.size() - 1)(random)];
        std::string damaged = valid;
        if (nDamage == 0)
            damaged.resize(nAt);
        else if (nDamage == 2)
            damaged[nAt] = static_cast<char>('a' + random() % 26);
        else
            damaged.erase(nAt, 1);
        bool bDamagedRead = false;
        const std::string reading = Reading(nKind, damaged, bDamagedRead);
        if (bDamagedRead && reading == reference)
            continue;
        if (!HasCheckErrors(CheckTableText(damaged, eKind))) {
            std::fprintf(stderr, "damage %d at %zu not reported\n", nDamage, nAt);
            FuzzCheck(!"a damage that changes the reading is an error of the check");
        }
    }
    return 0;
}
