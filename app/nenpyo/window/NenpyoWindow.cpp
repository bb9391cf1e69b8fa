#include "NenpyoWindow.h"

#include <limits>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

#include <framework/Cp932.h>
#include <framework/FileDialog.h>
#include <framework/FileSystem.h>
#include <framework/HostUi.h>
#include <shared/qt/TamberProfile.h>
#include <shared/shipped/ShippedFiles.h>

#include "BandView.h"
#include "BaseYearDlg.h"
#include "ChronologyPrinter.h"
#include "DamagedLine.h"
#include "DayColumn.h"
#include "EventDlg.h"
#include "EventEdit.h"
#include "EventModel.h"
#include "LinkDelegate.h"
#include "NenpyoText.h"
#include <shared/qt/HelpWindow.h>
#include <shared/qt/QtText.h>
#include "RowExport.h"
#include "RecentFiles.h"
#include "TableTextDlg.h"
#include "WorkProgress.h"

namespace {

const char* const kDocumentFilter = "年表ファイル (*.nenpyo)|*.nenpyo|";
const char* const kOpenFilter = "年表・出来事ファイル|*.nenpyo;*.lev|年表ファイル|*.nenpyo|出来事ファイル|*.lev|";

// The shipped data folder (ﾗｲﾌﾞﾗﾘ/, 年表/): beside an installed program, else the source tree's.
QString DataFolder()
{
    const std::string strLibrary = FindShippedData(QCoreApplication::applicationDirPath().toStdString(), "ﾗｲﾌﾞﾗﾘ");
    return QFileInfo(QString::fromStdString(strLibrary)).path();
}

CString Cp932Path(const QString& strPath)
{
    CString str;
    FromNativePath(strPath.toStdString(), str);
    return str;
}

QString NativePath(const CString& strPath) { return ToQString(strPath); }

} // namespace

CNenpyoWindow::CNenpyoWindow(QWidget* pParent) : QMainWindow(pParent), m_pDoc(std::make_unique<CNenpyoDoc>())
{
    m_pModel = new CEventModel(this);
    m_pView = new QTableView;
    m_pView->setModel(m_pModel);
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->setSelectionMode(QAbstractItemView::ExtendedSelection);   // two rows: the days between
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setAlternatingRowColors(true);
    m_pView->setWordWrap(false);
    m_pView->verticalHeader()->hide();
    m_pView->verticalHeader()->setDefaultSectionSize(m_pView->fontMetrics().height() + 6);
    m_pView->horizontalHeader()->setStretchLastSection(true);
    m_pView->installEventFilter(this);
    const int nChar = m_pView->fontMetrics().horizontalAdvance(QChar(0x5E74));   // 年
    const int anWidths[COLUMN_COUNT] = {5, 8, 7, 5, 7, 10, 28, 10};
    for (int n = 0; n < COLUMN_COUNT; ++n)
        m_pView->setColumnWidth(n, anWidths[n] * nChar);

    m_pName = new QLabel;
    QFont font = m_pName->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    m_pName->setFont(font);
    m_pName->setTextFormat(Qt::PlainText);
    m_pExplanation = new QLabel;
    m_pExplanation->setTextFormat(Qt::PlainText);
    m_pExplanation->setWordWrap(true);

    auto* pCentral = new QWidget;
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->addWidget(m_pName);
    pLayout->addWidget(m_pExplanation);
    // The time band under the table; whether it is shown and its share are kept in the profile.
    m_pBand = new CBandView;
    auto* pSplitter = new QSplitter(Qt::Vertical);
    pSplitter->addWidget(m_pView);
    pSplitter->addWidget(m_pBand);
    pSplitter->setStretchFactor(0, 3);
    pSplitter->setStretchFactor(1, 2);
    pSplitter->restoreState(QSettings().value(QStringLiteral("Band/Splitter")).toByteArray());
    m_pBand->setVisible(QSettings().value(QStringLiteral("Band/Visible"), true).toBool());
    connect(pSplitter, &QSplitter::splitterMoved, this,
            [pSplitter] { QSettings().setValue(QStringLiteral("Band/Splitter"), pSplitter->saveState()); });
    connect(m_pBand, &CBandView::eventSelected, this, [this](int nIndex) { SelectIndex(nIndex); });
    connect(m_pBand, &CBandView::eventActivated, this, [this](int nIndex) {
        SelectIndex(nIndex);
        EditEventDlg();
    });
    pLayout->addWidget(pSplitter, 1);
    setCentralWidget(pCentral);

    m_pUndoStack = new QUndoStack(this);
    connect(m_pUndoStack, &QUndoStack::cleanChanged, this, &CNenpyoWindow::UpdateTitle);
    // Only the linked words of an event text are links, and open on a click.
    m_pLinks = new CLinkDelegate(m_pView);
    m_pView->setItemDelegateForColumn(COLUMN_TEXT, m_pLinks);
    connect(m_pLinks, &CLinkDelegate::linkClicked, this, &CNenpyoWindow::OpenLink);
    connect(m_pView, &QTableView::doubleClicked, this, &CNenpyoWindow::CellActivated);

    CreateActions();
    connect(m_pView->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &CNenpyoWindow::UpdateActions);
    connect(m_pView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                m_pBand->SetSelectedIndex(SelectedIndex(), true);
                ShowDaysBetween(m_pModel, m_pView->selectionModel()->selectedRows(), statusBar());
            });
    m_pCount = new QLabel;
    statusBar()->addPermanentWidget(m_pCount);
    resize(1000, 640);

    m_pDoc->New(DefaultTables());
    SetDocument(std::move(m_pDoc));
}

CNenpyoWindow::~CNenpyoWindow()
{
    // The stack goes with the window's children, after the document: it must not report to us.
    disconnect(m_pUndoStack, nullptr, this, nullptr);
}

CNenpyoDoc::SDefaults CNenpyoWindow::DefaultTables()
{
    CNenpyoDoc::SDefaults defaults;
    const QString strLibrary = DataFolder() + QStringLiteral("/ﾗｲﾌﾞﾗﾘ/");
    const QString strTamberEra = CTamberProfile::EraFile();
    defaults.strEraFile = Cp932Path(!strTamberEra.isEmpty() && QFileInfo::exists(strTamberEra)
                                        ? strTamberEra
                                        : strLibrary + QStringLiteral("元号.lgn"));
    defaults.strPeriodFile = Cp932Path(strLibrary + QStringLiteral("時代.ler"));
    return defaults;
}

QString CNenpyoWindow::SampleFile()
{
    return DataFolder() + QStringLiteral("/年表/日本史.nenpyo");
}

QStringList CNenpyoWindow::RecentFiles()
{
    return CRecentFiles::Files();
}

void CNenpyoWindow::CreateActions()
{
    CreateFileMenu();
    CreateEditMenu();
    CreateSearchMenu();
    CreateViewMenu();
    QMenu* pHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    pHelp->addAction(QStringLiteral("ヘルプ(&H)"), QKeySequence::HelpContents, this, &CNenpyoWindow::Help);
    pHelp->addAction(QStringLiteral("バージョン情報 Nenpyo(&A)..."), this, &CNenpyoWindow::About);
    UpdateRecentMenu();
}

void CNenpyoWindow::CreateFileMenu()
{
    QMenu* pFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    pFile->addAction(QStringLiteral("新規(&N)"), QKeySequence::New, this, &CNenpyoWindow::NewFile);
    pFile->addAction(QStringLiteral("開く(&O)..."), QKeySequence::Open, this, &CNenpyoWindow::Open);
    m_pRecentMenu = pFile->addMenu(QStringLiteral("最近使ったファイル(&R)"));
    connect(pFile, &QMenu::aboutToShow, this, &CNenpyoWindow::DropMissingRecentFiles);
    pFile->addAction(QStringLiteral("サンプルの年表を開く(&E)"), this, [this] {
        if (MaybeSave())
            OpenFile(SampleFile());
    });
    pFile->addAction(QStringLiteral("上書き保存(&S)"), QKeySequence::Save, this, &CNenpyoWindow::Save);
    pFile->addAction(QStringLiteral("名前を付けて保存(&A)..."), QKeySequence::SaveAs, this, &CNenpyoWindow::SaveAs);
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("出来事ファイルを併合(&M)..."), this, &CNenpyoWindow::Merge);
    pFile->addAction(QStringLiteral("HTMLに書き出す(&H)..."), this, &CNenpyoWindow::ExportHtmlAs);
    pFile->addAction(QStringLiteral("CSVに書き出す(&C)..."), this, &CNenpyoWindow::ExportCsvAs);
    pFile->addAction(QStringLiteral("画像に保存(&I)..."), this, [this] {
        const QString strPath = AskFileName(false, QStringLiteral("画像に保存"), "PNG画像 (*.png)|*.png|SVG画像 (*.svg)|*.svg|",
                                            "png", QStringLiteral("年表.png"));
        if (!strPath.isEmpty() && !m_pBand->SaveImage(strPath))
            AfxMessageBox(FormatFileStatus(SFileStatus{IDS_FILE_WRITE_FAILED, 0, 0}, Cp932Path(strPath)), MB_ICONEXCLAMATION);
    });
    QAction* pBom = pFile->addAction(QStringLiteral("CSVにBOMを付ける(&B)"));
    pBom->setCheckable(true);
    pBom->setChecked(CsvByteOrderMark());
    pBom->setToolTip(QStringLiteral("BOMのないUTF-8を読めない表計算ソフトのために"));
    connect(pBom, &QAction::toggled, this,
            [](bool bOn) { QSettings().setValue(QStringLiteral("Export/CsvByteOrderMark"), bOn); });
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("印刷(&P)..."), QKeySequence::Print, this, &CNenpyoWindow::Print);
    pFile->addAction(QStringLiteral("PDFに保存(&D)..."), this, &CNenpyoWindow::PrintPdfAs);
    QAction* pPrintBand = pFile->addAction(QStringLiteral("印刷に時間帯の図を含める(&G)"));
    pPrintBand->setCheckable(true);
    pPrintBand->setChecked(PrintsBand());
    pPrintBand->setToolTip(QStringLiteral("時間帯に見えている範囲の図を最初のページに"));
    connect(pPrintBand, &QAction::toggled, this,
            [](bool bOn) { QSettings().setValue(QStringLiteral("Print/Band"), bOn); });
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("終了(&X)"), QKeySequence::Quit, this, &QWidget::close);
}

void CNenpyoWindow::CreateEditMenu()
{
    QMenu* pEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction* pUndo = m_pUndoStack->createUndoAction(this, QStringLiteral("元に戻す"));
    pUndo->setShortcut(QKeySequence::Undo);
    QAction* pRedo = m_pUndoStack->createRedoAction(this, QStringLiteral("やり直し"));
    pRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    pEdit->addAction(pUndo);
    pEdit->addAction(pRedo);
    pEdit->addSeparator();
    pEdit->addAction(QStringLiteral("出来事を追加(&A)..."), QKeySequence(Qt::Key_Insert), this, &CNenpyoWindow::AddEventDlg);
    m_pEditAction = pEdit->addAction(QStringLiteral("出来事を編集(&E)..."), QKeySequence(Qt::Key_F2), this,
                                     &CNenpyoWindow::EditEventDlg);
    m_pDeleteAction = pEdit->addAction(QStringLiteral("出来事を削除(&D)"), QKeySequence::Delete, this,
                                       &CNenpyoWindow::DeleteSelected);
    m_pUpAction = pEdit->addAction(QStringLiteral("上へ移動(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Up), this,
                                   [this] { MoveSelected(true); });
    m_pDownAction = pEdit->addAction(QStringLiteral("下へ移動(&W)"), QKeySequence(Qt::CTRL | Qt::Key_Down), this,
                                     [this] { MoveSelected(false); });
    pEdit->addSeparator();
    pEdit->addAction(QStringLiteral("年表の名前と説明(&T)..."), this, &CNenpyoWindow::EditTableTextDlg);
    pEdit->addAction(QStringLiteral("基点年(&B)..."), this, &CNenpyoWindow::EditBaseYearDlg);
    pEdit->addAction(QStringLiteral("基点年ファイルを開く(&L)..."), this, &CNenpyoWindow::OpenBaseYear);
    m_pRemoveBaseYearAction = pEdit->addAction(QStringLiteral("基点年を外す(&R)"), this, &CNenpyoWindow::RemoveBaseYear);
    pEdit->addAction(QStringLiteral("元号ファイルを選ぶ(&G)..."), this, [this] { ChooseEraFile(HEADER_GENGOU); });
    pEdit->addAction(QStringLiteral("時代ファイルを選ぶ(&J)..."), this, [this] { ChooseEraFile(HEADER_JIDAI); });
}

void CNenpyoWindow::CreateSearchMenu()
{
    QMenu* pSearch = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    pSearch->addAction(QStringLiteral("年へ移動(&Y)..."), QKeySequence(Qt::CTRL | Qt::Key_G), this,
                       &CNenpyoWindow::GoToYearDlg);
    pSearch->addAction(QStringLiteral("検索(&F)..."), QKeySequence::Find, this, &CNenpyoWindow::FindDlg);
    pSearch->addAction(QStringLiteral("次を検索(&N)"), QKeySequence::FindNext, this, [this] {
        if (m_strFind.isEmpty())
            FindDlg();
        else
            FindText(m_strFind, true);
    });
    pSearch->addAction(QStringLiteral("前を検索(&P)"), QKeySequence::FindPrevious, this, [this] {
        if (m_strFind.isEmpty())
            FindDlg();
        else
            FindText(m_strFind, false);
    });
}

void CNenpyoWindow::CreateViewMenu()
{
    QMenu* pShow = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    QMenu* pPriority = pShow->addMenu(QStringLiteral("表示優先度(&P)"));
    m_pFilterGroup = new QActionGroup(this);
    const struct {
        const char* pszText;
        EEventPriority eFilter;
        Qt::Key key;
    } aFilters[] = {
        {"高だけ表示する(&H)", PRIORITY_HIGH, Qt::Key_1},
        {"中以上を表示する(&M)", PRIORITY_MIDDLE, Qt::Key_2},
        {"すべて表示する(&A)", PRIORITY_ALL, Qt::Key_3},
    };
    for (const auto& filter : aFilters) {
        QAction* pAction = pPriority->addAction(QString::fromUtf8(filter.pszText));
        pAction->setShortcut(QKeySequence(Qt::CTRL | filter.key));
        pAction->setCheckable(true);
        pAction->setData(static_cast<int>(filter.eFilter));
        pAction->setChecked(filter.eFilter == PRIORITY_ALL);
        m_pFilterGroup->addAction(pAction);
        const EEventPriority eFilter = filter.eFilter;
        connect(pAction, &QAction::triggered, this, [this, eFilter] { SetFilter(eFilter); });
    }

    pShow->addSeparator();
    AddWesternDayAction(pShow, m_pView);
    QAction* pBand = pShow->addAction(QStringLiteral("時間帯(&B)"));
    pBand->setCheckable(true);
    pBand->setChecked(!m_pBand->isHidden());
    connect(pBand, &QAction::toggled, this, [this](bool bShow) {
        m_pBand->setVisible(bShow);
        QSettings().setValue(QStringLiteral("Band/Visible"), bShow);
    });
    pShow->addAction(QStringLiteral("全体を表示(&W)"), QKeySequence(Qt::CTRL | Qt::Key_0), m_pBand, &CBandView::FitAll);
}

void CNenpyoWindow::SetDocument(std::unique_ptr<CNenpyoDoc> pDoc)
{
    m_pDoc = std::move(pDoc);
    m_pUndoStack->clear();
    m_pModel->SetDocument(m_pDoc.get());
    m_pBand->SetDocument(m_pDoc.get());
    Refresh(-1);
    if (m_pModel->rowCount() > 0)
        SelectIndex(m_pModel->ListIndex(0));
    QStringList warnings;
    for (const CString& strWarning : m_pDoc->Warnings())
        warnings << ToQString(strWarning);
    if (!m_pDoc->CheckNotice().IsEmpty())
        warnings << ToQString(m_pDoc->CheckNotice());
    if (!warnings.isEmpty())
        statusBar()->showMessage(warnings.join(QStringLiteral(" / ")), 30000);
}

void CNenpyoWindow::EventsChanged(int nSelect)
{
    // The selection before the reset of the model, unless told which event to select.
    const int nKeep = nSelect >= 0 ? nSelect : SelectedIndex();
    m_pModel->Reload();
    m_pBand->Reload();
    Refresh(nKeep);
}

void CNenpyoWindow::Refresh(int nKeep)
{
    ++m_nRevision;
    m_pView->setColumnHidden(COLUMN_BASE_YEAR, !m_pDoc->HasBaseYear());
    m_pView->setColumnHidden(COLUMN_WESTERN_DAY, !WesternDayShown());
    if (nKeep >= 0 && nKeep < m_pDoc->Events().GetLen())
        SelectIndex(nKeep);
    UpdateTitle();
    UpdateActions();
}

void CNenpyoWindow::UpdateTitle()
{
    const CYearEvent& events = m_pDoc->Events();
    QString strFile = QFileInfo(NativePath(m_pDoc->GetPathName())).fileName();
    if (strFile.isEmpty())
        strFile = QFileInfo(NativePath(events.GetFileName())).fileName();
    if (strFile.isEmpty())
        strFile = QStringLiteral("無題");
    if (m_pDoc->IsRecovered())
        strFile += QStringLiteral(" (復元)");
    setWindowTitle(strFile + QStringLiteral("[*] - 年表"));
    setWindowModified(IsModified());
    m_pName->setText(events.GetTableName().IsEmpty() ? QStringLiteral("(名前のない年表)")
                                                      : ToQString(events.GetTableName()));
    m_pExplanation->setText(ToEditLines(events.GetExplanation()));
    m_pExplanation->setVisible(!events.GetExplanation().IsEmpty());
    // The count stays while other messages come and go.
    QString strCount = QStringLiteral("%1件表示 / 全%2件").arg(m_pModel->rowCount()).arg(events.GetLen());
    if (m_pDoc->IsRecovered())
        strCount = m_strRecovered + QStringLiteral("(保存するときは新しい名前で) ─ ") + strCount;
    m_pCount->setText(strCount);
}

void CNenpyoWindow::UpdateActions()
{
    const bool bSelected = SelectedIndex() >= 0;
    m_pEditAction->setEnabled(bSelected);
    m_pDeleteAction->setEnabled(bSelected);
    m_pUpAction->setEnabled(bSelected);
    m_pDownAction->setEnabled(bSelected);
    m_pRemoveBaseYearAction->setEnabled(m_pDoc->HasBaseYear());
}

bool CNenpyoWindow::IsModified() const
{
    // Every change is a command: the stack knows whether the files hold what is shown. A recovered
    // chronology is not what its damaged file holds until it is saved under a new name.
    return !m_pUndoStack->isClean() || m_pDoc->IsRecovered();
}

int CNenpyoWindow::SelectedIndex() const
{
    const QModelIndex current = m_pView->selectionModel()->currentIndex();
    if (!current.isValid() || !m_pView->selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return -1;
    return m_pModel->ListIndex(current.row());
}

void CNenpyoWindow::SelectIndex(int nListIndex, bool bCenter)
{
    const int nRow = m_pModel->RowOf(nListIndex);
    if (nRow < 0) {
        m_pView->selectionModel()->clearSelection();
        return;
    }
    const int nColumn = std::max(0, m_pView->currentIndex().column());
    const QModelIndex index = m_pModel->index(nRow, nColumn);
    m_pView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pView->scrollTo(index, bCenter ? QAbstractItemView::PositionAtCenter : QAbstractItemView::EnsureVisible);
}

// Files

void CNenpyoWindow::ShowFileStatus(const SFileStatus& status, const CString& strFile) const
{
    AfxMessageBox(FormatFileStatus(status, strFile), MB_ICONEXCLAMATION);
}

QString CNenpyoWindow::AskFileName(bool bOpen, const QString& strTitle, const char* pszFilter, const char* pszDefExt,
                                   const QString& strFileName) const
{
    const unsigned long dwFlags = bOpen ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER
                                        : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    CFileDialog dialog(bOpen, LiteralToCp932(pszDefExt), Cp932Path(strFileName), dwFlags, LiteralToCp932(pszFilter));
    dialog.m_request.strTitle = FromQString(strTitle);
    if (!m_pDoc->GetPathName().IsEmpty())
        dialog.m_request.strInitialDir = CNenpyoDoc::FolderOf(m_pDoc->GetPathName());
    if (dialog.DoModal() != IDOK)
        return QString();
    return NativePath(dialog.GetPathName());
}

void CNenpyoWindow::NewFile()
{
    if (!MaybeSave())
        return;
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New(DefaultTables());
    SetDocument(std::move(pDoc));
}

void CNenpyoWindow::Open()
{
    if (!MaybeSave())
        return;
    const QString strPath = AskFileName(true, QStringLiteral("年表を開く"), kOpenFilter, "nenpyo", QString());
    if (!strPath.isEmpty())
        OpenFile(strPath);
}

bool CNenpyoWindow::OpenFile(const QString& strPath)
{
    CString strName;
    if (!FromNativePath(QFileInfo(strPath).absoluteFilePath().toStdString(), strName)) {
        AfxMessageBox(CP932("このファイル名はShift_JIS(コードページ932)で表せない文字を含むため開けません。"),
                      MB_ICONEXCLAMATION);
        return false;
    }
    auto pDoc = std::make_unique<CNenpyoDoc>();
    CString strFailed;
    const SFileStatus status = pDoc->Open(strName, DefaultTables(), strFailed);
    if (!status.Ok() && !pDoc->IsRecovered()) {
        ShowFileStatus(status, strFailed);
        return false;
    }
    if (!status.Ok() && !AskToRecover(status, strFailed, *pDoc))
        return false;
    SetDocument(std::move(pDoc));
    AddRecentFile(QFileInfo(strPath).absoluteFilePath());
    // Each table the document names that could not be read, and what is shown instead.
    CString strWarnings;
    for (const CString& strWarning : m_pDoc->Warnings())
        strWarnings += (strWarnings.IsEmpty() ? CString() : CString("\n")) + strWarning;
    if (!strWarnings.IsEmpty())
        AfxMessageBox(strWarnings, MB_ICONEXCLAMATION);
    return true;
}

bool CNenpyoWindow::AskToRecover(const SFileStatus& status, const CString& strFailed, CNenpyoDoc& doc)
{
    const CString strReason = doc.DamageReason().IsEmpty() ? CDamagedLine::Describe(strFailed, status.nLine)
                                                           : doc.DamageReason();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年表"),
                    QStringLiteral("%1\n%2行目: %3。\n\nその前までに読めた%4件の出来事を開きますか?\n"
                                   "復元した年表は、保存するときに新しい名前を尋ねます。")
                        .arg(ToQString(FormatFileStatus(status, strFailed)))
                        .arg(status.nLine)
                        .arg(ToQString(strReason))
                        .arg(doc.EventsBeforeDamage()),
                    QMessageBox::Open | QMessageBox::Cancel, this);
    box.button(QMessageBox::Open)->setText(QStringLiteral("読めた所までを開く(&O)"));
    // Damage the reader passed over: all of it can be opened as read, with the damaged lines named.
    QPushButton* pAsRead = doc.DamageReason().IsEmpty() ? nullptr : box.addButton(QStringLiteral("読めたとおりに開く(&A)"), QMessageBox::AcceptRole);
    box.setDetailedText(ToQString(doc.DamagedLines()));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("開かない"));
    box.setDefaultButton(QMessageBox::Open);
    const int nAnswer = box.exec();
    if (nAnswer != QMessageBox::Open && (!pAsRead || box.clickedButton() != pAsRead))
        return false;
    if (nAnswer == QMessageBox::Open)
        doc.KeepBeforeDamage();
    m_strRecovered = QString::fromUtf8(nAnswer == QMessageBox::Open ? "%1 の%2行目より前を復元しました"
                                                                   : "%1 を読めたとおりに開きました(%2行目から傷があります)")
                         .arg(QFileInfo(NativePath(strFailed)).fileName()).arg(status.nLine);
    return true;
}

bool CNenpyoWindow::Save()
{
    // A recovered chronology goes to a new name: the damaged file is never replaced unasked.
    if (m_pDoc->IsRecovered())
        return SaveAs();
    if (m_pDoc->GetPathName().IsEmpty()) {
        if (m_pDoc->Events().GetFileName().IsEmpty() || m_pDoc->NeedsDocument(DefaultTables()))
            return SaveAs();
        CString strFailed;
        const SFileStatus status = m_pDoc->SaveTablesInPlace(strFailed);
        if (!status.Ok()) {
            ShowFileStatus(status, strFailed);
            return false;
        }
        m_pUndoStack->setClean();
        UpdateTitle();
        return true;
    }
    return SaveTo(NativePath(m_pDoc->GetPathName()));
}

bool CNenpyoWindow::SaveAs()
{
    QString strName = QFileInfo(NativePath(m_pDoc->GetPathName())).fileName();
    if (strName.isEmpty())
        strName = QFileInfo(NativePath(m_pDoc->Events().GetFileName())).completeBaseName();
    if (strName.isEmpty())
        strName = QStringLiteral("年表");
    if (m_pDoc->IsRecovered())
        strName = QFileInfo(strName).completeBaseName() + QStringLiteral("(復元).nenpyo");
    const QString strPath = AskFileName(false, QStringLiteral("名前を付けて保存"), kDocumentFilter, "nenpyo", strName);
    if (strPath.isEmpty())
        return false;
    // Save as writes the tables beside the document under its name: files of that name that are
    // not this chronology's own would be replaced, so ask first.
    // A recovered chronology writes its tables anew even under its own name: ask too.
    if (m_pDoc->IsRecovered() ||
        QFileInfo(strPath).absoluteFilePath() != QFileInfo(NativePath(m_pDoc->GetPathName())).absoluteFilePath()) {
        const QString strBase = QFileInfo(strPath).dir().filePath(QFileInfo(strPath).completeBaseName());
        QStringList existing;
        for (const QString& strSuffix : {QStringLiteral(".lev"), QStringLiteral(".lby")}) {
            if (strSuffix == QStringLiteral(".lby") && !m_pDoc->HasBaseYear())
                continue;
            if (QFileInfo::exists(strBase + strSuffix))
                existing << QFileInfo(strBase + strSuffix).fileName();
        }
        if (!existing.isEmpty() &&
            QMessageBox::question(this, QStringLiteral("名前を付けて保存"),
                                  QStringLiteral("%1 は既にあります。置き換えますか?").arg(existing.join(QStringLiteral("、"))),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    return SaveTo(strPath);
}

bool CNenpyoWindow::SaveTo(const QString& strPath)
{
    CString strFailed;
    const SFileStatus status = m_pDoc->Save(Cp932Path(QFileInfo(strPath).absoluteFilePath()), strFailed);
    if (!status.Ok()) {
        ShowFileStatus(status, strFailed);
        UpdateTitle();
        return false;
    }
    m_pUndoStack->setClean();
    AddRecentFile(QFileInfo(strPath).absoluteFilePath());
    UpdateTitle();
    return true;
}

bool CNenpyoWindow::MaybeSave()
{
    if (!IsModified())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年表"),
                    QStringLiteral("%1 への変更を保存しますか?").arg(windowTitle().section(QStringLiteral("[*]"), 0, 0)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存(&S)"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return Save();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

void CNenpyoWindow::closeEvent(QCloseEvent* pEvent)
{
    if (MaybeSave())
        pEvent->accept();
    else
        pEvent->ignore();
}

void CNenpyoWindow::AddRecentFile(const QString& strPath)
{
    CRecentFiles::Add(strPath);
    UpdateRecentMenu();
}

void CNenpyoWindow::UpdateRecentMenu()
{
    m_pRecentMenu->clear();
    const QStringList files = RecentFiles();
    const QStringList labels = CRecentFiles::Labels(files);
    for (int i = 0; i < files.size(); ++i) {
        const QString strPath = files[i];
        QAction* pAction = m_pRecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(labels[i]));
        pAction->setToolTip(strPath);
        connect(pAction, &QAction::triggered, this, [this, strPath] { OpenRecentFile(strPath); });
    }
    m_pRecentMenu->setEnabled(!files.isEmpty());
}

void CNenpyoWindow::DropMissingRecentFiles()
{
    const QStringList missing = CRecentFiles::DropMissing();
    if (missing.isEmpty())
        return;
    statusBar()->showMessage(QStringLiteral("見つからないファイルを最近使ったファイルから外しました: %1")
                                 .arg(missing.join(QStringLiteral("、"))),
                             10000);
    UpdateRecentMenu();
}

bool CNenpyoWindow::OpenRecentFile(const QString& strPath)
{
    if (!QFileInfo::exists(strPath)) {
        QMessageBox::information(this, QStringLiteral("年表"),
                                 QStringLiteral("%1 が見つかりません。最近使ったファイルから外します。").arg(strPath));
        CRecentFiles::Remove(strPath);
        UpdateRecentMenu();
        return false;
    }
    return MaybeSave() && OpenFile(strPath);
}

// Changes

void CNenpyoWindow::AddEventDlg()
{
    SEventData event;
    event.Initialize();
    event.lYear = 1;
    event.nMonth = -1;
    event.nDay = -1;
    event.nPriority = 1;
    SEventData selected;
    if (m_pDoc->Events().GetAt(SelectedIndex(), &selected, PRIORITY_ALL))
        event.lYear = selected.lYear;
    CEventDlg dlg(event, QStringLiteral("出来事の追加"), this, &m_pDoc->Eras());
    if (dlg.exec() == QDialog::Accepted)
        AddEvent(dlg.Data());
}

void CNenpyoWindow::EditEventDlg()
{
    SEventData event;
    if (!m_pDoc->Events().GetAt(SelectedIndex(), &event, PRIORITY_ALL))
        return;
    CEventDlg dlg(event, QStringLiteral("出来事の編集"), this, &m_pDoc->Eras());
    if (dlg.exec() == QDialog::Accepted)
        EditSelected(dlg.Data());
}

void CNenpyoWindow::AddEvent(const SEventData& event)
{
    m_pUndoStack->push(new CAddEventCommand(*this, event));
}

bool CNenpyoWindow::EditSelected(const SEventData& event)
{
    const int nIndex = SelectedIndex();
    SEventData old;
    if (!m_pDoc->Events().GetAt(nIndex, &old, PRIORITY_ALL) || old == event)
        return false;
    m_pUndoStack->push(new CEditEventCommand(*this, nIndex, event));
    return true;
}

bool CNenpyoWindow::DeleteSelected()
{
    const int nIndex = SelectedIndex();
    if (nIndex < 0)
        return false;
    m_pUndoStack->push(new CDeleteEventCommand(*this, nIndex));
    return true;
}

bool CNenpyoWindow::MoveSelected(bool bUp)
{
    const int nIndex = SelectedIndex();
    if (nIndex < 0)
        return false;
    bool bHidden = false;
    const int nSwapped = CEventEdit::MovePair(m_pDoc->Events(), nIndex, bUp, m_pModel->Filter(), bHidden);
    if (bHidden) {
        AfxMessageBox(CP932("表示優先度の設定によって表示されていない出来事と入れ替わるため、移動できません。\r\n"
                            "「表示」→「表示優先度」で「すべて表示する」を選んでから、やり直してください。"),
                      MB_ICONEXCLAMATION);
        return false;
    }
    if (nSwapped < 0) {
        statusBar()->showMessage(QStringLiteral("同じ年の中でだけ移動できます。"), 5000);
        return false;
    }
    m_pUndoStack->push(new CMoveEventCommand(*this, nSwapped, nIndex, bUp ? nIndex - 1 : nIndex + 1));
    return true;
}

void CNenpyoWindow::Merge()
{
    const QString strPath = AskFileName(true, QStringLiteral("出来事ファイルを併合"), "出来事ファイル (*.lev)|*.lev|", "lev",
                                        QString());
    if (!strPath.isEmpty())
        MergeFile(strPath);
}

bool CNenpyoWindow::MergeFile(const QString& strPath)
{
    auto pOther = std::make_unique<CYearEvent>();
    const CString strName = Cp932Path(QFileInfo(strPath).absoluteFilePath());
    const SFileStatus status = pOther->Load(strName, false);
    if (!status.Ok()) {
        ShowFileStatus(status, strName);
        return false;
    }
    const int nCount = pOther->GetLen();
    m_pUndoStack->push(new CMergeCommand(*this, std::move(pOther)));
    statusBar()->showMessage(QStringLiteral("%1件の出来事を併合しました。").arg(nCount), 5000);
    return true;
}

void CNenpyoWindow::EditTableTextDlg()
{
    CTableTextDlg dlg(m_pDoc->Events().GetTableName(), m_pDoc->Events().GetExplanation(), this);
    if (dlg.exec() == QDialog::Accepted)
        SetTableText(dlg.Name(), dlg.Explanation());
}

void CNenpyoWindow::SetTableText(const CString& strName, const CString& strExplanation)
{
    if (strName == m_pDoc->Events().GetTableName() && strExplanation == m_pDoc->Events().GetExplanation())
        return;
    m_pUndoStack->push(new CTableTextCommand(*this, strName, strExplanation));
}

void CNenpyoWindow::EditBaseYearDlg()
{
    CBaseYearDlg dlg(m_pDoc->BaseYear(), this);
    if (dlg.exec() == QDialog::Accepted)
        SetBaseYear(dlg.Table(), true);
}

void CNenpyoWindow::SetBaseYear(const CBaseYear& baseYear, bool bHas)
{
    m_pUndoStack->push(new CBaseYearCommand(*this, baseYear, bHas));
}

void CNenpyoWindow::RemoveBaseYear()
{
    if (m_pDoc->HasBaseYear())
        SetBaseYear(m_pDoc->BaseYear(), false);
}

void CNenpyoWindow::OpenBaseYear()
{
    // The library's own open dialog and messages.
    CBaseYear table;
    if (table.ReadFile(nullptr))
        SetBaseYear(table, true);
}

bool CNenpyoWindow::ChooseEraFile(EHeaderType eType)
{
    // The library's own open dialog and messages.
    CGengouEra table;
    if (!table.ReadFile(nullptr, eType, true))
        return false;
    m_pUndoStack->push(new CReferenceTableCommand(*this, eType, table));
    return true;
}

void CNenpyoWindow::SetFilter(EEventPriority eFilter)
{
    const int nKeep = SelectedIndex();
    m_pModel->SetFilter(eFilter);
    m_pBand->SetFilter(eFilter);
    for (QAction* pAction : m_pFilterGroup->actions())
        pAction->setChecked(pAction->data().toInt() == eFilter);
    if (nKeep >= 0)
        SelectIndex(nKeep);
    UpdateTitle();
    UpdateActions();
}

// Finding

void CNenpyoWindow::GoToYearDlg()
{
    bool bOk = false;
    const QString strYear = QInputDialog::getText(this, QStringLiteral("年へ移動"), QStringLiteral("西暦年または和暦(&Y):"),
                                                  QLineEdit::Normal, QString(), &bOk);
    if (!bOk)
        return;
    SEraDate date;
    QString strReason;
    if (!ParseYearOrEraDate(strYear, &m_pDoc->Eras(), date, strReason)) {
        QMessageBox::warning(this, QStringLiteral("年へ移動"),
                             QStringLiteral("西暦年には整数か和暦の年を入れてください(例: 1603、紀元前は -660、平成元年、H1)。") +
                                 (strReason.isEmpty() ? QString() : QLatin1Char('\n') + strReason));
        return;
    }
    GoToYear(date.lYear);
}

bool CNenpyoWindow::GoToYear(std::int32_t lYear)
{
    if (m_pModel->rowCount() == 0)
        return false;
    // Under this filter a shown event's index among the shown ones is its row.
    int nRow = m_pDoc->Events().GetNearestYear(lYear, m_pModel->Filter());
    if (nRow < 0)
        nRow = m_pModel->rowCount() - 1;
    SelectIndex(m_pModel->ListIndex(nRow), true);
    m_pBand->CenterYear(lYear);
    return true;
}

void CNenpyoWindow::FindDlg()
{
    bool bOk = false;
    const QString strText = QInputDialog::getText(this, QStringLiteral("検索"), QStringLiteral("出来事の文字(&T):"),
                                                  QLineEdit::Normal, m_strFind, &bOk);
    if (bOk && !strText.isEmpty()) {
        m_strFind = strText;
        FindText(strText, true);
    }
}

bool CNenpyoWindow::FindText(const QString& strText, bool bForward)
{
    m_strFind = strText;
    const CYearEvent& events = m_pDoc->Events();
    CString strCp932;
    const int nMatches = Utf8ToCp932(strText.toStdString(), strCp932) ? CountMatches(strCp932) : 0;
    if (nMatches == 0) {
        statusBar()->showMessage(QStringLiteral("「%1」は見つかりません。").arg(strText), 5000);
        return false;
    }
    constexpr std::int32_t kFirst = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kLast = std::numeric_limits<std::int32_t>::max();
    const EEventPriority eFilter = m_pModel->Filter();
    const int nCurrent = SelectedIndex();
    std::int32_t lYear = 0;
    // The table searches forward only: the last match in [nFrom, nEnd).
    const auto LastBefore = [&](int nFrom, int nEnd) {
        int nFound = -1;
        for (int nPos = events.SearchStr(strCp932, lYear, kFirst, kLast, eFilter, nFrom); nPos >= 0 && nPos < nEnd;) {
            nFound = nPos;
            nPos = nPos + 1 < events.GetLen() ? events.SearchStr(strCp932, lYear, kFirst, kLast, eFilter, nPos + 1) : -1;
        }
        return nFound;
    };
    int nFound = -1;
    bool bWrapped = false;
    if (bForward) {
        const int nStart = nCurrent < 0 ? -1 : nCurrent + 1;
        if (nStart < events.GetLen())
            nFound = events.SearchStr(strCp932, lYear, kFirst, kLast, eFilter, nStart);
        if (nFound < 0) {
            nFound = events.SearchStr(strCp932, lYear, kFirst, kLast, eFilter, -1);
            bWrapped = nCurrent >= 0;
        }
    } else {
        nFound = LastBefore(-1, nCurrent < 0 ? events.GetLen() : nCurrent);
        if (nFound < 0) {
            nFound = LastBefore(std::max(nCurrent, 0), events.GetLen());
            bWrapped = nCurrent >= 0;
        }
    }
    if (nFound < 0)
        return false;
    SelectIndex(nFound, true);
    QString strMessage = QStringLiteral("「%1」は%2件あります。").arg(strText).arg(nMatches);
    if (bWrapped)
        strMessage.prepend(bForward ? QStringLiteral("先頭から検索しました。") : QStringLiteral("末尾から検索しました。"));
    statusBar()->showMessage(strMessage, 10000);
    return true;
}

int CNenpyoWindow::CountMatches(const CString& strCp932)
{
    // Counted once for a text, a filter and a state of the chronology: going from match to match
    // costs no more walks over the whole table.
    if (m_findCount.strText == strCp932 && m_findCount.eFilter == m_pModel->Filter() &&
        m_findCount.nRevision == m_nRevision)
        return m_findCount.nCount;
    const CYearEvent& events = m_pDoc->Events();
    constexpr std::int32_t kFirst = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kLast = std::numeric_limits<std::int32_t>::max();
    std::int32_t lYear = 0;
    int nCount = 0;
    for (int nPos = events.GetLen() > 0 ? events.SearchStr(strCp932, lYear, kFirst, kLast, m_pModel->Filter(), -1) : -1;
         nPos >= 0;
         nPos = nPos + 1 < events.GetLen() ? events.SearchStr(strCp932, lYear, kFirst, kLast, m_pModel->Filter(), nPos + 1)
                                           : -1)
        ++nCount;
    m_findCount = {strCp932, m_pModel->Filter(), m_nRevision, nCount};
    return nCount;
}

// Links

QUrl CNenpyoWindow::LinkUrl(const QString& strLink) const
{
    const QUrl url(strLink);
    if (!url.isRelative())
        return url;
    const CString strBase = m_pDoc->GetPathName().IsEmpty() ? m_pDoc->Events().GetFileName() : m_pDoc->GetPathName();
    if (strBase.IsEmpty())
        return url;
    return QUrl::fromLocalFile(QFileInfo(NativePath(strBase)).absolutePath() + QLatin1Char('/')).resolved(url);
}

bool CNenpyoWindow::OpenSelectedLink()
{
    const int nRow = m_pModel->RowOf(SelectedIndex());
    const QString strLink = m_pModel->data(m_pModel->index(nRow, COLUMN_TEXT), CEventModel::LinkRole).toString();
    if (nRow < 0 || strLink.isEmpty())
        return false;
    return OpenLink(strLink);
}

bool CNenpyoWindow::OpenLink(const QString& strLink)
{
    const QUrl url = LinkUrl(strLink);
    static const QStringList s_schemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                          QStringLiteral("mailto"), QStringLiteral("file")};
    if (!url.isValid() || !s_schemes.contains(url.scheme().toLower())) {
        QMessageBox::warning(this, QStringLiteral("リンク"), QStringLiteral("このリンクは開けません: %1").arg(strLink));
        return false;
    }
    if (!QDesktopServices::openUrl(url)) {
        QMessageBox::warning(this, QStringLiteral("リンク"), QStringLiteral("リンクを開けませんでした: %1").arg(url.toString()));
        return false;
    }
    return true;
}

void CNenpyoWindow::CellActivated(const QModelIndex& index)
{
    // A double click on linked words has opened them already with the first click.
    if (index.column() == COLUMN_TEXT && m_pLinks->PressedOnLink())
        return;
    EditEventDlg();
}

bool CNenpyoWindow::eventFilter(QObject* pObject, QEvent* pEvent)
{
    if (pObject == m_pView && pEvent->type() == QEvent::KeyPress) {
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if ((pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter) && pKey->modifiers() == Qt::NoModifier &&
            SelectedIndex() >= 0) {
            if (!OpenSelectedLink())
                EditEventDlg();
            return true;
        }
    }
    return QMainWindow::eventFilter(pObject, pEvent);
}

// Sharing

bool CNenpyoWindow::WriteExport(const QString& strPath, int nFormat)
{
    const auto eFormat = static_cast<CRowExport::EFormat>(nFormat);
    const QString strKind = eFormat == CRowExport::EFormat::Html ? QStringLiteral("HTML") : QStringLiteral("CSV");
    const CString strName = Cp932Path(QFileInfo(strPath).absoluteFilePath());
    CWorkProgress progress(this, QStringLiteral("%1に書き出しています...").arg(strKind));
    bool bCancelled = false;
    const SFileStatus status =
        CRowExport::Export(*m_pDoc, m_pModel->Filter(), eFormat, strName, progress.Callback(), bCancelled);
    if (!status.Ok()) {
        ShowFileStatus(status, strName);
        return false;
    }
    statusBar()->showMessage(bCancelled ? QStringLiteral("%1への書き出しを取り消しました。").arg(strKind)
                                        : QStringLiteral("%1件を%2に書き出しました: %3")
                                              .arg(m_pModel->rowCount())
                                              .arg(strKind, QFileInfo(strPath).absoluteFilePath()),
                             10000);
    return !bCancelled;
}

bool CNenpyoWindow::ExportHtml(const QString& strPath)
{
    return WriteExport(strPath, static_cast<int>(CRowExport::EFormat::Html));
}

bool CNenpyoWindow::ExportCsv(const QString& strPath)
{
    return WriteExport(strPath, static_cast<int>(CsvByteOrderMark() ? CRowExport::EFormat::CsvWithByteOrderMark
                                                                    : CRowExport::EFormat::Csv));
}

bool CNenpyoWindow::CsvByteOrderMark()
{
    return QSettings().value(QStringLiteral("Export/CsvByteOrderMark"), false).toBool();
}

void CNenpyoWindow::ExportHtmlAs()
{
    const QString strPath = AskFileName(false, QStringLiteral("HTMLに書き出す"), "HTMLファイル (*.html)|*.html|", "html",
                                        DocumentName() + QStringLiteral(".html"));
    if (!strPath.isEmpty())
        ExportHtml(strPath);
}

void CNenpyoWindow::ExportCsvAs()
{
    const QString strPath = AskFileName(false, QStringLiteral("CSVに書き出す"), "CSVファイル (*.csv)|*.csv|", "csv",
                                        DocumentName() + QStringLiteral(".csv"));
    if (!strPath.isEmpty())
        ExportCsv(strPath);
}

bool CNenpyoWindow::PrintsBand()
{
    return QSettings().value(QStringLiteral("Print/Band"), false).toBool();
}

void CNenpyoWindow::AddBandPicture(CChronologyPrinter& job)
{
    if (!PrintsBand())
        return;
    job.SetPicture([this](QPainter& painter, const QRect& rect) {
        m_pBand->Render(painter, rect);
        // Painting the picture replaced the view's hit areas: the view paints again.
        m_pBand->viewport()->update();
    });
}

void CNenpyoWindow::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    CChronologyPrinter job(*m_pDoc, m_pModel->Filter());
    AddBandPicture(job);
    printer.setDocName(job.Title(DocumentName()));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    CWorkProgress progress(this, QStringLiteral("印刷しています..."));
    switch (job.Print(printer, progress.Callback())) {
    case CChronologyPrinter::EResult::Done:
        statusBar()->showMessage(QStringLiteral("%1ページを印刷しました。").arg(job.Pages()), 10000);
        break;
    case CChronologyPrinter::EResult::Cancelled:
        statusBar()->showMessage(QStringLiteral("印刷を取り消しました。"), 10000);
        break;
    case CChronologyPrinter::EResult::Failed:
        QMessageBox::warning(this, QStringLiteral("印刷"), QStringLiteral("印刷を始められませんでした。"));
        break;
    }
}

bool CNenpyoWindow::PrintToPdf(const QString& strPath)
{
    CWorkProgress progress(this, QStringLiteral("PDFに保存しています..."));
    CChronologyPrinter job(*m_pDoc, m_pModel->Filter());
    AddBandPicture(job);
    QString strError;
    switch (job.PrintPdf(strPath, job.Title(DocumentName()), progress.Callback(), strError)) {
    case CChronologyPrinter::EResult::Done:
        statusBar()->showMessage(QStringLiteral("PDFに保存しました(%1ページ): %2").arg(job.Pages()).arg(strPath), 10000);
        return true;
    case CChronologyPrinter::EResult::Cancelled:
        statusBar()->showMessage(QStringLiteral("PDFへの保存を取り消しました。"), 10000);
        return false;
    case CChronologyPrinter::EResult::Failed: break;
    }
    AfxMessageBox(FormatFileStatus(SFileStatus{IDS_FILE_WRITE_FAILED, 0, 0}, Cp932Path(strPath)) + ": " +
                      FromQString(strError),
                  MB_ICONEXCLAMATION);
    return false;
}

QString CNenpyoWindow::DocumentName() const
{
    QString strName = QFileInfo(NativePath(m_pDoc->GetPathName())).completeBaseName();
    if (strName.isEmpty())
        strName = QFileInfo(NativePath(m_pDoc->Events().GetFileName())).completeBaseName();
    return strName.isEmpty() ? QStringLiteral("年表") : strName;
}

void CNenpyoWindow::PrintPdfAs()
{
    const QString strPath = AskFileName(false, QStringLiteral("PDFに保存"), "PDFファイル (*.pdf)|*.pdf|", "pdf",
                                        DocumentName() + QStringLiteral(".pdf"));
    if (!strPath.isEmpty())
        PrintToPdf(strPath);
}

// Help

void CNenpyoWindow::Help()
{
    const QString strFound = QString::fromStdString(FindShippedFile(
        QCoreApplication::applicationDirPath().toStdString(), "nenpyo-help/index.html", "app/nenpyo/help/index.html"));
    if (CHelpWindow::CanDesktopOpen(strFound) && QDesktopServices::openUrl(QUrl::fromLocalFile(strFound)))
        return;
    // Without a viewer on the desktop, the pages in a window of our own.
    if (!QFileInfo::exists(strFound)) {
        QMessageBox::warning(this, QStringLiteral("ヘルプ"), QStringLiteral("ヘルプ %1 が見つかりません。").arg(strFound));
        return;
    }
    if (!m_pHelpWindow) {
        m_pHelpWindow = new CHelpWindow(QFileInfo(strFound).absolutePath(), QStringLiteral("年表 ヘルプ"), this);
        m_pHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_pHelpWindow->show();
    m_pHelpWindow->raise();
    m_pHelpWindow->activateWindow();
}

void CNenpyoWindow::About()
{
    QMessageBox::about(this, QStringLiteral("バージョン情報 Nenpyo"),
                       QStringLiteral("年表 (Nenpyo) %1\n\n出来事・基点年・元号・時代の表で年表を作り、読み、書き出します。")
                           .arg(QCoreApplication::applicationVersion()));
}
