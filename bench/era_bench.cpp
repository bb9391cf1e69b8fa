// Costs of the era table: reading era files in order of begin year must grow linearly with the
// number of records (compare /20000 with /200000), and searching era years must not depend on
// the length of an era's span.
#include <corvane/GengouEra.h>

#include <framework/String.h>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

// An era file of n records in order of begin year (or in the reverse order), written once per size
// into a temporary folder.
const std::string& EraFile(int nRecords, bool bReversed = false)
{
    static std::map<int, std::string> s_files;
    const int nKey = bReversed ? -nRecords : nRecords;
    auto it = s_files.find(nKey);
    if (it != s_files.end())
        return it->second;
    static std::string s_dir = [] {
        std::string strTemplate = "/tmp/era-bench-XXXXXX";
        if (!::mkdtemp(strTemplate.data()))
            std::abort();
        return strTemplate;
    }();
    const std::string strName = s_dir + "/e" + std::to_string(nKey) + ".lgn";
    std::FILE* pFile = std::fopen(strName.c_str(), "wb");
    if (!pFile)
        std::abort();
    std::fprintf(pFile, "[%s], 1\r\nbench\r\n\r\n", "GENGOU");
    for (int n = 0; n < nRecords; ++n) {
        const int i = bReversed ? nRecords - 1 - n : n;
        std::fprintf(pFile, "\"era%d\", %d, %d, \"note %d\"\r\n", i, i, i + 1, i);
    }
    std::fclose(pFile);
    return s_files.emplace(nKey, strName).first->second;
}

void BM_ReadEraFile(benchmark::State& state, bool bReversed)
{
    const int nRecords = static_cast<int>(state.range(0));
    const std::string& strFile = EraFile(nRecords, bReversed);
    for (auto _ : state) {
        CGengouEra era;
        // Any header word is accepted with a type other than the two kinds.
        if (!era.ReadFile(strFile.c_str(), static_cast<EHeaderType>(0), false) || era.GetSize() != nRecords)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(era.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK_CAPTURE(BM_ReadEraFile, InOrder, false)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
// Every record belongs before all others: SetData one after the other would move the whole table
// each time.
BENCHMARK_CAPTURE(BM_ReadEraFile, Reversed, true)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The plain scan from index 0 that SetData would do without its order bookkeeping: the quadratic
// baseline for the same records.
void BM_PlainScanInsertInOrder(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CGengouEraArray arr;
        for (int i = 0; i < nRecords; ++i) {
            const CString strName(("era" + std::to_string(i)).c_str());
            std::size_t nInsert = arr.size();
            bool bFound = false;
            for (std::size_t k = 0; k < arr.size(); ++k) {
                if (arr[k].strGengou == strName) {
                    bFound = true;
                    break;
                }
                if (i < arr[k].lBeginYear) {
                    nInsert = k;
                    break;
                }
            }
            if (!bFound)
                arr.insert(arr.begin() + static_cast<std::ptrdiff_t>(nInsert), SGengouEraTable{strName, i, i + 1, CString()});
        }
        benchmark::DoNotOptimize(arr.size());
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK(BM_PlainScanInsertInOrder)->Arg(20000)->Unit(benchmark::kMillisecond);

// Era years of an era that never ended (1 .. 2147483647): the answer is built, not counted.
void BM_SearchStrEndlessEra(benchmark::State& state)
{
    CGengouEra era;
    era.SetData("open", 1, 2147483647, "");
    const char* const texts[] = {"2147483647", "9999", "0"};
    const char* pszText = texts[state.range(0)];
    SGengouEraTable rec;
    std::int32_t lYear = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(era.SearchStr(pszText, &rec, lYear, 0, true));
    }
    state.SetLabel(pszText);
}
BENCHMARK(BM_SearchStrEndlessEra)->DenseRange(0, 2);

// The plain count through the era years up to the answer, for comparison (answer 9999).
void BM_PlainYearCount(benchmark::State& state)
{
    for (auto _ : state) {
        std::int64_t n = 1;
        while (std::to_string(n).find("9999") == std::string::npos)
            ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_PlainYearCount);

} // namespace

int main(int argc, char** argv)
{
    // Keep freed memory in the process: otherwise every iteration of the larger reads maps fresh
    // pages from the system, and the page faults (costly in virtual machines) hide the cost of the
    // reading itself.
    ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
    ::mallopt(M_MMAP_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
