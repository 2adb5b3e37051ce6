#include "members/frmFriendAdd.h"

#include "core/PrivateData.h"
#include "members/ZipLookup.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/MemberEvents.h"
#include "members/MemberRules.h"
#include "members/MemberStore.h"
#include "members/UserFields.h"
#include "members/frmFriendUserSet.h"
#include "members/frmGroupSub.h"
#include "members/frmImage.h"
#include "ui/FloatNotice.h"
#include "ui/HCDate.h"
#include "ui/HCText.h"
#include "core/Prompt.h"
#include "ui/RecordWindow.h"
#include "ui/TextRules.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char* const kPictureTag = "tag";

// htField index → member column.
const QList<QPair<int, const char*>>& fieldColumns()
{
    static const QList<QPair<int, const char*>> map = {
        {frmFriendAdd::FCodeNo, "codeno"},       {frmFriendAdd::FName, "sname"},
        {frmFriendAdd::FIdNo, "idno"},           {frmFriendAdd::FMobile, "hpline"},
        {frmFriendAdd::FPhone1, "hline1"},       {frmFriendAdd::FRelation, "relation"},
        {frmFriendAdd::FMail, "mail"},           {frmFriendAdd::FHomePage, "homepi"},
        {frmFriendAdd::FHomeAdd, "homeadd"},     {frmFriendAdd::FHomeAdd2, "homeadd2"},
        {frmFriendAdd::FComName, "comname"},     {frmFriendAdd::FPart, "spart"},
        {frmFriendAdd::FFinalLine, "finalline"}, {frmFriendAdd::FKeyLine, "keyline"},
        {frmFriendAdd::FInline, "inline"},       {frmFriendAdd::FFax, "faxline"},
        {frmFriendAdd::FComAdd, "comadd"},       {frmFriendAdd::FComAdd2, "comadd2"},
        {frmFriendAdd::FPosition, "sposition"},  {frmFriendAdd::FGrade, "sgrade"},
        {frmFriendAdd::FMail2, "mail2"},         {frmFriendAdd::FHomePage2, "homepi2"},
        {frmFriendAdd::FComZip, "czipno"},       {frmFriendAdd::FHomeZip, "hzipno"},
        {frmFriendAdd::FPhone2, "hline2"},       {frmFriendAdd::FPhone3, "hline3"},
    };
    return map;
}

QString todayText()
{
    return Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}
} // namespace

frmFriendAdd::frmFriendAdd(QWidget* parent) : RecordEditor(QStringLiteral("회원등록"), parent)
{
    setObjectName(QStringLiteral("frmFriendAdd"));
    setWindowTitle(QStringLiteral("회원등록"));
    buildUi();
    setContinueBox(m_cun);
    connect(this, &RecordEditor::recordSaved, MemberEvents::instance(), &MemberEvents::memberSaved);
    clearInputs();
    loadUserPanel();
    applyFriendCodeOption();
    trackChanges();
    // After the key navigation, so Enter in a zip input reaches the lookup first.
    m_fields[FHomeZip]->installEventFilter(this);
    m_fields[FComZip]->installEventFilter(this);
}

frmFriendAdd::~frmFriendAdd() = default;

void frmFriendAdd::buildUi()
{
    for (int i = 0; i < FieldCount; ++i) {
        auto* f = new HCText(this);
        f->setObjectName(QStringLiteral("htField(%1)").arg(i));
        f->installEventFilter(this);
        m_fields << f;
    }
    m_fields[FCode]->SetLocked(true);
    m_fields[FCode]->hide();
    m_fields[FUnused]->hide();
    for (int i : {int(FMobile), int(FPhone1), int(FPhone2), int(FPhone3), int(FFinalLine), int(FKeyLine), int(FFax)})
        m_fields[i]->SetAcceptType(HCText::Telephone);
    m_fields[FName]->SetMaxLength(50);

    m_group = new QComboBox(this);
    m_group->setObjectName(QStringLiteral("cmbGroup"));
    m_sex = new QComboBox(this);
    m_sex->setObjectName(QStringLiteral("cmbSex"));
    m_abo = new QComboBox(this);
    m_abo->setObjectName(QStringLiteral("cmbABO"));
    m_state = new QComboBox(this);
    m_state->setObjectName(QStringLiteral("cmbState"));

    auto date = [this](const char* name) {
        auto* d = new HCDate(this);
        d->setObjectName(QString::fromLatin1(name));
        d->SetAllowEmpty(true);
        return d;
    };
    m_insert = date("hdInsert");
    m_barth = date("hdBarth");
    m_marry = date("hdMarry");
    m_ect = date("hdECT");
    m_fee = date("hdFee");
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("btnOX(%1)").arg(i));
        b->setFixedWidth(34);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { setCalendarFlag(i, calendarFlag(i) ? 0 : 1); });
        m_ox << b;
    }
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(i == 0 ? QStringLiteral("미혼") : QStringLiteral("기혼"), this);
        r->setObjectName(QStringLiteral("opMarry(%1)").arg(i));
        m_marryOx << r;
    }
    m_memo = new QTextEdit(this);
    m_memo->setObjectName(QStringLiteral("MemoBox"));
    m_memo->setTabChangesFocus(true);
    m_memo->setMaximumHeight(70);

    m_pic = new QLabel(this);
    m_pic->setTextFormat(Qt::PlainText);
    m_pic->setObjectName(QStringLiteral("imgPic"));
    m_pic->setFixedSize(110, 130);
    m_pic->setFrameShape(QFrame::Box);
    m_pic->setAlignment(Qt::AlignCenter);
    m_pic->setCursor(Qt::PointingHandCursor);
    m_pic->installEventFilter(this);
    auto* base = new QLabel(QStringLiteral("사진없음"), this);
    base->setObjectName(QStringLiteral("imgBase"));
    base->hide();
    auto* btnPic = new QPushButton(QStringLiteral("사진"), this);
    btnPic->setObjectName(QStringLiteral("btnPic"));
    auto* btnPicDel = new QPushButton(QStringLiteral("삭제"), this);
    btnPicDel->setObjectName(QStringLiteral("btnPicDel"));
    connect(btnPic, &QPushButton::clicked, this, &frmFriendAdd::choosePicture);
    connect(btnPicDel, &QPushButton::clicked, this, &frmFriendAdd::removePicture);

    m_date = new QLabel(this);
    m_date->setTextFormat(Qt::PlainText);
    m_date->setObjectName(QStringLiteral("lblDate"));
    m_cun = new QCheckBox(QStringLiteral("계속 등록하기"), this);
    m_cun->setObjectName(QStringLiteral("chkCun"));
    m_auto = new QCheckBox(QStringLiteral("자동"), this);
    m_auto->setObjectName(QStringLiteral("chkAuto"));
    m_ex = new QCheckBox(QStringLiteral("확장"), this);
    m_ex->setObjectName(QStringLiteral("chkEx"));
    m_cun->setChecked(Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CHKCUNTINUE"), QStringLiteral("1")) != QStringLiteral("0"));
    m_auto->setChecked(Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CHKAUTO"), QStringLiteral("1")) != QStringLiteral("0"));
    // Settings follow the user's clicks only; setting a box from code writes nothing.
    connect(m_cun, &QCheckBox::clicked, this, [](bool on) {
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CHKCUNTINUE"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(m_auto, &QCheckBox::clicked, this, [this](bool on) {
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CHKAUTO"), on ? QStringLiteral("1") : QStringLiteral("0"));
        if (on)
            m_fields[FCodeNo]->clear();
        m_fields[FCodeNo]->SetLocked(on);
    });
    connect(m_ex, &QCheckBox::toggled, this, &frmFriendAdd::setExtendedVisible);

    auto button = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* save = button(QStringLiteral("btnSave"), QStringLiteral("저장(&S)"));
    QPushButton* close = button(QStringLiteral("btnClose"), QStringLiteral("닫기(&X)"));
    QPushButton* groups = button(QStringLiteral("btnShowFindFld"), QStringLiteral("..."));
    QPushButton* userSet = button(QStringLiteral("btnUserSet"), QStringLiteral("항목명 설정"));
    QPushButton* zipHome = button(QStringLiteral("btnCharge(0)"), QStringLiteral("우편번호"));
    QPushButton* zipWork = button(QStringLiteral("btnCharge(1)"), QStringLiteral("우편번호"));
    zipHome->setEnabled(bool(ZipLookup()));
    zipWork->setEnabled(bool(ZipLookup()));
    connect(zipHome, &QPushButton::clicked, this, [this] { lookupZip(FHomeZip, true); });
    connect(zipWork, &QPushButton::clicked, this, [this] { lookupZip(FComZip, true); });
    connect(save, &QPushButton::clicked, this, [this] { RecSave(); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(groups, &QPushButton::clicked, this, &frmFriendAdd::openGroupWindow);
    connect(userSet, &QPushButton::clicked, this, &frmFriendAdd::toggleUserNames);

    // ---- layout ----
    auto* basic = new QGridLayout;
    int r = 0;
    auto row2 = [&](const QString& c1, QWidget* w1, const QString& c2, QWidget* w2) {
        basic->addWidget(caption(c1, this), r, 0);
        basic->addWidget(w1, r, 1);
        if (w2) {
            basic->addWidget(caption(c2, this), r, 2);
            basic->addWidget(w2, r, 3);
        }
        ++r;
    };
    auto hbox = [this](std::initializer_list<QWidget*> widgets) {
        auto* w = new QWidget(this);
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        for (QWidget* x : widgets)
            l->addWidget(x);
        return w;
    };
    row2(QStringLiteral("관리번호"), hbox({m_fields[FCodeNo], m_auto}), QStringLiteral("회원상태"), m_state);
    row2(QStringLiteral("*이   름"), m_fields[FName], QStringLiteral("그   룹"), hbox({m_group, groups}));
    row2(QStringLiteral("주민 No"), m_fields[FIdNo], QStringLiteral("성   별"), m_sex);
    row2(QStringLiteral("휴 대 폰"), m_fields[FMobile], QStringLiteral("전 화 1"), m_fields[FPhone1]);
    row2(QStringLiteral("전 화 2"), m_fields[FPhone2], QStringLiteral("전 화 3"), m_fields[FPhone3]);
    row2(QStringLiteral("관   계"), m_fields[FRelation], QStringLiteral("혈 액 형"), m_abo);
    row2(QStringLiteral("E_Mail"), m_fields[FMail], QStringLiteral("Home Page"), m_fields[FHomePage]);
    row2(QStringLiteral("우편번호"), hbox({m_fields[FHomeZip], zipHome}), QStringLiteral("등 록 일"), m_insert);
    basic->addWidget(caption(QStringLiteral("주   소"), this), r, 0);
    basic->addWidget(hbox({m_fields[FHomeAdd], m_fields[FHomeAdd2]}), r, 1, 1, 3);
    ++r;
    row2(QStringLiteral("생   일"), hbox({m_barth, m_ox[0]}), QStringLiteral("결혼여부"), hbox({m_marryOx[0], m_marryOx[1]}));
    row2(QStringLiteral("결혼기념일"), hbox({m_marry, m_ox[1]}), QStringLiteral("기타기념일"), hbox({m_ect, m_ox[2]}));
    row2(QStringLiteral("회비시작일"), m_fee, QStringLiteral("최종수정일 :"), m_date);
    basic->addWidget(caption(QStringLiteral("메   모"), this), r, 0);
    basic->addWidget(m_memo, r, 1, 1, 3);

    m_exPanel = new QGroupBox(QStringLiteral("근무지"), this);
    m_exPanel->setObjectName(QStringLiteral("pnlEx"));
    auto* ex = new QGridLayout(m_exPanel);
    int e = 0;
    auto exRow = [&](const QString& c1, QWidget* w1, const QString& c2, QWidget* w2) {
        ex->addWidget(caption(c1, m_exPanel), e, 0);
        ex->addWidget(w1, e, 1);
        ex->addWidget(caption(c2, m_exPanel), e, 2);
        ex->addWidget(w2, e, 3);
        ++e;
    };
    exRow(QStringLiteral("회 사 명"), m_fields[FComName], QStringLiteral("부    서"), m_fields[FPart]);
    exRow(QStringLiteral("직    책"), m_fields[FPosition], QStringLiteral("담당업무"), m_fields[FGrade]);
    exRow(QStringLiteral("직통전화"), m_fields[FFinalLine], QStringLiteral("대표전화"), m_fields[FKeyLine]);
    exRow(QStringLiteral("내선"), m_fields[FInline], QStringLiteral("팩   스"), m_fields[FFax]);
    exRow(QStringLiteral("우편번호"), hbox({m_fields[FComZip], zipWork}), QStringLiteral("근무지주소"),
          hbox({m_fields[FComAdd], m_fields[FComAdd2]}));
    exRow(QStringLiteral("E_Mail 2"), m_fields[FMail2], QStringLiteral("HomePage 2"), m_fields[FHomePage2]);
    m_exPanel->hide();

    // User fields: the 18 names beside their inputs.
    auto* user = new QGroupBox(QStringLiteral("사용자 정의 항목"), this);
    user->setObjectName(QStringLiteral("pnlUser"));
    auto* ul = new QGridLayout(user);
    for (int i = 0; i < UserFieldCount; ++i) {
        auto* name = new HCText(user);
        name->setObjectName(QStringLiteral("htUser(%1)").arg(i));
        name->SetLocked(true);
        name->setFocusPolicy(Qt::ClickFocus);
        name->setMaximumWidth(110);
        // Greyed until the user names the field.
        name->setPlaceholderText(QStringLiteral("사용자정의 %1").arg(i + 1));
        m_userNames << name;
        const int row = i / 2, col = (i % 2) * 3;
        ul->addWidget(name, row, col);
        if (i < 2) {
            auto* d = new HCDate(user);
            d->setObjectName(QStringLiteral("HDUser(%1)").arg(i));
            d->SetAllowEmpty(true);
            m_userDates << d;
            ul->addWidget(d, row, col + 1, 1, 2);
        } else {
            const int k = i - 2;
            auto* c = new QComboBox(user);
            c->setObjectName(QStringLiteral("cmbUser(%1)").arg(k));
            c->setEditable(true);
            c->setInsertPolicy(QComboBox::NoInsert);
            m_userCombos << c;
            auto* b = new QPushButton(QStringLiteral("…"), user);
            b->setObjectName(QStringLiteral("btnListEdit(%1)").arg(k));
            b->setFixedWidth(24);
            b->setAutoDefault(false);
            b->setFocusPolicy(Qt::NoFocus);
            connect(b, &QPushButton::clicked, this, [this, k] { openListEditor(k); });
            ul->addWidget(c, row, col + 1);
            ul->addWidget(b, row, col + 2);
        }
    }

    auto* picBox = new QVBoxLayout;
    picBox->addWidget(m_pic);
    picBox->addWidget(hbox({btnPic, btnPicDel}));
    picBox->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(basic, 1);
    top->addLayout(picBox);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ex);
    buttons->addWidget(m_cun);
    buttons->addWidget(userSet);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(m_exPanel);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addWidget(user, 2);

    // Keyboard order: identity, phones, address, dates, memo.
    QList<QWidget*> order = {m_fields[FCodeNo], m_fields[FName], m_group, m_fields[FIdNo], m_sex,
                             m_fields[FMobile], m_fields[FPhone1], m_fields[FPhone2], m_fields[FPhone3],
                             m_fields[FRelation], m_abo, m_fields[FMail], m_fields[FHomePage],
                             m_fields[FHomeZip], m_fields[FHomeAdd], m_fields[FHomeAdd2], m_insert,
                             m_barth, m_marryOx[0], m_marry, m_ect, m_fee, m_memo};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmFriendAdd::applyFriendCodeOption()
{
    const bool on = GetOption(QStringLiteral("friendcode"), QStringLiteral("0")) == QStringLiteral("1");
    m_fields[FCodeNo]->setVisible(on);
    m_auto->setVisible(on);
    // Without management numbers nothing is numbered; the stored choice returns with them.
    m_auto->setChecked(on && Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CHKAUTO"),
                                           QStringLiteral("1")) != QStringLiteral("0"));
    m_fields[FCodeNo]->SetLocked(m_auto->isChecked());
}

void frmFriendAdd::setExtendedVisible(bool on)
{
    m_exPanel->setVisible(on);
    if (m_ex->isChecked() != on)
        m_ex->setChecked(on);
}

int frmFriendAdd::calendarFlag(int i) const
{
    return m_ox[i]->property("flag").toInt();
}

void frmFriendAdd::setCalendarFlag(int i, int flag)
{
    flag = qAbs(flag) ? 1 : 0;
    m_ox[i]->setProperty("flag", flag);
    m_ox[i]->setText(flag ? QStringLiteral("음 ") : QStringLiteral("양 "));
    // The date beside the toggle is checked in the calendar it names.
    const QList<HCDate*> dates = {m_barth, m_marry, m_ect};
    dates[i]->SetLunar(flag == 1);
}

void frmFriendAdd::loadGroups(const QString& keep)
{
    m_group->clear();
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT gname FROM tblgroup ORDER BY code")) > 0) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            m_group->addItem(rs.text(QStringLiteral("gname")).trimmed());
    }
    const int index = m_group->findText(keep.trimmed());
    m_group->setCurrentIndex(index >= 0 ? index : 0);
}

void frmFriendAdd::UpdateGroup()
{
    loadGroups(m_group->currentText());
}

void frmFriendAdd::setGroupName(const QString& name)
{
    const int index = m_group->findText(name.trimmed());
    if (index >= 0)
        m_group->setCurrentIndex(index);
}

void frmFriendAdd::loadUserPanel()
{
    const QStringList names = LoadUserFieldNames();
    for (int i = 0; i < UserFieldCount; ++i)
        m_userNames[i]->setText(names.value(i));
    for (int k = 0; k < UserPickListCount; ++k)
        reloadPickList(k);
}

void frmFriendAdd::reloadPickList(int k)
{
    if (k < 0 || k >= m_userCombos.size())
        return;
    QComboBox* c = m_userCombos[k];
    const QString current = c->currentText();
    c->clear();
    for (const auto& v : PickListValues(k))
        c->addItem(v.second);
    c->setEditText(current);
}

void frmFriendAdd::clearInputs()
{
    for (HCText* f : m_fields)
        f->clear();
    m_memo->clear();
    m_sex->clear();
    m_sex->addItems({QStringLiteral(" "), QStringLiteral("남"), QStringLiteral("여")});
    m_abo->clear();
    m_abo->addItems({QStringLiteral(" "), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("AB"), QStringLiteral("O")});
    loadGroups(QString());
    m_insert->SetText(todayText());
    m_fee->SetText(todayText());
    m_barth->SetText(QString());
    m_marry->SetText(QString());
    m_ect->SetText(QString());
    for (int i = 0; i < 3; ++i)
        setCalendarFlag(i, 0);
    m_marryOx[0]->setChecked(true);
    m_date->clear();
    setPicture(QString());
    for (QComboBox* c : m_userCombos)
        c->setEditText(QString());
    for (HCDate* d : m_userDates)
        d->SetText(QString());
    m_state->clear();
    m_state->addItems({QStringLiteral("정상"), QStringLiteral("중지")});
    m_state->setCurrentIndex(0);
    showIdNo(QString());
}

void frmFriendAdd::SetFormMode(int mode, int code)
{
    RecordEditor::SetFormMode(mode, code);
    m_cun->setVisible(mode == NewMode);
    if (mode == EditMode)
        setExtendedVisible(!MemberWorkFieldsEmpty(code));
}

void frmFriendAdd::DispRec(int code)
{
    clearInputs();
    const MemberValues v = LoadMember(code);
    if (v.isEmpty())
        return;
    auto text = [&](const char* column) { return v.value(QString::fromLatin1(column)).toString(); };
    for (const auto& fc : fieldColumns())
        m_fields[fc.first]->setText(text(fc.second));
    m_fields[FCode]->setText(QString::number(code));
    showIdNo(text("idno"));
    loadGroups(GroupNameByCode(v.value(QStringLiteral("ctblgroup")).toInt()));
    // A stored value the list has no entry for (sex "M", blood type "AB-") is shown as
    // an extra entry, so that it is seen and saved back unchanged.
    auto showStored = [](QComboBox* box, const QString& stored) {
        const QString t = stored.trimmed();
        if (t.isEmpty()) return box->setCurrentIndex(0);
        if (box->findText(t) < 0) box->addItem(t);
        box->setCurrentIndex(box->findText(t));
    };
    showStored(m_sex, text("male"));
    showStored(m_abo, text("abo"));
    m_insert->SetText(text("insertday"));
    m_fee->SetText(text("feestart"));
    m_barth->SetText(text("barthday"));
    m_marry->SetText(text("marryday"));
    m_ect->SetText(text("ectday"));
    setCalendarFlag(0, v.value(QStringLiteral("lunarbarth")).toInt());
    setCalendarFlag(1, v.value(QStringLiteral("lunarmarry")).toInt());
    setCalendarFlag(2, v.value(QStringLiteral("lunarect")).toInt());
    m_marryOx[v.value(QStringLiteral("marryox")).toInt() ? 1 : 0]->setChecked(true);
    m_memo->setPlainText(text("smemo"));
    m_date->setText(text("finalday"));
    setPicture(text("picture"));
    const int hidden = v.value(QStringLiteral("hidden")).toInt();
    if (hidden == 0 || hidden == 1) {
        m_state->setCurrentIndex(hidden);
    } else {
        m_state->addItem(QString::number(hidden), hidden);
        m_state->setCurrentIndex(m_state->count() - 1);
    }
    for (int i = 0; i < 2; ++i)
        m_userDates[i]->SetText(v.value(QStringLiteral("userfieldnote%1").arg(i + 1)).toString());
    for (int k = 0; k < UserPickListCount; ++k)
        m_userCombos[k]->setEditText(v.value(QStringLiteral("userfieldnote%1").arg(k + 3)).toString());
}

void frmFriendAdd::showIdNo(const QString& stored)
{
    HCText* f = m_fields[FIdNo];
    m_storedIdNo = stored;
    const QString full = DecryptIdNo(stored);
    // Without the data key a sealed number cannot be shown, and no new one can be sealed:
    // the input is locked so the stored value is never overwritten.
    const bool unreadable = full.isNull() || !DataKey::loaded();
    f->setText(full.isNull() ? NoKeyText() : full);
    f->SetLocked(unreadable);
    f->setToolTip(unreadable ? QStringLiteral("주민번호 암호키 파일이 없어 주민번호를 보거나 고칠 수 없습니다.\n키 파일 위치: ")
                                   + DataKey::expectedPath()
                             : QString());
    m_shownIdNo = f->text();
}

int frmFriendAdd::savedCode() const
{
    return m_savedCode;
}

bool frmFriendAdd::checkField(int index)
{
    if (m_checking || index < 0 || index >= FieldCount)
        return true;
    HCText* f = m_fields[index];
    const QString value = f->text();
    m_checking = true;
    bool ok = true;
    auto refocus = [f] { QTimer::singleShot(0, f, [f] { f->setFocus(); }); };
    const QString ownCode = QStringLiteral("code <> ") + QString::number(mode() == EditMode ? code() : 0);
    switch (index) {
    case FCodeNo: {
        const QString upper = value.toUpper();
        if (upper != value)
            f->setText(upper);
        if (!upper.isEmpty() && upper.size() < 6
            && AskYesNo(QStringLiteral("코드는 6자리를 사용하길 권장합니다. 나머지를 자동으로 채울까요?"))) {
            const QString next = NextSerialCode(QStringLiteral("tblfriend"), QStringLiteral("codeno"), 6, upper);
            if (!next.isEmpty())
                f->setText(next);
        }
        break;
    }
    case FName:
        if (!value.isEmpty() && App().duplicateMemberCheck
            && CheckDuplicate(QStringLiteral("tblfriend"), QStringLiteral("sname"), value, ownCode, true,
                              QStringLiteral("이름"))) {
            f->clear();
            refocus();
            ok = false;
        }
        break;
    case FIdNo:
        if (!f->Locked() && !value.trimmed().isEmpty()) {
            if (!IsValidResidentNo(value)) {
                MsgInfo(QStringLiteral("유효한 주민등록 번호가 아닙니다."));
                refocus();
                ok = false;
            } else {
                f->setText(FormatResidentNo(value));
            }
        }
        break;
    case FMobile:
    case FPhone1:
    case FPhone2:
        // The mobile column is compared as well: two members sharing a mobile number
        // are as likely a duplicate as a shared landline.
        // Numbers are compared by their digits: the check runs before the input formats
        // what was typed, and "01012345678" is the stored "010-1234-5678".
        if (const QString digits = PhoneDigits(value); !digits.isEmpty() && App().duplicateMemberCheck
            && CheckDuplicateAny(QStringLiteral("tblfriend"),
                                 {PhoneDigitsSql(QStringLiteral("hpline")), PhoneDigitsSql(QStringLiteral("hline1")),
                                  PhoneDigitsSql(QStringLiteral("hline2")), PhoneDigitsSql(QStringLiteral("hline3"))},
                                 digits, ownCode, true, QStringLiteral("전화번호"), FormatTelephone(value))) {
            f->clear();
            refocus();
            ok = false;
        }
        break;
    default:
        break;
    }
    f->setModified(false);
    m_checking = false;
    return ok;
}

QString frmFriendAdd::picturePath() const
{
    return m_pic->property(kPictureTag).toString();
}

void frmFriendAdd::setPicture(const QString& path)
{
    m_pic->setProperty(kPictureTag, path);
    QPixmap pix;
    if (!path.isEmpty() && pix.load(path)) {
        m_pic->setPixmap(pix.scaled(m_pic->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        m_pic->setPixmap(QPixmap());
        m_pic->setText(path.isEmpty() ? QStringLiteral("사진없음") : QStringLiteral("사진을 열 수 없습니다"));
    }
}

bool frmFriendAdd::choosePicture()
{
    const QString path = prompt().openFileName(QStringLiteral("고객 이미지(그림) 선택"), DataPath(QStringLiteral("Image")),
                                               QStringLiteral("그림 파일 (*.jpg *.jpeg *.png *.bmp *.gif);;모든 파일 (*)"));
    if (path.isEmpty())
        return false;
    const QString problem = CheckPicturePath(path);
    if (!problem.isEmpty()) {
        MsgInfo(problem);
        return false;
    }
    setPicture(path);
    setDirty(true);
    return true;
}

void frmFriendAdd::removePicture()
{
    setPicture(QString());
    setDirty(true);
}

void frmFriendAdd::showPicture()
{
    const QString path = picturePath();
    if (path.isEmpty())
        return;
    auto* viewer = new frmImage(path);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
}

void frmFriendAdd::toggleUserNames()
{
    if (!m_userEditing) {
        m_userEditing = true;
        m_userNamesBefore.clear();
        for (HCText* n : m_userNames) {
            m_userNamesBefore << n->text();
            n->SetLocked(false);
            n->setFocusPolicy(Qt::StrongFocus);
        }
        m_userNames[0]->setFocus();
        return;
    }
    QStringList names;
    for (HCText* n : m_userNames)
        names << n->text().trimmed();
    bool changed = false;
    for (int i = 0; i < names.size(); ++i)
        changed = changed || names[i] != m_userNamesBefore.value(i).trimmed();
    if (changed && AskYesNo(QStringLiteral("변경된 설정내용을 저장하시겠습니까?"))) {
        SaveUserFieldNames(names);
        ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    } else if (changed) {
        for (int i = 0; i < m_userNames.size(); ++i)
            m_userNames[i]->setText(m_userNamesBefore.value(i));
    }
    for (HCText* n : m_userNames) {
        n->SetLocked(true);
        n->setFocusPolicy(Qt::ClickFocus);
    }
    m_userEditing = false;
}

void frmFriendAdd::openListEditor(int k)
{
    auto* editor = new frmFriendUserSet;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->SetFormMode(k);
    connect(editor, &frmFriendUserSet::closed, this, [this, k] { reloadPickList(k); });
    editor->setWindowModality(Qt::ApplicationModal);
    PlaceOver(editor, this);
    editor->show();
}

void frmFriendAdd::openGroupWindow()
{
    auto* groups = ChildWindow<frmGroupSub>(QStringLiteral("frmGroupSub"));
    groups->SetFormMode(1, true);
    QPointer<frmFriendAdd> self(this);
    connect(groups, &frmGroupSub::groupSaved, this, [self] {
        if (self)
            self->UpdateGroup();
    });
    FormFocus(groups);
}

bool frmFriendAdd::checkInputs()
{
    // The checks below move the focus themselves: leaving a field here must not check it
    // again (a second message, and the focus pulled back from where the first one put it).
    const QScopedValueRollback<bool> quiet(m_checking, true);
    if (m_userEditing) {
        if (!AskYesNo(QStringLiteral("사용자 설정을 수정중입니다.") + QLatin1Char('\n')
                      + QStringLiteral("사용자 설정수정을 지금 완료하시겠습니까?")))
            return false;
        toggleUserNames();
    }
    if (m_fields[FName]->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("이름이 입력되지 않았습니다"));
        m_fields[FName]->setFocus();
        return false;
    }
    // A resident number never reaches the record unless it is valid.
    const QString idno = m_fields[FIdNo]->text();
    if (!m_fields[FIdNo]->Locked() && !idno.trimmed().isEmpty()) {
        if (!IsValidResidentNo(idno)) {
            MsgInfo(QStringLiteral("유효한 주민등록 번호가 아닙니다."));
            m_fields[FIdNo]->setFocus();
            return false;
        }
        m_fields[FIdNo]->setText(FormatResidentNo(idno));
    }
    return true;
}

QString frmFriendAdd::recordTable() const
{
    return QStringLiteral("tblfriend");
}

QVariantHash frmFriendAdd::stampValues() const
{
    return {{QStringLiteral("finalday"), todayText()}};
}

QVariantHash frmFriendAdd::inputValues() const
{
    MemberValues v;
    for (const auto& fc : fieldColumns())
        v.insert(QString::fromLatin1(fc.second), m_fields[fc.first]->text());
    v.insert(QStringLiteral("sname"), m_fields[FName]->text().trimmed());
    const QString idno = m_fields[FIdNo]->text();
    if (m_fields[FIdNo]->Locked() || idno == m_shownIdNo)
        v.insert(QStringLiteral("idno"), m_storedIdNo);
    else
        v.insert(QStringLiteral("idno"), idno.isEmpty() ? QString() : EncryptIdNo(idno));
    int group = GroupCodeByName(m_group->currentText());
    v.insert(QStringLiteral("ctblgroup"), group > 0 ? group : 1);
    v.insert(QStringLiteral("male"), m_sex->currentText().isEmpty() ? QStringLiteral(" ") : m_sex->currentText());
    v.insert(QStringLiteral("abo"), m_abo->currentText().isEmpty() ? QStringLiteral(" ") : m_abo->currentText());
    v.insert(QStringLiteral("picture"), picturePath());
    v.insert(QStringLiteral("insertday"), m_insert->Text());
    v.insert(QStringLiteral("feestart"), m_fee->Text());
    v.insert(QStringLiteral("barthday"), m_barth->Text());
    v.insert(QStringLiteral("marryday"), m_marry->Text());
    v.insert(QStringLiteral("ectday"), m_ect->Text());
    v.insert(QStringLiteral("lunarbarth"), calendarFlag(0));
    v.insert(QStringLiteral("lunarmarry"), calendarFlag(1));
    v.insert(QStringLiteral("lunarect"), calendarFlag(2));
    v.insert(QStringLiteral("marryox"), m_marryOx[1]->isChecked() ? 1 : 0);
    v.insert(QStringLiteral("smemo"), m_memo->toPlainText());
    // A stored status the box has no entry for is shown as an extra entry holding it.
    const QVariant extraState = m_state->currentData();
    v.insert(QStringLiteral("hidden"), extraState.isValid() ? extraState.toInt() : m_state->currentIndex() == 1 ? 1 : 0);
    for (int i = 0; i < 2; ++i)
        v.insert(QStringLiteral("userfieldnote%1").arg(i + 1), m_userDates[i]->Text());
    for (int k = 0; k < UserPickListCount; ++k)
        v.insert(QStringLiteral("userfieldnote%1").arg(k + 3), m_userCombos[k]->currentText());
    return StoredMemberValues(v);
}

int frmFriendAdd::writeRecord()
{
    const bool isNew = mode() != EditMode;
    int rows = 0;
    if (isNew) {
        // The automatic code is read and its row inserted under one write lock, so two PCs
        // never hand out the same code.
        const bool autoCode = !m_auto->isHidden() && m_auto->isChecked();
        int newCode = 0;
        QString codeNo;
        rows = SaveNewMember(inputValues(), autoCode, &newCode, &codeNo);
        if (autoCode)
            m_fields[FCodeNo]->setText(codeNo);
        if (rows > 0)
            m_savedCode = newCode;
    } else {
        rows = updateChangedColumns();
        if (rows > 0)
            m_savedCode = code();
    }
    if (rows > 0) {
        m_fields[FCode]->setText(QString::number(m_savedCode));
        m_date->setText(todayText());
    }
    return rows;
}

void frmFriendAdd::focusFirstInput()
{
    QWidget* first = m_fields[FCodeNo]->isVisibleTo(this) && !m_fields[FCodeNo]->Locked() ? m_fields[FCodeNo] : m_fields[FName];
    first->setFocus();
}

bool frmFriendAdd::lookupZip(int zipField, bool openWhenNone)
{
    if (!ZipLookup())
        return false;
    const int addr = zipField == FHomeZip ? FHomeAdd : FComAdd;
    const int addr2 = zipField == FHomeZip ? FHomeAdd2 : FComAdd2;
    QString post, address;
    if (!ZipLookup()(this, m_fields[zipField]->text().trimmed(), openWhenNone, &post, &address)) {
        m_fields[zipField]->setFocus();
        return false;
    }
    m_fields[zipField]->setText(post);
    m_fields[addr]->setText(address);
    m_fields[addr2]->setFocus();
    return true;
}

bool frmFriendAdd::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in a zip input with text and no address yet looks the address up.
    if (event->type() == QEvent::KeyPress
        && (watched == m_fields[FHomeZip] || watched == m_fields[FComZip])) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int zip = watched == m_fields[FHomeZip] ? FHomeZip : FComZip;
        const int addr = zip == FHomeZip ? FHomeAdd : FComAdd;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ZipLookup()
            && !m_fields[zip]->text().trimmed().isEmpty() && m_fields[addr]->text().trimmed().isEmpty()) {
            lookupZip(zip, false);
            return true;
        }
    }
    if (watched == m_pic && event->type() == QEvent::MouseButtonRelease) {
        showPicture();
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        const int index = m_fields.indexOf(static_cast<HCText*>(watched));
        if (index >= 0 && m_fields[index]->isModified())
            checkField(index);
    }
    return RecordEditor::eventFilter(watched, event);
}

void frmFriendAdd::closeEvent(QCloseEvent* event)
{
    RecordEditor::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

std::optional<PickRow> frmFriendAdd::addFromPicker(const QString& name)
{
    QPointer<frmFriendAdd> editor = new frmFriendAdd;
    editor->SetFormMode(NewMode);
    // Without "continue", and the user's setting for it stays as it was.
    editor->m_cun->blockSignals(true);
    editor->m_cun->setChecked(false);
    editor->m_cun->blockSignals(false);
    editor->m_cun->hide();
    editor->m_fields[FName]->setText(name);
    std::optional<PickRow> added;
    connect(editor, &RecordEditor::recordSaved, editor, [&added, editor](int code) {
        added = PickRow{code, editor->m_fields[FName]->text().trimmed()};
    });
    QEventLoop loop;
    connect(editor, &frmFriendAdd::closed, &loop, &QEventLoop::quit);
    connect(editor, &QObject::destroyed, &loop, &QEventLoop::quit);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
    loop.exec();
    if (editor)
        editor->deleteLater();
    return added;
}

void RegisterMemberPicker()
{
    RegisterPickEditor(QStringLiteral("tblfriend"),
                       [](const QString&, const QString& name) { return frmFriendAdd::addFromPicker(name); });
}
