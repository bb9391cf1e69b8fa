// The time band in Nenpyo's window on the offscreen platform, on the sample chronology: labels that
// never overlap at any zoom, the time under the pointer kept by zooming and panning, the selection
// shared with the table, double-click editing, and the picture written to files.
#include <QtTest>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include "BandPainter.h"
#include "BandView.h"
#include "EventTestData_test.h"
#include "NenpyoDoc.h"
#include "EventDlg.h"
#include "EventModel.h"
#include "NenpyoWindow.h"
#include "testing/FakeHostUi.h"
#include "testing/FaultInjectionEnv.h"

namespace {

QString Sample()
{
    return QStringLiteral(NENPYO_TEST_DATA_DIR "/年表/日本史.nenpyo");
}

// A window on the sample with the band in sight, laid out.
void Show(CNenpyoWindow& window)
{
    window.resize(1100, 800);
    window.show();
    QVERIFY(window.OpenFile(Sample()));
    window.Band()->setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Band()->FitAll();
    window.Band()->viewport()->repaint();
}

} // namespace

class CBandViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void labelsNeverOverlapAtAnyZoom()
    {
        CNenpyoWindow window;
        Show(window);
        CBandView& band = *window.Band();
        const struct {
            std::int32_t lFrom;
            std::int32_t lTo;
        } aRanges[] = {{-700, 2030}, {500, 900}, {1300, 1700}, {1850, 1880}, {1868, 1868}};
        for (const auto& range : aRanges) {
            for (EEventPriority eFilter : {PRIORITY_ALL, PRIORITY_HIGH}) {
                window.SetFilter(eFilter);
                band.ShowYears(range.lFrom, range.lTo);
                band.viewport()->repaint();
                const auto& vLabels = band.Painter().Labels().vLabels;
                QVERIFY(!vLabels.empty());
                for (std::size_t i = 0; i < vLabels.size(); ++i) {
                    QVERIFY(vLabels[i].pEvent->pData->nPriority <= eFilter);
                    for (std::size_t j = i + 1; j < vLabels.size(); ++j) {
                        const QRectF a = band.Painter().LabelRect(vLabels[i]);
                        const QRectF b = band.Painter().LabelRect(vLabels[j]);
                        QVERIFY2(!a.intersects(b), qPrintable(QStringLiteral("%1-%2").arg(range.lFrom).arg(range.lTo)));
                    }
                }
            }
        }
    }

    void zoomAndPanKeepTheTimeUnderThePointer()
    {
        CNenpyoWindow window;
        Show(window);
        CBandView& band = *window.Band();
        QWidget* pViewport = band.viewport();
        for (const double x : {10.0, 400.0, 900.0}) {
            for (const int nDelta : {120, -120, 360, -480}) {
                const double dBefore = band.Scale().Time(x);
                QWheelEvent wheel(QPointF(x, 50), pViewport->mapToGlobal(QPointF(x, 50)), QPoint(), QPoint(0, nDelta),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(pViewport, &wheel);
                QVERIFY(qAbs(band.Scale().Time(x) - dBefore) < 1e-6);
            }
        }
        // Dragging moves the time under the pointer along with it.
        const double dGrabbed = band.Scale().Time(300);
        QTest::mousePress(pViewport, Qt::LeftButton, Qt::NoModifier, QPoint(300, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(520, 5), pViewport->mapToGlobal(QPointF(520, 5)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pViewport, &move);
        QTest::mouseRelease(pViewport, Qt::LeftButton, Qt::NoModifier, QPoint(520, 5));
        QVERIFY(qAbs(band.Scale().Time(520) - dGrabbed) < 1e-6);
        // The scroll bar follows, and moving it pans.
        band.ZoomAt(500, 8);
        QScrollBar* pBar = band.horizontalScrollBar();
        QVERIFY(pBar->maximum() > 200);
        const int nStep = pBar->value() + 100 <= pBar->maximum() ? 100 : -100;
        const double dLeft = band.Scale().Left();
        pBar->setValue(pBar->value() + nStep);
        QVERIFY(qAbs((band.Scale().Left() - dLeft) * band.Scale().PixelsPerYear() - nStep) < 1);
        // The keys: + zooms at the middle, → pans, Home brings the first event in.
        const double dMiddle = pViewport->width() / 2.0;
        const double dTime = band.Scale().Time(dMiddle);
        const double dZoom = band.Scale().PixelsPerYear();
        QTest::keyClick(&band, Qt::Key_Plus);
        QVERIFY(band.Scale().PixelsPerYear() > dZoom && qAbs(band.Scale().Time(dMiddle) - dTime) < 1e-6);
        QTest::keyClick(&band, Qt::Key_Right);
        QVERIFY(band.Scale().Time(dMiddle) > dTime);
        QTest::keyClick(&band, Qt::Key_Home);
        const double xFirst = band.Scale().X(CBandScale::YearStart(-660));
        QVERIFY(xFirst > 0 && xFirst < pViewport->width() / 10.0);
        // 年へ移動 puts the year in the middle.
        QVERIFY(window.GoToYear(1600));
        QCOMPARE(CBandScale::YearAt(band.Scale().Time(pViewport->width() / 2.0)), 1600);
    }

    void selectionIsSharedWithTheTable()
    {
        CFakeHostUi ui;
        CNenpyoWindow window;
        Show(window);
        CBandView& band = *window.Band();
        band.ShowYears(1850, 1900);
        // From the table: the band highlights the event and brings it into sight.
        QVERIFY(window.FindText(QStringLiteral("関ヶ原"), true));
        QCOMPARE(band.SelectedIndex(), window.SelectedIndex());
        band.viewport()->repaint();
        const SBandEvent* pEvent = band.Painter().Events().Find(window.SelectedIndex());
        QVERIFY(pEvent != nullptr);
        const double x = band.Scale().X(pEvent->dBegin);
        QVERIFY(x >= 0 && x < band.viewport()->width());
        // From the band: a click on another label selects its row.
        const auto& vLabels = band.Painter().Labels().vLabels;
        const auto it = std::find_if(vLabels.begin(), vLabels.end(),
                                     [&](const SBandLabel& label) { return label.pEvent->nListIndex != band.SelectedIndex(); });
        QVERIFY(it != vLabels.end());
        const int nClicked = it->pEvent->nListIndex;
        const QPoint point = band.Painter().LabelRect(*it).center().toPoint();
        QTest::mouseClick(band.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QCOMPARE(window.SelectedIndex(), nClicked);
        QCOMPARE(window.View()->currentIndex().row(), window.Model()->RowOf(nClicked));
        // A double click opens the event dialog on it.
        bool bDialog = false;
        QTimer::singleShot(0, [&] {
            auto* pDlg = qobject_cast<CEventDlg*>(QApplication::activeModalWidget());
            bDialog = pDlg != nullptr;
            if (pDlg != nullptr)
                pDlg->reject();
        });
        QTest::mouseDClick(band.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QVERIFY(bDialog);
        QVERIFY(ui.m_messages.empty());
    }

    // Going to the last (or first) event from the table (Ctrl+End, then a click on the row) or to
    // its year shows it near the edge of everything there is, not in the middle of a band with
    // nothing after (or before) it, whatever the zoom. End and Home in the band do the same.
    // The first start opens the sample and selects its first event before the window has its
    // size: laid out, the band shows every event across its whole width, and Ctrl+End then puts the
    // last event near the right edge.
    void theFirstLayoutShowsEverything()
    {
        CNenpyoWindow window;
        QVERIFY(window.OpenFile(Sample()));
        window.resize(1100, 800);
        window.show();
        window.Band()->setVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        CBandView& band = *window.Band();
        double dFrom = 0;
        double dTo = 0;
        QVERIFY(band.Painter().Extent(dFrom, dTo));
        const double dWidth = band.viewport()->width();
        QVERIFY2(band.Scale().X(dFrom) >= 0 && band.Scale().X(dFrom) <= dWidth * 0.05, qPrintable(QString::number(band.Scale().X(dFrom))));
        QVERIFY2(band.Scale().X(dTo) >= dWidth * 0.95 && band.Scale().X(dTo) <= dWidth, qPrintable(QString::number(band.Scale().X(dTo))));
        QTest::keyClick(window.View(), Qt::Key_End, Qt::ControlModifier);
        const SBandEvent* pLast = band.Painter().Events().Find(window.SelectedIndex());
        QVERIFY(pLast != nullptr);
        QVERIFY(band.Scale().X(pLast->dBegin) >= dWidth / 2 && band.Scale().X(dTo) <= dWidth);
    }

    void goingToTheEndLeavesNoEmptyFuture()
    {
        CNenpyoWindow window;
        Show(window);
        CBandView& band = *window.Band();
        QTableView& table = *window.View();
        const double dWidth = band.viewport()->width();
        double dFrom = 0;
        double dTo = 0;
        QVERIFY(band.Painter().Extent(dFrom, dTo));
        const auto nearTheEdge = [&](bool bEnd, double dTime) {
            const double x = band.Scale().X(dTime);
            if (bEnd)
                return x >= dWidth / 2 && x < dWidth && band.Scale().X(dTo) >= dWidth * 0.95 && band.Scale().X(dTo) <= dWidth;
            return x >= 0 && x <= dWidth / 2 && band.Scale().X(dFrom) >= 0 && band.Scale().X(dFrom) <= dWidth * 0.05;
        };
        const struct {
            std::int32_t lFrom;   // 0: everything
            std::int32_t lTo;
            bool bEnd;
        } aCases[] = {{0, 0, true}, {0, 0, false}, {1600, 1650, true}, {1600, 1650, false}, {1990, 2000, false},
                      {-200, -100, true}};
        for (const auto& test : aCases) {
            const QString strCase = QStringLiteral("%1-%2 %3").arg(test.lFrom).arg(test.lTo).arg(test.bEnd ? "end" : "home");
            const auto showCase = [&] {
                if (test.lFrom == 0)
                    band.FitAll();
                else
                    band.ShowYears(test.lFrom, test.lTo);
            };
            showCase();
            table.clearSelection();
            // Ctrl+End (Ctrl+Home) alone selects the last (first) event and the band shows it.
            QTest::keyClick(&table, test.bEnd ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
            QCOMPARE(window.SelectedIndex(),
                     window.Model()->ListIndex(test.bEnd ? window.Model()->rowCount() - 1 : 0));
            const SBandEvent* pEvent = band.Painter().Events().Find(window.SelectedIndex());
            QVERIFY2(pEvent != nullptr, qPrintable(strCase));
            QCOMPARE(pEvent->dBegin, test.bEnd ? dTo - 1 : dFrom);
            QVERIFY2(nearTheEdge(test.bEnd, pEvent->dBegin), qPrintable(strCase));
            // The year of that event, from 年へ移動.
            showCase();
            QVERIFY(window.GoToYear(CBandScale::YearAt(pEvent->dBegin)));
            QVERIFY2(nearTheEdge(test.bEnd, pEvent->dBegin), qPrintable(strCase));
            // The band's own keys.
            band.ShowYears(1200, 1210);
            QTest::keyClick(&band, test.bEnd ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
            QVERIFY2(nearTheEdge(test.bEnd, test.bEnd ? dTo - 1 : dFrom), qPrintable(strCase));
        }
        // An event or year in the middle still comes into sight a third of the way in, or centred;
        // a year past everything is centred as asked.
        band.ShowYears(1990, 2000);
        QVERIFY(window.FindText(QStringLiteral("関ヶ原"), true));
        const SBandEvent* pMiddle = band.Painter().Events().Find(window.SelectedIndex());
        QVERIFY(pMiddle != nullptr);
        QVERIFY(qAbs(band.Scale().X(pMiddle->dBegin) - dWidth / 3) < 1);
        for (const std::int32_t lYear : {1600, 2500}) {
            band.ShowYears(1200, 1210);
            band.CenterYear(lYear);
            QCOMPARE(CBandScale::YearAt(band.Scale().Time(dWidth / 2)), lYear);
        }
    }

    // The axis names era years up to the last event's year or the present year, not beyond, and an
    // era or period still running (令和, 現代) is drawn up to that year's end: neither is counted on
    // into 2500 or 6500.
    void eraYearsEndAtTheLastEventOrThePresent()
    {
        CNenpyoDoc doc;
        doc.New({});
        doc.Events().SetData(Event(1600, "関ヶ原"), true, -1, PRIORITY_ALL);
        CBandPainter painter;
        painter.SetDocument(&doc);
        QCOMPARE(painter.EraLabelEnd(), QDate::currentDate().year());
        doc.Events().SetData(Event(2999, "遠い先"), true, -1, PRIORITY_ALL);
        painter.Reload();
        QCOMPARE(painter.EraLabelEnd(), 2999);

        CNenpyoWindow window;
        Show(window);
        CBandPainter sample;
        sample.SetDocument(&window.Doc());
        const std::int32_t lEnd = sample.EraLabelEnd();
        double dFrom = 0;
        double dTo = 0;
        QVERIFY(sample.Events().Extent(dFrom, dTo));
        QCOMPARE(lEnd, std::max(QDate::currentDate().year(), CBandScale::YearAt(dTo - 0.5)));
        QImage image(1000, 300, QImage::Format_RGB32);
        const struct {
            double dFrom;
            double dTo;
        } aViews[] = {{1900, 2700}, {1980, 2100}, {1000, 7000}, {2000, 2060}};
        for (const auto& view : aViews) {
            CBandScale scale;
            scale.Fit(view.dFrom, view.dTo, image.width());
            QPainter p(&image);
            sample.Paint(p, image.rect(), scale, PRIORITY_ALL, -1);
            int nEraLabels = 0;
            for (const CBandPainter::SAxisLabel& label : sample.AxisLabels()) {
                if (!label.bEra)
                    continue;
                ++nEraLabels;
                QVERIFY2(label.lYear <= lEnd, qPrintable(label.strText));
            }
            QVERIFY2(nEraLabels > 0, qPrintable(QString::number(view.dFrom)));
        }
        const double dOpenEnd = CBandScale::YearStart(lEnd) + 1;
        for (const SBandSpans* pSpans : {&sample.EraSpans(), &sample.PeriodSpans()}) {
            QVERIFY(!pSpans->vSpans.empty());
            double dLast = 0;
            for (const SBandSpan& span : pSpans->vSpans)
                dLast = std::max(dLast, span.dEnd);
            QCOMPARE(dLast, dOpenEnd);
        }
    }

    // The axis's texts, the last ones included, end inside the painted rect at any width and zoom:
    // in the view, and in a picture painted into a part of a larger page.
    void axisLabelsEndInsideThePicture()
    {
        CNenpyoWindow window;
        Show(window);
        CBandPainter painter;
        painter.SetDocument(&window.Doc());
        QImage page(1400, 500, QImage::Format_RGB32);
        for (const int nWidth : {180, 333, 640, 1001, 1237}) {
            for (const double dPixelsPerYear : {0.3, 0.9, 4.0, 23.0, 150.0, 900.0}) {
                for (const double dLeft : {-700.0, 1581.7, 1999.2}) {
                    const QRect rect(nWidth % 7 * 10, 40, nWidth, 300);
                    page.fill(Qt::white);
                    QPainter p(&page);
                    painter.Paint(p, rect, CBandScale(dLeft, dPixelsPerYear), PRIORITY_ALL, -1);
                    p.end();
                    const QString strCase = QStringLiteral("%1 px, %2 px a year from %3").arg(nWidth).arg(dPixelsPerYear).arg(dLeft);
                    QVERIFY2(nWidth < 333 || !painter.AxisLabels().empty(), qPrintable(strCase));
                    for (const CBandPainter::SAxisLabel& label : painter.AxisLabels()) {
                        QVERIFY2(label.dLeft >= 0 && label.dRight <= nWidth,
                                 qPrintable(strCase + QStringLiteral(": ") + label.strText));
                    }
                    // Nothing painted outside the rect.
                    QCOMPARE(page.pixel(rect.right() + 1, rect.top() + 5), qRgb(255, 255, 255));
                    QCOMPARE(page.pixel(rect.left() + 1, rect.top() + 5) == qRgb(255, 255, 255), false);
                }
            }
        }
        // The view's picture has the view's labels, none cut at the edge.
        CBandView& band = *window.Band();
        band.ShowYears(1850, 2011);
        QImage picture(1200, 500, QImage::Format_RGB32);
        QPainter p(&picture);
        band.Render(p, picture.rect());
        p.end();
        QVERIFY(!band.Painter().AxisLabels().empty());
        for (const CBandPainter::SAxisLabel& label : band.Painter().AxisLabels())
            QVERIFY2(label.dRight <= picture.width(), qPrintable(label.strText));
    }

    // A failure at any step of writing the picture (a write, the sync, the rename, the opening) is
    // reported, and the previous file stays whole with no temporary file beside it.
    void aFailedPictureLeavesThePreviousFileWhole()
    {
        CNenpyoWindow window;
        Show(window);
        CBandView& band = *window.Band();
        for (const QString& strName : {QStringLiteral("band.png"), QStringLiteral("band.svg")}) {
            int nWrites = 0;
            {
                QTemporaryDir dir;
                CFaultInjectionEnv env;
                QVERIFY(band.SaveImage(dir.filePath(strName), &env));
                nWrites = env.Writes();
            }
            QVERIFY(nWrites >= 1);
            std::vector<std::pair<QString, std::function<void(CFaultInjectionEnv&)>>> faults;
            for (const int n : {1, 2, nWrites / 2, nWrites}) {
                if (n >= 1 && n <= nWrites)
                    faults.emplace_back(QStringLiteral("write %1").arg(n), [n](CFaultInjectionEnv& env) { env.FailWrite(n); });
            }
            faults.emplace_back(QStringLiteral("sync"), [](CFaultInjectionEnv& env) { env.FailCommit(); });
            faults.emplace_back(QStringLiteral("rename"), [](CFaultInjectionEnv& env) { env.FailRename(); });
            faults.emplace_back(QStringLiteral("open"), [](CFaultInjectionEnv& env) { env.FailOpen(); });
            for (const auto& [strFault, inject] : faults) {
                const QString strCase = strName + QLatin1Char(' ') + strFault;
                QTemporaryDir dir;
                const QString strPath = dir.filePath(strName);
                QFile previous(strPath);
                QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("previous") == 8);
                previous.close();
                CFaultInjectionEnv env;
                inject(env);
                QVERIFY2(!band.SaveImage(strPath, &env), qPrintable(strCase));
                QVERIFY(previous.open(QIODevice::ReadOnly));
                QCOMPARE(previous.readAll(), QByteArray("previous"));
                previous.close();
                QVERIFY2(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1, qPrintable(strCase));
            }
        }
    }

    void savesTheVisibleRangeAsPngAndSvg()
    {
        CNenpyoWindow window;
        Show(window);
        QTemporaryDir dir;
        const QString strPng = dir.filePath(QStringLiteral("band.png"));
        const QString strSvg = dir.filePath(QStringLiteral("band.svg"));
        QVERIFY(window.Band()->SaveImage(strPng));
        QCOMPARE(QImage(strPng).size(), window.Band()->viewport()->size());
        QVERIFY(window.Band()->SaveImage(strSvg));
        QFile svg(strSvg);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
        QVERIFY(!window.Band()->SaveImage(dir.filePath(QStringLiteral("missing/band.png"))));
    }
};

QTEST_MAIN(CBandViewTest)
#include "BandView_test.moc"
