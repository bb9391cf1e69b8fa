// CLinkedText: an event text taken apart into what it shows and where its links are. Event texts
// may hold simple markup; a link is <a href="target" ...>words</a> as CHtmlManage reads one (tag
// and attribute names in any ASCII case, href the first attribute, its value double-quoted). Every
// link of a text counts, not only the first. No toolkit.
//
// Tags are cut as CHtmlManage::RemoveHtml cuts them (from a '<' up to the next '>'; a '<' without
// a later '>' ends the shown text), so the runs of a text always join to its RemoveHtml text. An
// opening tag is a link only when a "</a>" follows it; tags between the two stay in the link's
// words (their text is shown, the tags are not); an opening tag inside a link is an ordinary tag.
// A link without any piece between its tags is kept as two ordinary tags.
//
// Texts are code page 932; offsets are byte offsets. Cost: linear in the text.
#pragma once

#include <vector>

#include <framework/String.h>

// A piece of the text as written.
struct STextPiece {
    enum EKind {
        Text,        // shown text
        Tag,         // markup other than a link's, not shown
        LinkOpen,    // the opening tag of a link; strLink is its target
        LinkClose,   // the "</a>" that ends the link opened before
        Unclosed,    // a '<' without a later '>' and everything after it: not shown
    };
    EKind eKind;
    int nStart;        // in the text
    int nLength;
    CString strLink;   // LinkOpen only: the target as written (no decoding)
};

// A run of shown text: linked (strLink set) or plain.
struct STextRun {
    CString strText;
    CString strLink;   // empty for plain text
};

class CLinkedText {
public:
    // The pieces of strText in order; they cover it exactly, end to end.
    static std::vector<STextPiece> Pieces(const CString& strText);
    // The shown text of strText in runs, in order: no run is empty, two plain runs never follow
    // each other, and the runs joined give RemoveHtml's text. A text without links gives one plain
    // run (none when it shows nothing).
    static std::vector<STextRun> Runs(const CString& strText);
    // The opening tag written for a new link to strTarget: <a href="strTarget">. The target is
    // written as given; it must hold no '"', '<' or '>' (see EscapedTarget).
    static CString OpenTag(const CString& strTarget);
    // strTarget with '"', '<' and '>' written as %22, %3C and %3E, so that it can stand in a link.
    static CString EscapedTarget(const CString& strTarget);
};
