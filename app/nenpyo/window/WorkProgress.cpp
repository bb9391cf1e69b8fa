#include "WorkProgress.h"

#include <chrono>
#include <future>

#include <QCoreApplication>
#include <QElapsedTimer>
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

void CWorkProgress::RunBusy(QWidget* pParent, const QString& strLabel, const std::function<void()>& work)
{
    std::future<void> done = std::async(std::launch::async, work);
    QProgressDialog dialog(strLabel, QString(), 0, 0, pParent);
    dialog.setWindowTitle(QStringLiteral("年表"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setCancelButton(nullptr);
    dialog.setMinimumDuration(1000);
    QElapsedTimer timer;
    timer.start();
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (!dialog.isVisible() && timer.elapsed() >= 1000)
            dialog.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    done.get();   // an exception of the work goes on to the caller
}
