// CChronologyPrinter: prints the rows a filter shows of a chronology, page by page with QPainter,
// on a printer or into a PDF file.
//
// Every page has the chronology's name, the column header and its number; the first page also
// the explanation. Rows are placed by CPrintLayout: whole on a page, and a row taller than a page
// split at its lines with its year repeated. Each page is drawn and left to the device as soon as
// it is full, and one row's text layouts are kept at a time, so time is linear in the rows and
// memory does not grow with them.
//
// With a picture set, the printout begins with a page of its own: the title and the picture
// (the band of time), drawn once, so it adds one page whatever the number of rows.
#pragma once

#include <framework/Env.h>

#include <map>

#include <functional>

#include <QFont>
#include <QString>

#include <corvane/YearEvent.h>

#include "PrintLayout.h"

class CNenpyoDoc;
class QPagedPaintDevice;
class QPainter;
class QRect;

class CChronologyPrinter {
public:
    // Told now and then how many rows are printed of how many; returning false cancels.
    using CProgress = std::function<bool(int nDone, int nTotal)>;
    // Told every part of every row placed: the row (from 0 among those printed), its lines and
    // where they went.
    using CSliceObserver = std::function<void(int nRow, int nLines, const CPrintLayout::SSlice& slice)>;

    enum class EResult { Done, Cancelled, Failed };

    // The document must outlive the printer and stay unchanged while it prints.
    CChronologyPrinter(const CNenpyoDoc& doc, EEventPriority eFilter) : m_doc(doc), m_eFilter(eFilter) {}

    void SetSliceObserver(CSliceObserver observer) { m_observer = std::move(observer); }

    // Paints the picture into rect of painter (logical pixels, kPictureWidth wide, as tall as
    // the page's shape gives); empty (the default) prints no picture page.
    using CPicture = std::function<void(QPainter& painter, const QRect& rect)>;
    static constexpr int kPictureWidth = 1200;
    void SetPicture(CPicture picture) { m_picture = std::move(picture); }

    // The title of the printout: the chronology's name, else sTitleFallback.
    QString Title(const QString& strFallback) const;

    // Prints on a device whose page layout is set (a QPrinter, a QPdfWriter). Cancelled when
    // progress said so (a printer's job is aborted; the pages drawn stay on any other device),
    // Failed when no painter could start on the device.
    EResult Print(QPagedPaintDevice& device, const CProgress& progress = {});
    // The pages the last Print drew.
    int Pages() const { return m_nPages; }

    // Prints into the PDF file strPath (A4 landscape), titled strTitle. The file is written under
    // a temporary name beside it and put in its place only when complete: a cancel or a failure
    // leaves the previous file as it was, or no file. On failure strError says why.
    // Makes the text layer of a PDF written by Qt give the characters that were drawn: where the
    // font maps a glyph from a look-alike too (a Kangxi radical such as ⽉ for 月), Qt's map names
    // the look-alike, and text search and copying in viewers fail. Each look-alike that readable
    // names becomes its character; the bytes keep their length.
    static void FixTextLayer(QByteArray& pdf, const std::map<char16_t, char16_t>& readable);
    // The look-alikes of the font that draws Japanese text in font, each with the ideograph (or ・)
    // whose glyph it shares.
    static std::map<char16_t, char16_t> LookAlikes(const QFont& font);

    EResult PrintPdf(const QString& strPath, const QString& strTitle, const CProgress& progress, QString& strError,
                     Env* pEnv = Env::Default());

    // The 和暦 cell's text as it is laid out: a line breaks only between two courts' era years
    // (after ・), never inside one (正平5 / 年).
    static QString EraCell(const QString& strText);

private:
    const CNenpyoDoc& m_doc;
    EEventPriority m_eFilter;
    CSliceObserver m_observer;
    CPicture m_picture;
    int m_nPages = 0;
};
