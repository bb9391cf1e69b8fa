#include "TamberDlg.h"

#include <string>
#include <variant>
#include <vector>

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <shared/qt/TamberProfile.h>
#include <shared/shipped/DefaultEras.h>
#include <tamber/core/HelpFiles.h>
#include <corvane/YearRange.h>
#include <corvane/YearText.h>
#include <framework/Cp932.h>
#include <framework/HostUi.h>

#include "AboutDlg.h"
#include <shared/qt/DialogUnits.h>
#include "DropComboBox.h"
#include <shared/qt/HelpWindow.h>
#include <shared/qt/QtText.h>
#include "TamberApp.h"

namespace {

// The dialog's designed client area in dialog units: the controls reach to x 298 and y 320, and
// the window keeps the margin of its top buttons (7 units) around them.
constexpr int kDialogWidth = 305;
constexpr int kDialogHeight = 327;
// The era lists hold some 250 eras: their drop-down lists show at least this many.
constexpr int kMinEraListRows = 20;

// The result box shows line feeds; the field keeps the CR LF pairs of the result texts.
QString ResultToDisplay(const CString& strResult)
{
    QString str = ToQString(strResult);
    str.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return str;
}

CString DisplayToResult(QString str)
{
    str.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQString(str);
}

} // namespace

CTamberDlg::CTamberDlg(QWidget* pParent)
    : QDialog(pParent), m_hIcon(CTamberApp::GetAppIcon()), m_strEraFile(CP932("はありません"))
{
    CreateControls();
    OnInitDialog();
}

CTamberDlg::~CTamberDlg() = default;

// Makes the dialog's controls at their designed sizes, in dialog units, and the layouts that place
// them as designed at the default size.
class CTamberDlg::CControlMaker {
public:
    explicit CControlMaker(CTamberDlg* pDlg) : m_pDlg(pDlg), m_units(pDlg->font()) {}

    int dx(int n) const { return m_units.ToPixelsX(n); }
    int dy(int n) const { return m_units.ToPixelsY(n); }

    // Each control gets its designed width (and, where the font allows, its height) as its
    // smallest size, and the name by which it is found.
    void Sized(QWidget* pWidget, const char* pszName, int cx, int cy) const
    {
        pWidget->setObjectName(QLatin1String(pszName));
        pWidget->setMinimumSize(std::max(dx(cx), pWidget->minimumSizeHint().width()),
                                std::max(cy == 0 ? 0 : dy(cy), pWidget->minimumSizeHint().height()));
        pWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    // A combo box's designed height includes its drop-down list; the box itself gets the height
    // its font needs.
    CDropComboBox* Combo(const char* pszName, int cx) const
    {
        auto* pCombo = new CDropComboBox(m_pDlg);
        Sized(pCombo, pszName, cx, 0);
        return pCombo;
    }
    // A label is never cut: Japanese text in the substitute font can be wider than the design
    // allowed for it, and then the label takes the width its text needs.
    QLabel* Label(const QString& strText, int cx) const
    {
        auto* pLabel = new QLabel(strText, m_pDlg);
        pLabel->setMinimumWidth(std::max(dx(cx), pLabel->sizeHint().width()));
        pLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        return pLabel;
    }
    QPushButton* Button(const QString& strText, const char* pszName, int cx, int cy) const
    {
        auto* pButton = new QPushButton(strText, m_pDlg);
        pButton->setAutoDefault(true);
        Sized(pButton, pszName, cx, cy);
        return pButton;
    }
    QLineEdit* Edit(const char* pszName, int cx, int cy) const
    {
        auto* pEdit = new QLineEdit(m_pDlg);
        Sized(pEdit, pszName, cx, cy);
        // The year fields take numbers only: the input method stays off there.
        pEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
        pEdit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        pEdit->installEventFilter(m_pDlg);
        return pEdit;
    }
    // A row of controls with the designed gaps: a number is a gap in horizontal dialog units, -1
    // the stretch that takes the width the window gains.
    using Item = std::variant<QWidget*, int>;
    QHBoxLayout* Row(std::initializer_list<Item> items) const
    {
        auto* pRow = new QHBoxLayout;
        pRow->setSpacing(0);
        for (const Item& item : items) {
            if (const auto* ppWidget = std::get_if<QWidget*>(&item))
                pRow->addWidget(*ppWidget, 0, Qt::AlignVCenter);
            else if (std::get<int>(item) < 0)
                pRow->addStretch(1);
            else
                pRow->addSpacing(dx(std::get<int>(item)));
        }
        return pRow;
    }
    // A group box of the designed height whose rows start nTop units below its top edge, nLeft
    // units in from its left edge, and end nRight units before its right edge.
    std::pair<QGroupBox*, QVBoxLayout*> Group(const QString& strTitle, int cy, int nLeft, int nTop, int nRight) const
    {
        auto* pGroup = new QGroupBox(strTitle, m_pDlg);
        pGroup->setMinimumHeight(dy(cy));
        pGroup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        auto* pLayout = new QVBoxLayout(pGroup);
        pLayout->setSpacing(0);
        const QMargins frame = pGroup->contentsMargins();   // the style's frame and title
        pLayout->setContentsMargins(std::max(0, dx(nLeft) - frame.left()), std::max(0, dy(nTop) - frame.top()),
                                    std::max(0, dx(nRight) - frame.right()), 0);
        return {pGroup, pLayout};
    }

private:
    CTamberDlg* m_pDlg;
    CDialogUnits m_units;
};

void CTamberDlg::CreateControls()
{
    setWindowTitle(QStringLiteral("Tamber"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setFont(CDialogUnits::GetDialogFont());
    const CControlMaker make(this);

    // Made in tab order: the conversions, the era file, the result box, then the top buttons.
    QGroupBox* pYearGroup = CreateYearGroup(make);
    QGroupBox* pPairGroup = CreatePairGroup(make);
    QGroupBox* pFileGroup = CreateEraFileGroup(make);
    m_pResultBox = new QPlainTextEdit(this);
    m_pResultBox->setObjectName(QStringLiteral("resultBox"));
    m_pResultBox->setReadOnly(true);
    m_pResultBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pResultBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pResultBox->installEventFilter(this);
    // The result box takes the size the window gains (its smallest height is set with its font).
    m_pResultBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QLayout* pTop = CreateTopRow(make);

    // The groups and the result box stand 17 to 19 units in from the left and about 19 from the
    // right, the top buttons 7 from the right; the vertical gaps are those of the design.
    auto* pBody = new QVBoxLayout;
    pBody->setSpacing(0);
    pBody->setContentsMargins(make.dx(17), 0, make.dx(305 - 286 - 7), 0);
    pBody->addWidget(pYearGroup);
    pBody->addSpacing(make.dy(115 - 102));
    pBody->addWidget(pPairGroup);
    pBody->addSpacing(make.dy(195 - 185));
    pBody->addWidget(pFileGroup);
    pBody->addSpacing(make.dy(246 - 238));
    pBody->addWidget(m_pResultBox, 1);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setSpacing(0);
    pLayout->setContentsMargins(0, make.dy(7), make.dx(7), make.dy(7));
    pLayout->addLayout(pTop);
    pLayout->addSpacing(make.dy(51 - 47));
    pLayout->addLayout(pBody, 1);

    QWidget* const apTabOrder[] = {m_pYearEraList, m_pYearEdit, m_pYearToCycle, m_pStemList, m_pBranchList,
                                   m_pYearsOfPair, m_pFromEraList, m_pFromEdit, m_pToEraList, m_pToEdit,
                                   m_pReadEraFile, m_pResultBox, m_pQuit, m_pHelp};
    for (size_t i = 0; i + 1 < std::size(apTabOrder); ++i)
        QWidget::setTabOrder(apTabOrder[i], apTabOrder[i + 1]);

    FillFixedLists();
    m_pQuit->setDefault(true);
    ConnectControls();
}

QLayout* CTamberDlg::CreateTopRow(const CControlMaker& make)
{
    m_pQuit = make.Button(QStringLiteral("終了"), "quitButton", 50, 16);
    m_pHelp = make.Button(QStringLiteral("ヘルプ(&H)"), "helpButton", 50, 16);
    // The pictures show their images at the images' own sizes.
    m_pIcon = new QLabel(this);
    m_pIcon->setObjectName(QStringLiteral("iconPicture"));
    m_pIcon->setFixedSize(32, 32);
    m_pIcon->installEventFilter(this);
    m_pBanner = new QLabel(this);
    m_pBanner->setObjectName(QStringLiteral("bannerPicture"));
    m_pBanner->installEventFilter(this);

    // The pictures at the left, and 終了 and ヘルプ at the right edge.
    auto* pButtons = new QVBoxLayout;
    pButtons->setSpacing(make.dy(31 - 7 - 16));
    pButtons->addWidget(m_pQuit);
    pButtons->addWidget(m_pHelp);
    auto* pPictures = new QHBoxLayout;
    pPictures->setSpacing(0);
    pPictures->addSpacing(make.dx(25));
    pPictures->addWidget(m_pIcon, 0, Qt::AlignTop);
    pPictures->addSpacing(make.dx(61) - make.dx(25) - m_pIcon->width());
    pPictures->addWidget(m_pBanner, 0, Qt::AlignTop);
    auto* pPicturesColumn = new QVBoxLayout;
    pPicturesColumn->setSpacing(0);
    pPicturesColumn->addSpacing(make.dy(17 - 7));
    pPicturesColumn->addLayout(pPictures);
    auto* pTop = new QHBoxLayout;
    pTop->setSpacing(0);
    pTop->addLayout(pPicturesColumn);
    pTop->addStretch(1);
    pTop->addLayout(pButtons);
    pTop->setAlignment(pPicturesColumn, Qt::AlignTop);
    pTop->setAlignment(pButtons, Qt::AlignTop);
    return pTop;
}

QGroupBox* CTamberDlg::CreateYearGroup(const CControlMaker& make)
{
    // 年から干支へ: era list, year, 年, and the button at the right.
    m_pYearEraList = make.Combo("yearEraList", 61);
    m_pYearEdit = make.Edit("yearEdit", 52, 14);
    m_pYearToCycle = make.Button(QStringLiteral("年を干支にする"), "yearToCycleButton", 72, 18);
    auto [pGroup, pRows] = make.Group(QStringLiteral("年から干支へ"), 51, 25 - 17, 71 - 51, 285 - 271);
    pRows->addLayout(make.Row({m_pYearEraList, 5, m_pYearEdit, 2, make.Label(QStringLiteral("年"), 16), -1,
                               m_pYearToCycle}));
    pRows->addStretch(1);
    return pGroup;
}

QGroupBox* CTamberDlg::CreatePairGroup(const CControlMaker& make)
{
    // 干支から年へ: stem and branch with the button, then the range.
    m_pStemList = make.Combo("stemList", 31);
    m_pBranchList = make.Combo("branchList", 30);
    m_pYearsOfPair = make.Button(QStringLiteral("干支を年にする"), "yearsOfPairButton", 72, 18);
    m_pFromEraList = make.Combo("fromEraList", 61);
    m_pFromEdit = make.Edit("fromEdit", 42, 15);
    m_pToEraList = make.Combo("toEraList", 61);
    m_pToEdit = make.Edit("toEdit", 42, 15);
    auto [pGroup, pRows] = make.Group(QStringLiteral("干支から年へ"), 70, 26 - 17, 130 - 115, 287 - 272);
    pRows->addLayout(make.Row({make.Label(QStringLiteral("十干"), 16), 4, m_pStemList, 10,
                               make.Label(QStringLiteral("十二支"), 23), 1, m_pBranchList, -1, m_pYearsOfPair}));
    pRows->addSpacing(make.dy(154 - 148));
    pRows->addWidget(make.Label(QStringLiteral("年範囲"), 23));
    pRows->addSpacing(make.dy(164 - 162));
    pRows->addLayout(make.Row({m_pFromEraList, 3, m_pFromEdit, 3, make.Label(QStringLiteral("年～"), 16), 2,
                               m_pToEraList, 5, m_pToEdit, 4, make.Label(QStringLiteral("年"), 8), -1}));
    pRows->addStretch(1);
    return pGroup;
}

QGroupBox* CTamberDlg::CreateEraFileGroup(const CControlMaker& make)
{
    // 元号ファイル設定: the two labels read as one sentence (設定されている元号ファイルはありません).
    m_pReadEraFile = make.Button(QStringLiteral("元号ファイル読み込み"), "readEraFileButton", 72, 19);
    m_pEraFileLabel = new QLabel(QStringLiteral("スタティック"), this);
    m_pEraFileLabel->setObjectName(QStringLiteral("eraFileLabel"));
    // A long table name is cut rather than widening the window; the whole name is its tooltip.
    m_pEraFileLabel->setMinimumWidth(make.dx(83));
    m_pEraFileLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto [pGroup, pRows] = make.Group(QStringLiteral("元号ファイル設定"), 43, 25 - 17, 208 - 195, 285 - 271);
    pRows->addLayout(make.Row({make.Label(QStringLiteral("設定されている元号ファイル"), 80), 0, m_pEraFileLabel, 8,
                               m_pReadEraFile}));
    pRows->addStretch(1);
    return pGroup;
}

void CTamberDlg::FillFixedLists()
{
    // Until an era table is read the era lists offer Western years only.
    for (CDropComboBox* pList : {m_pYearEraList, m_pFromEraList, m_pToEraList})
        pList->addItem(ToQString(CP932("西暦")));
    m_pStemList->addItem(QString());
    for (int nStem = 0; nStem < CSexagenaryCycle::STEM_COUNT; ++nStem) {
        CString strName;
        m_cycle.GetStemName(nStem, strName);
        m_pStemList->addItem(ToQString(strName));
    }
    for (int nBranch = 0; nBranch < CSexagenaryCycle::BRANCH_COUNT; ++nBranch) {
        CString strName;
        m_cycle.GetBranchName(nBranch, strName);
        m_pBranchList->addItem(ToQString(strName));
    }

    // The stem and branch lists show all their items; the era lists as many as fit on the screen.
    m_pStemList->setMaxVisibleItems(m_pStemList->count());
    m_pBranchList->setMaxVisibleItems(m_pBranchList->count());
    for (CDropComboBox* pList : {m_pYearEraList, m_pFromEraList, m_pToEraList})
        pList->SetFillScreen(kMinEraListRows);
}

void CTamberDlg::ConnectControls()
{
    connect(m_pYearToCycle, &QPushButton::clicked, this, &CTamberDlg::OnYearToCycle);
    connect(m_pYearsOfPair, &QPushButton::clicked, this, &CTamberDlg::OnYearsOfPair);
    connect(m_pReadEraFile, &QPushButton::clicked, this, &CTamberDlg::OnReadEraFile);
    connect(m_pHelp, &QPushButton::clicked, this, &CTamberDlg::OnHelpFile);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &CTamberDlg::OnHelpFile);
    connect(m_pQuit, &QPushButton::clicked, this, &CTamberDlg::OnOK);
    connect(m_pStemList, &CDropComboBox::CloseUp, this, &CTamberDlg::OnCloseUpStem);
    connect(m_pBranchList, &CDropComboBox::CloseUp, this, [this] { SetDefaultButton(m_pYearsOfPair); });
    connect(m_pYearEraList, &CDropComboBox::CloseUp, this, &CTamberDlg::OnCloseUpYearEra);
    connect(m_pFromEraList, &CDropComboBox::CloseUp, this, &CTamberDlg::OnCloseUpFromEra);
    connect(m_pToEraList, &CDropComboBox::CloseUp, this, &CTamberDlg::OnCloseUpToEra);
    connect(m_pYearEraList, &CDropComboBox::EditChange, this, &CTamberDlg::OnEditChangeYearEra);
    connect(m_pFromEraList, &CDropComboBox::EditChange, this, &CTamberDlg::OnEditChangeFromEra);
    connect(m_pToEraList, &CDropComboBox::EditChange, this, &CTamberDlg::OnEditChangeToEra);
}

void CTamberDlg::OnInitDialog()
{
    setWindowIcon(m_hIcon);

    const std::int32_t lCurrentYear = CYearRange::GetCurrentYear();
    m_nYear = lCurrentYear;
    m_strFrom = "1";
    m_strTo.Format("%d", lCurrentYear);

    m_resultFont = m_pResultBox->font();
    m_resultFont.setPointSizeF(m_resultFont.pointSizeF() * 2);
    m_resultFont.setWeight(static_cast<QFont::Weight>(std::min(1000, m_resultFont.weight() * 2)));
    m_pResultBox->setFont(m_resultFont);
    // However small the window, the result box shows three lines (a year's pair takes two).
    const int nFrame = 2 * m_pResultBox->frameWidth() + 2 * qRound(m_pResultBox->document()->documentMargin());
    m_pResultBox->setMinimumHeight(3 * QFontMetrics(m_resultFont).lineSpacing() + nFrame);
    // The designed size, or more where the font needs it.
    const CDialogUnits units(font());
    resize(QSize(units.ToPixelsX(kDialogWidth), units.ToPixelsY(kDialogHeight)).expandedTo(minimumSizeHint()));

    QPixmap banner(QStringLiteral(":/tamber/banner.png"));
    if (!banner.isNull()) {
        banner.setMask(banner.createMaskFromColor(Qt::white));
        m_imageList = banner;
        m_pBanner->setPixmap(m_imageList);
        m_pBanner->setFixedSize(m_imageList.size());
    }
    m_pIcon->setPixmap(m_hIcon.pixmap(m_pIcon->size()));

    ReadEraFileAtStart();
    FillEraLists();
    UpdateData(false);
    m_pYearEraList->setFocus();
}

void CTamberDlg::ReadEraFileAtStart()
{
    // The file the user chose last; before any choice, the era file shipped with the program (the
    // profile is written only when the user reads a file). All or nothing: a file that fails
    // halfway leaves no eras behind a label that names none.
    if (LoadDefaultEras(RunningProgramDir(), m_eraTable, EShippedEras::BeforeAnyChoice))
        m_strEraFile = m_eraTable.GetTableName();
}

bool CTamberDlg::UpdateData(bool bSaveAndValidate)
{
    if (!bSaveAndValidate) {
        m_pResultBox->setPlainText(ResultToDisplay(m_strResult));
        m_pYearEdit->setText(QString::number(m_nYear));
        m_pStemList->SetCurSel(m_nStem);
        m_pFromEdit->setText(ToQString(m_strFrom));
        m_pToEdit->setText(ToQString(m_strTo));
        const QString strBranch = ToQString(m_strBranch);
        if (m_pBranchList->SelectString(strBranch) < 0)
            m_pBranchList->SetEditText(strBranch);
        m_pEraFileLabel->setText(ToQString(m_strEraFile));
        m_pEraFileLabel->setToolTip(m_pEraFileLabel->text());
        return true;
    }

    m_strResult = DisplayToResult(m_pResultBox->toPlainText());
    std::int32_t nYear = 0;
    if (!ParseTypedYear(m_pYearEdit->text().toStdString(), nYear)) {
        AfxMessageBox(CP932("整数を入力してください。"), MB_ICONEXCLAMATION);
        m_pYearEdit->setFocus();
        m_pYearEdit->selectAll();
        return false;
    }
    m_nYear = nYear;
    m_nStem = m_pStemList->GetCurSel();
    m_strFrom = FromQString(m_pFromEdit->text());
    m_strTo = FromQString(m_pToEdit->text());
    m_strBranch = FromQString(m_pBranchList->currentText());
    m_strEraFile = FromQString(m_pEraFileLabel->text());
    return true;
}

void CTamberDlg::FillEraLists()
{
    std::vector<CString> items;
    CCycleConverter(m_eraTable, m_cycle).ListEraItems(items);
    for (CDropComboBox* pList : {m_pYearEraList, m_pFromEraList, m_pToEraList}) {
        pList->clear();
        for (const CString& strItem : items)
            pList->addItem(ToQString(strItem));
        pList->SetCurSel(0);
    }
}

SEraChoice CTamberDlg::EraChoiceOf(const CDropComboBox* pList)
{
    SEraChoice era;
    era.nItem = pList->GetCurSel();
    if (era.nItem < 0)
        era.strText = FromQString(pList->currentText());
    return era;
}

void CTamberDlg::OnYearToCycle()
{
    if (!UpdateData(true))
        return;
    CString strResult;
    CString strMessage;
    if (!CCycleConverter(m_eraTable, m_cycle).YearToCycle(m_nYear, EraChoiceOf(m_pYearEraList), strResult, strMessage)) {
        AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
        return;
    }
    m_strResult = strResult;
    UpdateData(false);
}

void CTamberDlg::OnYearsOfPair()
{
    if (!UpdateData(true))
        return;
    SPairRequest request;
    request.nStem = m_nStem;
    request.strBranch = m_strBranch;
    request.strFrom = m_strFrom;
    request.eraFrom = EraChoiceOf(m_pFromEraList);
    request.strTo = m_strTo;
    request.eraTo = EraChoiceOf(m_pToEraList);
    CString strResult;
    CString strMessage;
    const bool bDone = CCycleConverter(m_eraTable, m_cycle).YearsOfPair(request, strResult, strMessage);
    // The fields keep the trimmed range texts even when a message follows; the controls show them
    // only once the fields are written.
    m_strFrom = request.strFrom;
    m_strTo = request.strTo;
    if (!bDone) {
        AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
        return;
    }
    m_strResult = strResult;
    UpdateData(false);
}

void CTamberDlg::OnReadEraFile()
{
    // The file is read into a table of its own and taken only when it was read whole: a cancelled
    // dialog or a failed read leaves the eras, the lists, the label and the profile as they were.
    CGengouEra eraTable;
    if (!eraTable.ReadFile(nullptr, HEADER_GENGOU, true))
        return;
    m_eraTable = eraTable;
    std::string strName;
    if (Cp932ToUtf8(m_eraTable.GetFileName().View(), strName))
        CTamberProfile::SetEraFile(QString::fromStdString(strName));
    m_strEraFile = m_eraTable.GetTableName();
    FillEraLists();
    UpdateData(false);
}

QString CTamberDlg::GetHelpFilePath()
{
    return QString::fromStdString(FindHelpFile(QCoreApplication::applicationDirPath().toStdString()));
}

bool CTamberDlg::CanDesktopOpen(const QString& strPath)
{
    return CHelpWindow::CanDesktopOpen(strPath);
}

void CTamberDlg::OnHelpFile()
{
    // Without a viewer for tamber.chm, the pages it is made of, in a window of our own.
    const QString strPages =
        QString::fromStdString(FindHelpPages(QCoreApplication::applicationDirPath().toStdString()));
    if (!CHelpWindow::Open(m_pHelpWindow, GetHelpFilePath(), strPages, QStringLiteral("Tamber ヘルプ"), this))
        AfxMessageBox(CP932("ヘルプが見つかりません。"), MB_ICONEXCLAMATION);
}

void CTamberDlg::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

void CTamberDlg::OnOK()
{
    if (UpdateData(true))
        accept();
}

void CTamberDlg::reject()
{
}

void CTamberDlg::closeEvent(QCloseEvent* pEvent)
{
    pEvent->ignore();
}

void CTamberDlg::contextMenuEvent(QContextMenuEvent* pEvent)
{
    // Window managers on Linux give no access to a window's system menu; the about item that the
    // program adds there is offered on the dialog's context menu instead.
    QMenu menu(this);
    menu.addAction(QStringLiteral("バージョン情報 Tamber(&A)..."), this, &CTamberDlg::OnAbout);
    menu.exec(pEvent->globalPos());
}

bool CTamberDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::FocusIn:
        if (pWatched == m_pYearEdit)
            SetDefaultButton(m_pYearToCycle);
        else if (pWatched == m_pFromEdit || pWatched == m_pToEdit)
            SetDefaultButton(m_pYearsOfPair);
        break;
    case QEvent::MouseButtonRelease:
        if ((pWatched == m_pIcon || pWatched == m_pBanner)
            && static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton) {
            OnAbout();
            return true;
        }
        break;
    case QEvent::KeyPress:
        // The result box keeps Enter for itself, as a multi-line edit that wants Enter does.
        if (pWatched == m_pResultBox) {
            const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
            if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter)
                return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CTamberDlg::SetDefaultButton(QPushButton* pDefault)
{
    for (QPushButton* pButton : {m_pYearToCycle, m_pYearsOfPair, m_pReadEraFile, m_pQuit, m_pHelp})
        pButton->setDefault(pButton == pDefault);
}

void CTamberDlg::OnCloseUpStem()
{
    if (!UpdateData(true))
        return;
    std::vector<const char*> names;
    m_cycle.ListBranchesForStem(m_nStem - 1, names);
    m_pBranchList->clear();
    for (const char* pszName : names)
        m_pBranchList->addItem(ToQString(CString(pszName)));
    m_pBranchList->SetCurSel(0);
    SetDefaultButton(m_pYearsOfPair);
}

void CTamberDlg::OnCloseUpYearEra()
{
    if (!UpdateData(true))
        return;
    m_nYear = m_pYearEraList->GetCurSel() == 0 ? CYearRange::GetCurrentYear() : 1;
    UpdateData(false);
}

void CTamberDlg::OnCloseUpFromEra()
{
    if (!UpdateData(true))
        return;
    m_strFrom = "1";
    UpdateData(false);
}

void CTamberDlg::OnCloseUpToEra()
{
    if (!UpdateData(true))
        return;
    if (m_pToEraList->GetCurSel() == 0)
        m_strTo.Format("%d", CYearRange::GetCurrentYear());
    else
        m_strTo = "1";
    UpdateData(false);
}

void CTamberDlg::OnEditChangeYearEra()
{
    if (!UpdateData(true))
        return;
    m_nYear = 1;
    UpdateData(false);
    SetDefaultButton(m_pYearToCycle);
}

void CTamberDlg::OnEditChangeFromEra()
{
    if (!UpdateData(true))
        return;
    m_strFrom = "1";
    UpdateData(false);
    SetDefaultButton(m_pYearsOfPair);
}

void CTamberDlg::OnEditChangeToEra()
{
    if (!UpdateData(true))
        return;
    m_strTo = "1";
    UpdateData(false);
    SetDefaultButton(m_pYearsOfPair);
}
