// nenpyo-screenshot: draws Nenpyo's main window on a chronology (every priority, then the high
// one only), the event dialog, the base-year dialog and the time band at three zooms (the whole
// chronology, the centuries of the two courts, the years around 1868) into PNG files, for
// scripts/screenshot.
//
//   nenpyo-screenshot OUTDIR DOCUMENT
//
// The profile is a temporary one, so the user's own recent files are neither read nor changed.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QSplitter>
#include <QStandardPaths>

#include <framework/HostUi.h>

#include "BandView.h"
#include "BaseYearDlg.h"
#include "EventDlg.h"
#include "EventModel.h"
#include "NenpyoWindow.h"
#include <shared/qt/QtHostUi.h>
#include <shared/qt/Screenshot.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: nenpyo-screenshot OUTDIR DOCUMENT\n");
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Haldris"));
    QCoreApplication::setApplicationName(QStringLiteral("Nenpyo"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("年表"));
    CQtHostUi hostUi;
    SetHostUi(&hostUi);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool bOk = out.mkpath(QStringLiteral("."));

    CNenpyoWindow window;
    window.resize(1100, 700);
    window.show();
    bOk = bOk && window.OpenFile(QString::fromLocal8Bit(argv[2]));
    Settle();
    window.GoToYear(1600);
    window.Band()->FitAll();
    bOk = bOk && Save(window, out.filePath(QStringLiteral("nenpyo-all.png")));
    window.SetFilter(PRIORITY_HIGH);
    Settle();
    window.GoToYear(1600);
    bOk = bOk && Save(window, out.filePath(QStringLiteral("nenpyo-high.png")));

    // An event whose text is linked in part.
    window.GoToYear(1543);
    SEventData event;
    bOk = bOk && window.Model()->EventAt(window.Model()->RowOf(window.SelectedIndex()), event);
    CEventDlg eventDlg(event, QStringLiteral("出来事の編集"), &window);
    eventDlg.show();
    bOk = bOk && Save(eventDlg, out.filePath(QStringLiteral("nenpyo-event.png")));
    window.GoToYear(1600);
    CBaseYearDlg baseYearDlg(window.Doc().BaseYear(), &window);
    baseYearDlg.show();
    bOk = bOk && Save(baseYearDlg, out.filePath(QStringLiteral("nenpyo-baseyear.png")));

    window.SetFilter(PRIORITY_ALL);
    CBandView& band = *window.Band();
    band.setVisible(true);
    window.resize(1100, 900);
    if (auto* pSplitter = qobject_cast<QSplitter*>(band.parentWidget()))
        pSplitter->setSizes({300, 440});
    Settle();
    band.FitAll();
    bOk = bOk && Save(band, out.filePath(QStringLiteral("nenpyo-band-all.png")));
    band.ShowYears(1300, 1420);
    bOk = bOk && Save(band, out.filePath(QStringLiteral("nenpyo-band-courts.png")));
    band.ShowYears(1866, 1870);
    bOk = bOk && Save(band, out.filePath(QStringLiteral("nenpyo-band-meiji.png")));
    SetHostUi(nullptr);
    return bOk ? 0 : 1;
}
