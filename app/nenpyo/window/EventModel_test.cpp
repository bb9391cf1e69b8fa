// The table model over a chronology: every change it hears of is announced to the view (a missed
// reset leaves the view reading rows that moved or went), the rows and list indexes map one to
// one under each filter, and the cells give the texts, the link and its words where they are.
#include <QtTest>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QUndoStack>

#include <framework/Cp932.h>

#include "Chronology.h"
#include "EventModel.h"
#include "EventTestData_test.h"
#include "NenpyoDoc.h"
#include "RowExport.h"

namespace {

std::unique_ptr<CNenpyoDoc> Doc()
{
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New({});
    SEventData noted = Event(1603, "幕府", 1);
    noted.strNote = CP932("一行目\r\n二行目");
    for (const SEventData& event : {Event(1600, "関ヶ原", 0), Event(1600, "低い", 2), noted,
                                    Event(1868, "前<a href=\"https://example.org/m\">明治</a>後", 0), Event(1900, "中", 1)})
        pDoc->Events().SetData(event, true, -1, PRIORITY_ALL);
    return pDoc;
}

// The rows and the list indexes map one to one, and a row shows an event the filter lets through.
void CheckRows(const CEventModel& model, const CNenpyoDoc& doc, EEventPriority eFilter)
{
    int nShown = 0;
    for (int nIndex = 0; nIndex < doc.Events().GetLen(); ++nIndex) {
        SEventData event;
        QVERIFY(doc.Events().GetAt(nIndex, &event, PRIORITY_ALL));
        const int nRow = model.RowOf(nIndex);
        QCOMPARE(nRow >= 0, CYearEvent::IsShown(event, eFilter));
        if (nRow < 0)
            continue;
        ++nShown;
        QCOMPARE(model.ListIndex(nRow), nIndex);
        SEventData shown;
        QVERIFY(model.EventAt(nRow, shown));
        QCOMPARE(shown.strEvent, event.strEvent);
        QCOMPARE(model.data(model.index(nRow, COLUMN_YEAR)).toString(), QString::number(event.lYear));
    }
    QCOMPARE(model.rowCount(), nShown);
    for (const int nRow : {-1, nShown, nShown + 5}) {
        QCOMPARE(model.ListIndex(nRow), -1);
        SEventData none;
        QVERIFY(!model.EventAt(nRow, none));
    }
    QCOMPARE(model.RowOf(-1), -1);
    QCOMPARE(model.RowOf(doc.Events().GetLen()), -1);
}

} // namespace

class CEventModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyChangeIsAnnouncedAndTheRowsFollow()
    {
        CChronology chronology;
        chronology.Replace(Doc());
        CEventModel model;
        model.Follow(&chronology);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        const struct {
            const char* pszName;
            std::function<void()> change;
        } aChanges[] = {
            {"add", [&] { chronology.AddEvent(Event(1700, "足した", 2)); }},
            {"filter high", [&] { chronology.SetFilter(PRIORITY_HIGH); }},
            {"add a hidden one", [&] { chronology.AddEvent(Event(1650, "隠れる", 2)); }},
            {"add a shown one", [&] { chronology.AddEvent(Event(1650, "見える", 0)); }},
            {"edit to hidden", [&] { QVERIFY(chronology.EditEvent(0, Event(1600, "関ヶ原", 2))); }},
            {"filter middle", [&] { chronology.SetFilter(PRIORITY_MIDDLE); }},
            {"delete", [&] { QVERIFY(chronology.DeleteEvent(2)); }},
            {"undo", [&] { chronology.UndoStack()->undo(); }},
            {"redo", [&] { chronology.UndoStack()->redo(); }},
            {"filter all", [&] { chronology.SetFilter(PRIORITY_ALL); }},
            {"move", [&] { QCOMPARE(chronology.MoveEvent(0, false), CChronology::EMove::Moved); }},
            {"replace", [&] { chronology.Replace(Doc()); }},
        };
        for (const auto& test : aChanges) {
            aboutToReset.clear();
            reset.clear();
            test.change();
            QVERIFY2(aboutToReset.size() >= 1 && reset.size() == aboutToReset.size(), test.pszName);
            QCOMPARE(model.Filter(), chronology.Filter());
            CheckRows(model, chronology.Doc(), chronology.Filter());
        }
        // No change, no announcement.
        reset.clear();
        chronology.SetFilter(PRIORITY_ALL);
        QVERIFY(!chronology.EditEvent(0, Event(1600, "関ヶ原", 0)));
        QCOMPARE(reset.size(), 0);
    }

    void cellsGiveTheTextsAndTheLinkedWords()
    {
        CChronology chronology;
        chronology.Replace(Doc());
        CEventModel model;
        model.Follow(&chronology);
        const int nLinked = model.RowOf(3);
        const int nNoted = model.RowOf(2);
        QCOMPARE(model.data(model.index(nLinked, COLUMN_TEXT)).toString(), QStringLiteral("前明治後"));
        QCOMPARE(model.data(model.index(nLinked, COLUMN_TEXT), CEventModel::LinkRole).toString(),
                 QStringLiteral("https://example.org/m"));
        const QVariantList ranges = model.data(model.index(nLinked, COLUMN_TEXT), CEventModel::LinkRangesRole).toList();
        QCOMPARE(ranges.size(), 1);
        const QVariantList range = ranges[0].toList();
        QCOMPARE(QStringLiteral("前明治後").mid(range[0].toInt(), range[1].toInt()), QStringLiteral("明治"));
        QCOMPARE(range[2].toString(), QStringLiteral("https://example.org/m"));
        // Without a link: no target, no words; the link only in the event's own column.
        QCOMPARE(model.data(model.index(nNoted, COLUMN_TEXT), CEventModel::LinkRole).toString(), QString());
        QVERIFY(!model.data(model.index(nNoted, COLUMN_TEXT), CEventModel::LinkRangesRole).isValid());
        QCOMPARE(model.data(model.index(nLinked, COLUMN_NOTE), CEventModel::LinkRole).toString(), QString());
        QVERIFY(!model.data(model.index(nLinked, COLUMN_YEAR), CEventModel::LinkRangesRole).isValid());
        // A note of two lines on one line of the table; its tip keeps the lines.
        QCOMPARE(model.data(model.index(nNoted, COLUMN_NOTE)).toString(), QStringLiteral("一行目 / 二行目"));
        QVERIFY(model.data(model.index(nNoted, COLUMN_NOTE), Qt::ToolTipRole).toString().contains(QLatin1Char('\n')));
        QVERIFY(!model.data(model.index(nNoted, COLUMN_YEAR), Qt::ToolTipRole).isValid());
        QCOMPARE(model.data(model.index(nNoted, COLUMN_YEAR), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));
        // Every column has a heading; rows are numbered from 1.
        for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn)
            QVERIFY(!model.headerData(nColumn, Qt::Horizontal).toString().isEmpty() || nColumn == COLUMN_BASE_YEAR);
        QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
        // Without a document: no rows, no cells.
        CEventModel empty;
        QCOMPARE(empty.rowCount(), 0);
        QCOMPARE(empty.RowOf(0), -1);
        QVERIFY(!empty.headerData(COLUMN_TEXT, Qt::Horizontal).isValid());
    }
};

QTEST_GUILESS_MAIN(CEventModelTest)
#include "EventModel_test.moc"
