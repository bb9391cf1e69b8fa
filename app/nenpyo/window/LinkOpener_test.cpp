// Opening an event's link: web and mail links at once, a local file only after the user said yes
// to a question that names it, and never a program, a launcher (.desktop) or a scheme the rule
// does not know; each refusal says why and hands nothing to the desktop.
#include <QtTest>

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>

#include "LinkOpener.h"
#include "MessageBoxAnswer_test.h"

// Stands in for the desktop: keeps the links it was handed.
class CDesktop : public QObject {
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public Q_SLOTS:
    void Open(const QUrl& url) { m_urls << url; }
};

namespace {

const char* const kSchemes[] = {"http", "https", "mailto", "file", "ftp", "javascript", "smb"};

bool MakeFile(const QString& strPath, bool bExecutable)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n") < 0)
        return false;
    file.close();
    return !bExecutable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class CLinkOpenerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        for (const char* pszScheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(pszScheme), &m_desktop, "Open");
    }
    void cleanupTestCase()
    {
        for (const char* pszScheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(pszScheme));
    }

    void relativeLinksAreTakenFromTheChronologysFolder()
    {
        const QString strBase = QStringLiteral("/data/年表/日本史.nenpyo");
        const struct {
            const char* pszLink;
            QString strBase;
            QString strExpected;
        } aCases[] = {
            {"資料/地図.png", strBase, "file:///data/年表/資料/地図.png"},
            {"../絵.jpg", strBase, "file:///data/絵.jpg"},
            {"a%20b.txt", strBase, "file:///data/年表/a b.txt"},
            {"/etc/hosts", strBase, "file:///etc/hosts"},
            {"https://example.org/a?b=1", strBase, "https://example.org/a?b=1"},
            {"mailto:a@example.org", strBase, "mailto:a@example.org"},
            {"file:///tmp/x.txt", strBase, "file:///tmp/x.txt"},
            {"資料/地図.png", QString(), "資料/地図.png"},   // no chronology file: as it is
        };
        for (const auto& test : aCases) {
            const QUrl url = CLinkOpener::Resolve(QString::fromUtf8(test.pszLink), test.strBase);
            QCOMPARE(url, QUrl(test.strExpected));
        }
    }

    void theRuleDecidesWhatReachesTheDesktop()
    {
        QTemporaryDir dir;
        const QString strText = dir.filePath(QStringLiteral("メモ.txt"));
        const QString strProgram = dir.filePath(QStringLiteral("run"));
        const QString strLauncher = dir.filePath(QStringLiteral("start.desktop"));
        const QString strWindows = dir.filePath(QStringLiteral("setup.exe"));
        const QString strDisguised = dir.filePath(QStringLiteral("写真.jpg"));
        QVERIFY(MakeFile(strText, false));
        QVERIFY(MakeFile(strProgram, true));
        QVERIFY(MakeFile(strLauncher, false));
        QVERIFY(MakeFile(strWindows, false));
        QVERIFY(QFile::link(strProgram, strDisguised));   // a link to a program, named as a picture

        const struct {
            const char* pszCase;
            QUrl url;
            QMessageBox::StandardButton eAnswer;
            bool bOpened;
            const char* pszMessage;   // a part of the message shown, null for none
        } aCases[] = {
            {"web", QUrl("https://example.org/"), QMessageBox::Ok, true, nullptr},
            {"plain web", QUrl("http://example.org/"), QMessageBox::Ok, true, nullptr},
            {"mail", QUrl("mailto:a@example.org"), QMessageBox::Ok, true, nullptr},
            {"file, agreed", QUrl::fromLocalFile(strText), QMessageBox::Open, true, "このファイルを開きますか"},
            {"file, declined", QUrl::fromLocalFile(strText), QMessageBox::Cancel, false, "このファイルを開きますか"},
            {"program", QUrl::fromLocalFile(strProgram), QMessageBox::Open, false, "プログラムや起動用のファイルは開きません"},
            {"launcher", QUrl::fromLocalFile(strLauncher), QMessageBox::Open, false, "プログラムや起動用のファイルは開きません"},
            {"windows program", QUrl::fromLocalFile(strWindows), QMessageBox::Open, false, "プログラムや起動用のファイルは開きません"},
            {"link to a program", QUrl::fromLocalFile(strDisguised), QMessageBox::Open, false, "プログラムや起動用のファイルは開きません"},
            {"script", QUrl("javascript:alert(1)"), QMessageBox::Ok, false, "このリンクは開けません"},
            {"share", QUrl("smb://server/share"), QMessageBox::Ok, false, "このリンクは開けません"},
            {"invalid", QUrl("http://[::1"), QMessageBox::Ok, false, "このリンクは開けません"},
        };
        CMessageBoxAnswer answer;
        const CLinkOpener opener(nullptr);
        for (const auto& test : aCases) {
            m_desktop.m_urls.clear();
            answer.SetButton(test.eAnswer);
            const bool bOpened = opener.Open(test.url.toString(), test.url);
            QVERIFY2(bOpened == test.bOpened, test.pszCase);
            QCOMPARE(m_desktop.m_urls, test.bOpened ? QList<QUrl>{test.url} : QList<QUrl>{});
            const QStringList texts = answer.Take();
            if (test.pszMessage == nullptr) {
                QVERIFY2(texts.isEmpty(), test.pszCase);
                continue;
            }
            QVERIFY2(texts.size() == 1 && texts[0].contains(QString::fromUtf8(test.pszMessage)), test.pszCase);
            // A file is named in the question or the refusal.
            if (test.url.isLocalFile())
                QVERIFY2(texts[0].contains(test.url.toLocalFile()), test.pszCase);
        }
    }

private:
    CDesktop m_desktop;
};

QTEST_MAIN(CLinkOpenerTest)
#include "LinkOpener_test.moc"
