#include "members/FrmTool_ImpData.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/PrivateData.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/MemberImport.h"
#include "members/UserFields.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/SheetGrid.h"
#include "ui/SheetReader.h"
#include "ui/TextRules.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("DataImp");
constexpr int kMaxSheets = 21;

QString setting(const QString& key, const QString& fallback = {}) {
    return Settings::getIn(App().appTitle, kSection, key, fallback);
}

QString timeText() {
    return Clock::now().toString(QStringLiteral("HH:mm:ss"));
}

// Keeps the windows painted while the import works; input is held off by InputBlock.
void paintNow() {
    QCoreApplication::processEvents();
}

// While the rows are written, every input to any window of the program (mouse, keys,
// closing) is dropped, so nothing else runs meanwhile and no window is activated in front
// of the import window, whose bar and log stay in sight.
class InputBlock : public QObject {
public:
    InputBlock() {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~InputBlock() override {
        // Input that arrived during the last turn is dropped too.
        QCoreApplication::processEvents();
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }
};
} // namespace

FrmTool_ImpData::FrmTool_ImpData(QWidget* parent)
    : QWidget(parent), m_reader(std::make_unique<WorkbookReader>()),
      m_data(std::make_unique<SheetData>()) {
    setWindowTitle(QStringLiteral("고객 엑셀가져오기"));

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("txtPathExcel"));
    m_browse = new QPushButton(QStringLiteral("파일선택"), this);
    m_browse->setObjectName(QStringLiteral("btnGetXLSFile"));
    m_sheet = new QComboBox(this);
    m_sheet->setObjectName(QStringLiteral("cmbSheet"));
    m_sheet->setMinimumWidth(140);
    m_list = new Grid(this);
    m_list->setObjectName(QStringLiteral("spList"));
    m_list->setListMode();
    m_count = new QLabel(QStringLiteral("0"), this);
    m_count->setObjectName(QStringLiteral("lblDataCnt"));
    m_count->setTextFormat(Qt::PlainText);
    m_start = new QLineEdit(this);
    m_start->setObjectName(QStringLiteral("txtStartRow"));
    m_end = new QLineEdit(this);
    m_end->setObjectName(QStringLiteral("txtEndRow"));
    for (QLineEdit* e : {m_start, m_end}) {
        e->setMaximumWidth(80);
        e->setAlignment(Qt::AlignRight);
    }
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("cmbEditMode"));
    m_mode->addItems(
        {QStringLiteral("신규회원으로 추가"), QStringLiteral("관리번호가 같은 회원 수정")});
    m_type = new QRadioButton(QStringLiteral("회원자료"), this);
    m_type->setObjectName(QStringLiteral("optDataType(0)"));
    m_type->setChecked(true);
    m_import = new QPushButton(QStringLiteral("가져오기"), this);
    m_import->setObjectName(QStringLiteral("btnImport"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("txtLog"));
    m_log->setReadOnly(true);

    m_fields = new QGroupBox(QStringLiteral("필드 지정"), this);
    m_fields->setObjectName(QStringLiteral("FraFields"));
    auto* fg = new QGridLayout(m_fields);
    fg->setVerticalSpacing(2);
    const QStringList userNames = LoadUserFieldNames();
    auto chooser = [this](const QString& name) {
        auto* c = new QComboBox(m_fields);
        c->setObjectName(name);
        c->setMinimumWidth(110);
        return c;
    };
    for (int i = 0; i < ImportFieldCount; ++i) {
        m_columns << chooser(QStringLiteral("cmbColumn(%1)").arg(i));
        auto* l = new QLabel(QString::fromUtf8(ImportFieldAt(i).label), m_fields);
        l->setBuddy(m_columns[i]);
        fg->addWidget(l, i, 0);
        fg->addWidget(m_columns[i], i, 1);
    }
    for (int i = 0; i < ImportUserFieldCount; ++i) {
        m_users << chooser(QStringLiteral("cmbUser(%1)").arg(i));
        const QString own = userNames.value(i);
        auto* l =
            new QLabel(own.isEmpty() ? QStringLiteral("사용자정의%1").arg(i + 1) : own, m_fields);
        l->setTextFormat(Qt::PlainText);
        l->setBuddy(m_users[i]);
        fg->addWidget(l, i, 2);
        fg->addWidget(m_users[i], i, 3);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("엑셀파일"), this));
    top->addWidget(m_path, 1);
    top->addWidget(m_browse);
    top->addWidget(new QLabel(QStringLiteral("시트"), this));
    top->addWidget(m_sheet);
    top->addWidget(new QLabel(QStringLiteral("자료수"), this));
    top->addWidget(m_count);

    auto* range = new QHBoxLayout;
    range->addWidget(m_type);
    range->addStretch(1);
    range->addWidget(new QLabel(QStringLiteral("시작행"), this));
    range->addWidget(m_start);
    range->addWidget(new QLabel(QStringLiteral("종료행"), this));
    range->addWidget(m_end);
    range->addWidget(m_mode);
    range->addWidget(m_import);

    auto* right = new QVBoxLayout;
    right->addWidget(m_fields);
    right->addLayout(range);
    right->addWidget(m_progress);
    right->addWidget(m_log, 1);

    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(right);

    auto* root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addLayout(body, 1);
    resize(1180, 720);

    m_mode->setCurrentIndex(
        qBound(0, setting(QStringLiteral("EditMode"), QStringLiteral("0")).toInt(), 1));
    connect(m_mode, &QComboBox::currentIndexChanged, this,
            [](int i) { Settings::set(kSection, QStringLiteral("EditMode"), QString::number(i)); });
    Settings::set(kSection, QStringLiteral("DataType"), QStringLiteral("0"));
    connect(m_browse, &QPushButton::clicked, this, &FrmTool_ImpData::chooseFile);
    connect(m_path, &QLineEdit::editingFinished, this,
            [this] { openFile(m_path->text().trimmed()); });
    connect(m_sheet, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_loading && i >= 0) loadSheet(i);
    });
    connect(m_import, &QPushButton::clicked, this, [this] { runImport(); });

    const QString saved = setting(QStringLiteral("ExcelFilePath"));
    m_path->setText(saved);
    if (!saved.isEmpty()) openFile(saved);
}

FrmTool_ImpData::~FrmTool_ImpData() = default;

void FrmTool_ImpData::chooseFile() {
    const QString dir = QFileInfo(m_path->text()).absolutePath();
    const QString path = prompt().openFileName(QStringLiteral("엑셀파일 선택"), dir,
                                               QStringLiteral("ExcelFiles (*.xls *.xlsx *.csv)"));
    if (path.isEmpty()) return;
    m_path->setText(path);
    m_openPath.clear(); // chosen again: read it again, it may have changed
    openFile(path);
}

void FrmTool_ImpData::clearSheet() {
    *m_data = SheetData();
    m_list->beginFill(0);
    m_list->endFill();
    m_list->setMaxCols(0);
    m_count->setText(QStringLiteral("0"));
    m_start->clear();
    m_end->clear();
    refillChoosers();
}

void FrmTool_ImpData::openFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile() || path == m_openPath) return;
    m_openPath = path;
    m_loading = true;
    m_sheet->clear();
    m_loading = false;
    clearSheet();
    if (!m_reader->open(path)) {
        switch (m_reader->error()) {
        case SheetError::NotWorksheet:
            MsgInfo(QStringLiteral(
                "엑셀파일이 아니거나, 지원되지 않는 버전입니다.\n"
                "지원 형식: Excel 97-2003(.xls), Excel 2007 이상(.xlsx), CSV(.csv)"));
            break;
        case SheetError::CannotOpen:
            MsgInfo(QStringLiteral("파일을 열수 없습니다. 열려있는 엑셀파일을 닫아 주세요."));
            break;
        case SheetError::Protected:
            MsgInfo(QStringLiteral("암호가 걸린 엑셀파일이라 읽을 수 없습니다.\n"
                                   "엑셀에서 암호를 해제하고 저장한 뒤 다시 선택하세요."));
            break;
        default:
            MsgInfo(QStringLiteral("엑셀파일의 정보를 알수 없습니다."));
            break;
        }
        m_openPath.clear();
        return;
    }
    Settings::set(kSection, QStringLiteral("ExcelFilePath"), path);
    const QStringList names = m_reader->sheetNames().mid(0, kMaxSheets);
    m_loading = true;
    m_sheet->addItems(names);
    m_loading = false;
    int idx = setting(QStringLiteral("SheetIdx"), QStringLiteral("0")).toInt();
    if (idx < 0 || idx >= names.size()) idx = 0;
    m_loading = true;
    m_sheet->setCurrentIndex(idx);
    m_loading = false;
    loadSheet(idx);
}

void FrmTool_ImpData::loadSheet(int index) {
    clearSheet();
    Settings::set(kSection, QStringLiteral("SheetIdx"), QString::number(index));
    QElapsedTimer tick;
    tick.start();
    m_progress->setRange(0, 0);
    const bool ok = m_reader->loadSheet(index, *m_data, [&](int) {
        if (tick.elapsed() > 100) {
            paintNow();
            tick.restart();
        }
    });
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    if (!ok) {
        QString text = QStringLiteral("엑셀파일 불러오기를 실패했습니다.");
        if (m_reader->error() == SheetError::TooLarge)
            text += QStringLiteral("\n시트가 너무 큽니다. (최대 200,000행, 256열)");
        else if (m_reader->error() == SheetError::BadEncoding)
            text += QStringLiteral("\n파일의 글자 인코딩을 알 수 없습니다. "
                                   "UTF-8 또는 한글 완성형(CP949)으로 저장해 주세요.");
        clearSheet();
        MsgInfo(text);
        return;
    }
    const int rows = int(m_data->rows.size());
    m_progress->setRange(0, qMax(1, rows));
    FillGridWithSheet(m_list, *m_data, [&](int done, int) {
        m_progress->setValue(done);
        if (tick.elapsed() > 100) {
            paintNow();
            tick.restart();
        }
    });
    m_progress->setValue(0);
    m_count->setText(FormatNumber(rows, 0));
    // A first row naming fields holds the headings and is never imported; with more rows
    // the first one is taken for headings by default all the same.
    m_firstDataRow = rows > 0 && IsHeadingRow(m_data->rows.first()) ? 2 : 1;
    m_start->setText(rows > 1 ? QStringLiteral("2") : QString::number(m_firstDataRow));
    m_end->setText(QString::number(rows));
    refillChoosers();
}

void FrmTool_ImpData::refillChoosers() {
    const QStringList heads = m_data->rows.isEmpty() ? QStringList() : m_data->rows.first();
    auto fill = [&](QComboBox* c, const QString& label) {
        const int keep = c->currentData().isValid() ? c->currentData().toInt() : -1;
        c->clear();
        c->addItem(QString(), -1);
        int pick = 0;
        for (int col = 0; col < m_data->cols; ++col) {
            const QString head = heads.value(col).simplified();
            c->addItem(head.isEmpty() ? WorkbookReader::columnName(col)
                                      : WorkbookReader::columnName(col) + QStringLiteral(" (") +
                                            head.left(20) + QStringLiteral(")"),
                       col);
            if (col == keep || (keep < 0 && !label.isEmpty() && head == label)) pick = col + 1;
        }
        c->setCurrentIndex(pick);
    };
    for (int i = 0; i < m_columns.size(); ++i)
        fill(m_columns[i], QString::fromUtf8(ImportFieldAt(i).label));
    for (QComboBox* c : std::as_const(m_users))
        fill(c, {});
}

void FrmTool_ImpData::appendLog(const QString& line) {
    m_pendingLog << line;
}

void FrmTool_ImpData::flushLog() {
    if (m_pendingLog.isEmpty()) return;
    m_log->appendPlainText(m_pendingLog.join(QLatin1Char('\n')));
    m_pendingLog.clear();
}

bool FrmTool_ImpData::readRange(int& from, int& to) {
    const int rows = int(m_data->rows.size());
    bool okFrom = false, okTo = false;
    from = m_start->text().trimmed().toInt(&okFrom);
    to = m_end->text().trimmed().toInt(&okTo);
    if (!okFrom || !okTo || from < m_firstDataRow || to > rows || from > to) {
        MsgInfo(QStringLiteral("가져올 행의 범위가 올바르지 않습니다. (%1 ~ %2행)")
                    .arg(m_firstDataRow)
                    .arg(FormatNumber(rows, 0)));
        (okFrom && from >= m_firstDataRow && from <= rows ? m_end : m_start)->setFocus();
        return false;
    }
    return true;
}

bool FrmTool_ImpData::runImport() {
    if (m_data->rows.isEmpty()) {
        MsgInfo(QStringLiteral("가져올 자료가 없습니다. 엑셀파일과 시트를 선택하세요."));
        m_path->setFocus();
        return false;
    }
    if (m_firstDataRow > int(m_data->rows.size())) {
        MsgInfo(QStringLiteral("시트에 제목 행만 있고 가져올 자료가 없습니다."));
        return false;
    }
    // 1
    if (m_columns[FName]->currentData().toInt() < 0) {
        MsgInfo(QStringLiteral("회원명은 필수입니다. 필드를 지정하세요."));
        m_columns[FName]->setFocus();
        return false;
    }
    int from = 0, to = 0;
    if (!readRange(from, to)) return false;
    // 2
    if (!AskYesNo(
            QStringLiteral(
                "백업필수!!\n\n"
                "사용자가 필드를 잘못 지정하는 경우 또는 잘못된 데이터의 입력으로\n\n"
                "처리도중 문제가 발생하는 경우가 있을수 있습니다.\n\n"
                "잘못처리된 자료는 복원 기능이 없으며 A/S 또한 어렵습니다.\n\n"
                "항상 백업후 [가져오기]를 하시고, 문제발생시 백업DB로 복원하시기 바랍니다.\n\n"
                "지금 가져오기를 시작하시겠습니까?"),
            {}, false))
        return false;

    ImportMapping map;
    for (int i = 0; i < ImportFieldCount; ++i)
        map.fields[i] = m_columns[i]->currentData().toInt();
    for (int i = 0; i < ImportUserFieldCount; ++i)
        map.users[i] = m_users[i]->currentData().toInt();
    const bool updateMode = m_mode->currentIndex() == 1;
    const ImportLog log = [this](const QString& line) { appendLog(line); };
    // Resident numbers are stored only sealed with the key file; without it the person
    // hears how many of them would be left out before anything is written.
    if (const int lost = CountImportIdNosLost(m_data->rows, map, from, to);
        lost > 0 &&
        !AskYesNo(QStringLiteral("주민번호 암호키 파일이 없어 %1건의 주민번호는 저장되지 "
                                 "않습니다.%2\n\n주민번호 없이 가져오기를 하시겠습니까?")
                      .arg(QLocale(QLocale::Korean).toString(lost),
                           DataKey::expectedPath().isEmpty()
                               ? QString()
                               : QStringLiteral("\n키 파일 위치: ") + DataKey::expectedPath()),
                  {}, false))
        return false;

    // 3
    m_log->clear();
    appendLog(QStringLiteral("자료검사중..."));
    const int bad = CheckImportRows(m_data->rows, map, from, to, log);
    flushLog();
    if (bad > 0 &&
        !AskYesNo(
            QStringLiteral("자료검사도중 문제가 발견되었습니다.\n그래도 가져오기를 하시겠습니까?"),
            {}, false)) {
        appendLog(QStringLiteral("작업중단!"));
        flushLog();
        return false;
    }
    // 4
    appendLog(QStringLiteral("가져오기작업 시작 ") + timeText());
    flushLog();
    if (CountRows(QStringLiteral("tblfriend"), QStringLiteral("code <> 1")) > 0 &&
        !AskYesNo(QStringLiteral(
                      "이미 회원이 입력되어 있습니다.\n동일한 회원이 중복생성 될 수 있습니다.\n"
                      "그래도, 가져오기 하시겠습니까?"),
                  {}, false))
        return false;

    // 5-7: no other input while the rows are written; the first row and then a few a
    // second show the bar moving.
    ImportResult result;
    {
        InputBlock block;
        m_progress->setRange(0, to - from + 1);
        m_progress->setValue(0);
        QElapsedTimer tick;
        result = WriteImportRows(m_data->rows, map, from, to, updateMode, log, [&](int done) {
            if (!tick.isValid() || tick.elapsed() >= 50) {
                m_progress->setValue(done);
                flushLog();
                paintNow();
                tick.start();
            }
        });
        m_progress->setValue(result.ok ? to - from + 1 : 0);
    }
    if (!result.ok) {
        flushLog();
        appendLog((result.failedRow > 0 ? QString::number(result.failedRow) +
                                              QStringLiteral("행을 저장하지 못했습니다: ")
                                        : QStringLiteral("저장하지 못했습니다: ")) +
                  result.cause);
        appendLog(QStringLiteral("가져오기를 취소하여 아무 자료도 저장되지 않았습니다."));
        appendLog(QStringLiteral("작업중단!"));
        flushLog();
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return false;
    }
    // 8
    appendLog(QString::number(result.written) + QStringLiteral("건의 자료를 가져오기 하였습니다."));
    appendLog(QStringLiteral("가져오기작업 종료 ") + timeText());
    flushLog();
    if (auto* list = dynamic_cast<frmFriend*>(WindowRegistry::find(QStringLiteral("frmFriend"))))
        list->UpdateFriend();
    MsgInfo(QStringLiteral("가져오기가 완료되었습니다."));
    return true;
}
