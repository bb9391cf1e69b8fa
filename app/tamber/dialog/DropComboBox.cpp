#include "DropComboBox.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

CDropComboBox::CDropComboBox(QWidget* pParent) : QComboBox(pParent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_bTyped = true;
        Q_EMIT EditChange();
    });
    connect(this, &QComboBox::activated, this, [this] { m_bTyped = false; });
    lineEdit()->installEventFilter(this);
}

int CDropComboBox::GetCurSel() const
{
    return m_bTyped ? -1 : currentIndex();
}

void CDropComboBox::SetCurSel(int nIndex)
{
    if (nIndex < 0 || nIndex >= count()) {
        m_bTyped = true;
        return;
    }
    setCurrentIndex(nIndex);
    // The same index again does not rewrite the text; make sure the item's text shows.
    setEditText(itemText(nIndex));
    m_bTyped = false;
}

int CDropComboBox::SelectString(const QString& strPrefix)
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(strPrefix)) {
            SetCurSel(i);
            return i;
        }
    }
    return -1;
}

void CDropComboBox::SetEditText(const QString& strText)
{
    setEditText(strText);
    m_bTyped = true;
}

void CDropComboBox::SetFillScreen(int nMinRows)
{
    m_nFillScreenRows = nMinRows;
}

void CDropComboBox::showPopup()
{
    m_bDropped = true;
    if (m_nFillScreenRows > 0 && count() > 0) {
        // Qt keeps the list on the screen: asking for a screenful is enough.
        const int nRowHeight = std::max(1, view()->sizeHintForRow(0));
        setMaxVisibleItems(std::max(m_nFillScreenRows, screen()->availableGeometry().height() / nRowHeight));
    }
    QComboBox::showPopup();
    if (m_nFillScreenRows > 0)
        view()->scrollTo(view()->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void CDropComboBox::hidePopup()
{
    const bool bWasDropped = m_bDropped;
    m_bDropped = false;
    QComboBox::hidePopup();
    // The list closes before the item chosen in it is applied; report the closing afterwards, so
    // that the receiver sees the new selection.
    if (bWasDropped)
        QMetaObject::invokeMethod(this, &CDropComboBox::CloseUp, Qt::QueuedConnection);
}

void CDropComboBox::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (!view()->isVisible()) {
            pEvent->ignore();   // to the dialog
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(pEvent);
}

bool CDropComboBox::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // Enter in the edit field would make the combo box select the item of the typed text; the
    // key goes to the combo box instead, which passes it on to the dialog.
    if (pWatched == lineEdit() && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter) {
            QCoreApplication::sendEvent(this, pEvent);
            return true;
        }
    }
    return QComboBox::eventFilter(pWatched, pEvent);
}
