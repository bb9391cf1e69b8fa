// CBandPainter: paints a chronology as a band of time: the axis of Western years (and era years
// where they fit), the period (時代), era (元号) and base-year bands, and the events as marks with
// their texts stacked in rows (CBandLayout). The view, the image export, the printout and the
// benchmark all paint through it, onto any QPainter.
//
// It keeps an index of the document's events (CBandEvents) and the lanes of its eras and periods:
// Reload after every change of the document. The labels of the last paint are kept for HitTest.
#pragma once

#include <vector>

#include <QColor>
#include <QFont>
#include <QHash>
#include <QRect>
#include <QString>

#include "BandEvents.h"
#include "BandLayout.h"
#include "BandScale.h"

class CNenpyoDoc;
class QPainter;

class CBandPainter {
public:
    explicit CBandPainter(const QFont& font = QFont());

    // The document shown (not owned; null shows nothing), and Reload after it changed.
    void SetDocument(const CNenpyoDoc* pDoc);
    void Reload();
    const CBandEvents& Events() const { return m_events; }
    void SetFont(const QFont& font);

    // The stretch worth showing when everything is to be seen: the events, else the base year,
    // else the eras; false when there is nothing at all.
    bool Extent(double& dFrom, double& dTo) const;
    // The last year whose era year the axis shows: the last event's year or the present year,
    // whichever is later; an era still running is not counted on into years nobody has dated.
    std::int32_t EraLabelEnd() const { return m_lEraLabelEnd; }

    // Paints rect (the scale's pixel 0 at rect.left()) with the events the filter shows, the
    // selected event (a list index, -1 for none) highlighted.
    void Paint(QPainter& painter, const QRect& rect, const CBandScale& scale, EEventPriority eFilter, int nSelected);

    // The list index of the event whose label of the last paint holds the point, -1 for none;
    // and the label rectangles of the last paint (for tests).
    int HitTest(const QPoint& point) const;
    QRectF LabelRect(const SBandLabel& label) const;
    const SBandLabelResult& Labels() const { return m_labels; }
    // The texts the last paint wrote on the axis (years, months, era years), in pixels from the
    // painted rect's left edge; and the lanes of the eras and periods (for tests).
    struct SAxisLabel {
        QString strText;
        double dLeft = 0;
        double dRight = 0;
        bool bEra = false;
        std::int32_t lYear = 0;
    };
    const std::vector<SAxisLabel>& AxisLabels() const { return m_vAxisLabels; }
    const SBandSpans& EraSpans() const { return m_eras; }
    const SBandSpans& PeriodSpans() const { return m_periods; }

    // A Western year as the axis writes it: 前660 before year 1.
    static QString YearText(std::int32_t lYear);

private:
    struct SLabelText {
        QString strText;
        double dWidth = 0;
        bool bLink = false;              // some words are linked:
        std::vector<QString> vRuns;      // then the text in runs, plain and linked by turns, plain first
    };
    const SLabelText& LabelText(const SBandEvent& event, int nGroup);
    QFont GroupFont(int nGroup) const;
    // The grid lines of the axis's labelled ticks from nTop down, and the selected event's time.
    void PaintGrid(QPainter& painter, const QRect& area, int nTop, const CBandScale& scale, int nSelected);
    void PaintAxis(QPainter& painter, const QRect& rect, const CBandScale& scale);
    void PaintBaseYear(QPainter& painter, const QRect& band, int nWidth, const CBandScale& scale);
    void PaintDensity(QPainter& painter, const QRect& area, int nStrip);
    void PaintSpans(QPainter& painter, const QRect& band, const CBandScale& scale, const SBandSpans& spans,
                    const std::vector<QString>& vNames, const QColor (&aFill)[2]);
    // The mark of a label (a diamond, or the stretch shaded along the row); where its text begins.
    double PaintMark(QPainter& painter, const SBandLabel& label, double y, bool bSelected, int nWidth) const;
    void PaintLabels(QPainter& painter, const QRect& area, int nSelected);

    const CNenpyoDoc* m_pDoc = nullptr;
    QFont m_font;
    int m_nLine = 16;          // line height of the font
    int m_nRowHeight = 20;     // of a row of labels
    CBandEvents m_events;
    SBandSpans m_periods;
    SBandSpans m_eras;
    std::vector<QString> m_vPeriodNames;
    std::vector<QString> m_vEraNames;
    std::int32_t m_lEraLabelEnd = 0;
    QHash<const SEventData*, SLabelText> m_texts;
    SBandLabelResult m_labels;
    std::vector<SAxisLabel> m_vAxisLabels;
    QPoint m_labelOrigin;      // where the last paint's label rows start
};
