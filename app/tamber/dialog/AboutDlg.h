// CAboutDlg: the about box: the application icon, the program's name and version,
// and OK. It has no state; OK, Enter, Escape and the close box all close it.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
