#include "comm/FrmCust_DM.h"

#include "comm/DmLabels.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "members/frmFriend.h"
#include "reports/FrmPrn_selPRT.h"
#include "reports/PrintSetup.h"
#include "ui/ExcelExport.h"
#include "ui/FloatNotice.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/TextRules.h"
#include "ui/WindowRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {
const QString kDmConfig = QStringLiteral("Config");
const QString kDocType = QStringLiteral("DM"); // stored as "DM_Printer"
const QString kKeyPaper = QStringLiteral("DM_양식종류");
const QString kKeyTop = QStringLiteral("DM_여백T");
const QString kKeyLeft = QStringLiteral("DM_여백L");
// Margins of a sheet that was never set up: the 2 × 8 labels centred on A4.
const QString kDefaultTop = QStringLiteral("13");
const QString kDefaultLeft = QStringLiteral("3");
constexpr double kMarginMin = -20;
constexpr double kMarginMax = 50;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* makeMargin(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    auto* v = new QDoubleValidator(kMarginMin, kMarginMax, 2, e);
    v->setNotation(QDoubleValidator::StandardNotation);
    v->setLocale(QLocale::c());
    e->setValidator(v);
    e->setMaximumWidth(60);
    e->setAlignment(Qt::AlignRight);
    return e;
}

// A margin the labels can be placed by: empty (0) or a number in the input's range.
bool marginOk(const QLineEdit* margin) {
    return margin->text().trimmed().isEmpty() || margin->hasAcceptableInput();
}
} // namespace

FrmCust_DM::FrmCust_DM(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmCust_DM"));
    setWindowTitle(QStringLiteral("DM발송"));
    resize(820, 520);

    // ---- sheet set-up ----
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("cmbPaperStyle"));
    m_paper->addItem(QStringLiteral("AnyLabel V3240 (2x8)"), QStringLiteral("0"));
    m_start = new QComboBox(this);
    m_start->setObjectName(QStringLiteral("cmbStartPos"));
    for (int i = 1; i <= DmLabel::PerSheet; ++i)
        m_start->addItem(QString::number(i));
    m_top = makeMargin(this, "txtTopMG");
    m_left = makeMargin(this, "txtLeftMG");
    m_printer = new QLabel(this);
    m_printer->setObjectName(QStringLiteral("lblPrint"));
    m_printer->setTextFormat(Qt::PlainText);
    QPushButton* setup = makeButton(this, "btnPrnterSetup", QStringLiteral("프린터 설정"));

    auto* top = new QHBoxLayout;
    auto caption = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    top->addWidget(caption(QStringLiteral("용지(&P)"), m_paper));
    top->addWidget(m_paper);
    top->addWidget(caption(QStringLiteral("시작위치(&S)"), m_start));
    top->addWidget(m_start);
    top->addWidget(caption(QStringLiteral("위 여백(&T)"), m_top));
    top->addWidget(m_top);
    top->addWidget(caption(QStringLiteral("왼쪽 여백(&L)"), m_left));
    top->addWidget(m_left);
    top->addWidget(new QLabel(QStringLiteral("mm"), this));
    top->addStretch();
    top->addWidget(m_printer);
    top->addWidget(setup);

    // ---- the list ----
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("이  름"), QStringLiteral("주  소"),
                            QStringLiteral("상세주소"), QStringLiteral("우편번호"),
                            QStringLiteral("전화번호")});
    m_grid->setListMode();
    m_grid->setColWidth(ColName, 110);
    m_grid->setColWidth(ColAddr1, 250);
    m_grid->setColWidth(ColAddr2, 180);
    m_grid->setColWidth(ColZip, 80);
    m_grid->setColWidth(ColTel, 120);
    m_grid->setColAlignment(ColZip, Qt::AlignCenter);
    m_grid->installEventFilter(this);
    GridMenu::attach(m_grid, this);

    // ---- buttons ----
    QPushButton* delTel = makeButton(this, "btnDelTel", QStringLiteral("전화번호 삭제"));
    QPushButton* recDel = makeButton(this, "btnRecDel", QStringLiteral("삭제(F4)"));
    QPushButton* excel = makeButton(this, "btnExcel", QStringLiteral("엑셀(F8)"));
    QPushButton* print = makeButton(this, "btnPrint", QStringLiteral("인쇄(F7)"));
    QPushButton* close = makeButton(this, "btnClose", QStringLiteral("닫기"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(delTel);
    buttons->addStretch();
    for (QPushButton* b : {recDel, excel, print, close})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    loadSettings();
    connect(setup, &QPushButton::clicked, this, &FrmCust_DM::btnPrnterSetup);
    connect(delTel, &QPushButton::clicked, this, &FrmCust_DM::btnDelTel);
    connect(recDel, &QPushButton::clicked, this, &FrmCust_DM::btnRecDel);
    connect(excel, &QPushButton::clicked, this, &FrmCust_DM::btnExcel);
    connect(print, &QPushButton::clicked, this, &FrmCust_DM::btnPrint);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    // The sheet set-up is kept as soon as it changes (a margin once it is a usable number).
    connect(m_top, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (marginOk(m_top)) Settings::set(kDmConfig, kKeyTop, t);
    });
    connect(m_left, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (marginOk(m_left)) Settings::set(kDmConfig, kKeyLeft, t);
    });
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) Settings::set(kDmConfig, kKeyPaper, m_paper->itemData(i).toString());
    });
}

void FrmCust_DM::loadSettings() {
    const QString app = App().appTitle;
    const int paper = m_paper->findData(Settings::getIn(app, kDmConfig, kKeyPaper, QString()));
    m_paper->setCurrentIndex(std::max(paper, 0));
    // A stored text the input would not take (edited by hand) falls back to the default.
    auto load = [&](QLineEdit* edit, const QString& key, const QString& fallback) {
        edit->setText(Settings::getIn(app, kDmConfig, key, fallback));
        if (!marginOk(edit)) edit->setText(fallback);
    };
    load(m_top, kKeyTop, kDefaultTop);
    load(m_left, kKeyLeft, kDefaultLeft);
    showPrinter();
}

void FrmCust_DM::showPrinter() {
    QString name = PrinterForDocument(kDocType);
    if (name.isEmpty()) name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) name = QStringLiteral("기본 프린터");
    m_printer->setText(QStringLiteral("프린터: ") + name);
}

void FrmCust_DM::AddOneLine(const QString& name, const QString& address1, const QString& address2,
                            const QString& zipCode, const QString& telephone) {
    const int row = m_grid->dataRowCnt() + 1;
    if (m_grid->maxRows() < row) m_grid->setMaxRows(row);
    m_grid->setRowTexts(row, {name, address1, address2, zipCode, telephone});
}

void FrmCust_DM::btnPrint() {
    const int rows = m_grid->dataRowCnt();
    if (rows == 0) {
        MsgInfo(QStringLiteral("인쇄할 자료가 없습니다."));
        return;
    }
    for (QLineEdit* margin : {m_top, m_left}) {
        if (!marginOk(margin)) {
            MsgInfo(QStringLiteral("여백은 %1 ~ %2 mm 사이의 숫자로 입력하세요.")
                        .arg(kMarginMin)
                        .arg(kMarginMax));
            margin->setFocus();
            margin->selectAll();
            return;
        }
    }
    if (!AskYesNo(QStringLiteral("정말 인쇄하시겠습니까?"))) return;

    QList<DmAddress> labels;
    labels.reserve(rows);
    for (int r = 1; r <= rows; ++r)
        labels.append({m_grid->text(ColName, r), m_grid->text(ColAddr1, r),
                       m_grid->text(ColAddr2, r), m_grid->text(ColZip, r),
                       m_grid->text(ColTel, r)});

    // The printer chosen for labels, else the default one; a PDF file when that is the
    // choice or no printer is installed.
    const QString stored = PrinterForDocument(kDocType);
    QPrinterInfo info;
    if (stored != PdfPrinterName && !QPrinterInfo::availablePrinterNames().isEmpty()) {
        info = QPrinterInfo::printerInfo(stored);
        if (stored.isEmpty() || info.isNull()) info = QPrinterInfo::defaultPrinter();
    }
    std::unique_ptr<QPrinter> printer;
    QString target;
    if (info.isNull()) {
        QString file =
            prompt().saveFileName(QStringLiteral("PDF 파일로 저장"),
                                  DataPath(QStringLiteral("doc")), QStringLiteral("PDF (*.pdf)"));
        if (file.isEmpty()) return;
        if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            file += QStringLiteral(".pdf");
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        target = QDir::toNativeSeparators(file);
    } else {
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        target = info.printerName();
    }
    printer->setDocName(QStringLiteral("DM"));
    printer->setFullPage(true); // label positions count from the paper's corner
    printer->setColorMode(QPrinter::GrayScale);
    const double topMargin = NumericValue(m_top->text());
    const double leftMargin = NumericValue(m_left->text());
    if (!PaintDmLabels(printer.get(), labels, m_start->currentText().toInt(), topMargin,
                       leftMargin))
        MsgWarning(QStringLiteral("인쇄를 시작하지 못했습니다.") + u'\n' + target);
}

void FrmCust_DM::btnDelTel() {
    const QString text =
        QStringLiteral("DM발송시 전화번호를 삭제 하시겠습니까?") + u'\n' + u'\n' +
        QStringLiteral("※ DM발송시 전화번호를 출력하지 않기 위한 기능입니다.") + u'\n' +
        QStringLiteral("전화번호를 삭제하시더라도 회원데이터는 삭제되지 않습니다.      ");
    if (!AskYesNo(text, QStringLiteral("전화번호 삭제"), false)) return;
    for (int r = 1; r <= m_grid->maxRows(); ++r)
        m_grid->setText(ColTel, r, QString());
    ShowFloatNotice(QStringLiteral("전화번호가 일괄삭제되었습니다"));
}

void FrmCust_DM::btnRecDel() {
    QList<int> rows;
    const int last = m_grid->dataRowCnt();
    for (const QModelIndex& i : m_grid->selectionModel()->selectedRows())
        if (i.row() + 1 <= last) rows << i.row() + 1;
    if (rows.isEmpty()) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"),
                  false))
        return;
    // Bottom up, so the row numbers still to go stay valid.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        m_grid->deleteRows(r);
    m_grid->clearSelection();
}

void FrmCust_DM::btnExcel() {
    ExportToExcelFile(m_grid, QStringLiteral("Sheet1"));
}

void FrmCust_DM::btnPrnterSetup() {
    auto* dialog = new FrmPrn_selPRT(kDocType, this);
    connect(dialog, &QDialog::accepted, this, &FrmCust_DM::showPrinter);
    dialog->show();
}

bool FrmCust_DM::handleKey(int key) {
    switch (key) {
    case Qt::Key_F4:
        btnRecDel();
        return true;
    case Qt::Key_F7:
        btnPrint();
        return true;
    case Qt::Key_F8:
        btnExcel();
        return true;
    default:
        return false;
    }
}

bool FrmCust_DM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        handleKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void FrmCust_DM::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event->key())) QWidget::keyPressEvent(event);
}

FrmCust_DM* OpenDmWindow(Grid* memberGrid) {
    auto* w = OpenChild<FrmCust_DM>(QStringLiteral("FrmCust_DM"));
    if (!memberGrid) return w;
    using F = frmFriend;
    // Also the ticked members not read into the list yet (tick all on a long list).
    memberGrid->forEachTickedRow(F::ColCheck, [w](int, const QStringList& cells) {
        auto at = [&cells](int col) { return cells.value(col - 1); };
        w->AddOneLine(at(F::ColName), at(F::ColAddr1), at(F::ColAddr2), at(F::ColZip), at(F::ColMobile));
        return true;
    });
    return w;
}
