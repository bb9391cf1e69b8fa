#include <corvane/HtmlManage.h>

void CHtmlManage::RemoveHtml(const CString& strHtml, CString& strPlain) const
{
    int nTag = strHtml.Find('<');
    if (nTag < 0) {
        strPlain = strHtml;
        return;
    }
    // Built apart from strPlain, which may be the very object being read.
    CString strKept;
    int nKept = 0;
    for (;;) {
        strKept += strHtml.Mid(nKept, nTag - nKept);
        const int nClose = strHtml.Find('>', nTag);
        if (nClose < 0)
            break;
        nKept = nClose + 1;
        nTag = strHtml.Find('<', nKept);
        if (nTag < 0) {
            strKept += strHtml.Mid(nKept);
            break;
        }
    }
    strPlain = strKept;
}

bool CHtmlManage::GetLinkFromString(const CString& strText, int nPos, CString& strLink, CString& strLabel,
                                    int& nStart, int& nEnd)
{
    // Found in a lower-case copy, cut from the text itself: MakeLower keeps every byte offset.
    CString strLower(strText);
    strLower.MakeLower();

    nStart = strLower.Find("<a");
    if (nStart < 0 || nPos < nStart)
        return false;
    // The closing tag is looked for after the opening one: a stray "</a>" in front of the link
    // would otherwise end the link before it begins.
    nEnd = strLower.Find("</a>", nStart + 2);
    if (nEnd < 0)
        return false;
    nEnd += 4;
    if (nEnd < nPos)
        return false;

    CString strRest = strText.Mid(nStart + 2);
    strRest.TrimLeft();
    CString strName = strRest.Left(4);
    if (strName.MakeLower() != "href")
        return false;
    strRest = strRest.Mid(4);
    strRest.TrimLeft();
    if (strRest.IsEmpty() || strRest[0] != '=')
        return false;
    strRest = strRest.Mid(1);
    strRest.TrimLeft();
    if (strRest.IsEmpty() || strRest[0] != '"')
        return false;
    const int nQuote = strRest.Find('"', 1);
    if (nQuote < 0)
        return false;
    strLink = strRest.Mid(1, nQuote - 1);

    strRest = strRest.Mid(nQuote + 1);
    const int nTagEnd = strRest.Find('>');
    if (nTagEnd < 0)
        return false;
    strRest = strRest.Mid(nTagEnd + 1);
    CString strRestLower(strRest);
    const int nClose = strRestLower.MakeLower().Find("</a>");
    if (nClose < 0)
        return false;
    strLabel = strRest.Left(nClose);
    return true;
}
