#include "BandView.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QWheelEvent>

#include <shared/qt/AtomicFileDevice.h>

#include "Chronology.h"
#include "NenpyoDoc.h"

namespace {

constexpr double kZoomStep = 1.25;      // one notch of the wheel, one + or -
constexpr double kMargin = 0.03;        // of the width, around everything when fitted

} // namespace

CBandView::CBandView(QWidget* pParent) : QAbstractScrollArea(pParent), m_painter(font())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::OpenHandCursor);
    setMinimumHeight(120);
}

void CBandView::Follow(CChronology* pChronology)
{
    connect(pChronology, &CChronology::replaced, this, [this, pChronology] { SetDocument(&pChronology->Doc()); });
    connect(pChronology, &CChronology::changed, this, &CBandView::Reload);
    connect(pChronology, &CChronology::filterChanged, this, &CBandView::SetFilter);
    SetFilter(pChronology->Filter());
    SetDocument(&pChronology->Doc());
}

void CBandView::SetDocument(const CNenpyoDoc* pDoc)
{
    m_painter.SetDocument(pDoc);
    m_nSelected = -1;
    m_bFitted = false;
    FitAll();
}

void CBandView::Reload()
{
    m_painter.Reload();
    if (!m_bFitted || m_bShowingAll)
        FitAll();
    else
        Changed();
}

void CBandView::SetFilter(EEventPriority eFilter)
{
    m_eFilter = eFilter;
    viewport()->update();
}

void CBandView::SetSelectedIndex(int nListIndex, bool bShow)
{
    // The view's own click has set it already: a clicked label stays where it is.
    if (nListIndex == m_nSelected)
        return;
    m_nSelected = nListIndex;
    const SBandEvent* pEvent = m_painter.Events().Find(nListIndex);
    if (bShow && pEvent != nullptr) {
        const double x = m_scale.X(pEvent->dBegin);
        const double dWidth = viewport()->width();
        if (x < dWidth * 0.02 || x > dWidth * 0.75) {
            m_scale.PlaceAt(pEvent->dBegin, dWidth / 3);
            KeepWithinExtent(pEvent->dBegin);
            Changed();
            return;
        }
    }
    // Only the mark moves: a view that shows everything goes on doing so when it is resized (the
    // first selection comes before the window is laid out).
    viewport()->update();
}

void CBandView::SetScale(const CBandScale& scale)
{
    m_scale = scale;
    m_bFitted = true;
    Changed();
}

void CBandView::ZoomAt(double dX, double dFactor)
{
    m_scale.ZoomAt(dX, dFactor);
    Changed();
}

void CBandView::Pan(double dPixels)
{
    m_scale.Pan(dPixels);
    Changed();
}

void CBandView::FitAll()
{
    double dFrom = 0;
    double dTo = 0;
    if (!m_painter.Extent(dFrom, dTo)) {
        dFrom = 0;
        dTo = 2100;
    } else {
        m_bFitted = true;
    }
    const double dMargin = (dTo - dFrom) * kMargin;
    m_scale.Fit(dFrom - dMargin, dTo + dMargin, std::max(viewport()->width(), 1));
    Changed();
    m_bShowingAll = true;
}

void CBandView::CenterYear(std::int32_t lYear)
{
    m_scale.PlaceAt(CBandScale::YearStart(lYear) + 0.5, viewport()->width() / 2.0);
    KeepWithinExtent(CBandScale::YearStart(lYear) + 0.5);
    Changed();
}

void CBandView::ShowStart()
{
    double dFrom = 0;
    double dTo = 0;
    if (m_painter.Extent(dFrom, dTo))
        m_scale.PlaceAt(dFrom, viewport()->width() * kMargin);
    Changed();
}

void CBandView::ShowEnd()
{
    double dFrom = 0;
    double dTo = 0;
    if (m_painter.Extent(dFrom, dTo))
        m_scale.PlaceAt(dTo, viewport()->width() * (1 - kMargin));
    Changed();
}

void CBandView::ShowYears(std::int32_t lFrom, std::int32_t lTo)
{
    m_scale.Fit(CBandScale::YearStart(lFrom), CBandScale::YearStart(lTo) + 1, std::max(viewport()->width(), 1));
    m_bFitted = true;
    Changed();
}

void CBandView::KeepWithinExtent(double dTime)
{
    double dFrom = 0;
    double dTo = 0;
    if (!m_painter.Extent(dFrom, dTo) || dTime < dFrom || dTime > dTo)
        return;
    // The end of everything no further in than ShowEnd puts it, the beginning no further in than
    // ShowStart: the time asked for stays in sight either way.
    const double dWidth = std::max(viewport()->width(), 1);
    double dLeft = std::min(m_scale.Left(), dTo - dWidth * (1 - kMargin) / m_scale.PixelsPerYear());
    dLeft = std::max(dLeft, dFrom - dWidth * kMargin / m_scale.PixelsPerYear());
    m_scale.PlaceAt(dLeft, 0);
}

void CBandView::Changed()
{
    m_bShowingAll = false;
    UpdateScrollBar();
    viewport()->update();
}

void CBandView::UpdateScrollBar()
{
    const double dWidth = std::max(viewport()->width(), 1);
    double dFrom = 0;
    double dTo = 0;
    if (!m_painter.Extent(dFrom, dTo)) {
        dFrom = m_scale.Time(0);
        dTo = m_scale.Time(dWidth);
    }
    const double dMargin = (dTo - dFrom) * kMargin;
    dFrom = std::min(dFrom - dMargin, m_scale.Time(0));
    dTo = std::max(dTo + dMargin, m_scale.Time(dWidth));
    const double dPixels = (dTo - dFrom) * m_scale.PixelsPerYear();
    // The scroll bar counts in ints: far zoomed in, one step is more than a pixel.
    m_dScrollUnit = std::max(1.0, dPixels / 1e9);
    m_dScrollOrigin = dFrom;
    m_bUpdatingBar = true;
    QScrollBar* pBar = horizontalScrollBar();
    pBar->setRange(0, static_cast<int>(std::max(0.0, (dPixels - dWidth) / m_dScrollUnit)));
    pBar->setPageStep(static_cast<int>(std::max(1.0, dWidth / m_dScrollUnit)));
    pBar->setSingleStep(static_cast<int>(std::max(1.0, dWidth / 10 / m_dScrollUnit)));
    pBar->setValue(static_cast<int>(std::lround((m_scale.Left() - dFrom) * m_scale.PixelsPerYear() / m_dScrollUnit)));
    m_bUpdatingBar = false;
}

void CBandView::scrollContentsBy(int, int)
{
    if (m_bUpdatingBar)
        return;
    m_bShowingAll = false;
    m_scale.PlaceAt(m_dScrollOrigin + horizontalScrollBar()->value() * m_dScrollUnit / m_scale.PixelsPerYear(), 0);
    viewport()->update();
}

void CBandView::Render(QPainter& painter, const QRect& rect)
{
    // The view's stretch across the rect's width.
    const CBandScale scale(m_scale.Left(), m_scale.PixelsPerYear() * rect.width() / std::max(viewport()->width(), 1));
    m_painter.Paint(painter, rect, scale, m_eFilter, m_nSelected);
}

bool CBandView::SaveImage(const QString& strPath, Env* pEnv)
{
    // A hidden band has no size of its own: its stretch then goes into a picture of a usual size.
    const QSize size = isVisible() && !viewport()->size().isEmpty() ? viewport()->size() : QSize(1200, 500);
    CAtomicFileDevice file(QtPath(strPath), pEnv);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool bOk = false;
    if (strPath.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("年表"));
        QPainter p;
        bOk = p.begin(&svg);
        if (bOk) {
            Render(p, QRect(QPoint(0, 0), size));
            bOk = p.end();
        }
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            Render(p, image.rect());
        }
        bOk = image.save(&file, "PNG");
    }
    // Painting for the file replaced the view's hit areas: paint the view again.
    viewport()->update();
    return bOk && file.commit();
}

void CBandView::paintEvent(QPaintEvent*)
{
    if (!m_bFitted)
        FitAll();
    QPainter painter(viewport());
    m_painter.Paint(painter, viewport()->rect(), m_scale, m_eFilter, m_nSelected);
}

void CBandView::resizeEvent(QResizeEvent* pEvent)
{
    // The time in the middle stays there; everything shown stays shown.
    const double dMiddle = m_scale.Time(m_nViewportWidth / 2.0);
    QAbstractScrollArea::resizeEvent(pEvent);
    m_nViewportWidth = viewport()->width();
    if (m_bShowingAll || !m_bFitted) {
        FitAll();
        return;
    }
    m_scale.PlaceAt(dMiddle, m_nViewportWidth / 2.0);
    UpdateScrollBar();
}

void CBandView::wheelEvent(QWheelEvent* pEvent)
{
    const QPoint angle = pEvent->angleDelta();
    if (angle.x() != 0 || (pEvent->modifiers() & Qt::ShiftModifier)) {
        Pan(-(angle.x() != 0 ? angle.x() : angle.y()) / 120.0 * viewport()->width() / 10);
    } else if (angle.y() != 0) {
        ZoomAt(pEvent->position().x(), std::pow(kZoomStep, angle.y() / 120.0));
    }
    pEvent->accept();
}

void CBandView::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(pEvent);
    const int nHit = m_painter.HitTest(pEvent->position().toPoint());
    if (nHit >= 0 && nHit != m_nSelected) {
        m_nSelected = nHit;
        viewport()->update();
        Q_EMIT eventSelected(nHit);
    }
    m_bDragging = true;
    m_dDragX = pEvent->position().x();
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void CBandView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!m_bDragging)
        return QAbstractScrollArea::mouseMoveEvent(pEvent);
    const double x = pEvent->position().x();
    Pan(m_dDragX - x);
    m_dDragX = x;
}

void CBandView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    m_bDragging = false;
    viewport()->setCursor(Qt::OpenHandCursor);
    QAbstractScrollArea::mouseReleaseEvent(pEvent);
}

void CBandView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    const int nHit = m_painter.HitTest(pEvent->position().toPoint());
    if (pEvent->button() == Qt::LeftButton && nHit >= 0)
        Q_EMIT eventActivated(nHit);
}

void CBandView::keyPressEvent(QKeyEvent* pEvent)
{
    const double dWidth = viewport()->width();
    switch (pEvent->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomAt(dWidth / 2, kZoomStep); break;
    case Qt::Key_Minus: ZoomAt(dWidth / 2, 1 / kZoomStep); break;
    case Qt::Key_Left: Pan(-dWidth / 8); break;
    case Qt::Key_Right: Pan(dWidth / 8); break;
    case Qt::Key_Home: ShowStart(); break;
    case Qt::Key_End: ShowEnd(); break;
    default: QAbstractScrollArea::keyPressEvent(pEvent); return;
    }
    pEvent->accept();
}
