#include "TableTextDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "NenpyoText.h"
#include <shared/qt/QtText.h>

CTableTextDlg::CTableTextDlg(const CString& strName, const CString& strExplanation, QWidget* pParent)
    : QDialog(pParent), m_strName(strName), m_strExplanation(strExplanation)
{
    setWindowTitle(QStringLiteral("年表の名前と説明"));
    m_pName = new QLineEdit(ToQString(strName));
    m_pName->setMinimumWidth(360);
    m_pExplanation = new QPlainTextEdit(ToEditLines(strExplanation));
    m_pExplanation->setTabChangesFocus(true);

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("名前(&N):"), m_pName);
    pForm->addRow(QStringLiteral("説明(&E):"), m_pExplanation);
    QDialogButtonBox* pButtons = NewOkCancel(this);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
}

void CTableTextDlg::accept()
{
    QString strMessage;
    CString strName, strExpl;
    if (!ToCp932(m_pName->text().trimmed(), strName, QStringLiteral("名前"), strMessage) ||
        !EditLinesToCp932(m_pExplanation->toPlainText(), strExpl, QStringLiteral("説明"), strMessage)) {
        QMessageBox::warning(this, windowTitle(), strMessage);
        return;
    }
    m_strName = strName;
    m_strExplanation = strExpl;
    QDialog::accept();
}
