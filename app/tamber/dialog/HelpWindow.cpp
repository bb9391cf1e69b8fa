#include "HelpWindow.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "DialogUnits.h"

CHelpWindow::CHelpWindow(const QString& strPagesDir, QWidget* pParent) : QDialog(pParent)
{
    const QString strTitle = QStringLiteral("Tamber ヘルプ");
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
            [this, strTitle] { setWindowTitle(m_pBrowser->documentTitle() + QStringLiteral(" - ") + strTitle); });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_pBrowser->setSource(QUrl::fromLocalFile(QDir(strPagesDir).filePath(QStringLiteral("index.html"))));
    const CDialogUnits units(font());
    resize(units.ToPixelsX(330), units.ToPixelsY(300));
}

QUrl CHelpWindow::GetPage() const
{
    return m_pBrowser->source();
}
