#include "NenpyoMenus.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QUndoStack>

#include <shared/qt/QtText.h>

#include "BandView.h"
#include "Chronology.h"
#include "DayColumn.h"
#include "DocumentFiles.h"
#include "NenpyoSettings.h"
#include "NenpyoWindow.h"
#include "RecentFiles.h"
#include "Sharing.h"

CNenpyoMenus::CNenpyoMenus(CNenpyoWindow& window) : QObject(&window), m_window(window)
{
    CreateFileMenu();
    CreateEditMenu();
    CreateSearchMenu();
    CreateViewMenu();
    QMenu* pHelp = m_window.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    pHelp->addAction(QStringLiteral("ヘルプ(&H)"), QKeySequence::HelpContents, &m_window, &CNenpyoWindow::Help);
    pHelp->addAction(QStringLiteral("バージョン情報 Nenpyo(&A)..."), &m_window, [this] {
        QMessageBox::about(&m_window, QStringLiteral("バージョン情報 Nenpyo"),
                           QStringLiteral("年表 (Nenpyo) %1\n\n出来事・基点年・元号・時代の表で年表を作り、読み、書き出します。")
                               .arg(QCoreApplication::applicationVersion()));
    });
    connect(&window.Files(), &CDocumentFiles::recentFilesChanged, this, &CNenpyoMenus::UpdateRecent);
}

void CNenpyoMenus::CreateFileMenu()
{
    CDocumentFiles* pFiles = &m_window.Files();
    QMenu* pFile = m_window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    pFile->addAction(QStringLiteral("新規(&N)"), QKeySequence::New, pFiles, &CDocumentFiles::NewFile);
    pFile->addAction(QStringLiteral("開く(&O)..."), QKeySequence::Open, pFiles, &CDocumentFiles::Open);
    m_pRecentMenu = pFile->addMenu(QStringLiteral("最近使ったファイル(&R)"));
    // The list is checked when the menu opens: a file that is gone is dropped, and said so.
    connect(pFile, &QMenu::aboutToShow, this, [this] {
        const QStringList missing = CRecentFiles::DropMissing();
        if (missing.isEmpty())
            return;
        m_window.ShowMessage(QStringLiteral("見つからないファイルを最近使ったファイルから外しました: %1")
                                 .arg(missing.join(QStringLiteral("、"))),
                             10000);
        UpdateRecent();
    });
    UpdateRecent();
    pFile->addAction(QStringLiteral("サンプルの年表を開く(&E)"), pFiles, [pFiles, this] {
        if (pFiles->MaybeSave())
            pFiles->OpenFile(FromPath(m_window.Session().SampleFile()));
    });
    pFile->addAction(QStringLiteral("上書き保存(&S)"), QKeySequence::Save, pFiles, &CDocumentFiles::Save);
    // A desktop without a key of its own for it gets the usual one.
    const QList<QKeySequence> saveAs = QKeySequence::keyBindings(QKeySequence::SaveAs);
    pFile->addAction(QStringLiteral("名前を付けて保存(&A)..."),
                     saveAs.isEmpty() ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) : saveAs.constFirst(), pFiles,
                     &CDocumentFiles::SaveAs);
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("出来事ファイルを併合(&M)..."), &m_window, [this] {
        const QString strPath = m_window.Files().AskFileName(true, QStringLiteral("出来事ファイルを併合"),
                                                             "出来事ファイル (*.lev)|*.lev|", "lev", QString());
        if (!strPath.isEmpty())
            m_window.MergeFile(strPath);
    });
    CreateShareMenu(pFile);
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("終了(&X)"), QKeySequence::Quit, &m_window, &QWidget::close);
}

void CNenpyoMenus::CreateShareMenu(QMenu* pFile)
{
    CSharing* pSharing = &m_window.Sharing();
    const CDocumentFiles* pFiles = &m_window.Files();
    pFile->addAction(QStringLiteral("HTMLに書き出す(&H)..."), pSharing, [pSharing, pFiles] {
        const QString strPath = pFiles->AskExportName(QStringLiteral("HTMLに書き出す"), "HTMLファイル (*.html)|*.html|", "html");
        if (!strPath.isEmpty())
            pSharing->ExportHtml(strPath);
    });
    pFile->addAction(QStringLiteral("Webページとして書き出す(&W)..."), pSharing, [pSharing, pFiles] {
        const QString strPath =
            pFiles->AskExportName(QStringLiteral("Webページとして書き出す"), "Webページ (*.html)|*.html|", "html");
        if (!strPath.isEmpty())
            pSharing->ExportWebPage(strPath);
    });
    pFile->addAction(QStringLiteral("CSVに書き出す(&C)..."), pSharing, [pSharing, pFiles] {
        const QString strPath = pFiles->AskExportName(QStringLiteral("CSVに書き出す"), "CSVファイル (*.csv)|*.csv|", "csv");
        if (!strPath.isEmpty())
            pSharing->ExportCsv(strPath);
    });
    pFile->addAction(QStringLiteral("画像に保存(&I)..."), pSharing, [pSharing, pFiles] {
        const QString strPath =
            pFiles->AskExportName(QStringLiteral("画像に保存"), "PNG画像 (*.png)|*.png|SVG画像 (*.svg)|*.svg|", "png");
        if (!strPath.isEmpty())
            pSharing->SaveImage(strPath);
    });
    QAction* pBom = pFile->addAction(QStringLiteral("CSVにBOMを付ける(&B)"));
    pBom->setCheckable(true);
    pBom->setChecked(CNenpyoSettings::CsvByteOrderMark());
    pBom->setToolTip(QStringLiteral("BOMのないUTF-8を読めない表計算ソフトのために"));
    connect(pBom, &QAction::toggled, this, &CNenpyoSettings::SetCsvByteOrderMark);
    pFile->addSeparator();
    pFile->addAction(QStringLiteral("印刷(&P)..."), QKeySequence::Print, pSharing, &CSharing::Print);
    pFile->addAction(QStringLiteral("PDFに保存(&D)..."), pSharing, [pSharing, pFiles] {
        const QString strPath = pFiles->AskExportName(QStringLiteral("PDFに保存"), "PDFファイル (*.pdf)|*.pdf|", "pdf");
        if (!strPath.isEmpty())
            pSharing->PrintToPdf(strPath);
    });
    QAction* pPrintBand = pFile->addAction(QStringLiteral("印刷に時間帯の図を含める(&G)"));
    pPrintBand->setCheckable(true);
    pPrintBand->setChecked(CNenpyoSettings::PrintsBand());
    pPrintBand->setToolTip(QStringLiteral("時間帯に見えている範囲の図を最初のページに"));
    connect(pPrintBand, &QAction::toggled, this, &CNenpyoSettings::SetPrintsBand);
}

void CNenpyoMenus::CreateEditMenu()
{
    CNenpyoWindow* pWindow = &m_window;
    CChronology* pChronology = &m_window.Chronology();
    QMenu* pEdit = m_window.menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction* pUndo = pChronology->UndoStack()->createUndoAction(this, QStringLiteral("元に戻す"));
    pUndo->setShortcut(QKeySequence::Undo);
    QAction* pRedo = pChronology->UndoStack()->createRedoAction(this, QStringLiteral("やり直し"));
    pRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    pEdit->addAction(pUndo);
    pEdit->addAction(pRedo);
    pEdit->addSeparator();
    pEdit->addAction(QStringLiteral("出来事を追加(&A)..."), QKeySequence(Qt::Key_Insert), pWindow, &CNenpyoWindow::AddEventDlg);
    m_rowActions = {
        pEdit->addAction(QStringLiteral("出来事を編集(&E)..."), QKeySequence(Qt::Key_F2), pWindow, &CNenpyoWindow::EditEventDlg),
        pEdit->addAction(QStringLiteral("出来事を削除(&D)"), QKeySequence::Delete, pWindow, &CNenpyoWindow::DeleteSelected),
        pEdit->addAction(QStringLiteral("上へ移動(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Up), pWindow,
                         [pWindow] { pWindow->MoveSelected(true); }),
        pEdit->addAction(QStringLiteral("下へ移動(&W)"), QKeySequence(Qt::CTRL | Qt::Key_Down), pWindow,
                         [pWindow] { pWindow->MoveSelected(false); }),
    };
    pEdit->addSeparator();
    pEdit->addAction(QStringLiteral("年表の名前と説明(&T)..."), pWindow, &CNenpyoWindow::EditTableTextDlg);
    pEdit->addAction(QStringLiteral("基点年(&B)..."), pWindow, &CNenpyoWindow::EditBaseYearDlg);
    pEdit->addAction(QStringLiteral("基点年ファイルを開く(&L)..."), pChronology, [pChronology] {
        // The library's own open dialog and messages.
        CBaseYear table;
        if (table.ReadFile(nullptr))
            pChronology->SetBaseYear(table, true);
    });
    m_pRemoveBaseYearAction = pEdit->addAction(QStringLiteral("基点年を外す(&R)"), pChronology, [pChronology] {
        if (pChronology->Doc().HasBaseYear())
            pChronology->SetBaseYear(pChronology->Doc().BaseYear(), false);
    });
    pEdit->addAction(QStringLiteral("元号ファイルを選ぶ(&G)..."), pWindow, [pWindow] { pWindow->ChooseEraFile(HEADER_GENGOU); });
    pEdit->addAction(QStringLiteral("時代ファイルを選ぶ(&J)..."), pWindow, [pWindow] { pWindow->ChooseEraFile(HEADER_JIDAI); });
}

void CNenpyoMenus::CreateSearchMenu()
{
    CNenpyoWindow* pWindow = &m_window;
    QMenu* pSearch = m_window.menuBar()->addMenu(QStringLiteral("検索(&S)"));
    pSearch->addAction(QStringLiteral("年へ移動(&Y)..."), QKeySequence(Qt::CTRL | Qt::Key_G), pWindow,
                       &CNenpyoWindow::GoToYearDlg);
    pSearch->addAction(QStringLiteral("検索(&F)..."), QKeySequence::Find, pWindow, &CNenpyoWindow::FindDlg);
    pSearch->addAction(QStringLiteral("次を検索(&N)"), QKeySequence::FindNext, pWindow, [pWindow] { pWindow->FindAgain(true); });
    pSearch->addAction(QStringLiteral("前を検索(&P)"), QKeySequence::FindPrevious, pWindow,
                       [pWindow] { pWindow->FindAgain(false); });
}

void CNenpyoMenus::CreateViewMenu()
{
    CChronology* pChronology = &m_window.Chronology();
    QMenu* pShow = m_window.menuBar()->addMenu(QStringLiteral("表示(&V)"));
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
        pAction->setChecked(filter.eFilter == pChronology->Filter());
        m_pFilterGroup->addAction(pAction);
        const EEventPriority eFilter = filter.eFilter;
        connect(pAction, &QAction::triggered, pChronology, [pChronology, eFilter] { pChronology->SetFilter(eFilter); });
    }
    pShow->addSeparator();
    AddWesternDayAction(pShow, m_window.View());
    CBandView* pBandView = m_window.Band();
    QAction* pBand = pShow->addAction(QStringLiteral("時間帯(&B)"));
    pBand->setCheckable(true);
    pBand->setChecked(!pBandView->isHidden());
    connect(pBand, &QAction::toggled, pBandView, [pBandView](bool bShow) {
        pBandView->setVisible(bShow);
        CNenpyoSettings::SetBandVisible(bShow);
    });
    pShow->addAction(QStringLiteral("全体を表示(&W)"), QKeySequence(Qt::CTRL | Qt::Key_0), pBandView, &CBandView::FitAll);
}

void CNenpyoMenus::Update(bool bSelected, bool bBaseYear)
{
    for (QAction* pAction : m_rowActions)
        pAction->setEnabled(bSelected);
    m_pRemoveBaseYearAction->setEnabled(bBaseYear);
}

void CNenpyoMenus::ShowFilter(EEventPriority eFilter)
{
    for (QAction* pAction : m_pFilterGroup->actions())
        pAction->setChecked(pAction->data().toInt() == eFilter);
}

void CNenpyoMenus::UpdateRecent()
{
    m_pRecentMenu->clear();
    const QStringList files = CRecentFiles::Files();
    const QStringList labels = CRecentFiles::Labels(files);
    CDocumentFiles* pFiles = &m_window.Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString strPath = files[i];
        QAction* pAction = m_pRecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(labels[i]));
        pAction->setToolTip(strPath);
        connect(pAction, &QAction::triggered, pFiles, [pFiles, strPath] { pFiles->OpenRecentFile(strPath); });
    }
    m_pRecentMenu->setEnabled(!files.isEmpty());
}
