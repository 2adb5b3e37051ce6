#include "reports/PrintService.h"

#include "reports/FrmPrn_selPRT.h"
#include "reports/FrmSPPrint_Preview.h"
#include "reports/PrintContext.h"
#include "reports/PrintSetup.h"
#include "ui/Grid.h"
#include "ui/cFpPreview.h"

#include <QApplication>

namespace {
class PrintService : public cFpPreview {
public:
    void SetUp(const QString& appTitle) override {
        m_title = appTitle;
        SetPrintAppTitle(appTitle);
    }
    bool IsSetUp() const override { return !m_title.isEmpty(); }
    void Show(Grid* grid, const PrintRequest& request) override { OpenPrintPreview(grid, request); }

private:
    QString m_title;
};
} // namespace

void InstallPrintService(const QString& appTitle) {
    auto s = std::make_unique<PrintService>();
    s->SetUp(appTitle);
    cFpPreview::install(std::move(s));
}

FrmSPPrint_Preview* OpenPrintPreview(Grid* grid, const PrintRequest& request) {
    if (!grid) return nullptr;
    auto* context = new PrintContext(grid, request);
    auto* preview = new FrmSPPrint_Preview(context, grid->window());
    preview->show();
    preview->raise();
    preview->activateWindow();
    return preview;
}

void OpenPrinterChoice(const QString& documentType) {
    (new FrmPrn_selPRT(documentType, QApplication::activeWindow()))->show();
}
