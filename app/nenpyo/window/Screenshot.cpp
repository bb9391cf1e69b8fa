// nenpyo-screenshot: draws Nenpyo's main window on a chronology (every priority, then the high
// one only), the event dialog and the base-year dialog into PNG files, for scripts/screenshot.
//
//   nenpyo-screenshot OUTDIR DOCUMENT
//
// The profile is a temporary one, so the user's own recent files are neither read nor changed.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <framework/HostUi.h>

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
    bOk = bOk && Save(window, out.filePath(QStringLiteral("nenpyo-all.png")));
    window.SetFilter(PRIORITY_HIGH);
    Settle();
    window.GoToYear(1600);
    bOk = bOk && Save(window, out.filePath(QStringLiteral("nenpyo-high.png")));

    SEventData event;
    bOk = bOk && window.Model()->EventAt(window.Model()->RowOf(window.SelectedIndex()), event);
    CEventDlg eventDlg(event, QStringLiteral("出来事の編集"), &window);
    eventDlg.show();
    bOk = bOk && Save(eventDlg, out.filePath(QStringLiteral("nenpyo-event.png")));
    CBaseYearDlg baseYearDlg(window.Doc().BaseYear(), &window);
    baseYearDlg.show();
    bOk = bOk && Save(baseYearDlg, out.filePath(QStringLiteral("nenpyo-baseyear.png")));
    SetHostUi(nullptr);
    return bOk ? 0 : 1;
}
