#include "BandPainter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QDate>
#include <QPainter>

#include <corvane/HtmlManage.h>
#include <shared/chronology/ChronologyText.h>
#include <shared/qt/QtText.h>

#include "NenpyoDoc.h"

namespace {

// Colours that stay apart when printed in grey: neighbouring spans alternate a light and a
// darker tone, text is black on both.
const QColor kPeriodFill[2] = {QColor(0xdf, 0xe8, 0xf3), QColor(0xb4, 0xc8, 0xe0)};
const QColor kEraFill[2] = {QColor(0xf6, 0xe7, 0xc6), QColor(0xde, 0xbf, 0x86)};
const QColor kBaseYearFill(0xcf, 0xe5, 0xc2);
const QColor kSpanBorder(0x70, 0x70, 0x70);
const QColor kAxisFill(0xf4, 0xf4, 0xf4);
const QColor kGridMajor(0xd8, 0xd8, 0xd8);
const QColor kGridMinor(0xee, 0xee, 0xee);
const QColor kLink(0x1a, 0x4f, 0x9c);
const QColor kSelected(0x1f, 0x4e, 0x9a);
const QColor kGroupText[CBandEvents::kGroups] = {QColor(0, 0, 0), QColor(0x20, 0x20, 0x20), QColor(0x50, 0x50, 0x50),
                                                 QColor(0x50, 0x50, 0x50)};
const QColor kGroupMark[CBandEvents::kGroups] = {QColor(0x8a, 0x1c, 0x1c), QColor(0x30, 0x30, 0x30),
                                                 QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80)};

// Pixels are kept within a range the raster engine handles, whatever the years.
double Clip(double dX, double dWidth)
{
    return std::clamp(dX, -1000.0, dWidth + 1000.0);
}

constexpr double kPointMark = 9;   // room before the text of an event shorter than 3 pixels
constexpr double kSpanMark = 5;

} // namespace

CBandPainter::CBandPainter(const QFont& font)
{
    SetFont(font);
}

void CBandPainter::SetFont(const QFont& font)
{
    m_font = font;
    m_nLine = static_cast<int>(std::ceil(QFontMetricsF(GroupFont(0)).height()));
    m_nRowHeight = m_nLine + 5;
    m_texts.clear();
}

QFont CBandPainter::GroupFont(int nGroup) const
{
    QFont font = m_font;
    if (nGroup == 0) {
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.08);
    } else if (nGroup >= 2) {
        font.setPointSizeF(font.pointSizeF() * 0.92);
    }
    return font;
}

void CBandPainter::SetDocument(const CNenpyoDoc* pDoc)
{
    m_pDoc = pDoc;
    Reload();
}

void CBandPainter::Reload()
{
    m_texts.clear();
    m_labels = SBandLabelResult();
    m_vPeriodNames.clear();
    m_vEraNames.clear();
    if (m_pDoc == nullptr) {
        m_events.Clear();
        m_periods = SBandSpans();
        m_eras = SBandSpans();
        return;
    }
    m_events.Build(m_pDoc->Events());
    m_lEraLabelEnd = QDate::currentDate().year();
    double dFrom = 0;
    double dTo = 0;
    if (m_events.Extent(dFrom, dTo))
        m_lEraLabelEnd = std::max(m_lEraLabelEnd, CBandScale::YearAt(dTo - 0.5));
    // An era or period still running ends with that year.
    const double dOpenEnd = CBandScale::YearStart(m_lEraLabelEnd) + 1.0;
    const CHtmlManage html;
    const auto names = [&html, dOpenEnd](const CGengouEra& table, SBandSpans& spans, std::vector<QString>& vNames) {
        spans = CBandLayout::LayOutSpans(table.GetGengouEraTable(), 3, dOpenEnd);
        for (const SBandSpan& span : spans.vSpans) {
            CString strName;
            html.RemoveHtml(table.GetGengouEraTable()[static_cast<std::size_t>(span.nRecord)].strGengou, strName);
            vNames.push_back(ToQString(strName));
        }
    };
    names(m_pDoc->Periods(), m_periods, m_vPeriodNames);
    names(m_pDoc->Eras(), m_eras, m_vEraNames);
}

bool CBandPainter::Extent(double& dFrom, double& dTo) const
{
    if (m_events.Extent(dFrom, dTo))
        return true;
    if (m_pDoc != nullptr && m_pDoc->HasBaseYear()) {
        const CBaseYear& base = m_pDoc->BaseYear();
        dFrom = CBandScale::YearStart(base.GetBaseWesternYear());
        dTo = base.GetEndWesternYear() == NO_END_YEAR ? dFrom + 100 : CBandScale::YearStart(base.GetEndWesternYear()) + 1;
        return dTo > dFrom;
    }
    if (!m_eras.vSpans.empty()) {
        dFrom = m_eras.vSpans.front().dBegin;
        dTo = dFrom;
        for (const SBandSpan& span : m_eras.vSpans)
            dTo = std::max(dTo, std::min(span.dEnd, 2100.0));
        return dTo > dFrom;
    }
    return false;
}

QString CBandPainter::YearText(std::int32_t lYear)
{
    return lYear < 0 ? QStringLiteral("前") + QString::number(-static_cast<qint64>(lYear)) : QString::number(lYear);
}

const CBandPainter::SLabelText& CBandPainter::LabelText(const SBandEvent& event, int nGroup)
{
    auto it = m_texts.find(event.pData);
    if (it != m_texts.end())
        return *it;
    // The cache holds the texts of a few views' worth of labels.
    if (m_texts.size() > 100000)
        m_texts.clear();
    const SChronologyRow row = CChronologyText(nullptr, nullptr, nullptr).MakeRow(*event.pData);
    SLabelText text;
    text.strText = ToQString(row.strText);
    for (const STextRun& run : row.vTextRuns) {
        if (!run.strLink.IsEmpty())
            text.bLink = true;
        if (text.vRuns.size() % 2 == (run.strLink.IsEmpty() ? 1u : 0u))
            text.vRuns.emplace_back();   // two links in a row: an empty plain run between them
        text.vRuns.push_back(ToQString(run.strText));
    }
    if (!text.bLink)
        text.vRuns.clear();
    text.dWidth = QFontMetricsF(GroupFont(nGroup)).horizontalAdvance(text.strText);
    return *m_texts.insert(event.pData, text);
}

void CBandPainter::Paint(QPainter& painter, const QRect& rect, const CBandScale& scale, EEventPriority eFilter,
                         int nSelected)
{
    painter.save();
    painter.setClipRect(rect);
    painter.translate(rect.topLeft());
    const QRect area(0, 0, rect.width(), rect.height());
    painter.fillRect(area, Qt::white);
    painter.setFont(m_font);

    const int nAxis = 2 * m_nLine + 8;
    const int nBand = m_nLine + 8;
    int y = nAxis;
    QRect periodBand, eraBand, baseBand;
    if (m_periods.nLanes > 0) {
        periodBand = QRect(0, y, area.width(), m_periods.nLanes * nBand);
        y = periodBand.bottom() + 1;
    }
    if (m_eras.nLanes > 0) {
        eraBand = QRect(0, y, area.width(), m_eras.nLanes * nBand);
        y = eraBand.bottom() + 1;
    }
    if (m_pDoc != nullptr && m_pDoc->HasBaseYear()) {
        baseBand = QRect(0, y, area.width(), nBand);
        y = baseBand.bottom() + 1;
    }
    const int nStrip = m_nLine + 2;   // the density strip, with its count at the right
    const QRect events(0, y + 4, area.width(), std::max(0, area.height() - y - 4 - nStrip));

    PaintAxis(painter, area, scale);
    PaintSpans(painter, periodBand, scale, m_periods, m_vPeriodNames, kPeriodFill);
    PaintSpans(painter, eraBand, scale, m_eras, m_vEraNames, kEraFill);
    if (!baseBand.isNull())
        PaintBaseYear(painter, baseBand, area.width(), scale);

    PaintGrid(painter, area, events.top(), scale, nSelected);

    SBandLabelRequest request;
    request.pEvents = &m_events;
    request.eFilter = eFilter;
    request.scale = scale;
    request.nWidth = area.width();
    request.nRows = events.height() / m_nRowHeight;
    request.nSelected = nSelected;
    request.labelWidth = [this, &scale](const SBandEvent& event, int nGroup) {
        const bool bSpan = scale.X(event.dEnd) - scale.X(event.dBegin) >= 3;
        return LabelText(event, nGroup).dWidth + (bSpan ? kSpanMark + 2 : kPointMark + 2);
    };
    m_labels = CBandLayout::LayOutLabels(request);
    m_labelOrigin = rect.topLeft() + events.topLeft();
    PaintLabels(painter, events, nSelected);

    PaintDensity(painter, area, nStrip);
    painter.restore();
}

// The base year's band: its span, and its name and years where they fit.
void CBandPainter::PaintBaseYear(QPainter& painter, const QRect& band, int nWidth, const CBandScale& scale)
{
    const CBaseYear& base = m_pDoc->BaseYear();
    const double dBegin = CBandScale::YearStart(base.GetBaseWesternYear());
    const double dEnd = base.GetEndWesternYear() == NO_END_YEAR ? scale.Time(nWidth + 10)
                                                                 : CBandScale::YearStart(base.GetEndWesternYear()) + 1;
    const double x0 = Clip(scale.X(dBegin), nWidth);
    const double x1 = Clip(scale.X(dEnd), nWidth);
    if (x1 > x0) {
        const QRectF span(x0, band.top() + 1, x1 - x0, band.height() - 2);
        painter.setPen(kSpanBorder);
        painter.setBrush(kBaseYearFill);
        painter.drawRect(span);
        QString strText = QStringLiteral("基点年 %1").arg(YearText(base.GetBaseWesternYear()));
        if (base.GetEndWesternYear() != NO_END_YEAR)
            strText += QStringLiteral("–%1").arg(YearText(base.GetEndWesternYear()));
        if (!base.GetTableName().IsEmpty())
            strText = ToQString(base.GetTableName()) + QStringLiteral("  ") + strText;
        const double dLeft = std::max(x0, 0.0) + 4;
        const double dRoom = std::min(x1, static_cast<double>(nWidth)) - dLeft - 2;
        if (QFontMetricsF(m_font).horizontalAdvance(strText) <= dRoom) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(dLeft, span.top(), dRoom, span.height()), Qt::AlignVCenter | Qt::AlignLeft, strText);
        }
    }
}

// The density of what has no label: a strip of columns, their height by the log of the count.
void CBandPainter::PaintDensity(QPainter& painter, const QRect& area, int nStrip)
{
    if (m_labels.vDensity.empty())
        return;
    const QRect strip(0, area.height() - nStrip, area.width(), nStrip);
    painter.fillRect(strip, QColor(0xf4, 0xf4, 0xf4));
    const int nMax = *std::max_element(m_labels.vDensity.begin(), m_labels.vDensity.end());
    const double dLogMax = std::log1p(std::max(nMax, 1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x50, 0x50, 0x50));
    for (std::size_t c = 0; c < m_labels.vDensity.size(); ++c) {
        const int nCount = m_labels.vDensity[c];
        if (nCount == 0)
            continue;
        const double dHeight = std::max(2.0, (nStrip - 2) * std::log1p(nCount) / dLogMax);
        painter.drawRect(QRectF(static_cast<double>(c) * m_labels.nDensityPixels, strip.bottom() + 1 - dHeight,
                                m_labels.nDensityPixels - 0.5, dHeight));
    }
    QFont small = m_font;
    small.setPointSizeF(m_font.pointSizeF() * 0.85);
    painter.setFont(small);
    const QString strCount = QStringLiteral("%1件中 %2件の名前を表示").arg(m_labels.nVisible).arg(m_labels.vLabels.size());
    const QFontMetricsF fm(small);
    const QRectF box(area.width() - fm.horizontalAdvance(strCount) - 10, strip.top() + 1,
                     fm.horizontalAdvance(strCount) + 8, strip.height() - 2);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, strCount);
}

void CBandPainter::PaintGrid(QPainter& painter, const QRect& area, int nTop, const CBandScale& scale, int nSelected)
{
    const int nAxis = 2 * m_nLine + 8;
    // Grid lines of the axis's labelled ticks through the events.
    const int nLabelPixels = static_cast<int>(QFontMetricsF(m_font).horizontalAdvance(QStringLiteral("前00000"))) + 12;
    for (const SBandTick& tick : scale.Ticks(area.width(), nLabelPixels)) {
        painter.setPen(tick.bLabelled ? kGridMajor : kGridMinor);
        const double x = std::round(scale.X(tick.dTime)) + 0.5;
        painter.drawLine(QPointF(x, nTop), QPointF(x, area.bottom()));
    }

    // The selected event's time through every band.
    if (const SBandEvent* pSelected = m_events.Find(nSelected)) {
        const double x = scale.X(pSelected->dBegin);
        if (x >= -1 && x <= area.width() + 1) {
            QColor line = kSelected;
            line.setAlpha(110);
            painter.setPen(QPen(line, 1.5));
            painter.drawLine(QPointF(x, nAxis), QPointF(x, area.bottom()));
        }
    }
}

void CBandPainter::PaintAxis(QPainter& painter, const QRect& area, const CBandScale& scale)
{
    const int nAxis = 2 * m_nLine + 8;
    m_vAxisLabels.clear();
    painter.fillRect(QRect(0, 0, area.width(), nAxis), kAxisFill);
    painter.setPen(kSpanBorder);
    painter.drawLine(QPointF(0, nAxis - 0.5), QPointF(area.width(), nAxis - 0.5));
    const QFontMetricsF fm(m_font);
    const int nLabelPixels = static_cast<int>(fm.horizontalAdvance(QStringLiteral("前00000"))) + 12;
    const bool bMonths = scale.LabelStepYears(nLabelPixels) < 1;
    const std::vector<SBandTick> vTicks = scale.Ticks(area.width(), nLabelPixels);
    std::vector<double> vLabelled;
    for (const SBandTick& tick : vTicks) {
        if (tick.bLabelled)
            vLabelled.push_back(scale.X(tick.dTime));
    }
    double dYearRight = -1e9;
    double dEraRight = -1e9;
    std::size_t nLabel = 0;
    QFont eraFont = m_font;
    eraFont.setPointSizeF(m_font.pointSizeF() * 0.9);
    const QFontMetricsF fmEra(eraFont);
    for (const SBandTick& tick : vTicks) {
        const double x = std::round(scale.X(tick.dTime)) + 0.5;
        painter.setPen(kSpanBorder);
        painter.drawLine(QPointF(x, nAxis - (tick.bLabelled ? 7 : 3)), QPointF(x, nAxis));
        if (!tick.bLabelled)
            continue;
        // The last label must end inside the view, not be cut at its edge.
        const double dNext = ++nLabel < vLabelled.size() ? vLabelled[nLabel] : area.width();
        QString strText = tick.nMonth != 0 ? QStringLiteral("%1月").arg(tick.nMonth)
                                           : YearText(tick.lYear) + (bMonths ? QStringLiteral("年") : QString());
        const double dWidth = fm.horizontalAdvance(strText);
        if (x + 3 > dYearRight && x + 3 + dWidth < dNext) {
            painter.setPen(Qt::black);
            painter.setFont(m_font);
            painter.drawText(QPointF(x + 3, 2 + fm.ascent()), strText);
            m_vAxisLabels.push_back({strText, x + 3, x + 3 + dWidth, false, tick.lYear});
            dYearRight = x + 3 + dWidth + 4;
        }
        // The era year under a year, where it fits before the next label.
        if (tick.nMonth != 0 || m_pDoc == nullptr || tick.lYear > m_lEraLabelEnd)
            continue;
        const QString strEra = ToQString(m_pDoc->Eras().GetEraYearText(tick.lYear));
        const double dEraWidth = fmEra.horizontalAdvance(strEra);
        if (!strEra.isEmpty() && x + 3 > dEraRight && x + 3 + dEraWidth < dNext) {
            painter.setPen(QColor(0x40, 0x40, 0x40));
            painter.setFont(eraFont);
            painter.drawText(QPointF(x + 3, 4 + m_nLine + fmEra.ascent()), strEra);
            m_vAxisLabels.push_back({strEra, x + 3, x + 3 + dEraWidth, true, tick.lYear});
            dEraRight = x + 3 + dEraWidth + 4;
        }
    }
    painter.setFont(m_font);
}

void CBandPainter::PaintSpans(QPainter& painter, const QRect& band, const CBandScale& scale, const SBandSpans& spans,
                              const std::vector<QString>& vNames, const QColor (&aFill)[2])
{
    if (band.isNull() || spans.nLanes == 0)
        return;
    const double dLane = static_cast<double>(band.height()) / spans.nLanes;
    const QFontMetricsF fm(m_font);
    std::vector<int> vParity(static_cast<std::size_t>(spans.nLanes), 0);
    for (std::size_t n = 0; n < spans.vSpans.size(); ++n) {
        const SBandSpan& span = spans.vSpans[n];
        const int nParity = vParity[static_cast<std::size_t>(span.nLane)]++ % 2;
        const double x0 = Clip(scale.X(span.dBegin), band.width());
        const double x1 = Clip(scale.X(span.dEnd), band.width());
        if (x1 < 0 || x0 > band.width())
            continue;
        const QRectF box(x0, span.bAlone ? band.top() : band.top() + span.nLane * dLane, x1 - x0,
                         span.bAlone ? band.height() : dLane);
        painter.setPen(x1 - x0 >= 3 ? QPen(kSpanBorder, 0.8) : Qt::NoPen);
        painter.setBrush(aFill[nParity]);
        painter.drawRect(box.adjusted(0, 0.5, 0, -0.5));
        // The name inside, kept in sight while the span is wider than the view.
        const double dLeft = std::max(x0, 0.0) + 3;
        const double dRoom = std::min(x1, static_cast<double>(band.width())) - dLeft - 2;
        if (fm.horizontalAdvance(vNames[n]) <= dRoom) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(dLeft, box.top(), dRoom, box.height()), Qt::AlignVCenter | Qt::AlignLeft, vNames[n]);
        }
    }
}

double CBandPainter::PaintMark(QPainter& painter, const SBandLabel& label, double y, bool bSelected, int nWidth) const
{
    const bool bSpan = label.dMarkRight - label.dMarkLeft >= 3;
    const QColor mark = bSelected ? QColor(Qt::white) : kGroupMark[label.nGroup];
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    double dText = label.dLeft;
    if (bSpan) {
        // The stretch shaded along the row, its beginning a firm line.
        const double x0 = Clip(label.dMarkLeft, nWidth);
        const double x1 = Clip(label.dMarkRight, nWidth);
        QColor shade = mark;
        shade.setAlpha(bSelected ? 90 : 40);
        painter.setBrush(shade);
        painter.drawRect(QRectF(x0, y + 1, x1 - x0, m_nRowHeight - 3));
        painter.setBrush(mark);
        painter.drawRect(QRectF(x0, y + 1, 2, m_nRowHeight - 3));
        dText += kSpanMark;
    } else {
        const double cx = label.dMarkLeft + 3.5;
        const double cy = y + m_nRowHeight / 2.0;
        const QPointF diamond[4] = {{cx, cy - 4}, {cx + 3.5, cy}, {cx, cy + 4}, {cx - 3.5, cy}};
        painter.drawPolygon(diamond, 4);
        dText += kPointMark;
    }
    return dText;
}

void CBandPainter::PaintLabels(QPainter& painter, const QRect& area, int nSelected)
{
    QFont aFonts[CBandEvents::kGroups];
    double adAscent[CBandEvents::kGroups];
    for (int n = 0; n < CBandEvents::kGroups; ++n) {
        aFonts[n] = GroupFont(n);
        adAscent[n] = QFontMetricsF(aFonts[n]).ascent();
    }
    for (const SBandLabel& label : m_labels.vLabels) {
        const SLabelText& text = LabelText(*label.pEvent, label.nGroup);
        const double y = area.top() + label.nRow * m_nRowHeight;
        const bool bSelected = label.pEvent->nListIndex == nSelected;
        if (bSelected) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kSelected);
            painter.drawRect(QRectF(label.dLeft, y, label.dRight - label.dLeft, m_nRowHeight - 1));
        }
        const double dMarked = PaintMark(painter, label, y, bSelected, area.width());
        double dText = label.bTextBefore ? label.dMarkLeft - 2 - text.dWidth : dMarked;
        // Only the linked words look like links.
        QFont& font = aFonts[label.nGroup];
        const double dBaseline = y + 3 + adAscent[label.nGroup];
        if (!text.bLink) {
            font.setUnderline(false);
            painter.setFont(font);
            painter.setPen(bSelected ? QColor(Qt::white) : kGroupText[label.nGroup]);
            painter.drawText(QPointF(dText, dBaseline), text.strText);
            continue;
        }
        for (std::size_t i = 0; i < text.vRuns.size(); ++i) {
            const bool bLinked = i % 2 == 1;
            font.setUnderline(bLinked);
            painter.setFont(font);
            painter.setPen(bSelected ? QColor(Qt::white) : bLinked ? kLink : kGroupText[label.nGroup]);
            painter.drawText(QPointF(dText, dBaseline), text.vRuns[i]);
            dText += QFontMetricsF(font).horizontalAdvance(text.vRuns[i]);
        }
    }
    painter.setFont(m_font);
}

QRectF CBandPainter::LabelRect(const SBandLabel& label) const
{
    return QRectF(m_labelOrigin.x() + label.dLeft, m_labelOrigin.y() + label.nRow * m_nRowHeight,
                  label.dRight - label.dLeft, m_nRowHeight - 1);
}

int CBandPainter::HitTest(const QPoint& point) const
{
    for (const SBandLabel& label : m_labels.vLabels) {
        if (LabelRect(label).contains(point))
            return label.pEvent->nListIndex;
    }
    return -1;
}
