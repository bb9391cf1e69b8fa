// CHelpWindow: a program's help pages (for Tamber, the pages tamber.chm is made of) in a window of
// the program's own, for desktops that have no viewer for its help file. It opens at the first page, follows the
// pages' links, and goes back, forward and to the first page with its buttons (or Alt+Left,
// Alt+Right). Links to other sites open in the desktop's browser. Escape or 閉じる closes it.
#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    // The pages in the folder strPagesDir, opened at its index.html; a window of its own, not modal,
    // titled with the page's title and strTitle.
    CHelpWindow(const QString& strPagesDir, const QString& strTitle, QWidget* pParent = nullptr);

    // True when the desktop has an application for the file's type (as xdg-mime reports it):
    // opening the file with the desktop then shows it. False for a file that does not exist.
    static bool CanDesktopOpen(const QString& strPath);

    // The page shown.
    QUrl GetPage() const;

private:
    QTextBrowser* m_pBrowser = nullptr;
};
