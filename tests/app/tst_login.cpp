#include "TestEnv.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "app/FrmLogin.h"
#include "app/FrmLoginPwd.h"
#include "app/LoginUser.h"
#include "app/PasswordVault.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString Cfg = QStringLiteral("Config");
const QString Mismatch = QStringLiteral("유저명과 암호가 일치하지 않습니다.\n\n존재하지 않는 "
                                        "유저명이거나,\n암호가 잘못 입력되었습니다.\n\n"
                                        "※최초 접속인 경우, 암호란을 비우고 엔터키를 치세요.");
const QString TooMany = QStringLiteral("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다.");
const QString WrongPrevious =
    QStringLiteral("이전암호가 틀립니다.(3회연속 틀릴경우 암호변경창이 닫힙니다.)");

template <class T = QLineEdit> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

void setPassword(const QString& pwd) {
    QCOMPARE(ExecSQL("UPDATE local_user SET loginpwd = ? WHERE code = '00'", {HashPassword(pwd)}), 1);
}
// A keyring kept in memory.
struct MemoryVault : PasswordVault {
    QHash<QString, QString> entries;
    bool available() override { return true; }
    QString read(const QString& account) override { return entries.value(account); }
    bool write(const QString& account, const QString& password) override {
        entries.insert(account, password);
        return true;
    }
    void remove(const QString& account) override { entries.remove(account); }
};
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    int loggedIn = 0;
    int quits = 0;
    MemoryVault* vault = nullptr;

    std::unique_ptr<FrmLogin> openLogin() {
        auto w = std::make_unique<FrmLogin>();
        w->setLoggedInHandler([this] { ++loggedIn; });
        w->setQuitHandler([this] { ++quits; });
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qWarning("login window not exposed");
        return w;
    }

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        QVERIFY(env->ok());
        loggedIn = quits = 0;
        auto v = std::make_unique<MemoryVault>();
        vault = v.get();
        setPasswordVault(std::move(v));
    }
    void cleanup() {
        QLoggingCategory::setFilterRules(QString());
        env.reset();
    }

    // No keyring answers (no session bus here): "암호 저장" is off and says why, and the
    // password an earlier version kept in the settings file is removed.
    void noKeyringDisablesSaving() {
        setPasswordVault(nullptr); // the desktop keyring
        Settings::set(Cfg, "SavePWD", "1");
        Settings::set(Cfg, "passwd", "~AAECAw==");
        setPassword("pw");
        auto w = openLogin();
        auto* box = child<QCheckBox>(*w, "chkSavePwd");
        QVERIFY(!box->isEnabled() && !box->isChecked());
        QCOMPARE(box->toolTip(), NoKeyringText());
        QVERIFY(!Settings::contains(App().appTitle, Cfg, "passwd"));
        QCOMPARE(child(*w, "txtPass")->text(), QString());
    }

    void freshDatabaseShowsHintAndEnterLogsIn() {
        ExecSQL("UPDATE local_user SET name = ? WHERE code = '00'", {QString("오'상훈")});
        auto w = openLogin();
        QCOMPARE(w->windowTitle(), App().appTitle + " 로그인");
        auto* pass = child(*w, "txtPass");
        QCOMPARE(child(*w, "txtUser")->text(), QString("ADMIN"));
        QCOMPARE(pass->text(), QString("엔터를 치세요"));
        QCOMPARE(pass->echoMode(), QLineEdit::Normal);
        QTest::keyClick(pass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        QCOMPARE(loggedIn, 1);
        QCOMPARE(quits, 0);
        QVERIFY(!w->isVisible());
        QVERIFY(env->prompt().texts().isEmpty());
        QCOMPARE(App().loginId, QString("ADMIN"));
        QCOMPARE(App().userName, QString("오'상훈"));
        QCOMPARE(App().userCode, QString("00"));
        QCOMPARE(App().ownerCode, 1);
    }

    void loginOpensMainWindow() {
        auto* w = new FrmLogin;
        w->setQuitHandler([this] { ++quits; });
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<FrmLogin> alive(w);
        w->show();
        QTest::keyClick(child(*w, "txtPass"), Qt::Key_Return);
        QTRY_VERIFY(!alive);
        QWidget* main = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == "frmMain") main = t;
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QCOMPARE(quits, 0);
        main->close();
    }

    void typingReplacesHint() {
        auto w = openLogin();
        auto* pass = child(*w, "txtPass");
        QTest::keyClicks(pass, "x");
        QCOMPARE(pass->text(), QString("x"));
        QCOMPARE(pass->echoMode(), QLineEdit::Password);
        QVERIFY(!w->showsHint());
        // A typed password is not the empty one.
        QTest::keyClick(pass, Qt::Key_Return);
        QCOMPARE(env->prompt().texts(), QStringList{Mismatch});
    }

    void idInAnyCase_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("mixed") << "AdMin";
        QTest::newRow("blanks around") << "  admin ";
    }
    void idInAnyCase() {
        QFETCH(QString, typed);
        setPassword("pw");
        auto w = openLogin();
        auto* user = child(*w, "txtUser");
        user->clear();
        QTest::keyClicks(user, typed);
        QCOMPARE(user->text(), typed.toUpper()); // shown in upper case
        QTest::keyClick(user, Qt::Key_Return);   // Enter moves on to the password
        auto* pass = child(*w, "txtPass");
        QTest::keyClicks(pass, "pw");
        QTest::mouseClick(child<QPushButton>(*w, "btnLogin"), Qt::LeftButton);
        QVERIFY(w->succeeded());
        QCOMPARE(App().loginId, QString("ADMIN"));
        // Same ID as before: RecentID is not rewritten.
        QVERIFY(!Settings::contains(App().appTitle, Cfg, "RecentID"));
    }

    void damagedUserTableIsNoWrongPassword() {
        // The user table's page overwritten: reported as damage, and no try is counted.
        const qint64 page = RunSilent("SELECT rootpage FROM sqlite_master WHERE name = 'local_user'").value.toLongLong();
        const qint64 size = RunSilent("PRAGMA page_size").value.toLongLong();
        const QString file = App().dbFile;
        DBTerminate();
        DamagePages(file, {page}, size);
        // The login reads the damaged table on opening and on every try, and logs each
        // read; the log is not what is tested here.
        QLoggingCategory::setFilterRules(QStringLiteral("memberdesk.*.warning=false"));
        QVERIFY(OpenDatabase(file));
        auto w = openLogin();
        auto* pass = child(*w, "txtPass");
        for (int i = 0; i < 4; ++i) {
            pass->clear();
            QTest::keyClicks(pass, "x");
            QTest::keyClick(pass, Qt::Key_Return);
        }
        QLoggingCategory::setFilterRules(QString());
        const QStringList texts = env->prompt().texts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].startsWith("데이터베이스 파일이 손상되었습니다.\n파일: " + file));
        QCOMPARE(quits, 0);
        QVERIFY(w->isVisible());
    }

    void failures_data() {
        QTest::addColumn<int>("tries");
        QTest::addColumn<bool>("ends");
        QTest::newRow("two") << 2 << false;
        QTest::newRow("three") << 3 << true;
    }
    void failures() {
        QFETCH(int, tries);
        QFETCH(bool, ends);
        setPassword("secret");
        auto w = openLogin();
        auto* pass = child(*w, "txtPass");
        for (int i = 0; i < tries; ++i) {
            pass->clear();
            QTest::keyClicks(pass, "wrong");
            QTest::keyClick(pass, Qt::Key_Return);
        }
        QStringList expected(tries - (ends ? 1 : 0), Mismatch);
        if (ends) expected << TooMany;
        QCOMPARE(env->prompt().texts(), expected);
        QCOMPARE(quits, ends ? 1 : 0);
        QCOMPARE(loggedIn, 0);
        QCOMPARE(w->isVisible(), !ends);
        if (!ends) {
            // Focus back in the password with its text selected; the right one still works.
            QCOMPARE(pass->selectedText(), QString("wrong"));
            pass->clear();
            QTest::keyClicks(pass, "secret");
            QTest::keyClick(pass, Qt::Key_Return);
            QVERIFY(w->succeeded());
        }
    }

    void unusualPasswords_data() {
        QTest::addColumn<QString>("pwd");
        QTest::newRow("single quote") << "pa'ss";
        QTest::newRow("quotes and semicolon") << "x' OR '1'='1'; --";
        QTest::newRow("korean") << "비밀'번호";
        QTest::newRow("long") << QString(300, QChar(u'k'));
    }
    void unusualPasswords() {
        QFETCH(QString, pwd);
        setPassword(pwd);
        QVERIFY(LoginMatches("admin", pwd));
        QVERIFY(!LoginMatches("admin", pwd + "x"));
        QVERIFY(!LoginMatches("admin", "x' OR '1'='1"));
        QVERIFY(!GetLoginUserInfo("nobody' OR '1'='1"));
        QCOMPARE(App().userName, QString());
        auto w = openLogin();
        auto* pass = child(*w, "txtPass");
        // The first character typed as a key (Hangul included) replaces the hint; the rest at once.
        QTest::sendKeyEvent(QTest::Click, pass, Qt::Key_unknown, pwd.left(1), Qt::NoModifier);
        pass->setText(pwd);
        QTest::keyClick(pass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        QVERIFY(env->prompt().texts().isEmpty());
    }

    void idWithQuoteBecomesRecent() {
        ExecSQL("UPDATE local_user SET loginid = ?, loginpwd = ? WHERE code = '00'",
                {QString("KIM'S"), HashPassword("pw")});
        {
            auto w = openLogin();
            auto* user = child(*w, "txtUser");
            user->clear();
            QTest::keyClicks(user, "kim's");
            child(*w, "txtPass")->setText("pw");
            QTest::keyClick(child(*w, "txtPass"), Qt::Key_Return);
            QVERIFY(w->succeeded());
        }
        QCOMPARE(Settings::get(Cfg, "RecentID"), QString("KIM'S"));
        auto next = openLogin();
        QCOMPARE(child(*next, "txtUser")->text(), QString("KIM'S"));
        QVERIFY(!next->showsHint()); // its password is not empty
    }

    void emptyIdAsksForIt() {
        auto w = openLogin();
        auto* user = child(*w, "txtUser");
        user->setText("   ");
        QTest::keyClick(child(*w, "txtPass"), Qt::Key_Return);
        QCOMPARE(env->prompt().texts(), QStringList{"사용자 ID를 입력하세요."});
        QCOMPARE(w->failures(), 0);
        QCOMPARE(QApplication::focusWidget(), user);
    }

    void savePasswordFillsItNextTimeUntilCleared() {
        setPassword("s'cret");
        {
            auto w = openLogin();
            auto* pass = child(*w, "txtPass");
            QTest::keyClicks(pass, "s'cret");
            child<QCheckBox>(*w, "chkSavePwd")->click();
            QCOMPARE(Settings::get(Cfg, "SavePWD"), QString("1"));
            QCOMPARE(vault->entries.value(RememberedPasswordAccount()), QString("s'cret"));
            QTest::keyClick(pass, Qt::Key_Return);
            QVERIFY(w->succeeded());
        }
        // Not readable in the settings file.
        QDirIterator it(env->configDir(), {"*.ini"}, QDir::Files);
        while (it.hasNext()) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(!f.readAll().contains("s'cret"));
        }
        auto next = openLogin();
        QVERIFY(child<QCheckBox>(*next, "chkSavePwd")->isChecked());
        QCOMPARE(child(*next, "txtPass")->text(), QString("s'cret"));
        QTest::keyClick(child(*next, "txtPass"), Qt::Key_Return);
        QVERIFY(next->succeeded());
        // Clearing the box forgets it again.
        auto third = openLogin();
        child<QCheckBox>(*third, "chkSavePwd")->click();
        QCOMPARE(Settings::get(Cfg, "SavePWD"), QString("0"));
        QVERIFY(vault->entries.isEmpty());
    }

    void escapeAsksBeforeEnding_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void escapeAsksBeforeEnding() {
        QFETCH(bool, yes);
        auto w = openLogin();
        env->prompt().pushAnswer(yes ? Prompt::Answer::Yes : Prompt::Answer::No);
        QTest::keyClick(child(*w, "txtPass"), Qt::Key_Escape);
        QCOMPARE(env->prompt().texts(), QStringList{"프로그램을 종료하시겠습니까?"});
        QCOMPARE(quits, yes ? 1 : 0);
        QCOMPARE(w->isVisible(), !yes);
        QCOMPARE(loggedIn, 0);
        w->close(); // closing it any other way ends the program as well
        QCOMPARE(quits, 1);
    }

    // ---- name and password window ----

    void passwordWindowChangesNameAndPassword_data() {
        QTest::addColumn<QString>("pwd");
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes") << QStringLiteral("n'ew") << QStringLiteral("O'Brien");
        QTest::newRow("korean") << QStringLiteral("새'암호") << QStringLiteral("김'철수");
        QTest::newRow("long") << QString(200, QChar(u'p')) << QString(100, QChar(u'이'));
    }
    void passwordWindowChangesNameAndPassword() {
        QFETCH(QString, pwd);
        QFETCH(QString, name);
        setPassword("ol'd");
        FrmLoginPwd* w = FrmLoginPwd::open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->windowTitle().startsWith("사용자 등록 및 "));
        QCOMPARE(FrmLoginPwd::open(), w); // one window at a time
        QCOMPARE(child(*w, "txtName")->text(), GetScalar("SELECT name FROM local_user WHERE code = '00'").toString());
        QPointer<FrmLoginPwd> alive(w);
        QTest::keyClicks(child(*w, "txtOldPwd"), "ol'd");
        QTest::keyClick(child(*w, "txtOldPwd"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child(*w, "txtNewPwd"));
        child(*w, "txtNewPwd")->setText(pwd);
        child(*w, "txtNewPwd2")->setText(pwd);
        child(*w, "txtName")->setText(name);
        QTest::mouseClick(child<QPushButton>(*w, "btnSave"), Qt::LeftButton);
        QCOMPARE(env->prompt().texts(),
                 QStringList{"패스워드 분실시 제품 사용이 불가능 하므로 반드시 메모하여 기억해 "
                             "주시기 바랍니다. 감사합니다."});
        QCOMPARE(env->notices(), QStringList{"암호가 변경되었습니다."});
        QTRY_VERIFY(!alive); // closed and deleted
        QVERIFY(LoginMatches("ADMIN", pwd));
        QVERIFY(!LoginMatches("ADMIN", pwd.chopped(1)));
        const QString stored = GetScalar("SELECT loginpwd FROM local_user WHERE code = '00'").toString();
        QVERIFY(IsPasswordHash(stored) && !stored.contains(pwd));
        QCOMPARE(LocalUserName(), name);
        QCOMPARE(App().userName, name);
    }

    void passwordWindowRefusals() {
        setPassword("right");
        FrmLoginPwd* w = FrmLoginPwd::open();
        QPointer<FrmLoginPwd> alive(w);
        auto* old = child(*w, "txtOldPwd");
        auto save = [&] { QTest::mouseClick(child<QPushButton>(*w, "btnSave"), Qt::LeftButton); };

        // Two wrong, then right: the count starts again.
        old->setText("x'");
        save();
        save();
        old->setText("right");
        child(*w, "txtNewPwd")->setText("a");
        child(*w, "txtNewPwd2")->setText("b");
        save();
        QCOMPARE(env->prompt().texts(), (QStringList{WrongPrevious, WrongPrevious, "신규암호와 재입력이 일치하지 않습니다."}));
        QCOMPARE(w->wrongPrevious(), 0);
        QVERIFY(LoginMatches("ADMIN", "right"));

        // Three wrong in a row close the window.
        env->prompt().clear();
        old->setText("wrong");
        save();
        save();
        QVERIFY(w->isVisible());
        save();
        QCOMPARE(env->prompt().texts(), QStringList(3, WrongPrevious));
        QTRY_VERIFY(!alive);
        QVERIFY(LoginMatches("ADMIN", "right"));
        QVERIFY(env->notices().isEmpty());
    }

    void changedPasswordIsRemembered() {
        Settings::set(Cfg, "SavePWD", "1");
        FrmLoginPwd* w = FrmLoginPwd::open();
        child(*w, "txtNewPwd")->setText("n3w");
        child(*w, "txtNewPwd2")->setText("n3w");
        QTest::keyClick(child(*w, "txtName"), Qt::Key_Return); // Enter on the name saves
        QCOMPARE(vault->entries.value(RememberedPasswordAccount()), QString("n3w"));
        auto login = openLogin();
        QCOMPARE(child(*login, "txtPass")->text(), QString("n3w"));
        QTest::keyClick(child(*login, "txtPass"), Qt::Key_Return);
        QVERIFY(login->succeeded());
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
