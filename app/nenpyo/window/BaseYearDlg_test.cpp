// The base-year dialog and the name-and-explanation dialog check what was typed: a bad year, an
// end before the base, or a character code page 932 cannot hold is refused with a message naming
// it, the dialog stays open and the table it was given stays as it was; good input is taken whole.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <framework/Cp932.h>

#include "BaseYearDlg.h"
#include "MessageBoxAnswer_test.h"
#include "TableTextDlg.h"

namespace {

// The field of a dialog's form whose label begins with strLabel.
template <typename T>
T* Field(QWidget& dlg, const QString& strLabel)
{
    for (QLabel* pLabel : dlg.findChildren<QLabel*>()) {
        if (pLabel->text().startsWith(strLabel))
            return qobject_cast<T*>(pLabel->buddy());
    }
    return nullptr;
}

QCheckBox* Check(QWidget& dlg, const QString& strText)
{
    for (QCheckBox* pCheck : dlg.findChildren<QCheckBox*>()) {
        if (pCheck->text().startsWith(strText))
            return pCheck;
    }
    return nullptr;
}

// A base-year table's values, to compare two tables whole.
QString Describe(const CBaseYear& table)
{
    CString strSupplement;
    table.GetSupplement(strSupplement);
    return QStringLiteral("%1|%2|%3|%4%5%6%7%8%9%10|%11")
        .arg(QString::fromStdString(Cp932ToUtf8Lossy(table.GetTableName().View())))
        .arg(table.GetBaseWesternYear())
        .arg(table.GetEndWesternYear())
        .arg(table.GetKazoe())
        .arg(table.GetMinus1())
        .arg(table.GetDisplayMinus())
        .arg(table.GetEndYearPlus())
        .arg(table.GetEndYearKaiki())
        .arg(table.GetBeginYearQuest())
        .arg(table.GetEndYearQuest())
        .arg(QString::fromStdString(Cp932ToUtf8Lossy(strSupplement.View())));
}

} // namespace

class CBaseYearDlgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void badInputIsRefusedAndLeavesTheTable()
    {
        CBaseYear given;
        given.SetTableName(CP932("江戸幕府"));
        given.SetBaseWesternYear(1603);
        given.SetEndWesternYear(1867);
        given.SetKazoe(true);
        given.SetSupplement(CP932("一行目\r\n二行目"));
        const QString strGiven = Describe(given);

        const struct {
            const char* pszName;
            const char* pszBase;
            const char* pszEnd;
            const char* pszSupplement;
            const char* pszMessage;   // null: accepted
            std::int32_t lBase;
            std::int32_t lEnd;
        } aCases[] = {
            {"幕府", "1603", "", "", nullptr, 1603, NO_END_YEAR},
            {"幕府", " １６０３ ", "１８６７", "", nullptr, 1603, 1867},
            {"", "-660", "-600", "", nullptr, -660, -600},
            {"", "1868", "1868", "", nullptr, 1868, 1868},   // ends in its own year
            {"", "0", "", "", "基点年には0以外の整数", 0, 0},
            {"", "abc", "", "", "基点年には0以外の整数", 0, 0},
            {"", "", "", "", "基点年には0以外の整数", 0, 0},
            {"", "1603.5", "", "", "基点年には0以外の整数", 0, 0},
            {"", "99999999999", "", "", "基点年には0以外の整数", 0, 0},
            {"", "1603", "0", "", "終了年には0以外の整数", 0, 0},
            {"", "1603", "x", "", "終了年には0以外の整数", 0, 0},
            {"", "1603", "1602", "", "終了年は基点年と同じか後", 0, 0},
            {"", "-1", "-2", "", "終了年は基点年と同じか後", 0, 0},
            {"𠮷野", "1603", "", "", "名前", 0, 0},
            {"", "1603", "", "한글", "補足", 0, 0},
        };
        CMessageBoxAnswer answer;
        for (const auto& test : aCases) {
            const QString strCase = QStringLiteral("%1/%2/%3").arg(test.pszName, test.pszBase, test.pszEnd);
            CBaseYearDlg dlg(given);
            dlg.show();
            // The dialog shows the table it was given.
            QCOMPARE(Field<QLineEdit>(dlg, QStringLiteral("名前"))->text(), QStringLiteral("江戸幕府"));
            QCOMPARE(Field<QLineEdit>(dlg, QStringLiteral("終了年"))->text(), QStringLiteral("1867"));
            QVERIFY(Check(dlg, QStringLiteral("数え(基点年"))->isChecked());
            Field<QLineEdit>(dlg, QStringLiteral("名前"))->setText(QString::fromUtf8(test.pszName));
            Field<QLineEdit>(dlg, QStringLiteral("基点年"))->setText(QString::fromUtf8(test.pszBase));
            Field<QLineEdit>(dlg, QStringLiteral("終了年"))->setText(QString::fromUtf8(test.pszEnd));
            Field<QPlainTextEdit>(dlg, QStringLiteral("補足"))->setPlainText(QString::fromUtf8(test.pszSupplement));
            Check(dlg, QStringLiteral("終了年は不確か"))->setChecked(true);
            dlg.accept();
            const QStringList texts = answer.Take();
            if (test.pszMessage != nullptr) {
                QVERIFY2(texts.size() == 1 && texts[0].contains(QString::fromUtf8(test.pszMessage)), qPrintable(strCase));
                QVERIFY2(dlg.isVisible() && dlg.result() != QDialog::Accepted, qPrintable(strCase));
                QCOMPARE(Describe(dlg.Table()), strGiven);
                continue;
            }
            QVERIFY2(texts.isEmpty(), qPrintable(strCase));
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.Table().GetBaseWesternYear(), test.lBase);
            QCOMPARE(dlg.Table().GetEndWesternYear(), test.lEnd);
            QCOMPARE(dlg.Table().GetTableName(), LiteralToCp932(test.pszName));
            QVERIFY(dlg.Table().GetKazoe());
            QVERIFY(dlg.Table().GetEndYearQuest());
            QVERIFY(!dlg.Table().GetMinus1());
        }
    }

    void theSupplementKeepsItsLinesAndAnUntouchedDialogChangesNothing()
    {
        CBaseYear given;
        given.SetTableName(CP932("  皇紀"));
        given.SetBaseWesternYear(-660);
        given.SetDisplayMinus(true);
        given.SetSupplement(CP932("一行目\r\n二行目"));
        CBaseYearDlg dlg(given);
        QCOMPARE(Field<QPlainTextEdit>(dlg, QStringLiteral("補足"))->toPlainText(), QStringLiteral("一行目\n二行目"));
        CBaseYear table = given;
        QString strMessage;
        QVERIFY(dlg.ReadFields(table, strMessage));
        CBaseYear trimmed = given;
        trimmed.SetTableName(CP932("皇紀"));   // blanks around the name go
        QCOMPARE(Describe(table), Describe(trimmed));
        Field<QPlainTextEdit>(dlg, QStringLiteral("補足"))->setPlainText(QStringLiteral("a\nb\n"));
        QVERIFY(dlg.ReadFields(table, strMessage));
        CString strSupplement;
        table.GetSupplement(strSupplement);
        QCOMPARE(strSupplement, CString("a\r\nb\r\n"));
    }

    void theTableTextIsCheckedBeforeItIsTaken()
    {
        const CString strName = CP932("日本史");
        const CString strExplanation = CP932("説明\r\n二行目");
        const struct {
            const char* pszName;
            const char* pszExplanation;
            const char* pszMessage;   // null: accepted
            const char* pszStoredExplanation;
        } aCases[] = {
            {"  新しい名前 ", "一\n二", nullptr, "一\r\n二"},
            {"", "", nullptr, ""},
            {"𠮷", "説明", "名前", nullptr},
            {"名前", "😀", "説明", nullptr},
        };
        CMessageBoxAnswer answer;
        for (const auto& test : aCases) {
            CTableTextDlg dlg(strName, strExplanation);
            dlg.show();
            QCOMPARE(Field<QPlainTextEdit>(dlg, QStringLiteral("説明"))->toPlainText(), QStringLiteral("説明\n二行目"));
            Field<QLineEdit>(dlg, QStringLiteral("名前"))->setText(QString::fromUtf8(test.pszName));
            Field<QPlainTextEdit>(dlg, QStringLiteral("説明"))->setPlainText(QString::fromUtf8(test.pszExplanation));
            dlg.accept();
            const QStringList texts = answer.Take();
            if (test.pszMessage != nullptr) {
                QVERIFY2(texts.size() == 1 && texts[0].contains(QString::fromUtf8(test.pszMessage)), test.pszName);
                QVERIFY(dlg.isVisible() && dlg.result() != QDialog::Accepted);
                QCOMPARE(dlg.Name(), strName);
                QCOMPARE(dlg.Explanation(), strExplanation);
                continue;
            }
            QVERIFY2(texts.isEmpty(), test.pszName);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.Name(), LiteralToCp932(QString::fromUtf8(test.pszName).trimmed().toUtf8().constData()));
            QCOMPARE(dlg.Explanation(), LiteralToCp932(test.pszStoredExplanation));
        }
    }
};

QTEST_MAIN(CBaseYearDlgTest)
#include "BaseYearDlg_test.moc"
