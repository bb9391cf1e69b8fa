#include "LinkDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include "EventModel.h"

namespace {

struct SLink {
    int nStart;
    int nLength;
    QString strTarget;
};

QList<SLink> LinksOf(const QModelIndex& index)
{
    QList<SLink> links;
    for (const QVariant& range : index.data(CEventModel::LinkRangesRole).toList()) {
        const QVariantList fields = range.toList();
        if (fields.size() == 3)
            links.append({fields[0].toInt(), fields[1].toInt(), fields[2].toString()});
    }
    return links;
}

// The cell's text on one line in its text rectangle, cut with "…" where it is too wide, as the view
// cuts texts; linked words formatted. ptOrigin is where the layout is drawn.
void LayOutCell(const QStyleOptionViewItem& opt, const QList<SLink>& links, QTextLayout& layout, QPointF& ptOrigin)
{
    const QStyle* pStyle = opt.widget ? opt.widget->style() : QApplication::style();
    const int nMargin = pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const QRect rect =
        pStyle->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(nMargin, 0, -nMargin, 0);
    const bool bSelected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    QString strText = opt.text;
    QList<QTextLayout::FormatRange> formats;
    for (const SLink& link : links) {
        QTextLayout::FormatRange range;
        range.start = link.nStart;
        range.length = link.nLength;
        range.format.setFontUnderline(true);
        range.format.setForeground(opt.palette.brush(group, bSelected ? QPalette::HighlightedText : QPalette::Link));
        formats.append(range);
    }
    for (int nPass = 0; nPass < 2; ++nPass) {
        layout.clearLayout();
        layout.setText(strText);
        layout.setFont(opt.font);
        layout.setFormats(formats);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        if (nPass == 1 || line.naturalTextWidth() <= rect.width())
            break;
        const QString strEllipsis(QChar(0x2026));
        const double dRoom = rect.width() - QFontMetricsF(opt.font).horizontalAdvance(strEllipsis);
        const int nCut = std::max(0, line.xToCursor(std::max(0.0, dRoom), QTextLine::CursorBetweenCharacters));
        strText = opt.text.left(nCut) + strEllipsis;
    }
    const QTextLine line = layout.lineAt(0);
    ptOrigin = QPointF(rect.left(), rect.top() + (rect.height() - line.height()) / 2);
}

} // namespace

void CLinkDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QList<SLink> links = LinksOf(index);
    if (links.isEmpty()) {
        QStyledItemDelegate::paint(pPainter, option, index);
        return;
    }
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    QTextLayout layout;
    QPointF ptOrigin;
    LayOutCell(opt, links, layout, ptOrigin);
    // The cell without its text, then the text.
    QStyleOptionViewItem empty(opt);
    empty.text.clear();
    const QStyle* pStyle = opt.widget ? opt.widget->style() : QApplication::style();
    pStyle->drawControl(QStyle::CE_ItemViewItem, &empty, pPainter, opt.widget);
    const QPalette::ColorGroup group = opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    pPainter->save();
    pPainter->setClipRect(opt.rect);
    pPainter->setPen(opt.palette.color(group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                 : QPalette::Text));
    layout.draw(pPainter, ptOrigin);
    pPainter->restore();
}

QString CLinkDelegate::LinkAt(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& ptPos) const
{
    const QList<SLink> links = LinksOf(index);
    if (links.isEmpty())
        return QString();
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    QTextLayout layout;
    QPointF ptOrigin;
    LayOutCell(opt, links, layout, ptOrigin);
    const QTextLine line = layout.lineAt(0);
    const double dX = ptPos.x() - ptOrigin.x();
    const double dY = ptPos.y() - ptOrigin.y();
    if (dY < 0 || dY >= line.height())
        return QString();
    for (const SLink& link : links) {
        const int nEnd = std::min(link.nStart + link.nLength, static_cast<int>(layout.text().size()));
        if (link.nStart < nEnd && dX >= line.cursorToX(link.nStart) && dX < line.cursorToX(nEnd))
            return link.strTarget;
    }
    return QString();
}

bool CLinkDelegate::editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    switch (pEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The second press of a double click opens nothing again.
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        const QString strTarget =
            pMouse->button() == Qt::LeftButton ? LinkAt(option, index, pMouse->position().toPoint()) : QString();
        m_bPressedOnLink = !strTarget.isEmpty();
        m_strPressed = pEvent->type() == QEvent::MouseButtonPress ? strTarget : QString();
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() == Qt::LeftButton && !m_strPressed.isEmpty() &&
            LinkAt(option, index, pMouse->position().toPoint()) == m_strPressed) {
            const QString strTarget = m_strPressed;
            m_strPressed.clear();
            Q_EMIT linkClicked(strTarget);
        }
        break;
    }
    default: break;
    }
    return QStyledItemDelegate::editorEvent(pEvent, pModel, option, index);
}

bool CLinkDelegate::helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView, const QStyleOptionViewItem& option,
                              const QModelIndex& index)
{
    if (pEvent->type() == QEvent::ToolTip) {
        const QString strTarget = LinkAt(option, index, pEvent->pos());
        if (!strTarget.isEmpty()) {
            QToolTip::showText(pEvent->globalPos(), strTarget, pView);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(pEvent, pView, option, index);
}
