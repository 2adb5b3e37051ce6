#include "sales/frmServiceSub.h"

#include "core/AppState.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "sales/SalesRules.h"
#include "sales/SalesWidgets.h"
#include "ui/HCText.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {
const QString kConfig = QStringLiteral("Config");
const QString kContinueKey = QStringLiteral("SERVICEADD_CHKCUNTINUE");
}

frmServiceSub::frmServiceSub(QWidget* parent) : RecordEditor(QStringLiteral("거래내용등록"), parent)
{
    setObjectName(QStringLiteral("frmServiceSub"));
    setModeCaptions(QStringLiteral("거래내용등록 -『신규등록』"), QStringLiteral("거래내용등록 - 『수정』"));
    QGridLayout* grid = MakeEditorFields(this, m_fields,
                                         {QString(), QStringLiteral("거 래 명"), QStringLiteral("단   가"),
                                          QStringLiteral("적립Point"), QStringLiteral("Memo")},
                                         {FPrice, FPoint});
    m_fields[FName]->setMaxLength(40);
    m_cun = new QCheckBox(QStringLiteral("계속 등록하기"), this);
    m_cun->setObjectName(QStringLiteral("chkCun"));
    m_cun->setChecked(Settings::getIn(App().appTitle, kConfig, kContinueKey, QStringLiteral("1")) == QStringLiteral("1"));
    connect(m_cun, &QCheckBox::clicked, this, [this](bool on) {
        Settings::set(App().appTitle, kConfig, kContinueKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(LayOutEditor(this, grid, m_cun, true), &QPushButton::clicked, this, [this] { RecSave(); });
    setContinueBox(m_cun);
    trackChanges();
    resize(380, 200);
}

void frmServiceSub::DispRec(int code)
{
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT code, sname, smoney, spoint, smemo FROM tblservice WHERE code = ?"),
                      {code}) <= 0) {
        clearInputs();
        return;
    }
    m_fields[FCode]->setText(rs.text(QStringLiteral("code")));
    m_fields[FName]->setText(rs.text(QStringLiteral("sname")));
    m_fields[FPrice]->setText(MoneyText(rs.number(QStringLiteral("smoney"))));
    m_fields[FPoint]->setText(MoneyText(rs.number(QStringLiteral("spoint"))));
    m_fields[FMemo]->setText(rs.text(QStringLiteral("smemo")));
}

bool frmServiceSub::checkInputs()
{
    if (!CheckServiceName(m_fields[FName]))
        return false;
    if (m_fields[FPrice]->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("단가가 입력되지 않았습니다"));
        m_fields[FPrice]->setFocus();
        return false;
    }
    return CheckNumberFits(m_fields[FPrice], false) && CheckNumberFits(m_fields[FPoint], true);
}

QVariantHash frmServiceSub::inputValues() const
{
    return {{QStringLiteral("sname"), m_fields[FName]->text().trimmed()},
            {QStringLiteral("smoney"), SalesNumber(m_fields[FPrice]->text())},
            {QStringLiteral("spoint"), SalesNumber(m_fields[FPoint]->text())},
            {QStringLiteral("smemo"), m_fields[FMemo]->text()}};
}

SqlStatement frmServiceSub::saveStatement()
{
    const QVariantList values = {m_fields[FName]->text().trimmed(), SalesNumber(m_fields[FPrice]->text()),
                                 SalesNumber(m_fields[FPoint]->text()), m_fields[FMemo]->text()};
    if (mode() == EditMode)
        return {QStringLiteral("UPDATE tblservice SET sname = ?, smoney = ?, spoint = ?, smemo = ? WHERE code = ?"),
                values + QVariantList{code()}};
    return {QStringLiteral("INSERT INTO tblservice (sname, smoney, spoint, smemo) VALUES (?, ?, ?, ?)"), values};
}

void frmServiceSub::afterSave()
{
    m_savedName = m_fields[FName]->text().trimmed();
    m_savedPrice = SalesNumber(m_fields[FPrice]->text());
    m_savedPoints = SalesNumber(m_fields[FPoint]->text());
    m_savedMemo = m_fields[FMemo]->text();
    if (mode() == NewMode)
        m_fields[FCode]->setText(QString::number(code()));
}

void frmServiceSub::closeEvent(QCloseEvent* event)
{
    RecordEditor::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

int frmServiceSub::addFromPicker(const QString& name, QString* savedName)
{
    QPointer<frmServiceSub> editor = new frmServiceSub;
    editor->SetFormMode(NewMode);
    editor->m_cun->blockSignals(true);
    editor->m_cun->setChecked(false);
    editor->m_cun->blockSignals(false);
    editor->m_cun->hide();
    editor->m_fields[FName]->setText(name);
    int added = 0;
    connect(editor, &RecordEditor::recordSaved, editor, [&added, savedName, editor](int code) {
        added = code;
        if (savedName)
            *savedName = editor->m_savedName;
    });
    QEventLoop loop;
    connect(editor, &frmServiceSub::closed, &loop, &QEventLoop::quit);
    connect(editor, &QObject::destroyed, &loop, &QEventLoop::quit);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
    editor->activateWindow();
    editor->m_fields[FPrice]->setFocus();
    loop.exec();
    return added;
}
