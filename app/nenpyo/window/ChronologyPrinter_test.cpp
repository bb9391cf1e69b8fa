// The printout on a PDF device: no row split across pages but one taller than a page (split at
// its lines, each part on a page of its own), a cancelled PDF that leaves the previous file, and
// the band picture on one page of its own; a failure at any step of writing the PDF (a write, the
// sync, the rename) reported, with the previous file left whole and no temporary file behind.
#include <QtTest>

#include <QTextBoundaryFinder>

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <framework/Cp932.h>

#include "BandPainter.h"
#include "ChronologyPrinter.h"
#include "EventTestData_test.h"
#include "NenpyoDoc.h"
#include "testing/FaultInjectionEnv.h"

class CChronologyPrinterTest : public QObject {
    Q_OBJECT
private:
    CNenpyoDoc m_doc;
    int m_nTall = 0;   // the row of the event with a note of many lines

private Q_SLOTS:
    void initTestCase()
    {
        m_doc.New({});
        m_doc.Events().SetTableName(CP932("試験の年表"));
        for (int n = 0; n < 300; ++n) {
            SEventData event = Event(1000 + n, "出来事");
            if (n % 7 == 0)
                event.strNote = CP932("二行の\r\n備考");
            if (n == 150) {
                for (int nLine = 0; nLine < 120; ++nLine)
                    event.strNote += CP932("長い備考の行\r\n");
                m_nTall = n;
            }
            m_doc.Events().SetData(event, true, -1, PRIORITY_ALL);
        }
    }

    void rowsAreWholeOnAPageButATallOneSplitAtItsLines()
    {
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        CChronologyPrinter printer(m_doc, PRIORITY_ALL);
        struct SPart {
            int nRow;
            int nLines;
            CPrintLayout::SSlice slice;
        };
        std::vector<SPart> parts;
        printer.SetSliceObserver([&](int nRow, int nLines, const CPrintLayout::SSlice& slice) {
            parts.push_back({nRow, nLines, slice});
        });
        std::vector<int> progress;
        QCOMPARE(printer.Print(writer, [&](int nDone, int nTotal) {
            progress.push_back(nDone);
            return nTotal == 300;
        }),
                 CChronologyPrinter::EResult::Done);
        QCOMPARE(progress.back(), 300);

        int nLastPage = 0;
        int nTallParts = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const SPart& part = parts[i];
            QVERIFY(part.slice.nPage == nLastPage || part.slice.nPage == nLastPage + 1);
            if (part.slice.nPage != nLastPage && i > 0)
                QCOMPARE(part.slice.nTop, 0);   // a new page starts at its top
            nLastPage = part.slice.nPage;
            if (part.nRow != m_nTall) {
                QCOMPARE(part.slice.nFirstLine, 0);   // every other row whole on one page
                QCOMPARE(part.slice.nLines, part.nLines);
                QCOMPARE(part.nLines, part.nRow % 7 == 0 ? 2 : 1);
                continue;
            }
            // The tall row: its parts follow each other line by line, each on the next page.
            QCOMPARE(part.slice.nFirstLine, nTallParts == 0 ? 0 : parts[i - 1].slice.nFirstLine + parts[i - 1].slice.nLines);
            if (nTallParts > 0)
                QCOMPARE(part.slice.nPage, parts[i - 1].slice.nPage + 1);
            ++nTallParts;
        }
        QVERIFY(nTallParts >= 2);
        QCOMPARE(printer.Pages(), nLastPage + 1);
        QVERIFY(buffer.data().startsWith("%PDF"));
    }

    // The 和暦 cell breaks only between two courts' era years.
    // Each row the filter shows is printed once, in order, whatever the number of rows; the
    // progress ends at the rows printed, and a chronology without rows still has its page.
    void everyShownRowIsPrintedOnceInOrder()
    {
        const struct {
            int nEvents;
            EEventPriority eFilter;
        } aCases[] = {{0, PRIORITY_ALL}, {1, PRIORITY_ALL}, {1, PRIORITY_HIGH}, {90, PRIORITY_ALL},
                      {90, PRIORITY_MIDDLE}, {90, PRIORITY_HIGH}};
        for (const auto& test : aCases) {
            const QString strCase = QStringLiteral("%1 events, filter %2").arg(test.nEvents).arg(int(test.eFilter));
            CNenpyoDoc doc;
            doc.New({});
            int nShown = 0;
            for (int n = 0; n < test.nEvents; ++n) {
                SEventData event = Event(1500 + n / 3, "出来事", n % 3);
                if (n % 5 == 0)
                    event.strNote = CP932("一\r\n二\r\n三");
                doc.Events().SetData(event, true, -1, PRIORITY_ALL);
                nShown += n % 3 <= test.eFilter ? 1 : 0;
            }
            QBuffer buffer;
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QPdfWriter writer(&buffer);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                             QPageLayout::Millimeter));
            CChronologyPrinter printer(doc, test.eFilter);
            std::vector<int> vRows;
            int nPages = 0;
            printer.SetSliceObserver([&](int nRow, int, const CPrintLayout::SSlice& slice) {
                vRows.push_back(nRow);
                nPages = std::max(nPages, slice.nPage + 1);
            });
            int nLastDone = -1;
            QCOMPARE(printer.Print(writer, [&](int nDone, int nTotal) {
                nLastDone = nDone;
                return nTotal == nShown;
            }),
                     CChronologyPrinter::EResult::Done);
            QCOMPARE(static_cast<int>(vRows.size()), nShown);
            for (int n = 0; n < nShown; ++n)
                QVERIFY2(vRows[static_cast<std::size_t>(n)] == n, qPrintable(strCase));
            QVERIFY2(nLastDone == nShown || (nShown == 0 && nLastDone <= 0), qPrintable(strCase));
            QVERIFY2(printer.Pages() >= std::max(nPages, 1), qPrintable(strCase));
            QVERIFY2(test.nEvents < 90 || test.eFilter != PRIORITY_ALL || printer.Pages() > 2, qPrintable(strCase));
        }
    }

    void eraCellsBreakOnlyBetweenEraYears()
    {
        for (const QString& strEra : {QStringLiteral("正平5年・観応元年"), QStringLiteral("慶長5年"), QStringLiteral("平成元年")}) {
            const QString strCell = CChronologyPrinter::EraCell(strEra);
            QCOMPARE(QString(strCell).remove(QChar(0x2060)), strEra);
            QTextBoundaryFinder finder(QTextBoundaryFinder::Line, strCell);
            QStringList parts;
            qsizetype nStart = 0;
            for (qsizetype nAt = finder.toNextBoundary(); nAt > 0; nAt = finder.toNextBoundary()) {
                parts << strCell.mid(nStart, nAt - nStart).remove(QChar(0x2060));
                nStart = nAt;
            }
            QCOMPARE(parts.join(QLatin1Char('|')), QString(strEra).replace(QStringLiteral("・"), QStringLiteral("・|")));
        }
    }

    void textLayerMapsLookAlikesToTheCharactersDrawn()
    {
        QByteArray pdf("2 beginbfchar\n<0003> <2F49>\n<2F49> <6708>\nendbfchar\n"
                       "3 beginbfrange\n<0010> <0010> <2027>\n<0011> <0012> <2F00>\n<0020> <0021> [<2F3E> <0041>]\n"
                       "endbfrange\n<2F49> outside a map");
        const qsizetype nSize = pdf.size();
        CChronologyPrinter::FixTextLayer(pdf, {{0x2F49, 0x6708}, {0x2027, 0x30FB}, {0x2F3E, 0x6238}, {0x2F00, 0x4E00}});
        QCOMPARE(pdf.size(), nSize);
        QCOMPARE(pdf, QByteArray("2 beginbfchar\n<0003> <6708>\n<2F49> <6708>\nendbfchar\n"
                                 "3 beginbfrange\n<0010> <0010> <30FB>\n<0011> <0012> <2F00>\n"
                                 "<0020> <0021> [<6238> <0041>]\nendbfrange\n<2F49> outside a map"));
    }

    // A viewer's search finds every event text in the PDF: what pdftotext reads is what was drawn.
    void pdfTextIsTheChronologysText()
    {
        const QString strPdfToText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (strPdfToText.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        CNenpyoDoc doc;
        doc.New({});
        const char* texts[] = {"江戸幕府を開く", "月日の戸・門", "青と日本", "大政奉還"};
        int nYear = 1600;
        for (const char* pszText : texts)
            doc.Events().SetData(Event(nYear++, pszText), true, -1, PRIORITY_ALL);
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("年表〜.pdf"));
        CChronologyPrinter printer(doc, PRIORITY_ALL);
        QString strError;
        QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), {}, strError), CChronologyPrinter::EResult::Done);
        QProcess process;
        process.start(strPdfToText, {strPath, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        const QString strText = QString::fromUtf8(process.readAllStandardOutput());
        for (const char* pszText : texts)
            QVERIFY2(strText.contains(QString::fromUtf8(pszText)), qPrintable(strText));
        QVERIFY(strText.contains(QStringLiteral("西暦")));
        for (const QChar ch : strText)
            QVERIFY2(ch.unicode() < 0x2E80 || ch.unicode() > 0x2FDF, qPrintable(strText));
    }

    void cancelledPdfLeavesThePreviousFile()
    {
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("年表.pdf"));
        CChronologyPrinter printer(m_doc, PRIORITY_ALL);
        QString strError;
        const auto CancelAtOnce = [](int, int) { return false; };
        QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), CancelAtOnce, strError),
                 CChronologyPrinter::EResult::Cancelled);
        QVERIFY(QDir(dir.path()).isEmpty());

        QFile previous(strPath);
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("previous") == 8);
        previous.close();
        int nCalls = 0;
        QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), [&](int, int) { return ++nCalls < 3; }, strError),
                 CChronologyPrinter::EResult::Cancelled);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("previous"));
        previous.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);

        QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), {}, strError), CChronologyPrinter::EResult::Done);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QVERIFY(previous.readAll().startsWith("%PDF"));
        QCOMPARE(printer.PrintPdf(dir.filePath(QStringLiteral("no/such/x.pdf")), QStringLiteral("t"), {}, strError),
                 CChronologyPrinter::EResult::Failed);
        QVERIFY(!strError.isEmpty());
    }

    void aFailedWriteOfThePdfLeavesThePreviousFileWhole()
    {
        CNenpyoDoc doc;
        doc.New({});
        for (int n = 0; n < 40; ++n)
            doc.Events().SetData(Event(1600 + n, "出来事"), true, -1, PRIORITY_ALL);
        CChronologyPrinter printer(doc, PRIORITY_ALL);
        QString strError;
        // The steps of one PDF, without faults: every write before the sync, the sync before the rename.
        int nWrites = 0;
        {
            QTemporaryDir dir;
            CFaultInjectionEnv env;
            QCOMPARE(printer.PrintPdf(dir.filePath(QStringLiteral("a.pdf")), QStringLiteral("t"), {}, strError, &env),
                     CChronologyPrinter::EResult::Done);
            nWrites = env.Writes();
            const std::vector<std::string>& vSteps = env.Steps();
            QVERIFY(nWrites >= 1);
            QCOMPARE(vSteps.front(), std::string("open"));
            const auto itSync = std::find(vSteps.begin(), vSteps.end(), "sync");
            const auto itRename = std::find(vSteps.begin(), vSteps.end(), "rename");
            QVERIFY(itSync != vSteps.end() && itRename != vSteps.end() && itSync < itRename);
            QCOMPARE(std::count(vSteps.begin(), itSync, "write"), static_cast<std::ptrdiff_t>(nWrites));
        }
        std::vector<std::pair<QString, std::function<void(CFaultInjectionEnv&)>>> faults;
        for (int n = 1; n <= nWrites; ++n)
            faults.emplace_back(QStringLiteral("write %1").arg(n), [n](CFaultInjectionEnv& env) { env.FailWrite(n); });
        faults.emplace_back(QStringLiteral("sync"), [](CFaultInjectionEnv& env) { env.FailCommit(); });
        faults.emplace_back(QStringLiteral("rename"), [](CFaultInjectionEnv& env) { env.FailRename(); });
        faults.emplace_back(QStringLiteral("open"), [](CFaultInjectionEnv& env) { env.FailOpen(); });
        for (const auto& [strFault, inject] : faults) {
            QTemporaryDir dir;
            const QString strPath = dir.filePath(QStringLiteral("年表.pdf"));
            QFile previous(strPath);
            QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("%PDF previous") == 13);
            previous.close();
            CFaultInjectionEnv env;
            inject(env);
            strError.clear();
            QVERIFY2(printer.PrintPdf(strPath, QStringLiteral("t"), {}, strError, &env) == CChronologyPrinter::EResult::Failed,
                     qPrintable(strFault));
            QVERIFY2(!strError.isEmpty(), qPrintable(strFault));
            QVERIFY(previous.open(QIODevice::ReadOnly));
            QCOMPARE(previous.readAll(), QByteArray("%PDF previous"));
            previous.close();
            QVERIFY2(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1, qPrintable(strFault));
            // Once the system lets it, the PDF is written over the previous file.
            QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), {}, strError), CChronologyPrinter::EResult::Done);
            QVERIFY(previous.open(QIODevice::ReadOnly));
            QVERIFY(previous.size() > 1000);
            previous.close();
        }
        // The folder not synced after the rename: the new PDF is in place, and the failure is still
        // told (the rename may not survive a crash).
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("年表.pdf"));
        CFaultInjectionEnv env;
        env.FailFolderSync();
        QCOMPARE(printer.PrintPdf(strPath, QStringLiteral("t"), {}, strError, &env), CChronologyPrinter::EResult::Failed);
        QVERIFY(!strError.isEmpty());
        QFile written(strPath);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith("%PDF-"));
    }

    void pictureAddsOnePageBeforeTheRows()
    {
        const auto PrintedPages = [this](const CChronologyPrinter::CPicture& picture) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setResolution(150);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                             QPageLayout::Millimeter));
            CChronologyPrinter printer(m_doc, PRIORITY_ALL);
            printer.SetPicture(picture);
            return printer.Print(writer) == CChronologyPrinter::EResult::Done ? printer.Pages() : -1;
        };
        CBandPainter band;
        band.SetDocument(&m_doc);
        int nPaints = 0;
        QRect painted;
        const int nWithout = PrintedPages({});
        const int nWith = PrintedPages([&](QPainter& painter, const QRect& rect) {
            ++nPaints;
            painted = rect;
            band.Paint(painter, rect, CBandScale(990, rect.width() / 320.0), PRIORITY_ALL, -1);
        });
        QVERIFY(nWithout > 1);
        QCOMPARE(nWith, nWithout + 1);
        QCOMPARE(nPaints, 1);
        QCOMPARE(painted.width(), CChronologyPrinter::kPictureWidth);
        QVERIFY(painted.height() > painted.width() / 2);   // a landscape page less its title
        QVERIFY(!band.Labels().vLabels.empty());
    }
};

QTEST_MAIN(CChronologyPrinterTest)
#include "ChronologyPrinter_test.moc"
