#include "tools/FrmTool_ClearAll.h"

#include "core/AppState.h"
#include "core/Prompt.h"
#include "tools/ClearData.h"
#include "ui/WindowRegistry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

FrmTool_ClearAll::FrmTool_ClearAll(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTool_ClearAll"));
    setWindowTitle(QStringLiteral("자료 삭제"));
    static const char* const lines[] = {
        "*자료 삭제란?",
        "입력된 입출금관리내용 및 그룹자금 관련내용을 모두 삭제하는 기능으로서",
        "테스트로 입력한 모든 자료를 삭제하는 등의 용도로 사용됩니다.",
        "※회원정보, 그룹, 통장정보등의 기초자료는 그대로 보존됩니다.",
        "삭제목록은 아래와 같습니다.",
        " - 입출금관리",
        " - 입출금관리 항목",
        " - 그룹자금 회비납부 내역",
        " - 그룹자금 기타수입 내역",
        " - 그룹자금 지출 내역",
    };
    auto* layout = new QVBoxLayout(this);
    QStringList text;
    for (const char* l : lines) text << QString::fromUtf8(l);
    auto* info = new QLabel(text.join(u'\n'), this);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setTextFormat(Qt::PlainText);
    layout->addWidget(info);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("관리자암호"), this));
    m_pwd = new QLineEdit(this);
    m_pwd->setObjectName(QStringLiteral("htPwd"));
    m_pwd->setEchoMode(QLineEdit::Password);
    row->addWidget(m_pwd, 1);
    auto* del = new QPushButton(QStringLiteral("삭제"), this);
    del->setObjectName(QStringLiteral("btnDelete"));
    row->addWidget(del);
    layout->addLayout(row);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 5);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    connect(del, &QPushButton::clicked, this, [this] { btnDelete(); });
    connect(m_pwd, &QLineEdit::returnPressed, this, [this] { btnDelete(); });
}

void FrmTool_ClearAll::btnDelete() {
    if (App().userCode != QStringLiteral("00")) {
        MsgInfo(QStringLiteral("이 기능은 관리자(ADMIN)로 로그인한 경우만 처리가능합니다.\n관리자로 로그인후 다시 시도 하세요."));
        return;
    }
    if (!AdminPasswordMatches(m_pwd->text())) {
        MsgInfo(QStringLiteral("관리자암호가 일치하지 않습니다."));
        if (++m_wrong >= 3) {
            CloseWindow(this);
            return;
        }
        m_pwd->setFocus();
        m_pwd->selectAll();
        return;
    }
    if (!AskYesNo(QStringLiteral("정말로 삭제할까요?"), {}, false)) return;
    m_progress->setValue(0);
    QString why;
    const bool ok = ClearAccountingData(
        [this](int step) {
            m_progress->setValue(step);
            m_progress->repaint(); // no event loop while the transaction is open
        },
        &why);
    if (!ok) {
        m_progress->setValue(0);
        MsgWarning(QStringLiteral("자료를 삭제하지 못했습니다. 삭제된 자료는 없습니다.\n\n") + why);
        return;
    }
    MsgInfo(QStringLiteral("삭제가 완료되었습니다."));
}
