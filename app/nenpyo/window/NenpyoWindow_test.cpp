// Nenpyo's window on the offscreen platform, on a copy of the sample chronology: each change and
// its undo, the filter, finding, links, exports, the question before unsaved changes are lost, a
// moved folder and a failed save. File dialogs and messages go through a recording host UI.
#include <QtTest>
#include <QCommandLineParser>

#include <filesystem>

#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <shared/qt/QtText.h>

#include "BaseYearDlg.h"
#include "EventDlg.h"
#include "EventModel.h"
#include "NenpyoSettings.h"
#include "NenpyoText.h"
#include "NenpyoWindow.h"
#include "PdfCommand.h"
#include "RecentFiles.h"
#include "RowExport.h"
#include "Sharing.h"
#include "EventTestData_test.h"
#include "testing/FakeHostUi.h"

namespace {

// Everything a user can see of the chronology, to compare states before and after.
std::string Snapshot(CNenpyoWindow& window)
{
    CNenpyoDoc& doc = window.Doc();
    return CRowExport::Csv(doc, PRIORITY_ALL) + Cp932ToUtf8Lossy(doc.Events().GetTableName().View()) +
           Cp932ToUtf8Lossy(doc.Events().GetExplanation().View());
}

QString SelectedText(CNenpyoWindow& window)
{
    const int nRow = window.Model()->RowOf(window.SelectedIndex());
    return window.Model()->data(window.Model()->index(nRow, COLUMN_TEXT)).toString();
}

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files of the chronology as a save to strPath writes them: a changed table is rewritten, an
// unchanged one stays as the last save wrote it.
QByteArray SavedFiles(CNenpyoWindow& window, const QString& strPath)
{
    if (!window.SaveTo(strPath))
        return QByteArray();
    const QString strBase = strPath.chopped(QStringLiteral(".nenpyo").size());
    return ReadAll(strPath) + ReadAll(strBase + QStringLiteral(".lev")) +
           (window.Doc().HasBaseYear() ? ReadAll(strBase + QStringLiteral(".lby")) : QByteArray());
}

// Writes a one-record era or period file (code page 932) and returns its name.
CString WriteTable(const QString& strPath, const char* pszText)
{
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(LiteralToCp932(pszText).GetString());
    CString strName;
    FromNativePath(strPath.toStdString(), strName);
    return strName;
}

// Triggers the menu command with the text, as a click on it does.
void Trigger(CNenpyoWindow& window, const QString& strText)
{
    for (QAction* pAction : window.findChildren<QAction*>()) {
        if (pAction->text() == strText)
            pAction->trigger();
    }
}

// Answers the next modal message box with the button that has the text.
void AnswerNextBox(const QString& strButton)
{
    QTimer::singleShot(0, [strButton] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(pBox != nullptr);
        for (QAbstractButton* pButton : pBox->buttons()) {
            if (pButton->text() == strButton)
                pButton->click();
        }
    });
}

} // namespace

class CNenpyoWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_strDoc;
    std::vector<QUrl> m_openedUrls;

public Q_SLOTS:
    void OpenUrl(const QUrl& url) { m_openedUrls.push_back(url); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "OpenUrl");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    // A fresh copy of the sample and of the era and period files before every test.
    void init()
    {
        QVERIFY(m_dir.isValid());
        std::filesystem::remove_all(m_dir.path().toStdString() + "/copy");
        const std::filesystem::path copy = m_dir.path().toStdString() + "/copy";
        std::filesystem::create_directories(copy);
        std::filesystem::copy(NENPYO_TEST_DATA_DIR "/年表", copy / "年表");
        std::filesystem::copy(NENPYO_TEST_DATA_DIR "/ﾗｲﾌﾞﾗﾘ", copy / "ﾗｲﾌﾞﾗﾘ");
        m_strDoc = m_dir.path() + QStringLiteral("/copy/年表/日本史.nenpyo");
        m_openedUrls.clear();
    }

    void undoOfOneChangeKeepsTheOthersUnsaved()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        const auto eraOf1600 = [&window] {
            window.GoToYear(1600);
            const int nRow = window.Model()->RowOf(window.SelectedIndex());
            return window.Model()->data(window.Model()->index(nRow, COLUMN_ERA_YEAR)).toString();
        };
        window.Chronology().AddEvent(Event(2024, "新しい出来事"));
        ui.ChooseNext(WriteTable(m_dir.path() + QStringLiteral("/eras.lgn"), "[元号], 1\r\n明治だけ\r\n\r\n明治,1868,1912,\r\n"));
        Trigger(window, QStringLiteral("元号ファイルを選ぶ(&G)..."));
        QCOMPARE(eraOf1600(), QString());
        window.UndoStack()->undo();
        QVERIFY(window.Chronology().IsModified());
        AnswerNextBox(QStringLiteral("キャンセル"));
        QVERIFY(!window.close());
        QCOMPARE(eraOf1600(), QStringLiteral("慶長5年"));

        window.UndoStack()->undo();   // back to the files as they are: nothing to ask
        QVERIFY(!window.Chronology().IsModified());
        QVERIFY(window.close());
        window.UndoStack()->redo();
        window.UndoStack()->redo();
        QCOMPARE(eraOf1600(), QString());
        QVERIFY(window.Chronology().IsModified());
    }

    void everyChangeUndoesAndRedoesAndKeepsTheSelection()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        const QString strMerge = m_dir.path() + QStringLiteral("/merge.lev");
        {
            CYearEvent other;
            other.SetData(Event(1601, "併合した出来事"), true, -1, PRIORITY_ALL);
            QVERIFY(other.Save(LiteralToCp932(strMerge.toStdString().c_str())).Ok());
        }
        CBaseYear baseYear = window.Doc().BaseYear();
        baseYear.SetBaseWesternYear(1868);
        const CString strEras = WriteTable(m_dir.path() + QStringLiteral("/eras.lgn"), "[元号], 1\r\n明治だけ\r\n\r\n明治,1868,1912,\r\n");
        const CString strPeriods = WriteTable(m_dir.path() + QStringLiteral("/periods.ler"), "[時代], 1\r\n一つ\r\n\r\n戦国,1467,1590,\r\n");
        // Every snapshot of the files is a save to the same place, after a first save as.
        const QString strSaved = m_dir.path() + QStringLiteral("/saved/saved.nenpyo");
        QVERIFY(QDir().mkpath(m_dir.path() + QStringLiteral("/saved")));
        QVERIFY(!SavedFiles(window, strSaved).isEmpty());

        const struct {
            const char* pszName;
            std::function<bool()> change;
            QString strSelected;   // the event text selected after the change; empty: any
        } aChanges[] = {
            {"add", [&] { window.Chronology().AddEvent(Event(1600, "追加した出来事")); return true; }, QStringLiteral("追加した出来事")},
            {"edit", [&] { return window.EditSelected(Event(1999, "直した出来事", 1)); }, QStringLiteral("直した出来事")},
            {"delete", [&] { return window.DeleteSelected(); }, QString()},
            {"move up", [&] { return window.MoveSelected(true); }, QStringLiteral("本能寺の変")},
            {"move down", [&] { return window.MoveSelected(false); }, QStringLiteral("本能寺の変")},
            {"merge", [&] { return window.MergeFile(strMerge); }, QStringLiteral("本能寺の変")},
            {"table text", [&] { window.Chronology().SetTableText(CP932("新しい名前"), CP932("説明")); return true; }, QString()},
            {"base year", [&] { window.Chronology().SetBaseYear(baseYear, true); return true; }, QString()},
            {"no base year", [&] { window.Chronology().SetBaseYear(baseYear, false); return true; }, QString()},
            {"era file", [&] { ui.ChooseNext(strEras); return window.ChooseEraFile(HEADER_GENGOU); }, QString()},
            {"period file", [&] { ui.ChooseNext(strPeriods); return window.ChooseEraFile(HEADER_JIDAI); }, QString()},
        };
        for (const auto& test : aChanges) {
            window.GoToYear(1582);
            QVERIFY(window.FindText(QStringLiteral("本能寺"), true));
            const std::string strBefore = Snapshot(window);
            const QByteArray before = SavedFiles(window, strSaved);
            QVERIFY2(test.change(), test.pszName);
            const std::string strAfter = Snapshot(window);
            QVERIFY2(strAfter != strBefore, test.pszName);
            QVERIFY2(window.Chronology().IsModified(), test.pszName);
            if (!test.strSelected.isEmpty())
                QCOMPARE(SelectedText(window), test.strSelected);
            window.UndoStack()->undo();
            QVERIFY2(Snapshot(window) == strBefore, test.pszName);
            QVERIFY2(!window.Chronology().IsModified(), test.pszName);
            QVERIFY2(SavedFiles(window, strSaved) == before, test.pszName);
            window.UndoStack()->redo();
            QVERIFY2(Snapshot(window) == strAfter, test.pszName);
            const QByteArray after = SavedFiles(window, strSaved);
            QVERIFY2(after != before, test.pszName);
            window.UndoStack()->undo();
            QVERIFY2(SavedFiles(window, strSaved) == before, test.pszName);
            window.UndoStack()->redo();
            QVERIFY2(SavedFiles(window, strSaved) == after, test.pszName);
            window.UndoStack()->undo();
        }
        QVERIFY(ui.m_messages.empty());
    }

    void moveAcrossAHiddenEventIsRefusedAndAMoveUndoesUnderAnyFilter()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        window.SetFilter(PRIORITY_HIGH);
        QVERIFY(window.FindText(QStringLiteral("本能寺"), true));
        QVERIFY(!window.MoveSelected(false));   // 山崎の戦い (1582, priority 1) is hidden below
        QCOMPARE(ui.m_messages.size(), std::size_t{1});
        QVERIFY(ui.LastMessageUtf8().find("「表示」→「表示優先度」") != std::string::npos);
        QVERIFY(window.UndoStack()->count() == 0);

        // Moved with every event shown, the move undoes and redoes with the neighbour hidden.
        window.SetFilter(PRIORITY_ALL);
        const std::string strBefore = Snapshot(window);
        QVERIFY(window.MoveSelected(false));
        const std::string strAfter = Snapshot(window);
        window.SetFilter(PRIORITY_HIGH);
        window.UndoStack()->undo();
        QVERIFY(Snapshot(window) == strBefore);
        QCOMPARE(SelectedText(window), QStringLiteral("本能寺の変"));
        window.UndoStack()->redo();
        QVERIFY(Snapshot(window) == strAfter);
        QCOMPARE(ui.m_messages.size(), std::size_t{1});
    }

    // A chronology whose folder and files have names code page 932 cannot hold (and 〜, whose
    // look-alike ～ would name another file) opens, saves, saves as, reopens, exports and prints.
    void aChronologyOutsideCodePage932NamesKeepsItsNames()
    {
        CFakeHostUi ui;
        const std::filesystem::path folder = ToPath(m_dir.path()) / u8"résumé" / u8"José" / u8"年表〜";
        std::filesystem::create_directories(folder);
        const std::filesystem::path copy = ToPath(m_dir.path()) / "copy";
        std::filesystem::copy_file(copy / u8"年表/日本史.lev", folder / u8"波〜線.lev");
        std::filesystem::copy_file(copy / u8"年表/日本史.lby", folder / u8"波〜線.lby");
        std::filesystem::copy_file(copy / u8"ﾗｲﾌﾞﾗﾘ/元号.lgn", folder / u8"元号〜.lgn");
        QFile document(FromPath(folder / u8"波〜線.nenpyo"));
        QVERIFY(document.open(QIODevice::WriteOnly));
        document.write("[年表], 1\r\n出来事=波〜線.lev\r\n基点年=波〜線.lby\r\n元号=元号〜.lgn\r\n");
        document.close();

        CNenpyoWindow window;
        QVERIFY(window.OpenFile(FromPath(folder / u8"波〜線.nenpyo")));
        QVERIFY(window.Doc().Warnings().empty());
        QCOMPARE(window.Doc().ErasPath(), folder / u8"元号〜.lgn");
        QVERIFY(window.windowTitle().startsWith(QStringLiteral("波〜線.nenpyo")));
        const int nEvents = window.Doc().Events().GetLen();
        window.Chronology().AddEvent(Event(2024, "足した出来事"));
        QVERIFY(window.Files().Save());
        QVERIFY(!window.Chronology().IsModified());
        QVERIFY(!std::filesystem::exists(folder / u8"波～線.lev"));   // never the look-alike

        // Save as, chosen in the dialog: the dialog starts in the chronology's folder.
        ui.ChooseNextNative(CNenpyoDoc::Utf8(folder / u8"José〜.nenpyo"));
        QVERIFY(window.Files().SaveAs());
        QCOMPARE(QString::fromStdString(ui.m_requests.back().strNativeInitialDir), FromPath(folder));
        // The tables by their own names; the default period file, which the document did not name,
        // from wherever it is.
        QVERIFY(ReadAll(FromPath(folder / u8"José〜.nenpyo"))
                    .startsWith("[年表], 1\r\n出来事=José〜.lev\r\n基点年=José〜.lby\r\n元号=元号〜.lgn\r\n時代="));
        CNenpyoWindow reopened;
        QVERIFY(reopened.OpenFile(FromPath(folder / u8"José〜.nenpyo")));
        QCOMPARE(reopened.Doc().Events().GetLen(), nEvents + 1);
        QCOMPARE(reopened.Doc().ErasPath(), folder / u8"元号〜.lgn");
        QVERIFY(Snapshot(reopened) == Snapshot(window));
        // The first file still holds what the save before wrote.
        CNenpyoWindow first;
        QVERIFY(first.OpenFile(FromPath(folder / u8"波〜線.nenpyo")));
        QVERIFY(Snapshot(first) == Snapshot(window));

        // Exports, the web page, the PDF and the picture go to such names as well.
        const QString strOut = FromPath(folder) + QStringLiteral("/出力〜");
        QVERIFY(reopened.Sharing().ExportCsv(strOut + QStringLiteral(".csv")));
        QVERIFY(reopened.Sharing().ExportHtml(strOut + QStringLiteral(".html")));
        QVERIFY(reopened.Sharing().ExportWebPage(strOut + QStringLiteral("-page.html")));
        QVERIFY(reopened.Sharing().PrintToPdf(strOut + QStringLiteral(".pdf")));
        QVERIFY(reopened.Sharing().SaveImage(strOut + QStringLiteral(".png")));
        for (const char* pszSuffix : {".csv", ".html", "-page.html", ".pdf", ".png"})
            QVERIFY2(ReadAll(strOut + QLatin1String(pszSuffix)).size() > 100, pszSuffix);
        QVERIFY(ReadAll(strOut + QStringLiteral(".csv")).contains("足した出来事"));

        // A file that cannot be read is named in the message as it is.
        QVERIFY(!reopened.OpenFile(FromPath(folder / u8"ない〜.nenpyo")));
        QVERIFY2(ui.LastMessageUtf8().find("résumé/José/年表〜/ない〜.nenpyo") != std::string::npos,
                 ui.LastMessageUtf8().c_str());
    }

    void saveAsOfAnUnchangedChronologyWritesEveryFileUnderTheNewName()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        const QString strFolder = m_dir.path() + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(strFolder));
        QVERIFY(window.SaveTo(strFolder + QStringLiteral("/写し.nenpyo")));
        QVERIFY(!window.Chronology().IsModified());
        // The tables are the same bytes under the new name; the document names them and the
        // shared era and period files from its own folder.
        const QString strOld = m_dir.path() + QStringLiteral("/copy/年表/日本史");
        for (const char* pszSuffix : {".lev", ".lby"})
            QCOMPARE(ReadAll(strFolder + QStringLiteral("/写し") + QLatin1String(pszSuffix)),
                     ReadAll(strOld + QLatin1String(pszSuffix)));
        QCOMPARE(ReadAll(strFolder + QStringLiteral("/写し.nenpyo")),
                 QStringLiteral("[年表], 1\r\n出来事=写し.lev\r\n基点年=写し.lby\r\n元号=../copy/ﾗｲﾌﾞﾗﾘ/元号.lgn\r\n"
                                "時代=../copy/ﾗｲﾌﾞﾗﾘ/時代.ler\r\n").toUtf8());

        CNenpyoWindow reopened;
        QVERIFY(reopened.OpenFile(strFolder + QStringLiteral("/写し.nenpyo")));
        QVERIFY(reopened.Doc().Warnings().empty());
        QVERIFY(reopened.Doc().HasBaseYear());
        QVERIFY(Snapshot(reopened) == Snapshot(window));
        QVERIFY(ui.m_messages.empty());
    }

    void filterGoToYearFindAndLinks()
    {
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        QCOMPARE(window.Model()->rowCount(), window.Doc().Events().GetLen());
        window.SetFilter(PRIORITY_HIGH);
        const int nHigh = window.Model()->rowCount();
        QVERIFY(nHigh > 0 && nHigh < window.Doc().Events().GetLen());
        window.SetFilter(PRIORITY_MIDDLE);
        QVERIFY(window.Model()->rowCount() > nHigh);

        QVERIFY(window.GoToYear(1599));   // the nearest event: 1600
        QCOMPARE(SelectedText(window), QStringLiteral("関ヶ原の戦い"));
        QVERIFY(window.GoToYear(99999));   // after the last: the last row
        QCOMPARE(window.Model()->RowOf(window.SelectedIndex()), window.Model()->rowCount() - 1);

        window.GoToYear(1600);
        QVERIFY(window.FindText(QStringLiteral("幕府"), true));
        QCOMPARE(SelectedText(window), QStringLiteral("徳川家康が征夷大将軍となり、江戸幕府を開く"));
        QVERIFY(window.FindText(QStringLiteral("幕府"), false));
        QCOMPARE(SelectedText(window), QStringLiteral("室町幕府が滅びる"));
        const int nSelected = window.SelectedIndex();
        QVERIFY(!window.FindText(QStringLiteral("見つからない文字"), true));
        QCOMPARE(window.SelectedIndex(), nSelected);

        // A link opens on a click on its words and on Enter; a row without one opens nothing. Only
        // the linked words are a link: 鉄砲 of 「鉄砲が種子島に伝わる」.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int nChar = window.View()->fontMetrics().horizontalAdvance(QChar(0x5E74));
        const auto ClickText = [&](int nChars) {
            const QModelIndex cell = window.Model()->index(window.Model()->RowOf(window.SelectedIndex()), COLUMN_TEXT);
            const QRect rect = window.View()->visualRect(cell);
            QTest::mouseClick(window.View()->viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + nChar / 2 + nChars * nChar, rect.center().y()));
            return cell;
        };
        window.GoToYear(1543);
        const QModelIndex gun = ClickText(4);
        QCOMPARE(window.Model()->data(gun, CEventModel::LinkRangesRole).toList(),
                 QVariantList({QVariantList({0, 2, QStringLiteral("https://ja.wikipedia.org/wiki/鉄砲伝来")})}));
        QVERIFY(m_openedUrls.empty());
        ClickText(1);
        QCOMPARE(m_openedUrls.size(), std::size_t{1});
        m_openedUrls.clear();
        window.GoToYear(1600);
        const QModelIndex cell = ClickText(2);
        QCOMPARE(window.Model()->data(cell, CEventModel::LinkRole).toString(),
                 QStringLiteral("https://ja.wikipedia.org/wiki/関ヶ原の戦い"));
        QTest::keyClick(window.View(), Qt::Key_Return);
        QCOMPARE(m_openedUrls.size(), std::size_t{2});
        QCOMPARE(m_openedUrls[0].toString(), QStringLiteral("https://ja.wikipedia.org/wiki/関ヶ原の戦い"));
        QVERIFY(window.FindText(QStringLiteral("桶狭間"), false));
        QVERIFY(!window.OpenSelectedLink());
    }

    void exportsWriteTheShownRows()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        window.SetFilter(PRIORITY_HIGH);
        const QString strCsv = m_dir.path() + QStringLiteral("/high.csv");
        QVERIFY(window.Sharing().ExportCsv(strCsv));
        QFile csv(strCsv);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), window.Model()->rowCount() + 1);
        QVERIFY(window.Sharing().ExportHtml(m_dir.path() + QStringLiteral("/high.html")));
        QVERIFY(window.Sharing().PrintToPdf(m_dir.path() + QStringLiteral("/high.pdf")));
        QVERIFY(QFileInfo(m_dir.path() + QStringLiteral("/high.pdf")).size() > 1000);
        // With the band picture: the same rows after a page of their own.
        const auto PdfPages = [this](const QString& strName) {
            QFile pdf(m_dir.path() + strName);
            const QRegularExpression count(QStringLiteral("/Count (\\d+)"));
            return pdf.open(QIODevice::ReadOnly) ? count.match(QString::fromLatin1(pdf.readAll())).captured(1).toInt() : -1;
        };
        CNenpyoSettings::SetPrintsBand(true);
        QVERIFY(window.Sharing().PrintToPdf(m_dir.path() + QStringLiteral("/band.pdf")));
        CNenpyoSettings::SetPrintsBand(false);
        QVERIFY(PdfPages(QStringLiteral("/high.pdf")) > 0);
        QCOMPARE(PdfPages(QStringLiteral("/band.pdf")), PdfPages(QStringLiteral("/high.pdf")) + 1);
        QVERIFY(!window.Sharing().ExportCsv(m_dir.path() + QStringLiteral("/no/such/folder/x.csv")));
        QCOMPARE(ui.m_messages.size(), std::size_t{1});
    }

    void unsavedChangesAreAskedAbout()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        QVERIFY(window.MaybeSave());   // nothing to ask
        window.Chronology().AddEvent(Event(2024, "新しい出来事"));

        AnswerNextBox(QStringLiteral("キャンセル"));
        QVERIFY(!window.MaybeSave());
        AnswerNextBox(QStringLiteral("保存しない(&N)"));
        QVERIFY(window.MaybeSave());
        QVERIFY(window.Chronology().IsModified());
        AnswerNextBox(QStringLiteral("保存(&S)"));
        QVERIFY(window.MaybeSave());
        QVERIFY(!window.Chronology().IsModified());

        CNenpyoWindow reopened;
        QVERIFY(reopened.OpenFile(m_strDoc));
        QCOMPARE(reopened.Doc().Events().GetLen(), window.Doc().Events().GetLen());
        QVERIFY(ui.m_messages.empty());
    }

    void movedFolderOpensAndFailedSaveKeepsTheFiles()
    {
        CFakeHostUi ui;
        {
            CNenpyoWindow window;
            QVERIFY(window.OpenFile(m_strDoc));
            window.Chronology().AddEvent(Event(2024, "移す前の出来事"));
            QVERIFY(window.SaveTo(m_strDoc));
        }
        const QString strMoved = m_dir.path() + QStringLiteral("/moved");
        QVERIFY(QDir().rename(m_dir.path() + QStringLiteral("/copy"), strMoved));
        const QString strDoc = strMoved + QStringLiteral("/年表/日本史.nenpyo");
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(strDoc));
        QVERIFY(window.FindText(QStringLiteral("移す前の出来事"), true));
        QCOMPARE(window.Model()->data(window.Model()->index(0, COLUMN_ERA_YEAR)).toString(), QStringLiteral(""));
        QVERIFY(window.GoToYear(1600));
        const int nRow = window.Model()->RowOf(window.SelectedIndex());
        QCOMPARE(window.Model()->data(window.Model()->index(nRow, COLUMN_ERA_YEAR)).toString(), QStringLiteral("慶長5年"));
        QCOMPARE(window.Model()->data(window.Model()->index(nRow, COLUMN_PERIOD)).toString(), QStringLiteral("安土桃山時代"));

        // Save as under a plain file fails: a message, the previous files as they were, still unsaved.
        QFile lev(strMoved + QStringLiteral("/年表/日本史.lev"));
        QVERIFY(lev.open(QIODevice::ReadOnly));
        const QByteArray before = lev.readAll();
        lev.close();
        window.DeleteSelected();
        QVERIFY(!window.SaveTo(strMoved + QStringLiteral("/年表/日本史.lev/x.nenpyo")));
        QCOMPARE(ui.m_messages.size(), std::size_t{1});
        QVERIFY(window.Chronology().IsModified());
        QVERIFY(lev.open(QIODevice::ReadOnly));
        QCOMPARE(lev.readAll(), before);
    }

    // A cut event file: the message, then the rows read before the cut, marked as recovered;
    // saving asks for a new name and leaves the damaged file as it was.
    void cutFileOpensRecoveredAndSavesUnderANewName()
    {
        CFakeHostUi ui;
        QFile lev(m_dir.path() + QStringLiteral("/copy/年表/日本史.lev"));
        QVERIFY(lev.open(QIODevice::ReadWrite));
        QByteArray cut = lev.readAll();
        cut.truncate(cut.size() / 2);
        cut.truncate(cut.lastIndexOf('\n') + 1);
        cut += "1700";
        QVERIFY(lev.resize(0) && lev.write(cut) == cut.size());
        lev.close();
        const int nWhole = static_cast<int>(cut.count('\n')) - 4;

        CNenpyoWindow window;
        AnswerNextBox(QStringLiteral("開かない"));
        QVERIFY(!window.OpenFile(m_strDoc));
        AnswerNextBox(QStringLiteral("読めた所までを開く(&O)"));
        QVERIFY(window.OpenFile(m_strDoc));
        QCOMPARE(window.Doc().Events().GetLen(), nWhole);
        QVERIFY(window.windowTitle().contains(QStringLiteral("(復元)")));
        QVERIFY(window.Chronology().IsModified());

        const QString strNew = m_dir.path() + QStringLiteral("/copy/年表/復元.nenpyo");
        ui.ChooseNext(LiteralToCp932(strNew.toStdString().c_str()));
        const QList<QAction*> actions = window.findChildren<QAction*>();
        const auto save = std::find_if(actions.begin(), actions.end(),
                                       [](QAction* pAction) { return pAction->text() == QStringLiteral("上書き保存(&S)"); });
        QVERIFY(save != actions.end());
        (*save)->trigger();
        QCOMPARE(ui.m_requests.size(), std::size_t{1});
        QVERIFY(!window.Chronology().IsModified());
        QVERIFY(!window.windowTitle().contains(QStringLiteral("(復元)")));
        QVERIFY(lev.open(QIODevice::ReadOnly));
        QCOMPARE(lev.readAll(), cut);
        CNenpyoWindow reopened;
        QVERIFY(reopened.OpenFile(strNew));
        QCOMPARE(reopened.Doc().Events().GetLen(), nWhole);
        QVERIFY(ui.m_messages.empty());
    }

    // A file cut inside a line reads whole to the lenient reader: the check finds the cut, the
    // chronology opens recovered (all of it as read, or only what stands before the cut), Ctrl+S
    // proposes a new name and the damaged file stays byte for byte.
    void fileCutInsideALineOpensRecoveredAndCtrlSProposesANewName()
    {
        CFakeHostUi ui;
        QFile lev(m_dir.path() + QStringLiteral("/copy/年表/日本史.lev"));
        QVERIFY(lev.open(QIODevice::ReadWrite));
        const QByteArray whole = lev.readAll();
        QByteArray cut = whole.left(9557);
        QVERIFY(!cut.endsWith('\n'));
        QVERIFY(lev.resize(0) && lev.write(cut) == cut.size());
        lev.close();
        const int nLine = static_cast<int>(cut.count('\n')) + 1;

        for (const QString& strAnswer : {QStringLiteral("読めたとおりに開く(&A)"), QStringLiteral("読めた所までを開く(&O)")}) {
            CNenpyoWindow window;
            AnswerNextBox(strAnswer);
            QVERIFY(window.OpenFile(m_strDoc));
            // The records before the cut line, and with "as read" the cut record too.
            const int nBefore = nLine - 5;
            QCOMPARE(window.Doc().Events().GetLen(), nBefore + (strAnswer.contains(QStringLiteral("とおり")) ? 1 : 0));
            QVERIFY(window.windowTitle().contains(QStringLiteral("(復元)")));
            QVERIFY(window.Chronology().IsModified());

            ui.m_requests.clear();
            const QString strNew = m_dir.path() + QStringLiteral("/copy/年表/復元%1.nenpyo").arg(strAnswer.contains(QStringLiteral("とおり")) ? 1 : 2);
            ui.ChooseNext(LiteralToCp932(strNew.toStdString().c_str()));
            // Ctrl+S reaches the window as a shortcut only when it is shown and active.
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTest::keySequence(&window, QKeySequence(QKeySequence::Save));
            QCOMPARE(ui.m_requests.size(), std::size_t{1});
            QVERIFY(ui.m_requests[0].strNativeFileName.find("日本史(復元).nenpyo") !=
                    std::string::npos);
            QVERIFY(!window.Chronology().IsModified());
            QVERIFY(lev.open(QIODevice::ReadOnly));
            QCOMPARE(lev.readAll(), cut);
            lev.close();
        }
        QVERIFY(ui.m_messages.empty());
    }

    // nenpyo --pdf refuses a file the check finds damaged, naming the line; --partial prints what
    // stands before it.
    void pdfOfADamagedFileNeedsPartial()
    {
        QFile lev(m_dir.path() + QStringLiteral("/copy/年表/日本史.lev"));
        QVERIFY(lev.open(QIODevice::ReadWrite));
        const QByteArray cut = lev.readAll().left(9557);
        QVERIFY(lev.resize(0) && lev.write(cut) == cut.size());
        lev.close();
        const QString strPdf = m_dir.path() + QStringLiteral("/copy/out.pdf");
        const auto Run = [&](const QStringList& extra) {
            QCommandLineParser parser;
            CPdfCommand::AddOptions(parser);
            const QStringList args = QStringList{QStringLiteral("nenpyo"), QStringLiteral("--pdf"), strPdf} + extra +
                                     QStringList{m_strDoc};
            return parser.parse(args) ? CPdfCommand::Run(parser) : -1;
        };
        QCOMPARE(Run({}), 1);
        QVERIFY(!QFile::exists(strPdf));
        QCOMPARE(Run({QStringLiteral("--partial")}), 0);
        QVERIFY(QFileInfo(strPdf).size() > 1000);
    }

    // Save as into another folder names the tables by clean relative names, so renaming a folder
    // the old names went through changes nothing; a table that is gone is named with its stand-in.
    void savedNamesAreCleanAndMissingTablesAreNamed()
    {
        CFakeHostUi ui;
        const QString strCopy = m_dir.path() + QStringLiteral("/copy");
        QVERIFY(QDir().mkpath(strCopy + QStringLiteral("/moved/データ")));
        const QString strDoc = strCopy + QStringLiteral("/moved/データ/日本史.nenpyo");
        {
            CNenpyoWindow window;
            QVERIFY(window.OpenFile(m_strDoc));
            QVERIFY(window.SaveTo(strDoc));
        }
        QFile doc(strDoc);
        QVERIFY(doc.open(QIODevice::ReadOnly));
        const QString strText = QString::fromUtf8(doc.readAll());
        doc.close();
        QVERIFY2(strText.contains(QStringLiteral("元号=../../ﾗｲﾌﾞﾗﾘ/元号.lgn\r\n")), qPrintable(strText));
        QVERIFY(QDir().rename(strCopy + QStringLiteral("/年表"), strCopy + QStringLiteral("/年表の古い版")));
        {
            CNenpyoWindow window;
            QVERIFY(window.OpenFile(strDoc));
            QVERIFY(window.Doc().Warnings().empty());
            QVERIFY(window.Doc().Eras().GetSize() > 200);
            QVERIFY(window.Doc().Periods().GetSize() > 10);
            QVERIFY(window.Doc().HasBaseYear());
        }
        QVERIFY(ui.m_messages.empty());

        QVERIFY(QFile::remove(strCopy + QStringLiteral("/ﾗｲﾌﾞﾗﾘ/時代.ler")));
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(strDoc));
        QCOMPARE(ui.m_messages.size(), std::size_t{1});
        const std::string strMessage = ui.LastMessageUtf8();
        QVERIFY2(strMessage.find("時代.ler の読込みに失敗しました") != std::string::npos &&
                     strMessage.find("。代わりに ") != std::string::npos,
                 strMessage.c_str());
    }

    // Find goes round from the other end, saying so and how many there are; recent files drop
    // those that are gone and tell equal names apart by their folders.
    void findWrapsAroundAndRecentFilesDropTheGone()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        QVERIFY(window.FindText(QStringLiteral("関ヶ原"), true));
        QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("1件")));
        const int nFound = window.SelectedIndex();
        QVERIFY(window.FindText(QStringLiteral("関ヶ原"), true));
        QCOMPARE(window.SelectedIndex(), nFound);
        QVERIFY(window.statusBar()->currentMessage().startsWith(QStringLiteral("先頭から検索しました。")));
        window.GoToYear(1000);
        QVERIFY(window.FindText(QStringLiteral("関ヶ原"), false));
        QCOMPARE(window.SelectedIndex(), nFound);
        QVERIFY(window.statusBar()->currentMessage().startsWith(QStringLiteral("末尾から検索しました。")));
        QVERIFY(!window.FindText(QStringLiteral("ない言葉"), true));
        QCOMPARE(window.SelectedIndex(), nFound);

        const QString strOther = m_dir.path() + QStringLiteral("/copy/別/日本史.nenpyo");
        QVERIFY(QDir().mkpath(QFileInfo(strOther).path()));
        QVERIFY(window.SaveTo(strOther));
        QVERIFY(window.OpenFile(m_strDoc));
        const QStringList files = CRecentFiles::Files();
        QCOMPARE(files.mid(0, 2), QStringList({m_strDoc, strOther}));
        const QStringList labels = CRecentFiles::Labels(files);
        QCOMPARE(labels[0], QStringLiteral("日本史.nenpyo (%1)").arg(QFileInfo(m_strDoc).absolutePath()));
        QVERIFY(QFile::remove(strOther));
        QVERIFY(CRecentFiles::DropMissing().contains(strOther));   // and those of the tests before
        for (const QString& strPath : CRecentFiles::Files())
            QVERIFY(QFileInfo::exists(strPath));
        QCOMPARE(CRecentFiles::Labels({m_strDoc, strOther + QStringLiteral(".x")}),
                 QStringList({QStringLiteral("日本史.nenpyo"), QStringLiteral("日本史.nenpyo.x")}));
    }

    // The shipped sample opens read-only: a save asks for a new name and the sample stays as it
    // was. Saved elsewhere, the chronology is an ordinary one, and the dialogs start in its folder
    // and propose its name.
    void sampleOpensReadOnlyAndDialogsFollowTheDocument()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        const QString strSample = FromPath(window.Session().SampleFile());
        const QByteArray before = ReadAll(strSample);
        QVERIFY(!before.isEmpty());
        QVERIFY(window.OpenFile(strSample));
        QVERIFY(window.Chronology().IsReadOnly());
        QVERIFY(window.windowTitle().contains(QStringLiteral("(読み取り専用)")));
        QVERIFY(!CRecentFiles::Files().contains(QFileInfo(strSample).absoluteFilePath()));
        window.Chronology().AddEvent(Event(2024, "サンプルに足した出来事"));
        ui.CancelNext();
        QVERIFY(!window.Files().Save());
        QCOMPARE(ui.m_requests.size(), std::size_t{1});
        QVERIFY(!ui.m_requests.back().bOpen);
        QCOMPARE(QString::fromStdString(ui.m_requests.back().strNativeFileName), QStringLiteral("日本史.nenpyo"));
        QCOMPARE(ReadAll(strSample), before);

        const QString strFolder = m_dir.path() + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(strFolder));
        QVERIFY(window.SaveTo(strFolder + QStringLiteral("/mine.nenpyo")));
        QVERIFY(!window.Chronology().IsReadOnly());
        QVERIFY(!window.Chronology().IsModified());
        QCOMPARE(ReadAll(strSample), before);
        ui.CancelNext();
        QVERIFY(!window.ChooseEraFile(HEADER_GENGOU));
        QCOMPARE(QString::fromStdString(ui.m_requests.back().strNativeInitialDir), strFolder);
        ui.CancelNext();
        Trigger(window, QStringLiteral("画像に保存(&I)..."));
        QCOMPARE(QString::fromStdString(ui.m_requests.back().strNativeFileName), QStringLiteral("mine.png"));
        QCOMPARE(QString::fromStdString(ui.m_requests.back().strNativeInitialDir), strFolder);
    }

    // The window's size is remembered when it closes.
    void windowSizeIsRemembered()
    {
        {
            CNenpyoWindow window;
            window.show();
            window.resize(1111, 777);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.close());
        }
        CNenpyoWindow window;
        QCOMPARE(window.size(), QSize(1111, 777));
    }

    // A file: link opens only after the user agreed, the question naming the file; a program or a
    // launcher never opens.
    void localFileLinksAskFirstAndProgramsNeverOpen()
    {
        CNenpyoWindow window;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
        const QString strNote = m_dir.path() + QStringLiteral("/note.txt");
        const QString strLauncher = m_dir.path() + QStringLiteral("/run.desktop");
        const QString strTool = m_dir.path() + QStringLiteral("/tool");
        for (const QString& strPath : {strNote, strLauncher, strTool}) {
            QFile file(strPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        QVERIFY(QFile::setPermissions(strTool, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString strNoteUrl = QUrl::fromLocalFile(strNote).toString();
        AnswerNextBox(QStringLiteral("開かない"));
        QVERIFY(!window.OpenLink(strNoteUrl));
        QVERIFY(m_openedUrls.empty());
        AnswerNextBox(QStringLiteral("開く(&O)"));
        QVERIFY(window.OpenLink(strNoteUrl));
        QCOMPARE(m_openedUrls.size(), std::size_t{1});
        for (const QString& strPath : {strLauncher, strTool}) {
            QTimer::singleShot(0, [] {
                auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(pBox != nullptr);
                QVERIFY(pBox->text().contains(QStringLiteral("開きません")));
                pBox->button(QMessageBox::Ok)->click();
            });
            QVERIFY(!window.OpenLink(QUrl::fromLocalFile(strPath).toString()));
        }
        QCOMPARE(m_openedUrls.size(), std::size_t{1});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // Save as to a folder where tables of that name are there already asks first; no leaves them
    // and writes nothing. A recent file that is gone is said so and dropped.
    void saveAsAsksBeforeReplacingTablesAndGoneRecentFilesAreDropped()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(m_strDoc));
        const QString strFolder = m_dir.path() + QStringLiteral("/other");
        QVERIFY(QDir().mkpath(strFolder));
        {
            QFile foreign(strFolder + QStringLiteral("/mine.lev"));
            QVERIFY(foreign.open(QIODevice::WriteOnly));
            foreign.write("not ours");
        }
        const auto ClickNext = [](QMessageBox::StandardButton eButton, const QString& strText) {
            QTimer::singleShot(0, [eButton, strText] {
                auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(pBox != nullptr);
                QVERIFY2(pBox->text().contains(strText), qPrintable(pBox->text()));
                pBox->button(eButton)->click();
            });
        };
        ui.ChooseNext(FromQString(strFolder + QStringLiteral("/mine.nenpyo")));
        ClickNext(QMessageBox::No, QStringLiteral("mine.lev は既にあります"));
        QVERIFY(!window.Files().SaveAs());
        QCOMPARE(ReadAll(strFolder + QStringLiteral("/mine.lev")), QByteArray("not ours"));
        QVERIFY(!QFileInfo::exists(strFolder + QStringLiteral("/mine.nenpyo")));
        QCOMPARE(window.Doc().Path(), ToPath(QFileInfo(m_strDoc).absoluteFilePath()));

        ui.ChooseNext(FromQString(strFolder + QStringLiteral("/mine.nenpyo")));
        ClickNext(QMessageBox::Yes, QStringLiteral("mine.lev"));
        QVERIFY(window.Files().SaveAs());
        QVERIFY(ReadAll(strFolder + QStringLiteral("/mine.lev")).startsWith("["));
        QVERIFY(QFileInfo::exists(strFolder + QStringLiteral("/mine.nenpyo")));
        // Its own name again: its own tables, nothing to ask.
        ui.ChooseNext(FromQString(strFolder + QStringLiteral("/mine.nenpyo")));
        QVERIFY(window.Files().SaveAs());

        const QString strGone = m_dir.path() + QStringLiteral("/gone.nenpyo");
        CRecentFiles::Add(strGone);
        ClickNext(QMessageBox::Ok, QStringLiteral("gone.nenpyo が見つかりません"));
        QVERIFY(!window.Files().OpenRecentFile(strGone));
        QVERIFY(!CRecentFiles::Files().contains(strGone));
        QCOMPARE(window.Doc().Path(), ToPath(strFolder + QStringLiteral("/mine.nenpyo")));
    }

    // The first row moves like any other.
    // A row clicked with the mouse (or chosen with the keys) is the one the commands of the 編集
    // menu act on: they are on while a row is selected and off when none is.
    void theRowCommandsFollowTheClickedRow()
    {
        CNenpyoWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.OpenFile(m_strDoc));
        QAction* pDelete = nullptr;
        for (QAction* pAction : window.findChildren<QAction*>()) {
            pDelete = pAction->text() == QStringLiteral("出来事を削除(&D)") ? pAction : pDelete;
            // Saving has its keys on every desktop (Ctrl+Shift+S where the desktop names none).
            if (pAction->text().startsWith(QStringLiteral("名前を付けて保存")))
                QVERIFY(!pAction->shortcut().isEmpty());
        }
        QVERIFY(pDelete != nullptr);
        QTableView& table = *window.View();
        table.clearSelection();
        QVERIFY(!pDelete->isEnabled());
        QTest::mouseClick(table.viewport(), Qt::LeftButton, Qt::NoModifier,
                          table.visualRect(window.Model()->index(2, COLUMN_TEXT)).center());
        QCOMPARE(window.SelectedIndex(), window.Model()->ListIndex(2));
        QVERIFY(pDelete->isEnabled());
        const int nEvents = window.Doc().Events().GetLen();
        pDelete->trigger();
        QCOMPARE(window.Doc().Events().GetLen(), nEvents - 1);
        QTest::keyClick(&table, Qt::Key_Down);
        QVERIFY(pDelete->isEnabled());
        table.clearSelection();
        QVERIFY(!pDelete->isEnabled());
    }

    void theFirstRowMoves()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        auto pDoc = std::make_unique<CNenpyoDoc>();
        pDoc->New({});
        pDoc->Events().SetData(Event(1600, "一"), true, -1, PRIORITY_ALL);
        pDoc->Events().SetData(Event(1600, "二"), true, -1, PRIORITY_ALL);
        window.Chronology().Replace(std::move(pDoc));
        window.SelectIndex(0);
        QVERIFY(window.MoveSelected(false));
        QCOMPARE(window.SelectedIndex(), 1);
        QCOMPARE(SelectedText(window), QStringLiteral("一"));
        window.SelectIndex(0);
        QVERIFY(!window.MoveSelected(true));   // nothing before it
    }

    void dialogsNameWhatIsWrong()
    {
        const struct {
            const char* pszYear;
            bool bOk;
        } aYears[] = {{"1600", true}, {" －660 ", true}, {"0", false}, {"16OO", false}, {"3000000000", false}};
        for (const auto& test : aYears) {
            SEventData event = Event(1, "x");
            CEventDlg dlg(event, QStringLiteral("test"));
            dlg.findChildren<QLineEdit*>().at(0)->setText(QString::fromUtf8(test.pszYear));
            QString strMessage;
            QVERIFY2(dlg.ReadFields(event, strMessage) == test.bOk, test.pszYear);
            QVERIFY(strMessage.isEmpty() == test.bOk);
        }
        CBaseYear table;
        CBaseYearDlg dlg(table);
        const QList<QLineEdit*> edits = dlg.findChildren<QLineEdit*>();
        edits.at(1)->setText(QStringLiteral("1603"));
        edits.at(2)->setText(QStringLiteral("1600"));
        QString strMessage;
        QVERIFY(!dlg.ReadFields(table, strMessage));
        QCOMPARE(strMessage, QStringLiteral("終了年は基点年と同じか後の年にしてください。"));
        edits.at(2)->clear();
        QVERIFY(dlg.ReadFields(table, strMessage));
        QCOMPARE(table.GetEndWesternYear(), NO_END_YEAR);

        // A character without a code page 932 form is refused by name; the six twins are taken.
        CString strCp932;
        QVERIFY(!ToCp932(QStringLiteral("a‹b"), strCp932, QStringLiteral("出来事"), strMessage));
        QVERIFY2(strMessage.contains(QStringLiteral("「‹」")), qPrintable(strMessage));
        QVERIFY(ToCp932(QStringLiteral("〜‖−¢£¬"), strCp932, QStringLiteral("出来事"), strMessage));
        QCOMPARE(ToQString(strCp932), QStringLiteral("～∥－￠￡￢"));
    }
};

QTEST_MAIN(CNenpyoWindowTest)
#include "NenpyoWindow_test.moc"
