// The 西暦の日付 column: hidden at first, shown and remembered through its menu check, the Western
// day of each row's event; and the days between two selected events in the status bar.
#include <QtTest>

#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>

#include <corvane/EventData.h>
#include <framework/Cp932.h>

#include "DayColumn.h"
#include "EventEdit.h"
#include "EventModel.h"
#include "NenpyoDoc.h"
#include "RowExport.h"

namespace {

SEventData Event(std::int32_t lYear, int nMonth, int nDay)
{
    SEventData data;
    data.Initialize();
    data.lYear = lYear;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    data.strEvent = "x";
    return data;
}

} // namespace

class CDayColumnTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().remove(QStringLiteral("View/WesternDay"));
        m_doc.New({});
        CEventEdit::Add(m_doc.Events(), Event(1582, 6, 2));    // 本能寺の変
        CEventEdit::Add(m_doc.Events(), Event(1600, 9, 15));   // 関ヶ原
        CEventEdit::Add(m_doc.Events(), Event(1600, 10, -1));  // a month alone
        m_model.SetDocument(&m_doc);
    }
    void cleanupTestCase() { QSettings().remove(QStringLiteral("View/WesternDay")); }

    void columnShowsTheWesternDayWhenChosen()
    {
        QTableView view;
        view.setModel(&m_model);
        QMenu menu;
        AddWesternDayAction(&menu, &view);
        QCOMPARE(menu.actions().size(), 1);
        QAction* pAction = menu.actions().at(0);
        QVERIFY(!pAction->isChecked());
        QVERIFY(view.isColumnHidden(COLUMN_WESTERN_DAY));
        QCOMPARE(m_model.headerData(COLUMN_WESTERN_DAY, Qt::Horizontal).toString(), QStringLiteral("西暦の日付"));
        QCOMPARE(m_model.data(m_model.index(0, COLUMN_WESTERN_DAY)).toString(), QStringLiteral("1582-06-21(ユリウス暦)"));
        QCOMPARE(m_model.data(m_model.index(1, COLUMN_WESTERN_DAY)).toString(), QStringLiteral("1600-10-21"));
        QCOMPARE(m_model.data(m_model.index(2, COLUMN_WESTERN_DAY)).toString(), QString());

        pAction->setChecked(true);
        QVERIFY(!view.isColumnHidden(COLUMN_WESTERN_DAY));
        QVERIFY(WesternDayShown());
        // Remembered: the next window starts with the column shown.
        QTableView next;
        next.setModel(&m_model);
        QMenu nextMenu;
        AddWesternDayAction(&nextMenu, &next);
        QVERIFY(nextMenu.actions().at(0)->isChecked());
        QVERIFY(!next.isColumnHidden(COLUMN_WESTERN_DAY));
        pAction->setChecked(false);
        QVERIFY(!WesternDayShown());
        // Not in the exports.
        QVERIFY(!CRowExport::HasColumn(m_doc, COLUMN_WESTERN_DAY));
        QVERIFY(CRowExport::Csv(m_doc, PRIORITY_ALL).find("1600-10-21") == std::string::npos);
    }

    void statusBarGivesTheDaysBetweenTwoEvents()
    {
        QMainWindow window;
        QStatusBar* pStatus = window.statusBar();
        const QModelIndexList two = {m_model.index(0, 0), m_model.index(1, 0)};
        ShowDaysBetween(&m_model, two, pStatus);
        QCOMPARE(pStatus->currentMessage(), QStringLiteral("2つの出来事の間は6,687日です"));
        pStatus->clearMessage();
        ShowDaysBetween(&m_model, {m_model.index(0, 0)}, pStatus);
        QCOMPARE(pStatus->currentMessage(), QString());
        ShowDaysBetween(&m_model, {m_model.index(1, 0), m_model.index(2, 0)}, pStatus);
        QCOMPARE(pStatus->currentMessage(), QStringLiteral("日数は701年からの月日のある出来事の間でだけ数えられます"));
    }

private:
    CNenpyoDoc m_doc;
    CEventModel m_model;
};

QTEST_MAIN(CDayColumnTest)
#include "DayColumn_test.moc"
