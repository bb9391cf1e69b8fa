// Tamber: converts years to their stem-branch pair and back, with Western and era-name years.
#include <QCommandLineParser>
#include <QCoreApplication>

#include "TamberApp.h"

int main(int argc, char** argv)
{
    {
        // The options are read before the window system is touched, so that --help and --version
        // answer (and a wrong option is reported) without a display.
        QCoreApplication options(argc, argv);
        CTamberApp::SetApplicationNames();
        QCommandLineParser parser;
        parser.setApplicationDescription(QStringLiteral("干支と年を相互に変換します。"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.process(options);
    }
    CTamberApp app(argc, argv);
    app.InitInstance();
    return 0;
}
