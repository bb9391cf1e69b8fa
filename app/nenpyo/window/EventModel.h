// CEventModel: the rows of a chronology for a view: a model over the document's event table (not
// a copy of it). Each row is one event that the display filter shows, in list order; its columns
// are the texts CChronologyText makes. The model keeps only the list indexes of the rows a
// filter shows (none when every event is shown); reading the rows in order costs constant time
// a row, as the table remembers where its last lookup got to.
#pragma once

#include <vector>

#include <QAbstractTableModel>

#include <corvane/EventData.h>
#include <corvane/YearEvent.h>

class CChronology;
class CNenpyoDoc;

class CEventModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The target of the event text's link, as the view's cells give it (empty without a link).
    static constexpr int LinkRole = Qt::UserRole + 1;
    // The linked words of the event text: a QVariantList of QVariantLists {start, length, target},
    // offsets in the shown text; empty without a link.
    static constexpr int LinkRangesRole = Qt::UserRole + 2;

    explicit CEventModel(QObject* pParent = nullptr);

    // Shows pDoc (not owned; null shows nothing) under the current filter.
    void SetDocument(CNenpyoDoc* pDoc);
    CNenpyoDoc* Document() const { return m_pDoc; }
    // Follows pChronology (not owned): shows its document under its filter, laid out again whenever
    // it announces a change.
    void Follow(CChronology* pChronology);
    // PRIORITY_HIGH, PRIORITY_MIDDLE or PRIORITY_ALL.
    void SetFilter(EEventPriority eFilter);
    EEventPriority Filter() const { return m_eFilter; }
    // To be called after the table changed: the rows are laid out again.
    void Reload();

    // The list index of a row's event; -1 for a row that does not exist.
    int ListIndex(int nRow) const;
    // The row that shows the event at a list index; -1 when the filter hides it.
    int RowOf(int nListIndex) const;
    // A copy of the event of a row; false when there is no such row.
    bool EventAt(int nRow, SEventData& data) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole = Qt::DisplayRole) const override;

private:
    void LayOut();

    CNenpyoDoc* m_pDoc = nullptr;
    EEventPriority m_eFilter = PRIORITY_ALL;
    bool m_bAll = true;          // every event is a row: row == list index
    std::vector<int> m_vRows;    // otherwise the list index of each row
};
