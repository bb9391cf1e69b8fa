#include "LinkOpener.h"

#include <filesystem>

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "LinkRule.h"

QUrl CLinkOpener::Resolve(const QString& strLink, const QString& strBase)
{
    const QUrl url(strLink);
    if (!url.isRelative() || strBase.isEmpty())
        return url;
    return QUrl::fromLocalFile(QFileInfo(strBase).absolutePath() + QLatin1Char('/')).resolved(url);
}

bool CLinkOpener::Open(const QString& strLink, const QUrl& url) const
{
    const QString strLocal = url.isLocalFile() ? url.toLocalFile() : QString();
    const CLinkRule::EAction eAction =
        url.isValid() ? CLinkRule::Decide(url.scheme().toStdString(), std::filesystem::u8path(strLocal.toStdString()))
                      : CLinkRule::EAction::Refuse;
    if (eAction == CLinkRule::EAction::Refuse) {
        QMessageBox::warning(m_pParent, QStringLiteral("リンク"),
                             url.isLocalFile() ? QStringLiteral("プログラムや起動用のファイルは開きません: %1").arg(strLocal)
                                               : QStringLiteral("このリンクは開けません: %1").arg(strLink));
        return false;
    }
    if (eAction == CLinkRule::EAction::AskFirst) {
        // The chronology may come from anyone: the file is named before it opens.
        QMessageBox box(QMessageBox::Question, QStringLiteral("リンク"),
                        QStringLiteral("このファイルを開きますか?\n%1").arg(strLocal), QMessageBox::Open | QMessageBox::Cancel,
                        m_pParent);
        box.button(QMessageBox::Open)->setText(QStringLiteral("開く(&O)"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("開かない"));
        box.setDefaultButton(QMessageBox::Cancel);
        if (box.exec() != QMessageBox::Open)
            return false;
    }
    if (!QDesktopServices::openUrl(url)) {
        QMessageBox::warning(m_pParent, QStringLiteral("リンク"), QStringLiteral("リンクを開けませんでした: %1").arg(url.toString()));
        return false;
    }
    return true;
}
