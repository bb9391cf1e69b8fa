#include <shared/chronology/LinkedText.h>

#include <string_view>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

char Lower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool EqualsLower(std::string_view sv, std::string_view svLower)
{
    if (sv.size() != svLower.size())
        return false;
    for (std::size_t i = 0; i < sv.size(); ++i) {
        if (Lower(sv[i]) != svLower[i])
            return false;
    }
    return true;
}

// Whether tag (from '<' to '>') opens a link: "<a", blanks, "href", blanks, "=", blanks, a
// double-quoted target that ends inside the tag. The target goes into svTarget.
bool IsLinkOpen(std::string_view tag, std::string_view& svTarget)
{
    if (tag.size() < 3 || Lower(tag[1]) != 'a')
        return false;
    std::size_t n = 2;
    const auto SkipBlanks = [&] {
        while (n < tag.size() && IsBlank(tag[n]))
            ++n;
    };
    SkipBlanks();
    if (!EqualsLower(tag.substr(n, 4), "href"))
        return false;
    n += 4;
    SkipBlanks();
    if (n >= tag.size() || tag[n] != '=')
        return false;
    ++n;
    SkipBlanks();
    if (n >= tag.size() || tag[n] != '"')
        return false;
    const std::size_t nClose = tag.find('"', n + 1);
    if (nClose == std::string_view::npos)
        return false;
    svTarget = tag.substr(n + 1, nClose - n - 1);
    return true;
}

} // namespace

std::vector<STextPiece> CLinkedText::Pieces(const CString& strText)
{
    const std::string_view sv = strText.View();
    std::vector<STextPiece> vPieces;
    // First the pieces as RemoveHtml cuts them, every tag still ordinary.
    std::size_t nLastClose = std::string_view::npos;   // the index of the last "</a>" piece
    for (std::size_t nPos = 0; nPos < sv.size();) {
        const std::size_t nOpen = sv.find('<', nPos);
        if (nOpen != nPos) {
            const std::size_t nEnd = nOpen == std::string_view::npos ? sv.size() : nOpen;
            vPieces.push_back({STextPiece::Text, static_cast<int>(nPos), static_cast<int>(nEnd - nPos), CString()});
            nPos = nEnd;
            continue;
        }
        const std::size_t nClose = sv.find('>', nOpen);
        if (nClose == std::string_view::npos) {
            vPieces.push_back({STextPiece::Unclosed, static_cast<int>(nOpen), static_cast<int>(sv.size() - nOpen),
                               CString()});
            break;
        }
        const std::string_view tag = sv.substr(nOpen, nClose + 1 - nOpen);
        STextPiece piece{STextPiece::Tag, static_cast<int>(nOpen), static_cast<int>(tag.size()), CString()};
        std::string_view svTarget;
        if (EqualsLower(tag, "</a>")) {
            piece.eKind = STextPiece::LinkClose;
            nLastClose = vPieces.size();
        } else if (IsLinkOpen(tag, svTarget)) {
            piece.eKind = STextPiece::LinkOpen;
            piece.strLink = CString(svTarget);
        }
        vPieces.push_back(std::move(piece));
        nPos = nClose + 1;
    }
    // Then the links: an opening tag with a "</a>" after it, up to the first such.
    std::size_t nOpenAt = std::string_view::npos;
    for (std::size_t i = 0; i < vPieces.size(); ++i) {
        STextPiece& piece = vPieces[i];
        if (nOpenAt == std::string_view::npos) {
            if (piece.eKind == STextPiece::LinkOpen && nLastClose != std::string_view::npos && i < nLastClose)
                nOpenAt = i;
            else if (piece.eKind == STextPiece::LinkOpen || piece.eKind == STextPiece::LinkClose)
                piece.eKind = STextPiece::Tag;
        } else if (piece.eKind == STextPiece::LinkOpen) {
            piece.eKind = STextPiece::Tag;
        } else if (piece.eKind == STextPiece::LinkClose) {
            if (i == nOpenAt + 1) {   // nothing between the tags: no link
                vPieces[nOpenAt].eKind = STextPiece::Tag;
                piece.eKind = STextPiece::Tag;
            }
            nOpenAt = std::string_view::npos;
        }
    }
    for (STextPiece& piece : vPieces) {
        if (piece.eKind == STextPiece::Tag)
            piece.strLink.Empty();
    }
    return vPieces;
}

std::vector<STextRun> CLinkedText::Runs(const CString& strText)
{
    std::vector<STextRun> vRuns;
    if (strText.Find('<') < 0) {
        if (!strText.IsEmpty())
            vRuns.push_back({strText, CString()});
        return vRuns;
    }
    const std::vector<STextPiece> vPieces = Pieces(strText);
    CString strLink;
    bool bNewRun = true;
    for (const STextPiece& piece : vPieces) {
        switch (piece.eKind) {
        case STextPiece::LinkOpen:
            strLink = piece.strLink;
            bNewRun = true;
            break;
        case STextPiece::LinkClose:
            strLink.Empty();
            bNewRun = true;
            break;
        case STextPiece::Text:
            if (bNewRun || vRuns.empty())
                vRuns.push_back({CString(), strLink});
            vRuns.back().strText += strText.Mid(piece.nStart, piece.nLength);
            bNewRun = false;
            break;
        default: break;
        }
    }
    // Plain runs that meet (around the tags of a link with no shown text) join.
    std::vector<STextRun> vJoined;
    for (STextRun& run : vRuns) {
        if (!vJoined.empty() && vJoined.back().strLink.IsEmpty() && run.strLink.IsEmpty())
            vJoined.back().strText += run.strText;
        else
            vJoined.push_back(std::move(run));
    }
    return vJoined;
}

CString CLinkedText::OpenTag(const CString& strTarget)
{
    return CString("<a href=\"") + strTarget + "\">";
}

CString CLinkedText::EscapedTarget(const CString& strTarget)
{
    CString str;
    for (const char ch : strTarget.View()) {
        switch (ch) {
        case '"': str += "%22"; break;
        case '<': str += "%3C"; break;
        case '>': str += "%3E"; break;
        default: str += ch; break;
        }
    }
    return str;
}
