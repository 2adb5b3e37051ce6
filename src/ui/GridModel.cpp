#include "ui/GridModel.h"

#include "ui/GridRowSource.h"

#include <QFont>
#include <QLocale>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

const QColor GridModel::TotalsColor(224, 240, 224);
const QString GridModel::TotalsCaption = QStringLiteral("[합 계]");

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

GridModel::~GridModel() = default;

bool GridModel::valid(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount()
           && index.column() < columnCount();
}

// ---- packed rows ----
//
// Layout of Row::packed: char 0 = number of cells n, then for each cell its end offset
// (relative to the text area) as two chars (high, low 16 bits), then the texts. Trailing
// empty cells are not stored; a row without text is a null QString.

QString GridModel::PackRow(const QStringList& texts, int cols)
{
    int n = std::min(int(texts.size()), cols);
    while (n > 0 && texts.at(n - 1).isEmpty())
        --n;
    if (n == 0)
        return {};
    qsizetype total = 0;
    for (int i = 0; i < n; ++i)
        total += texts.at(i).size();
    QString packed;
    packed.reserve(1 + 2 * n + total);
    packed.append(QChar(char16_t(n)));
    quint32 end = 0;
    for (int i = 0; i < n; ++i) {
        end += quint32(texts.at(i).size());
        packed.append(QChar(char16_t(end >> 16)));
        packed.append(QChar(char16_t(end & 0xFFFF)));
    }
    for (int i = 0; i < n; ++i)
        packed.append(texts.at(i));
    return packed;
}

int GridModel::PackedCount(const QString& packed)
{
    return packed.isEmpty() ? 0 : packed.at(0).unicode();
}

QString GridModel::PackedCell(const QString& packed, int col)
{
    const int n = PackedCount(packed);
    if (col < 0 || col >= n)
        return {};
    const QChar* p = packed.constData();
    auto endOf = [p](int i) {
        return (quint32(p[1 + 2 * i].unicode()) << 16) | p[2 + 2 * i].unicode();
    };
    const quint32 start = col == 0 ? 0 : endOf(col - 1);
    const quint32 end = endOf(col);
    return packed.mid(1 + 2 * n + start, end - start);
}

// ---- QAbstractItemModel ----

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_cols.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!valid(index))
        return {};
    const int r = index.row();
    const int c = index.column();
    const Row& row = m_rows[size_t(r)];
    const ColInfo& col = m_cols.at(c);
    switch (role) {
    case Qt::DisplayRole:
        if (col.type == CellType::CheckBox)
            return {};
        return PackedCell(row.packed, c);
    case Qt::EditRole:
        return PackedCell(row.packed, c);
    case Qt::ToolTipRole:
        if (m_listMode && col.type != CellType::CheckBox) {
            QString t = PackedCell(row.packed, c);
            // A tool tip that looks like markup would be rendered: show it escaped.
            if (Qt::mightBeRichText(t))
                return QStringLiteral("<span style=\"white-space:pre\">") + t.toHtmlEscaped() + QStringLiteral("</span>");
            if (!t.isEmpty())
                return t;
        }
        return {};
    case Qt::CheckStateRole:
        if (col.type != CellType::CheckBox)
            return {};
        return PackedCell(row.packed, c) == QLatin1String("1") ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (col.alignSet)
            return QVariant::fromValue(col.align | Qt::AlignVCenter);
        if (col.type == CellType::Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (col.type == CellType::CheckBox || col.type == CellType::Button)
            return QVariant::fromValue(Qt::AlignCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole: {
        if (const CellAttr* a = cellAttr(r, c); a && a->back.isValid())
            return a->back;
        if (row.extra && row.extra->back.isValid())
            return row.extra->back;
        if (r == m_totalsRow)
            return TotalsColor;
        if (m_tickCol >= 0 && PackedCell(row.packed, m_tickCol) == QLatin1String("1"))
            return m_tickedColor;
        const QColor& oe = (r % 2 == 0) ? m_oddColor : m_evenColor; // row 1 is odd
        if (oe.isValid())
            return oe;
        return {};
    }
    case Qt::ForegroundRole:
        if (const CellAttr* a = cellAttr(r, c); a && a->fore.isValid())
            return a->fore;
        return {};
    case Qt::FontRole:
        if ((row.extra && row.extra->bold) || r == m_totalsRow) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!valid(index))
        return false;
    const int r = index.row();
    const int c = index.column();
    QString text;
    if (role == Qt::CheckStateRole) {
        if (m_cols.at(c).type != CellType::CheckBox)
            return false;
        text = value.value<Qt::CheckState>() == Qt::Checked ? QStringLiteral("1") : QString();
    } else if (role == Qt::EditRole) {
        text = m_cols.at(c).type == CellType::Text || m_cols.at(c).type == CellType::Number
                   ? CleanTypedCell(value.toString(), m_cols.at(c).maxChars)
                   : value.toString();
    } else {
        return false;
    }
    if (cell(r, c) == text)
        return true; // unchanged: no change event, as a spreadsheet does
    setCell(r, c, text);
    emit cellEdited(r, c);
    return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return {};
    }
    if (section < 0 || section >= m_cols.size())
        return {};
    const ColInfo& col = m_cols.at(section);
    switch (role) {
    case Qt::DisplayRole:
        if (m_headerRows == 2)
            return col.header[0] + QLatin1Char('\n') + col.header[1];
        return col.header[0];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!valid(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!cellEditable(index.row(), index.column()))
        return f;
    switch (m_cols.at(index.column()).type) {
    case CellType::Text:
    case CellType::Number:
        f |= Qt::ItemIsEditable;
        break;
    case CellType::CheckBox:
        f |= Qt::ItemIsUserCheckable;
        break;
    case CellType::Button:
        break;
    }
    return f;
}

bool GridModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > rowCount() || count <= 0)
        return false;
    beginInsertRows({}, row, row + count - 1);
    if (row < m_sourceAt)
        m_sourceAt += count;
    std::vector<Row> fresh;
    fresh.resize(size_t(count));
    m_rows.insert(m_rows.begin() + row, std::make_move_iterator(fresh.begin()),
                  std::make_move_iterator(fresh.end()));
    if (m_totalsRow >= row)
        m_totalsRow += count;
    endInsertRows();
    return true;
}

bool GridModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    if (row + count <= m_sourceAt)
        m_sourceAt -= count;
    else if (row < m_sourceAt)
        m_sourceAt = row;
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    bool totalsGone = false;
    if (m_totalsRow >= row + count) {
        m_totalsRow -= count;
    } else if (m_totalsRow >= row) {
        m_totalsRow = -1;
        m_sumCols.clear();
        totalsGone = true;
    }
    endRemoveRows();
    if (!totalsGone && m_totalsRow >= 0)
        recalcTotals();
    return true;
}

// ---- size and cells ----

void GridModel::setRowCount(int rows)
{
    rows = std::max(0, rows);
    const int now = rowCount();
    if (rows > now)
        insertRows(now, rows - now);
    else if (rows < now)
        removeRows(rows, now - rows);
}

void GridModel::setColumnCount(int cols)
{
    cols = std::max(0, cols);
    const int now = columnCount();
    if (cols > now) {
        beginInsertColumns({}, now, cols - 1);
        m_cols.resize(cols);
        endInsertColumns();
    } else if (cols < now) {
        beginRemoveColumns({}, cols, now - 1);
        m_cols.resize(cols);
        // Drop the texts of removed columns so that growing again shows empty cells.
        for (Row& row : m_rows) {
            if (PackedCount(row.packed) > cols) {
                QStringList texts;
                for (int c = 0; c < cols; ++c)
                    texts.append(PackedCell(row.packed, c));
                row.packed = PackRow(texts, cols);
            }
            if (row.extra) {
                for (auto it = row.extra->cells.begin(); it != row.extra->cells.end();)
                    it = it.key() >= cols ? row.extra->cells.erase(it) : std::next(it);
            }
        }
        m_sumCols.removeIf([cols](int c) { return c >= cols; });
        endRemoveColumns();
    }
}

QString GridModel::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return {};
    return PackedCell(m_rows[size_t(row)].packed, col);
}

bool GridModel::cellEmpty(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0)
        return true;
    const QString& p = m_rows[size_t(row)].packed;
    const int n = PackedCount(p);
    if (col >= n)
        return true;
    const QChar* d = p.constData();
    auto endOf = [d](int i) { return (quint32(d[1 + 2 * i].unicode()) << 16) | d[2 + 2 * i].unicode(); };
    return endOf(col) == (col == 0 ? 0u : endOf(col - 1));
}

void GridModel::setCell(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    QStringList texts = rowTexts(row);
    texts[col] = text;
    m_rows[size_t(row)].packed = PackRow(texts, columnCount());
    if (!m_filling) {
        emitRowChanged(row, col);
        if (m_totalsRow >= 0 && row != m_totalsRow && isSumCol(col))
            recalcTotals();
    }
}

QStringList GridModel::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= rowCount())
        return texts;
    const QString& p = m_rows[size_t(row)].packed;
    const int cols = columnCount();
    texts.reserve(cols);
    for (int c = 0; c < cols; ++c)
        texts.append(PackedCell(p, c));
    return texts;
}

void GridModel::setRowTexts(int row, const QStringList& texts)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[size_t(row)].packed = PackRow(texts, columnCount());
    if (!m_filling) {
        emitRowChanged(row);
        if (m_totalsRow >= 0 && row != m_totalsRow)
            recalcTotals();
    }
}

bool GridModel::rowEmpty(int row) const
{
    if (row < 0 || row >= rowCount())
        return true;
    const QString& p = m_rows[size_t(row)].packed;
    // PackRow drops trailing empty cells, so a stored row holds text unless all its
    // stored cells are empty strings in the middle, which PackRow cannot produce.
    return p.size() <= 1 + 2 * PackedCount(p);
}

int GridModel::lastDataRow() const
{
    for (int r = rowCount() - 1; r >= 0; --r)
        if (!rowEmpty(r))
            return r;
    return -1;
}

void GridModel::clearAll()
{
    beginResetModel();
    for (Row& row : m_rows) {
        row.packed.clear();
        row.flags = 0;
        row.extra.reset();
    }
    m_totalsRow = -1;
    m_sumCols.clear();
    m_source.reset();
    ++m_fills;
    endResetModel();
}

void GridModel::beginFill(int expectedRows)
{
    beginResetModel();
    m_source.reset();
    ++m_fills;
    m_filling = true;
    m_rows.clear();
    m_rows.reserve(size_t(std::max(0, expectedRows)));
    m_totalsRow = -1;
    m_sumCols.clear();
}

void GridModel::appendRow(const QStringList& texts)
{
    Row row;
    row.packed = PackRow(texts, columnCount());
    if (m_filling) {
        m_rows.push_back(std::move(row));
        return;
    }
    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_rows.push_back(std::move(row));
    endInsertRows();
}

void GridModel::endFill()
{
    if (!m_filling)
        return;
    m_filling = false;
    m_rows.shrink_to_fit();
    endResetModel();
}

void GridModel::setTickedRowColor(int col, const QColor& color)
{
    m_tickCol = color.isValid() ? col : -1;
    m_tickedColor = color;
}

// ---- rows read on demand ----

namespace {
int g_fetchBlockRows = 256; // a few screens: the first one shows without waiting for more
}

int GridModel::fetchBlockRows() { return g_fetchBlockRows; }

void GridModel::setFetchBlockRows(int rows) { g_fetchBlockRows = std::max(1, rows); }

bool GridModel::fillFrom(std::unique_ptr<GridRowSource> source)
{
    QVector<QStringList> first;
    const int block = fetchBlockRows();
    if (!source || !source->fetch(block, first))
        return false;
    // A first block whose rows the source's own rule all left out: read on to a row.
    while (first.isEmpty() && !source->atEnd())
        if (!source->fetch(block, first))
            return false;
    beginFill(int(first.size()));
    for (const QStringList& texts : first)
        appendRow(texts);
    endFill();
    if (!source->atEnd()) {
        m_source = std::move(source);
        m_sourceAt = rowCount();
    }
    return true;
}

bool GridModel::canFetchMore(const QModelIndex& parent) const
{
    // Not while a block goes in: the view, told of the new rows, may ask for more at once.
    return !parent.isValid() && m_source && !m_filling && !m_reading;
}

void GridModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        readBlock(fetchBlockRows());
}

void GridModel::fetchAll()
{
    // Larger blocks: fewer statements for a long read, and still no single huge result.
    while (canFetchMore())
        readBlock(fetchBlockRows() * 32);
}

void GridModel::readBlock(int count)
{
    // The source is taken for the read: a message box shown by a failed read lets the view
    // ask for more meanwhile, which then finds nothing to read.
    // A block whose rows were all left out by the source's own rule shows nothing: read
    // on, or the view would wait for a scroll that cannot come.
    // A fill meanwhile (the person searched again) makes this block stale.
    m_reading = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_reading};
    QVector<QStringList> texts;
    const quint64 fill = m_fills;
    while (texts.isEmpty() && m_source) {
        std::unique_ptr<GridRowSource> source = std::move(m_source);
        const bool ok = source->fetch(count, texts);
        if (fill != m_fills)
            return;
        if (ok && !source->atEnd())
            m_source = std::move(source);
    }
    if (texts.isEmpty())
        return;
    const int at = std::clamp(m_sourceAt, 0, rowCount());
    const int n = int(texts.size());
    std::vector<Row> fresh(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        fresh[size_t(i)].packed = PackRow(texts.at(i), columnCount());
    beginInsertRows({}, at, at + n - 1);
    m_rows.insert(m_rows.begin() + at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    if (m_totalsRow >= at)
        m_totalsRow += n;
    m_sourceAt = at + n;
    endInsertRows();
    if (m_totalsRow >= 0)
        recalcTotals();
}

// ---- columns ----

QString GridModel::colTag(int col) const
{
    return col >= 0 && col < m_cols.size() ? m_cols.at(col).tag : QString();
}

void GridModel::setColTag(int col, const QString& tag)
{
    if (col >= 0 && col < m_cols.size())
        m_cols[col].tag = tag;
}

int GridModel::findColByTag(const QString& tag) const
{
    for (int c = 0; c < m_cols.size(); ++c)
        if (m_cols.at(c).tag == tag)
            return c;
    return -1;
}

Qt::Alignment GridModel::colAlignment(int col) const
{
    if (col < 0 || col >= m_cols.size())
        return {};
    return data(index(0, col), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
}

void GridModel::setColAlignment(int col, Qt::Alignment align)
{
    if (col < 0 || col >= m_cols.size())
        return;
    m_cols[col].align = align & Qt::AlignHorizontal_Mask;
    m_cols[col].alignSet = true;
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::TextAlignmentRole});
}

CellType GridModel::colType(int col) const
{
    return col >= 0 && col < m_cols.size() ? m_cols.at(col).type : CellType::Text;
}

void GridModel::setColType(int col, CellType type)
{
    if (col < 0 || col >= m_cols.size())
        return;
    m_cols[col].type = type;
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col));
}

bool GridModel::colLocked(int col) const
{
    return col >= 0 && col < m_cols.size() && m_cols.at(col).locked;
}

void GridModel::setColLocked(int col, bool locked)
{
    if (col >= 0 && col < m_cols.size())
        m_cols[col].locked = locked;
}

int GridModel::colMaxChars(int col) const
{
    return col >= 0 && col < m_cols.size() ? m_cols.at(col).maxChars : GridCellMaxChars;
}

void GridModel::setColMaxChars(int col, int chars)
{
    if (col >= 0 && col < m_cols.size())
        m_cols[col].maxChars = qBound(1, chars, GridCellMaxChars);
}

QString CleanTypedCell(const QString& typed, int maxChars)
{
    QString out;
    out.reserve(qMin(typed.size(), qsizetype(maxChars) + 1));
    for (qsizetype i = 0; i < typed.size() && out.size() < maxChars; ++i) {
        const QChar ch = typed.at(i);
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) continue;
        if (ch.isHighSurrogate()) {
            if (i + 1 >= typed.size() || out.size() + 2 > maxChars) break;
            out += ch;
            out += typed.at(++i);
            continue;
        }
        out += ch;
    }
    return out;
}

void GridModel::setHeaderRows(int rows)
{
    m_headerRows = rows == 2 ? 2 : 1;
    if (!m_cols.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_cols.size()) - 1);
}

QString GridModel::headerText(int col, int headerRow) const
{
    if (col < 0 || col >= m_cols.size() || headerRow < 1 || headerRow > 2)
        return {};
    return m_cols.at(col).header[headerRow - 1];
}

void GridModel::setHeaderText(int col, int headerRow, const QString& text)
{
    if (col < 0 || col >= m_cols.size() || headerRow < 1 || headerRow > 2)
        return;
    m_cols[col].header[headerRow - 1] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

// ---- rows ----

GridModel::RowExtra& GridModel::extra(int row)
{
    Row& r = m_rows[size_t(row)];
    if (!r.extra)
        r.extra = std::make_unique<RowExtra>();
    return *r.extra;
}

const GridModel::CellAttr* GridModel::cellAttr(int row, int col) const
{
    const Row& r = m_rows[size_t(row)];
    if (!r.extra)
        return nullptr;
    auto it = r.extra->cells.constFind(col);
    return it == r.extra->cells.cend() ? nullptr : &it.value();
}

void GridModel::emitRowChanged(int row, int col)
{
    if (m_filling)
        return;
    if (col >= 0 && col != m_tickCol) // a tick recolours its whole row
        emit dataChanged(index(row, col), index(row, col));
    else if (columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QString GridModel::rowMark(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const Row& r = m_rows[size_t(row)];
    if (r.flags & FlagSubtotal)
        return QString::fromLatin1(RowMark::Subtotal);
    if (r.flags & FlagGrandTotal)
        return QString::fromLatin1(RowMark::GrandTotal);
    return r.extra ? r.extra->otherMark : QString();
}

void GridModel::setRowMark(int row, const QString& mark)
{
    if (row < 0 || row >= rowCount())
        return;
    Row& r = m_rows[size_t(row)];
    r.flags &= quint8(~(FlagSubtotal | FlagGrandTotal));
    if (r.extra)
        r.extra->otherMark.clear();
    if (mark == QLatin1String(RowMark::Subtotal))
        r.flags |= FlagSubtotal;
    else if (mark == QLatin1String(RowMark::GrandTotal))
        r.flags |= FlagGrandTotal;
    else if (!mark.isEmpty())
        extra(row).otherMark = mark;
}

bool GridModel::hasMarkedRows(const QString& mark) const
{
    for (int r = 0; r < rowCount(); ++r)
        if (rowMark(r) == mark)
            return true;
    return false;
}

bool GridModel::rowUserHidden(int row) const
{
    return row >= 0 && row < rowCount() && (m_rows[size_t(row)].flags & FlagHidden);
}

void GridModel::setRowUserHidden(int row, bool hidden)
{
    if (row < 0 || row >= rowCount())
        return;
    Row& r = m_rows[size_t(row)];
    r.flags = hidden ? quint8(r.flags | FlagHidden) : quint8(r.flags & ~FlagHidden);
}

void GridModel::setRowBackColor(int row, const QColor& color)
{
    if (row < 0 || row >= rowCount())
        return;
    extra(row).back = color;
    emitRowChanged(row);
}

void GridModel::setRowBold(int row, bool bold)
{
    if (row < 0 || row >= rowCount())
        return;
    extra(row).bold = bold;
    emitRowChanged(row);
}

void GridModel::setCellBackColor(int row, int col, const QColor& color)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    extra(row).cells[col].back = color;
    emitRowChanged(row, col);
}

void GridModel::setCellForeColor(int row, int col, const QColor& color)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    extra(row).cells[col].fore = color;
    emitRowChanged(row, col);
}

void GridModel::setOddEvenColors(const QColor& odd, const QColor& even)
{
    m_oddColor = odd;
    m_evenColor = even;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

// ---- totals ----

int GridModel::addTotalsRow(const QList<int>& sumCols, int captionCol)
{
    removeTotalsRow();
    const int at = lastDataRow() + 1;
    if (at >= rowCount())
        insertRows(at, 1);
    m_totalsRow = at;
    m_totalsCaptionCol = captionCol;
    m_sumCols.clear();
    for (int c : sumCols)
        if (c >= 0 && c < columnCount() && c != captionCol)
            m_sumCols.append(c);
    setCell(at, captionCol, TotalsCaption);
    recalcTotals();
    return at;
}

void GridModel::removeTotalsRow()
{
    if (m_totalsRow < 0)
        return;
    const int row = m_totalsRow;
    m_totalsRow = -1;
    m_sumCols.clear();
    removeRows(row, 1);
}

void GridModel::recalcTotals()
{
    if (m_totalsRow < 0)
        return;
    const int tr = m_totalsRow;
    m_totalsRow = -1; // setCell below must not recurse
    for (int c : std::as_const(m_sumCols)) {
        double sum = 0;
        for (int r = 0; r < tr; ++r) {
            if (m_rows[size_t(r)].flags & (FlagSubtotal | FlagGrandTotal))
                continue; // subtotal rows would count their rows twice
            sum += leadingNumber(PackedCell(m_rows[size_t(r)].packed, c));
        }
        setCell(tr, c, formatSum(sum));
    }
    m_totalsRow = tr;
}

// ---- cells, modes ----

bool GridModel::cellLocked(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return false;
    if (m_cols.at(col).locked)
        return true;
    const CellAttr* a = cellAttr(row, col);
    return a && a->locked;
}

void GridModel::setCellLocked(int row, int col, bool locked)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    if (!locked && !cellAttr(row, col))
        return; // open already: no attributes made for it
    extra(row).cells[col].locked = locked;
}

void GridModel::setProtect(bool on)
{
    m_protect = on;
}

void GridModel::setListMode(bool on)
{
    m_listMode = on;
}

bool GridModel::cellEditable(int row, int col) const
{
    if (row == m_totalsRow)
        return false;
    // A list is read-only, except for its tick boxes: ticking rows is how a list is used.
    if (m_listMode && m_cols.at(col).type != CellType::CheckBox)
        return false;
    return !(m_protect && cellLocked(row, col));
}

// Reads a number from the start of a text as a spreadsheet's VAL would: optional blanks
// and sign, digits with thousands separators, an optional fraction; anything after is
// ignored ("1,234원" → 1234).
double GridModel::leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    double value = 0;
    bool any = false;
    for (; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch >= u'0' && ch <= u'9') {
            value = value * 10 + (ch.unicode() - u'0');
            any = true;
        } else if (ch == u',' && any) {
            continue;
        } else {
            break;
        }
    }
    if (i < n && text.at(i) == u'.') {
        double scale = 0.1;
        for (++i; i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
            value += (text.at(i).unicode() - u'0') * scale;
            scale /= 10;
            any = true;
        }
    }
    if (!any)
        return 0;
    return negative ? -value : value;
}

QString GridModel::formatSum(double value)
{
    const double rounded = std::round(value * 100) / 100;
    // English grouping gives "1,234,567" whatever the desktop locale is.
    const QLocale c(QLocale::English, QLocale::UnitedStates);
    const bool whole = std::fabs(rounded - std::round(rounded)) < 1e-9;
    QString s = c.toString(rounded, 'f', whole ? 0 : 2);
    if (!whole && s.endsWith(u'0'))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}
