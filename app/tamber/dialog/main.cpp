// Tamber: converts years to their stem-branch pair and back, with Western and era-name years.
#include <QCommandLineParser>

#include "TamberApp.h"

int main(int argc, char** argv)
{
    CTamberApp app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("干支と年を相互に変換します。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    app.InitInstance();
    return 0;
}
