#include "DayColumn.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>

#include <shared/chronology/DayText.h>
#include <shared/qt/QtText.h>

#include "EventModel.h"
#include "NenpyoSettings.h"
#include "RowExport.h"

void AddWesternDayAction(QMenu* pMenu, QTableView* pView)
{
    QAction* pAction = pMenu->addAction(QStringLiteral("西暦の日付(&D)"));
    pAction->setCheckable(true);
    pAction->setChecked(CNenpyoSettings::WesternDayShown());
    pAction->setToolTip(QStringLiteral("701年からの出来事の日を西暦で示します(1582年10月15日より前はユリウス暦)"));
    pView->setColumnHidden(COLUMN_WESTERN_DAY, !pAction->isChecked());
    QObject::connect(pAction, &QAction::toggled, pView, [pView](bool bShow) {
        pView->setColumnHidden(COLUMN_WESTERN_DAY, !bShow);
        CNenpyoSettings::SetWesternDayShown(bShow);
    });
}

void ShowDaysBetween(const CEventModel* pModel, const QModelIndexList& rows, QStatusBar* pStatusBar)
{
    SEventData first, second;
    if (rows.size() != 2 || !pModel->EventAt(rows[0].row(), first) || !pModel->EventAt(rows[1].row(), second))
        return;
    pStatusBar->showMessage(ToQString(CDayText::DaysBetweenText(first, second)), 30000);
}
