#include <corvane/HtmlManage.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

namespace {

TEST(HtmlManageTest, RemoveHtmlDropsTagsOnly)
{
    const struct {
        const char* pszHtml;
        const char* pszPlain;
    } cases[] = {
        {"plain text", "plain text"},
        {"<b>x</b>", "x"},
        {"a<br>b", "ab"},
        {"a > b", "a > b"},                  // '>' outside a tag is text
        {"a<b", "a"},                        // an unclosed tag drops the rest
        {"x<a href=\"y\">z</a>w", "xzw"},
        {"<a<b>c>", "c>"},                   // no nesting
        {"<i>", ""},
        {"&amp; \r\n<i>x</i>  ", "&amp; \r\nx  "},
        {"", ""},
    };
    const CHtmlManage html;
    for (const auto& c : cases) {
        CString strPlain("old");
        html.RemoveHtml(c.pszHtml, strPlain);
        EXPECT_EQ(CString(c.pszPlain), strPlain) << c.pszHtml;
    }
}

TEST(HtmlManageTest, RemoveHtmlKeepsJapaneseAndOddBytes)
{
    const CHtmlManage html;
    CString strPlain;
    html.RemoveHtml(CP932("<b>明治</b>（<i>表</i>）"), strPlain);
    EXPECT_EQ(CP932("明治（表）"), strPlain);

    // A text without '<' comes back byte for byte, NUL bytes and a broken last character included.
    const CString strOdd("a\0b\x95", 4);
    html.RemoveHtml(strOdd, strPlain);
    EXPECT_EQ(strOdd, strPlain);

    // Input and output may be one object.
    CString strSame("<b>x</b>y");
    html.RemoveHtml(strSame, strSame);
    EXPECT_EQ(CString("xy"), strSame);
}

// Outputs that a call must not write keep these values.
const char* const kOld = "old";
constexpr int kUntouched = 99;

struct SLinkCase {
    const char* pszText;
    int nPos;
    bool bResult;
    const char* pszLink;   // kOld: not written
    const char* pszLabel;  // kOld: not written
    int nStart;
    int nEnd;              // kUntouched: not written
};

void CheckLink(const CString& strText, const SLinkCase& c)
{
    CString strLink(kOld), strLabel(kOld);
    int nStart = kUntouched, nEnd = kUntouched;
    EXPECT_EQ(c.bResult, CHtmlManage::GetLinkFromString(strText, c.nPos, strLink, strLabel, nStart, nEnd))
        << c.pszText << " @" << c.nPos;
    EXPECT_EQ(CString(c.pszLink), strLink) << c.pszText << " @" << c.nPos;
    EXPECT_EQ(CString(c.pszLabel), strLabel) << c.pszText << " @" << c.nPos;
    EXPECT_EQ(c.nStart, nStart) << c.pszText << " @" << c.nPos;
    EXPECT_EQ(c.nEnd, nEnd) << c.pszText << " @" << c.nPos;
}

TEST(HtmlManageTest, GetLinkFromStringTakesTheFirstLinkApart)
{
    const SLinkCase cases[] = {
        {"<a href=\"u\">label</a>", 0, true, "u", "label", 0, 21},
        {"<a href=\"u\">label</a>", 21, true, "u", "label", 0, 21},   // just past "</a>" still counts
        {"<a href=\"u\">label</a>", 22, false, kOld, kOld, 0, 21},
        {"x <A HREF = \"U.htm\">Go</A>", 5, true, "U.htm", "Go", 2, 26},
        {"x <A HREF = \"U.htm\">Go</A>", 1, false, kOld, kOld, 2, kUntouched},
        {"<a\thref\r\n=\n\" t \" class=\"c\"><b>L</b></a>", 3, true, " t ", "<b>L</b>", 0, 39},
        {"<a href=\"\"></a>", 0, true, "", "", 0, 15},
        {"no link", 0, false, kOld, kOld, -1, kUntouched},
        {"<a href=\"u\">x</a>", -1, false, kOld, kOld, 0, kUntouched},
        // The first "</a>" ends the link, so a position in a second link is outside it.
        {"<a href=\"1\">a</a> <a href=\"2\">b</a>", 20, false, kOld, kOld, 0, 17},
        // A stray closing tag before the link does not end it.
        {"</a><a href=\"u\">x</a>", 10, true, "u", "x", 4, 21},
    };
    for (const auto& c : cases)
        CheckLink(c.pszText, c);
}

TEST(HtmlManageTest, GetLinkFromStringWritesOutputsOnlyAsFarAsItGot)
{
    const SLinkCase cases[] = {
        {"<a href=\"u\">x", 0, false, kOld, kOld, 0, -1},                  // no closing tag
        {"<a target=\"t\" href=\"u\">x</a>", 0, false, kOld, kOld, 0, 28}, // href not first
        {"<area href=\"u\">x</a>", 0, false, kOld, kOld, 0, 20},
        {"<a href=u>x</a>", 0, false, kOld, kOld, 0, 15},                  // unquoted
        {"<a href='u'>x</a>", 0, false, kOld, kOld, 0, 17},                // single-quoted
        {"<a href \"u\">x</a>", 0, false, kOld, kOld, 0, 17},              // no '='
        {"<a href=\"u</a>", 0, false, kOld, kOld, 0, 14},                  // no closing quote
        {"<a href", 0, false, kOld, kOld, 0, -1},
        // The target is written once its quotes were found, even though the tag never closes
        // before the "</a>" that ends the link.
        {"<a href=\"u\"</a>", 0, false, "u", kOld, 0, 15},
    };
    for (const auto& c : cases)
        CheckLink(c.pszText, c);
}

TEST(HtmlManageTest, GetLinkFromStringCutsJapaneseTextAsWritten)
{
    // ア's second byte has the value of 'A', ソ's and 表's that of '\'; none of them may change.
    const CString strText = CP932("説明 <A Href=\"表ソ.htm\">アの表</a>");
    CString strLink, strLabel;
    int nStart = 0, nEnd = 0;
    EXPECT_TRUE(CHtmlManage::GetLinkFromString(strText, strText.GetLength(), strLink, strLabel, nStart, nEnd));
    EXPECT_EQ(CP932("表ソ.htm"), strLink);
    EXPECT_EQ(CP932("アの表"), strLabel);
    EXPECT_EQ(5, nStart);
    EXPECT_EQ(strText.GetLength(), nEnd);

    // Full-width letters are not markup.
    EXPECT_FALSE(CHtmlManage::GetLinkFromString(CP932("<ａ href=\"u\">x</a>"), 0, strLink, strLabel, nStart, nEnd));
    EXPECT_EQ(-1, nStart);
}

} // namespace
