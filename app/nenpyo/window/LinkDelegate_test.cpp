// The table's event cells with linked words: only the linked words answer as links (the words
// before, between and after them do not, two links in a cell keep their own targets), and a
// click on them is told once, only when the press and the release are on the same link.
#include <QtTest>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>

#include "Chronology.h"
#include "EventModel.h"
#include "EventTestData_test.h"
#include "LinkDelegate.h"
#include "NenpyoDoc.h"
#include "RowExport.h"

namespace {

// A stretch of x in a cell answering one target.
struct SRun {
    int nLeft;
    int nRight;   // exclusive
    QString strTarget;
};

} // namespace

class CLinkDelegateTest : public QObject {
    Q_OBJECT
private:
    CChronology m_chronology;
    CEventModel m_model;
    QTableView m_view;
    CLinkDelegate* m_pDelegate = nullptr;

    QStyleOptionViewItem Option(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        option.initFrom(m_view.viewport());
        option.rect = m_view.visualRect(index);
        option.widget = &m_view;
        option.font = m_view.font();
        return option;
    }

    // The links along the middle of a cell, left to right.
    QList<SRun> Runs(int nRow) const
    {
        const QModelIndex index = m_model.index(nRow, COLUMN_TEXT);
        const QStyleOptionViewItem option = Option(index);
        QList<SRun> runs;
        const int y = option.rect.center().y();
        for (int x = option.rect.left(); x <= option.rect.right(); ++x) {
            const QString strTarget = m_pDelegate->LinkAt(option, index, QPoint(x, y));
            if (strTarget.isEmpty())
                continue;
            if (!runs.isEmpty() && runs.back().nRight == x && runs.back().strTarget == strTarget)
                runs.back().nRight = x + 1;
            else
                runs.append({x, x + 1, strTarget});
        }
        return runs;
    }

    QPoint Middle(const SRun& run, int nRow) const
    {
        return QPoint((run.nLeft + run.nRight) / 2, m_view.visualRect(m_model.index(nRow, COLUMN_TEXT)).center().y());
    }

private Q_SLOTS:
    void initTestCase()
    {
        auto pDoc = std::make_unique<CNenpyoDoc>();
        pDoc->New({});
        for (const SEventData& event :
             {Event(1600, "前<a href=\"https://example.org/m\">明治維新</a>の後"),
              Event(1601, "<a href=\"a.html\">甲</a>と<a href=\"b.html\">乙乙</a>"), Event(1602, "リンクなし")})
            pDoc->Events().SetData(event, true, -1, PRIORITY_ALL);
        m_chronology.Replace(std::move(pDoc));
        m_model.Follow(&m_chronology);
        m_view.setModel(&m_model);
        m_pDelegate = new CLinkDelegate(&m_view);
        m_view.setItemDelegateForColumn(COLUMN_TEXT, m_pDelegate);
        m_view.horizontalHeader()->resizeSection(COLUMN_TEXT, 400);
        m_view.resize(1400, 300);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
        m_view.scrollTo(m_model.index(0, COLUMN_TEXT));
    }

    void onlyTheLinkedWordsAreLinks()
    {
        const QFontMetrics fm(m_view.font());
        const QRect cell = m_view.visualRect(m_model.index(0, COLUMN_TEXT));
        const QList<SRun> one = Runs(0);
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].strTarget, QStringLiteral("https://example.org/m"));
        QVERIFY(qAbs(one[0].nRight - one[0].nLeft - fm.horizontalAdvance(QStringLiteral("明治維新"))) <= 2);
        QVERIFY(one[0].nLeft - cell.left() >= fm.horizontalAdvance(QStringLiteral("前")));   // 前 is plain

        const QList<SRun> two = Runs(1);
        QCOMPARE(two.size(), 2);
        QCOMPARE(two[0].strTarget, QStringLiteral("a.html"));
        QCOMPARE(two[1].strTarget, QStringLiteral("b.html"));
        QVERIFY(two[1].nLeft - two[0].nRight >= fm.horizontalAdvance(QStringLiteral("と")) - 2);   // と is plain
        QVERIFY(qAbs(two[1].nRight - two[1].nLeft - fm.horizontalAdvance(QStringLiteral("乙乙"))) <= 2);

        QVERIFY(Runs(2).isEmpty());
        // Above or below the line of text: no link.
        const QStyleOptionViewItem option = Option(m_model.index(0, COLUMN_TEXT));
        QVERIFY(m_pDelegate->LinkAt(option, m_model.index(0, COLUMN_TEXT), QPoint(Middle(one[0], 0).x(), cell.top() - 3)).isEmpty());
    }

    void aClickOnALinkIsToldOnce()
    {
        QSignalSpy clicked(m_pDelegate, &CLinkDelegate::linkClicked);
        const QList<SRun> one = Runs(0);
        const QList<SRun> two = Runs(1);
        QVERIFY(one.size() == 1 && two.size() == 2);
        QWidget* pViewport = m_view.viewport();
        const QPoint link = Middle(one[0], 0);
        const QPoint plain(one[0].nLeft - 4, link.y());

        QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, link);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.takeFirst().at(0).toString(), QStringLiteral("https://example.org/m"));
        QVERIFY(m_pDelegate->PressedOnLink());
        // Pressed on one link, released on another or on plain words: nothing.
        QTest::mousePress(pViewport, Qt::LeftButton, Qt::NoModifier, Middle(two[0], 1));
        QTest::mouseRelease(pViewport, Qt::LeftButton, Qt::NoModifier, Middle(two[1], 1));
        QTest::mousePress(pViewport, Qt::LeftButton, Qt::NoModifier, link);
        QTest::mouseRelease(pViewport, Qt::LeftButton, Qt::NoModifier, plain);
        QCOMPARE(clicked.size(), 0);
        // Plain words, and another button, open nothing.
        QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, plain);
        QVERIFY(!m_pDelegate->PressedOnLink());
        QTest::mouseClick(pViewport, Qt::RightButton, Qt::NoModifier, link);
        QCOMPARE(clicked.size(), 0);
        // The second link of a cell answers with its own target.
        QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, Middle(two[1], 1));
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.takeFirst().at(0).toString(), QStringLiteral("b.html"));
    }
};

QTEST_MAIN(CLinkDelegateTest)
#include "LinkDelegate_test.moc"
