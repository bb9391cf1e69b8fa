// The corvane command end to end: each command run in-process on table files in a temporary
// folder, with its output, messages and exit status; round trips through JSON and CSV of the
// shipped files and of random tables with hostile texts.
#include "CorvaneTool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>


#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

#include <framework/Cp932.h>

namespace {

namespace fs = std::filesystem;

struct SRun {
    int nStatus;
    std::string strOut;
    std::string strErr;
};

class CorvaneToolTest : public testing::Test {
protected:
    void SetUp() override
    {
        // A new folder of a random name (create_directory is false when the name is taken).
        std::random_device random;
        do
            m_dir = fs::temp_directory_path() / ("corvane-tool-test-" + std::to_string(random()));
        while (!fs::create_directory(m_dir));
        // An event file of version 5, a period file and a base-year file, as the library writes them.
        Write("events.lev", Cp932("[出来事], 5\r\n寺の歩み\r\n寺の主な出来事\\r\\n年は西暦\r\n0\r\n"
                               "710, -1, -1, \"寺の創建\", \"\", 0, 0\r\n"
                               "720, 3, -1, \"大火\", \"本堂が焼失\", 1, 1\r\n"
                               "721, 4, 10, \"<a href=\"\"fire.htm\"\">再建</a>の開始\", \"出典:\"\"寺の日記\"\"\\r\\n第二巻\", 2, 0\r\n"));
        Write("more.lev", Cp932("[出来事], 5\r\n別の年表\r\n\r\n0\r\n715, -1, -1, \"鐘の鋳造\", \"\", 0, 0\r\n"
                             "720, -1, -1, \"門の建立\", \"\", 0, 0\r\n"));
        Write("eras.lgn", Cp932("[元号], 1\r\n元号\r\n\r\n\"和銅\", 708, 715, \"\"\r\n\"霊亀\", 715, 717, \"\"\r\n"
                             "\"養老\", 717, 724, \"\"\r\n"));
        Write("periods.ler", Cp932("[時代], 1\r\n時代\r\n\r\n\"奈良時代\", 710, 794, \"\"\r\n"));
        Write("base.lby", Cp932("[基点年],5\r\n創建から\r\n710\r\n2147483647\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& strName) const { return (m_dir / strName).string(); }
    void Write(const std::string& strName, const std::string& bytes) const
    {
        std::ofstream(m_dir / strName, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& strName) const
    {
        std::ifstream in(m_dir / strName, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Runs corvane with the arguments; names in them that start with '@' are files of the folder.
    SRun Run(std::vector<std::string> args) const
    {
        args.insert(args.begin(), "corvane");
        std::vector<const char*> argv;
        for (std::string& strArg : args) {
            if (strArg.starts_with('@'))
                strArg = Path(strArg.substr(1));
            argv.push_back(strArg.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        const int nStatus = CCorvaneTool(out, err, false).Run(static_cast<int>(argv.size()), argv.data());
        return {nStatus, out.str(), err.str()};
    }

    // Export in both formats, import each, and compare the written file with the original (or
    // with the given bytes).
    void ExpectRoundTrip(const std::string& strName, const std::string* pExpected = nullptr) const
    {
        for (const char* pszFormat : {"json", "csv"}) {
            SCOPED_TRACE(strName + " as " + pszFormat);
            const std::string strExport = std::string("export.") + pszFormat;
            ASSERT_EQ(0, Run({"export", "@" + strName, "--format", pszFormat, "-o", "@" + strExport}).nStatus);
            const SRun import = Run({"import", "@" + strExport, "-o", "@back"});
            ASSERT_EQ(0, import.nStatus) << import.strErr;
            EXPECT_TRUE((pExpected ? *pExpected : Read(strName)) == Read("back"));
        }
    }

    fs::path m_dir;
};

TEST_F(CorvaneToolTest, InfoAndCheck)
{
    const SRun info = Run({"info", "@events.lev", "@base.lby"});
    EXPECT_EQ(0, info.nStatus);
    EXPECT_EQ(Path("events.lev") + "\n  kind: event\n  version: 5\n  name: 寺の歩み\n"
                                   "  explanation: 寺の主な出来事\n    年は西暦\n  records: 3\n" +
                  Path("base.lby") + "\n  kind: base-year\n  version: 5\n  name: 創建から\n"
                                     "  base year: 710\n  end year: none\n",
              info.strOut);

    // 720 had no leap month: the record reads as written, and the check says so, with status 0.
    const SRun good = Run({"check", "@events.lev", "@eras.lgn", "@periods.ler", "@base.lby"});
    EXPECT_EQ(0, good.nStatus);
    EXPECT_EQ(Path("events.lev") + ":6: warning: 暦にない日付です(720年に閏3月はありません(この年に閏月はありません))\n",
              good.strOut + good.strErr);
    EXPECT_EQ(1, Run({"check", "--strict", "@events.lev"}).nStatus);
    Write("bad.lev", Cp932("[出来事], 5\r\n名\r\n\r\n0\r\n\r\n"));
    Write("foreign.txt", "hello\n");
    const SRun check = Run({"check", "@events.lev", "@bad.lev", "@missing.lev", "@foreign.txt"});
    EXPECT_EQ(1, check.nStatus);
    EXPECT_EQ(Path("events.lev") + ":6: warning: 暦にない日付です(720年に閏3月はありません(この年に閏月はありません))\n" + Path("bad.lev") +
                  ":5: error: 空の行です(読込みがここで止まります)\n",
              check.strOut);
    // One line a failing file: the library's message (with the line of a format error), the
    // system's reason, or the header that names no table.
    std::istringstream lines(check.strErr);
    std::vector<std::string> messages;
    for (std::string strLine; std::getline(lines, strLine);)
        messages.push_back(strLine);
    ASSERT_EQ(3u, messages.size()) << check.strErr;
    EXPECT_NE(std::string::npos, messages[0].find("bad.lev のフォーマットが正しくありません (5行目)")) << messages[0];
    EXPECT_NE(std::string::npos, messages[1].find("missing.lev の読込みに失敗しました: No such file")) << messages[1];
    EXPECT_NE(std::string::npos, messages[2].find("not a table file")) << messages[2];
}

TEST_F(CorvaneToolTest, DamagedFileIsCheckedAndExportedAsFarAsItReads)
{
    const std::string strEvents = Read("events.lev");
    Write("cut.lev", strEvents.substr(0, strEvents.rfind("721")) + "72");
    const SRun check = Run({"check", "@cut.lev"});
    EXPECT_EQ(1, check.nStatus);
    EXPECT_EQ(Path("cut.lev") + ":6: warning: 暦にない日付です(720年に閏3月はありません(この年に閏月はありません))\n" + Path("cut.lev") +
                  ":7: error: ファイルが行の途中で終わっています(最後の行に行末がありません)\n",
              check.strOut);
    EXPECT_NE(std::string::npos, check.strErr.find("のフォーマットが正しくありません (7行目); 2 records readable before line 7\n"))
        << check.strErr;

    EXPECT_EQ(1, Run({"export", "@cut.lev", "-o", "@whole.json"}).nStatus);
    EXPECT_FALSE(fs::exists(m_dir / "whole.json"));
    const SRun partial = Run({"export", "@cut.lev", "--partial", "-o", "@partial.json"});
    EXPECT_EQ(1, partial.nStatus);
    EXPECT_NE(std::string::npos, partial.strErr.find("2 records exported before line 7")) << partial.strErr;
    EXPECT_EQ(0, Run({"import", "@partial.json", "-o", "@partial.lev"}).nStatus);
    EXPECT_EQ(strEvents.substr(0, strEvents.rfind("721")), Read("partial.lev"));
}

TEST_F(CorvaneToolTest, ListShowsTheChronologyRows)
{
    const SRun all = Run({"list", "@events.lev", "--era", "@eras.lgn", "--period", "@periods.ler", "--base", "@base.lby"});
    EXPECT_EQ(0, all.nStatus) << all.strErr;
    EXPECT_EQ("710\t和銅3年\t奈良時代\t1\t\t寺の創建\n"
              "720\t養老4年\t奈良時代\t11\t閏3月\t大火\n"
              "721\t養老5年\t奈良時代\t12\t4月10日\t再建の開始\n",
              all.strOut);
    EXPECT_EQ("710\t\t\t\t\t寺の創建\n", Run({"list", "@events.lev", "--priority", "high"}).strOut);
    // A table of another kind where an era file belongs.
    const SRun wrongKind = Run({"list", "@events.lev", "--era", "@periods.ler"});
    EXPECT_EQ(1, wrongKind.nStatus);
    EXPECT_NE(std::string::npos, wrongKind.strErr.find("a table of kind period, not era"));
}

TEST_F(CorvaneToolTest, MergeAndLabel)
{
    ASSERT_EQ(0, Run({"merge", "@events.lev", "@more.lev", "-o", "@merged.lev"}).nStatus);
    EXPECT_EQ("710\t\t\t\t\t寺の創建\n715\t\t\t\t\t鐘の鋳造\n720\t\t\t\t\t門の建立\n720\t\t\t\t閏3月\t大火\n"
              "721\t\t\t\t4月10日\t再建の開始\n",
              Run({"list", "@merged.lev"}).strOut);
    // A failing input writes nothing.
    EXPECT_EQ(1, Run({"merge", "@events.lev", "@base.lby", "-o", "@failed.lev"}).nStatus);
    EXPECT_FALSE(fs::exists(m_dir / "failed.lev"));

    const SRun label = Run({"label", "@base.lby", "710", "1984", "700"});
    EXPECT_EQ(0, label.nStatus);
    EXPECT_EQ("710\t1\n1984\t1275\n700\t\n", label.strOut);
    // The years as users type them (corvane/YearText.h), printed as numbers.
    EXPECT_EQ("1984\t1275\n1984\t1275\n", Run({"label", "@base.lby", "１９８４年", "+1984"}).strOut);
}

// corvane date --eras takes a file under any name the system allows, also one that code page 932
// cannot hold; a failure names it as given.
TEST_F(CorvaneToolTest, DateReadsAnEraFileUnderAnyName)
{
    fs::create_directories(m_dir / "résumé/José/年表〜");
    fs::copy_file(m_dir / "eras.lgn", m_dir / "résumé/José/年表〜/eras.lgn");
    const SRun run = Run({"date", "--eras", "@résumé/José/年表〜/eras.lgn", "和銅3年"});
    EXPECT_EQ(0, run.nStatus) << run.strErr;
    EXPECT_EQ("0710\t-\t和銅3年\n", run.strOut);

    Write("résumé/José/年表〜/broken.lgn", Cp932("[元号], 1\r\n元号\r\n\r\n\"和銅\", 708\r\n"));
    const SRun broken = Run({"date", "--eras", "@résumé/José/年表〜/broken.lgn", "和銅3年"});
    EXPECT_EQ(1, broken.nStatus);
    EXPECT_EQ("", broken.strOut);
    EXPECT_EQ("corvane: ファイル " + Path("résumé/José/年表〜/broken.lgn") + " の読込みに失敗しました (4行目)\n",
              broken.strErr);
}

TEST_F(CorvaneToolTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"info"}, {"merge", "@events.lev", "-o", "@x.lev"}, {"merge", "@events.lev", "@more.lev"},
             {"export", "@events.lev", "--format", "xml"}, {"label", "@base.lby", "12x"},
             {"label", "@base.lby", "2147483648"}, {"list", "@events.lev", "--priority", "low"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(2, Run(args).nStatus);
    }
    const SRun help = Run({"--help"});
    EXPECT_EQ(0, help.nStatus);
    EXPECT_NE(std::string::npos, help.strOut.find("JSON layout"));
}

TEST_F(CorvaneToolTest, ExportWritesEveryField)
{
    const SRun json = Run({"export", "@events.lev"});
    ASSERT_EQ(0, json.nStatus);
    EXPECT_EQ(R"({
  "kind": "event",
  "version": 5,
  "name": "寺の歩み",
  "explanation": "寺の主な出来事\r\n年は西暦",
  "today": false,
  "records": [
    {"year": 710, "month": -1, "day": -1, "leap_month": false, "priority": 0, "text": "寺の創建", "note": ""},
    {"year": 720, "month": 3, "day": -1, "leap_month": true, "priority": 1, "text": "大火", "note": "本堂が焼失"},
    {"year": 721, "month": 4, "day": 10, "leap_month": false, "priority": 2, "text": "<a href=\"fire.htm\">再建</a>の開始", "note": "出典:\"寺の日記\"\r\n第二巻"}
  ]
}
)",
              json.strOut);
    EXPECT_EQ("kind,version,name,base_year,end_year,kazoe,display_minus,minus1,end_year_plus,end_year_kaiki,"
              "begin_year_quest,end_year_quest,supplement\r\n"
              "base-year,5,創建から,710,2147483647,1,0,0,0,0,0,0,\r\n",
              Run({"export", "@base.lby", "--format", "csv"}).strOut);
}

// An export replaces its output as the library's saves do: a link stays a link, and a failed
// export leaves nothing behind.
TEST_F(CorvaneToolTest, ExportKeepsALinkToItsOutput)
{
    EXPECT_EQ(1, Run({"export", "@base.lby", "-o", "@missing/out.json"}).nStatus);
    EXPECT_FALSE(fs::exists(m_dir / "missing"));
    Write("target.json", "old");
    std::error_code error;
    fs::create_symlink("target.json", m_dir / "link.json", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_EQ(0, Run({"export", "@base.lby", "-o", "@link.json"}).nStatus);
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.json"));
    EXPECT_EQ(Run({"export", "@base.lby"}).strOut, Read("target.json"));
}

TEST_F(CorvaneToolTest, RoundTripsOfWrittenFiles)
{
    for (const char* pszName : {"events.lev", "eras.lgn", "periods.ler", "base.lby"})
        ExpectRoundTrip(pszName);
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    ASSERT_NE(nullptr, pszSource);
    // The shipped era and period files and the sample chronology's event and base-year tables.
    // Folder names in UTF-8 whatever the narrow code page (Windows).
    for (const char8_t* pszFolder : {u8"ﾗｲﾌﾞﾗﾘ", u8"年表"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(pszSource) / "data" / pszFolder)) {
            if (entry.path().extension() == ".nenpyo")
                continue;
            const std::u8string strName = entry.path().filename().u8string();
            SCOPED_TRACE(std::string(strName.begin(), strName.end()));
            fs::copy_file(entry.path(), m_dir / "shipped", fs::copy_options::overwrite_existing);
            ExpectRoundTrip("shipped");
        }
    }
}

// Files written by hand in older versions come back in the current version, holding the same
// table: the export of the original and of the re-imported file differ only in the version.
TEST_F(CorvaneToolTest, OlderVersionsReadBackTheSame)
{
    const std::string files[][2] = {
        {"v0.lev", Cp932("[出来事]\r\n名\r\n710, \"創建\", \"注\"\r\n")},
        {"v2.lev", Cp932("[出来事], 2\n名\n720, 3, -1, \"大火\", \"\", 1\n")},
        {"v4.lev", Cp932("[出来事], 4\r\n名\r\n説明\\r\\n二行\r\n1\r\n721, 4, 10, \"再建\", \"a\\r\\nb\", 2\r\n")},
        {"v0.lgn", Cp932("[元号]\r\n名\r\n\"昭和\", 1926, 1989, \"\"\r\n")},
        {"v3.lby", Cp932("[基点年], 3\r\n名\r\n1900\r\n1950\r\n1\r\n1\r\n0\r\n1\r\n補足")},
    };
    for (const auto& [strName, bytes] : files) {
        SCOPED_TRACE(strName);
        Write(strName, bytes);
        const SRun original = Run({"export", "@" + strName});
        ASSERT_EQ(0, original.nStatus) << original.strErr;
        Write("export.json", original.strOut);
        ASSERT_EQ(0, Run({"import", "@export.json", "-o", "@back"}).nStatus);
        const SRun back = Run({"export", "@back"});
        const auto withoutVersion = [](std::string str) { return str.erase(str.find("\"version\""), 15); };
        EXPECT_EQ(withoutVersion(original.strOut), withoutVersion(back.strOut));
        EXPECT_NE(original.strOut, back.strOut);
    }
}

// Era days travel in six keys (columns); exports made before they existed still import.
TEST_F(CorvaneToolTest, EraDaysAndExportsWithoutThem)
{
    const std::string days = Cp932("[元号], 1\r\n元号\r\n\r\n\"延喜\", 901, 923, \"\", 7, 15, 0, 4, 10, 1\r\n"
                                   "\"延長\", 923, 931, \"\", 4, 11, 1, 4, 25, 0\r\n\"昔\", 1000, 1001, \"\"\r\n");
    Write("days.lgn", days);
    ExpectRoundTrip("days.lgn");
    const SRun json = Run({"export", "@days.lgn"});
    EXPECT_NE(std::string::npos, json.strOut.find("\"note\": \"\", \"begin_month\": 4, \"begin_day\": 11, "
                                                  "\"begin_leap_month\": true, \"end_month\": 4, \"end_day\": 25, "
                                                  "\"end_leap_month\": false}"))
        << json.strOut;

    const std::string old = Read("eras.lgn");
    Write("old.json", "{\"kind\": \"era\", \"version\": 1, \"name\": \"元号\", \"explanation\": \"\", \"records\": ["
                      "{\"era\": \"和銅\", \"begin_year\": 708, \"end_year\": 715, \"note\": \"\"}, "
                      "{\"era\": \"霊亀\", \"begin_year\": 715, \"end_year\": 717, \"note\": \"\"}, "
                      "{\"era\": \"養老\", \"begin_year\": 717, \"end_year\": 724, \"note\": \"\"}]}");
    Write("old.csv", "kind,version,name,explanation,era,begin_year,end_year,note\r\nera,1,元号,,,,,\r\n"
                     ",,,,和銅,708,715,\r\n,,,,霊亀,715,717,\r\n,,,,養老,717,724,\r\n");
    for (const char* pszName : {"old.json", "old.csv"}) {
        SCOPED_TRACE(pszName);
        const SRun run = Run({"import", std::string("@") + pszName, "-o", "@back.lgn"});
        ASSERT_EQ(0, run.nStatus) << run.strErr;
        EXPECT_TRUE(old == Read("back.lgn"));
    }

    // A day without its month; a misspelt key where the days are left out.
    std::string strBad = json.strOut;
    strBad.replace(strBad.find("\"begin_month\": 7"), 16, "\"begin_month\": 0");
    Write("bad.json", strBad);
    std::string strTypo = Read("old.json");
    Write("typo.json", strTypo.insert(strTypo.find("\"note\""), "\"begin_mnth\": 1, "));
    for (const auto& [pszName, pszMessage] : {std::pair{"@bad.json", "record 1, field \"begin_day\": given without \"begin_month\""},
                                              std::pair{"@typo.json", "record 1: unknown field \"begin_mnth\""}}) {
        const SRun bad = Run({"import", pszName, "-o", "@back.lgn"});
        EXPECT_EQ(1, bad.nStatus);
        EXPECT_NE(std::string::npos, bad.strErr.find(pszMessage)) << bad.strErr;
    }
}

// Texts the library can hold but UTF-8 cannot say as they are: bytes code page 932 does not
// define, a lone lead byte, a character code page 932 encodes twice (0xED40 is also 0xFA5C), the
// hexadecimal marker itself; and texts that test the quoting of both formats.
TEST_F(CorvaneToolTest, RoundTripsOfRandomTablesWithHostileTexts)
{
    const std::vector<std::string> pieces = {
        "\x81", "\xFF", "\xA0", "\xED\x40", "\x87\x40", "#cp932:41", "\"", "\"\"", ",", "\\r\\n", "\t", " ",
        "<a href=\"x\">", "\xEF\xBB\xBF", "{", "\x82\xA0", "\xB1", "a", "\x5C"};
    std::mt19937 random(20261207);
    const auto text = [&](bool bOneLine) {
        std::string str;
        for (int n = static_cast<int>(random() % 6); n > 0; --n)
            str += pieces[random() % pieces.size()];
        if (!bOneLine && random() % 4 == 0)
            str += "\r\n" + pieces[random() % pieces.size()];
        // The readers trim white space at the ends of quoted fields: keep the ends solid.
        return "x" + str + "x";
    };
    for (int nTable = 0; nTable < 20; ++nTable) {
        SCOPED_TRACE(nTable);
        std::string events = Cp932("[出来事], 5\r\n") + text(true) + "\r\n" + text(true) + "\r\n" + std::to_string(nTable % 2) + "\r\n";
        for (int i = 0; i < 30; ++i) {
            std::string strEvent = text(true);
            std::string strNote = text(true);
            for (std::string* pStr : {&strEvent, &strNote}) {
                for (std::size_t n = 0; (n = pStr->find('"', n)) != std::string::npos; n += 2)
                    pStr->insert(n, 1, '"');
            }
            events += std::to_string(static_cast<std::int32_t>(random())) + ", " + std::to_string(int(random() % 14) - 1) +
                      ", " + std::to_string(int(random() % 33) - 1) + ", \"" + strEvent + "\", \"" + strNote + "\", " +
                      std::to_string(random() % 3) + ", " + std::to_string(random() % 2) + "\r\n";
        }
        Write("random.lev", events);
        // The file to reproduce is what the library writes of the table it reads from the file.
        // (That is not always the file itself: a lone lead byte before a quote does not survive
        // the library's own rewrite.)
        CYearEvent table;
        CString strName;
        ASSERT_TRUE(Utf8ToCp932(Path("random.lev"), strName));
        ASSERT_TRUE(table.Load(strName, false).Ok());
        ASSERT_TRUE(table.Save(Path("rewritten.lev").c_str()).Ok());
        const std::string expected = Read("rewritten.lev");
        ExpectRoundTrip("random.lev", &expected);
    }
}

TEST_F(CorvaneToolTest, FailedImportsNameTheFieldAndWriteNothing)
{
    ASSERT_EQ(0, Run({"export", "@events.lev", "-o", "@events.json"}).nStatus);
    const std::string json = Read("events.json");
    const auto replaced = [&](const std::string& strFrom, const std::string& strTo) {
        std::string str = json;
        const std::size_t n = str.find(strFrom);
        EXPECT_NE(std::string::npos, n) << strFrom;
        return str.replace(n, strFrom.size(), strTo);
    };
    struct SCase {
        std::string strName;
        std::string content;
        std::string strMessage;
    } const cases[] = {
        {"nocp932.json", replaced("大火", "大火☃"), "record 2, field \"text\": a character with no code page 932 form"},
        {"range.json", replaced("\"month\": 3", "\"month\": 40000"), "record 2, field \"month\": 40000 is out of range"},
        {"huge.json", replaced("\"year\": 721", "\"year\": 18446744073709551615"), "record 3, field \"year\": out of range"},
        {"missing.json", replaced("\"priority\": 1, ", ""), "record 2, field \"priority\": missing"},
        {"type.json", replaced("\"leap_month\": true", "\"leap_month\": 1"), "record 2, field \"leap_month\": not true or false"},
        {"kind.json", replaced("\"event\"", "\"chronicle\""), "field \"kind\": not one of era, period, event, base-year"},
        {"unknown.json", replaced("\"today\"", "\"tomorrow\": 1, \"today\""), "unknown field \"tomorrow\""},
        {"hex.json", replaced("寺の創建", "#cp932:8"), "record 1, field \"text\": an odd number of hexadecimal digits"},
        {"broken.json", json.substr(0, json.size() / 2), "not a JSON document"},
        {"quote.csv", "kind,version\r\nevent,\"5\"x\r\n", "line 2: text after the closing quote"},
        {"open.csv", "kind\r\n\"event\r\n", "line 2: a quoted field is not closed"},
        {"columns.csv", "kind,version\r\nevent,5\r\n", "line 1: not the columns of a table of kind event"},
        {"empty.csv", "", "an empty file"},
    };
    Write("target.lev", "previous");
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strName);
        Write(c.strName, c.content);
        const SRun run = Run({"import", "@" + c.strName, "-o", "@target.lev"});
        EXPECT_EQ(1, run.nStatus);
        EXPECT_NE(std::string::npos, run.strErr.find(c.strMessage)) << run.strErr;
        EXPECT_EQ("previous", Read("target.lev"));
    }
    // The default output is the input's name with the kind's extension.
    ASSERT_EQ(0, Run({"export", "@events.lev", "--format", "csv", "-o", "@copy.csv"}).nStatus);
    ASSERT_EQ(0, Run({"import", "@copy.csv"}).nStatus);
    EXPECT_TRUE(Read("copy.lev") == Read("events.lev"));
    EXPECT_EQ(1, Run({"import", "@nothing.json"}).nStatus);
}

} // namespace

namespace {

std::string SampleBytes()
{
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    std::ifstream in(fs::path(std::string(pszSource ? pszSource : ".") + "/data/年表/日本史.lev"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The offsets of the record lines' bytes outside quoted fields (numbers and separators), where a
// lost comma or a digit turned into a letter changes what the reader reads.
std::vector<std::size_t> RecordBytesOutsideQuotes(const std::string& bytes, std::size_t nFirstRecord)
{
    std::vector<std::size_t> offsets;
    bool bQuoted = false;
    for (std::size_t i = nFirstRecord; i < bytes.size(); ++i) {
        if (bytes[i] == '"')
            bQuoted = !bQuoted;
        else if (!bQuoted && bytes[i] != '\r' && bytes[i] != '\n')
            offsets.push_back(i);
    }
    return offsets;
}

} // namespace

TEST_F(CorvaneToolTest, CheckReportsEveryRandomDamageOfTheSample)
{
#ifdef _WIN32
    GTEST_SKIP() << "the source tree's data files are found through TAMBER_SOURCE_DIR on Linux only";
#endif
    const std::string sample = SampleBytes();
    ASSERT_GT(sample.size(), 10000u);
    Write("sample.lev", sample);
    const SRun clean = Run({"check", "--strict", "@sample.lev"});
    EXPECT_EQ(0, clean.nStatus);
    EXPECT_EQ("", clean.strOut + clean.strErr);

    std::size_t nFirstRecord = 0;
    for (int n = 0; n < 4; ++n)
        nFirstRecord = sample.find('\n', nFirstRecord) + 1;
    const std::vector<std::size_t> outside = RecordBytesOutsideQuotes(sample, nFirstRecord);
    std::vector<std::size_t> digits, commas, quotes;
    for (const std::size_t i : outside) {
        if (sample[i] >= '0' && sample[i] <= '9')
            digits.push_back(i);
        else if (sample[i] == ',')
            commas.push_back(i);
    }
    for (std::size_t i = nFirstRecord; i < sample.size(); ++i) {
        if (sample[i] == '"')
            quotes.push_back(i);
    }
    std::mt19937 random(27);
    const auto Pick = [&random](const std::vector<std::size_t>& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(random)];
    };
    for (int nTry = 0; nTry < 200; ++nTry) {
        std::string damaged = sample;
        const char* pszDamage = "";
        switch (nTry % 4) {
        case 0: {   // a cut anywhere but right after a line end
            std::size_t n = 0;
            do
                n = std::uniform_int_distribution<std::size_t>(1, sample.size() - 1)(random);
            while (sample[n - 1] == '\n');
            damaged.resize(n);
            pszDamage = "cut";
            break;
        }
        case 1:
            damaged.erase(Pick(quotes), 1);
            pszDamage = "quote removed";
            break;
        case 2:
            damaged[Pick(digits)] = static_cast<char>('a' + nTry % 26);
            pszDamage = "digit to letter";
            break;
        default:
            damaged.erase(Pick(commas), 1);
            pszDamage = "comma removed";
            break;
        }
        Write("damaged.lev", damaged);
        const SRun check = Run({"check", "@damaged.lev"});
        ASSERT_EQ(1, check.nStatus) << pszDamage << " (try " << nTry << ")\n" << check.strOut << check.strErr;
        ASSERT_NE(std::string::npos, check.strOut.find(": error: ")) << pszDamage << " (try " << nTry << ")";
    }
}

TEST_F(CorvaneToolTest, CheckOfShippedFilesIsSilentAndStrictCountsWarnings)
{
#ifdef _WIN32
    GTEST_SKIP() << "the source tree's data files are found through TAMBER_SOURCE_DIR on Linux only";
#endif
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    const std::string strData = std::string(pszSource ? pszSource : ".") + "/data/";
    const SRun shipped = Run({"check", "--strict", strData + "ﾗｲﾌﾞﾗﾘ/元号.lgn", strData + "ﾗｲﾌﾞﾗﾘ/時代.ler",
                              strData + "年表/日本史.lev", strData + "年表/日本史.lby"});
    EXPECT_EQ(0, shipped.nStatus);
    EXPECT_EQ("", shipped.strOut + shipped.strErr);

    // A record without its leap flag: the reader takes 0, as a hand-made file may rely on.
    Write("short.lev", Cp932("[出来事], 5\r\n名\r\n\r\n0\r\n710, -1, -1, \"寺の創建\", \"\", 0\r\n"));
    const SRun warning = Run({"check", "@short.lev"});
    EXPECT_EQ(0, warning.nStatus);
    EXPECT_EQ(Path("short.lev") + ":5: warning: 項目が足りません(閏月は既定の値で読まれます)\n", warning.strOut);
    const SRun strict = Run({"check", "--strict", "@short.lev"});
    EXPECT_EQ(1, strict.nStatus);
    EXPECT_EQ(Path("short.lev") + ":5: error: 項目が足りません(閏月は既定の値で読まれます)\n", strict.strOut);
}

namespace {

// Every command reads and writes in folders whose names code page 932 cannot hold, and under
// names with the characters it would swap for look-alikes; messages name the files as given.
TEST_F(CorvaneToolTest, WorksInFoldersCodePage932CannotName)
{
    const fs::path folder = m_dir / fs::path(u8"résumé") / fs::path(u8"José") / fs::path(u8"年表〜");
    fs::create_directories(folder);
    const auto Name = [&folder](const char8_t* pszName) {
        const std::u8string str = (folder / fs::path(pszName)).u8string();
        return std::string(str.begin(), str.end());
    };
    fs::copy_file(m_dir / "events.lev", folder / fs::path(u8"寺〜.lev"));
    fs::copy_file(m_dir / "eras.lgn", folder / fs::path(u8"元号‖.lgn"));

    EXPECT_EQ(0, Run({"check", Name(u8"寺〜.lev"), Name(u8"元号‖.lgn")}).nStatus);
    const SRun list = Run({"list", Name(u8"寺〜.lev"), "--era", Name(u8"元号‖.lgn")});
    EXPECT_EQ(0, list.nStatus) << list.strErr;
    EXPECT_NE(std::string::npos, list.strOut.find("和銅")) << list.strOut;

    const SRun exported = Run({"export", Name(u8"寺〜.lev"), "-o", Name(u8"書き出し−.json")});
    ASSERT_EQ(0, exported.nStatus) << exported.strErr;
    const SRun imported = Run({"import", Name(u8"書き出し−.json"), "-o", Name(u8"읽기.lev")});
    ASSERT_EQ(0, imported.nStatus) << imported.strErr;
    std::ifstream original(folder / fs::path(u8"寺〜.lev"), std::ios::binary);
    std::ifstream copy(folder / fs::path(u8"읽기.lev"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(original), {}),
              std::string(std::istreambuf_iterator<char>(copy), {}));
    // Nothing went under a look-alike name (寺～.lev, with U+FF5E).
    EXPECT_FALSE(fs::exists(folder / fs::path(u8"寺～.lev")));
    EXPECT_EQ(4, std::distance(fs::directory_iterator(folder), fs::directory_iterator()));

    const SRun missing = Run({"info", Name(u8"無い〜.lev")});
    EXPECT_EQ(1, missing.nStatus);
    EXPECT_NE(std::string::npos, missing.strErr.find(Name(u8"無い〜.lev") + " の読込みに失敗しました"))
        << missing.strErr;
}

} // namespace
