#include "app/frmOption.h"

#include "app/OptionValues.h"
#include "app/Startup.h"
#include "ui/EditorNavigation.h"
#include "ui/FloatNotice.h"
#include "ui/HCText.h"
#include "core/Prompt.h"
#include "ui/TextRules.h"
#include "ui/WindowRegistry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QRadioButton* addRadio(QButtonGroup* group, const QString& name, int index, const QString& caption) {
    auto* b = new QRadioButton(caption);
    b->setObjectName(QStringLiteral("%1(%2)").arg(name).arg(index));
    group->addButton(b, index);
    return b;
}

void checkIndex(QButtonGroup* group, int index) {
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    // No valid index: no button chosen.
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(exclusive);
}
} // namespace

frmOption::frmOption(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("환경설정"));

    // Member management numbers
    auto* boxCode = new QGroupBox(QStringLiteral(" 회원 관리번호 사용여부 "));
    m_chkFriendcode = new QCheckBox(QStringLiteral("사용안함"));
    m_chkFriendcode->setObjectName(QStringLiteral("chkFriendcode"));
    (new QVBoxLayout(boxCode))->addWidget(m_chkFriendcode);

    // Start window
    auto* boxStart = new QGroupBox(QStringLiteral(" 프로그램 시작 화면 "));
    m_opStart = new QButtonGroup(this);
    auto* startLayout = new QGridLayout(boxStart);
    const QStringList startCaptions = {
        QStringLiteral("  회     원   관 리(&1)"), QStringLiteral("  가 계 부   관 리(&3)"),
        QStringLiteral("단 체 자 금 관 리(&4)"), QStringLiteral("회 원 거 래 관 리(&2)"),
        QStringLiteral("  스 케 쥴   관 리(&5)")};
    for (int i = 0; i < startCaptions.size(); ++i)
        startLayout->addWidget(addRadio(m_opStart, QStringLiteral("opStart"), i, startCaptions[i]), i / 2, i % 2);

    // Points
    auto* boxPoint = new QGroupBox(QStringLiteral(" 포인트 설정 "));
    m_opPoint = new QButtonGroup(this);
    m_htField = new HCText;
    m_htField->setObjectName(QStringLiteral("htField"));
    m_htField->SetAcceptType(HCText::Number);
    m_htField->SetDecPlace(2);
    m_htField->setAlignment(Qt::AlignRight);
    m_htField->setMaximumWidth(70);
    auto* pointRow = new QHBoxLayout;
    pointRow->addWidget(addRadio(m_opPoint, QStringLiteral("opPoint"), 0, QStringLiteral("수금액의 ")));
    pointRow->addWidget(m_htField);
    pointRow->addWidget(new QLabel(QStringLiteral("%")));
    pointRow->addStretch();
    auto* pointLayout = new QVBoxLayout(boxPoint);
    pointLayout->addLayout(pointRow);
    pointLayout->addWidget(addRadio(m_opPoint, QStringLiteral("opPoint"), 1, QStringLiteral("제품별로 설정된 포인트 적립")));

    // Member list window
    auto* boxFriend = new QGroupBox(QStringLiteral(" 회원관리 화면 "));
    m_opFriend = new QButtonGroup(this);
    auto* friendLayout = new QVBoxLayout(boxFriend);
    auto* friendRow = new QHBoxLayout;
    friendRow->addWidget(new QLabel(QStringLiteral("- 회원 더블클릭시")));
    friendRow->addWidget(addRadio(m_opFriend, QStringLiteral("opFriend"), 0, QStringLiteral("회원수정")));
    friendRow->addWidget(addRadio(m_opFriend, QStringLiteral("opFriend"), 1, QStringLiteral("회원거래")));
    friendRow->addStretch();
    friendLayout->addLayout(friendRow);
    m_chkRepetition = new QCheckBox(QStringLiteral("고객 등록시 고객명, 전화번호 중복체크"));
    m_chkRepetition->setObjectName(QStringLiteral("chkRepetition"));
    friendLayout->addWidget(m_chkRepetition);

    // Member trade window
    auto* boxSort = new QGroupBox(QStringLiteral(" 회원거래화면 고객정보 "));
    m_opClientSort = new QButtonGroup(this);
    auto* sortLayout = new QHBoxLayout(boxSort);
    sortLayout->addWidget(addRadio(m_opClientSort, QStringLiteral("opClientSort"), 0, QStringLiteral("기본값")));
    sortLayout->addWidget(addRadio(m_opClientSort, QStringLiteral("opClientSort"), 1, QStringLiteral("가운데 정렬")));
    sortLayout->addStretch();

    // Buttons
    m_btnSel = new QPushButton(QStringLiteral("적용(&A)"));
    m_btnSel->setObjectName(QStringLiteral("btnSel"));
    m_btnOK = new QPushButton(QStringLiteral("확인(&O)"));
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnCancel = new QPushButton(QStringLiteral("취소(&C)"));
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSel);
    buttons->addWidget(m_btnOK);
    buttons->addWidget(m_btnCancel);

    auto* boxZip = new QGroupBox(QStringLiteral(" 우편번호 서버 "));
    m_txtZipServer = new QLineEdit(boxZip);
    m_txtZipServer->setObjectName(QStringLiteral("txtZipServer"));
    m_txtZipServer->setPlaceholderText(QStringLiteral("예: http://zip.example.com"));
    m_txtZipServer->setMaxLength(200);
    auto* zipLayout = new QVBoxLayout(boxZip);
    zipLayout->addWidget(new QLabel(QStringLiteral("우편번호 최신 업그레이드를 내려받을 서버 주소")));
    zipLayout->addWidget(m_txtZipServer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boxCode);
    layout->addWidget(boxStart);
    layout->addWidget(boxPoint);
    layout->addWidget(boxFriend);
    layout->addWidget(boxSort);
    layout->addWidget(boxZip);
    layout->addStretch();
    layout->addLayout(buttons);

    display(OptionValues::load());

    connect(m_chkFriendcode, &QCheckBox::toggled, this, [this] {
        updateFriendcodeCaption();
        markChanged();
    });
    connect(m_chkRepetition, &QCheckBox::toggled, this, &frmOption::markChanged);
    for (QButtonGroup* g : {m_opStart, m_opPoint, m_opFriend, m_opClientSort})
        connect(g, &QButtonGroup::idToggled, this, [this](int, bool on) {
            if (on) markChanged();
        });
    connect(m_opPoint, &QButtonGroup::idToggled, this, [this](int, bool) { updatePointInput(); });
    connect(m_htField, &QLineEdit::textEdited, this, &frmOption::markChanged);
    connect(m_txtZipServer, &QLineEdit::textEdited, this, &frmOption::markChanged);
    connect(m_htField, &HCText::LostFocus, this, &frmOption::clampPercent);
    connect(m_btnSel, &QPushButton::clicked, this, [this] { RecSave(); });
    connect(m_btnOK, &QPushButton::clicked, this, [this] {
        if (RecSave()) CloseWindow(this);
    });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    EditorNavigation::install(this);
}

void frmOption::display(const OptionValues& v) {
    m_loading = true;
    m_chkFriendcode->setChecked(v.friendCode);
    m_storedStart = v.start;
    checkIndex(m_opStart, v.start);
    checkIndex(m_opPoint, v.pointIndex);
    // The percentage is shown only while points follow the amount collected.
    m_htField->setText(v.pointIndex == 0 ? OptionValues::percentText(v.point) : QString());
    checkIndex(m_opFriend, v.friendClick);
    checkIndex(m_opClientSort, v.clientSort);
    m_chkRepetition->setChecked(v.repetition);
    m_txtZipServer->setText(v.zipServer);
    updateFriendcodeCaption();
    updatePointInput();
    m_loading = false;
    setChanged(false);
}

OptionValues frmOption::collect() const {
    OptionValues v;
    v.friendCode = m_chkFriendcode->isChecked();
    v.start = m_opStart->checkedId() >= 0 ? m_opStart->checkedId() : m_storedStart;
    v.pointIndex = m_opPoint->checkedId() == 1 ? 1 : 0;
    v.point = OptionValues::percentFromText(m_htField->text());
    v.friendClick = m_opFriend->checkedId() == 1 ? 1 : 0;
    v.clientSort = m_opClientSort->checkedId() == 1 ? 1 : 0;
    v.repetition = m_chkRepetition->isChecked();
    v.zipServer = m_txtZipServer->text().trimmed();
    return v;
}

bool frmOption::RecSave() {
    clampPercent();
    if (!collect().save()) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return false;
    }
    ReadOptions();
    // Show what is stored now (the percentage is empty while points go per item).
    display(OptionValues::load());
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    return true;
}

void frmOption::markChanged() {
    if (!m_loading) setChanged(true);
}

void frmOption::setChanged(bool changed) {
    m_changed = changed;
    m_btnSel->setEnabled(changed);
}

void frmOption::updateFriendcodeCaption() {
    m_chkFriendcode->setText(m_chkFriendcode->isChecked() ? QStringLiteral("사용함") : QStringLiteral("사용안함"));
}

void frmOption::updatePointInput() {
    m_htField->setEnabled(m_opPoint->checkedId() == 0);
}

void frmOption::clampPercent() {
    const QString t = m_htField->text().trimmed();
    if (t.isEmpty()) return;
    if (NumericValue(t) > 100) m_htField->setText(QStringLiteral("100"));
}

void frmOption::closeEvent(QCloseEvent* event) {
    if (m_changed &&
        !AskYesNo(QStringLiteral("변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?"), {}, false)) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmOption::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        CloseWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}
