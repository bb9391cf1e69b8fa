#include "WorkProgress.h"

#include <QProgressDialog>

CWorkProgress::CWorkProgress(QWidget* pParent, const QString& strLabel)
    : m_pDialog(new QProgressDialog(strLabel, QStringLiteral("キャンセル"), 0, 0, pParent))
{
    m_pDialog->setWindowTitle(QStringLiteral("年表"));
    m_pDialog->setWindowModality(Qt::WindowModal);
    m_pDialog->setMinimumDuration(1000);
    m_pDialog->setAutoClose(false);
    m_pDialog->setAutoReset(false);
}

CWorkProgress::~CWorkProgress()
{
    delete m_pDialog;
}

bool CWorkProgress::Step(int nDone, int nTotal)
{
    if (m_pDialog->maximum() != nTotal)
        m_pDialog->setMaximum(nTotal);
    m_pDialog->setValue(nDone);   // a window-modal dialog lets its events through here
    return !m_pDialog->wasCanceled();
}
