// The recent files of Nenpyo's file menu, kept in the program's settings: newest first, each once,
// at most CRecentFiles::kMax, the missing ones dropped, and names told apart by their folder when
// two files share a name.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "NenpyoSettings.h"
#include "RecentFiles.h"

class CRecentFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("HaldrisTest"));
        QCoreApplication::setApplicationName(QStringLiteral("NenpyoRecentFilesTest"));
    }
    void init() { CNenpyoSettings::SetRecentFiles({}); }
    void cleanupTestCase() { QSettings().clear(); }

    void newestFirstEachOnceAtMostTheLimit()
    {
        const struct {
            const char* pszCase;
            QStringList before;
            QString strAdded;
            QStringList after;
        } aCases[] = {
            {"first", {}, "/a", {"/a"}},
            {"newest first", {"/a", "/b"}, "/c", {"/c", "/a", "/b"}},
            {"again moves to the front", {"/a", "/b", "/c"}, "/c", {"/c", "/a", "/b"}},
            {"the first again changes nothing", {"/a", "/b"}, "/a", {"/a", "/b"}},
            {"a stored duplicate goes too", {"/a", "/b", "/a"}, "/a", {"/a", "/b"}},
            {"the oldest falls off", {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"}, "/9",
             {"/9", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
            {"again at the limit keeps all", {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"}, "/8",
             {"/8", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
            {"names differ by case", {"/a"}, "/A", {"/A", "/a"}},
        };
        for (const auto& test : aCases) {
            CNenpyoSettings::SetRecentFiles(test.before);
            CRecentFiles::Add(test.strAdded);
            QCOMPARE(CRecentFiles::Files(), test.after);
            QVERIFY2(CRecentFiles::Files().size() <= CRecentFiles::kMax, test.pszCase);
        }
    }

    void removedAndMissingFilesLeaveTheOthersInOrder()
    {
        CNenpyoSettings::SetRecentFiles({"/a", "/b", "/c"});
        CRecentFiles::Remove(QStringLiteral("/b"));
        QCOMPARE(CRecentFiles::Files(), QStringList({"/a", "/c"}));
        CRecentFiles::Remove(QStringLiteral("/none"));
        QCOMPARE(CRecentFiles::Files(), QStringList({"/a", "/c"}));

        QTemporaryDir dir;
        const QString strHere = dir.filePath(QStringLiteral("年表.nenpyo"));
        const QString strAlso = dir.filePath(QStringLiteral("b.nenpyo"));
        for (const QString& strPath : {strHere, strAlso}) {
            QFile file(strPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString strGone = dir.filePath(QStringLiteral("消えた.nenpyo"));
        const QString strNoFolder = dir.filePath(QStringLiteral("no/such.nenpyo"));
        CNenpyoSettings::SetRecentFiles({strGone, strHere, strNoFolder, strAlso});
        QCOMPARE(CRecentFiles::DropMissing(), QStringList({strGone, strNoFolder}));
        QCOMPARE(CRecentFiles::Files(), QStringList({strHere, strAlso}));
        // Nothing missing: nothing dropped, the list as it was.
        QVERIFY(CRecentFiles::DropMissing().isEmpty());
        QCOMPARE(CRecentFiles::Files(), QStringList({strHere, strAlso}));
    }

    void labelsNameTheFolderOnlyWhereNamesAreShared()
    {
        const QString strA = QDir::cleanPath(QStringLiteral("/data/古代/年表.nenpyo"));
        const QString strB = QDir::cleanPath(QStringLiteral("/data/近代/年表.nenpyo"));
        const QString strC = QDir::cleanPath(QStringLiteral("/data/近代/戦国.nenpyo"));
        const QStringList labels = CRecentFiles::Labels({strA, strB, strC});
        QCOMPARE(labels.size(), 3);
        QCOMPARE(labels[0], QStringLiteral("年表.nenpyo (%1)").arg(QDir::toNativeSeparators(QStringLiteral("/data/古代"))));
        QCOMPARE(labels[1], QStringLiteral("年表.nenpyo (%1)").arg(QDir::toNativeSeparators(QStringLiteral("/data/近代"))));
        QCOMPARE(labels[2], QStringLiteral("戦国.nenpyo"));
        QVERIFY(CRecentFiles::Labels({}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(CRecentFilesTest)
#include "RecentFiles_test.moc"
