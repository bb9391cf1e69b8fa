// tamber-screenshot: draws the dialog after each conversion and enlarged, the help window and the
// about box into PNG files, for scripts/screenshot (which runs it under Xvfb) and the README's
// pictures.
//
//   tamber-screenshot OUTDIR ERAFILE
//
// The dialog starts as the program does, with ERAFILE as the remembered era file. The profile is
// a temporary one, so the user's own is neither read nor changed.
#include <cstdio>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <tamber/core/HelpFiles.h>
#include <framework/HostUi.h>

#include "AboutDlg.h"
#include "DropComboBox.h"
#include <shared/qt/HelpWindow.h>
#include <shared/qt/QtHostUi.h>
#include <shared/qt/Screenshot.h>
#include <shared/qt/TamberProfile.h>
#include "TamberApp.h"
#include "TamberDlg.h"

namespace {

// Chooses an item of a list as the user does: open, choose, close.
void Choose(CTamberDlg& dlg, const char* pszName, int nIndex)
{
    auto* pList = dlg.findChild<CDropComboBox*>(QLatin1String(pszName));
    pList->showPopup();
    pList->SetCurSel(nIndex);
    pList->hidePopup();
    Settle();
    QApplication::setActiveWindow(pList->window());   // back from the popup
    Settle();
}

void SetText(CTamberDlg& dlg, const char* pszName, const QString& strText)
{
    dlg.findChild<QLineEdit*>(QLatin1String(pszName))->setText(strText);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tamber-screenshot OUTDIR ERAFILE\n");
        return 2;
    }
    const QString strOutDir = QString::fromLocal8Bit(argv[1]);
    const QString strEraFile = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    QTemporaryDir profileDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profileDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, profileDir.path());
    CTamberApp::SetApplicationNames();
    CTamberApp::InstallTranslations();
    QApplication::setWindowIcon(CTamberApp::GetAppIcon());
    CQtHostUi hostUi;
    SetHostUi(&hostUi);
    CTamberProfile::SetEraFile(strEraFile);
    QDir().mkpath(strOutDir);

    CTamberDlg dlg;
    dlg.show();
    // No window manager runs on the virtual display to activate the window.
    QApplication::setActiveWindow(&dlg);
    Settle();

    // Year to cycle: 昭和 59 (the era items follow the file's order).
    auto* pEraList = dlg.findChild<CDropComboBox*>(QStringLiteral("yearEraList"));
    const int nShowa = pEraList->findText(QStringLiteral("昭和"), Qt::MatchStartsWith);
    if (nShowa < 0) {
        std::fprintf(stderr, "tamber-screenshot: no era 昭和 in %s\n", qPrintable(strEraFile));
        return 1;
    }
    Choose(dlg, "yearEraList", nShowa);
    SetText(dlg, "yearEdit", QStringLiteral("59"));
    dlg.findChild<QWidget*>(QStringLiteral("yearEdit"))->setFocus();   // where the user typed: 年を干支にする is the default
    dlg.findChild<QPushButton*>(QStringLiteral("yearToCycleButton"))->click();
    bool bOk = Save(dlg, strOutDir + QStringLiteral("/tamber-year-to-cycle.png"));

    // Cycle to years: 甲子 from 1868 to 2024.
    Choose(dlg, "stemList", 1);
    Choose(dlg, "fromEraList", 0);
    Choose(dlg, "toEraList", 0);
    SetText(dlg, "fromEdit", QStringLiteral("1868"));
    SetText(dlg, "toEdit", QStringLiteral("2024"));
    dlg.findChild<QWidget*>(QStringLiteral("toEdit"))->setFocus();
    dlg.findChild<QPushButton*>(QStringLiteral("yearsOfPairButton"))->click();
    bOk = Save(dlg, strOutDir + QStringLiteral("/tamber-cycle-to-years.png")) && bOk;

    // Enlarged: the extra space goes to the result box, which then shows ten years of 子 whole.
    Choose(dlg, "stemList", 0);
    SetText(dlg, "fromEdit", QStringLiteral("1900"));
    SetText(dlg, "toEdit", QStringLiteral("2010"));
    dlg.findChild<QPushButton*>(QStringLiteral("yearsOfPairButton"))->click();
    dlg.resize(dlg.size() + QSize(200, 280));
    bOk = Save(dlg, strOutDir + QStringLiteral("/tamber-enlarged.png")) && bOk;

    // The help window that a desktop without a viewer for tamber.chm gets.
    const std::string strPages = FindHelpPages(QCoreApplication::applicationDirPath().toStdString());
    CHelpWindow help(QString::fromStdString(strPages), QStringLiteral("Tamber ヘルプ"));
    help.show();
    QApplication::setActiveWindow(&help);
    bOk = !strPages.empty() && Save(help, strOutDir + QStringLiteral("/tamber-help.png")) && bOk;
    help.close();

    CAboutDlg about(&dlg);
    about.show();
    bOk = Save(about, strOutDir + QStringLiteral("/tamber-about.png")) && bOk;

    SetHostUi(nullptr);
    return bOk ? 0 : 1;
}
