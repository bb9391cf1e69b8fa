// The event dialog and 年へ移動's reading of era dates: a date typed into the year field gives the
// year, month and day; the dialog shows the era date of what is typed; a date that does not exist
// is refused with its reason.
#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "EventDlg.h"
#include "NenpyoText.h"
#include "testing/DatedEraTable.h"

class CEventDlgTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testing_eras::FillDatedEras(m_eras); }

    void yearFieldTakesEraDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("shown");
        // The fields hold 3月 (no day) before the year is typed.
        QTest::newRow("era date") << QStringLiteral("平成元年1月8日") << 1989 << 1 << 8 << QStringLiteral("平成元年1月8日");
        QTest::newRow("initials") << QStringLiteral("H1") << 1989 << 3 << -1 << QStringLiteral("平成元年3月");
        QTest::newRow("kanji") << QStringLiteral("昭和六十四年一月七日") << 1989 << 1 << 7 << QStringLiteral("昭和64年1月7日");
        QTest::newRow("western") << QStringLiteral("1989") << 1989 << 3 << -1 << QStringLiteral("平成元年3月");
        QTest::newRow("both courts") << QStringLiteral("延元3年8月1日") << 1338 << 8 << 1
                                     << QStringLiteral("建武5年8月1日・延元3年8月1日");
        QTest::newRow("no such day") << QStringLiteral("昭和64年1月8日") << 0 << 0 << 0
                                     << QStringLiteral("昭和64年1月8日はありません(昭和は昭和64年1月7日で終わりました)");
    }
    void yearFieldTakesEraDates()
    {
        QFETCH(QString, typed);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, shown);
        SEventData event;
        event.lYear = 2000;
        event.nMonth = 3;
        event.nDay = -1;
        event.strEvent = "x";
        CEventDlg dlg(event, QStringLiteral("test"), nullptr, &m_eras);
        dlg.findChildren<QLineEdit*>().at(0)->setText(typed);
        QLabel* pEraDate = nullptr;
        for (QLabel* pLabel : dlg.findChildren<QLabel*>())
            if (pLabel->buddy() == nullptr && pLabel->text() == shown)
                pEraDate = pLabel;
        QVERIFY2(pEraDate != nullptr, qPrintable(shown));
        QString strMessage;
        SEventData read;
        QCOMPARE(dlg.ReadFields(read, strMessage), year != 0);
        if (year == 0) {
            QVERIFY(strMessage.endsWith(shown));
            return;
        }
        QCOMPARE(read.lYear, year);
        QCOMPARE(int{read.nMonth}, month);
        QCOMPARE(int{read.nDay}, day);
    }

    void goToYearTakesEraYears()
    {
        SEraDate date;
        QString strReason;
        QVERIFY(ParseYearOrEraDate(QStringLiteral("平成元年"), &m_eras, date, strReason));
        QCOMPARE(date.lYear, 1989);
        QVERIFY(ParseYearOrEraDate(QStringLiteral(" -660 "), &m_eras, date, strReason));
        QCOMPARE(date.lYear, -660);
        QVERIFY(!ParseYearOrEraDate(QStringLiteral("平成32年"), &m_eras, date, strReason));
        QCOMPARE(strReason, QStringLiteral("平成32年はありません(平成は31年(2019年)までです)"));
        QVERIFY(!ParseYearOrEraDate(QStringLiteral("平成元年"), nullptr, date, strReason));
    }

private:
    CGengouEra m_eras;
};

QTEST_MAIN(CEventDlgTest)
#include "EventDlg_test.moc"
