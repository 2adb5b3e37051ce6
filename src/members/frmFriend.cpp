#include "members/frmFriend.h"

#include "core/PrivateData.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/UserFields.h"
#include "members/frmFriendAdd.h"
#include "members/frmSearchGroup.h"
#include "ui/ExcelExport.h"
#include "ui/FloatNotice.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCTerm.h"
#include "core/Prompt.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"
#include "ui/SqlRowSource.h"
#include "ui/cFpPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
std::function<void(int)> g_tradeOpener;
std::function<void(Grid*)> g_smsOpener;
std::function<void(Grid*)> g_dmOpener;
std::function<int()> g_groupPicker;

const QColor kAltRow(245, 245, 245);
const QColor kCheckedRow(255, 228, 181);
const int kKeyRole = Qt::UserRole;       // "G" + code or "F" + code
const int kNameRole = Qt::UserRole + 1;  // the text before an in-place edit

QIcon paintSexIcon(const QString& male)
{
    QColor color(150, 150, 150);
    if (male == QStringLiteral("남"))
        color = QColor(60, 110, 200);
    else if (male == QStringLiteral("여"))
        color = QColor(210, 80, 120);
    QPixmap pix(14, 14);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(3, 1, 8, 6));
    p.drawRoundedRect(QRectF(1, 7, 12, 7), 3, 3);
    return QIcon(pix);
}

// The three member icons are painted once: a group can hold thousands of members. They
// are kept for the life of the process (never destroyed after the application object).
QIcon sexIcon(const QString& male)
{
    static const QIcon* const icons = new QIcon[3]{paintSexIcon(QStringLiteral("남")),
                                                   paintSexIcon(QStringLiteral("여")), paintSexIcon(QString())};
    if (male == QStringLiteral("남"))
        return icons[0];
    if (male == QStringLiteral("여"))
        return icons[1];
    return icons[2];
}

// A member in the tree: its code, its name before an in-place edit, the name shown and its
// icon are kept as plain values and given out under their roles, so a group of thousands
// is made without a list of stored values in every item.
class MemberTreeItem final : public QTreeWidgetItem {
public:
    MemberTreeItem(int code, const QString& name, const QIcon& icon)
        : QTreeWidgetItem(UserType), m_code(code), m_name(name), m_text(name), m_icon(icon)
    {
        setFlags(flags() | Qt::ItemIsEditable);
    }
    int code() const { return m_code; }
    QVariant data(int column, int role) const override
    {
        if (column == 0) {
            switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return m_text;
            case Qt::DecorationRole: return m_icon;
            case kKeyRole: return QString(QLatin1Char('F') + QString::number(m_code));
            case kNameRole: return m_name;
            default: break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
    void setData(int column, int role, const QVariant& value) override
    {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            if (value.toString() == m_text)
                return;
            m_text = value.toString();
            emitDataChanged(); // the tree's itemChanged, as for any item
        } else if (column == 0 && role == Qt::DecorationRole) {
            m_icon = value.value<QIcon>();
            emitDataChanged();
        } else if (column == 0 && role == kKeyRole) {
            m_code = QStringView(value.toString()).mid(1).toInt();
        } else if (column == 0 && role == kNameRole) {
            m_name = value.toString();
        } else {
            QTreeWidgetItem::setData(column, role, value);
        }
    }

private:
    int m_code;
    QString m_name; // before an in-place edit
    QString m_text; // shown
    QIcon m_icon;
};

QIcon groupIcon()
{
    QPixmap pix(14, 14);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setBrush(QColor(230, 180, 60));
    p.setPen(QColor(160, 120, 30));
    p.drawRect(1, 3, 12, 9);
    return QIcon(pix);
}

QString detailCaption(int i)
{
    static const char* const captions[] = {
        "이      름", "그      룹", "주민번호", "성      별", "휴 대 폰", "전 화 1", "전 화 2", "전 화 3",
        "직통전화", "대표전화", "팩      스", "관      계", "이 메 일", "홈페이지", "관리번호", "생      일",
        "결혼여부", "결혼기념일", "기타기념일", "혈 액 형", "회사/부서", "직책/업무", "이메일2/홈2", "메      모"};
    return QString::fromUtf8(captions[i]);
}
} // namespace

void frmFriend::setTradeViewOpener(std::function<void(int)> opener) { g_tradeOpener = std::move(opener); }
void frmFriend::setSmsOpener(std::function<void(Grid*)> opener) { g_smsOpener = std::move(opener); }
void frmFriend::setDmOpener(std::function<void(Grid*)> opener) { g_dmOpener = std::move(opener); }
void frmFriend::setGroupPicker(std::function<int()> picker) { g_groupPicker = std::move(picker); }

frmFriend::frmFriend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmFriend"));
    setWindowTitle(QStringLiteral("회원관리"));
    resize(1100, 680);
    buildUi();
    SetGridColumns();
    SetTv();
    m_period->ThisMonth();
    InitSearch();
    clearDetail();
    SetUserColumns();
    Search();
}

frmFriend::~frmFriend() = default;

void frmFriend::buildUi()
{
    // ---- search bar ----
    m_top = new QWidget(this);
    m_top->setObjectName(QStringLiteral("pnlTop1"));
    m_date = new QComboBox(m_top);
    m_date->setObjectName(QStringLiteral("cmbDate"));
    m_period = new HCTerm(m_top);
    m_period->setObjectName(QStringLiteral("htDate"));
    m_menu = new QComboBox(m_top);
    m_menu->setObjectName(QStringLiteral("cmbMenu"));
    m_text = new QLineEdit(m_top);
    CapSearchInput(m_text);
    m_text->setObjectName(QStringLiteral("txtData"));
    m_data = new QComboBox(m_top);
    m_data->setObjectName(QStringLiteral("cmbData"));
    m_data->hide();
    m_hidden = new QCheckBox(QStringLiteral("중지회원"), m_top);
    m_hidden->setObjectName(QStringLiteral("chkHidden"));
    connect(m_menu, &QComboBox::currentIndexChanged, this, &frmFriend::menuChanged);
    connect(m_hidden, &QCheckBox::toggled, this, &frmFriend::Search);
    connect(m_text, &QLineEdit::returnPressed, this, &frmFriend::Search);

    auto button = [this](QWidget* parent, const char* name, const QString& text) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    QPushButton* query = button(m_top, "btnQuery", QStringLiteral("조회(F5)"));
    connect(query, &QPushButton::clicked, this, &frmFriend::Search);
    auto* bar = new QHBoxLayout(m_top);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_date);
    bar->addWidget(m_period);
    bar->addSpacing(12);
    bar->addWidget(m_menu);
    bar->addWidget(m_text, 1);
    bar->addWidget(m_data, 1);
    bar->addWidget(m_hidden);
    bar->addWidget(query);

    // ---- tree ----
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("tvFriend"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true); // one line each: a group of thousands lays out at once
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { nodeClicked(item); });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { nodeRenamed(item); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &frmFriend::nodeMenu);

    // ---- grid ----
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setAllowsReports(true);
    m_grid->setAllowsShortcutList(true);
    SetFitToPageAllowed(m_grid, true); // the wide member list may be scaled to the page
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    GridMenu::attach(m_grid, this);
    // The panel shows the member of the active row, wherever it moved from (click, keys,
    // find, a refill or a deletion).
    connect(m_grid, &Grid::cellClicked, this, [this](int, int) { showActiveDetail(); });
    connect(m_grid, &Grid::activeCellChanged, this, [this](int, int) { showActiveDetail(); });
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int col, int row) {
        if (col != ColCheck)
            rowDoubleClicked(row);
    });
    connect(m_grid, &Grid::cellChanged, this, [this](int col, int row) {
        if (col == ColCheck && !m_bulk)
            checkChanged(row);
    });

    // ---- detail panel ----
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("pnlFriend"));
    auto* detail = new QGridLayout(m_panel);
    for (int i = 0; i < 24; ++i) {
        auto* c = new QLabel(detailCaption(i), m_panel);
        auto* l = new QLabel(m_panel);
        l->setObjectName(QStringLiteral("lblData(%1)").arg(i));
        l->setTextFormat(Qt::PlainText); // stored text is shown as written, never as markup
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        detail->addWidget(c, i, 0);
        detail->addWidget(l, i, 1);
        m_detail << l;
    }
    static const char* const pointCaptions[] = {"누적포인트", "가용포인트", "사용포인트"};
    for (int i = 0; i < 3; ++i) {
        auto* c = new QLabel(QString::fromUtf8(pointCaptions[i]), m_panel);
        auto* l = new QLabel(m_panel);
        l->setObjectName(QStringLiteral("lblPoint(%1)").arg(i));
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        detail->addWidget(c, 24 + i, 0);
        detail->addWidget(l, 24 + i, 1);
        m_points << l;
    }
    detail->setRowStretch(27, 1);
    m_panel->setMinimumWidth(240);

    // ---- buttons ----
    auto* buttons = new QHBoxLayout;
    QPushButton* add = button(this, "btnRecAdd", QStringLiteral("신규(F2)"));
    QPushButton* edit = button(this, "btnRecEdit", QStringLiteral("수정"));
    QPushButton* del = button(this, "btnRecDel", QStringLiteral("삭제(F4)"));
    m_trade = button(this, "btnTrade", QStringLiteral("거래"));
    m_sms = button(this, "btnSMS", QStringLiteral("문자전송"));
    m_dm = button(this, "btnDM", QStringLiteral("DM발송"));
    QPushButton* excel = button(this, "btnExcel", QStringLiteral("엑셀"));
    QPushButton* print = button(this, "btnPrint", QStringLiteral("인쇄"));
    QPushButton* show = button(this, "btnShow", QStringLiteral("상세보기"));
    QPushButton* close = button(this, "btnClose", QStringLiteral("닫기"));
    m_selectAll = new QCheckBox(QStringLiteral("전체선택"), this);
    m_selectAll->setObjectName(QStringLiteral("chkSelectAll"));
    m_count = new QLabel(QStringLiteral("0"), this);
    m_count->setObjectName(QStringLiteral("lblCountRec"));
    m_trade->setEnabled(bool(g_tradeOpener));
    m_sms->setEnabled(bool(g_smsOpener));
    m_dm->setEnabled(bool(g_dmOpener));
    connect(add, &QPushButton::clicked, this, [this] { openEditor(0); });
    connect(edit, &QPushButton::clicked, this, &frmFriend::editSelected);
    connect(del, &QPushButton::clicked, this, &frmFriend::DeleteMembers);
    connect(m_trade, &QPushButton::clicked, this, [this] {
        const int code = GetSelectedCode();
        if (code <= 0)
            MsgInfo(QStringLiteral("거래를 입력할 회원을 선택하세요."));
        else if (g_tradeOpener)
            g_tradeOpener(code);
    });
    connect(m_sms, &QPushButton::clicked, this, [this] {
        if (g_smsOpener)
            g_smsOpener(m_grid);
    });
    connect(m_dm, &QPushButton::clicked, this, [this] {
        if (m_checked == 0)
            MsgInfo(QStringLiteral("거래처들을 선택후 [DB발송]버튼 클릭시 DM발송창으로 자동으로 넘어갑니다."));
        if (g_dmOpener)
            g_dmOpener(m_grid);
    });
    connect(excel, &QPushButton::clicked, this, [this] { ExportToExcelFile(m_grid, QStringLiteral("Sheet1")); });
    connect(print, &QPushButton::clicked, this,
            [this] { PrintGridForReport(objectName(), m_grid, QStringLiteral("회원 리스트")); });
    connect(show, &QPushButton::clicked, this, [this] { m_panel->setVisible(!m_panel->isVisible()); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_selectAll, &QCheckBox::toggled, this, &frmFriend::selectAllChanged);
    buttons->addWidget(m_selectAll);
    buttons->addWidget(new QLabel(QStringLiteral("선택:"), this));
    buttons->addWidget(m_count);
    buttons->addStretch();
    for (QPushButton* b : {add, edit, del, m_trade, m_sms, m_dm, excel, print, show, close})
        buttons->addWidget(b);

    auto* split = new QSplitter(this);
    split->addWidget(m_tree);
    split->addWidget(m_grid);
    split->addWidget(m_panel);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 5);
    split->setStretchFactor(2, 1);
    split->setSizes({170, 700, 240});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_top);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    m_text->installEventFilter(this);
    m_data->installEventFilter(this);
}

void frmFriend::InitSearch()
{
    m_date->blockSignals(true);
    m_date->clear();
    m_date->addItems(MemberDateChoices());
    m_date->setCurrentIndex(0);
    m_date->blockSignals(false);
    m_userFieldNames = LoadUserFieldNames();
    m_menu->blockSignals(true);
    m_menu->clear();
    m_menu->addItems(MemberMenuChoices());
    for (const QString& name : m_userFieldNames) {
        if (!name.isEmpty())
            m_menu->addItem(name);
    }
    m_menu->setCurrentIndex(0);
    m_menu->blockSignals(false);
    m_text->clear();
    menuChanged();
}

void frmFriend::menuChanged()
{
    using namespace MemberSearchText;
    const QString menu = m_menu->currentText();
    m_data->clear();
    bool choice = true;
    if (menu == MenuGroup) {
        for (const auto& g : GroupNames())
            m_data->addItem(g.second, g.first);
    } else if (!MemberMenuValues(menu).isEmpty()) {
        m_data->addItems(MemberMenuValues(menu));
    } else {
        choice = false;
    }
    m_data->setVisible(choice);
    m_text->setVisible(!choice);
}

MemberSearchInput frmFriend::searchInput() const
{
    MemberSearchInput in;
    in.dateKind = m_date->currentText();
    in.start = m_period->Text1();
    in.end = m_period->Text2();
    in.menu = m_menu->currentText();
    in.text = m_text->text();
    in.choice = m_data->currentText();
    in.groupCode = m_data->currentData().toInt();
    in.hidden = m_hidden->isChecked();
    in.userFieldNames = m_userFieldNames;
    in.userColumns.clear();
    for (int c = ColCount; c <= m_grid->maxCols(); ++c) {
        const QString tag = m_grid->colTag(c);
        if (tag.startsWith(QStringLiteral("userfieldnote")))
            in.userColumns << tag.mid(13).toInt() - 1;
    }
    return in;
}

void frmFriend::Search()
{
    const MemberSearchInput in = searchInput();
    const QStringList order = MemberSearchOrder(in);
    QList<SqlRowSource::Key> keys = {{order.at(0), QStringLiteral("ctblgroup")}, {order.at(1), QStringLiteral("code")}};
    // The grid column of each user field shown; the field's result column is looked up per block.
    QList<QPair<int, QString>> userTags;
    for (int c = ColCount; c <= m_grid->maxCols(); ++c) {
        if (!m_grid->colTag(c).isEmpty())
            userTags.append({c, m_grid->colTag(c)});
    }
    const int cols = qMax(m_grid->maxCols(), int(BaseColumns));
    auto format = [cols, userTags](const Recordset& rs, QVector<QStringList>& out) {
        // Columns of the statement by name, once per block.
        auto at = [&rs](const char* name) { return rs.fieldIndex(QString::fromLatin1(name)); };
        const int iGroup = at("gname"), iName = at("sname"), iMobile = at("hpline"), iPhone1 = at("hline1"),
                  iBirth = at("barthday"), iZip = at("hzipno"), iAdd1 = at("homeadd"), iAdd2 = at("homeadd2"),
                  iMemo = at("smemo"), iIdNo = at("idno"), iMail = at("mail"), iHome = at("homepi"),
                  iPhone2 = at("hline2"), iFax = at("faxline"), iInsert = at("insertday"), iFee = at("feestart"),
                  iMarry = at("marryox"), iMarryDay = at("marryday"), iEct = at("ectday"), iRel = at("relation"),
                  iSex = at("male"), iAbo = at("abo"), iCode = at("code");
        QList<QPair<int, int>> userCols; // grid column, field index
        for (const auto& t : userTags)
            userCols.append({t.first, rs.fieldIndex(t.second)});
        const QString single = QStringLiteral("미혼"), married = QStringLiteral("기혼");
        const int n = rs.recordCount();
        out.reserve(out.size() + n);
        for (int r = 0; r < n; ++r) {
            const QVector<QVariant>& v = rs.row(r);
            auto s = [&v](int i) -> QString {
                if (i < 0)
                    return {};
                const QVariant& x = v.at(i);
                return x.typeId() == QMetaType::QString ? *static_cast<const QString*>(x.constData()) : x.toString();
            };
            QStringList row(cols);
            int k = 0;
            for (int i : {iGroup, iName, iMobile, iPhone1, iBirth})
                row[k++] = s(i);
            row[k++] = s(iZip) + QLatin1Char(' ') + s(iAdd1) + QLatin1Char(' ') + s(iAdd2);
            row[k++] = s(iMemo);
            row[k++] = QString();
            row[k++] = IdNoForDisplay(s(iIdNo));
            for (int i : {iMail, iHome, iPhone2, iFax, iInsert, iFee})
                row[k++] = s(i);
            row[k++] = v.at(iMarry).toInt() == 0 ? single : married;
            for (int i : {iMarryDay, iEct, iRel, iSex, iAbo, iCode, iAdd1, iAdd2, iZip})
                row[k++] = s(i);
            for (const auto& uc : userCols)
                row[uc.first - 1] = s(uc.second);
            out.append(std::move(row));
        }
    };
    // The first block shows at once; the rest is read as the list scrolls, or all at once
    // for find, export, print and ticking every row.
    if (!m_grid->fillFrom(std::make_unique<SqlRowSource>(MemberSearchSelect(in), std::move(keys), format)))
        return; // the database layer has reported it; the grid stays as it was
    m_countSql = MemberSearchCount(in);
    {
        const QSignalBlocker quiet(m_selectAll); // a new result starts with nothing ticked
        m_selectAll->setChecked(false);
    }
    m_checked = 0;
    m_count->setText(QStringLiteral("0"));
    showActiveDetail();
    if (m_grid->dataRowCnt() == 0)
        ShowFloatNotice(QStringLiteral("검색된 결과가 없습니다."));
}

void frmFriend::showActiveDetail()
{
    const int row = m_grid->activeRow();
    if (row >= 1 && row <= m_grid->dataRowCnt())
        ShowMemberDetail(m_grid->text(ColCode, row).toInt());
    else
        clearDetail();
}

void frmFriend::SetGridColumns()
{
    m_grid->setMaxCols(BaseColumns);
    m_grid->setHeaderTexts({QStringLiteral("그룹"), QStringLiteral("이름"), QStringLiteral("휴대폰"),
                            QStringLiteral("전화1"), QStringLiteral("생일"), QStringLiteral("주소"),
                            QStringLiteral("메모"), QStringLiteral("선택"), QStringLiteral("주민번호"),
                            QStringLiteral("이메일"), QStringLiteral("홈페이지"), QStringLiteral("전화2"),
                            QStringLiteral("팩스"), QStringLiteral("등록일"), QStringLiteral("회비시작일"),
                            QStringLiteral("결혼"), QStringLiteral("결혼기념일"), QStringLiteral("기타기념일"),
                            QStringLiteral("관계"), QStringLiteral("성별"), QStringLiteral("혈액형"),
                            QStringLiteral("code"), QStringLiteral("주소1"), QStringLiteral("주소2"),
                            QStringLiteral("우편번호")});
    m_grid->setColType(ColCheck, CellType::CheckBox);
    MarkTickColumn(m_grid, ColCheck);
    m_grid->setColWidth(ColCheck, 36);
    m_grid->setColWidth(ColAddress, 220);
    m_grid->setColWidth(ColMemo, 160);
    m_grid->setOddEvenRowColor(Qt::white, kAltRow);
    // A ticked row is marked by its background, kept by the grid, not per row.
    m_grid->setTickedRowColor(ColCheck, kCheckedRow);
    for (int c = ColCode; c <= ColZip; ++c)
        m_grid->setColHidden(c, true);
    if (Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("CLIENT_SORT"), QStringLiteral("0"))
        != QStringLiteral("0")) {
        for (int c = ColGroup; c <= ColBlood; ++c) {
            if (c != ColCheck)
                m_grid->setColAlignment(c, Qt::AlignCenter);
        }
    }
}

void frmFriend::SetUserColumns()
{
    m_grid->setMaxCols(BaseColumns);
    for (int i : FilledUserFields()) {
        const int col = m_grid->maxCols() + 1;
        m_grid->setMaxCols(col);
        m_grid->setHeaderText(col, UserFieldHeading(i));
        m_grid->setColWidth(col, 15 * 8);
        m_grid->setColTag(col, UserFieldColumn(i));
    }
}

void frmFriend::UpdateFriend()
{
    m_grid->setMaxCols(BaseColumns);
    SetUserColumns();
    Search();
    SetTv();
}

void frmFriend::updateFriend2()
{
    SetTv();
    Search();
}

void frmFriend::SetTv()
{
    m_loadingTree = true;
    m_tree->clear();
    for (const auto& g : GroupNames()) {
        auto* item = new QTreeWidgetItem(m_tree, {g.second});
        item->setData(0, kKeyRole, QStringLiteral("G") + QString::number(g.first));
        item->setData(0, kNameRole, g.second);
        item->setIcon(0, groupIcon());
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    m_loadingTree = false;
}

QTreeWidgetItem* frmFriend::groupNode(int groupCode) const
{
    const QString key = QStringLiteral("G") + QString::number(groupCode);
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        if (m_tree->topLevelItem(i)->data(0, kKeyRole).toString() == key)
            return m_tree->topLevelItem(i);
    }
    return nullptr;
}

void frmFriend::loadGroupMembers(QTreeWidgetItem* groupItem)
{
    // The group's rows are read again; the member items already shown are kept and only
    // those another PC (or another window) changed are rewritten, so opening a group again
    // costs its query and little more. Items are added and removed in one batch each.
    m_loadingTree = true;
    const int code = QStringView(groupItem->data(0, kKeyRole).toString()).mid(1).toInt();
    const QList<MemberNode> members = GroupMembers(code);
    const int shown = groupItem->childCount();
    if (shown > members.size()) {
        QList<QTreeWidgetItem*> gone;
        gone.reserve(shown - members.size());
        for (int i = shown - 1; i >= int(members.size()); --i)
            gone << groupItem->takeChild(i);
        qDeleteAll(gone);
    }
    const int kept = qMin(shown, int(members.size()));
    for (int i = 0; i < kept; ++i) {
        QTreeWidgetItem* child = groupItem->child(i);
        const MemberNode& m = members.at(i);
        const auto* item = dynamic_cast<const MemberTreeItem*>(child);
        if ((item ? item->code() : QStringView(child->data(0, kKeyRole).toString()).mid(1).toInt()) != m.code)
            child->setData(0, kKeyRole, QStringLiteral("F") + QString::number(m.code));
        if (child->text(0) != m.name) {
            child->setText(0, m.name);
            child->setData(0, kNameRole, m.name);
        }
        const QIcon icon = sexIcon(m.male.trimmed());
        if (child->icon(0).cacheKey() != icon.cacheKey())
            child->setIcon(0, icon);
    }
    QList<QTreeWidgetItem*> added;
    added.reserve(members.size() - kept);
    for (qsizetype i = kept; i < members.size(); ++i) {
        const MemberNode& m = members.at(i);
        added << new MemberTreeItem(m.code, m.name, sexIcon(m.male.trimmed()));
    }
    if (!added.isEmpty())
        groupItem->addChildren(added);
    groupItem->setExpanded(true);
    m_loadingTree = false;
}

void frmFriend::nodeClicked(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString key = item->data(0, kKeyRole).toString();
    if (key.startsWith(QLatin1Char('G'))) {
        loadGroupMembers(item);
        return;
    }
    const int code = key.mid(1).toInt();
    int row = m_grid->searchCol(ColCode, 1, -1, QString::number(code));
    if (row < 1 && m_grid->hasMoreRows()) { // the member's row may not have been read yet
        m_grid->fetchAll();
        row = m_grid->searchCol(ColCode, 1, -1, QString::number(code));
    }
    if (row >= 1)
        m_grid->setActiveCell(ColName, row);
    ShowMemberDetail(code);
}

void frmFriend::nodeRenamed(QTreeWidgetItem* item)
{
    if (m_loadingTree || !item)
        return;
    const QString key = item->data(0, kKeyRole).toString();
    const QString before = item->data(0, kNameRole).toString();
    const QString after = item->text(0);
    if (after == before)
        return;
    const int code = key.mid(1).toInt();
    const bool isGroup = key.startsWith(QLatin1Char('G'));
    // A member keeps a name, as in the editor.
    if (!isGroup && after.trimmed().isEmpty())
        MsgInfo(QStringLiteral("이름이 입력되지 않았습니다"));
    const bool ok = isGroup ? RenameGroup(code, after)
                            : !after.trimmed().isEmpty() && RenameMember(code, after);
    m_loadingTree = true;
    if (ok) {
        const QString stored = key.startsWith(QLatin1Char('G')) ? after.trimmed() : after;
        item->setText(0, stored);
        item->setData(0, kNameRole, stored);
    } else {
        item->setText(0, before);
    }
    m_loadingTree = false;
    if (ok)
        Search();
}

int frmFriend::pickGroup()
{
    return g_groupPicker ? g_groupPicker() : frmSearchGroup::pickGroup(this);
}

void frmFriend::runNodeCommand(QTreeWidgetItem* item, const QString& number)
{
    if (!item)
        return;
    const QString key = item->data(0, kKeyRole).toString();
    const int code = key.mid(1).toInt();
    if (key.startsWith(QLatin1Char('G'))) {
        if (number == QStringLiteral("01")) {
            const int target = pickGroup();
            if (target <= 0) {
                MsgInfo(QStringLiteral("그룹선택에 실패 하였습니다."));
                return;
            }
            if (!MoveGroupMembers(code, target)) {
                MsgInfo(QStringLiteral("이동 실패"));
                return;
            }
            SetTv();
            Search();
        } else if (number == QStringLiteral("03")) {
            if (code == 1) {
                MsgInfo(QStringLiteral("[기본그룹]은 삭제할수 없습니다."));
                return;
            }
            if (IsCodeInUse(QStringLiteral("tblfriend"), QStringLiteral("ctblgroup"), QString::number(code), false,
                            QStringLiteral("tblfriend"), true)
                || IsCodeInUse(QStringLiteral("tblgroupmon"), QStringLiteral("ctblgroup"), QString::number(code), false,
                               QStringLiteral("tblgroupmon"), true))
                return;
            if (ExecSQL(QStringLiteral("DELETE FROM tblgroup where code = ?"), {code}) <= 0) {
                MsgInfo(QStringLiteral("삭제 실패"));
                return;
            }
            delete item;
        }
        return;
    }
    if (number == QStringLiteral("01")) {
        // Guarded like the list's delete: a member with trades stays.
        if (!DeleteOneMember(code))
            return;
        delete item;
        Search();
    } else if (number == QStringLiteral("02")) {
        openEditor(code);
    } else if (number == QStringLiteral("03")) {
        const int target = pickGroup();
        if (target <= 0) {
            MsgInfo(QStringLiteral("그룹선택에 실패 하였습니다."));
            return;
        }
        if (!MoveMember(code, target)) {
            MsgInfo(QStringLiteral("이동 실패"));
            return;
        }
        if (QTreeWidgetItem* targetNode = groupNode(target)) {
            if (item->parent())
                item->parent()->removeChild(item);
            targetNode->addChild(item);
        }
        Search();
    }
}

void frmFriend::nodeMenu(const QPoint& pos)
{
    QTreeWidgetItem* item = m_tree->itemAt(pos);
    if (!item)
        return;
    const bool group = item->data(0, kKeyRole).toString().startsWith(QLatin1Char('G'));
    const QStringList entries = group
        ? QStringList{QStringLiteral("01모든회원 이 동"), QStringLiteral("-"), QStringLiteral("03그  룹    삭  제"),
                      QStringLiteral("-"), QStringLiteral("00메  뉴    닫  기")}
        : QStringList{QStringLiteral("01회 원  삭 제"), QStringLiteral("02회 원  수 정"), QStringLiteral("-"),
                      QStringLiteral("03그 룹  이 동"), QStringLiteral("-"), QStringLiteral("00메 뉴  닫 기")};
    QMenu menu(this);
    for (const QString& e : entries) {
        if (e == QStringLiteral("-"))
            menu.addSeparator();
        else
            menu.addAction(e)->setData(e.left(2));
    }
    QAction* chosen = menu.exec(m_tree->viewport()->mapToGlobal(pos));
    if (chosen && chosen->data().toString() != QStringLiteral("00"))
        runNodeCommand(item, chosen->data().toString());
}

void frmFriend::clearDetail()
{
    for (QLabel* l : m_detail)
        l->clear();
    for (QLabel* l : m_points)
        l->clear();
    m_lineWidths.fill(0);
}

void frmFriend::ShowMemberDetail(int code)
{
    // Texts are replaced, not cleared first: a selectable label keeps its text document
    // when its text changes, and clearing would throw it away for every member shown.
    const MemberDetail d = LoadMemberDetail(code);
    if (!d.found) {
        clearDetail();
        return;
    }
    auto t = [&d](const char* column) { return d.values.value(QString::fromLatin1(column)).toString(); };
    auto join = [](const QString& a, const QString& b) {
        return a.isEmpty() ? b : (b.isEmpty() ? a : a + QStringLiteral(" / ") + b);
    };
    const QLocale locale(QLocale::English);
    const QStringList texts = {t("sname"), d.groupName, IdNoForDisplay(t("idno")), t("male"), t("hpline"), t("hline1"),
                               t("hline2"), t("hline3"), d.phoneWork, t("keyline"), t("faxline"), t("relation"),
                               t("mail"), t("homepi"), t("codeno"), d.birthday, d.marriedText, d.marryday,
                               d.ectday, t("abo"), join(t("comname"), t("spart")), join(t("sposition"), t("sgrade")),
                               join(t("mail2"), t("homepi2")), t("smemo"),
                               locale.toString(d.accumulatedPoints), locale.toString(d.availablePoints),
                               locale.toString(d.usedPoints)};
    // Only the labels whose text changed are set, and the panel is sized again only when
    // its longest line changed width. A line measured narrower than the longest at most
    // (each character as wide as the widest) is not measured unless the longest shrinks.
    const QList<QLabel*> labels = m_detail + m_points;
    if (m_lineWidths.size() != labels.size())
        m_lineWidths = QList<int>(labels.size(), 0);
    const QFontMetrics metrics(m_panel->font());
    const qint64 widestChar = qMax(1, metrics.maxWidth());
    constexpr int kBelowLongest = -1; // not measured: narrower than m_longestLine
    int longest = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QString& text = texts.at(i);
        if (labels[i]->text() != text) {
            labels[i]->setText(text);
            const bool mayBeLongest = m_lineWidths[i] == m_longestLine
                                      || text.size() * widestChar >= m_longestLine;
            m_lineWidths[i] = mayBeLongest ? metrics.horizontalAdvance(text) : kBelowLongest;
        }
        longest = qMax(longest, m_lineWidths[i]);
    }
    if (longest < m_longestLine) { // the longest line got shorter: which one is it now?
        for (qsizetype i = 0; i < labels.size(); ++i) {
            if (m_lineWidths[i] == kBelowLongest)
                m_lineWidths[i] = metrics.horizontalAdvance(labels[i]->text());
            longest = qMax(longest, m_lineWidths[i]);
        }
    }
    if (longest == m_longestLine)
        return;
    m_longestLine = longest;
    // The panel widens to its longest line (a lunar date with this year's solar day), so
    // nothing is cut; the splitter takes the width from the grid.
    const int wanted = qMax(240, m_panel->layout()->minimumSize().width());
    m_panel->setMinimumWidth(wanted);
    if (auto* split = qobject_cast<QSplitter*>(m_panel->parentWidget()); split && m_panel->width() < wanted) {
        QList<int> sizes = split->sizes();
        const int at = split->indexOf(m_panel);
        const int more = wanted - sizes.value(at);
        for (int i = at - 1; i >= 0; --i) // the grid beside it gives first
            if (sizes[i] - more >= 100) {
                sizes[i] -= more;
                sizes[at] += more;
                split->setSizes(sizes);
                break;
            }
    }
}

int frmFriend::GetSelectedCode() const
{
    const int row = m_grid->activeRow();
    if (row < 1 || row > m_grid->dataRowCnt())
        return 0;
    return m_grid->text(ColCode, row).toInt();
}

void frmFriend::DeleteMembers()
{
    // Ticked rows not read yet (tick all) count too; once deleted they are not read.
    QList<int> codes;
    m_grid->forEachTickedRow(ColCheck, [&codes](int, const QStringList& texts) {
        codes << texts.value(ColCode - 1).toInt();
        return true;
    });
    if (!codes.isEmpty()) {
        const QList<int> deletedCodes = DeleteCheckedMembers(codes);
        const QSet<int> deleted(deletedCodes.cbegin(), deletedCodes.cend());
        m_bulk = true;
        for (int r = m_grid->dataRowCnt(); r >= 1; --r) {
            if (deleted.contains(m_grid->text(ColCode, r).toInt()))
                m_grid->deleteRows(r);
        }
        m_bulk = false;
        m_checked = qMax(0, m_checked - int(deleted.size()));
        m_count->setText(QString::number(m_checked));
        showActiveDetail();
        return;
    }
    const int code = GetSelectedCode();
    const int row = m_grid->activeRow();
    if (DeleteOneMember(code))
        m_grid->deleteRows(row);
    showActiveDetail();
}

void frmFriend::checkChanged(int row)
{
    m_checked += m_grid->text(ColCheck, row) == QStringLiteral("1") ? 1 : -1;
    m_checked = qMax(0, m_checked);
    m_count->setText(QString::number(m_checked));
}

void frmFriend::setRowChecked(int row, bool checked)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    const bool was = m_grid->text(ColCheck, row) == QStringLiteral("1");
    if (was == checked)
        return;
    m_bulk = true;
    m_grid->setText(ColCheck, row, checked ? QStringLiteral("1") : QString());
    m_bulk = false;
    checkChanged(row);
}

void frmFriend::invertChecks(int first, int last)
{
    for (int r = qMin(first, last); r <= qMax(first, last); ++r)
        setRowChecked(r, m_grid->text(ColCheck, r) != QStringLiteral("1"));
}

void frmFriend::selectAllChanged(bool on)
{
    // The rows read so far are ticked here; the rest of the list arrives ticked as it is
    // read, and what uses ticked rows reads them through the grid, so a long list is not
    // read whole for this. The rule covers the members found now (codes up to the highest):
    // one another PC adds later arrives unticked, so the rows shown ticked stay the ones
    // counted and used.
    const int rows = m_grid->dataRowCnt();
    const QString mark = on ? QStringLiteral("1") : QString();
    m_bulk = true;
    for (int r = 1; r <= rows; ++r) {
        if (m_grid->text(ColCheck, r) != mark)
            m_grid->setText(ColCheck, r, mark);
    }
    m_bulk = false;
    m_grid->setUnreadTicks(ColCheck, {});
    m_checked = on ? rows : 0;
    if (on && m_grid->hasMoreRows()) {
        Recordset rs;
        if (OpenRecordset(rs, m_countSql.sql, m_countSql.params) <= 0) {
            m_grid->fetchAll(); // the count failed (reported): tick what can be read
            selectAllChanged(on);
            return;
        }
        const qint64 last = rs.row(0).value(1).toLongLong();
        m_grid->setUnreadTicks(ColCheck, [last](const QStringList& texts) {
            return texts.value(ColCode - 1).toLongLong() <= last;
        });
        m_checked = qMax(rows, rs.row(0).value(0).toInt());
    }
    m_count->setText(QString::number(m_checked));
}

frmFriendAdd* frmFriend::openEditor(int code)
{
    auto* editor = ChildWindow<frmFriendAdd>(QStringLiteral("frmFriendAdd"));
    disconnect(editor, &RecordEditor::recordSaved, this, nullptr);
    connect(editor, &RecordEditor::recordSaved, this, [this](int) { UpdateFriend(); });
    editor->SetFormMode(code > 0 ? 2 : 1, code);
    FormFocus(editor);
    return editor;
}

void frmFriend::editSelected()
{
    const int code = GetSelectedCode();
    if (code <= 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
        return;
    }
    openEditor(code);
}

void frmFriend::rowDoubleClicked(int row)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    const int code = m_grid->text(ColCode, row).toInt();
    const QString click = Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("FRIEND_CLICK"), QStringLiteral("0"));
    if (click == QStringLiteral("1")) {
        if (g_tradeOpener)
            g_tradeOpener(code);
        return;
    }
    openEditor(code);
}

bool frmFriend::handleKey(int key)
{
    switch (key) {
    case Qt::Key_F2: openEditor(0); return true;
    case Qt::Key_F3:
        if (m_data->isVisibleTo(this))
            m_data->setFocus();
        else
            m_text->setFocus();
        return true;
    case Qt::Key_F4: DeleteMembers(); return true;
    case Qt::Key_F5: Search(); return true;
    case Qt::Key_F7: PrintGridForReport(objectName(), m_grid, QStringLiteral("회원 리스트")); return true;
    case Qt::Key_F8: ExportToExcelFile(m_grid, QStringLiteral("Sheet1")); return true;
    default: return false;
    }
}

bool frmFriend::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched != m_tree || key->key() != Qt::Key_F2) { // F2 in the tree renames the node
            if (handleKey(key->key()))
                return true;
        }
        if (watched == m_data && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            Search();
            return true;
        }
    }
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // A block of rows selected with the mouse inverts their checks.
        const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
        if (rows.size() > 1) {
            int first = INT_MAX, last = 0;
            for (const QModelIndex& i : rows) {
                first = qMin(first, i.row() + 1);
                last = qMax(last, i.row() + 1);
            }
            invertChecks(first, qMin(last, m_grid->dataRowCnt()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmFriend::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event->key()))
        QWidget::keyPressEvent(event);
}
