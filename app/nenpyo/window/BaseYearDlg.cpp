#include "BaseYearDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "NenpyoText.h"
#include <shared/qt/QtText.h>

#include <corvane/YearText.h>

CBaseYearDlg::CBaseYearDlg(const CBaseYear& baseYear, QWidget* pParent) : QDialog(pParent), m_baseYear(baseYear)
{
    setWindowTitle(QStringLiteral("基点年"));
    m_pName = new QLineEdit(ToQString(baseYear.GetTableName()));
    m_pName->setPlaceholderText(QStringLiteral("例: 江戸幕府 (年表の列の見出しになります)"));
    m_pBase = new QLineEdit(QString::number(baseYear.GetBaseWesternYear()));
    m_pEnd = new QLineEdit(baseYear.GetEndWesternYear() == NO_END_YEAR ? QString()
                                                                       : QString::number(baseYear.GetEndWesternYear()));
    m_pEnd->setPlaceholderText(QStringLiteral("空欄: 終了年なし"));

    const auto MakeCheck = [](const QString& strText, bool bChecked) {
        auto* pCheck = new QCheckBox(strText);
        pCheck->setChecked(bChecked);
        return pCheck;
    };
    m_pKazoe = MakeCheck(QStringLiteral("数え(基点年を1年目とする)(&K)"), baseYear.GetKazoe());
    m_pMinus1 = MakeCheck(QStringLiteral("数えで基点年より前は0を飛ばす(&Z)"), baseYear.GetMinus1());
    m_pDisplayMinus = MakeCheck(QStringLiteral("基点年より前の年も数える(&B)"), baseYear.GetDisplayMinus());
    m_pEndPlus = MakeCheck(QStringLiteral("終了年より後の年も +N で数える(&P)"), baseYear.GetEndYearPlus());
    m_pEndKaiki = MakeCheck(QStringLiteral("終了年より後は回忌で数える(1, 3, 4, 5, ...)(&R)"), baseYear.GetEndYearKaiki());
    m_pBeginQuest = MakeCheck(QStringLiteral("基点年は不確か(数に ? を付ける)(&U)"), baseYear.GetBeginYearQuest());
    m_pEndQuest = MakeCheck(QStringLiteral("終了年は不確か(終了年は --、後の年に ? を付ける)(&Q)"),
                            baseYear.GetEndYearQuest());
    CString strSupplement;
    baseYear.GetSupplement(strSupplement);
    m_pSupplement = new QPlainTextEdit(ToEditLines(strSupplement));
    m_pSupplement->setTabChangesFocus(true);
    m_pSupplement->setMaximumHeight(80);

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("名前(&N):"), m_pName);
    pForm->addRow(QStringLiteral("基点年(西暦)(&S):"), m_pBase);
    pForm->addRow(QStringLiteral("終了年(西暦)(&E):"), m_pEnd);

    auto* pOptions = new QGroupBox(QStringLiteral("数え方"));
    auto* pOptionLayout = new QVBoxLayout(pOptions);
    for (QCheckBox* pCheck : {m_pKazoe, m_pMinus1, m_pDisplayMinus, m_pEndPlus, m_pEndKaiki, m_pBeginQuest, m_pEndQuest})
        pOptionLayout->addWidget(pCheck);

    QDialogButtonBox* pButtons = NewOkCancel(this);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pOptions);
    auto* pSupplementForm = new QFormLayout;
    pSupplementForm->addRow(QStringLiteral("補足(&M):"), m_pSupplement);
    pLayout->addLayout(pSupplementForm);
    pLayout->addWidget(pButtons);
}

bool CBaseYearDlg::ReadFields(CBaseYear& table, QString& strMessage) const
{
    std::int32_t lBase = 0;
    if (!ParseTypedYear(m_pBase->text().toStdString(), lBase) || lBase == 0) {
        strMessage = QStringLiteral("基点年には0以外の整数を入れてください(例: 1603、紀元前は -660)。");
        return false;
    }
    std::int32_t lEnd = NO_END_YEAR;
    if (!m_pEnd->text().trimmed().isEmpty()) {
        if (!ParseTypedYear(m_pEnd->text().toStdString(), lEnd) || lEnd == 0 || lEnd == NO_END_YEAR) {
            strMessage = QStringLiteral("終了年には0以外の整数を入れるか、空欄にしてください。");
            return false;
        }
        if (lEnd < lBase) {
            strMessage = QStringLiteral("終了年は基点年と同じか後の年にしてください。");
            return false;
        }
    }
    CString strName, strSupplement;
    if (!ToCp932(m_pName->text().trimmed(), strName, QStringLiteral("名前"), strMessage) ||
        !EditLinesToCp932(m_pSupplement->toPlainText(), strSupplement, QStringLiteral("補足"), strMessage))
        return false;
    table.SetTableName(strName);
    table.SetBaseWesternYear(lBase);
    table.SetEndWesternYear(lEnd);
    table.SetKazoe(m_pKazoe->isChecked());
    table.SetMinus1(m_pMinus1->isChecked());
    table.SetDisplayMinus(m_pDisplayMinus->isChecked());
    table.SetEndYearPlus(m_pEndPlus->isChecked());
    table.SetEndYearKaiki(m_pEndKaiki->isChecked());
    table.SetBeginYearQuest(m_pBeginQuest->isChecked());
    table.SetEndYearQuest(m_pEndQuest->isChecked());
    table.SetSupplement(strSupplement);
    return true;
}

void CBaseYearDlg::accept()
{
    QString strMessage;
    CBaseYear table = m_baseYear;
    if (!ReadFields(table, strMessage)) {
        QMessageBox::warning(this, windowTitle(), strMessage);
        return;
    }
    m_baseYear = table;
    QDialog::accept();
}
