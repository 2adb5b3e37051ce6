#include "reports/FrmPrn_selPRT.h"

#include "core/Prompt.h"
#include "reports/PrintSetup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

FrmPrn_selPRT::FrmPrn_selPRT(const QString& documentType, QWidget* parent)
    : QDialog(parent), m_type(documentType) {
    setObjectName(QStringLiteral("FrmPrn_selPRT"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("프린터 선택 - ") + documentType);

    auto* label = new QLabel(
        QStringLiteral("[") + documentType + QStringLiteral("] 출력에 사용할 프린터"), this);
    label->setTextFormat(Qt::PlainText);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstPrinter"));
    QStringList names = QPrinterInfo::availablePrinterNames();
    names << PdfPrinterName;
    m_list->addItems(names);
    const QString stored = PrinterForDocument(documentType);
    const QString selected = stored.isEmpty() ? QPrinterInfo::defaultPrinterName() : stored;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->text() == selected) m_list->setCurrentRow(i);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* byDefault = new QPushButton(QStringLiteral("기본 프린터"), this);
    byDefault->setObjectName(QStringLiteral("btnDefault"));
    byDefault->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("취소"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(byDefault);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (!m_list->currentItem()) {
            MsgInfo(QStringLiteral("프린터를 선택하세요."));
            return;
        }
        store(m_list->currentItem()->text());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { store(item->text()); });
    connect(byDefault, &QPushButton::clicked, this, [this] { store(QString()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmPrn_selPRT::store(const QString& printer) {
    StorePrinterForDocument(m_type, printer);
    accept();
}
