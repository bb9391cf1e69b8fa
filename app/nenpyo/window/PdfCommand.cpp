#include "PdfCommand.h"

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QFileInfo>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include "BandPainter.h"
#include "ChronologyPrinter.h"
#include "NenpyoDoc.h"
#include "NenpyoSettings.h"
#include "Sharing.h"

namespace {

const QString kPdf = QStringLiteral("pdf");
const QString kPriority = QStringLiteral("priority");
const QString kBand = QStringLiteral("band");

int Fail(const QString& strMessage)
{
    std::fprintf(stderr, "nenpyo: %s\n", strMessage.toLocal8Bit().constData());
    return 1;
}

QString Text(const CString& str)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(str.View()));
}

} // namespace

void CPdfCommand::PreparePlatform(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            return;
        }
    }
}

void CPdfCommand::AddOptions(QCommandLineParser& parser)
{
    parser.addOption(QCommandLineOption(kPdf, QStringLiteral("FILEを開かずにPDFに印刷して終わります。"),
                                        QStringLiteral("OUT.pdf")));
    parser.addOption(QCommandLineOption(kPriority, QStringLiteral("--pdfで印刷する出来事: high、middle、all(既定)"),
                                        QStringLiteral("high|middle|all"), QStringLiteral("all")));
    parser.addOption(QCommandLineOption(kBand, QStringLiteral("--pdfの最初のページに時間帯の図(出来事の全体)を入れます。")));
}

bool CPdfCommand::Requested(const QCommandLineParser& parser)
{
    return parser.isSet(kPdf);
}

int CPdfCommand::Run(const QCommandLineParser& parser)
{
    const QString strOut = parser.value(kPdf);
    const QStringList files = parser.positionalArguments();
    if (strOut.isEmpty() || files.size() != 1)
        return Fail(QStringLiteral("--pdf OUT.pdf FILE: 年表ファイルを一つ指定してください。"));
    const QString strPriority = parser.value(kPriority);
    EEventPriority eFilter = PRIORITY_ALL;
    if (strPriority == QStringLiteral("high"))
        eFilter = PRIORITY_HIGH;
    else if (strPriority == QStringLiteral("middle"))
        eFilter = PRIORITY_MIDDLE;
    else if (strPriority != QStringLiteral("all"))
        return Fail(QStringLiteral("--priority には high、middle、all のどれかを指定してください: %1").arg(strPriority));

    CString strName;
    if (!FromNativePath(QFileInfo(files.constFirst()).absoluteFilePath().toStdString(), strName))
        return Fail(QStringLiteral("%1: このファイル名はコードページ932で表せません。").arg(files.constFirst()));
    CNenpyoDoc doc;
    CString strFailed;
    const SFileStatus status = doc.Open(strName, CNenpyoSettings::Session().DefaultTables(), strFailed);
    if (!status.Ok())
        return Fail(Text(FormatFileStatus(status, strFailed)));
    for (const CString& strWarning : doc.Warnings())
        std::fprintf(stderr, "nenpyo: %s\n", Text(strWarning).toLocal8Bit().constData());

    CBandPainter band;
    CChronologyPrinter::CPicture picture;
    if (parser.isSet(kBand)) {
        band.SetDocument(&doc);
        picture = CSharing::WholeBand(band, eFilter);
    }
    QString strError;
    if (CSharing::WritePdf(doc, eFilter, picture, strOut, QFileInfo(files.constFirst()).completeBaseName(), {},
                           strError) != CChronologyPrinter::EResult::Done)
        return Fail(QStringLiteral("%1: %2").arg(strOut, strError));
    return 0;
}
