#include "ui/GridModel.h"

#include "ui/GridRowSource.h"

#include <QFont>
#include <QLocale>
#include <QStringEncoder>
#include <QTextDocument>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>

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
// Layout of Row::packed, in bytes: [0] the form (bits 0-1: width of an offset, 1, 2 or 4
// bytes; bit 2: texts in UTF-16 rather than UTF-8), [1..2] the number of cells n, then
// for each cell the end of its text (relative to the text area), then the texts. The rows
// of a list are short and mostly digits and Latin letters: UTF-8 with one-byte offsets
// takes about half of what UTF-16 does. A row mostly in Hangul, which UTF-8 makes longer,
// keeps UTF-16. Trailing empty cells are not stored; a row without text is empty.

namespace {
constexpr uchar FormUtf16 = 4;

int offsetWidth(uchar form) { return 1 << (form & 3); }

quint32 readOffset(const uchar* p, int width)
{
    switch (width) {
    case 1: return p[0];
    case 2: return quint32(p[0]) | quint32(p[1]) << 8;
    default: return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
}

void writeOffset(uchar* p, int width, quint32 value)
{
    for (int i = 0; i < width; ++i)
        p[i] = uchar(value >> (8 * i));
}

// Half a surrogate pair has no UTF-8 form.
bool hasHalfSurrogate(const QString& t)
{
    for (qsizetype k = 0; k < t.size(); ++k) {
        const QChar c = t.at(k);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && k + 1 < t.size() && t.at(k + 1).isLowSurrogate()) {
            ++k;
            continue;
        }
        return true;
    }
    return false;
}

struct PackedView {
    const uchar* data = nullptr;
    int count = 0;
    int width = 1;
    bool utf16 = false;
    const uchar* texts = nullptr;
    template <class Packed>
    explicit PackedView(const Packed& packed)
    {
        if (!packed.bytes)
            return;
        data = packed.bytes.get();
        width = offsetWidth(data[0]);
        utf16 = data[0] & FormUtf16;
        count = data[1] | data[2] << 8;
        texts = data + 3 + width * count;
    }
    quint32 end(int col) const { return readOffset(data + 3 + width * col, width); }
    quint32 start(int col) const { return col == 0 ? 0 : end(col - 1); }
};
} // namespace

GridModel::PackedRow GridModel::PackRow(const QStringList& texts, int cols)
{
    int n = std::min({int(texts.size()), cols, 0xFFFF});
    while (n > 0 && texts.at(n - 1).isEmpty())
        --n;
    if (n == 0)
        return {};
    qsizetype chars = 0;
    for (int i = 0; i < n; ++i)
        chars += texts.at(i).size();
    // Every cell in UTF-8 first (at most three bytes a UTF-16 unit), then the shorter form.
    static thread_local QByteArray utf8; // kept between rows: one row after another is packed
    if (utf8.size() < chars * 3)
        utf8.resize(chars * 3);
    QVarLengthArray<quint32, 64> ends(n);
    // Stateless: half a surrogate pair at the end of one cell is not joined to the next.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    char* const begin = utf8.data();
    char* out = begin;
    for (int i = 0; i < n; ++i) {
        out = encoder.appendToBuffer(out, texts.at(i));
        ends[i] = quint32(out - begin);
    }
    // Half a surrogate pair has no UTF-8 form: such a row is kept as it is, in UTF-16.
    bool unpaired = false;
    for (int i = 0; i < n && !unpaired; ++i)
        unpaired = hasHalfSurrogate(texts.at(i));
    const bool wide = unpaired || qsizetype(ends[n - 1]) > 2 * chars;
    const quint32 total = wide ? quint32(2 * chars) : ends[n - 1];
    const int width = total <= 0xFF ? 1 : total <= 0xFFFF ? 2 : 4;
    PackedRow packed{std::make_unique_for_overwrite<uchar[]>(size_t(3 + width * n) + total)};
    uchar* p = packed.bytes.get();
    p[0] = uchar((width == 1 ? 0 : width == 2 ? 1 : 2) | (wide ? FormUtf16 : 0));
    p[1] = uchar(n & 0xFF);
    p[2] = uchar(n >> 8);
    uchar* text = p + 3 + width * n;
    if (wide) {
        quint32 end = 0;
        for (int i = 0; i < n; ++i) {
            const QString& t = texts.at(i);
            std::memcpy(text + end, t.constData(), size_t(t.size()) * 2);
            end += quint32(t.size()) * 2;
            writeOffset(p + 3 + width * i, width, end);
        }
    } else {
        std::memcpy(text, begin, total);
        for (int i = 0; i < n; ++i)
            writeOffset(p + 3 + width * i, width, ends[i]);
    }
    return packed;
}

std::optional<GridModel::PackedRow> GridModel::WithCell(const PackedRow& packed, int col,
                                                       const QString& text, int cols)
{
    const PackedView v(packed);
    if (col < 0 || col >= std::min(cols, 0xFFFF))
        return std::nullopt;
    // The new text in the row's form; UTF-8 only when it has no half surrogate pair.
    QByteArray bytes;
    if (v.utf16 || !v.data) {
        if (!v.data && !text.isEmpty())
            return std::nullopt; // an empty row: PackRow chooses its form
        bytes = QByteArray(reinterpret_cast<const char*>(text.constData()), text.size() * 2);
    } else {
        if (hasHalfSurrogate(text))
            return std::nullopt;
        bytes = text.toUtf8();
    }
    int n = std::max(v.count, col + 1);
    auto span = [&](int i) -> std::pair<const uchar*, quint32> {
        if (i == col)
            return {reinterpret_cast<const uchar*>(bytes.constData()), quint32(bytes.size())};
        if (i >= v.count)
            return {nullptr, 0};
        const quint32 start = v.start(i);
        return {v.texts + start, v.end(i) - start};
    };
    while (n > 0 && span(n - 1).second == 0)
        --n;
    if (n == 0)
        return PackedRow{};
    quint64 total = 0;
    for (int i = 0; i < n; ++i)
        total += span(i).second;
    if (total > 0xFFFFFFFFu)
        return std::nullopt;
    const int width = total <= 0xFF ? 1 : total <= 0xFFFF ? 2 : 4;
    PackedRow out{std::make_unique_for_overwrite<uchar[]>(size_t(3 + width * n) + size_t(total))};
    uchar* p = out.bytes.get();
    p[0] = uchar((width == 1 ? 0 : width == 2 ? 1 : 2) | (v.utf16 ? FormUtf16 : 0));
    p[1] = uchar(n & 0xFF);
    p[2] = uchar(n >> 8);
    uchar* texts = p + 3 + width * n;
    quint32 end = 0;
    for (int i = 0; i < n; ++i) {
        const auto [from, length] = span(i);
        if (length)
            std::memcpy(texts + end, from, length);
        end += length;
        writeOffset(p + 3 + width * i, width, end);
    }
    return out;
}

int GridModel::PackedCount(const PackedRow& packed)
{
    return PackedView(packed).count;
}

QString GridModel::PackedCell(const PackedRow& packed, int col)
{
    const PackedView v(packed);
    if (col < 0 || col >= v.count)
        return {};
    const quint32 start = v.start(col);
    const quint32 length = v.end(col) - start;
    if (!v.utf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(v.texts + start), qsizetype(length));
    QString text(qsizetype(length / 2), Qt::Uninitialized);
    std::memcpy(text.data(), v.texts + start, length);
    return text;
}

bool GridModel::PackedCellIs(const PackedRow& packed, int col, char16_t only)
{
    const PackedView v(packed);
    if (col < 0 || col >= v.count)
        return false;
    const quint32 start = v.start(col);
    const quint32 length = v.end(col) - start;
    if (v.utf16) {
        char16_t unit = 0;
        if (length == 2)
            std::memcpy(&unit, v.texts + start, 2);
        return length == 2 && unit == only;
    }
    return length == 1 && v.texts[start] == only && only < 0x80;
}

// ---- compressed chunks of rows ----

namespace {
// Bytes of a packed row, header included; 0 for an empty row.
size_t packedSize(const uchar* p)
{
    if (!p)
        return 0;
    const int width = offsetWidth(p[0]);
    const int count = p[1] | p[2] << 8;
    return size_t(3 + width * count) + readOffset(p + 3 + width * (count - 1), width);
}
} // namespace

// The rows' packed bytes, each after its length, compressed.
QByteArray GridModel::ChunkBytes(const PackedRow* rows, size_t count)
{
    qsizetype bytes = 0;
    for (size_t i = 0; i < count; ++i)
        bytes += 4 + qsizetype(packedSize(rows[i].bytes.get()));
    QByteArray raw(bytes, Qt::Uninitialized);
    char* out = raw.data();
    for (size_t i = 0; i < count; ++i) {
        const quint32 size = quint32(packedSize(rows[i].bytes.get()));
        std::memcpy(out, &size, 4);
        if (size)
            std::memcpy(out + 4, rows[i].bytes.get(), size);
        out += 4 + size;
    }
    QByteArray packed = qCompress(raw, 1);
    packed.squeeze(); // qCompress leaves room for the whole input
    return packed;
}

void GridModel::compressRows(std::vector<Row>& rows)
{
    // A chunk holds a block as the view reads it (256 rows; tests make it small), at most
    // as many rows as its slot numbers reach.
    const size_t chunkRows = size_t(std::min(fetchBlockRows(), 0xFFFF));
    std::vector<PackedRow> chunk;
    for (size_t from = 0; from < rows.size(); from += chunkRows) {
        const size_t to = std::min(rows.size(), from + chunkRows);
        chunk.clear();
        for (size_t i = from; i < to; ++i) {
            chunk.push_back(std::move(rows[i].packed));
            rows[i].chunk = quint32(m_chunks.size() + 1);
            rows[i].slot = quint16(i - from);
        }
        m_chunks.push_back({ChunkBytes(chunk.data(), chunk.size()), int(to - from), int(to - from)});
    }
}

GridModel::OpenChunk& GridModel::openChunk(quint32 chunk) const
{
    ++m_openClock;
    OpenChunk* place = &m_open[0];
    for (OpenChunk& open : m_open) {
        if (open.chunk == chunk) {
            open.used = m_openClock;
            return open;
        }
        if (open.used < place->used)
            place = &open; // the least recently used; a free place has never been used
    }
    closeChunk(*place);
    const Chunk& c = m_chunks[chunk - 1];
    const QByteArray raw = qUncompress(c.data);
    place->rows.resize(size_t(c.rows));
    const char* in = raw.constData();
    const char* const end = in + raw.size();
    for (PackedRow& row : place->rows) {
        quint32 size = 0;
        if (end - in >= 4)
            std::memcpy(&size, in, 4);
        in += 4;
        if (size > quint32(std::max<qsizetype>(0, end - in)))
            size = 0; // cannot happen: the chunk was written here
        row.bytes = size ? std::make_unique_for_overwrite<uchar[]>(size) : nullptr;
        if (size)
            std::memcpy(row.bytes.get(), in, size);
        in += size;
    }
    place->chunk = chunk;
    place->dirty = false;
    place->used = m_openClock;
    return *place;
}

void GridModel::closeChunk(OpenChunk& open) const
{
    if (open.chunk && open.dirty && m_chunks[open.chunk - 1].live > 0)
        m_chunks[open.chunk - 1].data = ChunkBytes(open.rows.data(), open.rows.size());
    open = OpenChunk{};
}

const GridModel::PackedRow& GridModel::packedOf(int row) const
{
    const Row& r = m_rows[size_t(row)];
    if (!r.chunk)
        return r.packed;
    OpenChunk& open = openChunk(r.chunk);
    return open.rows[r.slot];
}

void GridModel::storePacked(int row, PackedRow packed)
{
    Row& r = m_rows[size_t(row)];
    if (!r.chunk) {
        r.packed = std::move(packed);
        return;
    }
    OpenChunk& open = openChunk(r.chunk);
    open.rows[r.slot] = std::move(packed);
    open.dirty = true;
}

void GridModel::releaseChunk(quint32 chunk)
{
    Chunk& c = m_chunks[chunk - 1];
    if (--c.live > 0)
        return;
    c.data = QByteArray();
    for (OpenChunk& open : m_open)
        if (open.chunk == chunk)
            open = OpenChunk{};
}

void GridModel::dropChunks()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    for (OpenChunk& open : m_open)
        open = OpenChunk{};
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
        return cellText(r, c);
    case Qt::EditRole:
        return cellText(r, c);
    case Qt::ToolTipRole:
        if (m_listMode && col.type != CellType::CheckBox) {
            QString t = cellText(r, c);
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
        return PackedCellIs(packedOf(r), c, u'1') ? Qt::Checked : Qt::Unchecked;
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
        if (m_tickCol >= 0 && PackedCellIs(packedOf(r), m_tickCol, u'1'))
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
    for (int r = row; r < row + count; ++r)
        if (m_rows[size_t(r)].chunk)
            releaseChunk(m_rows[size_t(r)].chunk);
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
        for (int r = 0; r < rowCount(); ++r) {
            Row& row = m_rows[size_t(r)];
            const PackedRow& packed = packedOf(r);
            if (PackedCount(packed) > cols) {
                QStringList texts;
                for (int c = 0; c < cols; ++c)
                    texts.append(PackedCell(packed, c));
                storePacked(r, PackRow(texts, cols));
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
    return cellText(row, col);
}

QString GridModel::cellText(int row, int col) const
{
    return col == m_derivedCol ? m_derivedText(row) : PackedCell(packedOf(row), col);
}

void GridModel::setDerivedColumn(int col, std::function<QString(int row)> text)
{
    m_derivedCol = text && col >= 0 ? col : -1;
    m_derivedText = std::move(text);
    derivedChanged(m_derivedCol, 0);
}

void GridModel::derivedChanged(int col, int fromRow)
{
    if (col < 0 || col >= columnCount() || m_filling || fromRow >= rowCount())
        return;
    emit dataChanged(index(std::max(0, fromRow), col), index(rowCount() - 1, col), {Qt::DisplayRole, Qt::EditRole});
}

bool GridModel::cellEmpty(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0)
        return true;
    if (col == m_derivedCol)
        return m_derivedText(row).isEmpty();
    const PackedView v(packedOf(row));
    return col >= v.count || v.end(col) == v.start(col);
}

void GridModel::setCell(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    const PackedRow& packed = packedOf(row);
    // Only the one cell's bytes are replaced; the whole row is packed anew only where the
    // row has no form yet or the text cannot be kept in the row's.
    if (auto spliced = WithCell(packed, col, text, columnCount())) {
        storePacked(row, std::move(*spliced));
    } else {
        QStringList texts;
        texts.reserve(columnCount());
        for (int c = 0; c < columnCount(); ++c)
            texts.append(PackedCell(packed, c));
        texts[col] = text;
        storePacked(row, PackRow(texts, columnCount()));
    }
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
    const int cols = columnCount();
    texts.reserve(cols);
    for (int c = 0; c < cols; ++c)
        texts.append(cellText(row, c));
    return texts;
}

void GridModel::setRowTexts(int row, const QStringList& texts)
{
    if (row < 0 || row >= rowCount())
        return;
    storePacked(row, PackRow(texts, columnCount()));
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
    // PackRow drops trailing empty cells, so a stored row holds text unless all its
    // stored cells are empty strings in the middle, which PackRow cannot produce.
    const PackedView v(packedOf(row));
    return v.count == 0 || v.end(v.count - 1) == 0;
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
        row.chunk = 0;
        row.slot = 0;
        row.flags = 0;
        row.extra.reset();
    }
    dropChunks();
    m_totalsRow = -1;
    m_sumCols.clear();
    m_source.reset();
    m_unreadTicked = nullptr;
    ++m_fills;
    endResetModel();
}

void GridModel::beginFill(int expectedRows)
{
    beginResetModel();
    m_source.reset();
    m_unreadTicked = nullptr;
    ++m_fills;
    m_filling = true;
    m_rows.clear();
    dropChunks();
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
    return fillWith(std::move(source), false);
}

bool GridModel::fillFromEnd(std::unique_ptr<GridRowSource> source)
{
    return fillWith(std::move(source), true);
}

bool GridModel::fillWith(std::unique_ptr<GridRowSource> source, bool before)
{
    QVector<QStringList> first;
    const int block = fetchBlockRows();
    if (!source || !source->fetch(block, first))
        return false;
    // A first block whose rows the source's own rule all left out: read on to a row.
    while (first.isEmpty() && !source->atEnd())
        if (!source->fetch(block, first))
            return false;
    if (before)
        std::reverse(first.begin(), first.end());
    beginFill(int(first.size()));
    for (const QStringList& texts : first)
        appendRow(texts);
    endFill();
    m_sourceBefore = before;
    if (!source->atEnd()) {
        m_source = std::move(source);
        m_sourceAt = rowCount();
    }
    return true;
}

bool GridModel::canFetchMore(const QModelIndex& parent) const
{
    // Not while a block goes in: the view, told of the new rows, may ask for more at once.
    return !parent.isValid() && m_source && !m_sourceBefore && !m_filling && !m_reading;
}

void GridModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        readBlock(fetchBlockRows());
}

void GridModel::fetchBefore()
{
    if (canFetchBefore())
        readBlock(fetchBlockRows());
}

void GridModel::fetchAll(int upTo)
{
    // Larger blocks: fewer statements for a long read, and still no single huge result.
    while (m_source && !m_filling && !m_reading && (upTo < 0 || rowCount() < upTo))
        readBlock(upTo < 0 ? fetchBlockRows() * 32 : std::min(fetchBlockRows() * 32, upTo - rowCount()));
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
    tickUnread(texts);
    if (m_sourceBefore)
        std::reverse(texts.begin(), texts.end());
    const int at = m_sourceBefore ? 0 : std::clamp(m_sourceAt, 0, rowCount());
    const int n = int(texts.size());
    std::vector<Row> fresh(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        fresh[size_t(i)].packed = PackRow(texts.at(i), columnCount());
    texts.clear();
    compressRows(fresh);
    beginInsertRows({}, at, at + n - 1);
    m_rows.insert(m_rows.begin() + at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    if (m_totalsRow >= at)
        m_totalsRow += n;
    m_sourceAt = at + n;
    endInsertRows();
    if (m_totalsRow >= 0)
        recalcTotals();
}

void GridModel::setUnreadTicks(int col, std::function<bool(const QStringList&)> ticked)
{
    m_unreadTickCol = col;
    m_unreadTicked = std::move(ticked);
}

void GridModel::tickUnread(QVector<QStringList>& texts) const
{
    if (!m_unreadTicked || m_unreadTickCol < 0)
        return;
    for (QStringList& row : texts) {
        if (!m_unreadTicked(row))
            continue;
        while (row.size() <= m_unreadTickCol)
            row.append(QString());
        row[m_unreadTickCol] = QStringLiteral("1");
    }
}

bool GridModel::forEachRow(const std::function<bool(int, const QStringList&)>& visit) const
{
    // The rest is copied first: a visit that lets the view read on (a question asked
    // meanwhile) moves the grid's own source, not this pass.
    const std::unique_ptr<GridRowSource> rest = m_source ? m_source->clone() : nullptr;
    const int rows = rowCount();
    const int at = m_source ? std::clamp(m_sourceAt, 0, rows) : rows;
    for (int r = 0; r < at; ++r)
        if (!visit(r, rowTexts(r)))
            return true;
    if (rest) {
        const int cols = columnCount();
        QVector<QStringList> block;
        while (!rest->atEnd()) {
            block.clear();
            if (!rest->fetch(fetchBlockRows() * 32, block))
                return false;
            tickUnread(block);
            for (QStringList& texts : block) {
                // As PackRow stores them: as many cells as the grid has columns.
                if (texts.size() > cols)
                    texts.erase(texts.begin() + cols, texts.end());
                while (texts.size() < cols)
                    texts.append(QString());
                if (!visit(-1, texts))
                    return true;
            }
        }
    }
    // Rows after the source's rows, wherever rows read meanwhile have pushed them.
    const int after = rows - at;
    for (int r = rowCount() - after; r < rowCount(); ++r)
        if (!visit(r, rowTexts(r)))
            return true;
    return true;
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
            sum += leadingNumber(PackedCell(packedOf(r), c));
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
    if (m_lockRule && m_lockRule(row, col))
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
