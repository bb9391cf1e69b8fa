// CNenpyoSettings: everything Nenpyo remembers between runs, each under one key of the program's
// settings (QSettings: ~/.config/Haldris/Nenpyo.conf), and where the program finds its shipped
// files. No other part of Nenpyo names a key.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "NenpyoSession.h"

class CNenpyoSettings {
public:
    // The window's place and size (QWidget::saveGeometry); empty before the first close.
    static QByteArray WindowGeometry();
    static void SetWindowGeometry(const QByteArray& geometry);
    // The share of the table and the band (QSplitter::saveState), and whether the band shows (on).
    static QByteArray BandSplitter();
    static void SetBandSplitter(const QByteArray& state);
    static bool BandVisible();
    static void SetBandVisible(bool bVisible);
    // ファイル → CSVにBOMを付ける (off).
    static bool CsvByteOrderMark();
    static void SetCsvByteOrderMark(bool bOn);
    // ファイル → 印刷に時間帯の図を含める (off).
    static bool PrintsBand();
    static void SetPrintsBand(bool bOn);
    // The files opened or saved last, newest first (CRecentFiles keeps the list in order).
    static QStringList RecentFiles();
    static void SetRecentFiles(const QStringList& files);

    // The program's places: the shipped data beside an installed program (else the source tree's)
    // and the era file Tamber remembers.
    static CNenpyoSession Session();
};
