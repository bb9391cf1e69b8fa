// The progress of a long piece of work: it goes on until the user cancels, and from then on every
// step says to stop, so that a cancelled print or export is not finished anyway.
#include <QtTest>

#include <QProgressDialog>

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
};

QTEST_MAIN(CWorkProgressTest)
#include "WorkProgress_test.moc"
