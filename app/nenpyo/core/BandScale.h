// CBandScale: the time axis of the band view: where a date lies on a continuous line of time, which
// part of that line the view shows (the time at its left edge and the pixels a year takes), and the
// ticks of the axis at that zoom. No toolkit.
//
// Time is counted in years as a double: Western year 1 starts at 0.0, the year before it (-1, 前1;
// there is no year 0) at -1.0, so year Y starts at Y - 1 for Y >= 1 and at Y for Y <= -1 (year 0,
// which chronologies should not hold, is taken as year 1). From 701 on a day or month lies where
// it really was: its day number (CCalendar; old-calendar months before 1873, leap months in their
// place) within the Western year it fell in (Julian up to 1582, Gregorian from then on), and the
// month ticks stand on the first days of Western months. Before 701, and for a date that never
// existed, a year is divided into twelve equal months and a month into 31 equal days, a leap month
// drawn over the second half of the month it follows. A date with a year alone covers that
// Western year.
#pragma once

#include <cstdint>
#include <vector>

// One tick of the axis.
struct SBandTick {
    double dTime = 0;            // where it stands
    std::int32_t lYear = 0;      // the Western year it starts (or lies in, for a month tick)
    int nMonth = 0;              // 1-12 for a month tick, 0 for a year tick
    bool bLabelled = false;      // a major tick that carries a label; minor ticks carry none
};

class CBandScale {
public:
    // The closest and the farthest zoom: a day of about 24 pixels, and 4 billion years in a pixel
    // (the whole 32-bit range of years in a view of a few pixels).
    static constexpr double kMaxPixelsPerYear = 12.0 * 31.0 * 24.0;
    static constexpr double kMinPixelsPerYear = 1.0 / 4294967296.0;

    // The start of Western year lYear, and the start of a day, month or year as events and eras
    // give them: nMonth outside 1-12 means the year alone, nDay outside 1-31 the month alone.
    static double YearStart(std::int32_t lYear);
    static double DateStart(std::int32_t lYear, int nMonth, bool bLeap, int nDay);
    // The end (exclusive) of the same day, month or year.
    static double DateEnd(std::int32_t lYear, int nMonth, bool bLeap, int nDay);
    // The time at which day number nJdn begins.
    static double JdnTime(std::int64_t nJdn);
    // The start of the Western month (Julian up to October 1582) nMonth (1-12) of lYear.
    static double WesternMonthStart(std::int32_t lYear, int nMonth);
    // The Western year a time lies in (saturated at the 32-bit range).
    static std::int32_t YearAt(double dTime);

    // A scale with dLeft at pixel 0 and dPixelsPerYear (clamped to the limits above).
    CBandScale() = default;
    CBandScale(double dLeft, double dPixelsPerYear);

    double Left() const { return m_dLeft; }
    double PixelsPerYear() const { return m_dPixelsPerYear; }
    // Pixel of a time and time of a pixel.
    double X(double dTime) const { return (dTime - m_dLeft) * m_dPixelsPerYear; }
    double Time(double dX) const { return m_dLeft + dX / m_dPixelsPerYear; }

    // Multiplies the pixels a year takes by dFactor (within the limits), keeping the time under
    // pixel dX where it is.
    void ZoomAt(double dX, double dFactor);
    // Moves the view by dPixels (positive: later times come in from the right).
    void Pan(double dPixels);
    // Shows dFrom..dTo (dTo > dFrom) across nWidth pixels; nothing changes for an empty range or width.
    void Fit(double dFrom, double dTo, int nWidth);
    // Puts dTime at pixel dX.
    void PlaceAt(double dTime, double dX);

    // The ticks of nWidth pixels from the left edge, in time order: labelled ones at least
    // nLabelPixels apart, on round numbers of years (1, 5, 10, 50, ..., with 1 counted as the
    // first year after 0) or of months (1, 3, 6), and minor ones between them when they are at
    // least 6 pixels apart. The ticks are as many as the pixels allow, whatever the years.
    std::vector<SBandTick> Ticks(int nWidth, int nLabelPixels) const;
    // The step of the labelled ticks, in years (1/12 for months).
    double LabelStepYears(int nLabelPixels) const;

private:
    void AddYearTicks(double dFrom, double dTo, double dStep, bool bLabelled, std::vector<SBandTick>& vTicks) const;

    double m_dLeft = 0;
    double m_dPixelsPerYear = 1;
};
