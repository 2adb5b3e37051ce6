#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QWidget>

class HCText;
class QCheckBox;
class QComboBox;
class QAbstractSeries;
class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPagedPaintDevice;
class QPushButton;
class QValueAxis;

// "그래프": draws (label, value) points as bars and/or a line, a page of points at a
// time, and prints them. Every setting is stored as soon as it changes (application
// "GraphControl", section "Config").
class FrmGraph : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {1000, 640}; }
    enum GraphType { Bar, Line, BarAndLine, GraphTypeCount };
    enum Check { ShowValues, GridLines, FilledBars, RotatedLabels, CheckCount };
    enum Max { MaxCols, MaxYVal, MGBottom, MaxCount };

    explicit FrmGraph(QWidget* parent = nullptr);

    void ClearGraph();
    void AddData(const QString& label, double value);
    void ReDrawGraph();
    // Title of the category axis (the basis of the analysis: "월별", "사용처별" ...).
    void setCategoryTitle(const QString& title);
    // A value as the graph writes it: whole, with thousands separators.
    static QString valueText(double value);

    int pointCount() const { return int(m_points.size()); }
    int page() const { return m_page; }
    int pageCount() const;
    void setPage(int page);
    QChart* chart() const;
    QColor barColor() const { return m_barColor; }
    QColor lineColor() const { return m_lineColor; }
    // Renders the current page with the title onto a printer or PDF writer.
    void printTo(QPagedPaintDevice* device);

    // Colour numbers as stored: R + 256·G + 65536·B.
    static QColor colorFromNumber(const QString& text, const QColor& fallback);
    static QString colorNumber(const QColor& c);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadSettings();
    void store(const QString& key, const QString& value);
    void checkMax(int index);
    void chooseColor(int index);
    void print();
    double unitDivisor() const;

    QLineEdit* m_title = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_unit = nullptr;
    QCheckBox* m_checks[CheckCount] = {};
    QPushButton* m_colors[2] = {};
    HCText* m_max[MaxCount] = {};
    QPushButton* m_prev = nullptr;
    QPushButton* m_next = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_pageLabel = nullptr;
    QChartView* m_view = nullptr;
    QList<QPair<QString, double>> m_points;
    // The chart's axes and series, kept across redraws (those not in use hidden).
    QCategoryAxis* m_days = nullptr;     // dates under every few bars, on values
    QBarCategoryAxis* m_names = nullptr; // a name under every bar
    QValueAxis* m_axisY = nullptr;
    QBarSet* m_bars = nullptr;
    QBarSeries* m_barSeries = nullptr;
    QLineSeries* m_line = nullptr;
    QList<QGraphicsSimpleTextItem*> m_valueLabels; // items of the chart
    QMetaObject::Connection m_placeLabels;
    QString m_categoryTitle;
    QColor m_barColor;
    QColor m_lineColor;
    int m_page = 1;
    bool m_loading = false;
};
