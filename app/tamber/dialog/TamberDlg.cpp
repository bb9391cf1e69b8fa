#include "TamberDlg.h"

#include <charconv>
#include <string>
#include <variant>
#include <vector>

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
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
#include <QSettings>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <tamber/core/ShippedFiles.h>
#include <tamber/core/YearRange.h>
#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/HostUi.h>

#include "AboutDlg.h"
#include <shared/qt/DialogUnits.h>
#include "DropComboBox.h"
#include <shared/qt/HelpWindow.h>
#include <shared/qt/QtText.h>
#include "TamberApp.h"

namespace {

// The client area of template 102 in dialog units: the controls reach to x 298 and y 320, and the
// window keeps the margin of its top buttons (7 units) around them.
constexpr int kDialogWidth = 305;
constexpr int kDialogHeight = 327;
// The era lists hold some 250 eras: their drop-down lists show at least this many.
constexpr int kMinEraListRows = 20;

// The profile entry that remembers the era file.
const QString& ProfileKey()
{
    static const QString s_strKey = QStringLiteral("Gengou/FileName");
    return s_strKey;
}

// A whole number as the data exchange reads one: optional blanks around an optional sign and
// decimal digits, within the 32-bit range. Anything else is refused.
bool ParseWholeNumber(const QString& strText, std::int32_t& nValue)
{
    const std::string str = strText.trimmed().toStdString();
    const char* pBegin = str.data();
    const char* pEnd = str.data() + str.size();
    // from_chars takes a minus sign but no plus sign; a plus sign must be followed by a digit.
    if (pBegin != pEnd && *pBegin == '+') {
        ++pBegin;
        if (pBegin == pEnd || *pBegin < '0' || *pBegin > '9')
            return false;
    }
    std::int32_t nParsed = 0;
    const auto [ptr, ec] = std::from_chars(pBegin, pEnd, nParsed);
    if (ec != std::errc() || ptr != pEnd || pBegin == pEnd)
        return false;
    nValue = nParsed;
    return true;
}

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

QWidget* CTamberDlg::GetDlgItem(int nID) const
{
    // The group boxes hold the controls they frame; windows of the dialog's own (help) do not count.
    for (QWidget* pWidget : findChildren<QWidget*>(QString::number(nID)))
        if (pWidget->window() == this)
            return pWidget;
    return nullptr;
}

void CTamberDlg::CreateControls()
{
    setWindowTitle(QStringLiteral("Tamber"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setFont(CDialogUnits::GetDialogFont());
    const CDialogUnits units(font());
    const auto dx = [&](int n) { return units.ToPixelsX(n); };
    const auto dy = [&](int n) { return units.ToPixelsY(n); };

    // Each control gets the template's width (and, where the font allows, its height) as its
    // smallest size; the layouts below place them as the template does at the default size.
    auto sized = [&](QWidget* pWidget, int nID, int cx, int cy) {
        if (nID != 0)
            pWidget->setObjectName(QString::number(nID));
        pWidget->setMinimumSize(std::max(dx(cx), pWidget->minimumSizeHint().width()),
                                std::max(cy == 0 ? 0 : dy(cy), pWidget->minimumSizeHint().height()));
        pWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    };
    // A combo box's height in the template includes its drop-down list; the box itself gets the
    // height its font needs.
    auto makeCombo = [&](int nID, int cx) {
        auto* pCombo = new CDropComboBox(this);
        sized(pCombo, nID, cx, 0);
        return pCombo;
    };
    // A label is never cut: Japanese text in the substitute font can be wider than the template
    // allowed for it, and then the label takes the width its text needs.
    auto makeLabel = [&](const QString& strText, int cx) {
        auto* pLabel = new QLabel(strText, this);
        pLabel->setMinimumWidth(std::max(dx(cx), pLabel->sizeHint().width()));
        pLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        return pLabel;
    };
    auto makeButton = [&](const QString& strText, int nID, int cx, int cy) {
        auto* pButton = new QPushButton(strText, this);
        pButton->setAutoDefault(true);
        sized(pButton, nID, cx, cy);
        return pButton;
    };
    auto makeEdit = [&](int nID, int cx, int cy) {
        auto* pEdit = new QLineEdit(this);
        sized(pEdit, nID, cx, cy);
        // The year fields take numbers only: the input method stays off there.
        pEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
        pEdit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        pEdit->installEventFilter(this);
        return pEdit;
    };
    // A row of controls with the template's gaps: a number is a gap in horizontal dialog units,
    // -1 the stretch that takes the width the window gains.
    using Item = std::variant<QWidget*, int>;
    auto makeRow = [&](std::initializer_list<Item> items) {
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
    };
    // A group box of the template's height whose rows start nTop units below its top edge, nLeft
    // units in from its left edge, and end nRight units before its right edge.
    auto makeGroup = [&](const QString& strTitle, int cy, int nLeft, int nTop, int nRight) {
        auto* pGroup = new QGroupBox(strTitle, this);
        pGroup->setMinimumHeight(dy(cy));
        pGroup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        auto* pLayout = new QVBoxLayout(pGroup);
        pLayout->setSpacing(0);
        const QMargins frame = pGroup->contentsMargins();   // the style's frame and title
        pLayout->setContentsMargins(std::max(0, dx(nLeft) - frame.left()), std::max(0, dy(nTop) - frame.top()),
                                    std::max(0, dx(nRight) - frame.right()), 0);
        return std::pair(pGroup, pLayout);
    };

    // The controls in tab order.
    m_pYearEraList = makeCombo(IDC_YEAR_ERA, 61);
    m_pYearEdit = makeEdit(IDC_YEAR, 52, 14);
    QPushButton* pYearToCycle = makeButton(QStringLiteral("年を干支にする"), IDC_YEAR_TO_CYCLE, 72, 18);
    m_pStemList = makeCombo(IDC_STEM, 31);
    m_pBranchList = makeCombo(IDC_BRANCH, 30);
    QPushButton* pYearsOfPair = makeButton(QStringLiteral("干支を年にする"), IDC_YEARS_OF_PAIR, 72, 18);
    m_pFromEraList = makeCombo(IDC_FROM_ERA, 61);
    m_pFromEdit = makeEdit(IDC_FROM, 42, 15);
    m_pToEraList = makeCombo(IDC_TO_ERA, 61);
    m_pToEdit = makeEdit(IDC_TO, 42, 15);
    QPushButton* pReadEraFile = makeButton(QStringLiteral("元号ファイル読み込み"), IDC_READ_ERA_FILE, 72, 19);
    m_pResultBox = new QPlainTextEdit(this);
    m_pResultBox->setObjectName(QString::number(IDC_RESULT));
    m_pResultBox->setReadOnly(true);
    m_pResultBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pResultBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pResultBox->installEventFilter(this);
    QPushButton* pQuit = makeButton(QStringLiteral("終了"), IDC_QUIT, 50, 16);
    QPushButton* pHelp = makeButton(QStringLiteral("ヘルプ(&H)"), ID_HELP, 50, 16);
    // The pictures show their images at the images' own sizes, as picture controls do.
    m_pIcon = new QLabel(this);
    m_pIcon->setObjectName(QString::number(IDC_ICON));
    m_pIcon->setFixedSize(32, 32);
    m_pIcon->installEventFilter(this);
    m_pBanner = new QLabel(this);
    m_pBanner->setObjectName(QString::number(IDC_BANNER));
    m_pBanner->installEventFilter(this);
    m_pEraFileLabel = new QLabel(QStringLiteral("スタティック"), this);
    m_pEraFileLabel->setObjectName(QString::number(IDC_ERA_FILE));
    // A long table name is cut rather than widening the window; the whole name is its tooltip.
    m_pEraFileLabel->setMinimumWidth(dx(83));
    m_pEraFileLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // Top: the pictures, and 終了 and ヘルプ at the right edge.
    auto* pButtons = new QVBoxLayout;
    pButtons->setSpacing(dy(31 - 7 - 16));
    pButtons->addWidget(pQuit);
    pButtons->addWidget(pHelp);
    auto* pPictures = new QHBoxLayout;
    pPictures->setSpacing(0);
    pPictures->addSpacing(dx(25));
    pPictures->addWidget(m_pIcon, 0, Qt::AlignTop);
    pPictures->addSpacing(dx(61) - dx(25) - m_pIcon->width());
    pPictures->addWidget(m_pBanner, 0, Qt::AlignTop);
    auto* pPicturesColumn = new QVBoxLayout;
    pPicturesColumn->setSpacing(0);
    pPicturesColumn->addSpacing(dy(17 - 7));
    pPicturesColumn->addLayout(pPictures);
    auto* pTop = new QHBoxLayout;
    pTop->setSpacing(0);
    pTop->addLayout(pPicturesColumn);
    pTop->addStretch(1);
    pTop->addLayout(pButtons);
    pTop->setAlignment(pPicturesColumn, Qt::AlignTop);
    pTop->setAlignment(pButtons, Qt::AlignTop);

    // 年から干支へ: era list, year, 年, and the button at the right.
    auto [pYearGroup, pYearRows] = makeGroup(QStringLiteral("年から干支へ"), 51, 25 - 17, 71 - 51, 285 - 271);
    pYearRows->addLayout(makeRow({m_pYearEraList, 5, m_pYearEdit, 2, makeLabel(QStringLiteral("年"), 16), -1,
                                  pYearToCycle}));
    pYearRows->addStretch(1);

    // 干支から年へ: stem and branch with the button, then the range.
    auto [pPairGroup, pPairRows] = makeGroup(QStringLiteral("干支から年へ"), 70, 26 - 17, 130 - 115, 287 - 272);
    pPairRows->addLayout(makeRow({makeLabel(QStringLiteral("十干"), 16), 4, m_pStemList, 10,
                                  makeLabel(QStringLiteral("十二支"), 23), 1, m_pBranchList, -1, pYearsOfPair}));
    pPairRows->addSpacing(dy(154 - 148));
    pPairRows->addWidget(makeLabel(QStringLiteral("年範囲"), 23));
    pPairRows->addSpacing(dy(164 - 162));
    pPairRows->addLayout(makeRow({m_pFromEraList, 3, m_pFromEdit, 3, makeLabel(QStringLiteral("年～"), 16), 2,
                                  m_pToEraList, 5, m_pToEdit, 4, makeLabel(QStringLiteral("年"), 8), -1}));
    pPairRows->addStretch(1);

    // 元号ファイル設定: the two labels read as one sentence (設定されている元号ファイルはありません).
    auto [pFileGroup, pFileRows] = makeGroup(QStringLiteral("元号ファイル設定"), 43, 25 - 17, 208 - 195, 285 - 271);
    pFileRows->addLayout(makeRow({makeLabel(QStringLiteral("設定されている元号ファイル"), 80), 0, m_pEraFileLabel, 8,
                                  pReadEraFile}));
    pFileRows->addStretch(1);

    // The result box takes the size the window gains (its smallest height is set with its font).
    m_pResultBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // The groups and the result box stand 17 to 19 units in from the left and about 19 from the
    // right, the top buttons 7 from the right; their vertical gaps are the template's.
    auto* pBody = new QVBoxLayout;
    pBody->setSpacing(0);
    pBody->setContentsMargins(dx(17), 0, dx(305 - 286 - 7), 0);
    pBody->addWidget(pYearGroup);
    pBody->addSpacing(dy(115 - 102));
    pBody->addWidget(pPairGroup);
    pBody->addSpacing(dy(195 - 185));
    pBody->addWidget(pFileGroup);
    pBody->addSpacing(dy(246 - 238));
    pBody->addWidget(m_pResultBox, 1);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setSpacing(0);
    pLayout->setContentsMargins(0, dy(7), dx(7), dy(7));
    pLayout->addLayout(pTop);
    pLayout->addSpacing(dy(51 - 47));
    pLayout->addLayout(pBody, 1);

    QWidget* const apTabOrder[] = {m_pYearEraList, m_pYearEdit, pYearToCycle, m_pStemList, m_pBranchList,
                                         pYearsOfPair, m_pFromEraList, m_pFromEdit, m_pToEraList, m_pToEdit,
                                         pReadEraFile, m_pResultBox, pQuit, pHelp};
    for (size_t i = 0; i + 1 < std::size(apTabOrder); ++i)
        QWidget::setTabOrder(apTabOrder[i], apTabOrder[i + 1]);

    // The lists' items of the template.
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

    pQuit->setDefault(true);

    connect(pYearToCycle, &QPushButton::clicked, this, &CTamberDlg::OnYearToCycle);
    connect(pYearsOfPair, &QPushButton::clicked, this, &CTamberDlg::OnYearsOfPair);
    connect(pReadEraFile, &QPushButton::clicked, this, &CTamberDlg::OnReadEraFile);
    connect(pHelp, &QPushButton::clicked, this, &CTamberDlg::OnHelpFile);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &CTamberDlg::OnHelpFile);
    connect(pQuit, &QPushButton::clicked, this, &CTamberDlg::OnOK);
    connect(m_pStemList, &CDropComboBox::CloseUp, this, &CTamberDlg::OnCloseUpStem);
    connect(m_pBranchList, &CDropComboBox::CloseUp, this, [this] { SetDefID(IDC_YEARS_OF_PAIR); });
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
    // The template's size, or more where the font needs it.
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
    // profile is written only when the user reads a file).
    const QString strRemembered = QSettings().value(ProfileKey()).toString();
    const std::string strPath = strRemembered.isEmpty()
                                    ? FindShippedEraFile(QCoreApplication::applicationDirPath().toStdString())
                                    : strRemembered.toStdString();
    CString strFileName;
    if (strPath.empty() || !FromNativePath(strPath, strFileName))
        return;
    // All or nothing: a file that fails halfway leaves no eras behind a label that names none.
    CGengouEra eraTable;
    if (!eraTable.Load(strFileName, HEADER_GENGOU).Ok())
        return;
    m_eraTable = eraTable;
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
    if (!ParseWholeNumber(m_pYearEdit->text(), nYear)) {
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
        QSettings().setValue(ProfileKey(), QString::fromStdString(strName));
    m_strEraFile = m_eraTable.GetTableName();
    FillEraLists();
    UpdateData(false);
}

QString CTamberDlg::GetHelpFilePath()
{
    const QString strBeside = QCoreApplication::applicationDirPath() + QStringLiteral("/tamber.chm");
#ifdef TAMBER_DATA_FROM_BIN
    // An installed program finds it in its data folder, TAMBER_DATA_FROM_BIN from its own.
    const QString strInstalled = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                 QStringLiteral("/" TAMBER_DATA_FROM_BIN "/tamber.chm"));
    if (!QFileInfo::exists(strBeside) && QFileInfo::exists(strInstalled))
        return strInstalled;
#endif
    return strBeside;
}

bool CTamberDlg::CanDesktopOpen(const QString& strPath)
{
    return CHelpWindow::CanDesktopOpen(strPath);
}

void CTamberDlg::OnHelpFile()
{
    const QString strChm = GetHelpFilePath();
    if (CanDesktopOpen(strChm) && QDesktopServices::openUrl(QUrl::fromLocalFile(strChm)))
        return;
    // Without a viewer for tamber.chm, the pages it is made of, in a window of our own.
    if (m_pHelpWindow) {
        m_pHelpWindow->show();
        m_pHelpWindow->raise();
        m_pHelpWindow->activateWindow();
        return;
    }
    const std::string strPages = FindHelpPages(QCoreApplication::applicationDirPath().toStdString());
    if (strPages.empty()) {
        AfxMessageBox(CP932("ヘルプが見つかりません。"), MB_ICONEXCLAMATION);
        return;
    }
    m_pHelpWindow = new CHelpWindow(QString::fromStdString(strPages), QStringLiteral("Tamber ヘルプ"), this);
    m_pHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_pHelpWindow->show();
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
            SetDefID(IDC_YEAR_TO_CYCLE);
        else if (pWatched == m_pFromEdit || pWatched == m_pToEdit)
            SetDefID(IDC_YEARS_OF_PAIR);
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

void CTamberDlg::SetDefID(int nID)
{
    for (QPushButton* pButton : findChildren<QPushButton*>())
        if (pButton->window() == this)
            pButton->setDefault(pButton->objectName() == QString::number(nID));
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
    SetDefID(IDC_YEARS_OF_PAIR);
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
    SetDefID(IDC_YEAR_TO_CYCLE);
}

void CTamberDlg::OnEditChangeFromEra()
{
    if (!UpdateData(true))
        return;
    m_strFrom = "1";
    UpdateData(false);
    SetDefID(IDC_YEARS_OF_PAIR);
}

void CTamberDlg::OnEditChangeToEra()
{
    if (!UpdateData(true))
        return;
    m_strTo = "1";
    UpdateData(false);
    SetDefID(IDC_YEARS_OF_PAIR);
}
