// CTamberApp: Tamber's application object. It names the program and its settings (those of
// CTamberProfile, so that a default QSettings is the profile), installs Qt's
// Japanese translations and the Qt host UI for the library's dialogs and messages, and runs the
// main dialog until 終了 ends it.
#pragma once

#include <QApplication>
#include <QIcon>

#include <shared/qt/QtHostUi.h>

class CTamberApp : public QApplication {
    Q_OBJECT
public:
    CTamberApp(int& argc, char** argv);
    ~CTamberApp() override;

    // Runs the main dialog modally and returns false once it has closed: the program then ends.
    // Nothing is saved on the way out.
    bool InitInstance();

    // The application icon: the white coiled snake on dark blue, in the sizes drawn for it.
    static QIcon GetAppIcon();
    // Sets the names that the profile and the windows use, on any running QApplication (the
    // dialog's tests call it too).
    static void SetApplicationNames();
    // Installs Qt's own Japanese translations (qtbase_ja) and makes Japanese the default locale, so
    // that the standard dialogs and menus (file dialog, Copy, Select All...) speak Japanese like
    // the rest of the program, whatever the system's language. False, with no translation
    // installed, when Qt's translations are not there.
    static bool InstallTranslations();

private:
    CQtHostUi m_hostUi;
};
