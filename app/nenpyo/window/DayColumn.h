// The window's parts of the days of events: the 西暦の日付 column, shown when chosen in the 表示 menu
// (remembered in the settings), and the days between two selected events in the status bar.
#pragma once

#include <QModelIndexList>

class CEventModel;
class QMenu;
class QStatusBar;
class QTableView;

// Whether the Western day column is to be shown (the remembered choice; off at first).
bool WesternDayShown();
// Adds 西暦の日付 to the menu: a check that shows or hides the column of pView and remembers it.
void AddWesternDayAction(QMenu* pMenu, QTableView* pView);
// With two rows selected, the days between their events (or why there is no count) in the status
// bar; with another number of rows, nothing.
void ShowDaysBetween(const CEventModel* pModel, const QModelIndexList& rows, QStatusBar* pStatusBar);
