#include "reports/FrmSPPrint_PrintDlg.h"

#include "core/Prompt.h"
#include "reports/FrmPrn_selPRT.h"
#include "reports/FrmSPPrint_HeaderFooter.h"
#include "reports/FrmSPPrint_PageSetup.h"
#include "reports/PrintContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FrmSPPrint_PrintDlg::FrmSPPrint_PrintDlg(PrintContext* context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("FrmSPPrint_PrintDlg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("인쇄"));

    auto* options = new QGroupBox(QStringLiteral("인쇄 옵션"), this);
    auto* grid = new QGridLayout(options);
    const QStringList& captions = PrintOptionCaptions();
    for (int i = 0; i < PrintOptionCount; ++i) {
        auto* c = new QCheckBox(captions[i], options);
        c->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        grid->addWidget(c, i / 3, i % 3);
        m_checks[i] = c;
        connect(c, &QCheckBox::clicked, this, [this, i](bool on) { optionClicked(i, on); });
    }
    // Fitting to the page is offered only where the list allows it.
    m_checks[OptFitToPage]->setEnabled(m_context->job().setup().fitAllowed);

    auto* range = new QGroupBox(QStringLiteral("인쇄 범위"), this);
    auto* rl = new QHBoxLayout(range);
    m_all = new QRadioButton(QStringLiteral("전체"), range);
    m_all->setObjectName(QStringLiteral("optAll"));
    m_page = new QRadioButton(QStringLiteral("현재 페이지"), range);
    m_page->setObjectName(QStringLiteral("optPage"));
    m_pageText = new QLineEdit(QStringLiteral("1"), range);
    m_pageText->setObjectName(QStringLiteral("txtPage"));
    m_pageText->setMaximumWidth(60);
    m_selection = new QRadioButton(QStringLiteral("선택된 셀들"), range);
    m_selection->setObjectName(QStringLiteral("optSelection"));
    m_all->setChecked(true);
    rl->addWidget(m_all);
    rl->addWidget(m_page);
    rl->addWidget(m_pageText);
    rl->addWidget(m_selection);
    rl->addStretch();

    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto* printerSetup = button("btnPrinterSetup", QStringLiteral("프린터 설정"));
    auto* printerChoice = button("btnPrinterChoice", QStringLiteral("프린터 선택"));
    auto* detail = button("btnDetail", QStringLiteral("세부설정"));
    auto* headerFooter = button("btnHeaderFooter", QStringLiteral("머리말/꼬릿말"));
    auto* pdf = button("btnPdf", QStringLiteral("PDF 저장"));
    auto* print = button("btnPrint", QStringLiteral("인쇄"));
    auto* close = button("btnClose", QStringLiteral("닫기"));
    print->setDefault(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {printerSetup, printerChoice, detail, headerFooter})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* actions = new QHBoxLayout;
    actions->addStretch();
    for (QPushButton* b : {pdf, print, close})
        actions->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(range);
    layout->addLayout(buttons);
    layout->addLayout(actions);

    connect(printerSetup, &QPushButton::clicked, this, [this] {
        const QString name = PrinterForDocument(QStringLiteral("A4일반"));
        QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull()) info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            MsgInfo(QStringLiteral(
                "설치된 프린터가 없습니다. [PDF 저장]으로 파일에 인쇄할 수 있습니다."));
            return;
        }
        QPrinter printer(info);
        QPrintDialog dlg(&printer, this);
        // The printer chosen there is the one lists print on from now on.
        if (dlg.exec() == QDialog::Accepted && printer.printerName() != info.printerName())
            StorePrinterForDocument(QStringLiteral("A4일반"), printer.printerName());
    });
    connect(printerChoice, &QPushButton::clicked, this,
            [this] { (new FrmPrn_selPRT(QStringLiteral("A4일반"), this))->show(); });
    connect(detail, &QPushButton::clicked, this,
            [this] { (new FrmSPPrint_PageSetup(m_context, this))->show(); });
    connect(headerFooter, &QPushButton::clicked, this,
            [this] { (new FrmSPPrint_HeaderFooter(m_context, this))->show(); });
    connect(pdf, &QPushButton::clicked, this, [this] { printClicked(true); });
    connect(print, &QPushButton::clicked, this, [this] { printClicked(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_context, &PrintContext::changed, this, &FrmSPPrint_PrintDlg::showOptions);
    showOptions();
}

void FrmSPPrint_PrintDlg::showOptions() {
    const PrintSettings s = ReadPrintSettings(m_context->section(), PrintSettings{});
    const PrintOptions& used = m_context->job().setup().options;
    for (int i = 0; i < PrintOptionCount; ++i)
        m_checks[i]->setChecked(
            i == OptFitToPage && !m_context->job().setup().fitAllowed ? s.options[i] : used[i]);
}

void FrmSPPrint_PrintDlg::optionClicked(int index, bool on) {
    StorePrintOption(m_context->section(), index, on);
    m_context->reload();
}

bool FrmSPPrint_PrintDlg::pageRange(int* from, int* to) {
    GridPrintJob& job = m_context->job();
    job.setSelectionOnly(m_selection->isChecked());
    const int count = job.pageCount();
    *from = 1;
    *to = count;
    if (m_page->isChecked()) {
        bool ok = false;
        const int page = m_pageText->text().trimmed().toInt(&ok);
        if (!ok || page < 1 || page > count) {
            MsgInfo(QStringLiteral("인쇄할 페이지를 바르게 입력하세요. (1 ~ ") +
                    QString::number(count) + QStringLiteral(")"));
            m_pageText->setFocus();
            m_pageText->selectAll();
            return false;
        }
        *from = *to = page;
    }
    return true;
}

void FrmSPPrint_PrintDlg::printClicked(bool toPdf) {
    int from = 1, to = 1;
    if (pageRange(&from, &to)) {
        if (toPdf)
            m_context->saveAsPdf(from, to);
        else
            m_context->printPages(from, to);
    }
    // The preview keeps showing the whole list.
    if (m_context->job().selectionOnly()) m_context->job().setSelectionOnly(false);
}
