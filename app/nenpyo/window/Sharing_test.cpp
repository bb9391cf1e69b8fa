// What leaves Nenpyo, without a window: exports of the rows the chronology's filter shows, the
// byte order mark the settings ask for, the PDF the window and `nenpyo --pdf` share, the band's
// picture, and a file that cannot be written said so once; the settings keep every key.
#include <QtTest>

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <framework/Cp932.h>

#include "BandPainter.h"
#include "BandView.h"
#include "Chronology.h"
#include "EventTestData_test.h"
#include "NenpyoSettings.h"
#include "Sharing.h"
#include "testing/FakeHostUi.h"

namespace {

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int PdfPages(const QString& strPath)
{
    const QRegularExpression count(QStringLiteral("/Count (\\d+)"));
    return count.match(QString::fromLatin1(ReadAll(strPath))).captured(1).toInt();
}

} // namespace

class CSharingTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString Path(const char* pszName) const { return m_dir.filePath(QString::fromUtf8(pszName)); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    void settingsKeepEachKeyAndTheirDefaults()
    {
        QSettings().clear();
        QVERIFY(CNenpyoSettings::BandVisible());
        QVERIFY(!CNenpyoSettings::CsvByteOrderMark());
        QVERIFY(!CNenpyoSettings::PrintsBand());
        QVERIFY(CNenpyoSettings::WindowGeometry().isEmpty());
        QVERIFY(CNenpyoSettings::RecentFiles().isEmpty());
        CNenpyoSettings::SetBandVisible(false);
        CNenpyoSettings::SetCsvByteOrderMark(true);
        CNenpyoSettings::SetPrintsBand(true);
        CNenpyoSettings::SetWindowGeometry("geometry");
        CNenpyoSettings::SetBandSplitter("splitter");
        CNenpyoSettings::SetRecentFiles({QStringLiteral("/a.nenpyo")});
        // Each under its own key: none overwrote another.
        QVERIFY(!CNenpyoSettings::BandVisible());
        QVERIFY(CNenpyoSettings::CsvByteOrderMark());
        QVERIFY(CNenpyoSettings::PrintsBand());
        QCOMPARE(CNenpyoSettings::WindowGeometry(), QByteArray("geometry"));
        QCOMPARE(CNenpyoSettings::BandSplitter(), QByteArray("splitter"));
        QCOMPARE(CNenpyoSettings::RecentFiles(), QStringList{QStringLiteral("/a.nenpyo")});
        QCOMPARE(QSettings().allKeys().size(), 6);
        QSettings().clear();

        // The shipped places: the sample and the library beside each other in the source tree.
        const CNenpyoSession session = CNenpyoSettings::Session();
        QVERIFY(std::filesystem::is_regular_file(session.SampleFile()));
        QVERIFY(std::filesystem::is_regular_file(session.DefaultTables().periodFile));
    }

    void exportsWriteTheShownRowsAndSayWhere()
    {
        CFakeHostUi ui;
        CChronology chronology;
        auto pDoc = std::make_unique<CNenpyoDoc>();
        pDoc->New({});
        pDoc->Events().SetData(Event(1600, "関ヶ原の戦い", 0), true, -1, PRIORITY_ALL);
        pDoc->Events().SetData(Event(1601, "小さな出来事", 2), true, -1, PRIORITY_ALL);
        chronology.Replace(std::move(pDoc));
        CBandView band;
        band.Follow(&chronology);
        CSharing sharing(nullptr, chronology, &band);
        QSignalSpy messages(&sharing, &CSharing::message);

        chronology.SetFilter(PRIORITY_HIGH);
        QVERIFY(sharing.ExportCsv(Path("high.csv")));
        QByteArray csv = ReadAll(Path("high.csv"));
        QCOMPARE(csv.count('\n'), 2);   // the header and the one shown row
        QVERIFY(!csv.startsWith("\xEF\xBB\xBF"));
        QVERIFY(messages.takeLast().at(0).toString().startsWith(QStringLiteral("1件をCSVに書き出しました")));
        CNenpyoSettings::SetCsvByteOrderMark(true);
        chronology.SetFilter(PRIORITY_ALL);
        QVERIFY(sharing.ExportCsv(Path("all.csv")));
        CNenpyoSettings::SetCsvByteOrderMark(false);
        csv = ReadAll(Path("all.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.count('\n'), 3);
        QVERIFY(csv.contains("関ヶ原の戦い"));
        QVERIFY(sharing.ExportHtml(Path("all.html")));
        QVERIFY(ReadAll(Path("all.html")).contains("小さな出来事"));
        QVERIFY(messages.takeLast().at(0).toString().startsWith(QStringLiteral("2件をHTMLに書き出しました")));
        QVERIFY(ui.m_messages.empty());

        // The PDF, with the band's page when the settings ask for it.
        QVERIFY(sharing.PrintToPdf(Path("rows.pdf")));
        CNenpyoSettings::SetPrintsBand(true);
        QVERIFY(sharing.PrintToPdf(Path("band.pdf")));
        CNenpyoSettings::SetPrintsBand(false);
        QCOMPARE(PdfPages(Path("band.pdf")), PdfPages(Path("rows.pdf")) + 1);
        QVERIFY(sharing.SaveImage(Path("band.png")));
        QVERIFY(!QImage(Path("band.png")).isNull());

        // Nowhere to write: one message each, naming the file; nothing said to be written.
        messages.clear();
        QVERIFY(!sharing.ExportCsv(Path("no/such/x.csv")));
        QVERIFY(!sharing.ExportHtml(Path("no/such/x.html")));
        QVERIFY(!sharing.PrintToPdf(Path("no/such/x.pdf")));
        QVERIFY(!sharing.SaveImage(Path("no/such/x.png")));
        QCOMPARE(ui.m_messages.size(), std::size_t{4});
        for (const auto& message : ui.m_messages)
            QVERIFY2(Cp932ToUtf8Lossy(message.strText.View()).find("no/such/x.") != std::string::npos,
                     Cp932ToUtf8Lossy(message.strText.View()).c_str());
        QVERIFY(messages.isEmpty());
    }

    // nenpyo --pdf and the window write the same PDF: the rows under the filter, and a picture page
    // first when there is one.
    void thePdfOfTheCommandLineIsTheWindowsOne()
    {
        CNenpyoDoc doc;
        doc.New({});
        for (int i = 0; i < 300; ++i)
            doc.Events().SetData(Event(1000 + i, "出来事", i % 3), true, -1, PRIORITY_ALL);
        QString strError;
        int nAll = 0;
        int nHigh = 0;
        int nBand = 0;
        QCOMPARE(CSharing::WritePdf(doc, PRIORITY_ALL, {}, Path("all.pdf"), QStringLiteral("x"), {}, strError, &nAll),
                 CChronologyPrinter::EResult::Done);
        QCOMPARE(CSharing::WritePdf(doc, PRIORITY_HIGH, {}, Path("high.pdf"), QStringLiteral("x"), {}, strError, &nHigh),
                 CChronologyPrinter::EResult::Done);
        CBandPainter band;
        band.SetDocument(&doc);
        bool bPainted = false;
        const CChronologyPrinter::CPicture whole = CSharing::WholeBand(band, PRIORITY_ALL);
        QCOMPARE(CSharing::WritePdf(doc, PRIORITY_ALL,
                                    [&](QPainter& painter, const QRect& rect) {
                                        bPainted = true;
                                        whole(painter, rect);
                                    },
                                    Path("band.pdf"), QStringLiteral("x"), {}, strError, &nBand),
                 CChronologyPrinter::EResult::Done);
        QVERIFY(bPainted);
        QVERIFY(nHigh < nAll);
        QCOMPARE(nBand, nAll + 1);
        QCOMPARE(PdfPages(Path("all.pdf")), nAll);
        // Cancelled at the first report: no file.
        QCOMPARE(CSharing::WritePdf(doc, PRIORITY_ALL, {}, Path("cancelled.pdf"), QStringLiteral("x"),
                                    [](int, int) { return false; }, strError),
                 CChronologyPrinter::EResult::Cancelled);
        QVERIFY(!QFileInfo::exists(Path("cancelled.pdf")));
    }
};

QTEST_MAIN(CSharingTest)
#include "Sharing_test.moc"
