#include "NenpyoSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <shared/qt/QtText.h>
#include <shared/qt/TamberProfile.h>
#include <shared/shipped/ShippedFiles.h>

namespace {

const QString kWindowGeometry = QStringLiteral("Window/Geometry");
const QString kBandSplitter = QStringLiteral("Band/Splitter");
const QString kBandVisible = QStringLiteral("Band/Visible");
const QString kCsvByteOrderMark = QStringLiteral("Export/CsvByteOrderMark");
const QString kPrintBand = QStringLiteral("Print/Band");
const QString kWesternDay = QStringLiteral("View/WesternDay");
const QString kRecentFiles = QStringLiteral("RecentFiles");

} // namespace

QByteArray CNenpyoSettings::WindowGeometry() { return QSettings().value(kWindowGeometry).toByteArray(); }
void CNenpyoSettings::SetWindowGeometry(const QByteArray& geometry) { QSettings().setValue(kWindowGeometry, geometry); }
QByteArray CNenpyoSettings::BandSplitter() { return QSettings().value(kBandSplitter).toByteArray(); }
void CNenpyoSettings::SetBandSplitter(const QByteArray& state) { QSettings().setValue(kBandSplitter, state); }
bool CNenpyoSettings::BandVisible() { return QSettings().value(kBandVisible, true).toBool(); }
void CNenpyoSettings::SetBandVisible(bool bVisible) { QSettings().setValue(kBandVisible, bVisible); }
bool CNenpyoSettings::CsvByteOrderMark() { return QSettings().value(kCsvByteOrderMark, false).toBool(); }
void CNenpyoSettings::SetCsvByteOrderMark(bool bOn) { QSettings().setValue(kCsvByteOrderMark, bOn); }
bool CNenpyoSettings::WesternDayShown() { return QSettings().value(kWesternDay, false).toBool(); }
void CNenpyoSettings::SetWesternDayShown(bool bShown) { QSettings().setValue(kWesternDay, bShown); }
bool CNenpyoSettings::PrintsBand() { return QSettings().value(kPrintBand, false).toBool(); }
void CNenpyoSettings::SetPrintsBand(bool bOn) { QSettings().setValue(kPrintBand, bOn); }
QStringList CNenpyoSettings::RecentFiles() { return QSettings().value(kRecentFiles).toStringList(); }
void CNenpyoSettings::SetRecentFiles(const QStringList& files) { QSettings().setValue(kRecentFiles, files); }

CNenpyoSession CNenpyoSettings::Session()
{
    // The shipped data folder (ﾗｲﾌﾞﾗﾘ/, 年表/): beside an installed program, else the source tree's.
    const QString strData = QFileInfo(QString::fromStdString(FindShippedData(
                                          QCoreApplication::applicationDirPath().toStdString(), "ﾗｲﾌﾞﾗﾘ")))
                                .path();
    const QString strLibrary = QFileInfo(strData + QStringLiteral("/ﾗｲﾌﾞﾗﾘ")).absoluteFilePath();
    CNenpyoSession::SPlaces places;
    places.libraryFolder = ToPath(strLibrary);
    places.sampleFile = ToPath(QFileInfo(strData + QStringLiteral("/年表/日本史.nenpyo")).absoluteFilePath());
    const QString strRemembered = CTamberProfile::EraFile();
    if (!strRemembered.isEmpty())
        places.rememberedEraFile = ToPath(QFileInfo(strRemembered).absoluteFilePath());
    return CNenpyoSession(places);
}
