#pragma once

#include <QWidget>

class PrintContext;
class PreviewCanvas;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The print preview of one list: pages drawn by the same painter that prints them,
// browsed with "다음" and "이전", zoomed by the choices of the page setup.
class FrmSPPrint_Preview : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of the context.
    explicit FrmSPPrint_Preview(PrintContext* context, QWidget* parent = nullptr);
    ~FrmSPPrint_Preview() override;

    PrintContext* context() const { return m_context; }
    int currentPage() const { return m_page; }
    int zoom() const { return m_zoom; }
    void setPage(int page);
    void setZoom(int zoomChoice);
    // How many pages the zoom shows at once and their scale (screen pixels per point).
    int pagesShown() const;
    double pageScale() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void fitToScreen();
    void updateCanvas();
    void openPrintDialog();
    void openPageSetup();
    void openHeaderFooter();

    PrintContext* m_context;
    PreviewCanvas* m_canvas;
    QScrollArea* m_scroll;
    QLabel* m_pageLabel;
    QComboBox* m_zoomBox;
    QPushButton* m_next;
    QPushButton* m_previous;
    int m_page = 1;
    int m_zoom = 0;
    int m_storedZoom = 0;
};
