// CDropComboBox: a combo box with an edit field that behaves as the dialog's drop-down combo boxes.
//
// - Its selection is "none" (-1) as soon as the user types into the edit field, although the text
//   stays; choosing an item from the list, or SetCurSel, selects again.
// - It reports the closing of its drop-down list (CloseUp) every time the list closes, with or
//   without a choice, after the choice has been applied.
// - It reports text typed by the user (EditChange), not text set by the program.
// - Typed text is never completed, inserted as an item, or matched to an item by Enter; Enter and
//   Escape go to the dialog (its default button, its cancel command) while the list is closed.
#pragma once

#include <QComboBox>

class CDropComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDropComboBox(QWidget* pParent = nullptr);

    // The selected item, or -1 when none is (no items, or text typed since the last selection).
    int GetCurSel() const;
    // Selects item nIndex and shows its text. An index outside the list (-1 among them) leaves
    // no item selected and the edit field's text as it is.
    void SetCurSel(int nIndex);
    // Selects the first item whose text begins with strPrefix (an empty prefix matches the first
    // item) and returns its index; with no such item returns -1 and changes nothing.
    int SelectString(const QString& strPrefix);
    // Puts the text into the edit field; no item is selected afterwards.
    void SetEditText(const QString& strText);
    // From now on the drop-down list shows as many items as fit on the screen, at least nMinRows,
    // and opens with the selected item (the last one selected, after typing) in its middle.
    void SetFillScreen(int nMinRows);

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void CloseUp();
    void EditChange();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    bool m_bTyped = false;
    bool m_bDropped = false;
    int m_nFillScreenRows = 0;   // 0: the list shows maxVisibleItems as set
};
