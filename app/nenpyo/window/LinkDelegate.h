// CLinkDelegate: draws the event text of the chronology's table with its linked words alone as
// links (underlined, in the link colour), and tells when such words are clicked. Cells without
// links are drawn as the view draws any cell.
#pragma once

#include <QStyledItemDelegate>

class CLinkDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The target of the linked words at ptPos (in the view's viewport) in the cell; empty if none.
    QString LinkAt(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& ptPos) const;
    // Whether the last press of the mouse on a cell was on linked words.
    bool PressedOnLink() const { return m_bPressedOnLink; }

Q_SIGNALS:
    // A click (press and release) on linked words.
    void linkClicked(const QString& strTarget);

protected:
    bool editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    bool m_bPressedOnLink = false;
    QString m_strPressed;
};
