// The progress of a long piece of work: it goes on until the user cancels, and from then on every
// step says to stop, so that a cancelled print or export is not finished anyway.
#include <QtTest>

#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <stdexcept>

#include "WorkProgress.h"

class CWorkProgressTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stepsGoOnUntilTheUserCancels()
    {
        QWidget window;
        window.show();
        CWorkProgress progress(&window, QStringLiteral("印刷しています..."));
        const auto step = progress.Callback();
        auto* pDialog = window.findChild<QProgressDialog*>();
        QVERIFY(pDialog != nullptr);
        for (int n = 0; n <= 50; n += 10) {
            QVERIFY(step(n, 200));
            QCOMPARE(pDialog->maximum(), 200);
            QCOMPARE(pDialog->value(), n);
        }
        // The total may change as the work learns it.
        QVERIFY(step(60, 300));
        QCOMPARE(pDialog->maximum(), 300);
        pDialog->cancel();
        for (const int n : {61, 62, 300})
            QVERIFY(!step(n, 300));
    }

    void theDialogGoesWithTheWork()
    {
        QWidget window;
        {
            CWorkProgress progress(&window, QStringLiteral("PDFに保存しています..."));
            QVERIFY(progress.Step(1, 2));
            QCOMPARE(window.findChildren<QProgressDialog*>().size(), 1);
        }
        QVERIFY(window.findChildren<QProgressDialog*>().isEmpty());
    }

    // Work that cannot report its progress (a save) runs on a thread of its own while the window
    // goes on with its other events (painting, timers); the dialog says what happens once the
    // work takes more than a second; an exception reaches the caller. (The input of the window
    // system that waits meanwhile cannot be made here: posted events are not held back.)
    void busyWorkRunsBesideTheWindowAndHoldsBackInput()
    {
        QWidget window;
        window.show();
        QThread* pWorker = nullptr;
        bool bTimerFired = false;
        std::atomic<bool> bDone = false;
        QTimer::singleShot(20, &window, [&] { bTimerFired = !bDone; });
        QString strShown;
        QTimer::singleShot(1300, &window, [&] {
            for (auto* pDialog : window.findChildren<QProgressDialog*>())
                strShown = pDialog->isVisible() ? pDialog->labelText() : strShown;
        });
        CWorkProgress::RunBusy(&window, QStringLiteral("保存しています..."), [&] {
            pWorker = QThread::currentThread();
            QThread::msleep(1500);
            bDone = true;
        });
        QVERIFY(bDone);
        QVERIFY(pWorker != nullptr && pWorker != QThread::currentThread());
        QVERIFY(bTimerFired);
        QCOMPARE(strShown, QStringLiteral("保存しています..."));
        QVERIFY(window.findChildren<QProgressDialog*>().isEmpty());

        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 CWorkProgress::RunBusy(&window, QStringLiteral("x"), [] { throw std::runtime_error("disk"); }));
    }
};

QTEST_MAIN(CWorkProgressTest)
#include "WorkProgress_test.moc"
