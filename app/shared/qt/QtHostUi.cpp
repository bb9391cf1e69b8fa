#include "QtHostUi.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include "QtText.h"

namespace {

// A message may name a long path with no space in it, which the box would not break: a break
// opportunity (a zero-width space) after each separator lets it wrap instead of running off the
// screen.
QString Breakable(QString str)
{
    static const QRegularExpression s_separator(QStringLiteral("([/\\\\_.-])(?=\\S)"));
    return str.replace(s_separator, QStringLiteral("\\1") + QChar(0x200B));
}

} // namespace

std::unique_ptr<QMessageBox> CQtHostUi::MakeMessageBox(const CString& strText, unsigned nType)
{
    return MakeMessageBox(ToQString(strText), nType);
}

std::unique_ptr<QMessageBox> CQtHostUi::MakeMessageBox(const QString& strText, unsigned nType)
{
    QMessageBox::Icon eIcon = QMessageBox::NoIcon;
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND: eIcon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: eIcon = QMessageBox::Question; break;
    case MB_ICONEXCLAMATION: eIcon = QMessageBox::Warning; break;
    case MB_ICONASTERISK: eIcon = QMessageBox::Information; break;
    default: break;
    }
    auto pBox = std::make_unique<QMessageBox>(eIcon, QGuiApplication::applicationDisplayName(), Breakable(strText),
                                              QMessageBox::Ok, QApplication::activeWindow());
    pBox->setTextFormat(Qt::PlainText);
    return pBox;
}

void CQtHostUi::ShowMessage(const CString& strText, unsigned nType)
{
    MakeMessageBox(strText, nType)->exec();
}

void CQtHostUi::ShowUtf8Message(const std::string& strText, unsigned nType)
{
    MakeMessageBox(QString::fromStdString(strText), nType)->exec();
}

QStringList CQtHostUi::ConvertFilter(const QString& strFilter)
{
    QStringList filters;
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    // Pairs of description and pattern; the empty part or two after the last bar end the list.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString strDesc = parts[i].trimmed();
        if (strDesc.isEmpty() && parts[i + 1].isEmpty())
            break;
        QStringList patterns;
        for (QString strPattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            strPattern = strPattern.trimmed();
            if (strPattern == QLatin1String("*.*"))
                strPattern = QStringLiteral("*");
            if (!strPattern.isEmpty())
                patterns << strPattern;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // Qt reads the patterns from the last parenthesised group of a filter; a description that
        // already shows its patterns there gets them replaced, so they are not shown twice.
        static const QRegularExpression s_trailingGroup(QStringLiteral("\\s*\\([^()]*\\)$"));
        strDesc.remove(s_trailingGroup);
        filters << QStringLiteral("%1 (%2)").arg(strDesc, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

std::unique_ptr<QFileDialog> CQtHostUi::MakeFileDialog(const SFileRequest& request)
{
    auto pDialog = std::make_unique<QFileDialog>(QApplication::activeWindow(), ToQString(request.strTitle));
    if (request.bOpen) {
        pDialog->setAcceptMode(QFileDialog::AcceptOpen);
        pDialog->setFileMode((request.dwFlags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        pDialog->setAcceptMode(QFileDialog::AcceptSave);
        pDialog->setFileMode(QFileDialog::AnyFile);
        pDialog->setOption(QFileDialog::DontConfirmOverwrite, !(request.dwFlags & OFN_OVERWRITEPROMPT));
    }
    const QStringList filters = ConvertFilter(ToQString(request.strFilter));
    if (!filters.isEmpty())
        pDialog->setNameFilters(filters);
    if (!request.strDefExt.IsEmpty())
        pDialog->setDefaultSuffix(ToQString(request.strDefExt));
    std::string strDir = request.strNativeInitialDir;
    if (strDir.empty() && !request.strInitialDir.IsEmpty())
        ToNativePath(request.strInitialDir, strDir);
    if (!strDir.empty())
        pDialog->setDirectory(QDir::current().absoluteFilePath(QString::fromStdString(strDir)));
    std::string strFile = request.strNativeFileName;
    if (strFile.empty() && !request.strFileName.IsEmpty())
        ToNativePath(request.strFileName, strFile);
    if (!strFile.empty())
        pDialog->selectFile(QString::fromStdString(strFile));
    return pDialog;
}

bool CQtHostUi::AskFileName(const SFileRequest& request, CString& strPath)
{
    const std::unique_ptr<QFileDialog> pDialog = MakeFileDialog(request);
    for (;;) {
        if (pDialog->exec() != QDialog::Accepted || pDialog->selectedFiles().isEmpty())
            return false;
        const QString strChosen = QDir::cleanPath(pDialog->selectedFiles().constFirst());
        CString strName;
        if (FromNativePath(strChosen.toStdString(), strName)) {
            strPath = strName;
            return true;
        }
        ShowMessage(CP932("このファイル名はShift_JIS(コードページ932)で表せない文字を含むため使えません。"
                          "別の名前のファイルを選んでください。"),
                    MB_ICONEXCLAMATION);
    }
}

bool CQtHostUi::AskNativeFileName(const SFileRequest& request, std::string& strNative)
{
    const std::unique_ptr<QFileDialog> pDialog = MakeFileDialog(request);
    if (pDialog->exec() != QDialog::Accepted || pDialog->selectedFiles().isEmpty())
        return false;
    strNative = QDir::cleanPath(pDialog->selectedFiles().constFirst()).toStdString();
    return true;
}
