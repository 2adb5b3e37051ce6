#include "moneybook/FrmGraph.h"

#include "core/Prompt.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "ui/HCText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

namespace {
const QString kApp = QStringLiteral("GraphControl");
const QString kSection = QStringLiteral("Config");
const char* const kCheckKeys[FrmGraph::CheckCount] = {"값보기", "가로선", "막대채움",
                                                      "세로글자회전"};
const char* const kCheckDefaults[FrmGraph::CheckCount] = {"0", "1", "1", "0"};
const char* const kCheckCaptions[FrmGraph::CheckCount] = {"값보기", "가로선", "막대채움",
                                                          "세로글자 회전"};
const char* const kMaxKeys[FrmGraph::MaxCount] = {"MaxCols", "MaxYVal", "MGBottom"};
const char* const kMaxDefaults[FrmGraph::MaxCount] = {"50", "", "500"};
const char* const kColorKeys[2] = {"막대색", "꺾은선색"};
const char* const kColorDefaults[2] = {"255", "16711680"};
const double kUnits[] = {1, 1000, 10000, 1000000};

// Numbers on the graph read as money does everywhere in the program: whole, with thousands
// separators ("1,173,000", never "1.173e+06").
const QLocale& numberLocale() {
    static const QLocale locale(QLocale::Korean, QLocale::SouthKorea);
    return locale;
}

QString setting(const char* key, const char* fallback) {
    return Settings::getIn(kApp, kSection, QString::fromUtf8(key), QString::fromUtf8(fallback));
}

// The bars of a page that carry their date when dates do not fit under every bar: each
// month's first bar, then every step-th bar between them where it keeps step bars from
// its neighbours; the page's first bar too when it is not crowded by a month's first.
// Empty when the labels are not all dates.
QList<int> datedBars(const QStringList& labels, int step) {
    for (const QString& l : labels)
        if (!QDate::fromString(l, Qt::ISODate).isValid() || l.size() != 10) return {};
    QList<int> monthStarts;
    for (int i = 1; i < labels.size(); ++i)
        if (labels[i].left(7) != labels[i - 1].left(7) &&
            (monthStarts.isEmpty() || i - monthStarts.last() >= step))
            monthStarts << i;
    QList<int> kept;
    if (monthStarts.isEmpty() || monthStarts.first() >= step) kept << 0;
    int next = 0; // index into monthStarts
    for (int i = kept.isEmpty() ? 0 : 1; i < labels.size(); ++i) {
        if (next < monthStarts.size() && i == monthStarts[next]) {
            kept << i;
            ++next;
            continue;
        }
        const bool farFromLast = kept.isEmpty() || i - kept.last() >= step;
        const bool farFromNext = next >= monthStarts.size() || monthStarts[next] - i >= step;
        if (farFromLast && farFromNext) kept << i;
    }
    return kept;
}

QString titleKey() {
    return QStringLiteral("GraphA_인쇄제목");
}
} // namespace

QColor FrmGraph::colorFromNumber(const QString& text, const QColor& fallback) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > 0xFFFFFF) return fallback;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QString FrmGraph::colorNumber(const QColor& c) {
    return QString::number(c.red() + 256 * c.green() + 65536 * c.blue());
}

FrmGraph::FrmGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmGraph"));
    setWindowTitle(QStringLiteral("그래프"));
    resize(1000, 640);

    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("txtTitle"));
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("cboGraphType"));
    m_type->addItems({QStringLiteral("막대그래프"), QStringLiteral("꺾은선그래프"),
                      QStringLiteral("막대+꺾은선")});
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("cboUnit"));
    m_unit->addItems({QStringLiteral("원"), QStringLiteral("천원"), QStringLiteral("만원"),
                      QStringLiteral("백만원")});
    for (int i = 0; i < CheckCount; ++i) {
        m_checks[i] = new QCheckBox(QString::fromUtf8(kCheckCaptions[i]), this);
        m_checks[i]->setObjectName(QStringLiteral("chkGrpStat(%1)").arg(i));
    }
    for (int i = 0; i < 2; ++i) {
        m_colors[i] = new QPushButton(QString::fromUtf8(kColorKeys[i]), this);
        m_colors[i]->setObjectName(QStringLiteral("btnColor(%1)").arg(i));
        connect(m_colors[i], &QPushButton::clicked, this, [this, i] { chooseColor(i); });
    }
    for (int i = 0; i < MaxCount; ++i) {
        m_max[i] = new HCText(this);
        m_max[i]->setObjectName(QStringLiteral("htMax(%1)").arg(i));
        m_max[i]->setMaximumWidth(70);
        connect(m_max[i], &QLineEdit::editingFinished, this, [this, i] { checkMax(i); });
    }
    auto* refresh = new QPushButton(QStringLiteral("다시그리기"), this);
    refresh->setObjectName(QStringLiteral("cmdRefresh"));
    m_prev = new QPushButton(QStringLiteral("◀ 이전"), this);
    m_prev->setObjectName(QStringLiteral("cmdMovePage(0)"));
    m_next = new QPushButton(QStringLiteral("다음 ▶"), this);
    m_next->setObjectName(QStringLiteral("cmdMovePage(1)"));
    auto* print = new QPushButton(QStringLiteral("인쇄(F7)"), this);
    print->setObjectName(QStringLiteral("btnPrint"));
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblDataCnt"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_view = new QChartView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(640, 360);
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setLocale(numberLocale());
    chart->setLocalizeNumbers(true);
    m_days = new QCategoryAxis(chart);
    m_days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_days->setStartValue(-0.5);
    m_days->setGridLineVisible(false);
    m_names = new QBarCategoryAxis(chart);
    m_axisY = new QValueAxis(chart);
    m_axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(m_days, Qt::AlignBottom);
    chart->addAxis(m_names, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    // Pens set before the series join the chart keep their plain width: the chart's theme
    // only dresses series that have none of their own.
    m_bars = new QBarSet(QString());
    m_bars->setColor(Qt::red);
    m_bars->setBorderColor(Qt::red);
    m_barSeries = new QBarSeries(chart);
    m_barSeries->append(m_bars);
    m_line = new QLineSeries(chart);
    m_line->setPointsVisible(true);
    m_line->setColor(Qt::blue);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(m_barSeries), static_cast<QAbstractSeries*>(m_line)}) {
        chart->addSeries(series);
        series->attachAxis(m_names);
        series->attachAxis(m_axisY);
    }
    m_view->setChart(chart);

    loadSettings();

    connect(m_title, &QLineEdit::editingFinished, this, [this] {
        Settings::set(App().appTitle, QStringLiteral("Config_Form"), titleKey(), m_title->text());
        ReDrawGraph();
    });
    connect(m_type, &QComboBox::currentIndexChanged, this,
            [this](int i) { store(QStringLiteral("GraphType"), QString::number(i)); });
    connect(m_unit, &QComboBox::currentIndexChanged, this,
            [this](int i) { store(QStringLiteral("DataUnit"), QString::number(i)); });
    for (int i = 0; i < CheckCount; ++i)
        connect(m_checks[i], &QCheckBox::toggled, this, [this, i](bool on) {
            store(QString::fromUtf8(kCheckKeys[i]), on ? QStringLiteral("1") : QStringLiteral("0"));
        });
    connect(refresh, &QPushButton::clicked, this, &FrmGraph::ReDrawGraph);
    connect(m_prev, &QPushButton::clicked, this, [this] { setPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { setPage(m_page + 1); });
    connect(print, &QPushButton::clicked, this, &FrmGraph::print);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* row1 = new QHBoxLayout;
    row1->addWidget(new QLabel(QStringLiteral("제목:"), this));
    row1->addWidget(m_title, 1);
    row1->addWidget(new QLabel(QStringLiteral("그래프형:"), this));
    row1->addWidget(m_type);
    row1->addWidget(new QLabel(QStringLiteral("자료단위:"), this));
    row1->addWidget(m_unit);
    for (auto* c : m_colors)
        row1->addWidget(c);
    auto* row2 = new QHBoxLayout;
    for (auto* c : m_checks)
        row2->addWidget(c);
    row2->addWidget(new QLabel(QStringLiteral("칼럼수:"), this));
    row2->addWidget(m_max[MaxCols]);
    row2->addWidget(new QLabel(QStringLiteral("최대값:"), this));
    row2->addWidget(m_max[MaxYVal]);
    row2->addWidget(new QLabel(QStringLiteral("하단여백:"), this));
    row2->addWidget(m_max[MGBottom]);
    row2->addWidget(refresh);
    row2->addStretch();
    auto* row3 = new QHBoxLayout;
    row3->addWidget(m_count);
    row3->addStretch();
    row3->addWidget(m_prev);
    row3->addWidget(m_pageLabel);
    row3->addWidget(m_next);
    row3->addStretch();
    row3->addWidget(print);
    row3->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row1);
    layout->addLayout(row2);
    layout->addWidget(m_view, 1);
    layout->addLayout(row3);
    ReDrawGraph();
}

void FrmGraph::loadSettings() {
    m_loading = true;
    m_title->setText(
        Settings::getIn(App().appTitle, QStringLiteral("Config_Form"), titleKey(), QString()));
    m_type->setCurrentIndex(qBound(0, setting("GraphType", "0").toInt(), GraphTypeCount - 1));
    m_unit->setCurrentIndex(qBound(0, setting("DataUnit", "0").toInt(), m_unit->count() - 1));
    for (int i = 0; i < CheckCount; ++i)
        m_checks[i]->setChecked(setting(kCheckKeys[i], kCheckDefaults[i]) == QStringLiteral("1"));
    for (int i = 0; i < MaxCount; ++i)
        m_max[i]->setText(setting(kMaxKeys[i], kMaxDefaults[i]));
    m_barColor = colorFromNumber(setting(kColorKeys[0], kColorDefaults[0]), Qt::red);
    m_lineColor = colorFromNumber(setting(kColorKeys[1], kColorDefaults[1]), Qt::blue);
    m_loading = false;
}

void FrmGraph::store(const QString& key, const QString& value) {
    if (m_loading) return;
    Settings::set(kApp, kSection, key, value);
    ReDrawGraph();
}

void FrmGraph::checkMax(int index) {
    const QString text = m_max[index]->text().trimmed();
    if (index == MaxYVal && text.isEmpty()) { // no maximum: the axis scales itself
        store(QString::fromUtf8(kMaxKeys[index]), QString());
        return;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 1) {
        MsgInfo(QStringLiteral("1이상의 수치만 입력가능합니다."));
        m_max[index]->setText(QStringLiteral("1"));
    }
    store(QString::fromUtf8(kMaxKeys[index]), m_max[index]->text().trimmed());
}

void FrmGraph::chooseColor(int index) {
    const QColor initial = index == 0 ? m_barColor : m_lineColor;
    const std::optional<QColor> c =
        prompt().color(initial, QString::fromUtf8(kColorKeys[index]) + QStringLiteral(" 선택"));
    if (!c || !c->isValid()) return;
    (index == 0 ? m_barColor : m_lineColor) = *c;
    store(QString::fromUtf8(kColorKeys[index]), colorNumber(*c));
}

double FrmGraph::unitDivisor() const {
    return kUnits[qBound(0, m_unit->currentIndex(), 3)];
}

void FrmGraph::ClearGraph() {
    m_points.clear();
    m_page = 1;
}

void FrmGraph::AddData(const QString& label, double value) {
    m_points.append({label, value});
}

int FrmGraph::pageCount() const {
    const int perPage = qMax(1, m_max[MaxCols]->text().toInt());
    return qMax(1, int((m_points.size() + perPage - 1) / perPage));
}

void FrmGraph::setPage(int page) {
    m_page = qBound(1, page, pageCount());
    ReDrawGraph();
}

QChart* FrmGraph::chart() const {
    return m_view->chart();
}

QString FrmGraph::valueText(double value) {
    return numberLocale().toString(qint64(std::llround(value)));
}

void FrmGraph::setCategoryTitle(const QString& title) {
    m_categoryTitle = title;
}

void FrmGraph::ReDrawGraph() {
    const int perPage = qMax(1, m_max[MaxCols]->text().toInt());
    m_page = qBound(1, m_page, pageCount());
    const int first = (m_page - 1) * perPage;
    const int last = qMin(int(m_points.size()), first + perPage);
    const double divisor = unitDivisor();

    // One chart, its axes and series live as long as the window: a redraw only changes
    // their contents, so the chart lays out the axis labels it already has instead of
    // building every item (each label a text document) anew.
    QChart* chart = m_view->chart();
    chart->setTitle(m_title->text());
    const int bottom = qMax(0, m_max[MGBottom]->text().toInt()) / 15; // stored in twips
    chart->setMargins(QMargins(4, 4, 4, bottom));

    QStringList categories;
    QList<double> values;
    QList<QPointF> points;
    for (int i = first; i < last; ++i) {
        // Equal labels stay separate points: the axis needs distinct names.
        QString label = m_points[i].first;
        if (label.trimmed().isEmpty()) label = QStringLiteral("(없음)");
        while (categories.contains(label))
            label += QChar(0x200B);
        categories << label;
        // Whole units of the chosen unit: the bar's height and its label agree.
        const double v = std::round(m_points[i].second / divisor);
        values << v;
        points << QPointF(i - first, v);
    }
    // Labels wider than their bar would be cut short: they stand upright instead.
    int widest = 0;
    static const QFont labelsFont = QBarCategoryAxis().labelsFont();
    const QFontMetrics fm(labelsFont);
    for (const QString& c : categories)
        widest = qMax(widest, fm.horizontalAdvance(c));
    const int count = qMax(1, int(categories.size()));
    const int room = (qMax(m_view->width(), 640) - 120) / count;
    const bool upright = m_checks[RotatedLabels]->isChecked();
    QAbstractAxis* axisX = nullptr;
    // A run of days too dense for a date under every bar: each day keeps its bar, and the
    // dates stand under every few bars and under each month's first bar.
    const int step = upright ? (fm.height() + room - 1) / qMax(1, room)
                             : (widest + 12 + room - 1) / qMax(1, room);
    const QList<int> dated = step > 1 ? datedBars(categories, step) : QList<int>();
    if (!dated.isEmpty()) {
        QCategoryAxis* days = m_days;
        for (const QString& l : days->categoriesLabels())
            days->remove(l);
        for (int i : dated)
            days->append(categories[i], i);
        days->setRange(-0.5, categories.size() - 0.5);
        days->setLabelsAngle(upright ? -90 : 0);
        axisX = days;
    } else {
        m_names->setCategories(categories);
        m_names->setLabelsAngle(upright || widest + 8 > room ? -90 : 0);
        axisX = m_names;
    }
    // Both kinds of category axis stay in the chart, the one not in use hidden: taking an
    // axis out leaves its items to be deleted later, still drawn until then.
    for (QAbstractAxis* a :
         {static_cast<QAbstractAxis*>(m_days), static_cast<QAbstractAxis*>(m_names)}) {
        a->setTitleText(m_categoryTitle);
        a->setVisible(a == axisX);
    }
    m_axisY->setGridLineVisible(m_checks[GridLines]->isChecked());
    m_axisY->setTitleText(QStringLiteral("금액 (") + m_unit->currentText() + QStringLiteral(")"));

    // A series not shown is hidden and empty; one shown is bound to the current axes.
    auto show = [axisX, this](QAbstractSeries* series, bool on) {
        series->setVisible(on);
        if (!on) return;
        for (QAbstractAxis* a : series->attachedAxes())
            if (a != axisX && a != m_axisY) series->detachAxis(a);
        if (!series->attachedAxes().contains(axisX)) series->attachAxis(axisX);
    };
    QAbstractSeries* labelled = nullptr;
    const int type = m_type->currentIndex();
    const bool withBars = type == Bar || type == BarAndLine;
    const bool withLine = type == Line || type == BarAndLine;
    m_bars->remove(0, m_bars->count());
    if (withBars) {
        m_bars->setBorderColor(m_barColor);
        m_bars->setBrush(m_checks[FilledBars]->isChecked() ? QBrush(m_barColor)
                                                           : QBrush(Qt::NoBrush));
        m_bars->append(values);
        labelled = m_barSeries;
    }
    m_line->replace(withLine ? points : QList<QPointF>());
    if (withLine) {
        m_line->setColor(m_lineColor);
        labelled = m_line;
    }
    show(m_barSeries, withBars);
    show(m_line, withLine);
    double top = 0;
    for (double v : values)
        top = qMax(top, v);
    const QString maxText = m_max[MaxYVal]->text().trimmed();
    const double fixedMax = maxText.toDouble();
    m_axisY->setTickCount(5); // as a new axis has it: the last nice numbers may have changed it
    m_axisY->setRange(0, fixedMax >= 1 ? fixedMax : (top > 0 ? top * 1.15 : 1));
    if (fixedMax < 1) m_axisY->applyNiceNumbers();

    // Value labels of our own, above each bar or point, so that even a bar a few pixels
    // high carries a readable number.
    qDeleteAll(m_valueLabels);
    m_valueLabels.clear();
    disconnect(m_placeLabels);
    if (m_checks[ShowValues]->isChecked() && labelled) {
        for (int i = 0; i < values.size(); ++i) {
            auto* item = new QGraphicsSimpleTextItem(valueText(values[i]), chart);
            item->setZValue(10);
            m_valueLabels << item;
        }
        auto place = [this, chart, labelled, values] {
            const QRectF plot = chart->plotArea();
            // Labels wider than a bar's room stand upright, so neighbours do not overlap.
            const qreal room = chart->mapToPosition(QPointF(1, 0), labelled).x() -
                               chart->mapToPosition(QPointF(0, 0), labelled).x();
            for (int i = 0; i < m_valueLabels.size() && i < values.size(); ++i) {
                QGraphicsSimpleTextItem* item = m_valueLabels[i];
                const QRectF box = item->boundingRect();
                const QPointF at = chart->mapToPosition(QPointF(i, values[i]), labelled);
                if (box.width() + 4 > room) {
                    item->setRotation(-90);
                    item->setPos(at.x() - box.height() / 2,
                                 qMax(plot.top() + box.width(), at.y() - 2));
                } else {
                    item->setRotation(0);
                    item->setPos(at.x() - box.width() / 2,
                                 qMax(plot.top(), at.y() - box.height() - 2));
                }
            }
        };
        m_placeLabels = connect(chart, &QChart::plotAreaChanged, this, place);
        // The plot area may keep its size (same axes, same labels): place them now too.
        place();
    }

    m_count->setText(QStringLiteral("총 ") + QString::number(m_points.size()) +
                     QStringLiteral("건"));
    m_pageLabel->setText(QString::number(m_page) + QStringLiteral("/") +
                         QString::number(pageCount()));
    m_prev->setEnabled(m_page > 1);
    m_next->setEnabled(m_page < pageCount());
}

void FrmGraph::printTo(QPagedPaintDevice* device) {
    // The chart carries its title: printed once, above the bars.
    QPainter painter(device);
    m_view->render(&painter, QRectF(painter.viewport()));
}

void FrmGraph::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { printTo(p); });
    preview.exec();
}

void FrmGraph::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F7 && event->modifiers() == Qt::NoModifier) {
        print();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
