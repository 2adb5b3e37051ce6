#include "reports/FrmSPPrint_Preview.h"

#include "reports/FrmSPPrint_HeaderFooter.h"
#include "reports/FrmSPPrint_PageSetup.h"
#include "reports/FrmSPPrint_PrintDlg.h"
#include "reports/PrintContext.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// Paints the pages the preview shows, side by side (in two rows for four and six).
class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(FrmSPPrint_Preview* owner) : QWidget(nullptr), m_owner(owner) {
        setObjectName(QStringLiteral("pvwPages"));
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        setPalette(pal);
    }
    static constexpr int Gap = 12;
    int columnsFor(int shown) const { return shown == 4 ? 2 : shown == 6 ? 3 : shown; }
    QSize contentSize() const {
        const QSizeF page = m_owner->context()->job().pageSize() * m_owner->pageScale();
        const int shown = m_owner->pagesShown();
        const int cols = columnsFor(shown);
        const int rows = (shown + cols - 1) / cols;
        return QSize(int(cols * page.width() + (cols + 1) * Gap),
                     int(rows * page.height() + (rows + 1) * Gap));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const GridPrintJob& job = m_owner->context()->job();
        const double s = m_owner->pageScale();
        const QSizeF page = job.pageSize() * s;
        const int shown = m_owner->pagesShown();
        const int cols = columnsFor(shown);
        // Centre the pages in the visible area when they are smaller than it.
        const QSize content = contentSize();
        const double ox = std::max(0, (width() - content.width()) / 2);
        const double oy = std::max(0, (height() - content.height()) / 2);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (int i = 0; i < shown; ++i) {
            const int n = m_owner->currentPage() + i;
            if (n > job.pageCount()) break;
            const double x = ox + Gap + (i % cols) * (page.width() + Gap);
            const double y = oy + Gap + (i / cols) * (page.height() + Gap);
            p.save();
            p.translate(x, y);
            p.fillRect(QRectF(3, 3, page.width(), page.height()), QColor(64, 64, 64));
            p.setClipRect(QRectF(0, 0, page.width(), page.height()));
            p.scale(s, s);
            job.paintPage(p, n);
            p.restore();
        }
    }

private:
    FrmSPPrint_Preview* m_owner;
};

FrmSPPrint_Preview::FrmSPPrint_Preview(PrintContext* context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context) {
    setObjectName(QStringLiteral("FrmSPPrint_Preview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(context->request().title.isEmpty()
                       ? QStringLiteral("미리보기")
                       : context->request().title + QStringLiteral(" - 미리보기"));
    context->setParent(this);

    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(QApplication::font());
        b->setAutoDefault(false);
        return b;
    };
    m_next = button("btnNext", QStringLiteral("다음"));
    m_previous = button("btnPrevious", QStringLiteral("이전"));
    auto* zoomButton = button("btnZoom", QStringLiteral("확대"));
    auto* print = button("btnPrint", QStringLiteral("인쇄"));
    auto* setup = button("btnSetup", QStringLiteral("설정"));
    auto* headerFooter = button("btnHeaderFooter", QStringLiteral("머리글/바닥글"));
    auto* close = button("btnClose", QStringLiteral("닫기"));
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("cmbZoom"));
    m_zoomBox->addItems(PreviewZoomChoices());
    m_zoomBox->setFont(QApplication::font());
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_pageLabel->setTextFormat(Qt::PlainText);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(m_previous), static_cast<QWidget*>(m_next),
                       static_cast<QWidget*>(zoomButton), static_cast<QWidget*>(m_zoomBox),
                       static_cast<QWidget*>(print), static_cast<QWidget*>(setup),
                       static_cast<QWidget*>(headerFooter), static_cast<QWidget*>(close)})
        bar->addWidget(w);
    bar->addSpacing(12);
    bar->addWidget(m_pageLabel);
    bar->addStretch();

    m_canvas = new PreviewCanvas(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPages"));
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    // The scale of the fitting zooms follows the visible area, which gets its real size
    // only once the window is laid out and shown.
    m_scroll->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_next, &QPushButton::clicked, this, [this] { setPage(m_page + 1); });
    connect(m_previous, &QPushButton::clicked, this, [this] { setPage(m_page - 1); });
    connect(zoomButton, &QPushButton::clicked, this,
            [this] { setZoom((m_zoom + 1) % ZoomChoiceCount); });
    connect(m_zoomBox, &QComboBox::activated, this, [this](int i) { setZoom(i); });
    connect(print, &QPushButton::clicked, this, &FrmSPPrint_Preview::openPrintDialog);
    connect(setup, &QPushButton::clicked, this, &FrmSPPrint_Preview::openPageSetup);
    connect(headerFooter, &QPushButton::clicked, this, &FrmSPPrint_Preview::openHeaderFooter);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_context, &PrintContext::changed, this, [this] {
        // A newly stored zoom applies; otherwise the zoom chosen here stays.
        if (m_context->job().setup().zoom != m_storedZoom) {
            m_storedZoom = m_context->job().setup().zoom;
            m_zoom = m_storedZoom;
        }
        refresh();
    });

    fitToScreen();
    m_zoom = m_storedZoom = m_context->job().setup().zoom;
    refresh();
}

FrmSPPrint_Preview::~FrmSPPrint_Preview() = default;

int FrmSPPrint_Preview::pagesShown() const {
    switch (m_zoom) {
    case ZoomTwoPages:
        return 2;
    case ZoomThreePages:
        return 3;
    case ZoomFourPages:
        return 4;
    case ZoomSixPages:
        return 6;
    default:
        return 1;
    }
}

double FrmSPPrint_Preview::pageScale() const {
    const QSizeF page = m_context->job().pageSize();
    const double screen = logicalDpiX() / 72.0;
    const QSize view = m_scroll->viewport()->size() -
                       QSize(2 * PreviewCanvas::Gap + 4, 2 * PreviewCanvas::Gap + 4);
    const double byWidth = std::max(1, view.width()) / page.width();
    const double byHeight = std::max(1, view.height()) / page.height();
    static const double percent[] = {2.0, 1.5, 1.0, 0.75, 0.5, 0.25, 0.1};
    switch (m_zoom) {
    case ZoomPageWidth:
        return byWidth;
    case ZoomPageHeight:
        return byHeight;
    case ZoomWholePage:
        return std::min(byWidth, byHeight);
    case ZoomTwoPages:
    case ZoomThreePages:
    case ZoomFourPages:
    case ZoomSixPages: {
        const int n = pagesShown();
        const int cols = n == 4 ? 2 : n == 6 ? 3 : n;
        const int rows = (n + cols - 1) / cols;
        const double w = (view.width() - (cols - 1) * PreviewCanvas::Gap) / (cols * page.width());
        const double h = (view.height() - (rows - 1) * PreviewCanvas::Gap) / (rows * page.height());
        return std::max(0.01, std::min(w, h));
    }
    default:
        return percent[std::clamp(m_zoom, 0, 6)] * screen;
    }
}

void FrmSPPrint_Preview::setPage(int page) {
    m_page = std::clamp(page, 1, m_context->job().pageCount());
    refresh();
}

void FrmSPPrint_Preview::setZoom(int zoomChoice) {
    m_zoom = std::clamp(zoomChoice, 0, ZoomChoiceCount - 1);
    refresh();
}

void FrmSPPrint_Preview::refresh() {
    const int count = m_context->job().pageCount();
    m_page = std::clamp(m_page, 1, count);
    m_pageLabel->setText(QString::number(m_page) + u'/' + QString::number(count) +
                         QStringLiteral(" 쪽"));
    m_next->setEnabled(m_page < count);
    m_previous->setEnabled(m_page > 1);
    m_zoomBox->setCurrentIndex(m_zoom);
    updateCanvas();
}

void FrmSPPrint_Preview::updateCanvas() {
    m_canvas->resize(m_canvas->contentSize().expandedTo(m_scroll->viewport()->size()));
    m_canvas->update();
}

void FrmSPPrint_Preview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateCanvas();
}

bool FrmSPPrint_Preview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) updateCanvas();
    return QWidget::eventFilter(watched, event);
}

void FrmSPPrint_Preview::fitToScreen() {
    // Large enough to read a whole page, never beyond the screen the list is on.
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size(std::min(1000, avail.width() * 9 / 10), avail.height() * 9 / 10);
    resize(size);
    move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
}

void FrmSPPrint_Preview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        setPage(m_page + 1);
        return;
    case Qt::Key_PageUp:
        setPage(m_page - 1);
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) {
            setPage(1);
            return;
        }
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) {
            setPage(m_context->job().pageCount());
            return;
        }
        break;
    case Qt::Key_Escape:
        close();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void FrmSPPrint_Preview::openPrintDialog() {
    auto* dlg = new FrmSPPrint_PrintDlg(m_context, this);
    dlg->show();
}

void FrmSPPrint_Preview::openPageSetup() {
    auto* dlg = new FrmSPPrint_PageSetup(m_context, this);
    dlg->show();
}

void FrmSPPrint_Preview::openHeaderFooter() {
    auto* dlg = new FrmSPPrint_HeaderFooter(m_context, this);
    dlg->show();
}
