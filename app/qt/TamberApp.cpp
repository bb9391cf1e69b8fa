#include "TamberApp.h"

#include <framework/HostUi.h>

#include "TamberDlg.h"

CTamberApp::CTamberApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetApplicationNames();
    setWindowIcon(GetAppIcon());
    SetHostUi(&m_hostUi);
}

CTamberApp::~CTamberApp()
{
    SetHostUi(nullptr);
}

void CTamberApp::SetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Haldris"));
    QCoreApplication::setApplicationName(QStringLiteral("Tamber"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMBER_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tamber"));
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
