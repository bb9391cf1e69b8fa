#include "TamberDlg.h"

#include <charconv>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
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

#include <cycle/YearRange.h>
#include <framework/Cp932.h>
#include <framework/HostUi.h>

#include "AboutDlg.h"
#include "DialogUnits.h"
#include "DropComboBox.h"
#include "QtText.h"
#include "TamberApp.h"

namespace {

// The client area of template 102 in dialog units: the controls reach to x 298 and y 320, and the
// window keeps the margin of its top buttons (7 units) around them.
constexpr int kDialogWidth = 305;
constexpr int kDialogHeight = 327;

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
    return findChild<QWidget*>(QString::number(nID), Qt::FindDirectChildrenOnly);
}

void CTamberDlg::CreateControls()
{
    setWindowTitle(QStringLiteral("Tamber"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setFont(CDialogUnits::GetDialogFont());
    const CDialogUnits units(font());

    auto place = [&](QWidget* pWidget, int nID, int x, int y, int cx, int cy) {
        if (nID != 0)
            pWidget->setObjectName(QString::number(nID));
        pWidget->setGeometry(units.ToPixels(x, y, cx, cy));
    };
    // A combo box's height in the template includes its drop-down list; the box itself gets the
    // height its font needs, and the list shows as many items as fit in the rest.
    auto placeCombo = [&](CDropComboBox* pCombo, int nID, int x, int y, int cx, int cy) {
        place(pCombo, nID, x, y, cx, cy);
        const int nBoxHeight = pCombo->sizeHint().height();
        pCombo->resize(pCombo->width(), nBoxHeight);
        const int nItemHeight = pCombo->fontMetrics().height() + 4;
        pCombo->setMaxVisibleItems(std::max(1, (units.ToPixelsY(cy) - nBoxHeight) / nItemHeight));
    };
    // A label is never cut: Japanese text in the substitute font can be wider than the template
    // allowed for it, and then the label takes the width its text needs.
    auto makeLabel = [&](const QString& strText, int nID, int x, int y, int cx, int cy) {
        auto* pLabel = new QLabel(strText, this);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        place(pLabel, nID, x, y, cx, cy);
        pLabel->resize(pLabel->size().expandedTo(pLabel->sizeHint()));
        return pLabel;
    };
    auto makeButton = [&](const QString& strText, int nID, int x, int y, int cx, int cy) {
        auto* pButton = new QPushButton(strText, this);
        pButton->setAutoDefault(true);
        place(pButton, nID, x, y, cx, cy);
        return pButton;
    };
    auto makeEdit = [&](int nID, int x, int y, int cx, int cy) {
        auto* pEdit = new QLineEdit(this);
        place(pEdit, nID, x, y, cx, cy);
        // The year fields take numbers only: the input method stays off there.
        pEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
        pEdit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        pEdit->installEventFilter(this);
        return pEdit;
    };

    // The controls in tab order.
    m_pYearEraList = new CDropComboBox(this);
    placeCombo(m_pYearEraList, IDC_YEAR_ERA, 25, 71, 61, 77);
    m_pYearEdit = makeEdit(IDC_YEAR, 91, 71, 52, 14);
    QPushButton* pYearToCycle = makeButton(QStringLiteral("年を干支にする"), IDC_YEAR_TO_CYCLE, 199, 71, 72, 18);
    m_pStemList = new CDropComboBox(this);
    placeCombo(m_pStemList, IDC_STEM, 46, 132, 31, 147);
    m_pBranchList = new CDropComboBox(this);
    placeCombo(m_pBranchList, IDC_BRANCH, 111, 132, 30, 135);
    QPushButton* pYearsOfPair = makeButton(QStringLiteral("干支を年にする"), IDC_YEARS_OF_PAIR, 200, 130, 72, 18);
    m_pFromEraList = new CDropComboBox(this);
    placeCombo(m_pFromEraList, IDC_FROM_ERA, 26, 164, 61, 77);
    m_pFromEdit = makeEdit(IDC_FROM, 90, 164, 42, 15);
    m_pToEraList = new CDropComboBox(this);
    placeCombo(m_pToEraList, IDC_TO_ERA, 153, 164, 61, 77);
    m_pToEdit = makeEdit(IDC_TO, 219, 164, 42, 15);
    QPushButton* pReadEraFile = makeButton(QStringLiteral("元号ファイル読み込み"), IDC_READ_ERA_FILE, 199, 208, 72, 19);
    m_pResultBox = new QPlainTextEdit(this);
    place(m_pResultBox, IDC_RESULT, 19, 246, 267, 74);
    m_pResultBox->setReadOnly(true);
    m_pResultBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pResultBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pResultBox->installEventFilter(this);
    QPushButton* pQuit = makeButton(QStringLiteral("終了"), IDC_QUIT, 248, 7, 50, 16);
    QPushButton* pHelp = makeButton(QStringLiteral("ヘルプ(&H)"), ID_HELP, 248, 31, 50, 16);
    makeLabel(QStringLiteral("十干"), 0, 26, 132, 16, 8);
    makeLabel(QStringLiteral("十二支"), 0, 87, 132, 23, 8);
    makeLabel(QStringLiteral("年"), 0, 145, 75, 16, 8);
    std::vector<QGroupBox*> groups;
    auto makeGroup = [&](const QString& strTitle, int x, int y, int cx, int cy) {
        auto* pGroup = new QGroupBox(strTitle, this);
        place(pGroup, 0, x, y, cx, cy);
        groups.push_back(pGroup);
    };
    makeGroup(QStringLiteral("年から干支へ"), 17, 51, 268, 51);
    makeGroup(QStringLiteral("干支から年へ"), 17, 115, 270, 70);
    makeLabel(QStringLiteral("年～"), 0, 135, 168, 16, 8);
    makeLabel(QStringLiteral("年"), 0, 265, 167, 8, 8);
    // The pictures show their images at the images' own sizes, as picture controls do.
    m_pIcon = makeLabel(QString(), IDC_ICON, 25, 17, 20, 20);
    m_pIcon->resize(32, 32);
    m_pIcon->installEventFilter(this);
    m_pBanner = makeLabel(QString(), IDC_BANNER, 61, 17, 20, 20);
    m_pBanner->installEventFilter(this);
    QLabel* pEraFileCaption = makeLabel(QStringLiteral("設定されている元号ファイル"), 0, 25, 216, 80, 8);
    m_pEraFileLabel = makeLabel(QStringLiteral("スタティック"), IDC_ERA_FILE, 108, 216, 83, 8);
    // The two labels read as one sentence (設定されている元号ファイルはありません); the second
    // follows the first when the first has grown.
    if (m_pEraFileLabel->x() <= pEraFileCaption->geometry().right())
        m_pEraFileLabel->move(pEraFileCaption->geometry().right() + 1, m_pEraFileLabel->y());
    makeGroup(QStringLiteral("元号ファイル設定"), 17, 195, 268, 43);
    makeLabel(QStringLiteral("年範囲"), 0, 25, 154, 23, 8);
    // Group boxes come late in the template but lie under the controls they frame.
    for (QGroupBox* pGroup : groups)
        pGroup->lower();

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

    pQuit->setDefault(true);
    resize(units.ToPixelsX(kDialogWidth), units.ToPixelsY(kDialogHeight));

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

    QPixmap banner(QStringLiteral(":/tamber/banner.png"));
    if (!banner.isNull()) {
        banner.setMask(banner.createMaskFromColor(Qt::white));
        m_imageList = banner;
        m_pBanner->setPixmap(m_imageList);
        m_pBanner->resize(m_imageList.size());
    }
    m_pIcon->setPixmap(m_hIcon.pixmap(m_pIcon->size()));

    ReadEraFileOfProfile();
    FillEraLists();
    UpdateData(false);
    m_pYearEraList->setFocus();
}

void CTamberDlg::ReadEraFileOfProfile()
{
    const QString strName = QSettings().value(ProfileKey()).toString();
    if (strName.isEmpty())
        return;
    CString strFileName;
    if (!Utf8ToCp932(strName.toStdString(), strFileName))
        return;
    if (m_eraTable.ReadFile(strFileName, HEADER_GENGOU, false))
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
    m_eraTable.ClearAll();
    if (!m_eraTable.ReadFile(nullptr, HEADER_GENGOU, true))
        return;
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

void CTamberDlg::OnHelpFile()
{
    // The desktop decides what opens the file; a missing file is left to it too.
    QDesktopServices::openUrl(QUrl::fromLocalFile(GetHelpFilePath()));
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
    for (QPushButton* pButton : findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
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
