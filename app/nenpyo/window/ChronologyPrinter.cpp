#include "ChronologyPrinter.h"

#include <algorithm>
#include <array>
#include <vector>

#include <map>

#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QBuffer>
#include <QFontDatabase>
#include <QPainter>
#include <QRawFont>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>

#include <shared/chronology/ChronologyText.h>
#include <shared/qt/AtomicFileDevice.h>
#include <shared/qt/QtText.h>

#include "NenpyoDoc.h"
#include "RowExport.h"

namespace {

// The width of each column in characters, as the window shows them.
constexpr std::array<double, COLUMN_COUNT> kColumnWeights = {5, 8, 7, 5, 7, 9, 28, 10};
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

// The picture page: the title on top, the picture in the rest of the page. The picture is painted
// into an image of twice its logical size (about 220 dots per inch across an A4 page), since the
// band is laid out in screen pixels and its fonts would not follow a scaled printer's resolution.
void DrawPicturePage(QPainter& painter, const QRectF& area, const QString& strTitle, const QFont& titleFont,
                     double dTitleLine, const CChronologyPrinter::CPicture& picture)
{
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, area.width(), dTitleLine), Qt::AlignLeft | Qt::AlignVCenter, strTitle);
    const QRectF target(0, dTitleLine * 1.5, area.width(), std::max(1.0, area.height() - dTitleLine * 1.5));
    const int nWidth = CChronologyPrinter::kPictureWidth;
    const int nHeight = std::max(1, static_cast<int>(nWidth * target.height() / target.width()));
    constexpr int kScale = 2;
    QImage image(nWidth * kScale, nHeight * kScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(kScale);
    image.fill(Qt::white);
    {
        QPainter imagePainter(&image);
        picture(imagePainter, QRect(0, 0, nWidth, nHeight));
    }
    painter.drawImage(target, image);
    painter.setPen(QColor(0x88, 0x88, 0x88));
    painter.drawRect(target);
    painter.setPen(Qt::black);
}

// The pages of the rows: a running head (the name), the column header, the rows, the page number;
// the first page has the title and explanation between the running head and the column header.
// One row's text layouts are kept at a time (LayOutRow, then DrawSlice for each of its parts).
class CPage {
public:
    CPage(QPainter& painter, const QPagedPaintDevice& device, const CNenpyoDoc& doc, const QString& strTitle)
        : m_painter(painter), m_doc(doc), m_strTitle(strTitle), m_area(0, 0, device.width(), device.height())
    {
        m_font = painter.font();
        m_font.setPointSizeF(9);
        m_bold = m_font;
        m_bold.setBold(true);
        m_titleFont = m_bold;
        m_titleFont.setPointSizeF(14);
        const QFontMetricsF metrics(m_font, &device);
        m_dLine = std::max(1.0, std::ceil(metrics.lineSpacing()));
        m_dPad = std::ceil(m_dLine * 0.3);
        m_dCellMargin = std::ceil(metrics.averageCharWidth() * 0.6);
        m_dTitleLine = std::ceil(QFontMetricsF(m_titleFont, &device).lineSpacing());
        PlaceColumns();
        m_dHeaderTop = m_dHeadTop + m_dLine * 1.5;
        m_dBodyTop = m_dHeaderTop + m_dLine + m_dPad;
        m_dFooterTop = m_area.height() - m_dLine;
        m_dBody = m_dFooterTop - m_dLine * 0.5 - m_dBodyTop;
        LayOutTitle();
    }

    const QRectF& Area() const { return m_area; }
    const QString& Title() const { return m_strTitle; }
    const QFont& TitleFont() const { return m_titleFont; }
    double TitleLine() const { return m_dTitleLine; }
    double Line() const { return m_dLine; }
    double Pad() const { return m_dPad; }   // above and below a row's lines together
    double Body() const { return m_dBody; }
    double BodyTop() const { return m_dBodyTop; }
    double Reserved() const { return m_dReserved; }
    // The number printed on the first page of rows.
    void SetFirstNumber(int nNumber) { m_nFirstNumber = nNumber; }

    void DrawFrame(int nPage);
    void DrawTitle();
    // The column rules of a page down to the last row drawn on it.
    void DrawRules(int nPage, double dBottom);
    // Lays out a row's cells; its lines.
    int LayOutRow(const SChronologyRow& row);
    // Draws a part of the row laid out last; the bottom of what it drew.
    double DrawSlice(const CPrintLayout::SSlice& slice);

private:
    void PlaceColumns();
    void LayOutTitle();
    double HeaderTop(int nPage) const { return m_dHeaderTop + (nPage == 0 ? m_dReserved : 0); }

    QPainter& m_painter;
    const CNenpyoDoc& m_doc;
    QString m_strTitle;
    QRectF m_area;
    QFont m_font, m_bold, m_titleFont;
    double m_dLine = 1, m_dPad = 0, m_dCellMargin = 0, m_dTitleLine = 1;
    const double m_dHeadTop = 0;
    double m_dHeaderTop = 0, m_dBodyTop = 0, m_dFooterTop = 0, m_dBody = 0, m_dReserved = 0;
    int m_nFirstNumber = 1;
    std::vector<int> m_vColumns;
    std::vector<double> m_vLeft;   // the left edge of each shown column, and the right edge of the last
    QTextLayout m_titleLayout;
    QTextLayout m_explanationLayout;
    int m_nTitleLines = 0;
    std::vector<QTextLayout> m_vCells;
    std::vector<int> m_vCellLines;
};

void CPage::PlaceColumns()
{
    double dWeights = 0;
    for (int n = 0; n < COLUMN_COUNT; ++n) {
        if (CRowExport::HasColumn(m_doc, n)) {
            m_vColumns.push_back(n);
            dWeights += kColumnWeights[static_cast<std::size_t>(n)];
        }
    }
    for (double dX = 0; const int n : m_vColumns) {
        m_vLeft.push_back(dX);
        dX += m_area.width() * kColumnWeights[static_cast<std::size_t>(n)] / dWeights;
    }
    m_vLeft.push_back(m_area.width());
    m_vCells = std::vector<QTextLayout>(m_vColumns.size());
    m_vCellLines.resize(m_vColumns.size());
}

// The first page's title and explanation, at most a third of its row area.
void CPage::LayOutTitle()
{
    m_nTitleLines = LayOut(m_titleLayout, m_strTitle, m_titleFont, m_area.width(), m_dTitleLine);
    const CString& strExplanation = m_doc.Events().GetExplanation();
    const int nExplanationLines = strExplanation.IsEmpty() ? 0
                                                           : LayOut(m_explanationLayout, LayoutText(strExplanation),
                                                                    m_font, m_area.width(), m_dLine);
    m_dReserved = std::ceil(std::clamp(m_nTitleLines * m_dTitleLine + nExplanationLines * m_dLine + m_dLine -
                                           (m_dHeaderTop - m_dHeadTop),
                                       0.0, m_dBody / 3));
}

void CPage::DrawFrame(int nPage)
{
    const double dTop = HeaderTop(nPage);
    m_painter.setPen(Qt::black);
    if (nPage > 0) {
        m_painter.setFont(m_bold);
        m_painter.drawText(QRectF(0, m_dHeadTop, m_area.width(), m_dLine), Qt::AlignLeft | Qt::AlignVCenter, m_strTitle);
    }
    m_painter.setFont(m_font);
    m_painter.drawText(QRectF(0, m_dFooterTop, m_area.width(), m_dLine), Qt::AlignHCenter | Qt::AlignVCenter,
                       QStringLiteral("- %1 -").arg(nPage + m_nFirstNumber));
    const QRectF header(0, dTop, m_area.width(), m_dLine + m_dPad);
    m_painter.fillRect(header, QColor(0xE8, 0xE8, 0xE8));
    m_painter.setFont(m_bold);
    for (std::size_t i = 0; i < m_vColumns.size(); ++i)
        m_painter.drawText(QRectF(m_vLeft[i] + m_dCellMargin, dTop, m_vLeft[i + 1] - m_vLeft[i] - 2 * m_dCellMargin,
                                  m_dLine + m_dPad),
                           Qt::AlignLeft | Qt::AlignVCenter, ToQString(CRowExport::ColumnTitle(m_doc, m_vColumns[i])));
    m_painter.setFont(m_font);
    m_painter.drawRect(header);
}

void CPage::DrawTitle()
{
    const QPointF top(0, m_dHeadTop);
    m_painter.save();
    m_painter.setClipRect(QRectF(0, m_dHeadTop, m_area.width(), m_dHeaderTop + m_dReserved - m_dHeadTop));
    m_titleLayout.draw(&m_painter, top);
    m_explanationLayout.draw(&m_painter, top + QPointF(0, m_nTitleLines * m_dTitleLine));
    m_painter.restore();
}

void CPage::DrawRules(int nPage, double dBottom)
{
    m_painter.setPen(QColor(0x88, 0x88, 0x88));
    for (const double dX : m_vLeft)
        m_painter.drawLine(QPointF(dX, HeaderTop(nPage)), QPointF(dX, dBottom));
    m_painter.setPen(Qt::black);
}

int CPage::LayOutRow(const SChronologyRow& row)
{
    int nLines = 1;
    for (std::size_t i = 0; i < m_vColumns.size(); ++i) {
        const int nColumn = m_vColumns[i];
        const QString strText = LayoutText(CRowExport::ColumnText(row, nColumn));
        m_vCellLines[i] = LayOut(m_vCells[i], nColumn == COLUMN_ERA_YEAR ? CChronologyPrinter::EraCell(strText) : strText, m_font,
                                 m_vLeft[i + 1] - m_vLeft[i] - 2 * m_dCellMargin, m_dLine,
                                 nColumn == COLUMN_TEXT ? LinkFormats(row.vTextRuns) : QList<QTextLayout::FormatRange>());
        nLines = std::max(nLines, m_vCellLines[i]);
    }
    return nLines;
}

double CPage::DrawSlice(const CPrintLayout::SSlice& slice)
{
    const double dTop = m_dBodyTop + slice.nTop;
    const double dTextTop = dTop + m_dPad / 2;
    for (std::size_t i = 0; i < m_vColumns.size(); ++i) {
        const bool bRepeat = slice.nFirstLine > 0 && RepeatedOnContinuation(m_vColumns[i]);
        const int nFirst = bRepeat ? 0 : slice.nFirstLine;
        const int nEnd = std::min(m_vCellLines[i], nFirst + slice.nLines);
        for (int nLine = nFirst; nLine < nEnd; ++nLine) {
            if (nLine >= m_vCells[i].lineCount())
                break;
            const QTextLine line = m_vCells[i].lineAt(nLine);
            double dX = m_vLeft[i] + m_dCellMargin;
            if (m_vColumns[i] == COLUMN_YEAR)
                dX = m_vLeft[i + 1] - m_dCellMargin - line.naturalTextWidth();
            line.draw(&m_painter, QPointF(dX, dTextTop + (nLine - nFirst) * m_dLine - line.y()));
        }
    }
    m_painter.setPen(QColor(0x88, 0x88, 0x88));
    m_painter.drawLine(QPointF(0, dTop + slice.nHeight), QPointF(m_area.width(), dTop + slice.nHeight));
    m_painter.setPen(Qt::black);
    return dTop + slice.nHeight;
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
    const int nTotal = CRowExport::RowCount(m_doc, m_eFilter);

    QPainter painter;
    if (!painter.begin(&device))
        return EResult::Failed;
    CPage page(painter, device, m_doc, Title(QStringLiteral("年表")));
    if (m_picture) {
        DrawPicturePage(painter, page.Area(), page.Title(), page.TitleFont(), page.TitleLine(), m_picture);
        device.newPage();
        page.SetFirstNumber(2);
        m_nPages = 1;
    }
    page.DrawFrame(0);
    page.DrawTitle();
    m_nPages += 1;

    CPrintLayout layout(static_cast<int>(page.Body()), static_cast<int>(page.Line()), static_cast<int>(page.Pad()),
                        static_cast<int>(page.Reserved()));
    std::vector<CPrintLayout::SSlice> vSlices;
    const CChronologyText text(&m_doc.Eras(), &m_doc.Periods(), m_doc.HasBaseYear() ? &m_doc.BaseYear() : nullptr);
    int nPage = 0;
    double dPageBottom = page.BodyTop();
    int nRow = 0;
    for (const auto& pRecord : events.GetEventData()) {
        if (!CYearEvent::IsShown(*pRecord, m_eFilter))
            continue;
        if (progress && nRow % kProgressEvery == 0 && !progress(nRow, nTotal)) {
            // A printer drops the job while it is still open; a PDF writer's file is thrown away.
            if (auto* pPrinter = dynamic_cast<QPrinter*>(&device))
                pPrinter->abort();
            painter.end();
            return EResult::Cancelled;
        }
        const int nLines = page.LayOutRow(text.MakeRow(*pRecord));
        layout.Place(nLines, vSlices);
        for (const CPrintLayout::SSlice& slice : vSlices) {
            if (m_observer)
                m_observer(nRow, nLines, slice);
            if (slice.nPage != nPage) {
                page.DrawRules(nPage, dPageBottom);
                device.newPage();
                nPage = slice.nPage;
                ++m_nPages;
                page.DrawFrame(nPage);
            }
            dPageBottom = page.DrawSlice(slice);
        }
        ++nRow;
    }
    page.DrawRules(nPage, dPageBottom);
    if (progress)
        progress(nTotal, nTotal);
    return painter.end() ? EResult::Done : EResult::Failed;
}

CChronologyPrinter::EResult CChronologyPrinter::PrintPdf(const QString& strPath, const QString& strTitle,
                                                          const CProgress& progress, QString& strError, Env* pEnv)
{
    CAtomicFileDevice file(QtPath(strPath), pEnv);
    if (!file.open(QIODevice::WriteOnly)) {
        strError = file.errorString();
        return EResult::Failed;
    }
    // Written whole first: the text layer is put right before the file is written.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EResult eResult = EResult::Failed;
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(strTitle);
        writer.setCreator(QStringLiteral("年表"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        eResult = Print(writer, progress);
    }
    if (eResult != EResult::Done) {
        file.close();
        if (eResult == EResult::Failed)
            strError = QStringLiteral("PDFを作れませんでした");
        return eResult;
    }
    QByteArray pdf = buffer.buffer();
    buffer.close();
    FixTextLayer(pdf, LookAlikes(QFont()));
    if (file.write(pdf) != pdf.size() || !file.commit()) {
        strError = file.errorString();
        return EResult::Failed;
    }
    return EResult::Done;
}

QString CChronologyPrinter::EraCell(const QString& strText)
{
    // A word joiner between the characters of each era year keeps 正平5年 whole; a line may still
    // break after the ・ between two courts' years.
    QString strCell;
    for (qsizetype i = 0; i < strText.size(); ++i) {
        strCell += strText[i];
        const bool bPairStart = strText[i].isHighSurrogate();
        if (!bPairStart && i + 1 < strText.size() && strText[i] != QChar(0x30FB) && strText[i + 1] != QChar(0x30FB))
            strCell += QChar(0x2060);
    }
    return strCell;
}

namespace {

// The characters that a font's character map may give a glyph of an ideograph or of ・ before the
// character itself: the Kangxi and supplementary radicals (⽉ U+2F49 is drawn as 月, ⻄ U+2EC4 as
// 西) and ‧ (U+2027). Qt's text layer names a glyph by the first character that maps to it.
bool IsLookAlike(char16_t ch)
{
    return (ch >= 0x2E80 && ch <= 0x2FDF) || ch == 0x2027;
}

// Rewrites the four hex digits of a <XXXX> token at n in place when they name a look-alike.
void FixToken(QByteArray& pdf, qsizetype n, const std::map<char16_t, char16_t>& readable)
{
    bool bOk = false;
    const auto it = readable.find(static_cast<char16_t>(pdf.mid(n + 1, 4).toUInt(&bOk, 16)));
    if (bOk && it != readable.end())
        pdf.replace(n + 1, 4, QByteArray::number(it->second, 16).rightJustified(4, '0').toUpper());
}

// The <...> tokens of a section, in order, as offsets; the brackets of an array as -1.
std::vector<qsizetype> Tokens(const QByteArray& pdf, qsizetype nBegin, qsizetype nEnd)
{
    std::vector<qsizetype> vTokens;
    for (qsizetype n = nBegin; n < nEnd; ++n) {
        if (pdf[n] == '<')
            vTokens.push_back(n);
        else if (pdf[n] == '[' || pdf[n] == ']')
            vTokens.push_back(-1 - (pdf[n] == ']'));
    }
    return vTokens;
}

} // namespace

std::map<char16_t, char16_t> CChronologyPrinter::LookAlikes(const QFont& font)
{
    // The font that draws Japanese text, and the glyphs of the ideographs and of ・ in it.
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
    QString strReal;
    for (char16_t ch = 0x4E00; ch <= 0x9FFF; ++ch)
        strReal += QChar(ch);
    strReal += QChar(0x30FB);
    const QList<quint32> vRealGlyphs = raw.glyphIndexesForString(strReal);
    std::map<quint32, char16_t> byGlyph;
    for (qsizetype i = 0; i < vRealGlyphs.size() && i < strReal.size(); ++i)
        byGlyph.emplace(vRealGlyphs[i], strReal[i].unicode());
    std::map<char16_t, char16_t> readable;
    for (char16_t ch = 0x2000; ch <= 0x2FDF; ++ch) {
        if (!IsLookAlike(ch))
            continue;
        const QList<quint32> vGlyph = raw.glyphIndexesForString(QString(QChar(ch)));
        const auto it = vGlyph.size() == 1 && vGlyph[0] != 0 ? byGlyph.find(vGlyph[0]) : byGlyph.end();
        if (it != byGlyph.end())
            readable.emplace(ch, it->second);
    }
    return readable;
}

void CChronologyPrinter::FixTextLayer(QByteArray& pdf, const std::map<char16_t, char16_t>& readable)
{
    // The ToUnicode maps of the embedded fonts, written as text: "<glyph> <text>" pairs between
    // beginbfchar and endbfchar, "<first> <last> <text>" or "<first> <last> [<text> ...]" between
    // beginbfrange and endbfrange. Only single four-digit texts are rewritten, in place, so the
    // length of every object stays as it is.
    for (qsizetype nAt = 0; (nAt = pdf.indexOf("beginbf", nAt)) >= 0;) {
        const bool bRange = pdf.mid(nAt + 7, 5) == "range";
        const qsizetype nEnd = pdf.indexOf(bRange ? "endbfrange" : "endbfchar", nAt);
        if (nEnd < 0)
            return;
        const std::vector<qsizetype> vTokens = Tokens(pdf, nAt, nEnd);
        bool bInArray = false;
        std::vector<qsizetype> vEntry;   // the glyph tokens of the current entry
        for (const qsizetype n : vTokens) {
            if (n < 0) {
                bInArray = n == -1;
                if (!bInArray)
                    vEntry.clear();
                continue;
            }
            const bool bFourDigits = n + 5 < nEnd && pdf[n + 5] == '>';
            if (bInArray) {
                if (bFourDigits)
                    FixToken(pdf, n, readable);
                continue;
            }
            if (vEntry.size() < (bRange ? 2u : 1u)) {
                vEntry.push_back(n);
                continue;
            }
            // A range of one glyph only: a longer one maps consecutive characters.
            const bool bOneGlyph = !bRange || pdf.mid(vEntry[0], n - vEntry[0]).split('>')[0] ==
                                                  pdf.mid(vEntry[1], n - vEntry[1]).split('>')[0];
            if (bFourDigits && bOneGlyph)
                FixToken(pdf, n, readable);
            vEntry.clear();
        }
        nAt = nEnd;
    }
}
