// End-to-end tests of tamber-cli: the program runs on era files written into a temporary folder,
// with its own empty configuration folder, so the user's profile is never read.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <framework/Cp932.h>

namespace {

namespace fs = std::filesystem;

struct SRun {
    int nStatus = -1;
    std::string strOut;
    std::string strErr;
};

std::string Quote(const std::string& str)
{
    std::string strQuoted = "'";
    for (char ch : str) {
        if (ch == '\'')
            strQuoted += "'\\''";
        else
            strQuoted += ch;
    }
    return strQuoted + "'";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream stream;
    stream << file.rdbuf();
    return stream.str();
}

class TamberCliTest : public testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/tamber-cli-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szTemplate));
        m_dir = szTemplate;
        fs::create_directories(m_dir / "config");
        m_eraFile = m_dir / "eras.lgn";
        WriteEraFile(m_eraFile, "試験の元号", "\"明治\", 1868, 1912, \"\"\n\"大正\", 1912, 1926, \"\"\n"
                                             "\"昭和\", 1926, 1989, \"\"\n\"平成\", 1989, 2019, \"\"\n");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void WriteEraFile(const fs::path& path, const std::string& strTableName, const std::string& strRecords)
    {
        CString strCp932;
        ASSERT_TRUE(Utf8ToCp932("[元号], 1\n" + strTableName + "\n\n" + strRecords, strCp932));
        std::ofstream file(path, std::ios::binary);
        file.write(strCp932.GetString(), strCp932.GetLength());
    }

    SRun Run(const std::vector<std::string>& args)
    {
        std::string strCommand = "XDG_CONFIG_HOME=" + Quote((m_dir / "config").string()) + " " + Quote(TAMBER_CLI);
        for (const std::string& strArg : args)
            strCommand += " " + Quote(strArg);
        strCommand += " >" + Quote((m_dir / "out").string()) + " 2>" + Quote((m_dir / "err").string());
        SRun run;
        const int nRaw = std::system(strCommand.c_str());
        run.nStatus = WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
        run.strOut = ReadAll(m_dir / "out");
        run.strErr = ReadAll(m_dir / "err");
        return run;
    }
    SRun RunWithEras(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--era-file", m_eraFile.string()});
        return Run(args);
    }

    fs::path m_dir;
    fs::path m_eraFile;
};

TEST_F(TamberCliTest, YearToCycle)
{
    const struct {
        std::vector<std::string> args;
        std::string strOut;
    } cases[] = {
        {{"1984"}, "1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n"},
        {{"昭和59"}, "1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n"},
        {{"平成元"}, "1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。\n"},
        {{"平成元年"}, "1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。\n"},
        {{"2006"}, "2006(平成18年)年の干支は丙戌(ひのえいぬ)です。\n十二支はいぬです。\n"},
        {{"-660"}, "-660年の干支は辛酉(かのととり)です。\n十二支はとりです。\n"},
        {{"--", "-1"}, "-1年の干支は庚申(かのえさる)です。\n十二支はさるです。\n"},
        // Full-width digits and signs, as a Japanese input method types them.
        {{"１９８４"}, "1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n"},
        {{"昭和５９年"}, "1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n"},
        {{"－６６０"}, "-660年の干支は辛酉(かのととり)です。\n十二支はとりです。\n"},
        // The era date forms: the era year counts.
        {{"H1"}, "1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。\n"},
        {{"平成元年1月8日"}, "1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。\n"},
        {{"昭和六十四年"}, "1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。\n"},
        {{"s59.1.7"}, "1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n"},
    };
    for (const auto& c : cases) {
        const SRun run = RunWithEras(c.args);
        EXPECT_EQ(0, run.nStatus) << c.args.back();
        EXPECT_EQ(c.strOut, run.strOut) << c.args.back();
        EXPECT_EQ("", run.strErr) << c.args.back();
    }
}

TEST_F(TamberCliTest, YearsOfPair)
{
    const struct {
        std::vector<std::string> args;
        std::string strOut;
    } cases[] = {
        {{"甲子", "1900", "2000"}, "1900(明治33年)～2000(平成12年)の間で\n甲子(きのえね)に該当する年は2個あります。\n1924(大正13年)\n1984(昭和59年)\n"},
        {{"甲子", "明治1", "昭和64"},
         "1868(明治元年)～1989(昭和64年)の間で\n甲子(きのえね)に該当する年は2個あります。\n1924(大正13年)\n1984(昭和59年)\n"},
        {{"甲子", "M1", "S64.1.7"},
         "1868(明治元年)～1989(昭和64年)の間で\n甲子(きのえね)に該当する年は2個あります。\n1924(大正13年)\n1984(昭和59年)\n"},
        {{"甲子", "-", "2000"}, "2000(平成12年)年以前でもっとも近い甲子(きのえね)は\n1984(昭和59年)年です。\n"},
        {{"子", "2000"}, "2000(平成12年)年以降でもっとも近い子(ねずみ)は\n2008(平成20年)年です。\n"},
        {{"甲子", "2000", "1900"}, "2000(平成12年)～1900(明治33年)の間で\n甲子(きのえね)に該当する年は0個あります。\n"},
        {{"癸亥", "１９００", "２０００"}, "1900(明治33年)～2000(平成12年)の間で\n癸亥(みずのとい)に該当する年は2個あります。\n1923(大正12年)\n1983(昭和58年)\n"},
    };
    for (const auto& c : cases) {
        const SRun run = RunWithEras(c.args);
        EXPECT_EQ(0, run.nStatus) << c.args[1];
        EXPECT_EQ(c.strOut, run.strOut) << c.args[1];
        EXPECT_EQ("", run.strErr) << c.args[1];
    }
}

TEST_F(TamberCliTest, MessagesGoToStandardErrorWithStatusOne)
{
    const struct {
        std::vector<std::string> args;
        std::string strErr;
    } cases[] = {
        {{"昭和65"}, "元号の最大年を超えています\n"},
        {{"令和5"}, "該当する元号がありません\n"},
        {{"0"}, "西暦0年はありません。紀元前1年(-1)の次の年は西暦1年です。\n"},
        {{"甲子"}, "開始年・終了年に年を入れてください。\n"},
        {{"昭和0"}, "元号の年は1(元年)以上を入れてください\n"},
        {{"昭和-1"}, "元号の年は1(元年)以上を入れてください\n"},
        {{"甲子", "昭和0", "-"}, "元号の年は1(元年)以上を入れてください\n"},
        {{"甲丑", "2000"}, "該当する年がありません。十干と十二支の組み合わせを確かめてください。\n"},
        {{"子", "-2147483648", "2147483647"},
         "該当する年が357913941個あり、一度に表示できる10000個を超えています。年範囲を狭くしてください。\n"},
    };
    for (const auto& c : cases) {
        const SRun run = RunWithEras(c.args);
        EXPECT_EQ(1, run.nStatus) << c.args[0];
        EXPECT_EQ("", run.strOut) << c.args[0];
        EXPECT_EQ(c.strErr, run.strErr) << c.args[0];
    }
}

TEST_F(TamberCliTest, CommandLineErrorsHelpAndVersion)
{
    SRun run = Run({"--version"});
    EXPECT_EQ(0, run.nStatus);
    EXPECT_EQ("tamber-cli 1.0.3.0\n", run.strOut);
    run = Run({"--help"});
    EXPECT_EQ(0, run.nStatus);
    EXPECT_NE(std::string::npos, run.strOut.find("--era-file"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"--bogus"}, {"--era-file"}, {"99999999999"}, {"昭和5x"}, {"甲子", "abc", "-"}, {"甲子", "昭和", "-"},
             {"1", "2", "3", "4"}, {"甲ね", "1900", "2000"}, {"abc"}, {"1984", "2000"}}) {
        run = Run(args);
        EXPECT_EQ(2, run.nStatus) << (args.empty() ? "" : args[0]);
        EXPECT_EQ("", run.strOut);
        EXPECT_NE("", run.strErr);
    }
    // Text that is neither a year nor a pair is shown the usage.
    run = Run({"abc"});
    EXPECT_NE(std::string::npos, run.strErr.find("--era-file"));
}

// A year the era-date reader refuses is refused with the reader's reason, the text named once.
TEST_F(TamberCliTest, RefusedYearsGiveTheReadersReason)
{
    const std::pair<std::vector<std::string>, const char*> kCases[] = {
        {{"昭和64年1月8日"}, "tamber-cli: 昭和64年1月8日はありません(昭和は昭和64年1月7日で終わりました)\n"},
        {{"H1.1.8.9"}, "tamber-cli: H1.1.8.9: 日付の後に余分な文字があります(「.9」)\n"},
    };
    for (const auto& [args, pszErr] : kCases) {
        const SRun run = Run(args);
        EXPECT_EQ(2, run.nStatus) << args[0];
        EXPECT_EQ(pszErr, run.strErr) << args[0];
    }
    const SRun pair = Run({"甲子", "昭和64年1月8日", "-"});
    EXPECT_EQ(2, pair.nStatus);
    EXPECT_EQ(0u, pair.strErr.find("tamber-cli: 昭和64年1月8日はありません")) << pair.strErr;
}

TEST_F(TamberCliTest, EraFileChoice)
{
    // A given file that cannot be read is an error, with the library's message.
    SRun run = Run({"--era-file", (m_dir / "missing.lgn").string(), "1984"});
    EXPECT_EQ(1, run.nStatus);
    EXPECT_EQ("", run.strOut);
    EXPECT_NE(std::string::npos, run.strErr.find("missing.lgn"));

    // A given file under a name that code page 932 cannot hold.
    fs::create_directories(m_dir / "résumé/José/年表〜");
    fs::copy_file(m_eraFile, m_dir / "résumé/José/年表〜/eras.lgn");
    run = Run({"--era-file", (m_dir / "résumé/José/年表〜/eras.lgn").string(), "1984"});
    EXPECT_EQ(0, run.nStatus) << run.strErr;
    EXPECT_EQ("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n", run.strOut);

    // Without one, the file that the dialog's profile remembers.
    const fs::path other = m_dir / "other.lgn";
    WriteEraFile(other, "別表", "\"試験\", 1980, 1990, \"\"\n");
    fs::create_directories(m_dir / "config" / "Haldris");
    std::ofstream(m_dir / "config" / "Haldris" / "Tamber.conf") << "[Gengou]\nFileName=" << other.string() << "\n";
    run = Run({"1984"});
    EXPECT_EQ(0, run.nStatus);
    EXPECT_EQ("1984(試験5年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n", run.strOut);

    // A remembered file that is gone: the shipped era file, silently.
    fs::remove(other);
    run = Run({"1984"});
    EXPECT_EQ(0, run.nStatus);
    EXPECT_EQ("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。\n", run.strOut);
    EXPECT_EQ("", run.strErr);
}

} // namespace
