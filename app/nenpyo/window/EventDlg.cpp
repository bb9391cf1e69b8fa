#include "EventDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

#include "EventEdit.h"
#include "LinkTextEdit.h"
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

void CEventDlg::CreateDateFields(const SEventData& event)
{
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
}

CEventDlg::CEventDlg(const SEventData& event, const QString& strTitle, QWidget* pParent, const CGengouEra* pEras)
    : QDialog(pParent), m_data(event), m_pEras(pEras)
{
    setWindowTitle(strTitle);

    m_pYear = new QLineEdit(QString::number(event.lYear));
    m_pYear->setPlaceholderText(pEras ? QStringLiteral("例: 1603、紀元前は -660、平成元年1月8日")
                                      : QStringLiteral("例: 1603、紀元前は -660"));
    m_pEraDate = new QLabel;
    CreateDateFields(event);
    m_pText = new CLinkTextEdit;
    m_pText->SetText(event.strEvent);
    m_pText->setMinimumWidth(360);
    m_pText->setToolTip(QStringLiteral("リンクにする文字を選んで「リンク」を押します。"));
    m_pLink = new QPushButton(QStringLiteral("リンク(&K)..."));
    m_pLink->setToolTip(QStringLiteral("選んだ文字のリンク先を設定します。空にするとリンクを外します。"));
    auto* pTextRow = new QHBoxLayout;
    pTextRow->addWidget(m_pText, 1);
    pTextRow->addWidget(m_pLink);
    m_pNote = new QPlainTextEdit(ToEditLines(event.strNote));
    m_pNote->setTabChangesFocus(true);

    auto* pDateRow = new QHBoxLayout;
    pDateRow->addWidget(m_pMonth);
    pDateRow->addWidget(m_pLeap);
    pDateRow->addWidget(m_pDay);
    pDateRow->addStretch();

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("西暦年(&Y):"), m_pYear);
    if (pEras)
        pForm->addRow(QStringLiteral("和暦:"), m_pEraDate);
    auto* pDateLabel = new QLabel(QStringLiteral("月日(&M):"));
    pDateLabel->setBuddy(m_pMonth);
    pForm->addRow(pDateLabel, pDateRow);
    pForm->addRow(QStringLiteral("表示優先度(&P):"), m_pPriority);
    auto* pTextLabel = new QLabel(QStringLiteral("出来事(&T):"));
    pTextLabel->setBuddy(m_pText);
    pForm->addRow(pTextLabel, pTextRow);
    pForm->addRow(QStringLiteral("備考(&N):"), m_pNote);

    QDialogButtonBox* pButtons = NewOkCancel(this);
    connect(m_pMonth, &QComboBox::currentIndexChanged, this, &CEventDlg::UpdateEnabled);
    connect(m_pYear, &QLineEdit::textChanged, this, &CEventDlg::UpdateEraDate);
    connect(m_pMonth, &QComboBox::currentIndexChanged, this, &CEventDlg::UpdateEraDate);
    connect(m_pLeap, &QCheckBox::toggled, this, &CEventDlg::UpdateEraDate);
    connect(m_pDay, &QComboBox::currentIndexChanged, this, &CEventDlg::UpdateEraDate);
    connect(m_pLink, &QPushButton::clicked, this, &CEventDlg::EditLink);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
    UpdateEnabled();
    UpdateEraDate();
    m_pYear->setFocus();
}

bool CEventDlg::FieldDate(SEraDate& date, QString& strReason) const
{
    if (!ParseYearOrEraDate(m_pYear->text(), m_pEras, date, strReason))
        return false;
    if (date.nMonth == 0 && m_pMonth->currentData().toInt() != -1) {
        date.nMonth = m_pMonth->currentData().toInt();
        date.bLeap = m_pLeap->isChecked();
        date.nDay = std::max(0, m_pDay->currentData().toInt());
    }
    return true;
}

void CEventDlg::UpdateEraDate()
{
    if (!m_pEras)
        return;
    SEraDate date;
    QString strReason;
    m_pEraDate->setText(FieldDate(date, strReason) ? EraDatesOf(m_pEras, date) : strReason);
}

void CEventDlg::UpdateEnabled()
{
    const bool bMonth = m_pMonth->currentData().toInt() != -1;
    m_pLeap->setEnabled(bMonth);
    m_pDay->setEnabled(bMonth);
}

bool CEventDlg::ReadFields(SEventData& event, QString& strMessage) const
{
    SEraDate date;
    QString strReason;
    if (!ParseYearOrEraDate(m_pYear->text(), m_pEras, date, strReason)) {
        m_pBadField = m_pYear;
        strMessage = m_pEras ? QStringLiteral("西暦年には整数か和暦の日付を入れてください(例: 1603、紀元前は -660、平成元年1月8日)。")
                             : QStringLiteral("西暦年には整数を入れてください(例: 1603、紀元前は -660)。");
        if (!strReason.isEmpty())
            strMessage += QLatin1Char('\n') + strReason;
        return false;
    }
    SEventData result;
    result.lYear = date.lYear;
    if (date.nMonth != 0) {
        // The month and day of a typed date replace the fields'.
        result.nMonth = static_cast<std::int16_t>(date.nMonth);
        result.bLeapMonth = date.bLeap;
        result.nDay = static_cast<std::int16_t>(date.nDay != 0 ? date.nDay : -1);
    } else {
        const bool bMonth = m_pMonth->currentData().toInt() != -1;
        result.nMonth = static_cast<std::int16_t>(m_pMonth->currentData().toInt());
        result.bLeapMonth = bMonth && m_pLeap->isChecked();
        result.nDay = static_cast<std::int16_t>(bMonth ? m_pDay->currentData().toInt() : -1);
    }
    result.nPriority = m_pPriority->currentData().toInt();
    m_pBadField = m_pText;
    if (!m_pText->Text(result.strEvent, QStringLiteral("出来事"), strMessage))
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

void CEventDlg::EditLink()
{
    if (!m_pText->textCursor().hasSelection() && m_pText->LinkAtCursor().isEmpty()) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("リンクにする文字を選んでください。"));
        m_pText->setFocus();
        return;
    }
    const QString strTarget = m_pText->LinkAtCursor();
    bool bOk = false;
    const QString strAddress =
        QInputDialog::getText(this, QStringLiteral("リンク"), QStringLiteral("アドレス(空にするとリンクを外します)(&A):"),
                              QLineEdit::Normal, strTarget.isEmpty() ? QStringLiteral("https://") : strTarget, &bOk);
    if (bOk)
        m_pText->SetLink(strAddress.trimmed());
    m_pText->setFocus();
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
