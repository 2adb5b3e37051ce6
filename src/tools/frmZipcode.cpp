#include "tools/frmZipcode.h"

#include "core/Prompt.h"
#include "tools/ZipCode.h"
#include "tools/ZipDownload.h"
#include "ui/Grid.h"
#include "ui/SearchInput.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

frmZipcode::frmZipcode(QWidget* parent) : QDialog(parent), m_db(std::make_unique<PostDatabase>()) {
    setObjectName(QStringLiteral("frmZipcode"));
    setWindowTitle(QStringLiteral("우편번호 검색"));
    resize(620, 420);
    m_input = new QLineEdit(this);
    CapSearchInput(m_input);
    m_input->setObjectName(QStringLiteral("txtInput"));
    m_input->setPlaceholderText(QStringLiteral("동 이름 또는 우편번호"));
    auto* find = new QPushButton(QStringLiteral("검색"), this);
    find->setObjectName(QStringLiteral("btnFind"));
    find->setAutoDefault(false);
    auto* sel = new QPushButton(QStringLiteral("선택"), this);
    sel->setObjectName(QStringLiteral("btnSel"));
    sel->setAutoDefault(false);
    auto* update = new QPushButton(QStringLiteral("우편번호 업데이트"), this);
    update->setObjectName(QStringLiteral("btnDBUpdate"));
    update->setAutoDefault(false);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("우편번호"), QStringLiteral("시도"), QStringLiteral("구군"), QStringLiteral("동"),
                            QStringLiteral("번지")});
    m_grid->setColWidth(ColZip, 70);
    m_grid->setColWidth(ColSido, 70);
    m_grid->setColWidth(ColGugun, 90);
    m_grid->setColWidth(ColDong, 120);
    m_grid->setColWidth(ColBunji, 200);
    m_grid->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("검색어"), this));
    top->addWidget(m_input, 1);
    top->addWidget(find);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(update);
    bottom->addStretch(1);
    bottom->addWidget(sel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    connect(find, &QPushButton::clicked, this, [this] { RefreshSheet(); });
    connect(m_input, &QLineEdit::returnPressed, this, [this] { RefreshSheet(); });
    connect(sel, &QPushButton::clicked, this, [this] { btnSel(); });
    connect(update, &QPushButton::clicked, this, [this] { btnDBUpdate(); });
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int, int row) { takeRow(row); });
    openDatabase();
}

frmZipcode::~frmZipcode() = default;

bool frmZipcode::isReady() const { return m_db->isOpen(); }

bool frmZipcode::openDatabase() {
    const QString path = PostDatabasePath();
    // A first start finds no data yet: the bundled sample stands in until an update.
    if (!QFile::exists(path)) InstallSamplePostDatabase(path);
    QString why;
    if (!QFile::exists(path) || !m_db->open(path, &why)) {
        prompt().message(Prompt::Icon::Warning, path + QStringLiteral("\n우편번호 DB를 찾을 수 없습니다."), {});
        return false;
    }
    return true;
}

int frmZipcode::RefreshSheet() {
    const QString input = m_input->text().trimmed();
    if (input.isEmpty()) {
        MsgInfo(QStringLiteral("검색어를 입력하세요."));
        m_input->setFocus();
        return -1;
    }
    if (!m_db->isOpen() && !openDatabase()) return -1;
    QVector<ZipRow> rows;
    QString why;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = m_db->search(input, rows, &why);
    QApplication::restoreOverrideCursor();
    m_grid->beginFill(int(rows.size()));
    for (const ZipRow& r : rows) m_grid->appendRow({FormatZipCode(r.zipcode), r.sido, r.gugun, r.dong, r.bunji});
    m_grid->endFill();
    if (!ok) {
        prompt().message(Prompt::Icon::Critical, why, QStringLiteral("MDB 오류"));
        return -1;
    }
    if (rows.isEmpty()) {
        MsgInfo(u'\'' + input + QStringLiteral("' 를 찾을 수 없습니다."));
        m_input->setFocus();
        m_input->selectAll();
        return 0;
    }
    m_grid->setActiveCell(ColZip, 1);
    m_grid->setFocus();
    return int(rows.size());
}

int frmZipcode::InitForm(const QString& searchText) {
    m_post.clear();
    m_addr.clear();
    m_input->setText(searchText.trimmed());
    if (searchText.trimmed().isEmpty() || !m_db->isOpen()) return -1;
    const int n = RefreshSheet();
    if (n == 1) takeRow(1);
    return n;
}

void frmZipcode::btnSel() {
    const int row = m_grid->activeRow();
    if (row < 1 || row > m_grid->dataRowCnt()) {
        MsgInfo(QStringLiteral("리스트에서 선택하세요."));
        return;
    }
    takeRow(row);
}

void frmZipcode::takeRow(int row) {
    if (row < 1 || row > m_grid->dataRowCnt()) return;
    m_post = FormatZipCode(m_grid->text(ColZip, row));
    m_addr = m_grid->text(ColSido, row) + u' ' + m_grid->text(ColGugun, row) + u' ' + m_grid->text(ColDong, row);
    accept();
}

void frmZipcode::btnDBUpdate() {
    if (ZipServerBaseUrl().isEmpty()) {
        MsgInfo(QStringLiteral("우편번호 서버가 지정되지 않았습니다.\n"
                               "[환경설정] 창의 [우편번호 서버]에 서버 주소를 입력한 뒤 다시 시도하세요."));
        return;
    }
    if (prompt().question(Prompt::Icon::Question,
                          QStringLiteral("정말 최신 우편번호로 업그레이드 하시겠습니까?\n컴퓨터환경에 따라 수분의 시간이 소요될수 있으며,\n"
                                         "업그레이드 도중 다른작업은 할 수 없습니다."),
                          {}, false, Prompt::Answer::No) != Prompt::Answer::Yes)
        return;
    m_db->close();
    QProgressDialog progress(QStringLiteral("우편번호 자료를 내려받고 있습니다..."), QStringLiteral("취소"), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString why;
    const bool ok = UpdatePostDatabase(ZipArchiveUrl(), PostDatabasePath(), 30000,
                                       [&progress](qint64 got, qint64 total) {
                                           if (total > 0) progress.setValue(int(got * 100 / total));
                                           return !progress.wasCanceled();
                                       },
                                       &why);
    progress.reset();
    if (ok) MsgInfo(QStringLiteral("우편번호 최신 업그레이드가 정상적으로 완료 되었습니다."));
    else {
        qInfo("zip-code update failed: %s", qPrintable(why));
        MsgInfo(QStringLiteral("우편번호 최신 업그레이드 실패하였습니다."));
    }
    openDatabase();
}

bool frmZipcode::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnSel();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool frmZipcode::Lookup(QWidget* parent, const QString& searchText, bool openWhenNone, QString* post, QString* addr) {
    frmZipcode dlg(parent);
    if (!dlg.isReady()) return false;
    const int found = dlg.InitForm(searchText);
    if (found == 0 && !openWhenNone) return false;
    if (dlg.Post().isEmpty()) dlg.exec();
    if (dlg.Post().isEmpty()) return false;
    if (post) *post = dlg.Post();
    if (addr) *addr = dlg.Addr();
    return true;
}
