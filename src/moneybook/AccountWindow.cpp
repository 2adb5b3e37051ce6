#include "moneybook/AccountWindow.h"
#include "moneybook/MoneyBookWidgets.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "moneybook/MoneyBookRules.h"
#include "moneybook/frmRecord.h"
#include "sales/MoneyBalance.h"
#include "ui/CellChanges.h"
#include "ui/FloatNotice.h"
#include "ui/FrmFindInSpread.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/TextRules.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using MoneyBook::button;

AccountWindow::AccountWindow(bool card, QWidget* parent) : QWidget(parent), m_card(card) {
    setObjectName(card ? QStringLiteral("frmCard") : QStringLiteral("frmAccount"));
    setWindowTitle(baseTitle());
    resize(900, 460);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    if (card)
        m_grid->setHeaderTexts({QStringLiteral("카드명"), QStringLiteral("카드회사"),
                                QStringLiteral("카드번호"), QStringLiteral("출금통장"),
                                QStringLiteral("유효기간"), QStringLiteral("Memo"),
                                QStringLiteral("Code")});
    else
        m_grid->setHeaderTexts({QStringLiteral("통장이름"), QStringLiteral("거래은행"),
                                QStringLiteral("계좌번호"), QStringLiteral("현재잔액"),
                                QStringLiteral("잔액포함"), QStringLiteral("Memo"),
                                QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 130);
    if (!card) m_grid->setColAlignment(ColFourth, Qt::AlignRight | Qt::AlignVCenter);
    GridMenu::attach(m_grid, this);
    connect(m_grid, &Grid::cellClicked, this, [this](int, int row) { selectRow(row); });
    connect(m_grid, &Grid::activeCellChanged, this, [this](int, int row) { selectRow(row); });

    for (int i = 0; i < FieldCount; ++i) {
        auto* f = new HCText(this);
        f->setObjectName(QStringLiteral("htField(%1)").arg(i));
        m_fields << f;
    }
    auto* form = new QFormLayout;
    if (card) {
        m_account = new QComboBox(this);
        m_account->setObjectName(QStringLiteral("cmbAccount"));
        form->addRow(QStringLiteral("*카  드  명"), m_fields[FName]);
        form->addRow(QStringLiteral("카드회사"), m_fields[FBank]);
        form->addRow(QStringLiteral("카드번호"), m_fields[FNumber]);
        form->addRow(QStringLiteral("*출금통장"), m_account);
        form->addRow(QStringLiteral("유효기간"), m_fields[FFourth]);
    } else {
        m_fields[FFourth]->SetAcceptType(HCText::Number);
        m_fields[FFourth]->SetShowSeparate(true);
        m_include = new QCheckBox(QStringLiteral("포함"), this);
        m_include->setObjectName(QStringLiteral("chkBalance"));
        form->addRow(QStringLiteral("*통장이름"), m_fields[FName]);
        form->addRow(QStringLiteral("거래은행"), m_fields[FBank]);
        form->addRow(QStringLiteral("계좌번호"), m_fields[FNumber]);
        form->addRow(QStringLiteral("기초잔액"), m_fields[FFourth]);
        form->addRow(QStringLiteral("잔액포함"), m_include);
    }
    form->addRow(QStringLiteral("Memo"), m_fields[FMemo]);

    auto* add = button(this, card ? "btnRecAdd" : "btnRecAddAc", QStringLiteral("신규(&N)"));
    auto* save = button(this, "btnSave", QStringLiteral("저장(&S)"));
    auto* del = button(this, "btnRecDel", QStringLiteral("삭제(&D)"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기(&X)"));
    connect(add, &QPushButton::clicked, this, [this] { SetFormMode(1); });
    connect(save, &QPushButton::clicked, this, &AccountWindow::RecSave);
    connect(del, &QPushButton::clicked, this, &AccountWindow::RecDelete);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(del);
    if (card) {
        auto* find = button(this, "btnShowFindFld", QStringLiteral("찾기(&F)"));
        connect(find, &QPushButton::clicked, this, [this] { FrmFindInSpread::open(m_grid); });
        buttons->addWidget(find);
    }
    buttons->addStretch();
    buttons->addWidget(close);

    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 3);
    layout->addLayout(right, 2);

    loadList();
    SetFormMode(1);
}

QString AccountWindow::baseTitle() const {
    return m_card ? QStringLiteral("신용카드관리") : QStringLiteral("통장관리");
}

void AccountWindow::fillAccountCombo() {
    if (!m_account) return;
    const QString current = m_account->currentText();
    m_account->clear();
    m_account->addItem(QString());
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT accountname FROM tblgrouping WHERE accountclass = '1' "
                                     "ORDER BY accountname")) > 0)
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            m_account->addItem(rs.text(0));
    m_account->setCurrentIndex(qMax(0, m_account->findText(current)));
}

void AccountWindow::loadList() {
    fillAccountCombo();
    Recordset rs;
    const QString sql =
        m_card ? QStringLiteral(
                     "SELECT c.code, c.accountname, c.bankname, c.accountno, a.accountname AS "
                     "settle, c.validityday, c.smemo FROM tblgrouping AS c LEFT OUTER JOIN "
                     "tblgrouping AS a ON a.code = c.ctblgrouping AND a.code <> 1 "
                     "WHERE c.accountclass = '2' ORDER BY c.accountname, c.code")
               : QStringLiteral(
                     "SELECT code, accountname, bankname, accountno, sbalance, totalox, smemo "
                     "FROM tblgrouping WHERE accountclass = '1' ORDER BY accountname, code");
    const int n = OpenRecordset(rs, sql);
    m_grid->beginFill(qMax(0, n));
    for (int r = 0; r < qMax(0, n); ++r) {
        const QVector<QVariant>& v = rs.row(r);
        const int code = v[0].toInt();
        if (m_card)
            m_grid->appendRow({v[1].toString(), v[2].toString(), v[3].toString(), v[4].toString(),
                               v[5].toString(), v[6].toString(), QString::number(code)});
        else
            m_grid->appendRow({v[1].toString(), v[2].toString(), v[3].toString(),
                               MoneyBook::MoneyText(AccountBalance(code)),
                               v[5].toInt() != 0 ? QStringLiteral("포함") : QString(),
                               v[6].toString(), QString::number(code)});
    }
    m_grid->endFill();
    if (n <= 0) ShowFloatNotice(QStringLiteral("검색된 통장이 없습니다."));
}

void AccountWindow::clearInputs() {
    for (HCText* f : m_fields)
        f->clear();
    if (m_include) m_include->setChecked(false);
    if (m_account) m_account->setCurrentIndex(0);
}

void AccountWindow::SetFormMode(int mode, int code, const QString& name) {
    m_mode = mode == 2 ? 2 : 1;
    m_code = m_mode == 2 ? code : 0;
    clearInputs();
    m_loaded.clear();
    if (m_mode == 2) {
        Recordset rs;
        if (OpenRecordset(
                rs,
                QStringLiteral(
                    "SELECT code, accountname, bankname, accountno, sbalance, totalox, smemo, "
                    "ctblgrouping, validityday FROM tblgrouping WHERE code = ?"),
                {code}) > 0) {
            for (const char* c : {"accountname", "bankname", "accountno", "sbalance", "totalox",
                                  "smemo", "ctblgrouping", "validityday"})
                m_loaded.insert(QString::fromLatin1(c), rs.value(QString::fromLatin1(c)));
            m_fields[FName]->setText(rs.text(QStringLiteral("accountname")));
            m_fields[FBank]->setText(rs.text(QStringLiteral("bankname")));
            m_fields[FNumber]->setText(rs.text(QStringLiteral("accountno")));
            m_fields[FMemo]->setText(rs.text(QStringLiteral("smemo")));
            if (m_card) {
                m_fields[FFourth]->setText(rs.text(QStringLiteral("validityday")));
                const QString settle =
                    AccountNameByCode(rs.integer(QStringLiteral("ctblgrouping")));
                m_account->setCurrentIndex(qMax(0, m_account->findText(settle)));
            } else {
                m_fields[FFourth]->setText(
                    MoneyBook::MoneyText(rs.number(QStringLiteral("sbalance"))));
                m_include->setChecked(rs.integer(QStringLiteral("totalox")) != 0);
            }
        }
        setWindowTitle(baseTitle());
    } else {
        m_fields[FName]->setText(name);
        setWindowTitle(name.isEmpty() ? baseTitle() : FormModeCaption(baseTitle(), 1));
        m_fields[FName]->setFocus();
    }
}

void AccountWindow::selectRow(int row) {
    if (row < 1 || row > m_grid->dataRowCnt()) return;
    const int code = m_grid->text(ColCode, row).toInt();
    if (code > 0 && !(m_mode == 2 && code == m_code)) SetFormMode(2, code);
}

bool AccountWindow::RecSave() {
    const QString name = m_fields[FName]->text().trimmed();
    if (name.isEmpty()) {
        MsgInfo(QStringLiteral("통장이름이 입력되지 않았습니다"));
        m_fields[FName]->setFocus();
        return false;
    }
    int settle = 1;
    if (m_card) {
        settle = m_account->currentText().isEmpty()
                     ? 0
                     : AccountCodeByName(m_account->currentText(), QStringLiteral("1"));
        if (settle <= 0) {
            MsgInfo(QStringLiteral("출금통장을 선택하지 않았습니다"));
            m_account->setFocus();
            return false;
        }
    }
    const QString cls = m_card ? QStringLiteral("2") : QStringLiteral("1");
    if (AccountNameCount(cls, name, m_mode == 2 ? m_code : -1) > 0) {
        MsgInfo(QStringLiteral("[") + name +
                (m_card ? QStringLiteral("]은 이미 등록된 신용카드입니다.")
                        : QStringLiteral("]은 이미 등록된 통장입니다.")));
        m_fields[FName]->clear();
        m_fields[FName]->setFocus();
        return false;
    }
    const QString bank = m_fields[FBank]->text().trimmed();
    const QString number = m_fields[FNumber]->text().trimmed();
    const QString memo = m_fields[FMemo]->text();
    QVariantHash values{{QStringLiteral("accountname"), name},
                        {QStringLiteral("bankname"), bank},
                        {QStringLiteral("accountno"), number},
                        {QStringLiteral("smemo"), memo}};
    if (m_card) {
        values.insert(QStringLiteral("ctblgrouping"), settle);
        values.insert(QStringLiteral("validityday"), m_fields[FFourth]->text().trimmed());
    } else {
        values.insert(QStringLiteral("sbalance"), NumericValue(m_fields[FFourth]->text()));
        values.insert(QStringLiteral("totalox"), m_include->isChecked() ? 1 : 0);
    }
    int newCode = m_code;
    if (m_mode == 2) {
        // Only what the user changed is written, and only while another PC has not
        // changed it since it was loaded.
        QVariantHash changed, shown;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (!SameCellValue(m_loaded.value(it.key()), it.value())) {
                changed.insert(it.key(), it.value());
                shown.insert(it.key(), m_loaded.value(it.key()));
            }
        const QList<RowRef> parents = {{QStringLiteral("tblgrouping"), m_card ? settle : 1}};
        switch (SaveCell(QStringLiteral("tblgrouping"), m_code, shown, changed, parents)) {
        case CellSave::Written:
        case CellSave::Unchanged:
            break;
        case CellSave::Reload:
            SetFormMode(2, m_code);
            return false;
        case CellSave::Gone:
            loadList();
            if (CountRows(QStringLiteral("tblgrouping"), QStringLiteral("code = ?"), {m_code}) <= 0)
                SetFormMode(1);
            return false;
        case CellSave::Failed:
            return false;
        }
    } else {
        Transaction tx;
        int rows = 0;
        if (tx.ok() && ParentsExist({{QStringLiteral("tblgrouping"), m_card ? settle : 1}})) {
            values.insert(QStringLiteral("accountclass"),
                          m_card ? QStringLiteral("2") : QStringLiteral("1"));
            if (!m_card) values.insert(QStringLiteral("ctblgrouping"), 1);
            QStringList columns = values.keys();
            columns.sort();
            QVariantList params;
            for (const QString& c : columns)
                params << values.value(c);
            rows = ExecSQL(QStringLiteral("INSERT INTO tblgrouping (") + columns.join(u',') +
                               QStringLiteral(") VALUES (") +
                               QStringList(columns.size(), QStringLiteral("?")).join(u',') +
                               QStringLiteral(")"),
                           params);
            if (rows > 0) newCode = LastIdentity();
            if (rows > 0 && !tx.commit()) rows = 0;
        } else if (!tx.ok()) {
            MsgInfo(DbFailureCause(LastDbErrorCode()));
            return false;
        } else {
            fillAccountCombo();
            return false;
        }
        if (rows <= 0) {
            MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
            return false;
        }
    }
    const int code = newCode;
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    loadList();
    if (auto* ledger = dynamic_cast<frmRecord*>(WindowRegistry::find(QStringLiteral("frmRecord"))))
        ledger->fillAccountCombo();
    emit saved(code, name);
    if (m_closeAfterSave) {
        close();
        return true;
    }
    SetFormMode(2, code);
    const int row = m_grid->searchCol(ColCode, 1, -1, QString::number(code));
    if (row > 0) m_grid->setActiveCell(ColName, row);
    return true;
}

bool AccountWindow::RecDelete() {
    const int row = m_grid->activeRow();
    const int code =
        (row >= 1 && row <= m_grid->dataRowCnt()) ? m_grid->text(ColCode, row).toInt() : 0;
    if (code <= 1) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    if (m_card) {
        if (CountRows(QStringLiteral("tbljangbu"), QStringLiteral("cgroupin = ?"), {code}) > 0) {
            MsgInfo(QStringLiteral("입출금관리에 카드에 관한 내용이 존재 합니다."));
            return false;
        }
    } else {
        if (CountRows(QStringLiteral("tbljangbu"), QStringLiteral("cgroupin = ? OR cgroupout = ?"),
                      {code, code}) > 0) {
            MsgInfo(QStringLiteral("입출금관리에 통장에 관한 내용이 존재 합니다."));
            return false;
        }
        // A card still settled by this account would be left paying from nowhere.
        if (IsCodeInUse(QStringLiteral("tblgrouping"), QStringLiteral("ctblgrouping"),
                        QString::number(code), false, QStringLiteral("신용카드관리"), true,
                        QStringLiteral("accountclass = '2'")))
            return false;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"),
                  false))
        return false;
    if (ExecSQL(QStringLiteral("DELETE FROM tblgrouping WHERE code = ?"), {code}) <= 0) {
        MsgWarning(QStringLiteral("코드[") + QString::number(code) +
                   QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
        return false;
    }
    ShowFloatNotice(QStringLiteral("자료를 삭제하였습니다."));
    loadList();
    SetFormMode(1);
    return true;
}

void AccountWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_F2:
            RecSave();
            return;
        case Qt::Key_F4:
            RecDelete();
            return;
        case Qt::Key_Escape:
            close();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

void AccountWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    QWidget::closeEvent(event);
}

std::optional<PickRow> AccountWindow::addModal(bool card, const QString& name) {
    QPointer<AccountWindow> w = card ? static_cast<AccountWindow*>(new frmCard) : new frmAccount;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->m_closeAfterSave = true;
    w->SetFormMode(1, 0, name);
    w->setWindowTitle(FormModeCaption(w->baseTitle(), 1));
    std::optional<PickRow> added;
    connect(w, &AccountWindow::saved, w, [&added](int code, const QString& n) {
        added = PickRow{code, n};
    });
    QEventLoop loop;
    connect(w, &AccountWindow::closed, &loop, &QEventLoop::quit);
    connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    loop.exec();
    return added;
}
