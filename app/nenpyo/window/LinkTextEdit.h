// CLinkTextEdit: a one-line edit of an event text with its links, as a word processor edits
// them: the linked words are shown underlined in the link colour, and SetLink makes the selected
// words a link or removes it. The text's link markup (<a href="...">words</a>) is never shown; any
// other markup is shown as written and kept so (the table file has no way to write a '<' that is
// not markup). Typing at the edge of a link adds plain text; typing inside one adds to the link.
// Copy and paste within the edit keep the links.
#pragma once

#include <QTextEdit>

#include <framework/String.h>

class CLinkTextEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CLinkTextEdit(QWidget* pParent = nullptr);

    // Shows strText (code page 932, with its markup) and forgets the edits before.
    void SetText(const CString& strText);
    // The text with its markup, code page 932. Untouched since SetText (or undone back to it): the
    // bytes SetText was given, exactly. Otherwise the shown characters as they are, blanks at both
    // ends removed, with each link's tags around its words: a link read from the text keeps the
    // tags it was written with, a new one gets <a href="target"> and </a>. False, strText
    // unchanged, with the message of ToCp932 naming strField, when a character or a target has no
    // code page 932 form.
    bool Text(CString& strText, const QString& strField, QString& strMessage) const;

    // The target of the link at the start of the selection (with none, at the cursor); empty
    // when there is none there.
    QString LinkAtCursor() const;
    // Makes the selected words a link to strTarget, or with an empty strTarget plain words; with
    // no selection, the whole link at the cursor. A '"', '<' or '>' in the target is written as
    // %22, %3C, %3E. False, nothing changed, when there are no such words.
    bool SetLink(const QString& strTarget);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void inputMethodEvent(QInputMethodEvent* pEvent) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* pSource) const override;
    void insertFromMimeData(const QMimeData* pSource) override;

private:
    struct SFragment {
        int nPosition;
        int nLength;
        int nLink;   // 0: plain
    };
    std::vector<SFragment> Fragments() const;
    int LinkIdAt(int nPosition) const;
    // The first and last-plus-one position of the link at nPosition (the character after it, else
    // the one before); false when there is none.
    bool LinkRange(int nPosition, int& nStart, int& nEnd) const;
    QTextCharFormat LinkFormat(const QString& strTarget, const QByteArray& openTag, const QByteArray& closeTag);
    void PlainAtLinkEdges();

    CString m_strOriginal;
    int m_nLastLink = 0;
};
