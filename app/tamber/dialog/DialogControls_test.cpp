// Tests of the small Qt helpers under the dialog: dialog units and the era combo box.
#include <QtTest>

#include <QLineEdit>

#include <shared/qt/DialogUnits.h>
#include "DropComboBox.h"

class CDialogControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void DialogUnitsFollowTheFont()
    {
        const CDialogUnits units(CDialogUnits::GetDialogFont());
        QVERIFY(units.GetBaseX() >= 1);
        QCOMPARE(units.ToPixelsX(4), units.GetBaseX());
        QCOMPARE(units.ToPixelsY(8), units.GetBaseY());
        QCOMPARE(units.ToPixels(0, 0, 400, 800).size(), QSize(units.GetBaseX() * 100, units.GetBaseY() * 100));
        QFont bigFont = CDialogUnits::GetDialogFont();
        bigFont.setPointSize(bigFont.pointSize() * 3);
        QVERIFY(CDialogUnits(bigFont).GetBaseY() > units.GetBaseY());
    }

    void ComboSelectionBecomesNoneWhenTyping()
    {
        CDropComboBox combo;
        combo.addItems({QStringLiteral("西暦"), QStringLiteral("昭和(～64)")});
        combo.SetCurSel(1);
        QCOMPARE(combo.GetCurSel(), 1);
        QSignalSpy edits(&combo, &CDropComboBox::EditChange);
        QTest::keyClicks(combo.lineEdit(), QStringLiteral("x"));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(combo.GetCurSel(), -1);
        // Text set by the program is no edit change.
        combo.SetEditText(QStringLiteral("昭和"));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(combo.currentText(), QStringLiteral("昭和"));
        QCOMPARE(combo.GetCurSel(), -1);
        QCOMPARE(combo.SelectString(QStringLiteral("昭")), 1);
        QCOMPARE(combo.GetCurSel(), 1);
        QCOMPARE(combo.SelectString(QString()), 0);
        QCOMPARE(combo.SelectString(QStringLiteral("平")), -1);
        QCOMPARE(combo.GetCurSel(), 0);
        // Enter does not pick the item whose text was typed.
        combo.SetEditText(QStringLiteral("昭和(～64)"));
        QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
        QCOMPARE(combo.GetCurSel(), -1);
        QCOMPARE(combo.count(), 2);
    }

    void ComboReportsEveryCloseUp()
    {
        CDropComboBox combo;
        combo.addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        combo.show();
        QSignalSpy closeUps(&combo, &CDropComboBox::CloseUp);
        combo.hidePopup();   // not dropped: nothing to report
        QCoreApplication::processEvents();
        QCOMPARE(closeUps.count(), 0);
        combo.showPopup();
        combo.hidePopup();
        QTRY_COMPARE(closeUps.count(), 1);
    }
};

QTEST_MAIN(CDialogControlsTest)
#include "DialogControls_test.moc"
