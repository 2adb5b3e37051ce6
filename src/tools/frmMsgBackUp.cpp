#include "tools/frmMsgBackUp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
int (*g_override)() = nullptr;
}

frmMsgBackUp::frmMsgBackUp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgBackUp"));
    setWindowTitle(QStringLiteral("데이터 백업"));
    auto* text = new QLabel(QStringLiteral("프로그램을 종료합니다.\n소중한 자료를 지키기 위하여 데이터를 백업하시겠습니까?"), this);
    text->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    const QList<QPair<QString, int>> buttons = {{QStringLiteral("백업 후 종료"), BackupAndClose},
                                                {QStringLiteral("백업없이 종료"), CloseOnly},
                                                {QStringLiteral("취소"), Stay}};
    for (const auto& [caption, value] : buttons) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QStringLiteral("btnChoice(%1)").arg(value));
        connect(b, &QPushButton::clicked, this, [this, v = value] {
            m_choice = v;
            accept();
        });
        row->addWidget(b);
        if (value == BackupAndClose) b->setDefault(true);
    }
    layout->addLayout(row);
}

int frmMsgBackUp::ask() {
    if (g_override) return g_override();
    frmMsgBackUp dlg;
    dlg.exec();
    return dlg.choice();
}

void frmMsgBackUp::setAskOverride(int (*fn)()) { g_override = fn; }
