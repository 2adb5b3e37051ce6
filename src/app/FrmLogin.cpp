#include "app/FrmLogin.h"

#include "app/PasswordVault.h"

#include "core/AppState.h"
#include "app/LoginUser.h"
#include "db/Database.h"
#include "core/Settings.h"
#include "app/frmMain.h"
#include "core/Prompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString kLoginSection = QStringLiteral("Config");
constexpr int MaxFailures = 3;
} // namespace

QString FrmLogin::hintText() {
    return QStringLiteral("엔터를 치세요");
}

FrmLogin::FrmLogin(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FrmLogin"));
    setWindowTitle(App().appTitle + QStringLiteral(" 로그인"));

    auto* title = new QLabel(App().appTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont tf = title->font();
    tf.setPointSizeF(tf.pointSizeF() * 1.6);
    tf.setBold(true);
    title->setFont(tf);
    title->setAlignment(Qt::AlignCenter);

    m_txtUser = new QLineEdit(this);
    m_txtUser->setObjectName(QStringLiteral("txtUser"));
    m_txtPass = new QLineEdit(this);
    m_txtPass->setObjectName(QStringLiteral("txtPass"));
    // Masked with "*" whatever the style's own password character is.
    m_txtPass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    m_chkSavePwd = new QCheckBox(QStringLiteral("암호 저장"), this);
    m_chkSavePwd->setObjectName(QStringLiteral("chkSavePwd"));
    m_btnLogin = new QPushButton(QStringLiteral("로그인"), this);
    m_btnLogin->setObjectName(QStringLiteral("btnLogin"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("사용자 ID"), m_txtUser);
    form->addRow(QStringLiteral("암호"), m_txtPass);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkSavePwd);
    buttons->addStretch();
    buttons->addWidget(m_btnLogin);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setTabOrder(m_txtUser, m_txtPass);
    setTabOrder(m_txtPass, m_chkSavePwd);
    setTabOrder(m_chkSavePwd, m_btnLogin);

    // The settings are applied before any signal is connected, so opening writes nothing.
    m_chkSavePwd->setChecked(Settings::getIn(App().appTitle, kLoginSection, QStringLiteral("SavePWD"),
                                           QStringLiteral("0")) == QStringLiteral("1"));
    m_recentId = Settings::getIn(App().appTitle, kLoginSection, QStringLiteral("RecentID"),
                               QStringLiteral("ADMIN"))
                     .toUpper();
    if (m_recentId.trimmed().isEmpty()) m_recentId = QStringLiteral("ADMIN");
    m_txtUser->setText(m_recentId);

    // The password is remembered in the desktop keyring only; the value earlier versions
    // kept in the settings file is removed.
    Settings::remove(App().appTitle, kLoginSection, QStringLiteral("passwd"));
    if (!passwordVault().available()) {
        m_chkSavePwd->setChecked(false);
        m_chkSavePwd->setEnabled(false);
        m_chkSavePwd->setToolTip(NoKeyringText());
    }
    m_txtPass->setEchoMode(QLineEdit::Password);
    if (LoginPassword(m_recentId).isEmpty()) {
        showHint();
    } else if (m_chkSavePwd->isChecked()) {
        m_txtPass->setText(passwordVault().read(RememberedPasswordAccount()));
    }

    m_txtPass->installEventFilter(this);
    connect(m_txtUser, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int pos = m_txtUser->cursorPosition();
        m_txtUser->setText(upper);
        m_txtUser->setCursorPosition(pos);
    });
    connect(m_txtUser, &QLineEdit::returnPressed, this, [this] {
        m_txtPass->setFocus();
        m_txtPass->selectAll();
    });
    connect(m_txtPass, &QLineEdit::textChanged, this, [this](const QString& text) {
        // Text put in without typing (pasted, filled in) replaces the hint as well.
        if (!m_hintShown || text == hintText()) return;
        m_hintShown = false;
        m_txtPass->setEchoMode(QLineEdit::Password);
        if (text.contains(hintText())) m_txtPass->setText(QString(text).remove(hintText()));
    });
    connect(m_txtPass, &QLineEdit::returnPressed, this, &FrmLogin::login);
    connect(m_btnLogin, &QPushButton::clicked, this, &FrmLogin::login);
    connect(m_chkSavePwd, &QCheckBox::toggled, this, &FrmLogin::savePasswordToggled);

    m_onLoggedIn = [] {
        auto* w = new frmMain;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    };
    m_onQuit = [] {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    };

    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_txtPass->setFocus();
    m_txtPass->selectAll();
}

void FrmLogin::showHint() {
    m_hintShown = true;
    m_txtPass->setEchoMode(QLineEdit::Normal);
    m_txtPass->setText(hintText());
    m_txtPass->selectAll();
}

void FrmLogin::clearHint() {
    m_hintShown = false;
    m_txtPass->clear();
    m_txtPass->setEchoMode(QLineEdit::Password);
}

QString FrmLogin::typedPassword() const {
    return m_hintShown ? QString() : m_txtPass->text();
}

void FrmLogin::savePasswordToggled(bool on) {
    Settings::set(kLoginSection, QStringLiteral("SavePWD"),
                  on ? QStringLiteral("1") : QStringLiteral("0"));
    if (on && !typedPassword().isEmpty())
        passwordVault().write(RememberedPasswordAccount(), typedPassword());
    else if (!on)
        passwordVault().remove(RememberedPasswordAccount());
}

void FrmLogin::login() {
    if (m_closing) return;
    const QString id = m_txtUser->text().trimmed().toUpper();
    if (id.isEmpty()) {
        MsgInfo(QStringLiteral("사용자 ID를 입력하세요."));
        m_txtUser->setFocus();
        return;
    }
    const QString password = typedPassword();
    bool failed = false;
    const bool matches = LoginMatches(id, password, &failed);
    if (failed) {
        // The user table could not be read: not a wrong password, so no try is counted. A
        // damaged file was reported as such by the database layer already.
        if (!IsDamageCode(LastDbErrorCode())) {
            const QString cause = DbFailureCause(LastDbErrorCode());
            MsgInfo(QStringLiteral("사용자 정보를 읽을 수 없습니다.") +
                    (cause.isEmpty() ? QStringLiteral("\n") + LastDbError()
                                     : QStringLiteral("\n") + cause));
        }
        m_txtPass->setFocus();
        return;
    }
    if (!matches) {
        if (++m_failures >= MaxFailures) {
            MsgInfo(QStringLiteral("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다."));
            close();
            return;
        }
        MsgInfo(QStringLiteral("유저명과 암호가 일치하지 않습니다.") + QStringLiteral("\n\n") +
                QStringLiteral("존재하지 않는 유저명이거나,") + QStringLiteral("\n") +
                QStringLiteral("암호가 잘못 입력되었습니다.") + QStringLiteral("\n\n") +
                QStringLiteral("※최초 접속인 경우, 암호란을 비우고 엔터키를 치세요."));
        m_txtPass->setFocus();
        m_txtPass->selectAll();
        return;
    }
    if (id != m_recentId) Settings::set(kLoginSection, QStringLiteral("RecentID"), id);
    if (m_chkSavePwd->isChecked()) passwordVault().write(RememberedPasswordAccount(), password);
    m_success = true;
    close();
}

void FrmLogin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (AskYesNo(QStringLiteral("프로그램을 종료하시겠습니까?"))) close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmLogin::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    event->accept();
    if (m_success) {
        GetLoginUserInfo(m_txtUser->text().trimmed().toUpper());
        if (m_onLoggedIn) m_onLoggedIn();
    } else if (m_onQuit) {
        m_onQuit();
    }
}

bool FrmLogin::eventFilter(QObject* watched, QEvent* event) {
    // The first key typed over the hint replaces it and turns the masking on.
    if (watched == m_txtPass && m_hintShown) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Alt:
            case Qt::Key_Meta:
                break;
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                clearHint();
                return true;
            default:
                if ((!key->text().isEmpty() && key->text().at(0).isPrint()) ||
                    key->matches(QKeySequence::Paste))
                    clearHint();
                break;
            }
        } else if (event->type() == QEvent::InputMethod) {
            clearHint();
        }
    }
    return QWidget::eventFilter(watched, event);
}
