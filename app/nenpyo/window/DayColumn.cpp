#include "DayColumn.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>

#include <shared/chronology/DayText.h>
#include <shared/qt/QtText.h>

#include "EventModel.h"
#include "RowExport.h"

namespace {

const QString& WesternDayKey()
{
    static const QString s_str = QStringLiteral("View/WesternDay");
    return s_str;
}

} // namespace

bool WesternDayShown()
{
    return QSettings().value(WesternDayKey(), false).toBool();
}

void AddWesternDayAction(QMenu* pMenu, QTableView* pView)
{
    QAction* pAction = pMenu->addAction(QStringLiteral("西暦の日付(&D)"));
    pAction->setCheckable(true);
    pAction->setChecked(WesternDayShown());
    pAction->setToolTip(QStringLiteral("701年からの出来事の日を西暦で示します(1582年10月15日より前はユリウス暦)"));
    pView->setColumnHidden(COLUMN_WESTERN_DAY, !pAction->isChecked());
    QObject::connect(pAction, &QAction::toggled, pView, [pView](bool bShow) {
        pView->setColumnHidden(COLUMN_WESTERN_DAY, !bShow);
        QSettings().setValue(WesternDayKey(), bShow);
    });
}

void ShowDaysBetween(const CEventModel* pModel, const QModelIndexList& rows, QStatusBar* pStatusBar)
{
    SEventData first, second;
    if (rows.size() != 2 || !pModel->EventAt(rows[0].row(), first) || !pModel->EventAt(rows[1].row(), second))
        return;
    pStatusBar->showMessage(ToQString(CDayText::DaysBetweenText(first, second)), 30000);
}
