// Nenpyo (年表): keeps a chronology of events with its base-year, era and period tables.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <framework/HostUi.h>

#include <shared/qt/QtText.h>

#include "NenpyoWindow.h"
#include "RecentFiles.h"
#include "PdfCommand.h"
#include <shared/qt/QtHostUi.h>

namespace {

void SetUpParser(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("年表(出来事・基点年・元号・時代の表)を作り、読み、書き出します。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("開く年表ファイル(.nenpyo)または出来事ファイル(.lev)"));
    CPdfCommand::AddOptions(parser);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Haldris"));
    QCoreApplication::setApplicationName(QStringLiteral("Nenpyo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NENPYO_VERSION));
    // --help and --version answer without a display. Qt's own options (-platform, -style...) are
    // known only to QApplication: a command line with them is left to the second parse.
    {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        SetUpParser(parser);
        if (parser.parse(QCoreApplication::arguments())) {
            if (parser.isSet(QStringLiteral("help")))
                parser.showHelp();
            if (parser.isSet(QStringLiteral("version")))
                parser.showVersion();
        }
    }

    CPdfCommand::PreparePlatform(argc, argv);
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("年表"));
    QGuiApplication::setDesktopFileName(QStringLiteral("nenpyo"));
    QIcon icon;
    for (const int nSize : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/nenpyo/nenpyo-%1.png").arg(nSize), QSize(nSize, nSize));
    QGuiApplication::setWindowIcon(icon);

    // The standard dialogs (file, print, message buttons) in Japanese.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);

    QCommandLineParser parser;
    SetUpParser(parser);
    parser.process(app);
    if (CPdfCommand::Requested(parser))
        return CPdfCommand::Run(parser);

    CQtHostUi hostUi;
    SetHostUi(&hostUi);
    int nResult = 0;
    {
        CNenpyoWindow window;
        // A first start shows the sample (read-only) rather than an empty table.
        if (!parser.positionalArguments().isEmpty())
            window.OpenFile(parser.positionalArguments().constFirst());
        else if (CRecentFiles::Files().isEmpty())
            window.OpenFile(FromPath(window.Session().SampleFile()));
        window.show();
        nResult = QApplication::exec();
    }
    SetHostUi(nullptr);
    return nResult;
}
