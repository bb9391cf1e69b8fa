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
#include <QSignalBlocker>

#include <algorithm>

#include "EventEdit.h"
#include "LinkTextEdit.h"
#include "NenpyoText.h"
#include <shared/chronology/DayText.h>
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
    m_pDayInfo = new QLabel;
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
    pForm->addRow(QStringLiteral("西暦の日:"), m_pDayInfo);
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

bool CEventDlg::FieldDate(SEraDate& date, QString& strReason, bool& bTyped) const
{
    const QString strYear = m_pYear->text();
    if (!ParseYearOrEraDate(strYear, m_pEras, date, strReason))
        return false;
    bTyped = date.nMonth != 0;
    const int nMonth = m_pMonth->currentData().toInt();
    if (bTyped || nMonth == -1)
        return true;
    const int nDay = m_pDay->currentData().toInt();
    if (nMonth >= 1 && nMonth <= 12 && nDay <= 31) {
        // An era year typed alone is read with the fields' month and day: 明治元年 with 3月24日 is
        // what 明治元年3月24日 is.
        bool bEraYear = false;
        const bool bRead =
            ParseEraYearWithDay(strYear, m_pEras, nMonth, m_pLeap->isChecked(), std::max(0, nDay), date, strReason, bEraYear);
        if (bEraYear)
            return bRead;
    }
    date.nMonth = nMonth;
    date.bLeap = m_pLeap->isChecked();
    date.nDay = std::max(0, nDay);
    return true;
}

void CEventDlg::ShowTypedDate(const SEraDate& date)
{
    const QSignalBlocker blockMonth(m_pMonth);
    const QSignalBlocker blockLeap(m_pLeap);
    const QSignalBlocker blockDay(m_pDay);
    m_pMonth->setCurrentIndex(m_pMonth->findData(date.nMonth));
    m_pLeap->setChecked(date.bLeap);
    m_pDay->setCurrentIndex(m_pDay->findData(date.nDay != 0 ? date.nDay : -1));
}

void CEventDlg::UpdateEraDate()
{
    SEraDate date;
    QString strReason;
    bool bTyped = false;
    const bool bDate = FieldDate(date, strReason, bTyped);
    if (bDate && bTyped)
        ShowTypedDate(date);
    UpdateEnabled();
    m_pDayInfo->setText(bDate ? ToQString(CDayText::DayInfo(date)) : QString());
    if (m_pEras)
        m_pEraDate->setText(bDate ? EraDatesOf(m_pEras, date) : strReason);
}

void CEventDlg::UpdateEnabled()
{
    // A month typed into the year field is the date: the fields show it and wait.
    SEraDate date;
    QString strReason;
    const bool bTyped = ParseYearOrEraDate(m_pYear->text(), m_pEras, date, strReason) && date.nMonth != 0;
    const bool bMonth = m_pMonth->currentData().toInt() != -1;
    m_pMonth->setEnabled(!bTyped);
    m_pLeap->setEnabled(bMonth && !bTyped);
    m_pDay->setEnabled(bMonth && !bTyped);
}

bool CEventDlg::ReadFields(SEventData& event, QString& strMessage) const
{
    SEraDate date;
    QString strReason;
    bool bTyped = false;
    if (!FieldDate(date, strReason, bTyped)) {
        m_pBadField = m_pYear;
        strMessage = m_pEras ? QStringLiteral("西暦年には整数か和暦の日付を入れてください(例: 1603、紀元前は -660、平成元年1月8日)。")
                             : QStringLiteral("西暦年には整数を入れてください(例: 1603、紀元前は -660)。");
        if (!strReason.isEmpty())
            strMessage += QLatin1Char('\n') + strReason;
        return false;
    }
    // The one date FieldDate gives, whichever way it was typed.
    SEventData result;
    result.lYear = date.lYear;
    result.nMonth = static_cast<std::int16_t>(date.nMonth != 0 ? date.nMonth : -1);
    result.bLeapMonth = date.nMonth != 0 && date.bLeap;
    result.nDay = static_cast<std::int16_t>(date.nMonth != 0 && date.nDay != 0 ? date.nDay : -1);
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
