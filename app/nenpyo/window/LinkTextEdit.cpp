#include "LinkTextEdit.h"

#include <algorithm>
#include <map>

#include <QDataStream>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <shared/chronology/LinkedText.h>
#include <shared/qt/QtText.h>

#include "NenpyoText.h"

namespace {

// The properties of a link's characters besides the anchor: which link they belong to (two links
// with the same target stay two) and the tags it was read with.
constexpr int kLinkId = QTextFormat::UserProperty + 1;
constexpr int kOpenTag = QTextFormat::UserProperty + 2;
constexpr int kCloseTag = QTextFormat::UserProperty + 3;

const QString kMimeType = QStringLiteral("application/x-nenpyo-linked-text");

QByteArray Bytes(const CString& str)
{
    return QByteArray(str.GetString(), str.GetLength());
}

CString FromBytes(const QByteArray& bytes)
{
    return CString(bytes.constData(), static_cast<int>(bytes.size()));
}

// A line break pasted into the one-line text becomes a blank.
QString OneLine(QString str)
{
    str.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (const QChar ch : {QChar('\r'), QChar('\n'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        str.replace(ch, QLatin1Char(' '));
    return str;
}

} // namespace

CLinkTextEdit::CLinkTextEdit(QWidget* pParent) : QTextEdit(pParent)
{
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QTextEdit::cursorPositionChanged, this, &CLinkTextEdit::PlainAtLinkEdges);
}

QSize CLinkTextEdit::sizeHint() const
{
    const int nHeight = fontMetrics().lineSpacing() + 2 * static_cast<int>(document()->documentMargin()) +
                        2 * frameWidth() + 2;
    return QSize(QTextEdit::sizeHint().width(), nHeight);
}

QSize CLinkTextEdit::minimumSizeHint() const
{
    return QSize(fontMetrics().averageCharWidth() * 10, sizeHint().height());
}

QTextCharFormat CLinkTextEdit::LinkFormat(const QString& strTarget, const QByteArray& openTag,
                                          const QByteArray& closeTag)
{
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(strTarget);
    format.setToolTip(strTarget);
    format.setFontUnderline(true);
    format.setForeground(palette().brush(QPalette::Link));
    format.setProperty(kLinkId, ++m_nLastLink);
    if (!openTag.isEmpty())
        format.setProperty(kOpenTag, openTag);
    if (!closeTag.isEmpty())
        format.setProperty(kCloseTag, closeTag);
    return format;
}

void CLinkTextEdit::SetText(const CString& strText)
{
    m_strOriginal = strText;
    const bool bBlocked = blockSignals(true);
    clear();
    const std::vector<STextPiece> vPieces = CLinkedText::Pieces(strText);
    QTextCursor cursor(document());
    QTextCharFormat format;
    for (std::size_t i = 0; i < vPieces.size(); ++i) {
        const STextPiece& piece = vPieces[i];
        const CString strPiece = strText.Mid(piece.nStart, piece.nLength);
        switch (piece.eKind) {
        case STextPiece::LinkOpen: {
            // Its "</a>" is the next one (a link holds no other).
            std::size_t nClose = i + 1;
            while (vPieces[nClose].eKind != STextPiece::LinkClose)
                ++nClose;
            const STextPiece& close = vPieces[nClose];
            format = LinkFormat(ToQString(piece.strLink), Bytes(strPiece),
                                Bytes(strText.Mid(close.nStart, close.nLength)));
            break;
        }
        case STextPiece::LinkClose: format = QTextCharFormat(); break;
        default: cursor.insertText(OneLine(ToQString(strPiece)), format); break;
        }
    }
    document()->clearUndoRedoStacks();
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    setCurrentCharFormat(QTextCharFormat());
    blockSignals(bBlocked);
}

std::vector<CLinkTextEdit::SFragment> CLinkTextEdit::Fragments() const
{
    std::vector<SFragment> vFragments;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                vFragments.push_back({fragment.position(), fragment.length(),
                                      fragment.charFormat().intProperty(kLinkId)});
        }
    }
    return vFragments;
}

int CLinkTextEdit::LinkIdAt(int nPosition) const
{
    for (const SFragment& fragment : Fragments()) {
        if (nPosition >= fragment.nPosition && nPosition < fragment.nPosition + fragment.nLength)
            return fragment.nLink;
    }
    return 0;
}

bool CLinkTextEdit::LinkRange(int nPosition, int& nStart, int& nEnd) const
{
    int nLink = LinkIdAt(nPosition);
    if (nLink == 0 && nPosition > 0)
        nLink = LinkIdAt(--nPosition);
    if (nLink == 0)
        return false;
    const std::vector<SFragment> vFragments = Fragments();
    auto it = std::find_if(vFragments.begin(), vFragments.end(), [&](const SFragment& fragment) {
        return nPosition >= fragment.nPosition && nPosition < fragment.nPosition + fragment.nLength;
    });
    auto itFirst = it;
    while (itFirst != vFragments.begin() && std::prev(itFirst)->nLink == nLink)
        --itFirst;
    auto itLast = it;
    while (std::next(itLast) != vFragments.end() && std::next(itLast)->nLink == nLink)
        ++itLast;
    nStart = itFirst->nPosition;
    nEnd = itLast->nPosition + itLast->nLength;
    return true;
}

QString CLinkTextEdit::LinkAtCursor() const
{
    const QTextCursor cursor = textCursor();
    int nStart = 0;
    int nEnd = 0;
    if (!LinkRange(cursor.selectionStart(), nStart, nEnd))
        return QString();
    QTextCursor at(document());
    at.setPosition(nStart + 1);   // the format of the character before
    return at.charFormat().anchorHref();
}

bool CLinkTextEdit::SetLink(const QString& strTarget)
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        int nStart = 0;
        int nEnd = 0;
        if (!LinkRange(cursor.position(), nStart, nEnd))
            return false;
        cursor.setPosition(nStart);
        cursor.setPosition(nEnd, QTextCursor::KeepAnchor);
    }
    cursor.setCharFormat(strTarget.isEmpty() ? QTextCharFormat() : LinkFormat(strTarget, {}, {}));
    PlainAtLinkEdges();
    return true;
}

void CLinkTextEdit::PlainAtLinkEdges()
{
    // New text joins a link only between two of its characters.
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection() || !currentCharFormat().hasProperty(kLinkId))
        return;
    const int nLink = cursor.position() > 0 ? LinkIdAt(cursor.position() - 1) : 0;
    if (nLink == 0 || LinkIdAt(cursor.position()) != nLink)
        setCurrentCharFormat(QTextCharFormat());
}

bool CLinkTextEdit::Text(CString& strText, const QString& strField, QString& strMessage) const
{
    if (!document()->isModified()) {
        strText = m_strOriginal;
        return true;
    }
    const QString strShown = toPlainText();
    int nFirst = 0;
    int nLast = static_cast<int>(strShown.size());
    while (nFirst < nLast && strShown[nFirst].isSpace())
        ++nFirst;
    while (nLast > nFirst && strShown[nLast - 1].isSpace())
        --nLast;

    CString strOut;
    int nOpen = 0;   // the link whose tags are open
    QTextCharFormat openFormat;
    const auto Close = [&] {
        if (nOpen != 0)
            strOut += openFormat.hasProperty(kCloseTag) ? FromBytes(openFormat.property(kCloseTag).toByteArray())
                                                        : CString("</a>");
        nOpen = 0;
    };
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int nStart = std::max(nFirst, fragment.position());
            const int nEnd = std::min(nLast, fragment.position() + fragment.length());
            if (nStart >= nEnd)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const int nLink = format.intProperty(kLinkId);
            if (nLink != nOpen) {
                Close();
                if (nLink != 0) {
                    CString strTag;
                    if (format.hasProperty(kOpenTag)) {
                        strTag = FromBytes(format.property(kOpenTag).toByteArray());
                    } else {
                        CString strTarget;
                        if (!ToCp932(format.anchorHref(), strTarget, strField, strMessage))
                            return false;
                        strTag = CLinkedText::OpenTag(CLinkedText::EscapedTarget(strTarget));
                    }
                    strOut += strTag;
                    nOpen = nLink;
                    openFormat = format;
                }
            }
            CString strPart;
            if (!ToCp932(strShown.mid(nStart, nEnd - nStart), strPart, strField, strMessage))
                return false;
            strOut += strPart;
        }
    }
    Close();
    strText = strOut;
    return true;
}

void CLinkTextEdit::keyPressEvent(QKeyEvent* pEvent)
{
    // One line: Enter is the dialog's.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        pEvent->ignore();
        return;
    }
    if (!pEvent->text().isEmpty())
        PlainAtLinkEdges();
    QTextEdit::keyPressEvent(pEvent);
}

void CLinkTextEdit::inputMethodEvent(QInputMethodEvent* pEvent)
{
    PlainAtLinkEdges();
    QTextEdit::inputMethodEvent(pEvent);
}

QMimeData* CLinkTextEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto* pData = new QMimeData;
    pData->setText(cursor.selectedText());
    // The pieces with their links, for a paste here.
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    const QString strShown = toPlainText();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int nStart = std::max(cursor.selectionStart(), fragment.position());
            const int nEnd = std::min(cursor.selectionEnd(), fragment.position() + fragment.length());
            if (nStart >= nEnd)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            stream << strShown.mid(nStart, nEnd - nStart) << format.intProperty(kLinkId) << format.anchorHref()
                   << format.property(kOpenTag).toByteArray() << format.property(kCloseTag).toByteArray();
        }
    }
    pData->setData(kMimeType, bytes);
    return pData;
}

bool CLinkTextEdit::canInsertFromMimeData(const QMimeData* pSource) const
{
    return pSource->hasFormat(kMimeType) || pSource->hasText();
}

void CLinkTextEdit::insertFromMimeData(const QMimeData* pSource)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    if (pSource->hasFormat(kMimeType)) {
        QDataStream stream(pSource->data(kMimeType));
        std::map<int, QTextCharFormat> formats;   // a new link for each link pasted
        while (!stream.atEnd()) {
            QString strText;
            int nLink = 0;
            QString strTarget;
            QByteArray openTag;
            QByteArray closeTag;
            stream >> strText >> nLink >> strTarget >> openTag >> closeTag;
            if (stream.status() != QDataStream::Ok)
                break;
            if (nLink != 0 && formats.find(nLink) == formats.end())
                formats[nLink] = LinkFormat(strTarget, openTag, closeTag);
            cursor.insertText(OneLine(strText), nLink != 0 ? formats[nLink] : QTextCharFormat());
        }
    } else {
        cursor.insertText(OneLine(pSource->text()));
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}
