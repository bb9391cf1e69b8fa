#include "Sharing.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QMessageBox>

#include <framework/HostUi.h>
#include <shared/qt/QtText.h>

#include "BandPainter.h"
#include "BandView.h"
#include "Chronology.h"
#include "DocumentFiles.h"
#include "NenpyoSession.h"
#include "NenpyoSettings.h"
#include "RowExport.h"
#include "WebPage.h"
#include "WorkProgress.h"

namespace {

void ShowWriteFailure(const QString& strPath, const QString& strWhy = QString())
{
    std::string strText = FormatFileStatusUtf8(SFileStatus{IDS_FILE_WRITE_FAILED, 0, 0}, strPath.toStdString());
    if (!strWhy.isEmpty())
        strText += ": " + strWhy.toStdString();
    AfxMessageBoxUtf8(strText, MB_ICONEXCLAMATION);
}

} // namespace

CSharing::CSharing(QWidget* pWindow, const CChronology& chronology, CBandView* pBand)
    : QObject(pWindow), m_pWindow(pWindow), m_chronology(chronology), m_pBand(pBand)
{
}

bool CSharing::WriteExport(const QString& strPath, int nFormat)
{
    const auto eFormat = static_cast<CRowExport::EFormat>(nFormat);
    const QString strKind = eFormat == CRowExport::EFormat::Html ? QStringLiteral("HTML") : QStringLiteral("CSV");
    const std::filesystem::path path = ToPath(QFileInfo(strPath).absoluteFilePath());
    CWorkProgress progress(m_pWindow, QStringLiteral("%1に書き出しています...").arg(strKind));
    bool bCancelled = false;
    const CNenpyoDoc& doc = m_chronology.Doc();
    const SFileStatus status =
        CRowExport::Export(doc, m_chronology.Filter(), eFormat, path, progress.Callback(), bCancelled);
    if (!status.Ok()) {
        CDocumentFiles::ShowFileStatus(status, path);
        return false;
    }
    Q_EMIT message(bCancelled ? QStringLiteral("%1への書き出しを取り消しました。").arg(strKind)
                              : QStringLiteral("%1件を%2に書き出しました: %3")
                                    .arg(CRowExport::RowCount(doc, m_chronology.Filter()))
                                    .arg(strKind, QFileInfo(strPath).absoluteFilePath()),
                   10000);
    return !bCancelled;
}

bool CSharing::ExportHtml(const QString& strPath)
{
    return WriteExport(strPath, static_cast<int>(CRowExport::EFormat::Html));
}

bool CSharing::ExportCsv(const QString& strPath)
{
    return WriteExport(strPath, static_cast<int>(CNenpyoSettings::CsvByteOrderMark()
                                                     ? CRowExport::EFormat::CsvWithByteOrderMark
                                                     : CRowExport::EFormat::Csv));
}

bool CSharing::ExportWebPage(const QString& strPath)
{
    const std::filesystem::path path = ToPath(QFileInfo(strPath).absoluteFilePath());
    if (const SFileStatus status = CWebPage::Write(m_chronology.Doc(), m_chronology.Filter(), path); !status.Ok()) {
        CDocumentFiles::ShowFileStatus(status, path);
        return false;
    }
    Q_EMIT message(QStringLiteral("Webページに書き出しました: %1").arg(QFileInfo(strPath).absoluteFilePath()), 10000);
    return true;
}

CChronologyPrinter::CPicture CSharing::BandPicture() const
{
    if (!CNenpyoSettings::PrintsBand() || !m_pBand)
        return {};
    CBandView* pBand = m_pBand;
    return [pBand](QPainter& painter, const QRect& rect) {
        pBand->Render(painter, rect);
        // Painting the picture replaced the view's hit areas: the view paints again.
        pBand->viewport()->update();
    };
}

void CSharing::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    CChronologyPrinter job(m_chronology.Doc(), m_chronology.Filter());
    job.SetPicture(BandPicture());
    printer.setDocName(job.Title(QString::fromStdString(CNenpyoSession::DocumentName(m_chronology.Doc()))));
    QPrintDialog dialog(&printer, m_pWindow);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    CWorkProgress progress(m_pWindow, QStringLiteral("印刷しています..."));
    switch (job.Print(printer, progress.Callback())) {
    case CChronologyPrinter::EResult::Done:
        Q_EMIT message(QStringLiteral("%1ページを印刷しました。").arg(job.Pages()), 10000);
        break;
    case CChronologyPrinter::EResult::Cancelled: Q_EMIT message(QStringLiteral("印刷を取り消しました。"), 10000); break;
    case CChronologyPrinter::EResult::Failed:
        QMessageBox::warning(m_pWindow, QStringLiteral("印刷"), QStringLiteral("印刷を始められませんでした。"));
        break;
    }
}

CChronologyPrinter::EResult CSharing::WritePdf(const CNenpyoDoc& doc, EEventPriority eFilter,
                                               const CChronologyPrinter::CPicture& picture, const QString& strPath,
                                               const QString& strName, const CChronologyPrinter::CProgress& progress,
                                               QString& strError, int* pPages)
{
    CChronologyPrinter job(doc, eFilter);
    job.SetPicture(picture);
    const CChronologyPrinter::EResult eResult = job.PrintPdf(strPath, job.Title(strName), progress, strError);
    if (pPages)
        *pPages = job.Pages();
    return eResult;
}

CChronologyPrinter::CPicture CSharing::WholeBand(CBandPainter& band, EEventPriority eFilter)
{
    return [&band, eFilter](QPainter& painter, const QRect& rect) {
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
    };
}

bool CSharing::PrintToPdf(const QString& strPath)
{
    CWorkProgress progress(m_pWindow, QStringLiteral("PDFに保存しています..."));
    QString strError;
    int nPages = 0;
    switch (WritePdf(m_chronology.Doc(), m_chronology.Filter(), BandPicture(), strPath,
                     QString::fromStdString(CNenpyoSession::DocumentName(m_chronology.Doc())), progress.Callback(), strError,
                     &nPages)) {
    case CChronologyPrinter::EResult::Done:
        Q_EMIT message(QStringLiteral("PDFに保存しました(%1ページ): %2").arg(nPages).arg(strPath), 10000);
        return true;
    case CChronologyPrinter::EResult::Cancelled:
        Q_EMIT message(QStringLiteral("PDFへの保存を取り消しました。"), 10000);
        return false;
    case CChronologyPrinter::EResult::Failed: break;
    }
    ShowWriteFailure(strPath, strError);
    return false;
}

bool CSharing::SaveImage(const QString& strPath)
{
    if (m_pBand && m_pBand->SaveImage(strPath))
        return true;
    ShowWriteFailure(strPath);
    return false;
}
