#include "PdfCommand.h"

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QFileInfo>

#include <framework/Cp932.h>
#include <shared/qt/QtText.h>

#include "BandPainter.h"
#include "ChronologyPrinter.h"
#include "NenpyoDoc.h"
#include "NenpyoSettings.h"
#include "Sharing.h"
#include "WebPage.h"

namespace {

const QString kPdf = QStringLiteral("pdf");
const QString kPriority = QStringLiteral("priority");
const QString kBand = QStringLiteral("band");
const QString kHtml = QStringLiteral("html");
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

int WriteHtml(const CNenpyoDoc& doc, EEventPriority eFilter, const QString& strOut)
{
    const std::filesystem::path path = ToPath(QFileInfo(strOut).absoluteFilePath());
    const SFileStatus status = CWebPage::Write(doc, eFilter, path);
    if (!status.Ok())
        return Fail(QString::fromStdString(FormatFileStatusUtf8(status, CNenpyoDoc::Utf8(path))));
    return 0;
}

} // namespace

void CPdfCommand::PreparePlatform(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0 ||
            std::strcmp(argv[i], "--html") == 0 || std::strncmp(argv[i], "--html=", 7) == 0) {
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
    parser.addOption(QCommandLineOption(kHtml, QStringLiteral("FILEを開かずに一つのファイルのWebページに書き出して終わります。"),
                                        QStringLiteral("OUT.html")));
    parser.addOption(QCommandLineOption(kPriority, QStringLiteral("--pdf、--htmlで書き出す出来事: high、middle、all(既定)"),
                                        QStringLiteral("high|middle|all"), QStringLiteral("all")));
    parser.addOption(QCommandLineOption(kPartial, QStringLiteral("--pdfで、傷のあるファイルの傷の前までを印刷します(既定では印刷せずに終わります)。")));
    parser.addOption(QCommandLineOption(kBand, QStringLiteral("--pdfの最初のページに時間帯の図(出来事の全体)を入れます。")));
}

bool CPdfCommand::Requested(const QCommandLineParser& parser)
{
    return parser.isSet(kPdf) || parser.isSet(kHtml);
}

int CPdfCommand::Run(const QCommandLineParser& parser)
{
    const bool bHtml = parser.isSet(kHtml);
    if (bHtml && parser.isSet(kPdf))
        return Fail(QStringLiteral("--pdf と --html は一緒に指定できません。"));
    const QString strOut = parser.value(bHtml ? kHtml : kPdf);
    const QStringList files = parser.positionalArguments();
    if (strOut.isEmpty() || files.size() != 1)
        return Fail(bHtml ? QStringLiteral("--html OUT.html FILE: 年表ファイルを一つ指定してください。")
                          : QStringLiteral("--pdf OUT.pdf FILE: 年表ファイルを一つ指定してください。"));
    const QString strPriority = parser.value(kPriority);
    EEventPriority eFilter = PRIORITY_ALL;
    if (strPriority == QStringLiteral("high"))
        eFilter = PRIORITY_HIGH;
    else if (strPriority == QStringLiteral("middle"))
        eFilter = PRIORITY_MIDDLE;
    else if (strPriority != QStringLiteral("all"))
        return Fail(QStringLiteral("--priority には high、middle、all のどれかを指定してください: %1").arg(strPriority));

    CNenpyoDoc doc;
    std::filesystem::path failed;
    const SFileStatus status = doc.Open(ToPath(QFileInfo(files.constFirst()).absoluteFilePath()),
                                        CNenpyoSettings::Session().DefaultTables(), failed);
    if (!status.Ok()) {
        const QString strDamage = QString::fromStdString(FormatFileStatusUtf8(status, CNenpyoDoc::Utf8(failed))) +
                                  (doc.DamageReason().IsEmpty() ? QString() : QStringLiteral(": ") + Text(doc.DamageReason()));
        if (!doc.IsRecovered() || !parser.isSet(kPartial))
            return Fail(strDamage);
        // What stands before the damaged line is printed; the damage is still named.
        std::fprintf(stderr, "nenpyo: %s\n", strDamage.toLocal8Bit().constData());
        doc.KeepBeforeDamage();
    }
    for (const std::string& strWarning : doc.Warnings())
        std::fprintf(stderr, "nenpyo: %s\n", QString::fromStdString(strWarning).toLocal8Bit().constData());

    if (bHtml)
        return WriteHtml(doc, eFilter, strOut);
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
