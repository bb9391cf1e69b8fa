// Qt's writers through the atomic writer: an image, and what a failure at each step leaves.
#include "AtomicFileDevice.h"

#include <QImage>
#include <QTest>

#include <functional>

#include "testing/FaultInjectionEnv.h"
#include "testing/TempDir.h"

class AtomicFileDeviceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void AnImageIsWrittenUnderANameCodePage932CannotHold()
    {
        CTempDir dir;
        std::filesystem::create_directories(dir.Path("résumé/José/年表〜"));
        const QString strPath = QString::fromStdString(dir.Native("résumé/José/年表〜/帯〜.png"));
        CFaultInjectionEnv env;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        CAtomicFileDevice device(QtPath(strPath), &env);
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(image.save(&device, "PNG"));
        QVERIFY(device.commit());
        QCOMPARE(env.Steps().back(), std::string("folder sync"));
        QImage back;
        QVERIFY(back.load(strPath));
        QCOMPARE(back.size(), QSize(40, 20));
        QCOMPARE(QtPathText(QtPath(strPath)), strPath);
    }

    void EveryFailureLeavesThePreviousFile()
    {
        CTempDir dir;
        dir.Write("a.png", "previous");
        const std::filesystem::path path = dir.Path("a.png");
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const std::vector<std::function<void(CFaultInjectionEnv&)>> faults = {
            [](CFaultInjectionEnv& env) { env.FailOpen(); }, [](CFaultInjectionEnv& env) { env.FailWrite(1); },
            [](CFaultInjectionEnv& env) { env.FailCommit(); }, [](CFaultInjectionEnv& env) { env.FailRename(); }};
        for (const auto& inject : faults) {
            CFaultInjectionEnv env;
            inject(env);
            CAtomicFileDevice device(path, &env);
            const bool bDone = device.open(QIODevice::WriteOnly) && image.save(&device, "PNG") && device.commit();
            QVERIFY(!bDone);
            QVERIFY(!device.errorString().isEmpty());
            QCOMPARE(dir.Read("a.png"), std::string("previous"));
        }
        // Closed without a commit: nothing changes either.
        {
            CAtomicFileDevice device(path);
            QVERIFY(device.open(QIODevice::WriteOnly));
            QVERIFY(image.save(&device, "PNG"));
        }
        QCOMPARE(dir.Read("a.png"), std::string("previous"));
        CAtomicFileDevice reader(path);
        QVERIFY(!reader.open(QIODevice::ReadOnly));
    }
};

QTEST_MAIN(AtomicFileDeviceTest)
#include "AtomicFileDevice_test.moc"
