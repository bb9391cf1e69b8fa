// Tests of the conversion dialog, run on Qt's offscreen platform. Messages and file dialogs go
// through a recording host UI; the profile lives in a temporary folder; the desktop's answer about
// a viewer for the help file comes from a stand-in xdg-mime, and the file is "opened" by a
// recording URL handler.
#include <QtTest>

#include <deque>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <corvane/YearRange.h>
#include <framework/Cp932.h>
#include <framework/HostUi.h>

#include <shared/qt/TamberProfile.h>

#include "AboutDlg.h"
#include <shared/qt/DialogUnits.h>
#include "DropComboBox.h"
#include <shared/qt/HelpWindow.h>
#include "TamberApp.h"
#include "TamberDlg.h"

namespace {

// Records every message and answers file dialogs from a script (an empty answer cancels).
class CRecordingHostUi : public CHostUi {
public:
    void ShowMessage(const CString& strText, unsigned nType) override
    {
        m_messages.push_back(QString::fromStdString(Cp932ToUtf8Lossy(strText.View())));
        m_types.push_back(nType);
    }
    bool AskFileName(const SFileRequest& request, CString& strPath) override
    {
        m_requests.push_back(request);
        if (m_answers.empty() || m_answers.front().isEmpty()) {
            if (!m_answers.empty())
                m_answers.pop_front();
            return false;
        }
        const bool bOk = Utf8ToCp932(m_answers.front().toStdString(), strPath);
        m_answers.pop_front();
        return bOk;
    }

    QStringList m_messages;
    std::vector<unsigned> m_types;
    std::vector<SFileRequest> m_requests;
    std::deque<QString> m_answers;
};

// Receives the URLs that the dialog asks the desktop to open.
class CUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public Q_SLOTS:
    void Open(const QUrl& url) { m_urls << url; }
};

} // namespace

class CTamberDlgTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tempDir;
    CRecordingHostUi m_ui;
    CUrlRecorder m_urls;
    QString m_strEraFile;
    QString m_strPath = qEnvironmentVariable("PATH");
    std::int32_t m_lCurrentYear = 0;

    // Field access for the tests (CTamberDlgTest is the dialog's friend).
    static std::int32_t Year(const CTamberDlg& dlg) { return dlg.m_nYear; }
    static int Stem(const CTamberDlg& dlg) { return dlg.m_nStem; }
    static QString Field(const CString& str) { return QString::fromStdString(Cp932ToUtf8Lossy(str.View())); }
    static QString From(const CTamberDlg& dlg) { return Field(dlg.m_strFrom); }
    static QString To(const CTamberDlg& dlg) { return Field(dlg.m_strTo); }
    static QString Branch(const CTamberDlg& dlg) { return Field(dlg.m_strBranch); }
    static QString ResultField(const CTamberDlg& dlg) { return Field(dlg.m_strResult); }
    static const QFont& ResultFont(const CTamberDlg& dlg) { return dlg.m_resultFont; }

    // The control of that object name, of the expected kind.
    template <class T = QWidget> static T* Item(const CTamberDlg& dlg, const char* pszName)
    {
        T* p = dlg.findChild<T*>(QLatin1String(pszName));
        if (!p)
            qFatal("no control %s of the expected kind", pszName);
        return p;
    }
    static CDropComboBox* Combo(const CTamberDlg& dlg, const char* pszName) { return Item<CDropComboBox>(dlg, pszName); }
    static QLineEdit* Edit(const CTamberDlg& dlg, const char* pszName) { return Item<QLineEdit>(dlg, pszName); }
    static QPushButton* Button(const CTamberDlg& dlg, const char* pszName) { return Item<QPushButton>(dlg, pszName); }
    static QString Result(const CTamberDlg& dlg) { return Item<QPlainTextEdit>(dlg, "resultBox")->toPlainText(); }
    static QString EraLabel(const CTamberDlg& dlg) { return Item<QLabel>(dlg, "eraFileLabel")->text(); }
    static QStringList Items(const QComboBox* pCombo)
    {
        QStringList items;
        for (int i = 0; i < pCombo->count(); ++i)
            items << pCombo->itemText(i);
        return items;
    }
    static QString DefaultButton(const CTamberDlg& dlg)
    {
        for (QPushButton* pButton : dlg.findChildren<QPushButton*>())
            if (pButton->isDefault())
                return pButton->objectName();
        return QString();
    }

    // Chooses an item in the drop-down list with the mouse, as a user does; the dialog's close-up
    // handler has run when this returns.
    static void Choose(CDropComboBox* pCombo, int nIndex)
    {
        pCombo->setFocus(Qt::MouseFocusReason);   // as the click that opens the list gives it
        pCombo->showPopup();
        QAbstractItemView* pView = pCombo->view();
        QTRY_VERIFY(pView->isVisible());
        const QRect rcItem = pView->visualRect(pView->model()->index(nIndex, 0));
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, rcItem.center());
        QTRY_VERIFY(!pView->isVisible());
        QCoreApplication::processEvents();
        ReactivateWindow(pCombo);
    }
    // The offscreen platform does not give the activation back to the dialog after a popup.
    static void ReactivateWindow(QWidget* pWidget)
    {
        if (pWidget->window()->isVisible()) {
            QApplication::setActiveWindow(pWidget->window());
            QVERIFY(QTest::qWaitForWindowActive(pWidget->window()));
        }
    }
    // Opens the list and closes it again without a choice.
    static void DropAndClose(CDropComboBox* pCombo)
    {
        pCombo->setFocus(Qt::MouseFocusReason);
        pCombo->showPopup();
        pCombo->hidePopup();
        QCoreApplication::processEvents();
        ReactivateWindow(pCombo);
    }
    // Types the text into the list's edit field key by key, as the keyboard (or an input method
    // committing one character at a time) does. QTest::keyClicks takes Latin-1 only.
    static void TypeInto(CDropComboBox* pCombo, const QString& strText)
    {
        pCombo->lineEdit()->clear();
        for (const QChar ch : strText) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(pCombo->lineEdit(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(pCombo->lineEdit(), &release);
        }
    }

    // Runs pfnAction while a timer closes the next modal window that opens; returns its title
    // (empty when none opened).
    template <class F> static QString CloseNextModal(F&& action)
    {
        QString strTitle;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QWidget* pModal = QApplication::activeModalWidget(); pModal && pModal->windowTitle() != QStringLiteral("Tamber")) {
                strTitle = pModal->windowTitle();
                pModal->close();
                timer.stop();
            }
        });
        timer.start();
        action();
        return strTitle;
    }

    // Starts the next dialog without eras: the profile names a file that is gone, which gives a
    // silent start with only 西暦 (without an entry, the shipped era file would be read).
    void NoEras() { CTamberProfile::SetEraFile(m_tempDir.filePath(QStringLiteral("gone.lgn"))); }

    // Puts an xdg-mime first on the PATH that names strViewer (empty: none) as the desktop's
    // application for every type.
    void FakeDesktop(const QString& strViewer)
    {
        QFile script(m_tempDir.filePath(QStringLiteral("bin/xdg-mime")));
        QVERIFY(QDir().mkpath(m_tempDir.filePath(QStringLiteral("bin"))));
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("#!/bin/sh\necho %1\n").arg(strViewer).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        if (!m_strPath.startsWith(m_tempDir.path()))
            m_strPath = m_tempDir.filePath(QStringLiteral("bin")) + QLatin1Char(':') + m_strPath;
        qputenv("PATH", m_strPath.toLocal8Bit());
    }

    void WriteEraFile(const QString& strPath, const char* pszTableName)
    {
        const std::string strUtf8 = std::string("[元号], 1\n") + pszTableName
                                    + "\n明治以降\n\"明治\", 1868, 1912, \"\"\n\"大正\", 1912, 1926, \"\"\n"
                                      "\"昭和\", 1926, 1989, \"\"\n\"平成\", 1989, 2019, \"\"\n\"令和\", 2019, 32767, \"\"\n";
        CString strCp932;
        QVERIFY(Utf8ToCp932(strUtf8, strCp932));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(strCp932.GetString(), strCp932.GetLength());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tempDir.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_tempDir.filePath(QStringLiteral("config")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_tempDir.filePath(QStringLiteral("config")));
        CTamberApp::SetApplicationNames();
        QVERIFY(CTamberApp::InstallTranslations());
        SetHostUi(&m_ui);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "Open");
        m_strEraFile = m_tempDir.filePath(QStringLiteral("近代.lgn"));
        WriteEraFile(m_strEraFile, "近代の元号");
        m_lCurrentYear = CYearRange::GetCurrentYear();
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        SetHostUi(nullptr);
    }
    void init()
    {
        QSettings().clear();
        m_ui = CRecordingHostUi();
        m_urls.m_urls.clear();
    }

    void TheProfileIsNotTheUsersOne()
    {
        QVERIFY(QSettings().fileName().startsWith(m_tempDir.path()));
        QCOMPARE(QSettings().organizationName(), QStringLiteral("Haldris"));
        QCOMPARE(QSettings().applicationName(), QStringLiteral("Tamber"));
    }

    void FirstStartReadsTheShippedEraFile()
    {
        CTamberDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Tamber"));
        QCOMPARE(EraLabel(dlg), QStringLiteral("日本の元号"));
        for (const char* pszName : {"yearEraList", "fromEraList", "toEraList"}) {
            QVERIFY(Combo(dlg, pszName)->count() > 240);
            QCOMPARE(Combo(dlg, pszName)->itemText(1), QStringLiteral("大化(～6)"));
            QCOMPARE(Combo(dlg, pszName)->GetCurSel(), 0);
        }
        QVERIFY(m_ui.m_messages.isEmpty());
        QVERIFY(m_ui.m_requests.empty());
        QVERIFY(!QSettings().contains(CTamberProfile::EraFileKey()));   // written only by a choice

        TypeInto(Combo(dlg, "yearEraList"), QStringLiteral("昭和"));
        Edit(dlg, "yearEdit")->setText(QStringLiteral("59"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。"));
    }

    void StartWithoutEras()
    {
        NoEras();
        CTamberDlg dlg;
        QCOMPARE(EraLabel(dlg), QStringLiteral("はありません"));
        for (const char* pszName : {"yearEraList", "fromEraList", "toEraList"}) {
            QCOMPARE(Items(Combo(dlg, pszName)), QStringList{QStringLiteral("西暦")});
            QCOMPARE(Combo(dlg, pszName)->GetCurSel(), 0);
        }
        QCOMPARE(Items(Combo(dlg, "stemList")),
                 QStringLiteral(",甲,乙,丙,丁,戊,己,庚,辛,壬,癸").split(QLatin1Char(',')));
        QCOMPARE(Items(Combo(dlg, "branchList")),
                 QStringLiteral("子,丑,寅,卯,辰,巳,午,未,申,酉,戌,亥").split(QLatin1Char(',')));
        QCOMPARE(Edit(dlg, "yearEdit")->text(), QString::number(m_lCurrentYear));
        QCOMPARE(Edit(dlg, "fromEdit")->text(), QStringLiteral("1"));
        QCOMPARE(Edit(dlg, "toEdit")->text(), QString::number(m_lCurrentYear));
        QCOMPARE(Result(dlg), QString());
        QCOMPARE(DefaultButton(dlg), QStringLiteral("quitButton"));
        QVERIFY(m_ui.m_messages.isEmpty());
        QVERIFY(m_ui.m_requests.empty());

        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Combo(dlg, "yearEraList")));

        // Conversions work on Western years.
        Edit(dlg, "yearEdit")->setText(QStringLiteral("1984"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("1984年の干支は甲子(きのえね)です。\n十二支はねずみです。"));
        QCOMPARE(ResultField(dlg), QStringLiteral("1984年の干支は甲子(きのえね)です。\r\n十二支はねずみです。"));
    }

    void LayoutFollowsTheDesign()
    {
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const CDialogUnits units(dlg.font());
        QCOMPARE(dlg.size(), QSize(units.ToPixelsX(305), units.ToPixelsY(327)).expandedTo(dlg.minimumSize()));
        // At the default size each control stands where the design puts it, give or take what the
        // substitute font and the style change.
        const struct {
            const char* pszName;
            int x, y;
        } places[] = {{"yearEraList", 25, 71},       {"yearEdit", 91, 71},       {"yearToCycleButton", 199, 71},
                      {"stemList", 46, 132},         {"branchList", 111, 132},   {"yearsOfPairButton", 200, 130},
                      {"fromEraList", 26, 164},      {"fromEdit", 90, 164},      {"toEraList", 153, 164},
                      {"toEdit", 219, 164},          {"readEraFileButton", 199, 208}, {"resultBox", 19, 246},
                      {"eraFileLabel", 108, 216},    {"quitButton", 248, 7},     {"helpButton", 248, 31},
                      {"iconPicture", 25, 17},       {"bannerPicture", 61, 17}};
        for (const auto& place : places) {
            const QPoint pos = Item(dlg, place.pszName)->mapTo(&dlg, QPoint(0, 0));
            QVERIFY2(std::abs(pos.x() - units.ToPixelsX(place.x)) <= units.ToPixelsX(12)
                         && std::abs(pos.y() - units.ToPixelsY(place.y)) <= units.ToPixelsY(4),
                     place.pszName);
        }
        QCOMPARE(Item(dlg, "bannerPicture")->size(), QSize(200, 48));
        QCOMPARE(Button(dlg, "helpButton")->text(), QStringLiteral("ヘルプ(&H)"));

        // The designed tab order.
        const std::vector<const char*> order = {"yearEraList", "yearEdit",  "yearToCycleButton", "stemList",
                                                "branchList",  "yearsOfPairButton", "fromEraList", "fromEdit",
                                                "toEraList",   "toEdit",    "readEraFileButton", "resultBox",
                                                "quitButton",  "helpButton"};
        for (size_t i = 0; i + 1 < order.size(); ++i) {
            QWidget* pControl = Item(dlg, order[i]);
            QWidget* pNext = pControl->nextInFocusChain();
            while (pNext && (!(pNext->focusPolicy() & Qt::TabFocus) || pControl->isAncestorOf(pNext)))
                pNext = pNext->nextInFocusChain();
            QWidget* pExpected = Item(dlg, order[i + 1]);
            QVERIFY2(pNext == pExpected || pExpected->isAncestorOf(pNext), order[i]);
        }

        // The result box: twice the height and weight of the dialog font.
        QCOMPARE(ResultFont(dlg).pointSizeF(), dlg.font().pointSizeF() * 2);
        QCOMPARE(ResultFont(dlg).weight(), std::min(1000, dlg.font().weight() * 2));
        QCOMPARE(Item(dlg, "resultBox")->font(), ResultFont(dlg));
    }

    void ResizingGivesTheSpaceToTheResult()
    {
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* pResult = Item(dlg, "resultBox");
        QWidget* pYearToCycle = Item(dlg, "yearToCycleButton");
        QWidget* pHelp = Item(dlg, "helpButton");
        const QSize defaultSize = dlg.size();
        const QRect rcResult = pResult->geometry();
        const QSize buttonSize = pYearToCycle->size();
        auto rightMargin = [&](QWidget* p) { return dlg.width() - p->mapTo(&dlg, QPoint(p->width(), 0)).x(); };
        const int nHelpMargin = rightMargin(pHelp);

        // Larger: the result box takes all of it; the controls keep their sizes, the right-hand
        // buttons stay at the right edge.
        dlg.resize(defaultSize + QSize(300, 400));
        QTRY_COMPARE(pResult->height(), rcResult.height() + 400);
        QCOMPARE(pResult->width(), rcResult.width() + 300);
        QCOMPARE(pYearToCycle->size(), buttonSize);
        QCOMPARE(rightMargin(pHelp), nHelpMargin);

        // Smaller than allowed: the window stops at its minimum size, where every control is
        // whole, inside the window, and clear of the others in its group, and the result box
        // still shows three lines.
        dlg.resize(10, 10);
        QTRY_COMPARE(dlg.size(), dlg.minimumSize());
        QVERIFY(dlg.minimumSize().height() < defaultSize.height());
        for (const char* pszName : {"yearEraList", "yearEdit", "yearToCycleButton", "stemList", "branchList",
                                    "yearsOfPairButton", "fromEraList", "fromEdit", "toEraList", "toEdit",
                                    "readEraFileButton", "resultBox", "quitButton", "helpButton", "iconPicture",
                                    "bannerPicture", "eraFileLabel"}) {
            QWidget* pControl = Item(dlg, pszName);
            const QRect rc(pControl->mapTo(&dlg, QPoint(0, 0)), pControl->size());
            QVERIFY2(dlg.rect().contains(rc), pszName);
            QVERIFY2(pControl->width() >= pControl->minimumSizeHint().width() || qstrcmp(pszName, "eraFileLabel") == 0,
                     pszName);
            for (QWidget* pOther : pControl->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (pOther != pControl && pOther->isVisible() && !pOther->objectName().isEmpty())
                    QVERIFY2(!rc.intersects(QRect(pOther->mapTo(&dlg, QPoint(0, 0)), pOther->size())),
                             qPrintable(QLatin1String(pszName) + QLatin1Char('/') + pOther->objectName()));
        }
        QVERIFY(pResult->height() >= 3 * QFontMetrics(ResultFont(dlg)).lineSpacing());
    }

    // The remembered file is read under any name, also in a folder code page 932 cannot hold.
    void ARememberedFileUnderAnyName()
    {
        QVERIFY(QDir().mkpath(m_tempDir.filePath(QStringLiteral("résumé/José"))));
        const QString strFile = m_tempDir.filePath(QStringLiteral("résumé/José/近代.lgn"));
        QVERIFY(QFile::copy(m_strEraFile, strFile));
        CTamberProfile::SetEraFile(strFile);
        CTamberDlg dlg;
        QCOMPARE(EraLabel(dlg), QStringLiteral("近代の元号"));
        QCOMPARE(Combo(dlg, "yearEraList")->count(), 6);
        QVERIFY(m_ui.m_messages.isEmpty());
    }

    void YearToCycleWithEras()
    {
        CTamberProfile::SetEraFile(m_strEraFile);
        CTamberDlg dlg;
        QCOMPARE(EraLabel(dlg), QStringLiteral("近代の元号"));
        QCOMPARE(Items(Combo(dlg, "yearEraList")),
                 QStringLiteral("西暦,明治(～45),大正(～15),昭和(～64),平成(～31),令和(～)").split(QLatin1Char(',')));
        QVERIFY(m_ui.m_messages.isEmpty());

        Combo(dlg, "yearEraList")->SetCurSel(3);
        Edit(dlg, "yearEdit")->setText(QStringLiteral("59"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。"));
        QCOMPARE(Edit(dlg, "yearEdit")->text(), QStringLiteral("59"));   // the year as typed

        // Past the era's end: one message, the result box keeps its text.
        Edit(dlg, "yearEdit")->setText(QStringLiteral("65"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(m_ui.m_messages, QStringList{QStringLiteral("元号の最大年を超えています")});
        QCOMPARE(m_ui.m_types, std::vector<unsigned>{MB_ICONEXCLAMATION});
        QCOMPARE(Result(dlg), QStringLiteral("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。"));

        // A typed era name is compared with the stored name, not with the item text.
        TypeInto(Combo(dlg, "yearEraList"), QStringLiteral("昭和"));
        QCOMPARE(Combo(dlg, "yearEraList")->GetCurSel(), -1);
        Edit(dlg, "yearEdit")->setText(QStringLiteral("64"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("1989(昭和64年)年の干支は己巳(つちのとみ)です。\n十二支はへびです。"));
        TypeInto(Combo(dlg, "yearEraList"), QStringLiteral("昭和(～64)"));
        Edit(dlg, "yearEdit")->setText(QStringLiteral("64"));
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("該当する元号がありません"));
    }

    void YearsOfPairAndItsMessages()
    {
        NoEras();
        CTamberDlg dlg;
        Choose(Combo(dlg, "stemList"), 1);   // 甲
        QCOMPARE(Combo(dlg, "branchList")->currentText(), QStringLiteral("子"));
        Edit(dlg, "fromEdit")->setText(QStringLiteral(" 1900 "));
        Edit(dlg, "toEdit")->setText(QStringLiteral("2000\t"));
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("1900～2000の間で\n甲子(きのえね)に該当する年は2個あります。\n1924\n1984\n"));
        QCOMPARE(Edit(dlg, "fromEdit")->text(), QStringLiteral("1900"));   // trimmed on screen
        QVERIFY(m_ui.m_messages.isEmpty());

        // Only the end: the nearest year before it.
        Edit(dlg, "fromEdit")->clear();
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(Result(dlg), QStringLiteral("2000年以前でもっとも近い甲子(きのえね)は\n1984年です。"));

        // Both range fields empty after trimming: a message, and the trimmed texts stay off screen.
        Edit(dlg, "fromEdit")->setText(QStringLiteral("  "));
        Edit(dlg, "toEdit")->setText(QStringLiteral(" "));
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("開始年・終了年に年を入れてください。"));
        QCOMPARE(Edit(dlg, "fromEdit")->text(), QStringLiteral("  "));
        QCOMPARE(From(dlg), QString());
        QCOMPARE(Result(dlg), QStringLiteral("2000年以前でもっとも近い甲子(きのえね)は\n1984年です。"));

        // No branch, and a branch text that names none.
        Edit(dlg, "fromEdit")->setText(QStringLiteral("1900"));
        Combo(dlg, "branchList")->SetEditText(QString());
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("干支を選択してください"));
        TypeInto(Combo(dlg, "branchList"), QStringLiteral("ね"));
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("干支を選択してください"));

        // A stem typed into the stem list is refused.
        Combo(dlg, "branchList")->SelectString(QStringLiteral("子"));
        TypeInto(Combo(dlg, "stemList"), QStringLiteral("甲"));
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(Stem(dlg), -1);
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("十干は一覧から選んでください"));
        QCOMPARE(m_ui.m_messages.size(), 4);
        for (unsigned nType : m_ui.m_types)
            QCOMPARE(nType, MB_ICONEXCLAMATION);
    }

    void EraYearsBelowOneAndRangesWithoutANumberAreRefused()
    {
        CTamberProfile::SetEraFile(m_strEraFile);
        CTamberDlg dlg;
        Combo(dlg, "yearEraList")->SetCurSel(3);   // 昭和
        for (const char* pszYear : {"0", "-1"}) {
            Edit(dlg, "yearEdit")->setText(QString::fromUtf8(pszYear));
            Button(dlg, "yearToCycleButton")->click();
            QCOMPARE(m_ui.m_messages.last(), QStringLiteral("元号の年は1(元年)以上を入れてください"));
        }
        Choose(Combo(dlg, "stemList"), 1);
        Edit(dlg, "fromEdit")->setText(QStringLiteral("abc"));
        Edit(dlg, "toEdit")->setText(QStringLiteral("2000"));
        Button(dlg, "yearsOfPairButton")->click();
        QCOMPARE(m_ui.m_messages.last(), QStringLiteral("開始年は数字で入れてください。"));
        QCOMPARE(m_ui.m_messages.size(), 3);
        QCOMPARE(Result(dlg), QString());
    }

    void DataExchangeStopsAtAYearThatIsNoWholeNumber()
    {
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        Edit(dlg, "yearEdit")->setText(QStringLiteral("19x4"));
        Edit(dlg, "fromEdit")->setText(QStringLiteral("1800"));
        Item<QPlainTextEdit>(dlg, "resultBox")->setPlainText(QStringLiteral("前の結果"));
        QVERIFY(!dlg.UpdateData(true));
        QCOMPARE(m_ui.m_messages, QStringList{QStringLiteral("整数を入力してください。")});
        QCOMPARE(ResultField(dlg), QStringLiteral("前の結果"));          // read before the year
        QCOMPARE(Year(dlg), m_lCurrentYear);                            // kept
        QCOMPARE(From(dlg), QStringLiteral("1"));                       // after the year: kept
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Edit(dlg, "yearEdit")));

        // A conversion stops after the complaint instead of converting the former year.
        Button(dlg, "yearToCycleButton")->click();
        QCOMPARE(m_ui.m_messages.size(), 2);
        QCOMPARE(Result(dlg), QStringLiteral("前の結果"));

        // The one reader of typed years (corvane/YearText.h): full-width digits and 年 as well.
        for (const char* pszGood : {" 1984 ", "+1984", "１９８４", "1984年", "-660"}) {
            Edit(dlg, "yearEdit")->setText(QString::fromUtf8(pszGood));
            QVERIFY(dlg.UpdateData(true));
        }
        QCOMPARE(Year(dlg), -660);
        QCOMPARE(From(dlg), QStringLiteral("1800"));
        for (const char* pszBad : {"", "2147483648", "1984年目", "+-1", "昭和59"}) {
            Edit(dlg, "yearEdit")->setText(QString::fromUtf8(pszBad));
            QVERIFY2(!dlg.UpdateData(true), pszBad);
        }
    }

    void StemAndBranchEvents()
    {
        NoEras();
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        Choose(Combo(dlg, "stemList"), 3);   // 丙
        QCOMPARE(Items(Combo(dlg, "branchList")), QStringLiteral("寅,辰,午,申,戌,子").split(QLatin1Char(',')));
        QCOMPARE(Combo(dlg, "branchList")->currentText(), QStringLiteral("寅"));
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));

        // The blank stem lists all twelve; closing without a choice refills as well.
        Choose(Combo(dlg, "stemList"), 0);
        QCOMPARE(Combo(dlg, "branchList")->count(), 12);
        Combo(dlg, "stemList")->SetCurSel(2);   // 乙 chosen with the keyboard, list closed
        QCOMPARE(Combo(dlg, "branchList")->count(), 12);
        DropAndClose(Combo(dlg, "stemList"));
        QCOMPARE(Items(Combo(dlg, "branchList")), QStringLiteral("丑,卯,巳,未,酉,亥").split(QLatin1Char(',')));

        Button(dlg, "quitButton")->setFocus();
        Edit(dlg, "yearEdit")->setFocus();
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearToCycleButton"));
        Choose(Combo(dlg, "branchList"), 1);
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));
        Edit(dlg, "yearEdit")->setFocus();
        Edit(dlg, "toEdit")->setFocus();
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));
        Edit(dlg, "yearEdit")->setFocus();
        Edit(dlg, "fromEdit")->setFocus();
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));
        // The year fields keep the input method off.
        QVERIFY(!Edit(dlg, "yearEdit")->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!Edit(dlg, "fromEdit")->testAttribute(Qt::WA_InputMethodEnabled));

        // Enter presses the default button.
        Combo(dlg, "branchList")->SelectString(QStringLiteral("丑"));
        Edit(dlg, "fromEdit")->setText(QStringLiteral("1980"));
        Edit(dlg, "toEdit")->setText(QStringLiteral("1990"));
        QTest::keyClick(Edit(dlg, "fromEdit"), Qt::Key_Return);
        QCOMPARE(Result(dlg), QStringLiteral("1980～1990の間で\n乙丑(きのとうし)に該当する年は1個あります。\n1985\n"));
    }

    void EraListEvents()
    {
        CTamberProfile::SetEraFile(m_strEraFile);
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CDropComboBox* pYearEra = Combo(dlg, "yearEraList");
        Choose(pYearEra, 3);
        QCOMPARE(Edit(dlg, "yearEdit")->text(), QStringLiteral("1"));
        Choose(pYearEra, 0);
        QCOMPARE(Edit(dlg, "yearEdit")->text(), QString::number(m_lCurrentYear));

        Edit(dlg, "fromEdit")->setText(QStringLiteral("1900"));
        DropAndClose(Combo(dlg, "fromEraList"));
        QCOMPARE(Edit(dlg, "fromEdit")->text(), QStringLiteral("1"));

        Choose(Combo(dlg, "toEraList"), 2);
        QCOMPARE(Edit(dlg, "toEdit")->text(), QStringLiteral("1"));
        Choose(Combo(dlg, "toEraList"), 0);
        QCOMPARE(Edit(dlg, "toEdit")->text(), QString::number(m_lCurrentYear));

        // Typing into an era list: the year beside it becomes 1 and the default button follows.
        Edit(dlg, "yearEdit")->setText(QStringLiteral("1984"));
        TypeInto(pYearEra, QStringLiteral("昭"));
        QCOMPARE(Edit(dlg, "yearEdit")->text(), QStringLiteral("1"));
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearToCycleButton"));
        Edit(dlg, "fromEdit")->setText(QStringLiteral("1900"));
        Edit(dlg, "toEdit")->setText(QStringLiteral("2000"));
        Button(dlg, "quitButton")->setFocus();
        TypeInto(Combo(dlg, "fromEraList"), QStringLiteral("x"));
        QCOMPARE(Edit(dlg, "fromEdit")->text(), QStringLiteral("1"));
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));
        Button(dlg, "quitButton")->setFocus();
        TypeInto(Combo(dlg, "toEraList"), QStringLiteral("y"));
        QCOMPARE(Edit(dlg, "toEdit")->text(), QStringLiteral("1"));
        QCOMPARE(DefaultButton(dlg), QStringLiteral("yearsOfPairButton"));
        QCOMPARE(pYearEra->currentText(), QStringLiteral("昭"));   // typed text stays
        QVERIFY(m_ui.m_messages.isEmpty());
    }

    void ReadingAnEraFileAndTheNextStart()
    {
        {
            CTamberDlg dlg;
            m_ui.m_answers = {m_strEraFile};
            Button(dlg, "readEraFileButton")->click();
            QCOMPARE(m_ui.m_requests.size(), size_t(1));
            const SFileRequest& request = m_ui.m_requests.front();
            QVERIFY(request.bOpen);
            QCOMPARE(Field(request.strTitle), QStringLiteral("元号ﾃﾞｰﾀの読込み"));
            QVERIFY(m_ui.m_messages.isEmpty());
            QCOMPARE(CTamberProfile::EraFile(), m_strEraFile);
            QCOMPARE(EraLabel(dlg), QStringLiteral("近代の元号"));
            for (const char* pszName : {"yearEraList", "fromEraList", "toEraList"})
                QCOMPARE(Combo(dlg, pszName)->count(), 6);
        }
        // The next start reads the same file without a dialog and without messages.
        m_ui = CRecordingHostUi();
        CTamberDlg dlg;
        QVERIFY(m_ui.m_requests.empty());
        QVERIFY(m_ui.m_messages.isEmpty());
        QCOMPARE(EraLabel(dlg), QStringLiteral("近代の元号"));
        QCOMPARE(Combo(dlg, "toEraList")->itemText(5), QStringLiteral("令和(～)"));
    }

    void CancelledOrFailedReadKeepsTheEras()
    {
        CTamberProfile::SetEraFile(m_strEraFile);
        const QString strBad = m_tempDir.filePath(QStringLiteral("bad.lgn"));
        QFile file(strBad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[x], 1\n");
        file.close();
        CTamberDlg dlg;
        Combo(dlg, "yearEraList")->SetCurSel(3);
        m_ui.m_answers = {QString(), strBad};
        for (int nTry = 1; nTry <= 2; ++nTry) {   // cancelled, then a file that cannot be read
            Button(dlg, "readEraFileButton")->click();
            QCOMPARE(m_ui.m_requests.size(), size_t(nTry));
            QCOMPARE(EraLabel(dlg), QStringLiteral("近代の元号"));
            QCOMPARE(Combo(dlg, "yearEraList")->count(), 6);
            QCOMPARE(CTamberProfile::EraFile(), m_strEraFile);
            // The eras in the lists still convert.
            Edit(dlg, "yearEdit")->setText(QStringLiteral("59"));
            Button(dlg, "yearToCycleButton")->click();
            QCOMPARE(Result(dlg), QStringLiteral("1984(昭和59年)年の干支は甲子(きのえね)です。\n十二支はねずみです。"));
        }
        // Only the failed read speaks: the library's message, naming the file.
        QCOMPARE(m_ui.m_messages.size(), 1);
        QVERIFY(m_ui.m_messages.front().contains(QStringLiteral("bad.lgn")));
    }

    void ProfileNamingAMissingFileStartsSilently()
    {
        CTamberProfile::SetEraFile(m_tempDir.filePath(QStringLiteral("gone.lgn")));
        CTamberDlg dlg;
        QCOMPARE(EraLabel(dlg), QStringLiteral("はありません"));
        QCOMPARE(Combo(dlg, "yearEraList")->count(), 1);
        QVERIFY(m_ui.m_messages.isEmpty());
        QVERIFY(m_ui.m_requests.empty());
    }

    void OnlyQuitCloses()
    {
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.close());
        QVERIFY(dlg.isVisible());

        // 終了 reads the fields first; a bad year keeps the dialog open.
        Edit(dlg, "yearEdit")->setText(QStringLiteral("abc"));
        Button(dlg, "quitButton")->click();
        QVERIFY(dlg.isVisible());
        QCOMPARE(m_ui.m_messages, QStringList{QStringLiteral("整数を入力してください。")});
        Edit(dlg, "yearEdit")->setText(QStringLiteral("2000"));
        Button(dlg, "quitButton")->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void HelpOpensTheFileWithTheDesktopsViewer()
    {
        FakeDesktop(QStringLiteral("viewer.desktop"));
        CTamberDlg dlg;
        Button(dlg, "helpButton")->click();
        QCOMPARE(m_urls.m_urls.size(), 1);
        QCOMPARE(m_urls.m_urls.front(),
                 QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/tamber.chm")));
        QVERIFY(!dlg.findChild<CHelpWindow*>());
        QVERIFY(m_ui.m_messages.isEmpty());
    }

    void HelpWithoutAViewerShowsThePagesInAWindow()
    {
        FakeDesktop(QString());
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_F1);
        QVERIFY(m_urls.m_urls.isEmpty());
        auto* pHelp = dlg.findChild<CHelpWindow*>();
        QVERIFY(pHelp);
        QVERIFY(pHelp->isVisible());
        QCOMPARE(pHelp->GetPage().fileName(), QStringLiteral("index.html"));
        auto* pPages = pHelp->findChild<QTextBrowser*>();
        QVERIFY(pPages->toPlainText().contains(QStringLiteral("Tamber は、年と干支")));
        // Pressed again, the same window comes to the front.
        Button(dlg, "helpButton")->click();
        QCOMPARE(dlg.findChildren<CHelpWindow*>().size(), 1);
        QVERIFY(m_ui.m_messages.isEmpty());
        pHelp->close();
        QTRY_VERIFY(!dlg.findChild<CHelpWindow*>());
    }

    void StandardDialogsSpeakJapanese()
    {
        QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        CTamberDlg dlg;
        std::unique_ptr<QMenu> pMenu(Item<QPlainTextEdit>(dlg, "resultBox")->createStandardContextMenu());
        QStringList actions;
        for (QAction* pAction : pMenu->actions())
            actions << pAction->text();
        QVERIFY2(actions.join(QLatin1Char(' ')).contains(QStringLiteral("コピー")), qPrintable(actions.join(QLatin1Char(' '))));
    }

    void EraListsShowAScreenfulAtTheSelectedEra()
    {
        CTamberDlg dlg;   // the shipped eras
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CDropComboBox* pList = Combo(dlg, "yearEraList");
        const int nShowa = pList->findText(QStringLiteral("昭和"), Qt::MatchStartsWith);
        QVERIFY(nShowa > 200);
        pList->SetCurSel(nShowa);
        pList->showPopup();
        QAbstractItemView* pView = pList->view();
        QTRY_VERIFY(pView->isVisible());
        QVERIFY(pView->viewport()->height() >= 20 * pView->sizeHintForRow(0));
        QVERIFY(pView->viewport()->rect().contains(pView->visualRect(pView->model()->index(nShowa, 0))));
        pList->hidePopup();
    }

    void AboutBoxLayout()
    {
        CAboutDlg about;
        const CDialogUnits units(about.font());
        QCOMPARE(about.windowTitle(), QStringLiteral("バージョン情報 Tamber"));
        QCOMPARE(about.size(), QSize(units.ToPixelsX(235), units.ToPixelsY(55)));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Tamber Version 1.03"));
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("icon"))->pixmap().isNull());
        auto* pOk = about.findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(pOk->isDefault());
        about.show();
        pOk->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.3.0"));
    }

    void AboutBoxFromThePicturesAndTheContextMenu()
    {
        CTamberDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        for (const char* pszName : {"iconPicture", "bannerPicture"}) {
            const QString strTitle = CloseNextModal([&] { QTest::mouseClick(Item(dlg, pszName), Qt::LeftButton); });
            QCOMPARE(strTitle, QStringLiteral("バージョン情報 Tamber"));
        }

        QString strItem;
        QString strAbout;
        QTimer::singleShot(50, [&] {
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(pMenu);
            strItem = pMenu->actions().value(0)->text();
            QTest::keyClick(pMenu, Qt::Key_A);   // the item's mnemonic
        });
        strAbout = CloseNextModal([&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dlg.mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(&dlg, &event);
        });
        QCOMPARE(strItem, QStringLiteral("バージョン情報 Tamber(&A)..."));
        QCOMPARE(strAbout, QStringLiteral("バージョン情報 Tamber"));
    }
};

QTEST_MAIN(CTamberDlgTest)
#include "TamberDlg_test.moc"
