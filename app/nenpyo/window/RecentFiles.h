// CRecentFiles: the files Nenpyo opened or saved last, newest first, kept in the program's
// settings (RecentFiles), and the names the menu shows for them.
#pragma once

#include <QStringList>

class CRecentFiles {
public:
    static constexpr int kMax = 8;

    static QStringList Files();
    // Puts strPath first (once), keeping at most kMax.
    static void Add(const QString& strPath);
    static void Remove(const QString& strPath);
    // Removes the files that no longer exist; returns them (empty when all are there).
    static QStringList DropMissing();
    // The menu's name of each file: its name, followed by its folder when another file of the
    // list has the same name.
    static QStringList Labels(const QStringList& files);
};
