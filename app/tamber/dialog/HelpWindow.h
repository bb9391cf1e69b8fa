// CHelpWindow: Tamber's help pages (the pages tamber.chm is made of) in a window of the program's
// own, for desktops that have no viewer for tamber.chm. It opens at the first page, follows the
// pages' links, and goes back, forward and to the first page with its buttons (or Alt+Left,
// Alt+Right). Links to other sites open in the desktop's browser. Escape or 閉じる closes it.
#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    // The pages in the folder strPagesDir, opened at its index.html; a window of its own, not modal.
    explicit CHelpWindow(const QString& strPagesDir, QWidget* pParent = nullptr);

    // The page shown.
    QUrl GetPage() const;

private:
    QTextBrowser* m_pBrowser = nullptr;
};
