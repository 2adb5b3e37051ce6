#pragma once

#include "ui/GridTypes.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class GridRowSource;

// The grid's cell store. Indexes here are 0-based (Qt's); the Grid view translates the
// windows' 1-based addresses.
//
// Each row keeps all its cell texts in one QString: a small header of cell end offsets
// followed by the texts back to back, so a 100,000-row list costs one allocation per row
// and reading a cell is a constant-time slice. Rarely used per-cell attributes (colours,
// locks) live in a side structure that only decorated rows allocate.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // ---- size and cells ----
    void setRowCount(int rows);
    void setColumnCount(int cols);
    QString cell(int row, int col) const;
    bool cellEmpty(int row, int col) const;
    void setCell(int row, int col, const QString& text); // from code: no cellEdited
    QStringList rowTexts(int row) const;
    void setRowTexts(int row, const QStringList& texts);
    bool rowEmpty(int row) const;
    int lastDataRow() const; // 0-based; -1 when every row is empty
    void clearAll();

    // Bulk fill (one model reset at the end).
    void beginFill(int expectedRows);
    void appendRow(const QStringList& texts);
    void endFill();
    bool filling() const { return m_filling; }

    // ---- rows read on demand (see GridRowSource) ----
    // Empties the grid and shows the first block of `source`; the source is kept for the
    // rows after it while it holds more. False, with the grid unchanged, when the first
    // read fails.
    bool fillFrom(std::unique_ptr<GridRowSource> source);
    bool hasMoreRows() const { return bool(m_source); }
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;
    // Reads every row the source still holds.
    void fetchAll();
    // Rows read per block as the view scrolls, for every grid (tests make it small).
    static int fetchBlockRows();
    static void setFetchBlockRows(int rows);

    // ---- columns ----
    QString colTag(int col) const;
    void setColTag(int col, const QString& tag);
    int findColByTag(const QString& tag) const;
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment align);
    CellType colType(int col) const;
    void setColType(int col, CellType type);
    bool colLocked(int col) const;
    void setColLocked(int col, bool locked);
    // Longest text a person may type or paste into a cell of the column.
    int colMaxChars(int col) const;
    void setColMaxChars(int col, int chars);
    int headerRows() const { return m_headerRows; }
    void setHeaderRows(int rows);
    QString headerText(int col, int headerRow) const;
    void setHeaderText(int col, int headerRow, const QString& text);

    // ---- rows ----
    QString rowMark(int row) const;
    void setRowMark(int row, const QString& mark);
    bool hasMarkedRows(const QString& mark) const;
    bool rowUserHidden(int row) const;
    void setRowUserHidden(int row, bool hidden);
    void setRowBackColor(int row, const QColor& color);
    void setRowBold(int row, bool bold);
    void setCellBackColor(int row, int col, const QColor& color);
    void setCellForeColor(int row, int col, const QColor& color);
    void setOddEvenColors(const QColor& odd, const QColor& even);
    // Rows whose check box in `col` is ticked show `color` (invalid: none), without a
    // colour stored per row.
    void setTickedRowColor(int col, const QColor& color);

    // Totals row: see Grid::addTotalsRow. Rows 0-based, -1 when none.
    int addTotalsRow(const QList<int>& sumCols, int captionCol);
    void removeTotalsRow();
    int totalsRow() const { return m_totalsRow; }
    void recalcTotals();

    // ---- cells, modes ----
    bool cellLocked(int row, int col) const;
    void setCellLocked(int row, int col, bool locked);
    bool isProtected() const { return m_protect; }
    void setProtect(bool on);
    bool listMode() const { return m_listMode; }
    void setListMode(bool on);
    bool cellEditable(int row, int col) const;
    int dividerEvery() const { return m_dividerEvery; }
    void setDividerEvery(int rows) { m_dividerEvery = rows; }

    // Leading numeric value of a text ("1,234원" → 1234); 0 when none.
    static double leadingNumber(const QString& text);
    // Sum as shown in a totals row: thousands separators, up to two decimals.
    static QString formatSum(double value);

    static const QColor TotalsColor;
    static const QString TotalsCaption;

signals:
    // A user edit (editor commit or check-box toggle) changed a cell. 0-based.
    void cellEdited(int row, int col);

private:
    struct CellAttr {
        QColor back;
        QColor fore;
        bool locked = false;
    };
    struct RowExtra {
        QColor back;
        bool bold = false;
        QString otherMark; // a mark other than subtotal/grand total
        QHash<int, CellAttr> cells;
    };
    enum RowFlag : quint8 { FlagHidden = 1, FlagSubtotal = 2, FlagGrandTotal = 4 };
    struct Row {
        QString packed; // see PackRow
        quint8 flags = 0;
        std::unique_ptr<RowExtra> extra;
    };
    struct ColInfo {
        QString tag;
        QString header[2];
        Qt::Alignment align = {};
        bool alignSet = false;
        CellType type = CellType::Text;
        bool locked = false;
        int maxChars = GridCellMaxChars;
    };

    static QString PackRow(const QStringList& texts, int cols);
    static QString PackedCell(const QString& packed, int col);
    static int PackedCount(const QString& packed);
    bool valid(const QModelIndex& index) const;
    RowExtra& extra(int row);
    const CellAttr* cellAttr(int row, int col) const;
    void emitRowChanged(int row, int col = -1);
    bool isSumCol(int col) const { return m_sumCols.contains(col); }
    void readBlock(int count);

    std::vector<Row> m_rows;
    QList<ColInfo> m_cols;
    int m_headerRows = 1;
    bool m_protect = true;
    bool m_listMode = false;
    bool m_filling = false;
    int m_dividerEvery = 0;
    QColor m_oddColor;
    QColor m_evenColor;
    int m_totalsRow = -1;
    int m_totalsCaptionCol = 0;
    QList<int> m_sumCols;
    std::unique_ptr<GridRowSource> m_source;
    int m_sourceAt = 0; // where the source's next rows go: after the rows it gave so far
    int m_tickCol = -1;
    QColor m_tickedColor;
    bool m_reading = false; // a block is being read and inserted
    quint64 m_fills = 0; // counts fills and clears, so a block read across one is dropped
};
