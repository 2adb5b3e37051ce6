#include "app/FrmLoginPwd.h"

#include "app/PasswordVault.h"

#include "core/AppState.h"
#include "app/LoginUser.h"
#include "core/Settings.h"
#include "ui/FloatNotice.h"
#include "core/Prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int MaxWrongPrevious = 3;

QLineEdit* passwordInput(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return e;
}
} // namespace

FrmLoginPwd::FrmLoginPwd(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("FrmLoginPwd"));
    setWindowTitle(QStringLiteral("사용자 등록 및 암호변경"));

    m_txtOldPwd = passwordInput(this, "txtOldPwd");
    m_txtNewPwd = passwordInput(this, "txtNewPwd");
    m_txtNewPwd2 = passwordInput(this, "txtNewPwd2");
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_btnSave = new QPushButton(QStringLiteral("저장(&S)"), this);
    m_btnSave->setObjectName(QStringLiteral("btnSave"));
    m_btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("이전 암호"), m_txtOldPwd);
    form->addRow(QStringLiteral("신규 암호"), m_txtNewPwd);
    form->addRow(QStringLiteral("신규 암호 재입력"), m_txtNewPwd2);
    form->addRow(QStringLiteral("사용자 이름"), m_txtName);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSave);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addLayout(form);
    layout->addLayout(buttons);

    m_txtName->setText(LocalUserName());
    // Enter moves on to the next input; on the name it saves.
    for (QLineEdit* e : {m_txtOldPwd, m_txtNewPwd, m_txtNewPwd2, m_txtName})
        e->installEventFilter(this);
    connect(m_btnSave, &QPushButton::clicked, this, &FrmLoginPwd::RecSave);
    connect(m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
    m_txtOldPwd->setFocus();
}

FrmLoginPwd* FrmLoginPwd::open(QWidget* parent) {
    static QPointer<FrmLoginPwd> current;
    if (!current) {
        current = new FrmLoginPwd(parent);
        current->setAttribute(Qt::WA_DeleteOnClose);
    }
    current->show();
    current->raise();
    current->activateWindow();
    return current;
}

void FrmLoginPwd::RecSave() {
    if (!LocalPasswordMatches(m_txtOldPwd->text())) {
        ++m_wrongPrevious;
        MsgInfo(QStringLiteral("이전암호가 틀립니다.(3회연속 틀릴경우 암호변경창이 닫힙니다.)"));
        if (m_wrongPrevious >= MaxWrongPrevious) {
            close();
            return;
        }
        m_txtOldPwd->setFocus();
        m_txtOldPwd->selectAll();
        return;
    }
    m_wrongPrevious = 0;
    if (m_txtNewPwd->text() != m_txtNewPwd2->text()) {
        MsgInfo(QStringLiteral("신규암호와 재입력이 일치하지 않습니다."));
        m_txtNewPwd->setFocus();
        m_txtNewPwd->selectAll();
        return;
    }
    const QString name = m_txtName->text();
    if (!UpdateLocalUser(m_txtNewPwd->text(), name)) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return;
    }
    App().userName = name;
    // A remembered password would no longer log in: remember the new one instead.
    if (Settings::get(QStringLiteral("Config"), QStringLiteral("SavePWD")) == QStringLiteral("1"))
        passwordVault().write(RememberedPasswordAccount(), m_txtNewPwd->text());
    MsgInfo(QStringLiteral("패스워드 분실시 제품 사용이 불가능 하므로 반드시 메모하여 기억해 "
                           "주시기 바랍니다. 감사합니다."));
    ShowFloatNotice(QStringLiteral("암호가 변경되었습니다."), 500, 1, 0xFFFF00);
    close();
}

void FrmLoginPwd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FrmLoginPwd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_txtName) {
                RecSave();
            } else {
                focusNextChild();
                if (auto* e = qobject_cast<QLineEdit*>(focusWidget())) e->selectAll();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
