// CTamberDlg: Tamber's main window, the conversion dialog.
//
// It converts a year (Western, or an era year with an era from its list) into its stem-branch pair,
// and a pair into the years that bear it within a range or nearest to one end. The texts of both
// conversions come from CCycleConverter; this class keeps the dialog's fields, exchanges them with
// the controls, and answers the controls' events. It owns the era table for its whole life: the
// table is read from the file named in the profile when the dialog starts (the shipped era file
// while the profile names none), and replaced on request with the library's open dialog
// (OnReadEraFile) when the chosen file was read whole.
//
// Messages go through the framework's host UI seam (AfxMessageBox), so the program shows them with
// Qt and tests record them. The dialog closes only through 終了; Escape and the close box are
// ignored. Each control has a descriptive object name (yearEraList, yearEdit, yearToCycleButton,
// stemList, branchList, yearsOfPairButton, fromEraList, fromEdit, toEraList, toEdit,
// readEraFileButton, eraFileLabel, resultBox, quitButton, helpButton, iconPicture, bannerPicture)
// by which tests and the screenshot program find it.
#pragma once

#include <cstdint>

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>

#include <tamber/core/CycleConverter.h>
#include <corvane/GengouEra.h>
#include <corvane/SexagenaryCycle.h>
#include <framework/String.h>

class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class CDropComboBox;
class CHelpWindow;

class CTamberDlg : public QDialog {
    Q_OBJECT
    friend class CTamberDlgTest;

public:
    // Builds the controls and initialises the dialog: fields, result font, banner, the era file of
    // the profile (read silently), the era lists, and the focus on the era list of 年から干支へ.
    explicit CTamberDlg(QWidget* pParent = nullptr);
    ~CTamberDlg() override;

    // The data exchange. bSaveAndValidate true reads the controls into the fields in this order:
    // result, year, stem, range start and end, branch, era-file label; when the year field holds no whole number it shows a message asking
    // for one, puts the focus there, leaves that field and the ones after it unchanged and returns
    // false. False writes the fields into the controls and always returns true.
    bool UpdateData(bool bSaveAndValidate = true);

    // Refills the three era lists: "西暦" and one item per era record; selects "西暦" in each.
    void FillEraLists();

    // The two conversions (年を干支にする, 干支を年にする), reading the era file (元号ファイル読み込み),
    // help (ヘルプ and F1: tamber.chm in the desktop's viewer, or the help window when the desktop has
    // none) and the about box (the pictures and the context menu).
    void OnYearToCycle();
    void OnYearsOfPair();
    void OnReadEraFile();
    void OnHelpFile();
    void OnAbout();

    // The full name of the help file: tamber.chm in the folder of the executable, or, when it is
    // not there, in the data folder of an installed program (share/tamber beside bin).
    static QString GetHelpFilePath();
    // True when the file exists and the desktop has an application for its type; false otherwise,
    // and when that cannot be told. Help shows its own window when this is false.
    static bool CanDesktopOpen(const QString& strPath);

protected:
    // Escape and the dialog's cancel command do nothing; 終了 is the only way out.
    void reject() override;
    void closeEvent(QCloseEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    class CControlMaker;
    // The controls, a part of the window each; each Create function makes the controls of its
    // part, keeps them in the members and returns what frames them.
    void CreateControls();
    QLayout* CreateTopRow(const CControlMaker& make);
    QGroupBox* CreateYearGroup(const CControlMaker& make);
    QGroupBox* CreatePairGroup(const CControlMaker& make);
    QGroupBox* CreateEraFileGroup(const CControlMaker& make);
    void FillFixedLists();
    void ConnectControls();
    void OnInitDialog();
    void ReadEraFileAtStart();
    void OnOK();
    // Makes pButton the one default button (the one Enter presses).
    void SetDefaultButton(QPushButton* pButton);
    void OnCloseUpStem();
    void OnCloseUpYearEra();
    void OnCloseUpFromEra();
    void OnCloseUpToEra();
    void OnEditChangeYearEra();
    void OnEditChangeFromEra();
    void OnEditChangeToEra();
    static SEraChoice EraChoiceOf(const CDropComboBox* pList);

    QIcon m_hIcon;
    CSexagenaryCycle m_cycle;
    QPixmap m_imageList;   // the banner, white made transparent
    CGengouEra m_eraTable;
    CString m_strResult;
    std::int32_t m_nYear = 0;
    int m_nStem = 0;
    CDropComboBox* m_pStemList = nullptr;
    CDropComboBox* m_pBranchList = nullptr;
    QPlainTextEdit* m_pResultBox = nullptr;
    CString m_strFrom;
    CString m_strTo;
    CString m_strBranch;
    QLabel* m_pBanner = nullptr;
    CString m_strEraFile;
    CDropComboBox* m_pYearEraList = nullptr;
    CDropComboBox* m_pFromEraList = nullptr;
    CDropComboBox* m_pToEraList = nullptr;
    QFont m_resultFont;

    QLineEdit* m_pYearEdit = nullptr;
    QLineEdit* m_pFromEdit = nullptr;
    QLineEdit* m_pToEdit = nullptr;
    QLabel* m_pIcon = nullptr;
    QLabel* m_pEraFileLabel = nullptr;
    QPushButton* m_pYearToCycle = nullptr;
    QPushButton* m_pYearsOfPair = nullptr;
    QPushButton* m_pReadEraFile = nullptr;
    QPushButton* m_pQuit = nullptr;
    QPushButton* m_pHelp = nullptr;
    QPointer<CHelpWindow> m_pHelpWindow;   // the help pages, while that window is open
};
