// Texts the program writes itself are Korean: every window a menu item opens, with its
// title, buttons, labels, column headers and tool tips, the helpers those windows open,
// the messages on the way, and Qt's own buttons.
#include "WindowTest.h"

#include "app/CommCommands.h"
#include "app/Desktop.h"
#include "app/MemberCommands.h"
#include "app/MoneyBookCommands.h"
#include "app/SalesCommands.h"
#include "app/ToolCommands.h"
#include "app/frmMain.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "members/MemberStore.h"
#include "reports/PrintService.h"
#include "core/AppState.h"
#include "sales/frmTrade.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/QtPrompt.h"
#include "ui/cFpPreview.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Latin captions the program keeps because they are the names a person knows them by:
// the memo and discount column headers, the e-mail and home page captions of the member
// editor, the save buttons of the header editor, the test button of the LAN relay window,
// the one label sheet type (a product name) and the unit of its margins. The program's
// own name and file paths are names too.
const QStringList kAllowed = {"Memo",       "D  .  C",          "Home Page",        "E_Mail",
                              "E_Mail 2",   "HomePage 2",       "Save Header Text", "Save Footer Text",
                              "Action!",    "AnyLabel V3240 (2x8)", "mm"};

bool isHangul(QChar c) {
    const ushort u = c.unicode();
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x3130 && u <= 0x318F) || (u >= 0x1100 && u <= 0x11FF);
}

// A text with Latin letters and not one Hangul syllable.
bool latinOnly(const QString& shown) {
    QString t = shown;
    if (Qt::mightBeRichText(t)) {
        QTextDocument doc;
        doc.setHtml(t);
        t = doc.toPlainText();
    }
    t.remove(QRegularExpression("&(?=\\S)"));
    t = t.trimmed();
    if (t.isEmpty() || kAllowed.contains(t) || t.startsWith(u'/')) return false;
    t.remove(QRegularExpression("MemberDesk( Ver\\.[0-9.]+)?"));
    bool latin = false;
    for (QChar c : t) {
        if (isHangul(c)) return false;
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) latin = true;
    }
    return latin;
}

// What a person reads in `top` and its visible controls that is in Latin letters only,
// each as "control: text".
QStringList latinTexts(QWidget* top) {
    QStringList found;
    auto note = [&](const QWidget* w, const QString& what, const QString& text) {
        if (latinOnly(text)) found << QString("%1 %2 %3: %4").arg(top->objectName(), w->objectName(), what, text);
    };
    QList<QWidget*> all = top->findChildren<QWidget*>();
    all.prepend(top);
    for (QWidget* w : all) {
        if (!w->isVisible()) continue;
        if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w)) note(w, "title", w->windowTitle());
        note(w, "tip", w->toolTip());
        note(w, "status", w->statusTip());
        if (auto* l = qobject_cast<QLabel*>(w)) note(w, "label", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) note(w, "button", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) note(w, "box", g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w)) note(w, "hint", e->placeholderText());
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i) {
                note(w, "tab", tabs->tabText(i));
                note(w, "tab tip", tabs->tabToolTip(i));
            }
        if (auto* g = qobject_cast<Grid*>(w))
            for (int c = 1; c <= g->maxCols(); ++c)
                if (!g->colHidden(c))
                    for (int r = 1; r <= g->headerRows(); ++r) note(w, "column", g->headerText(c, r));
    }
    return found;
}

} // namespace

class tst_koreantexts : public WindowTest {
    Q_OBJECT

    // Every menu item that opens a window: items that end the program, arrange windows,
    // start outside programs or only change the background are left out.
    QStringList windowCommands() const {
        static const QRegularExpression skip(
            "^(mnuExit|mnuBasic_Exit|mnuWindow_.*|mnuTool_bgsetup.*|mnuHelpDeskSub|mnuSupport|mnuETCRoot_Calc|"
            "mnuETCRoot_Install)$");
        QStringList names;
        for (QAction* a : m_d->frame()->findChildren<QAction*>())
            if (!a->menu() && !a->isSeparator() && a->isEnabled() && a->objectName().startsWith("mnu") &&
                !skip.match(a->objectName()).hasMatch() && !names.contains(a->objectName()))
                names << a->objectName();
        return names;
    }

    // Runs `act`; whatever shows then (modal windows, pop-ups, child windows) is read, and
    // the windows other than the frame and its child windows are closed again.
    QStringList readAfter(const std::function<void()>& act, const QString& what) {
        QStringList found;
        const qsizetype messagesBefore = prompt().shown().size();
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                found << latinTexts(modal);
                modal->close();
            }
        });
        poll.start(100);
        act();
        QTest::qWait(150);
        poll.stop();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible()) found << latinTexts(top);
        for (const auto& shown : prompt().shown().mid(messagesBefore)) {
            if (latinOnly(shown.title)) found << what + " message title: " + shown.title;
            if (latinOnly(shown.text)) found << what + " message: " + shown.text;
        }
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != m_d->frame()) top->close();
        QCoreApplication::processEvents();
        return found;
    }

private slots:
    void initTestCase() {
        SetUpDesktop(); // as the program does at start: Qt's Korean translation
        RegisterMemberCommands();
        RegisterSalesCommands();
        RegisterMoneyBookCommands();
        RegisterToolCommands();
        RegisterCommCommands();
    }

    void everyWindowOfTheMenusSpeaksKorean() {
        int kim = 0;
        SaveMember(0, {{"sname", "Kim"}}, &kim);
        const QStringList commands = windowCommands();
        QVERIFY2(commands.size() > 30, qPrintable(commands.join(' ')));
        QStringList found;
        for (const QString& c : commands) {
            found << readAfter([&] { m_d->frame()->menuAction(c)->trigger(); }, c);
            CloseAllChildren();
        }
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The helpers windows open: a list's print preview (with the page set-up, header editor
    // and print dialog), the column chooser and keys list of the grid menu, find-in-grid,
    // the date pickers of its period; the member editor's pickers.
    void helpersOfAListSpeakKorean() {
        ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, smoney, cgroupin, cgroupout) "
                "VALUES ('2026-12-03', '1', 5000, 1, 1)");
        QWidget* w = m_d->open("mnuRecord_Record");
        QVERIFY(w);
        auto* list = m_d->find<Grid>("spList", w);
        QVERIFY(list);
        QStringList found;
        m_d->clickCell(list, 1, 1);
        InstallPrintService(App().appTitle);
        // The preview and, from it, the page set-up, the header editor and the print dialog.
        for (const char* button : {"btnClose", "btnSetup", "btnHeaderFooter", "btnPrint"})
            found << readAfter([&] {
                m_d->key(Qt::Key_F7);
                QWidget* preview = nullptr;
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (top->isVisible() && top->objectName() == "FrmSPPrint_Preview") preview = top;
                if (!preview) {
                    found << "F7 shows no preview";
                    return;
                }
                found << latinTexts(preview);
                m_d->click(button, preview);
            }, button);
        cFpPreview::install(nullptr);
        QApplication::setActiveWindow(m_d->frame());
        m_d->clickCell(list, 1, 1);
        const QStringList keys = {"Ctrl+F", "Ctrl+H"};
        for (const QString& k : keys) {
            found << readAfter([&] {
                const QKeySequence seq(k);
                m_d->key(Qt::Key(seq[0].key()), seq[0].keyboardModifiers());
            }, k);
            QApplication::setActiveWindow(m_d->frame()); // as the desktop does when a pop-up closes
            m_d->clickCell(list, 1, 1);
        }
        auto* menu = GridMenu::of(list);
        QVERIFY(menu);
        std::unique_ptr<QMenu> items(menu->buildMenu());
        for (QAction* a : items->actions())
            if (latinOnly(a->text())) found << "grid menu: " + a->text();
        found << readAfter([&] { menu->trigger("04"); }, "report columns");
        for (auto* b : w->findChildren<QAbstractButton*>())
            if (b->isVisible() && (b->objectName().startsWith("btnCalendar") || b->objectName() == "btnEasyDate"))
                found << readAfter([&] { m_d->click(b); }, b->objectName());
        // The member editor's pickers: groups, names of the user fields, zip codes, picture.
        QWidget* editor = m_d->open("mnuFriend_FriendSub");
        QVERIFY(editor);
        for (const char* button : {"btnShowFindFld", "btnUserSet", "btnCharge(0)", "btnPic"}) {
            found << readAfter([&] { m_d->click(button, editor); }, button);
            QApplication::setActiveWindow(m_d->frame());
        }
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // Qt's own message box buttons, through the program's real prompt: the trade window's
    // delete question offers 예 and 아니오.
    void messageBoxButtonsAreKorean() {
        int kim = 0;
        SaveMember(0, {{"sname", "Kim"}}, &kim);
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend) VALUES ('2026-12-03', ?)", {kim});
        auto* w = m_d->open<frmTrade>("mnuTrade_List");
        QVERIFY(w);
        m_d->clickCell(w->list(), frmTrade::CDate, 1);
        setPrompt(std::make_unique<QtPrompt>());
        QStringList buttons;
        QString title;
        OnModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
            box->button(QMessageBox::No)->click();
        });
        m_d->key(Qt::Key_F4);
        QCOMPARE(title, QString("삭제"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"아니오(N)", "예(Y)"}));
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tbltrade").toInt(), 1);
    }
};

QTEST_MAIN(tst_koreantexts)
#include "tst_koreantexts.moc"
