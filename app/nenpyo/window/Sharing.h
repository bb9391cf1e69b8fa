// CSharing: what leaves Nenpyo: HTML and CSV exports of the shown rows, the printout, the PDF and
// the band's picture. Long work runs with a progress dialog that can cancel; what was written
// where is announced (message), and a file that cannot be written is said so with the library's
// message. The PDF is written the same way by the window and by `nenpyo --pdf` (WritePdf).
#pragma once

#include <QObject>
#include <QString>

#include "ChronologyPrinter.h"

class CBandPainter;
class CBandView;
class CChronology;
class QWidget;

class CSharing : public QObject {
    Q_OBJECT
public:
    // pWindow: the parent of the dialogs; pBand: the view whose visible stretch the printout's
    // picture shows (when CNenpyoSettings::PrintsBand()) and SaveImage writes.
    CSharing(QWidget* pWindow, const CChronology& chronology, CBandView* pBand);

    // Write the rows the filter shows. False, with a message shown, when the file cannot be
    // written, and when cancelled (the previous file then stays). CSV has a byte order mark when
    // CNenpyoSettings::CsvByteOrderMark().
    bool ExportHtml(const QString& strPath);
    bool ExportCsv(const QString& strPath);
    // Asks for a printer and prints.
    void Print();
    bool PrintToPdf(const QString& strPath);
    // The band as PNG (or SVG for .svg). False, with a message shown, when it cannot be written.
    bool SaveImage(const QString& strPath);

    // The PDF of doc's rows under eFilter, titled with its name (else strName), beginning with
    // picture when there is one. As CChronologyPrinter::PrintPdf; the pages go to *pPages.
    static CChronologyPrinter::EResult WritePdf(const CNenpyoDoc& doc, EEventPriority eFilter,
                                                const CChronologyPrinter::CPicture& picture, const QString& strPath,
                                                const QString& strName, const CChronologyPrinter::CProgress& progress,
                                                QString& strError, int* pPages = nullptr);
    // A picture of every event of band (its document set) under eFilter, with a little margin.
    static CChronologyPrinter::CPicture WholeBand(CBandPainter& band, EEventPriority eFilter);

Q_SIGNALS:
    // What was done, for the status bar (shown nTimeout ms).
    void message(const QString& strText, int nTimeout);

private:
    bool WriteExport(const QString& strPath, int nFormat);
    // The picture of the band's visible stretch, or none when the printout has no picture.
    CChronologyPrinter::CPicture BandPicture() const;

    QWidget* m_pWindow;
    const CChronology& m_chronology;
    CBandView* m_pBand;
};
