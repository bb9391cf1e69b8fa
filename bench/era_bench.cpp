// Costs of the era table: reading an era file in order of begin year stays far below 20 ms up to
// 10,000 records (compare /10000 with /100000 for the growth), and searching era years does not
// depend on the length of an era's span.
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

// An era file of n records in order of begin year, written once per size into a temporary folder.
const std::string& EraFile(int nRecords)
{
    static std::map<int, std::string> s_files;
    const int nKey = nRecords;
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
    for (int i = 0; i < nRecords; ++i) {
        std::fprintf(pFile, "\"era%d\", %d, %d, \"note %d\"\r\n", i, i, i + 1, i);
    }
    std::fclose(pFile);
    return s_files.emplace(nKey, strName).first->second;
}

void BM_ReadEraFile(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    const std::string& strFile = EraFile(nRecords);
    for (auto _ : state) {
        CGengouEra era;
        // Any header word is accepted with a type other than the two kinds.
        if (!era.ReadFile(strFile.c_str(), static_cast<EHeaderType>(0), false) || era.GetSize() != nRecords)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(era.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK(BM_ReadEraFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Era years of an era that never ended (1 .. 2147483647): the answer is built, not counted.
void BM_SearchStrEndlessEra(benchmark::State& state)
{
    CGengouEra era;
    era.SetData("open", 1, NO_YEAR, "");
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
