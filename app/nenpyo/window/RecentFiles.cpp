#include "RecentFiles.h"

#include "NenpyoSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

void Store(const QStringList& files)
{
    CNenpyoSettings::SetRecentFiles(files);
}

} // namespace

QStringList CRecentFiles::Files()
{
    return CNenpyoSettings::RecentFiles();
}

void CRecentFiles::Add(const QString& strPath)
{
    QStringList files = Files();
    files.removeAll(strPath);
    files.prepend(strPath);
    while (files.size() > kMax)
        files.removeLast();
    Store(files);
}

void CRecentFiles::Remove(const QString& strPath)
{
    QStringList files = Files();
    if (files.removeAll(strPath) > 0)
        Store(files);
}

QStringList CRecentFiles::DropMissing()
{
    QStringList files = Files();
    QStringList missing;
    for (const QString& strPath : files) {
        if (!QFileInfo::exists(strPath))
            missing << strPath;
    }
    if (!missing.isEmpty()) {
        for (const QString& strPath : missing)
            files.removeAll(strPath);
        Store(files);
    }
    return missing;
}

QStringList CRecentFiles::Labels(const QStringList& files)
{
    QHash<QString, int> counts;
    for (const QString& strPath : files)
        ++counts[QFileInfo(strPath).fileName()];
    QStringList labels;
    for (const QString& strPath : files) {
        const QFileInfo info(strPath);
        labels << (counts.value(info.fileName()) > 1
                       ? QStringLiteral("%1 (%2)").arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()))
                       : info.fileName());
    }
    return labels;
}
