#include <shared/chronology/LinkedText.h>

#include <string>

#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>

namespace {

std::string U8(const CString& str)
{
    std::string strUtf8;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), strUtf8));
    return strUtf8;
}

// The runs written as "text" for plain and "[text|target]" for linked ones.
std::string Written(const std::vector<STextRun>& vRuns)
{
    std::string str;
    for (const STextRun& run : vRuns)
        str += run.strLink.IsEmpty() ? U8(run.strText) : "[" + U8(run.strText) + "|" + U8(run.strLink) + "]";
    return str;
}

TEST(LinkedTextTest, RunsOfTexts)
{
    const struct {
        const char* pszText;
        const char* pszRuns;
    } cases[] = {
        {"", ""},
        {"関ヶ原の戦い", "関ヶ原の戦い"},
        {"<a href=\"https://x/関ヶ原\">関ヶ原の戦い</a>で東軍が勝つ", "[関ヶ原の戦い|https://x/関ヶ原]で東軍が勝つ"},
        {"前<A HREF = \"u\" target=\"_blank\">中</A>後", "前[中|u]後"},
        {"<a href=\"1\">甲</a>と<a href=\"2\">乙</a>", "[甲|1]と[乙|2]"},
        {"<a href=\"u\">甲</a><a href=\"u\">乙</a>", "[甲|u][乙|u]"},             // two links stay two
        {"<a href=\"u\"><b>太</b>字</a>", "[太字|u]"},                           // tags in the words
        {"<a href=\"1\">甲<a href=\"2\">乙</a>丙</a>", "[甲乙|1]丙"},              // no nesting
        {"<a href=\"u\">閉じない", "閉じない"},                                  // no "</a>": no link
        {"甲</a>乙", "甲乙"},
        {"甲<a href=\"u\"></a>乙", "甲乙"},                                      // nothing to show
        {"<area href=\"u\">x</a>", "x"},
        {"<a title=\"t\" href=\"u\">x</a>", "x"},                                // href not first
        {"<a href='u'>x</a>", "x"},
        {"<a href=\"a>b\">x</a>", "b\">x"},                                  // the tag ends at its first '>'
        {"甲 < 乙", "甲 "},                                                      // a stray '<' ends the text
        {"a > b <b>太</b>", "a > b 太"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        const CString strText(Cp932(c.pszText));
        const std::vector<STextRun> vRuns = CLinkedText::Runs(strText);
        EXPECT_EQ(c.pszRuns, Written(vRuns));
        // The runs show what RemoveHtml shows, and no run is empty.
        CString strJoined;
        for (const STextRun& run : vRuns) {
            EXPECT_FALSE(run.strText.IsEmpty());
            strJoined += run.strText;
        }
        CString strPlain;
        CHtmlManage().RemoveHtml(strText, strPlain);
        EXPECT_EQ(U8(strPlain), U8(strJoined));
        // The pieces cover the text end to end.
        int nPos = 0;
        for (const STextPiece& piece : CLinkedText::Pieces(strText)) {
            EXPECT_EQ(nPos, piece.nStart);
            nPos += piece.nLength;
        }
        EXPECT_EQ(strText.GetLength(), nPos);
    }
}

TEST(LinkedTextTest, TargetsAreEscapedForTheTag)
{
    const CString strTarget = CLinkedText::EscapedTarget("https://x/?q=\"<b>\"");
    EXPECT_EQ("https://x/?q=%22%3Cb%3E%22", std::string(strTarget.View()));
    EXPECT_EQ("[y|https://x/?q=%22%3Cb%3E%22]", Written(CLinkedText::Runs(CLinkedText::OpenTag(strTarget) + "y</a>")));
}

} // namespace
