// The strict check: clean on what the writer writes, an error at the right line for every cut that
// is not at a line end, and the reason for each kind of damage.
#include <corvane/TableCheck.h>

#include "testing/TempDir.h"

#include <framework/Cp932.h>
#include <framework/StdioFile.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string SourceFile(const char* pszName)
{
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    return std::string(pszSource ? pszSource : ".") + "/data/" + pszName;
}

std::string ReadBytes(const std::string& strPath)
{
    std::ifstream in(std::filesystem::path(std::u8string(strPath.begin(), strPath.end())), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// UTF-8 lines of a fixture, joined with CR LF as the writer ends them.
std::string Cp932Lines(std::initializer_list<const char*> lines, bool bLastEnded = true)
{
    std::string str;
    for (const char* psz : lines)
        str += std::string(LiteralToCp932(psz).View()) + "\r\n";
    if (!bLastEnded)
        str.resize(str.size() - 2);
    return str;
}

std::string Describe(const std::vector<STableFinding>& v)
{
    std::string str;
    for (const STableFinding& f : v)
        str += std::to_string(f.nLine) + (f.eLevel == ECheckLevel::Error ? " error: " : " warning: ") +
               Cp932ToUtf8Lossy(f.strReason.View()) + "\n";
    return str;
}

// The small fixture of each kind, as the writer writes it (the base-year supplement without a line
// end).
const std::string& EventFixture()
{
    static const std::string s = Cp932Lines({"[出来事], 5", "寺の歩み", "寺の主な出来事\\r\\n年は西暦", "0",
                                             "710, -1, -1, \"寺の創建\", \"\", 0, 0",
                                             "720, 3, -1, \"大火\", \"本堂が焼失\", 1, 0",
                                             "721, 4, 10, \"<a href=\"\"fire.htm\"\">再建</a>の開始\", "
                                             "\"出典:\"\"寺の日記\"\"\\r\\n第二巻\", 2, 0"});
    return s;
}

const std::string& EraFixture()
{
    static const std::string s = Cp932Lines({"[元号], 1", "近代の元号", "明治以降\\r\\n一世一元",
                                             "\"明治\", 1868, 1912, \"\", 9, 8, 0, 7, 30, 0",
                                             "\"大正\", 1912, 1926, \"\"", "\"昭和\", 1926, 1989, \"元号\"\"昭和\"\"\"",
                                             "\"平成\", 1989, 2019, \"改元は1月8日\\r\\n退位により終了\""});
    return s;
}

const std::string& BaseYearFixture()
{
    static const std::string s = Cp932Lines({"[基点年],5", "創業者", "1900", "1950", "1", "0", "0", "1", "1", "1", "0",
                                             "生年は推定\\r\\n没年は確定"},
                                            false);
    return s;
}

// True when the text ends with the first byte of a double-byte character.
bool EndsInsideCharacter(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto ch = static_cast<unsigned char>(s[i]);
        if ((ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC)) {
            if (i + 1 == s.size())
                return true;
            ++i;
        }
    }
    return false;
}

int LineOfOffset(const std::string& bytes, std::size_t nOffset)
{
    int nLine = 1;
    for (std::size_t i = 0; i < nOffset; ++i)
        nLine += bytes[i] == '\n' ? 1 : 0;
    return nLine;
}

// Cuts the file at every offset: a cut right after a line end is a shorter file; every other cut
// (inside a line, between CR and LF, inside a character) is an error on the line it cuts. Offsets
// from nUncheckedFrom on (the base-year supplement) are only checked inside a character.
void CheckEveryCut(const std::string& bytes, std::size_t nUncheckedFrom = std::string::npos)
{
    int nErrors = 0;
    for (std::size_t n = 1; n < bytes.size(); ++n) {
        if (bytes[n - 1] == '\n')
            continue;
        const std::string_view cut(bytes.data(), n);
        const bool bInCharacter = EndsInsideCharacter(cut);
        if (n >= nUncheckedFrom && !bInCharacter)
            continue;
        const std::vector<STableFinding> v = CheckTableText(cut);
        const int nLine = LineOfOffset(bytes, n);
        const STableFinding* pError = FirstCheckError(v);
        ASSERT_NE(pError, nullptr) << "cut at " << n << "\n" << Describe(v);
        ASSERT_EQ(pError->nLine, nLine) << "cut at " << n << "\n" << Describe(v);
        ++nErrors;
    }
    EXPECT_GT(nErrors, 0);
}

} // namespace

TEST(TableCheckTest, ShippedAndSampleFilesHaveNoFinding)
{
    for (const char* pszName : {"ﾗｲﾌﾞﾗﾘ/元号.lgn", "ﾗｲﾌﾞﾗﾘ/時代.ler", "年表/日本史.lev", "年表/日本史.lby"}) {
        std::vector<STableFinding> v{{9, ECheckLevel::Error, "x"}};
        const std::string strPath = SourceFile(pszName);
        ASSERT_TRUE(CheckTableFile(std::filesystem::path(std::u8string(strPath.begin(), strPath.end())), v).Ok());
        EXPECT_TRUE(v.empty()) << pszName << "\n" << Describe(v);
    }
    for (const std::string* pFixture : {&EventFixture(), &EraFixture(), &BaseYearFixture()})
        EXPECT_TRUE(CheckTableText(*pFixture).empty()) << Describe(CheckTableText(*pFixture));
}

TEST(TableCheckTest, EveryCutOfTheSampleNotAtALineEndIsAnErrorAtItsLine)
{
    CheckEveryCut(ReadBytes(SourceFile("年表/日本史.lev")));
}

TEST(TableCheckTest, EveryCutOfEachFixtureNotAtALineEndIsAnErrorAtItsLine)
{
    CheckEveryCut(EventFixture());
    CheckEveryCut(EraFixture());
    CheckEveryCut(ReadBytes(SourceFile("ﾗｲﾌﾞﾗﾘ/時代.ler")));
    // The supplement is the last line and has no line end: a cut in it at a character boundary is
    // a shorter supplement.
    const std::string& base = BaseYearFixture();
    CheckEveryCut(base, base.rfind('\n') + 1);
    CheckEveryCut(ReadBytes(SourceFile("年表/日本史.lby")), ReadBytes(SourceFile("年表/日本史.lby")).rfind('\n') + 1);
}

TEST(TableCheckTest, EachDamageIsReportedAtItsLineWithItsLevel)
{
    const std::string head = Cp932Lines({"[出来事], 5", "名前", "説明", "0"});
    const std::string eraHead = Cp932Lines({"[元号], 1", "名前", "説明"});
    const std::string baseHead = Cp932Lines({"[基点年],5", "名前", "1900", "1950"});
    struct SCase {
        std::string bytes;
        ECheckLevel eLevel;
        int nLine;
        const char* pszReason;   // a part of the reason
    };
    const SCase cases[] = {
        {head + Cp932Lines({"1614, 10, 1, \"大坂冬の陣\", \", 1, 0"}), ECheckLevel::Error, 5, "引用符が閉じていません"},
        {head + Cp932Lines({"abcd, 10, 1, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "年が数ではありません"},
        {head + "16" + std::string(1, '\0') + " 14, 10, 1, \"x\", \"\", 1, 0\r\n", ECheckLevel::Error, 5, "NUL"},
        {head + Cp932Lines({"1614, -1"}), ECheckLevel::Error, 5, "日がありません"},
        {head + Cp932Lines({"1614x, 10, 1, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "数字の後に余分な文字"},
        {head + Cp932Lines({"1614, 13, 1, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "月が範囲外です(13)"},
        {head + Cp932Lines({"1614, 0, 1, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "月が範囲外です(0)"},
        {head + Cp932Lines({"1614, 10, 32, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "日が範囲外です(32)"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 3, 0"}), ECheckLevel::Error, 5, "優先度が範囲外です(3)"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1, 2"}), ECheckLevel::Error, 5, "閏月の印が範囲外です(2)"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1, 0, 9"}), ECheckLevel::Error, 5, "項目が多すぎます"},
        {head + Cp932Lines({"1614, 10, 1, \"x\" \"\", 1, 0"}), ECheckLevel::Error, 5, "閉じた引用符の後"},
        {head + Cp932Lines({"1614, 10, 1, x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "引用符で囲まれていない項目に引用符"},
        {head + Cp932Lines({"1614, 10 1, \"x\", \"\", 1, 0"}), ECheckLevel::Error, 5, "月が数ではありません"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1 0"}), ECheckLevel::Error, 5, "優先度が数ではありません"},
        {head + Cp932Lines({"1614, 10, 1, \"x\""}), ECheckLevel::Warning, 5, "備考は既定の値で読まれます"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1"}), ECheckLevel::Warning, 5, "閏月は既定の値で読まれます"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1, 0"}, false), ECheckLevel::Error, 5, "最後の行に行末がありません"},
        {head + Cp932Lines({"1614, 10, 1, \"x"}, false), ECheckLevel::Error, 5, "引用符の中で終わっています"},
        {head + Cp932Lines({""}), ECheckLevel::Error, 5, "空の行です"},
        {head + Cp932Lines({"1614"}), ECheckLevel::Error, 5, "カンマがありません"},
        {head + "1614, 10, 1, \"\x82\", \"\", 1, 0\r\n", ECheckLevel::Warning, 5, "コードページ932"},
        {head + "1614, 10, 1, \"a\rb\", \"\", 1, 0\r\n", ECheckLevel::Error, 5, "CRがあります"},
        {head + "1614, 10, 1, \"\xFD\", \"\", 1, 0\r\n", ECheckLevel::Warning, 5, "コードページ932"},
        {head + "1614, 10, 1, \"\x80\", \"\", 1, 0\r\n", ECheckLevel::Warning, 5, "コードページ932"},
        {head + "1614, 10, 1, \"\xB1\xDD\x82\xA0\", \"\", 1, 0\r\n", ECheckLevel::Error, 0, nullptr},   // ｱﾝあ
        {Cp932Lines({"[出来事], 5", "名前", "説明", "2"}), ECheckLevel::Error, 4, "今日の日付の指定が範囲外です(2)"},
        {Cp932Lines({"[出来事], 5", "名,前", "説明", "0"}), ECheckLevel::Error, 2, "引用符の外にカンマ"},
        {Cp932Lines({"[出来事], 5", "\"名前", "説明", "0"}), ECheckLevel::Error, 2, "引用符が閉じていません"},
        {Cp932Lines({"[出来事], 5", "名\"\"前", "説明", "0"}), ECheckLevel::Error, 2, "二重の引用符"},
        {Cp932Lines({"[出来事], 5x", "名前", "説明", "0"}), ECheckLevel::Error, 1, "版が数ではありません"},
        {Cp932Lines({"[出来事], 6", "名前", "説明", "0"}), ECheckLevel::Warning, 1, "知らない版"},
        {Cp932Lines({"[出来事], 5", "名前", "説明"}), ECheckLevel::Error, 4, "この行の前で終わっています"},
        {Cp932Lines({"[出来事]", "名前", "1614, \"x\", \"\""}), ECheckLevel::Error, 0, nullptr},
        {Cp932Lines({"[出来事], 1", "名前", "1614, \"x\", \"\", 1"}), ECheckLevel::Error, 0, nullptr},
        {Cp932Lines({"[元号], 5", "名前"}), ECheckLevel::Warning, 1, "知らない版"},
        {Cp932Lines({"[年表], 1", "名前"}), ECheckLevel::Error, 1, "表の種類を示していません"},
        {"", ECheckLevel::Error, 1, "ファイルが空です"},
        {eraHead + Cp932Lines({"\"明治\", \"1868\", 1912, \"\""}), ECheckLevel::Error, 4, "始まりの年が数ではありません"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912,"}), ECheckLevel::Warning, 4, "備考は空として読まれます"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912"}), ECheckLevel::Error, 4, "読込みがここで止まります"},
        {eraHead + Cp932Lines({"\"明治\", 1868"}), ECheckLevel::Error, 4, "項目が足りません"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 9, 8"}), ECheckLevel::Error, 4, "そろっていません"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 9, 8, 0"}), ECheckLevel::Warning, 4, "終わりの日は分からない"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 13, 8, 0, 7, 30, 0"}), ECheckLevel::Error, 4, "月が範囲外です(13)"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 0, 8, 0, 7, 30, 0"}), ECheckLevel::Error, 4, "月が0"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 9, 8, 0, 7, 30, 0, 1"}), ECheckLevel::Error, 4, "項目が多すぎます"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\"", "\"明治\", 1869, 1912, \"\""}), ECheckLevel::Warning, 5,
         "同じ名前の元号"},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, a, b, c, d"}), ECheckLevel::Error, 4, "月が数ではありません"},
        {baseHead + Cp932Lines({"2", "0", "0", "0", "0", "0", "0", "補足"}, false), ECheckLevel::Error, 5, "設定の印が範囲外です(2)"},
        {baseHead + Cp932Lines({"0", "0", "0", "0", "0", "0", "0", "補足", "もう一行"}), ECheckLevel::Error, 13, "補足の後の行"},
        {baseHead + Cp932Lines({"0", "0", "0", "0", "0", "0", "0", "補足", ""}), ECheckLevel::Warning, 13, "空の行"},
        {baseHead + Cp932Lines({"0", "0", "0", "0", "0", "0"}), ECheckLevel::Error, 11, "この行の前で終わっています"},
        {head + Cp932Lines({"1868, 4, 30, \"x\", \"\", 1, 1"}), ECheckLevel::Warning, 5, "29日までです"},
        {head + Cp932Lines({"1868, 5, 1, \"x\", \"\", 1, 1"}), ECheckLevel::Warning, 5, "暦にない日付です"},
        {head + Cp932Lines({"1872, 12, 3, \"x\", \"\", 1, 0"}), ECheckLevel::Warning, 5, "暦にない日付です"},
        {head + Cp932Lines({"1614, -1, 5, \"x\", \"\", 1, 0"}), ECheckLevel::Warning, 5, "暦にない日付です"},
        {head + Cp932Lines({"1614, 10, 1, \"x\", \"\", 1, 0"}) + Cp932Lines({"1868, 4, 29, \"x\", \"\", 1, 1"}),
         ECheckLevel::Error, 0, nullptr},
        {eraHead + Cp932Lines({"\"明治\", 1868, 1912, \"\", 9, 8, 0, 2, 30, 0"}), ECheckLevel::Warning, 4, "暦にない日付です"},
        {Cp932Lines({"[基点年],5", "名前", "19a0"}), ECheckLevel::Error, 3, "基点年が数ではありません"},
        {Cp932Lines({"[基点年],5", "名前", "99999999999"}), ECheckLevel::Error, 3, "32ビットの範囲"},
    };
    for (const SCase& c : cases) {
        const std::vector<STableFinding> v = CheckTableText(c.bytes);
        if (!c.pszReason) {   // an older version's layout, as it was written
            EXPECT_TRUE(v.empty()) << c.bytes << "\n" << Describe(v);
            continue;
        }
        ASSERT_FALSE(v.empty()) << c.bytes;
        EXPECT_EQ(v[0].nLine, c.nLine) << c.bytes << "\n" << Describe(v);
        EXPECT_EQ(v[0].eLevel, c.eLevel) << c.bytes << "\n" << Describe(v);
        EXPECT_NE(Cp932ToUtf8Lossy(v[0].strReason.View()).find(c.pszReason), std::string::npos)
            << c.bytes << "\n" << Describe(v);
    }
}

TEST(TableCheckTest, ReportsEveryDamagedLineAndTheExpectedKind)
{
    const std::string bytes = Cp932Lines({"[出来事], 5", "名前", "説明", "0", "1, 1, 1, \"a\", \"\", 9, 0",
                                          "2, -1, -1, \"b\", \"\", 0, 0", "3, 1, 1, \"c\", \"\", 0, 0, 1"});
    const std::vector<STableFinding> v = CheckTableText(bytes);
    ASSERT_EQ(v.size(), 2u) << Describe(v);
    EXPECT_EQ(v[0].nLine, 5);
    EXPECT_EQ(v[1].nLine, 7);
    EXPECT_TRUE(HasCheckErrors(v));

    const std::vector<STableFinding> other = CheckTableText(bytes, ETableKind::BaseYear);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_NE(Cp932ToUtf8Lossy(other[0].strReason.View()).find("[基点年]の見出しではありません"), std::string::npos);

    const std::vector<STableFinding> warnings{{3, ECheckLevel::Warning, "w"}};
    EXPECT_FALSE(HasCheckErrors(warnings));
    EXPECT_TRUE(HasCheckErrors(warnings, true));
    EXPECT_EQ(FirstCheckError(warnings), nullptr);
    EXPECT_EQ(FirstCheckError(warnings, true), &warnings[0]);
}

TEST(TableCheckTest, FileIsCheckedAsItsBytesAndAMissingFileChangesNothing)
{
    CTempDir dir;
    const std::string bytes = EventFixture().substr(0, EventFixture().size() - 5);
    std::ofstream(dir.Native("cut.lev"), std::ios::binary) << bytes;
    std::vector<STableFinding> v;
    ASSERT_TRUE(CheckTableFile(dir.Native("cut.lev"), v).Ok());
    EXPECT_EQ(v, CheckTableText(bytes));
    EXPECT_FALSE(v.empty());

    const SFileStatus status = CheckTableFile(dir.Native("missing.lev"), v);
    EXPECT_EQ(status.nMessage, IDS_FILE_READ_FAILED);
    EXPECT_EQ(status.nOsError, ENOENT);
    EXPECT_EQ(v, CheckTableText(bytes));
}

TEST(TableCheckTest, ALineBeyondTheLimitEndsTheCheckThere)
{
    std::string bytes = Cp932Lines({"[出来事], 5", "名前", "説明", "0"});
    bytes += std::string(CStdioFile::kMaxLineLength + 1, 'a');
    bytes += "\r\n1, 1, 1, \"x\", \"\", 0, 0\r\n";
    const std::vector<STableFinding> v = CheckTableText(bytes);
    ASSERT_EQ(v.size(), 1u) << Describe(v);
    EXPECT_EQ(v[0].nLine, 5);
    EXPECT_NE(Cp932ToUtf8Lossy(v[0].strReason.View()).find("長すぎます"), std::string::npos);

    // Read from a file, the line comes in many pieces and ends the check all the same; without its
    // line end too.
    CTempDir dir;
    for (const std::size_t nCut : {bytes.size(), bytes.size() - 26}) {
        std::ofstream(dir.Native("long.lev"), std::ios::binary) << bytes.substr(0, nCut);
        std::vector<STableFinding> fromFile;
        ASSERT_TRUE(CheckTableFile(dir.Native("long.lev"), fromFile).Ok());
        EXPECT_EQ(fromFile, v);
    }
}
