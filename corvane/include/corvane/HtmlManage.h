// CHtmlManage: plain text out of texts with simple HTML markup, and the first link of a text.
//
// Texts are code page 932 bytes; every offset is a byte offset. The delimiters that matter ('<',
// '>', '=', '"') are single-byte characters and are searched character by character, so the second
// byte of a double-byte character is never taken for one. Letter case is folded for the ASCII
// letters only; full-width letters are not markup and stay as they are.
//
// The class holds no state: copies and assignments copy nothing, and any number of instances may
// be used at once.
#pragma once

#include <framework/String.h>

#include <corvane/corvane_export.h>

class CORVANE_EXPORT CHtmlManage {
public:
    CHtmlManage() = default;
    CHtmlManage(const CHtmlManage&) {}
    CHtmlManage& operator=(const CHtmlManage&) { return *this; }

    // Writes into strPlain the text of strHtml without its tags. A tag runs from a '<' up to and
    // including the next '>'; a '<' without a later '>' drops itself and everything after it. A '>'
    // outside a tag is ordinary text, a '<' inside a tag belongs to the tag (no nesting), entities
    // are not decoded and white space is kept. Never fails. strHtml and strPlain may be the same
    // object.
    void RemoveHtml(const CString& strHtml, CString& strPlain) const;

    // Takes apart the first link of strText, <a href="target" ...>label</a> (tag and attribute
    // names in any ASCII case, optional white space around '='; href must be the first attribute
    // and its value double-quoted). True when that link covers nPos, i.e. nStart <= nPos <= nEnd,
    // and could be taken apart; strLink and strLabel are then cut from strText exactly as written
    // (no decoding, no trimming; tags inside the label stay).
    //
    // On false the outputs are written as far as the work got, and no further:
    // - nStart always: the offset of the first "<a", or -1 when there is none;
    // - nEnd once nPos >= nStart: the offset just past the first "</a>" after the "<a", or -1;
    // - strLink once the quoted target was found, even when a later check fails;
    // - strLabel only on success.
    // Only the first link is examined: a position in a later link gives false.
    static bool GetLinkFromString(const CString& strText, int nPos, CString& strLink, CString& strLabel,
                                  int& nStart, int& nEnd);
};
