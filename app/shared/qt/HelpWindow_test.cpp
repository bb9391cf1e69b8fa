// The one help opener of Tamber and Nenpyo: without a viewer for the help file, the pages in a
// window of the program's own, one window however often asked; nothing when there are no pages.
#include "HelpWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class HelpWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOneWindowOfThePagesOrNothing()
    {
        QTemporaryDir dir;
        QPointer<CHelpWindow> pWindow;
        const QString strMissing = dir.filePath(QStringLiteral("none.chm"));
        QVERIFY(!CHelpWindow::Open(pWindow, strMissing, dir.path(), QStringLiteral("t"), nullptr));
        QVERIFY(!CHelpWindow::Open(pWindow, strMissing, QString(), QStringLiteral("t"), nullptr));
        QVERIFY(pWindow.isNull());

        QFile page(dir.filePath(QStringLiteral("index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><head><title>ページ</title></head><body>本文</body></html>");
        page.close();
        QVERIFY(CHelpWindow::Open(pWindow, strMissing, dir.path(), QStringLiteral("t"), nullptr));
        QVERIFY(!pWindow.isNull());
        QVERIFY(pWindow->isVisible());
        CHelpWindow* pFirst = pWindow;
        pWindow->hide();
        QVERIFY(CHelpWindow::Open(pWindow, strMissing, dir.path(), QStringLiteral("t"), nullptr));
        QCOMPARE(pWindow.data(), pFirst);
        QVERIFY(pWindow->isVisible());
        delete pWindow;
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindow_test.moc"
