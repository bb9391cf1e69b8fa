// CHelpWindow: a program's help pages (for Tamber, the pages tamber.chm is made of) in a window of
// the program's own, for desktops that have no viewer for its help file. It opens at the first page, follows the
// pages' links, and goes back, forward and to the first page with its buttons (or Alt+Left,
// Alt+Right). Links to other sites open in the desktop's browser. Escape or 閉じる closes it.
#pragma once

#include <QDialog>
#include <QPointer>
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

    // Opens a program's help: the file strFile with the desktop's viewer when it has one for it;
    // otherwise the window pWindow (raised when it is open, else made of the pages in
    // strPagesDir, titled strTitle, a child of pParent). False, with nothing shown, when neither
    // can be (the caller says that the help was not found).
    static bool Open(QPointer<CHelpWindow>& pWindow, const QString& strFile, const QString& strPagesDir,
                     const QString& strTitle, QWidget* pParent);

private:
    QTextBrowser* m_pBrowser = nullptr;
};
