#include "PdfCommand.h"

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QFileInfo>
#include <QPainter>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include "BandPainter.h"
#include "ChronologyPrinter.h"
#include "NenpyoDoc.h"
#include "NenpyoWindow.h"

namespace {

const QString kPdf = QStringLiteral("pdf");
const QString kPriority = QStringLiteral("priority");
const QString kBand = QStringLiteral("band");
const QString kPartial = QStringLiteral("partial");

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
    parser.addOption(QCommandLineOption(kPartial, QStringLiteral("--pdfで、傷のあるファイルの傷の前までを印刷します(既定では印刷せずに終わります)。")));
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
    const SFileStatus status = doc.Open(strName, CNenpyoWindow::DefaultTables(), strFailed);
    if (!status.Ok()) {
        const QString strDamage = Text(FormatFileStatus(status, strFailed)) +
                                  (doc.DamageReason().IsEmpty() ? QString() : QStringLiteral(": ") + Text(doc.DamageReason()));
        if (!doc.IsRecovered() || !parser.isSet(kPartial))
            return Fail(strDamage);
        // What stands before the damaged line is printed; the damage is still named.
        std::fprintf(stderr, "nenpyo: %s\n", strDamage.toLocal8Bit().constData());
        doc.KeepBeforeDamage();
    }
    for (const CString& strWarning : doc.Warnings())
        std::fprintf(stderr, "nenpyo: %s\n", Text(strWarning).toLocal8Bit().constData());

    CChronologyPrinter printer(doc, eFilter);
    CBandPainter band;
    if (parser.isSet(kBand)) {
        band.SetDocument(&doc);
        printer.SetPicture([&band, eFilter](QPainter& painter, const QRect& rect) {
            double dFrom = 0;
            double dTo = 0;
            if (!band.Extent(dFrom, dTo)) {
                dFrom = 0;
                dTo = 2100;
            }
            const double dMargin = (dTo - dFrom) * 0.03;
            CBandScale scale;
            scale.Fit(dFrom - dMargin, dTo + dMargin, rect.width());
            band.Paint(painter, rect, scale, eFilter, -1);
        });
    }
    QString strError;
    if (printer.PrintPdf(strOut, printer.Title(QFileInfo(files.constFirst()).completeBaseName()), {}, strError) !=
        CChronologyPrinter::EResult::Done)
        return Fail(QStringLiteral("%1: %2").arg(strOut, strError));
    return 0;
}
