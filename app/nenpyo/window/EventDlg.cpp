#include "EventDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "EventEdit.h"
#include "NenpyoText.h"
#include <shared/qt/QtText.h>

namespace {

// A combo box of "なし" (-1) and the numbers nFirst..nLast, with nValue selected (added when it
// lies outside, so that an odd stored value is shown and kept as it is).
void FillNumbers(QComboBox* pCombo, int nFirst, int nLast, int nValue, const QString& strSuffix)
{
    pCombo->addItem(QStringLiteral("なし"), -1);
    for (int n = nFirst; n <= nLast; ++n)
        pCombo->addItem(QString::number(n) + strSuffix, n);
    if (nValue != -1 && (nValue < nFirst || nValue > nLast))
        pCombo->addItem(QString::number(nValue) + strSuffix, nValue);
    pCombo->setCurrentIndex(pCombo->findData(nValue));
}

} // namespace

CEventDlg::CEventDlg(const SEventData& event, const QString& strTitle, QWidget* pParent)
    : QDialog(pParent), m_data(event)
{
    setWindowTitle(strTitle);

    m_pYear = new QLineEdit(QString::number(event.lYear));
    m_pYear->setPlaceholderText(QStringLiteral("例: 1603、紀元前は -660"));
    m_pMonth = new QComboBox;
    FillNumbers(m_pMonth, 1, 12, event.nMonth, QStringLiteral("月"));
    m_pLeap = new QCheckBox(QStringLiteral("閏月(&L)"));
    m_pLeap->setChecked(event.bLeapMonth);
    m_pDay = new QComboBox;
    FillNumbers(m_pDay, 1, 31, event.nDay, QStringLiteral("日"));
    m_pPriority = new QComboBox;
    m_pPriority->addItem(QStringLiteral("高"), 0);
    m_pPriority->addItem(QStringLiteral("中"), 1);
    m_pPriority->addItem(QStringLiteral("低"), 2);
    if (m_pPriority->findData(event.nPriority) < 0)
        m_pPriority->addItem(QString::number(event.nPriority), event.nPriority);
    m_pPriority->setCurrentIndex(m_pPriority->findData(event.nPriority));
    m_pText = new QLineEdit(ToQString(event.strEvent));
    m_pText->setMinimumWidth(360);
    m_pText->setCursorPosition(0);
    m_pText->setToolTip(QStringLiteral("リンクは <a href=\"https://...\">文字</a> の形で書けます。"));
    m_pNote = new QPlainTextEdit(ToEditLines(event.strNote));
    m_pNote->setTabChangesFocus(true);

    auto* pDateRow = new QHBoxLayout;
    pDateRow->addWidget(m_pMonth);
    pDateRow->addWidget(m_pLeap);
    pDateRow->addWidget(m_pDay);
    pDateRow->addStretch();

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("西暦年(&Y):"), m_pYear);
    auto* pDateLabel = new QLabel(QStringLiteral("月日(&M):"));
    pDateLabel->setBuddy(m_pMonth);
    pForm->addRow(pDateLabel, pDateRow);
    pForm->addRow(QStringLiteral("表示優先度(&P):"), m_pPriority);
    pForm->addRow(QStringLiteral("出来事(&T):"), m_pText);
    pForm->addRow(QStringLiteral("備考(&N):"), m_pNote);

    QDialogButtonBox* pButtons = NewOkCancel(this);
    connect(m_pMonth, &QComboBox::currentIndexChanged, this, &CEventDlg::UpdateEnabled);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
    UpdateEnabled();
    m_pYear->setFocus();
}

void CEventDlg::UpdateEnabled()
{
    const bool bMonth = m_pMonth->currentData().toInt() != -1;
    m_pLeap->setEnabled(bMonth);
    m_pDay->setEnabled(bMonth);
}

bool CEventDlg::ReadFields(SEventData& event, QString& strMessage) const
{
    std::int32_t lYear = 0;
    if (!ParseYear(m_pYear->text(), lYear)) {
        m_pBadField = m_pYear;
        strMessage = QStringLiteral("西暦年には整数を入れてください(例: 1603、紀元前は -660)。");
        return false;
    }
    SEventData result;
    result.lYear = lYear;
    const bool bMonth = m_pMonth->currentData().toInt() != -1;
    result.nMonth = static_cast<std::int16_t>(m_pMonth->currentData().toInt());
    result.bLeapMonth = bMonth && m_pLeap->isChecked();
    result.nDay = static_cast<std::int16_t>(bMonth ? m_pDay->currentData().toInt() : -1);
    result.nPriority = m_pPriority->currentData().toInt();
    m_pBadField = m_pText;
    if (!ToCp932(m_pText->text().trimmed(), result.strEvent, QStringLiteral("出来事"), strMessage))
        return false;
    m_pBadField = m_pNote;
    if (!EditLinesToCp932(m_pNote->toPlainText(), result.strNote, QStringLiteral("備考"), strMessage))
        return false;
    CString strCheck;
    if (!CEventEdit::Check(result, strCheck)) {
        // The text is the last check; the others are about the year and the date.
        m_pBadField = result.strEvent.IsEmpty() ? static_cast<QWidget*>(m_pText)
                      : result.lYear == 0      ? static_cast<QWidget*>(m_pYear)
                                               : static_cast<QWidget*>(m_pMonth);
        strMessage = ToQString(strCheck);
        return false;
    }
    event = result;
    return true;
}

void CEventDlg::accept()
{
    QString strMessage;
    if (!ReadFields(m_data, strMessage)) {
        QMessageBox::warning(this, windowTitle(), strMessage);
        if (m_pBadField != nullptr)
            m_pBadField->setFocus();
        return;
    }
    QDialog::accept();
}
