// What the picture makers behind scripts/screenshot share: letting the window system catch up, and
// saving a widget's picture with its path printed (or a message naming the program on failure).
#pragma once

#include <cstdio>

#include <QCoreApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QString>
#include <QWidget>

inline void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

inline bool Save(QWidget& widget, const QString& strPath)
{
    Settle();
    if (!widget.grab().save(strPath)) {
        std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()),
                     qPrintable(strPath));
        return false;
    }
    std::printf("%s\n", qPrintable(strPath));
    return true;
}
