#include "AboutDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <shared/qt/DialogUnits.h>
#include "TamberApp.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("バージョン情報 Tamber"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(CDialogUnits::GetDialogFont());
    const CDialogUnits units(font());

    auto* pIcon = new QLabel(this);
    pIcon->setObjectName(QStringLiteral("icon"));
    const int nIconSize = 32;
    pIcon->setPixmap(CTamberApp::GetAppIcon().pixmap(nIconSize, nIconSize));
    const QRect rcIcon = units.ToPixels(11, 17, 20, 20);
    pIcon->setGeometry(rcIcon.x(), rcIcon.y(), nIconSize, nIconSize);

    auto* pLabel = new QLabel(QStringLiteral("Tamber Version 1.03"), this);
    pLabel->setObjectName(QStringLiteral("version"));
    pLabel->setGeometry(units.ToPixels(40, 10, 119, 8));

    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setObjectName(QStringLiteral("1"));
    pOk->setGeometry(units.ToPixels(178, 7, 50, 16));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(units.ToPixelsX(235), units.ToPixelsY(55));
}
