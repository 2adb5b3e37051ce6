#include "moneybook/frmItemSub.h"

#include "core/Prompt.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "ui/HCText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCunKey = QStringLiteral("ITEMADD_CHKCUNTINUE");
}

frmItemSub::frmItemSub(const QString& table, QWidget* parent)
    : RecordEditor(QStringLiteral("항목추가"), parent), m_table(table) {
    setObjectName(QStringLiteral("frmItemSub"));
    setModeCaptions(QStringLiteral("항목등록 -『신규등록』"),
                    QStringLiteral("항목등록 - 『수정』"));
    m_inOut = new QComboBox(this);
    m_inOut->setObjectName(QStringLiteral("cmbInOut"));
    m_inOut->addItems({QStringLiteral("수입"), QStringLiteral("지출")});
    m_inOut->setCurrentIndex(-1);
    m_text = new HCText(this);
    m_text->setObjectName(QStringLiteral("txtBigo"));
    m_cun = new QCheckBox(QStringLiteral("계속 등록하기(&N)"), this);
    m_cun->setObjectName(QStringLiteral("chkCun"));
    m_cun->setChecked(Settings::getIn(App().appTitle, QStringLiteral("Config"), kCunKey,
                                    QStringLiteral("1")) == QStringLiteral("1"));
    connect(m_cun, &QCheckBox::toggled, this, [](bool on) {
        Settings::set(App().appTitle, QStringLiteral("Config"), kCunKey,
                      on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    setContinueBox(m_cun);

    auto* save = new QPushButton(QStringLiteral("저장(&S)"), this);
    save->setObjectName(QStringLiteral("btnSave"));
    auto* close = new QPushButton(QStringLiteral("닫기(&X)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(save, &QPushButton::clicked, this, &RecordEditor::RecSave);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("구   분"), m_inOut);
    form->addRow(QStringLiteral("내   용"), m_text);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cun);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(360, 140);
    trackChanges();
}

void frmItemSub::setClassIndex(int index) {
    m_inOut->setCurrentIndex(index);
}
void frmItemSub::setText(const QString& text) {
    m_text->setText(text);
}

void frmItemSub::hideContinueBox() {
    m_cun->blockSignals(true);
    m_cun->setChecked(false);
    m_cun->blockSignals(false);
    m_cun->hide();
}

void frmItemSub::DispRec(int code) {
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT inoutclass, bigo, code FROM ") + m_table +
                          QStringLiteral(" WHERE code = ?"),
                      {code}) <= 0)
        return;
    const QString cls = rs.text(QStringLiteral("inoutclass"));
    m_inOut->setCurrentIndex(cls == QStringLiteral("2") ? 1 : 0);
    m_text->setText(rs.text(QStringLiteral("bigo")));
}

void frmItemSub::clearInputs() {
    // The class stays for the next category; only the text is emptied.
    m_text->clear();
}

bool frmItemSub::checkInputs() {
    if (m_text->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("내용이 입력되지 않았습니다"));
        m_text->setFocus();
        return false;
    }
    if (m_inOut->currentIndex() < 0) {
        MsgInfo(QStringLiteral("구분을 선택하지 않았습니다"));
        m_inOut->setFocus();
        return false;
    }
    return true;
}

SqlStatement frmItemSub::saveStatement() {
    const QString cls = QString::number(m_inOut->currentIndex() + 1);
    const QString text = m_text->text().trimmed();
    if (mode() == EditMode)
        return {QStringLiteral("UPDATE ") + m_table +
                    QStringLiteral(" SET inoutclass = ?, bigo = ? WHERE code = ?"),
                {cls, text, code()}};
    return {QStringLiteral("INSERT INTO ") + m_table +
                QStringLiteral(" (inoutclass, bigo) VALUES (?, ?)"),
            {cls, text}};
}

QVariantHash frmItemSub::inputValues() const {
    return {{QStringLiteral("inoutclass"), QString::number(m_inOut->currentIndex() + 1)},
            {QStringLiteral("bigo"), m_text->text().trimmed()}};
}

void frmItemSub::afterSave() {
    m_savedText = m_text->text().trimmed();
}
