#include "reports/FrmSPPrint_HeaderFooter.h"

#include "core/Prompt.h"
#include "core/Settings.h"
#include "reports/HfPainter.h"
#include "reports/PrintContext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int FontRole = Qt::UserRole + 1;

QVariant fontData(const HfFont& f) {
    return QStringList{f.family,
                       QString::number(f.size),
                       QString::number(f.bold),
                       QString::number(f.italic),
                       QString::number(f.underline),
                       QString::number(f.strike)};
}

HfFont fontOf(const QVariant& v) {
    const QStringList l = v.toStringList();
    HfFont f;
    if (l.size() == 6) {
        f.family = l[0];
        f.size = l[1].toInt();
        f.bold = l[2] == u"1";
        f.italic = l[3] == u"1";
        f.underline = l[4] == u"1";
        f.strike = l[5] == u"1";
    }
    return f;
}

QString keyOf(int kind) {
    return kind == FrmSPPrint_HeaderFooter::Header ? PrintKey::Header : PrintKey::Footer;
}
} // namespace

FrmSPPrint_HeaderFooter::FrmSPPrint_HeaderFooter(PrintContext* context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("FrmSPPrint_HeaderFooter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("머리말/꼬릿말"));

    m_header = new QRadioButton(QStringLiteral("머리말"), this);
    m_header->setObjectName(QStringLiteral("optHeader"));
    m_footer = new QRadioButton(QStringLiteral("꼬릿말"), this);
    m_footer->setObjectName(QStringLiteral("optFooter"));
    m_header->setChecked(true);

    m_grid = new QTableWidget(MinLines, 3, this);
    m_grid->setObjectName(QStringLiteral("grdLines"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Left Justify"), QStringLiteral("Center"),
                                       QStringLiteral("Right Justify")});
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("txtCode"));

    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto* font = button("btnFont", QStringLiteral("글꼴..."));
    auto* page = button("btnPageNumber", QStringLiteral("쪽 번호"));
    auto* clear = button("btnClear", QStringLiteral("지우기"));
    m_save = button("btnSave", QStringLiteral("Save Header Text"));
    auto* close = button("btnClose", QStringLiteral("닫기"));

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(m_header);
    kinds->addWidget(m_footer);
    kinds->addStretch();
    auto* tools = new QHBoxLayout;
    for (QPushButton* b : {font, page, clear})
        tools->addWidget(b);
    tools->addStretch();
    tools->addWidget(m_save);
    tools->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds);
    layout->addWidget(m_grid, 1);
    auto* codeLabel = new QLabel(QStringLiteral("코드:"), this);
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(codeLabel);
    codeRow->addWidget(m_code, 1);
    layout->addLayout(codeRow);
    layout->addLayout(tools);
    resize(640, 360);

    for (int k = 0; k < 2; ++k) {
        HfError error = HfError::None;
        m_buffers[k] = HfCodeToCells(
            Settings::getIn(PrintAppName(), context->section(), keyOf(k), QString()), &error);
    }
    // A list on the standard header shows that header, as it prints, to start from. The
    // standard footer is left empty here: it holds the day's date as plain text, which a
    // save would fix for good.
    if (Settings::getIn(PrintAppName(), context->section(), PrintKey::Header, QString()).isEmpty())
        m_buffers[Header] = HfCodeToCells(context->job().setup().header);
    m_filling = true;
    setLines(m_buffers[Header]);
    m_filling = false;

    connect(m_header, &QRadioButton::toggled, this,
            [this](bool on) { setKind(on ? Header : Footer); });
    connect(m_grid, &QTableWidget::itemChanged, this, [this] { cellEdited(); });
    connect(m_code, &QLineEdit::editingFinished, this, [this] {
        if (m_code->isModified()) {
            m_code->setModified(false);
            setCode(m_code->text());
        }
    });
    connect(font, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::chooseFont);
    connect(page, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::insertPageNumber);
    connect(clear, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::clearText);
    connect(m_save, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::save);
    connect(close, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::reject);
    m_grid->setCurrentCell(0, 0);
}

void FrmSPPrint_HeaderFooter::setKind(Kind kind) {
    if (kind == m_kind) return;
    m_buffers[m_kind] = lines();
    m_kind = kind;
    m_filling = true;
    setLines(m_buffers[kind]);
    m_filling = false;
    (kind == Header ? m_header : m_footer)->setChecked(true);
    m_save->setText(kind == Header ? QStringLiteral("Save Header Text")
                                   : QStringLiteral("Save Footer Text"));
}

QList<HfCellLine> FrmSPPrint_HeaderFooter::lines() const {
    QList<HfCellLine> out;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        HfCellLine line;
        for (int c = 0; c < 3; ++c) {
            if (const QTableWidgetItem* item = m_grid->item(r, c)) {
                line[c].text = item->text();
                line[c].font = fontOf(item->data(FontRole));
            }
        }
        out << line;
    }
    return out;
}

void FrmSPPrint_HeaderFooter::setLines(const QList<HfCellLine>& lines) {
    const bool was = m_filling;
    m_filling = true;
    m_grid->clearContents();
    m_grid->setRowCount(std::max<int>(MinLines, int(lines.size())));
    QStringList labels;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        labels << QStringLiteral("Line ") + QString::number(r + 1);
    m_grid->setVerticalHeaderLabels(labels);
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        for (int c = 0; c < 3; ++c) {
            const HfCell cell = r < lines.size() ? lines[r][c] : HfCell{};
            auto* item = new QTableWidgetItem(cell.text);
            item->setData(FontRole, fontData(cell.font));
            QFont shown = HfQFont(cell.font);
            shown.setPointSize(std::clamp(cell.font.size, 6, 24));
            item->setFont(shown);
            m_grid->setItem(r, c, item);
        }
    }
    m_filling = was;
    showCode();
}

bool FrmSPPrint_HeaderFooter::setCode(const QString& code) {
    HfError error = HfError::None;
    const QList<HfCellLine> cells = HfCodeToCells(code, &error);
    if (error == HfError::FontName) {
        MsgInfo(QStringLiteral("Error parsing FONT NAME"));
        return false;
    }
    if (error == HfError::FontSize) {
        MsgInfo(QStringLiteral("Error parsing FONT SIZE"));
        return false;
    }
    setLines(cells);
    m_dirty[m_kind] = true;
    return true;
}

void FrmSPPrint_HeaderFooter::cellEdited() {
    if (m_filling) return;
    m_dirty[m_kind] = true;
    showCode();
}

void FrmSPPrint_HeaderFooter::showCode() {
    m_code->setText(code());
    m_code->setModified(false);
}

void FrmSPPrint_HeaderFooter::chooseFont() {
    QTableWidgetItem* item = m_grid->currentItem();
    if (!item) return;
    const HfFont current = fontOf(item->data(FontRole));
    QFont initial(current.family);
    initial.setPointSize(current.size);
    initial.setBold(current.bold);
    initial.setItalic(current.italic);
    initial.setUnderline(current.underline);
    initial.setStrikeOut(current.strike);
    const auto chosen = prompt().font(initial, QStringLiteral("글꼴"));
    if (!chosen) return;
    HfFont f;
    f.family = chosen->family();
    f.size = std::clamp(chosen->pointSize() > 0 ? chosen->pointSize() : 10, 1, 400);
    f.bold = chosen->bold();
    f.italic = chosen->italic();
    f.underline = chosen->underline();
    f.strike = chosen->strikeOut();
    QList<HfCellLine> all = lines();
    all[item->row()][item->column()].font = f;
    const int row = item->row(), col = item->column();
    setLines(all);
    m_grid->setCurrentCell(row, col);
    m_dirty[m_kind] = true;
}

void FrmSPPrint_HeaderFooter::insertPageNumber() {
    QTableWidgetItem* item = m_grid->currentItem();
    if (!item) return;
    if (!item->text().isEmpty() && item->text() != kHfPageNumber &&
        !AskYesNo(QStringLiteral(
                      "Inserting page numbering in this cell will overwrite your exiting text.  "
                      "Do you want to replace the existing text with page numbers?"),
                  QStringLiteral("Replace Existing Text"), false))
        return;
    item->setText(kHfPageNumber);
}

void FrmSPPrint_HeaderFooter::clearText() {
    if (!AskYesNo(
            QStringLiteral(
                "Are you sure you want to clear the text and formatting for the selected header?"),
            QStringLiteral("Clear Text"), false))
        return;
    setLines({});
    m_dirty[m_kind] = true;
}

bool FrmSPPrint_HeaderFooter::save() {
    Settings::set(PrintAppName(), m_context->section(), keyOf(m_kind), code());
    m_buffers[m_kind] = lines();
    m_dirty[m_kind] = false;
    m_context->reload();
    return true;
}

void FrmSPPrint_HeaderFooter::reject() {
    if ((m_dirty[0] || m_dirty[1]) &&
        !AskYesNo(QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"), {},
                  false))
        return;
    QDialog::reject();
}
