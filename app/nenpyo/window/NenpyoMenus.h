// CNenpyoMenus: the main window's menu bar: every action with its shortcut, and the state of the
// actions that depend on the chronology (a selected row, a base-year table, the filter, the
// recent files). The actions call the window and its parts; the menus decide nothing.
#pragma once

#include <QList>
#include <QObject>

#include <corvane/YearEvent.h>

class CNenpyoWindow;
class QAction;
class QActionGroup;
class QMenu;

class CNenpyoMenus : public QObject {
    Q_OBJECT
public:
    // Fills the window's menu bar.
    explicit CNenpyoMenus(CNenpyoWindow& window);

    // Enables the actions on a row when bSelected, 基点年を外す when bBaseYear.
    void Update(bool bSelected, bool bBaseYear);
    // Checks the filter's entry of 表示優先度.
    void ShowFilter(EEventPriority eFilter);
    // Lists the recent files again.
    void UpdateRecent();

private:
    void CreateFileMenu();
    void CreateShareMenu(QMenu* pFile);
    void CreateEditMenu();
    void CreateSearchMenu();
    void CreateViewMenu();

    CNenpyoWindow& m_window;
    QMenu* m_pRecentMenu = nullptr;
    QActionGroup* m_pFilterGroup = nullptr;
    QList<QAction*> m_rowActions;
    QAction* m_pRemoveBaseYearAction = nullptr;
};
