#include "HelpWindow.h"

#include <QDesktopServices>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QMimeType>
#include <QProcess>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "DialogUnits.h"

CHelpWindow::CHelpWindow(const QString& strPagesDir, const QString& strTitle, QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(strTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setFont(CDialogUnits::GetDialogFont());

    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setObjectName(QStringLiteral("pages"));
    m_pBrowser->setOpenExternalLinks(true);
    m_pBrowser->setSearchPaths({strPagesDir});

    auto* pBack = new QPushButton(QStringLiteral("戻る"), this);
    auto* pForward = new QPushButton(QStringLiteral("進む"), this);
    auto* pHome = new QPushButton(QStringLiteral("目次"), this);
    pBack->setEnabled(false);
    pForward->setEnabled(false);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    for (QPushButton* pButton : {pBack, pForward, pHome})
        pButton->setAutoDefault(false);

    auto* pRow = new QHBoxLayout;
    pRow->addWidget(pBack);
    pRow->addWidget(pForward);
    pRow->addWidget(pHome);
    pRow->addStretch(1);
    pRow->addWidget(pButtons);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pBrowser, 1);
    pLayout->addLayout(pRow);

    connect(pBack, &QPushButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(pForward, &QPushButton::clicked, m_pBrowser, &QTextBrowser::forward);
    connect(pHome, &QPushButton::clicked, m_pBrowser, &QTextBrowser::home);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, pBack, &QPushButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, pForward, &QPushButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this,
            [this, strTitle] {
                // A page whose title names the program already is not named twice.
                const QString strPage = m_pBrowser->documentTitle();
                setWindowTitle(strPage.contains(strTitle) ? strPage : strPage + QStringLiteral(" - ") + strTitle);
            });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_pBrowser->setSource(QUrl::fromLocalFile(QDir(strPagesDir).filePath(QStringLiteral("index.html"))));
    const CDialogUnits units(font());
    resize(units.ToPixelsX(330), units.ToPixelsY(300));
}

bool CHelpWindow::CanDesktopOpen(const QString& strPath)
{
    if (!QFileInfo::exists(strPath))
        return false;
    // The desktop's default application for the file's type (or an alias of it), as xdg-mime
    // reports it; none, or no xdg-mime, means the desktop cannot open the file.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(strPath);
    for (const QString& strType : QStringList(type.name()) + type.aliases()) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), strType});
        if (!query.waitForFinished(5000)) {
            query.kill();
            query.waitForFinished();
            return false;
        }
        if (query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0
            && !query.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
}

QUrl CHelpWindow::GetPage() const
{
    return m_pBrowser->source();
}

bool CHelpWindow::Open(QPointer<CHelpWindow>& pWindow, const QString& strFile, const QString& strPagesDir,
                       const QString& strTitle, QWidget* pParent)
{
    if (CanDesktopOpen(strFile) && QDesktopServices::openUrl(QUrl::fromLocalFile(strFile)))
        return true;
    if (!pWindow) {
        if (strPagesDir.isEmpty() || !QFileInfo::exists(strPagesDir + QStringLiteral("/index.html")))
            return false;
        pWindow = new CHelpWindow(strPagesDir, strTitle, pParent);
        pWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    pWindow->show();
    pWindow->raise();
    pWindow->activateWindow();
    return true;
}
