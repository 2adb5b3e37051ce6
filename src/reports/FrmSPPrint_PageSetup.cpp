#include "reports/FrmSPPrint_PageSetup.h"

#include "core/Prompt.h"
#include "reports/PrintContext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FrmSPPrint_PageSetup::FrmSPPrint_PageSetup(PrintContext* context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("FrmSPPrint_PageSetup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("페이지 설정"));

    const GridPrintJob& job = context->job();
    const PrintSetup& s = job.setup();
    const auto margin = [this](const char* name, int twips) {
        auto* e = new QLineEdit(MarginText(twips / 1440.0), this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    m_top = margin("txtMarginTop", s.marginTop);
    m_bottom = margin("txtMarginBottom", s.marginBottom);
    m_left = margin("txtMarginLeft", s.marginLeft);
    m_right = margin("txtMarginRight", s.marginRight);

    auto* margins = new QGroupBox(QStringLiteral("여백 (인치)"), this);
    auto* form = new QFormLayout(margins);
    form->addRow(QStringLiteral("위쪽:"), m_top);
    form->addRow(QStringLiteral("아래쪽:"), m_bottom);
    form->addRow(QStringLiteral("왼쪽:"), m_left);
    form->addRow(QStringLiteral("오른쪽:"), m_right);

    auto* orientation = new QGroupBox(QStringLiteral("용지 방향"), this);
    auto* ol = new QHBoxLayout(orientation);
    m_portrait = new QRadioButton(QStringLiteral("세로"), orientation);
    m_portrait->setObjectName(QStringLiteral("optPortrait"));
    m_landscape = new QRadioButton(QStringLiteral("가로"), orientation);
    m_landscape->setObjectName(QStringLiteral("optLandscape"));
    (s.orientation == OrientLandscape ? m_landscape : m_portrait)->setChecked(true);
    ol->addWidget(m_portrait);
    ol->addWidget(m_landscape);

    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("cmbZoom"));
    m_zoom->addItems(ZoomChoices());
    m_zoom->setCurrentIndex(s.zoom);
    auto* zoomRow = new QFormLayout;
    zoomRow->addRow(QStringLiteral("미리보기 배율:"), m_zoom);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("취소"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(margins);
    layout->addWidget(orientation);
    layout->addLayout(zoomRow);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool FrmSPPrint_PageSetup::save() {
    PrintSettings s;
    const std::pair<QLineEdit*, double*> inputs[] = {{m_top, &s.marginTop},
                                                     {m_bottom, &s.marginBottom},
                                                     {m_left, &s.marginLeft},
                                                     {m_right, &s.marginRight}};
    for (const auto& [edit, target] : inputs) {
        const auto v = ParseMargin(edit->text());
        if (!v) {
            MsgInfo(QStringLiteral("여백은 0.00 ~ ") + MarginText(MaxMargin) +
                    QStringLiteral(" 인치 사이의 숫자로 입력하세요."));
            edit->setFocus();
            edit->selectAll();
            return false;
        }
        *target = *v;
    }
    s.orientation = m_landscape->isChecked() ? OrientLandscape : OrientPortrait;
    s.zoom = std::clamp(m_zoom->currentIndex(), 0, ZoomChoiceCount - 1);
    StorePageSetup(m_context->section(), s);
    m_context->reload();
    return true;
}
