#pragma once

#include "ui/GridTypes.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GridRowSource;

// The grid's cell store. Indexes here are 0-based (Qt's); the Grid view translates the
// windows' 1-based addresses.
//
// Each row keeps all its cell texts in one byte array: a small header of cell end offsets
// followed by the texts back to back (UTF-8, or UTF-16 where that is shorter), so a long
// list costs one small allocation per row and reading a cell is a constant-time slice. Rarely used per-cell attributes (colours,
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
    // The same for a list shown from its end: `source` reads backwards (its rows come last
    // row first); its first block is the end of the list and each further block goes in
    // above the rows read so far (fetchBefore, as the view scrolls up).
    bool fillFromEnd(std::unique_ptr<GridRowSource> source);
    bool hasMoreRows() const { return bool(m_source); }
    bool hasRowsBefore() const { return m_source && m_sourceBefore; }
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;
    bool canFetchBefore() const { return hasRowsBefore() && !m_filling && !m_reading; }
    void fetchBefore();
    // Reads every row the source still holds, or on until the model has `upTo` rows.
    void fetchAll(int upTo = -1);
    // Rows read per block as the view scrolls, for every grid (tests make it small).
    static int fetchBlockRows();
    static void setFetchBlockRows(int rows);
    // Rows the source still holds arrive with their check box in `col` ticked when `ticked`
    // says so for their texts: ticking every row of a long list without reading it. An
    // empty function ticks none; the next fill drops the rule.
    void setUnreadTicks(int col, std::function<bool(const QStringList& texts)> ticked);
    bool hasUnreadTicks() const { return bool(m_unreadTicked); }
    // Every row in the list's order, also those the source still holds: these are read a
    // block at a time from a copy of the source, ticked by the rule above, and dropped
    // after their visit, so the grid keeps only the rows it shows. `visit` gets the row
    // (-1 for one not read) and its cell texts, and returns false to stop. False when a
    // read failed.
    bool forEachRow(const std::function<bool(int row, const QStringList& texts)>& visit) const;
    // False for a list read from its end or with a column worked out per row: its rows
    // still to come cannot be passed over that way, and are read in first.
    bool passesOverRest() const { return !m_sourceBefore && m_derivedCol < 0; }

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
    // With two header rows, neighbouring columns whose first-row captions are the same and
    // whose second-row captions are their own share one cell for the first caption, on the
    // screen and on paper alike.
    static bool SharesTopCaption(const QString& top, const QString& sub, const QString& nextTop,
                                 const QString& nextSub)
    {
        return !top.isEmpty() && top == nextTop && !sub.isEmpty() && !nextSub.isEmpty();
    }
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
    // A rule asked whether a cell is locked, besides column locks and setCellLocked: a
    // window whose locks follow from a row's content states them once instead of per cell.
    void setLockRule(std::function<bool(int row, int col)> locked) { m_lockRule = std::move(locked); }

    // ---- a column worked out when read ----
    // The texts of column `col` are asked of `text(row)` whenever a cell of it is read,
    // drawn, exported or printed, not stored per row (one such column; an empty function
    // ends it). derivedChanged() tells the views that its cells from `fromRow` on changed.
    void setDerivedColumn(int col, std::function<QString(int row)> text);
    void derivedChanged(int col, int fromRow);

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
    // One row's cells packed by PackRow: bytes whose length their header gives, one pointer
    // wide (a list of a million rows keeps a million of them).
    struct PackedRow {
        std::unique_ptr<uchar[]> bytes;
        void clear() { bytes.reset(); }
    };
    // Rows read from a source after its first block are kept compressed, a chunk of up to
    // 256 rows in one buffer: a list read whole (Ctrl+End, find, print) then holds about a
    // fifth of their packed size. A few chunks are kept open in a small cache, where cells
    // are read and written; a changed chunk is compressed again when it leaves the cache.
    struct Row {
        PackedRow packed; // see PackRow; empty while the row lies in a chunk
        quint32 chunk = 0; // 1 + the index of the chunk holding the row, 0 for none
        quint16 slot = 0; // the row's place in its chunk
        quint8 flags = 0;
        std::unique_ptr<RowExtra> extra;
    };
    struct Chunk {
        QByteArray data; // the rows' packed bytes, each after its length, compressed
        int rows = 0;
        int live = 0; // rows of the grid still in it
    };
    struct OpenChunk {
        quint32 chunk = 0; // as Row::chunk; 0 for a free place
        std::vector<PackedRow> rows;
        bool dirty = false;
        quint64 used = 0;
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

    static PackedRow PackRow(const QStringList& texts, int cols);
    static QString PackedCell(const PackedRow& packed, int col);
    // `packed` with cell `col` holding `text`, its other cells' bytes copied as they are;
    // nullopt when the row must be packed anew (no form yet, or a half surrogate pair in
    // a UTF-8 row).
    static std::optional<PackedRow> WithCell(const PackedRow& packed, int col, const QString& text,
                                             int cols);
    // True when the cell holds just `only` (an ASCII character), without making a string.
    static bool PackedCellIs(const PackedRow& packed, int col, char16_t only);
    static int PackedCount(const PackedRow& packed);
    bool valid(const QModelIndex& index) const;
    RowExtra& extra(int row);
    const CellAttr* cellAttr(int row, int col) const;
    void emitRowChanged(int row, int col = -1);
    bool isSumCol(int col) const { return m_sumCols.contains(col); }
    QString cellText(int row, int col) const;
    // The packed bytes of a row, wherever they are kept. The reference holds until the next
    // row of another chunk is asked for.
    const PackedRow& packedOf(int row) const;
    void storePacked(int row, PackedRow packed);
    static QByteArray ChunkBytes(const PackedRow* rows, size_t count);
    OpenChunk& openChunk(quint32 chunk) const;
    void closeChunk(OpenChunk& open) const;
    void compressRows(std::vector<Row>& rows);
    void releaseChunk(quint32 chunk);
    void dropChunks();
    void readBlock(int count);
    void tickUnread(QVector<QStringList>& texts) const;
    bool fillWith(std::unique_ptr<GridRowSource> source, bool before);

    std::vector<Row> m_rows;
    mutable std::vector<Chunk> m_chunks;
    mutable std::array<OpenChunk, 8> m_open;
    mutable quint64 m_openClock = 0;
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
    bool m_sourceBefore = false; // ... or above every row (a list read from its end)
    int m_tickCol = -1;
    QColor m_tickedColor;
    bool m_reading = false; // a block is being read and inserted
    quint64 m_fills = 0; // counts fills and clears, so a block read across one is dropped
    int m_unreadTickCol = -1;
    std::function<bool(const QStringList&)> m_unreadTicked;
    std::function<bool(int row, int col)> m_lockRule;
    int m_derivedCol = -1;
    std::function<QString(int row)> m_derivedText;
};
