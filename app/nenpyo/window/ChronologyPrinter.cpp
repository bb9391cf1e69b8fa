#include "ChronologyPrinter.h"

#include <algorithm>
#include <array>
#include <vector>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextLayout>

#include <shared/chronology/ChronologyText.h>
#include <shared/qt/QtText.h>

#include "NenpyoDoc.h"
#include "RowExport.h"

namespace {

// The width of each column in characters, as the window shows them.
constexpr std::array<double, COLUMN_COUNT> kColumnWeights = {5, 8, 7, 5, 7, 28, 10};
// How often the progress is told, in rows.
constexpr int kProgressEvery = 64;

bool RepeatedOnContinuation(int nColumn)
{
    return nColumn == COLUMN_YEAR || nColumn == COLUMN_ERA_YEAR;
}

// A text with its line breaks as the line separators a text layout breaks at.
QString LayoutText(const CString& str)
{
    QString strText = ToQString(str);
    strText.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    strText.replace(QLatin1Char('\n'), QChar::LineSeparator);
    strText.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return strText;
}

// The linked runs of an event text as formats of its layout text: underlined and blue.
QList<QTextLayout::FormatRange> LinkFormats(const std::vector<STextRun>& vRuns)
{
    QList<QTextLayout::FormatRange> formats;
    int nStart = 0;
    for (const STextRun& run : vRuns) {
        const int nLength = static_cast<int>(LayoutText(run.strText).size());
        if (!run.strLink.IsEmpty()) {
            QTextLayout::FormatRange range;
            range.start = nStart;
            range.length = nLength;
            range.format.setFontUnderline(true);
            range.format.setForeground(QColor(Qt::blue));
            formats.append(range);
        }
        nStart += nLength;
    }
    return formats;
}

// Lays out strText in lines of nWidth, each line nLineHeight below the one before.
int LayOut(QTextLayout& layout, const QString& strText, const QFont& font, double dWidth, double dLineHeight,
           const QList<QTextLayout::FormatRange>& formats = {})
{
    layout.clearLayout();
    layout.setText(strText);
    layout.setFont(font);
    layout.setFormats(formats);
    layout.beginLayout();
    int nLines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(dWidth);
        line.setPosition(QPointF(0, nLines * dLineHeight));
        ++nLines;
    }
    layout.endLayout();
    return std::max(1, nLines);
}

} // namespace

QString CChronologyPrinter::Title(const QString& strFallback) const
{
    const CString& strName = m_doc.Events().GetTableName();
    return strName.IsEmpty() ? strFallback : ToQString(strName);
}

CChronologyPrinter::EResult CChronologyPrinter::Print(QPagedPaintDevice& device, const CProgress& progress)
{
    m_nPages = 0;
    const CYearEvent& events = m_doc.Events();
    int nTotal = 0;
    for (const auto& pRecord : events.GetEventData())
        nTotal += m_eFilter == PRIORITY_ALL || pRecord->nPriority <= m_eFilter;

    QPainter painter;
    if (!painter.begin(&device))
        return EResult::Failed;

    QFont font = painter.font();
    font.setPointSizeF(9);
    QFont bold = font;
    bold.setBold(true);
    QFont titleFont = bold;
    titleFont.setPointSizeF(14);
    const QFontMetricsF metrics(font, &device);
    const double dLine = std::max(1.0, std::ceil(metrics.lineSpacing()));
    const double dPad = std::ceil(dLine * 0.3);   // above and below a row's lines together
    const double dCellMargin = std::ceil(metrics.averageCharWidth() * 0.6);
    const QRectF area(0, 0, device.width(), device.height());

    std::vector<int> vColumns;
    double dWeights = 0;
    for (int n = 0; n < COLUMN_COUNT; ++n) {
        if (CRowExport::HasColumn(m_doc, n)) {
            vColumns.push_back(n);
            dWeights += kColumnWeights[static_cast<std::size_t>(n)];
        }
    }
    std::vector<double> vLeft;   // the left edge of each shown column, and the right edge of the last
    for (double dX = 0; const int n : vColumns) {
        vLeft.push_back(dX);
        dX += area.width() * kColumnWeights[static_cast<std::size_t>(n)] / dWeights;
    }
    vLeft.push_back(area.width());

    // The page: a running head (the name), the column header, the rows, the page number.
    const double dHeadTop = 0;
    const double dHeaderTop = dHeadTop + dLine * 1.5;
    const double dBodyTop = dHeaderTop + dLine + dPad;
    const double dFooterTop = area.height() - dLine;
    const double dBody = dFooterTop - dLine * 0.5 - dBodyTop;

    // The first page's title and explanation, at most a third of its row area.
    const QString strTitle = Title(QStringLiteral("年表"));
    QTextLayout titleLayout;
    const double dTitleLine = std::ceil(QFontMetricsF(titleFont, &device).lineSpacing());
    const int nTitleLines = LayOut(titleLayout, strTitle, titleFont, area.width(), dTitleLine);
    QTextLayout explanationLayout;
    const CString& strExplanation = events.GetExplanation();
    const int nExplanationLines =
        strExplanation.IsEmpty() ? 0 : LayOut(explanationLayout, LayoutText(strExplanation), font, area.width(), dLine);
    const double dReservedMax = dBody / 3;
    const double dReserved = std::ceil(std::clamp(
        nTitleLines * dTitleLine + nExplanationLines * dLine + dLine - (dHeaderTop - dHeadTop), 0.0, dReservedMax));

    // The first page has the title and explanation between the running head and the column header.
    const auto HeaderTop = [&](int nPage) { return dHeaderTop + (nPage == 0 ? dReserved : 0); };
    const auto DrawPageFrame = [&](int nPage) {
        const double dTop = HeaderTop(nPage);
        painter.setPen(Qt::black);
        if (nPage > 0) {
            painter.setFont(bold);
            painter.drawText(QRectF(0, dHeadTop, area.width(), dLine), Qt::AlignLeft | Qt::AlignVCenter, strTitle);
        }
        painter.setFont(font);
        painter.drawText(QRectF(0, dFooterTop, area.width(), dLine), Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("- %1 -").arg(nPage + 1));
        const QRectF header(0, dTop, area.width(), dLine + dPad);
        painter.fillRect(header, QColor(0xE8, 0xE8, 0xE8));
        painter.setFont(bold);
        for (std::size_t i = 0; i < vColumns.size(); ++i)
            painter.drawText(QRectF(vLeft[i] + dCellMargin, dTop, vLeft[i + 1] - vLeft[i] - 2 * dCellMargin,
                                    dLine + dPad),
                             Qt::AlignLeft | Qt::AlignVCenter, ToQString(CRowExport::ColumnTitle(m_doc, vColumns[i])));
        painter.setFont(font);
        painter.drawRect(header);
    };
    // The column rules of a page down to the last row drawn on it.
    const auto DrawRules = [&](int nPage, double dBottom) {
        painter.setPen(QColor(0x88, 0x88, 0x88));
        for (const double dX : vLeft)
            painter.drawLine(QPointF(dX, HeaderTop(nPage)), QPointF(dX, dBottom));
        painter.setPen(Qt::black);
    };

    DrawPageFrame(0);
    {
        const QPointF top(0, dHeadTop);
        painter.save();
        painter.setClipRect(QRectF(0, dHeadTop, area.width(), dHeaderTop + dReserved - dHeadTop));
        titleLayout.draw(&painter, top);
        explanationLayout.draw(&painter, top + QPointF(0, nTitleLines * dTitleLine));
        painter.restore();
    }
    m_nPages = 1;

    CPrintLayout layout(static_cast<int>(dBody), static_cast<int>(dLine), static_cast<int>(dPad),
                        static_cast<int>(dReserved));
    std::vector<CPrintLayout::SSlice> vSlices;
    std::vector<QTextLayout> vCells(vColumns.size());
    std::vector<int> vCellLines(vColumns.size());
    const CChronologyText text(&m_doc.Eras(), &m_doc.Periods(), m_doc.HasBaseYear() ? &m_doc.BaseYear() : nullptr);
    int nPage = 0;
    double dPageBottom = dBodyTop;
    int nRow = 0;
    for (const auto& pRecord : events.GetEventData()) {
        if (m_eFilter != PRIORITY_ALL && pRecord->nPriority > m_eFilter)
            continue;
        if (progress && nRow % kProgressEvery == 0 && !progress(nRow, nTotal)) {
            // A printer drops the job while it is still open; a PDF writer's file is thrown away.
            if (auto* pPrinter = dynamic_cast<QPrinter*>(&device))
                pPrinter->abort();
            painter.end();
            return EResult::Cancelled;
        }
        const SChronologyRow row = text.MakeRow(*pRecord);
        int nLines = 1;
        for (std::size_t i = 0; i < vColumns.size(); ++i) {
            const int nColumn = vColumns[i];
            vCellLines[i] = LayOut(vCells[i], LayoutText(CRowExport::ColumnText(row, nColumn)), font,
                                   vLeft[i + 1] - vLeft[i] - 2 * dCellMargin, dLine,
                                   nColumn == COLUMN_TEXT ? LinkFormats(row.vTextRuns) : QList<QTextLayout::FormatRange>());
            nLines = std::max(nLines, vCellLines[i]);
        }
        layout.Place(nLines, vSlices);
        for (const CPrintLayout::SSlice& slice : vSlices) {
            if (m_observer)
                m_observer(nRow, nLines, slice);
            if (slice.nPage != nPage) {
                DrawRules(nPage, dPageBottom);
                device.newPage();
                nPage = slice.nPage;
                ++m_nPages;
                DrawPageFrame(nPage);
                dPageBottom = dBodyTop;
            }
            const double dTop = dBodyTop + slice.nTop;
            const double dTextTop = dTop + dPad / 2;
            for (std::size_t i = 0; i < vColumns.size(); ++i) {
                const bool bRepeat = slice.nFirstLine > 0 && RepeatedOnContinuation(vColumns[i]);
                const int nFirst = bRepeat ? 0 : slice.nFirstLine;
                const int nEnd = std::min(vCellLines[i], nFirst + slice.nLines);
                for (int nLine = nFirst; nLine < nEnd; ++nLine) {
                    if (nLine >= vCells[i].lineCount())
                        break;
                    const QTextLine line = vCells[i].lineAt(nLine);
                    double dX = vLeft[i] + dCellMargin;
                    if (vColumns[i] == COLUMN_YEAR)
                        dX = vLeft[i + 1] - dCellMargin - line.naturalTextWidth();
                    line.draw(&painter, QPointF(dX, dTextTop + (nLine - nFirst) * dLine - line.y()));
                }
            }
            painter.setPen(QColor(0x88, 0x88, 0x88));
            painter.drawLine(QPointF(0, dTop + slice.nHeight), QPointF(area.width(), dTop + slice.nHeight));
            painter.setPen(Qt::black);
            dPageBottom = dTop + slice.nHeight;
        }
        ++nRow;
    }
    DrawRules(nPage, dPageBottom);
    if (progress)
        progress(nTotal, nTotal);
    return painter.end() ? EResult::Done : EResult::Failed;
}

CChronologyPrinter::EResult CChronologyPrinter::PrintPdf(const QString& strPath, const QString& strTitle,
                                                          const CProgress& progress, QString& strError)
{
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        strError = file.errorString();
        return EResult::Failed;
    }
    EResult eResult = EResult::Failed;
    {
        QPdfWriter writer(&file);
        writer.setTitle(strTitle);
        writer.setCreator(QStringLiteral("年表"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        eResult = Print(writer, progress);
    }
    if (eResult != EResult::Done) {
        file.cancelWriting();
        if (eResult == EResult::Failed)
            strError = QStringLiteral("PDFを作れませんでした");
        return eResult;
    }
    if (!file.commit()) {
        strError = file.errorString();
        return EResult::Failed;
    }
    return EResult::Done;
}
