// Tests of the Qt side of the host UI seam and of the text conversions.
#include <QtTest>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include "QtHostUi.h"
#include "QtText.h"

class CQtHostUiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ConvertFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("read filter, one bar at the end")
            << QStringLiteral("元号ﾃﾞｰﾀ (*.lgn)|*.lgn|すべてのﾌｧｲﾙ (*.*)|*.*|")
            << QStringList{QStringLiteral("元号ﾃﾞｰﾀ (*.lgn)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")};
        QTest::newRow("write filter, two bars at the end")
            << QStringLiteral("時代ﾃﾞｰﾀ (*.ler)|*.ler|すべてのﾌｧｲﾙ (*.*)|*.*||")
            << QStringList{QStringLiteral("時代ﾃﾞｰﾀ (*.ler)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")};
        QTest::newRow("description without patterns, several patterns")
            << QStringLiteral("Tables|*.lgn;*.ler|")
            << QStringList{QStringLiteral("Tables (*.lgn *.ler)")};
        QTest::newRow("empty") << QString() << QStringList{};
    }
    void ConvertFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(CQtHostUi::ConvertFilter(filter), expected);
    }

    void MessageBoxIconTitleAndText_data()
    {
        QTest::addColumn<unsigned>("type");
        QTest::addColumn<int>("icon");
        QTest::newRow("exclamation") << MB_ICONEXCLAMATION << int(QMessageBox::Warning);
        QTest::newRow("hand") << MB_ICONHAND << int(QMessageBox::Critical);
        QTest::newRow("question") << MB_ICONQUESTION << int(QMessageBox::Question);
        QTest::newRow("asterisk") << MB_ICONASTERISK << int(QMessageBox::Information);
        QTest::newRow("none") << MB_OK << int(QMessageBox::NoIcon);
    }
    void MessageBoxIconTitleAndText()
    {
        QFETCH(unsigned, type);
        QFETCH(int, icon);
        QCoreApplication::setApplicationName(QStringLiteral("Tamber"));
        const auto pBox = CQtHostUi::MakeMessageBox(CP932("元号の最大年を超えています"), type);
        QCOMPARE(int(pBox->icon()), icon);
        QCOMPARE(pBox->windowTitle(), QStringLiteral("Tamber"));
        QCOMPARE(pBox->text(), QStringLiteral("元号の最大年を超えています"));
        QCOMPARE(pBox->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    // A long path in a message wraps at its separators instead of widening the box off the screen;
    // the words stay as they are.
    void LongPathsWrap()
    {
        QString strPath;
        for (int i = 0; i < 30; ++i)
            strPath += QStringLiteral("/folder_%1").arg(i);
        const auto pBox = CQtHostUi::MakeMessageBox(FromQString(strPath + QStringLiteral(" を読めません。")), MB_ICONEXCLAMATION);
        QString strShown = pBox->text();
        QVERIFY(strShown.contains(QStringLiteral("/") + QChar(0x200B) + QStringLiteral("folder")));
        QCOMPARE(strShown.remove(QChar(0x200B)), strPath + QStringLiteral(" を読めません。"));
        pBox->show();
        QVERIFY2(pBox->width() < 1000, qPrintable(QString::number(pBox->width())));
        pBox->hide();
    }

    void OpenDialogFollowsTheRequest()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ﾗｲﾌﾞﾗﾘ")));
        CString strOld;
        QVERIFY(GetCurrentDir(strOld));
        QVERIFY(QDir::setCurrent(dir.path()));

        SFileRequest request;
        request.bOpen = true;
        request.strTitle = CP932("元号ﾃﾞｰﾀの読込み");
        request.strFilter = CP932("元号ﾃﾞｰﾀ (*.lgn)|*.lgn|すべてのﾌｧｲﾙ (*.*)|*.*|");
        request.strDefExt = "lgn";
        request.strInitialDir = CP932("ﾗｲﾌﾞﾗﾘ");
        request.dwFlags = 0x8100C;
        const auto pDialog = CQtHostUi::MakeFileDialog(request);
        QVERIFY(SetCurrentDir(strOld));

        QCOMPARE(pDialog->windowTitle(), QStringLiteral("元号ﾃﾞｰﾀの読込み"));
        QCOMPARE(pDialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(pDialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(pDialog->nameFilters(),
                 (QStringList{QStringLiteral("元号ﾃﾞｰﾀ (*.lgn)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")}));
        QCOMPARE(pDialog->defaultSuffix(), QStringLiteral("lgn"));
        QCOMPARE(QDir(pDialog->directory()).canonicalPath(),
                 QDir(dir.filePath(QStringLiteral("ﾗｲﾌﾞﾗﾘ"))).canonicalPath());
    }

    void SaveDialogAsksBeforeOverwritingOnlyWhenTold()
    {
        SFileRequest request;
        request.bOpen = false;
        request.strFileName = CP932("近代の元号.lgn");
        request.dwFlags = 0x8000E;
        auto pDialog = CQtHostUi::MakeFileDialog(request);
        QCOMPARE(pDialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!pDialog->testOption(QFileDialog::DontConfirmOverwrite));

        request.dwFlags = OFN_HIDEREADONLY;
        pDialog = CQtHostUi::MakeFileDialog(request);
        QVERIFY(pDialog->testOption(QFileDialog::DontConfirmOverwrite));

        request.bOpen = true;
        pDialog = CQtHostUi::MakeFileDialog(request);
        QCOMPARE(pDialog->fileMode(), QFileDialog::AnyFile);
    }

    // The dialog of a program that keeps native paths: it starts in the folder given natively and
    // gives back a name code page 932 cannot hold as it stands; a cancel gives nothing.
    void NativeDialogGivesAnyName()
    {
        QTemporaryDir dir;
        const QString strFolder = dir.filePath(QStringLiteral("résumé/José"));
        QVERIFY(QDir().mkpath(strFolder));
        SFileRequest request;
        request.bOpen = false;
        request.strNativeInitialDir = strFolder.toStdString();
        request.strNativeFileName = "年表〜.nenpyo";
        CQtHostUi ui;
        QString strStartedIn;
        QTimer::singleShot(0, [&] {
            auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(pDialog != nullptr);
            strStartedIn = pDialog->directory().absolutePath();
            pDialog->selectFile(strFolder + QStringLiteral("/年表〜.nenpyo"));
            static_cast<QDialog*>(pDialog)->accept();   // the dialog's own accept, as its button does
        });
        std::string strChosen;
        QVERIFY(ui.AskNativeFileName(request, strChosen));
        QCOMPARE(strStartedIn, QDir(strFolder).absolutePath());
        QCOMPARE(QString::fromStdString(strChosen), QDir::cleanPath(strFolder + QStringLiteral("/年表〜.nenpyo")));

        QTimer::singleShot(0, [] {
            if (auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                pDialog->reject();
        });
        strChosen = "unchanged";
        QVERIFY(!ui.AskNativeFileName(request, strChosen));
        QCOMPARE(strChosen, std::string("unchanged"));
    }

    void TextConversionAtTheEdge()
    {
        QCOMPARE(ToQString(CP932("甲子(きのえね)")), QStringLiteral("甲子(きのえね)"));
        QCOMPARE(ToQString(CString("\x81", 1)), QStringLiteral("?"));
        QVERIFY(FromQString(QStringLiteral("昭和")) == CP932("昭和"));
        // A character without a code page 932 form spoils only itself.
        QVERIFY(FromQString(QStringLiteral("昭😀和")) == CP932("昭?和"));
    }
};

QTEST_MAIN(CQtHostUiTest)
#include "QtHostUi_test.moc"
