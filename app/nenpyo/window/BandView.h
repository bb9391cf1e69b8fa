// CBandView: the chronology as a band of time under the table (CBandPainter paints it). The mouse
// wheel zooms at the pointer, dragging or the scroll bar pans, and the keys + - arrows Home End do
// the same from the keyboard. A click selects an event, a double click asks to edit it: the view
// reports both and the window does the work, so that the table and the band share one selection
// and one undo.
#pragma once

#include <framework/Env.h>

#include <QAbstractScrollArea>

#include "BandPainter.h"

class CChronology;
class CNenpyoDoc;

class CBandView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CBandView(QWidget* pParent = nullptr);

    // The document shown (not owned; null shows nothing); Reload after it changed.
    void SetDocument(const CNenpyoDoc* pDoc);
    // Follows pChronology (not owned): its document, its filter and each change it announces.
    void Follow(CChronology* pChronology);
    void Reload();
    void SetFilter(EEventPriority eFilter);
    // Highlights the event at a list index (-1: none) and, with bShow, scrolls it into sight.
    void SetSelectedIndex(int nListIndex, bool bShow);
    int SelectedIndex() const { return m_nSelected; }

    // The visible stretch and zoom.
    const CBandScale& Scale() const { return m_scale; }
    void SetScale(const CBandScale& scale);
    // Zooms by dFactor keeping the time under pixel dX (of the viewport) where it is.
    void ZoomAt(double dX, double dFactor);
    void Pan(double dPixels);
    // Shows everything (CBandPainter::Extent), the year centred, the beginning or the end. A year
    // or selected event (SetSelectedIndex) near either end of everything is not centred: the view
    // then ends at that end (as ShowStart and ShowEnd put it), not in an empty stretch past it.
    void FitAll();
    void CenterYear(std::int32_t lYear);
    void ShowStart();
    void ShowEnd();
    // Shows the stretch of the Western years lFrom..lTo, both included.
    void ShowYears(std::int32_t lFrom, std::int32_t lTo);

    // Paints what the view shows into rect of any painter (an image, an SVG file, a page), the
    // view's stretch of time spread over the rect's width.
    void Render(QPainter& painter, const QRect& rect);
    // Writes what the view shows as PNG, or as SVG for a name ending in .svg, at the view's size
    // (1200 x 500 while it is hidden). False, any earlier file of that name left as it was, when
    // the file cannot be written.
    bool SaveImage(const QString& strPath, Env* pEnv = Env::Default());

    CBandPainter& Painter() { return m_painter; }
    QSize sizeHint() const override { return QSize(800, 300); }

Q_SIGNALS:
    // An event was clicked, or double-clicked (list index).
    void eventSelected(int nListIndex);
    void eventActivated(int nListIndex);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Changed();
    void UpdateScrollBar();
    // Moves the view back from an empty stretch past the end or before the beginning of
    // everything, dTime (inside everything) kept in sight; nothing changes for a time outside.
    void KeepWithinExtent(double dTime);

    CBandPainter m_painter;
    CBandScale m_scale;
    EEventPriority m_eFilter = PRIORITY_ALL;
    int m_nSelected = -1;
    bool m_bFitted = false;      // fitted once a document with something to show came
    bool m_bShowingAll = false;  // fitted and not moved since: a new size fits again
    bool m_bDragging = false;
    double m_dDragX = 0;
    int m_nViewportWidth = 0;
    double m_dScrollUnit = 1;    // pixels per step of the scroll bar
    double m_dScrollOrigin = 0;  // time at scroll bar value 0
    bool m_bUpdatingBar = false;
};
