#include "NenpyoWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>
#include <framework/HostUi.h>
#include <shared/qt/HelpWindow.h>
#include <shared/qt/QtText.h>
#include <shared/shipped/ShippedFiles.h>

#include "BandView.h"
#include "BaseYearDlg.h"
#include "DayColumn.h"
#include "EventDlg.h"
#include "EventModel.h"
#include "LinkDelegate.h"
#include "LinkOpener.h"
#include "NenpyoMenus.h"
#include "NenpyoSettings.h"
#include "NenpyoText.h"
#include "RowExport.h"
#include "Sharing.h"
#include "TableTextDlg.h"

namespace {

} // namespace

CNenpyoWindow::CNenpyoWindow(QWidget* pParent)
    : QMainWindow(pParent), m_session(CNenpyoSettings::Session()), m_pChronology(new CChronology(this)),
      m_pFiles(new CDocumentFiles(this, *m_pChronology, m_session))
{
    m_pModel = new CEventModel(this);
    m_pModel->Follow(m_pChronology);
    setCentralWidget(CreateCentral());
    m_pSharing = new CSharing(this, *m_pChronology, m_pBand);
    connect(m_pSharing, &CSharing::message, this, &CNenpyoWindow::ShowMessage);
    // The model and the band have laid out the chronology anew when the window hears of a change.
    connect(m_pModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_nKeep = SelectedIndex(); });
    connect(m_pChronology, &CChronology::replaced, this, &CNenpyoWindow::Replaced);
    connect(m_pChronology, &CChronology::changed, this, &CNenpyoWindow::Changed);
    connect(m_pChronology, &CChronology::filterChanged, this, &CNenpyoWindow::FilterChanged);
    connect(m_pChronology, &CChronology::modifiedChanged, this, &CNenpyoWindow::UpdateTitle);
    m_pMenus = new CNenpyoMenus(*this);
    // A click moves the current row before it selects it: the row's commands follow the selection.
    connect(m_pView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                UpdateActions();
                m_pBand->SetSelectedIndex(SelectedIndex(), true);
                ShowDaysBetween(m_pModel, m_pView->selectionModel()->selectedRows(), statusBar());
            });
    m_pCount = new QLabel;
    statusBar()->addPermanentWidget(m_pCount);
    if (!restoreGeometry(CNenpyoSettings::WindowGeometry()))
        resize(1200, 800);
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New(m_session.DefaultTables());
    m_pChronology->Replace(std::move(pDoc));
}

QTableView* CNenpyoWindow::CreateTable()
{
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
    // 和暦 holds two courts' labels in the years of the two courts (正平5年/観応元年).
    const int anWidths[COLUMN_COUNT] = {5, 12, 7, 5, 7, 10, 28, 10};
    for (int n = 0; n < COLUMN_COUNT; ++n)
        m_pView->setColumnWidth(n, anWidths[n] * nChar);
    // Only the linked words of an event text are links, and open on a click.
    m_pLinks = new CLinkDelegate(m_pView);
    m_pView->setItemDelegateForColumn(COLUMN_TEXT, m_pLinks);
    connect(m_pLinks, &CLinkDelegate::linkClicked, this, &CNenpyoWindow::OpenLink);
    connect(m_pView, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        // A double click on linked words has opened them already with the first click.
        if (index.column() != COLUMN_TEXT || !m_pLinks->PressedOnLink())
            EditEventDlg();
    });
    return m_pView;
}

QWidget* CNenpyoWindow::CreateCentral()
{
    m_pName = new QLabel;
    QFont font = m_pName->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    m_pName->setFont(font);
    m_pName->setTextFormat(Qt::PlainText);
    m_pExplanation = new QLabel;
    m_pExplanation->setTextFormat(Qt::PlainText);
    m_pExplanation->setWordWrap(true);
    // The time band under the table; whether it is shown and its share are remembered.
    m_pBand = new CBandView;
    m_pBand->Follow(m_pChronology);
    auto* pSplitter = new QSplitter(Qt::Vertical);
    pSplitter->addWidget(CreateTable());
    pSplitter->addWidget(m_pBand);
    pSplitter->setStretchFactor(0, 3);
    pSplitter->setStretchFactor(1, 2);
    pSplitter->restoreState(CNenpyoSettings::BandSplitter());
    m_pBand->setVisible(CNenpyoSettings::BandVisible());
    connect(pSplitter, &QSplitter::splitterMoved, this,
            [pSplitter] { CNenpyoSettings::SetBandSplitter(pSplitter->saveState()); });
    connect(m_pBand, &CBandView::eventSelected, this, [this](int nIndex) { SelectIndex(nIndex); });
    connect(m_pBand, &CBandView::eventActivated, this, [this](int nIndex) {
        SelectIndex(nIndex);
        EditEventDlg();
    });
    auto* pCentral = new QWidget;
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->addWidget(m_pName);
    pLayout->addWidget(m_pExplanation);
    pLayout->addWidget(pSplitter, 1);
    return pCentral;
}

void CNenpyoWindow::Replaced()
{
    const CNenpyoDoc& doc = m_pChronology->Doc();
    m_pView->setColumnHidden(COLUMN_BASE_YEAR, !doc.HasBaseYear());
    m_pView->setColumnHidden(COLUMN_WESTERN_DAY, !CNenpyoSettings::WesternDayShown());
    if (m_pModel->rowCount() > 0)
        SelectIndex(m_pModel->ListIndex(0));
    QStringList warnings;
    for (const std::string& strWarning : doc.Warnings())
        warnings << QString::fromStdString(strWarning);
    if (!doc.CheckNotice().empty())
        warnings << QString::fromStdString(doc.CheckNotice());
    if (!warnings.isEmpty())
        ShowMessage(warnings.join(QStringLiteral(" / ")), 30000);
    UpdateTitle();
    UpdateActions();
}

void CNenpyoWindow::Changed(int nSelect)
{
    const int nKeep = nSelect >= 0 ? nSelect : m_nKeep;
    m_pView->setColumnHidden(COLUMN_BASE_YEAR, !m_pChronology->Doc().HasBaseYear());
    if (nKeep >= 0 && nKeep < m_pChronology->Doc().Events().GetLen())
        SelectIndex(nKeep);
    UpdateTitle();
    UpdateActions();
}

void CNenpyoWindow::FilterChanged(EEventPriority eFilter)
{
    m_pMenus->ShowFilter(eFilter);
    Changed(-1);
}

void CNenpyoWindow::UpdateTitle()
{
    const CNenpyoDoc& doc = m_pChronology->Doc();
    const CYearEvent& events = doc.Events();
    setWindowTitle(QString::fromStdString(CNenpyoSession::TitleName(doc, m_pChronology->IsReadOnly())) +
                   QStringLiteral("[*] - 年表"));
    setWindowModified(m_pChronology->IsModified());
    m_pName->setText(events.GetTableName().IsEmpty() ? QStringLiteral("(名前のない年表)")
                                                      : ToQString(events.GetTableName()));
    m_pExplanation->setText(ToEditLines(events.GetExplanation()));
    m_pExplanation->setVisible(!events.GetExplanation().IsEmpty());
    // The count stays while other messages come and go.
    QString strCount = QStringLiteral("%1件表示 / 全%2件").arg(m_pModel->rowCount()).arg(events.GetLen());
    if (doc.IsRecovered())
        strCount = m_pFiles->RecoveredNote() + QStringLiteral("(保存するときは新しい名前で) ─ ") + strCount;
    m_pCount->setText(strCount);
}

void CNenpyoWindow::UpdateActions()
{
    m_pMenus->Update(SelectedIndex() >= 0, m_pChronology->Doc().HasBaseYear());
}

void CNenpyoWindow::ShowMessage(const QString& strText, int nTimeout)
{
    statusBar()->showMessage(strText, nTimeout);
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

void CNenpyoWindow::closeEvent(QCloseEvent* pEvent)
{
    if (!m_pFiles->MaybeSave()) {
        pEvent->ignore();
        return;
    }
    CNenpyoSettings::SetWindowGeometry(saveGeometry());
    pEvent->accept();
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
        // The view only moves its focus there (the Ctrl of a multiple selection); the first or last
        // event is selected instead, and the band shows it.
        const bool bHome = pKey->key() == Qt::Key_Home, bEnd = pKey->key() == Qt::Key_End;
        if ((bHome || bEnd) && pKey->modifiers() == Qt::ControlModifier && m_pModel->rowCount() > 0) {
            SelectIndex(m_pModel->ListIndex(bHome ? 0 : m_pModel->rowCount() - 1));
            return true;
        }
    }
    return QMainWindow::eventFilter(pObject, pEvent);
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
    if (Doc().Events().GetAt(SelectedIndex(), &selected, PRIORITY_ALL))
        event.lYear = selected.lYear;
    CEventDlg dlg(event, QStringLiteral("出来事の追加"), this, &Doc().Eras());
    if (dlg.exec() == QDialog::Accepted)
        m_pChronology->AddEvent(dlg.Data());
}

void CNenpyoWindow::EditEventDlg()
{
    SEventData event;
    if (!Doc().Events().GetAt(SelectedIndex(), &event, PRIORITY_ALL))
        return;
    CEventDlg dlg(event, QStringLiteral("出来事の編集"), this, &Doc().Eras());
    if (dlg.exec() == QDialog::Accepted)
        EditSelected(dlg.Data());
}

bool CNenpyoWindow::EditSelected(const SEventData& event)
{
    return m_pChronology->EditEvent(SelectedIndex(), event);
}

bool CNenpyoWindow::DeleteSelected()
{
    return m_pChronology->DeleteEvent(SelectedIndex());
}

bool CNenpyoWindow::MoveSelected(bool bUp)
{
    if (SelectedIndex() < 0)
        return false;
    switch (m_pChronology->MoveEvent(SelectedIndex(), bUp)) {
    case CChronology::EMove::Moved: return true;
    case CChronology::EMove::AcrossHidden:
        AfxMessageBox(CP932("表示優先度の設定によって表示されていない出来事と入れ替わるため、移動できません。\r\n"
                            "「表示」→「表示優先度」で「すべて表示する」を選んでから、やり直してください。"),
                      MB_ICONEXCLAMATION);
        return false;
    case CChronology::EMove::NotInYear: break;
    }
    ShowMessage(QStringLiteral("同じ年の中でだけ移動できます。"), 5000);
    return false;
}

bool CNenpyoWindow::MergeFile(const QString& strPath)
{
    auto pOther = std::make_unique<CYearEvent>();
    const std::filesystem::path path = ToPath(QFileInfo(strPath).absoluteFilePath());
    const SFileStatus status = pOther->Load(path, false);
    if (!status.Ok()) {
        CDocumentFiles::ShowFileStatus(status, path);
        return false;
    }
    const int nCount = pOther->GetLen();
    m_pChronology->Merge(std::move(pOther), SelectedIndex());
    ShowMessage(QStringLiteral("%1件の出来事を併合しました。").arg(nCount), 5000);
    return true;
}

void CNenpyoWindow::EditTableTextDlg()
{
    CTableTextDlg dlg(Doc().Events().GetTableName(), Doc().Events().GetExplanation(), this);
    if (dlg.exec() == QDialog::Accepted)
        m_pChronology->SetTableText(dlg.Name(), dlg.Explanation());
}

void CNenpyoWindow::EditBaseYearDlg()
{
    CBaseYearDlg dlg(Doc().BaseYear(), this);
    if (dlg.exec() == QDialog::Accepted)
        m_pChronology->SetBaseYear(dlg.Table(), true);
}

bool CNenpyoWindow::ChooseEraFile(EHeaderType eType)
{
    const bool bEra = eType == HEADER_GENGOU;
    const QString strPath = m_pFiles->AskFileName(
        true, bEra ? QStringLiteral("元号ファイルを選ぶ") : QStringLiteral("時代ファイルを選ぶ"),
        bEra ? "元号ファイル (*.lgn)|*.lgn|" : "時代ファイル (*.ler)|*.ler|", bEra ? "lgn" : "ler", QString());
    if (strPath.isEmpty())
        return false;
    const std::filesystem::path path = ToPath(QFileInfo(strPath).absoluteFilePath());
    CGengouEra table;
    if (const SFileStatus status = table.Load(path, eType); !status.Ok()) {
        CDocumentFiles::ShowFileStatus(status, path);
        return false;
    }
    m_pChronology->SetReferenceTable(eType, table, path);
    return true;
}

// Finding

void CNenpyoWindow::GoToYearDlg()
{
    bool bOk = false;
    const QString strYear = QInputDialog::getText(this, QStringLiteral("年へ移動"), QStringLiteral("西暦年または和暦(&Y):"),
                                                  QLineEdit::Normal, QString(), &bOk);
    SEraDate date;
    QString strReason;
    if (bOk && !ParseYearOrEraDate(strYear, &Doc().Eras(), date, strReason)) {
        QMessageBox::warning(this, QStringLiteral("年へ移動"),
                             QStringLiteral("西暦年には整数か和暦の年を入れてください(例: 1603、紀元前は -660、平成元年、H1)。") +
                                 (strReason.isEmpty() ? QString() : QLatin1Char('\n') + strReason));
        return;
    }
    if (bOk)
        GoToYear(date.lYear);
}

bool CNenpyoWindow::GoToYear(std::int32_t lYear)
{
    const int nRow = CEventSearch::YearRow(Doc().Events(), lYear, m_pChronology->Filter(), m_pModel->rowCount());
    if (nRow < 0)
        return false;
    SelectIndex(m_pModel->ListIndex(nRow), true);
    m_pBand->CenterYear(lYear);
    return true;
}

void CNenpyoWindow::FindDlg()
{
    bool bOk = false;
    const QString strText = QInputDialog::getText(this, QStringLiteral("検索"), QStringLiteral("出来事の文字(&T):"),
                                                  QLineEdit::Normal, ToQString(m_search.LastText()), &bOk);
    if (bOk && !strText.isEmpty())
        FindText(strText, true);
}

void CNenpyoWindow::FindAgain(bool bForward)
{
    if (m_search.LastText().IsEmpty())
        FindDlg();
    else
        FindText(ToQString(m_search.LastText()), bForward);
}

bool CNenpyoWindow::FindText(const QString& strText, bool bForward)
{
    CString strCp932;
    CEventSearch::SFound found;
    if (Utf8ToCp932(strText.toStdString(), strCp932))
        found = m_search.Find(Doc().Events(), strCp932, m_pChronology->Filter(), SelectedIndex(), bForward,
                              m_pChronology->Revision());
    if (found.nIndex < 0) {
        ShowMessage(QStringLiteral("「%1」は見つかりません。").arg(strText), 5000);
        return false;
    }
    SelectIndex(found.nIndex, true);
    QString strMessage = QStringLiteral("「%1」は%2件あります。").arg(strText).arg(found.nCount);
    if (found.bWrapped)
        strMessage.prepend(bForward ? QStringLiteral("先頭から検索しました。") : QStringLiteral("末尾から検索しました。"));
    ShowMessage(strMessage, 10000);
    return true;
}

// Links

QUrl CNenpyoWindow::LinkUrl(const QString& strLink) const
{
    return CLinkOpener::Resolve(strLink, FromPath(m_pChronology->Doc().SourcePath()));
}

bool CNenpyoWindow::OpenSelectedLink()
{
    const int nRow = m_pModel->RowOf(SelectedIndex());
    const QString strLink = m_pModel->data(m_pModel->index(nRow, COLUMN_TEXT), CEventModel::LinkRole).toString();
    return nRow >= 0 && !strLink.isEmpty() && OpenLink(strLink);
}

bool CNenpyoWindow::OpenLink(const QString& strLink)
{
    return CLinkOpener(this).Open(strLink, LinkUrl(strLink));
}

void CNenpyoWindow::Help()
{
    const QString strFound = QString::fromStdString(FindShippedFile(
        QCoreApplication::applicationDirPath().toStdString(), "nenpyo-help/index.html", "app/nenpyo/help/index.html"));
    // Without a viewer on the desktop, the pages in a window of our own.
    if (!CHelpWindow::Open(m_pHelpWindow, strFound, QFileInfo(strFound).absolutePath(), QStringLiteral("年表"), this))
        QMessageBox::warning(this, QStringLiteral("ヘルプ"), QStringLiteral("ヘルプ %1 が見つかりません。").arg(strFound));
}
