#include "TamberApp.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <framework/HostUi.h>
#include <shared/qt/TamberProfile.h>

#include "TamberDlg.h"

CTamberApp::CTamberApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetApplicationNames();
    InstallTranslations();
    setWindowIcon(GetAppIcon());
    SetHostUi(&m_hostUi);
}

CTamberApp::~CTamberApp()
{
    SetHostUi(nullptr);
}

void CTamberApp::SetApplicationNames()
{
    QCoreApplication::setOrganizationName(CTamberProfile::Organisation());
    QCoreApplication::setApplicationName(CTamberProfile::Application());
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMBER_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tamber"));
}

bool CTamberApp::InstallTranslations()
{
    // Dates and sizes in the file dialog follow the language of its words.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    static QTranslator s_translator;
    if (!s_translator.isEmpty())
        return true;
    if (!s_translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&s_translator);
}

QIcon CTamberApp::GetAppIcon()
{
    QIcon icon;
    for (const int nSize : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/tamber/tamber-%1.png").arg(nSize), QSize(nSize, nSize));
    return icon;
}

bool CTamberApp::InitInstance()
{
    CTamberDlg dlg;
    dlg.exec();
    return false;
}
