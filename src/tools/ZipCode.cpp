#include "tools/ZipCode.h"

#include "core/AppState.h"
#include "db/FileDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

// The sample lives in this library's resources; a static library must register them.
static void initToolsResources() { Q_INIT_RESOURCE(tools); }

namespace {
const QString kSelect = QStringLiteral("SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post");

// The upper bound of every text that starts with `prefix`, for a range on the index.
QString prefixEnd(const QString& prefix) { return prefix + QString::fromUcs4(U"\U0010FFFF"); }

QString digitsOnly(const QString& input) { return QString(input.trimmed()).remove(u'-'); }
} // namespace

QString PostDatabasePath() { return App().dbFolder + QStringLiteral("/dbPost.db"); }

QString FormatZipCode(const QString& code) {
    const QString c = code.trimmed();
    if (c.size() == 6 && IsZipCodeInput(c)) return c.left(3) + u'-' + c.mid(3);
    return c;
}

bool IsZipCodeInput(const QString& input) {
    const QString d = digitsOnly(input);
    if (d.isEmpty()) return false;
    for (const QChar ch : d)
        if (ch < u'0' || ch > u'9') return false;
    return true;
}

PostDatabase::PostDatabase() : m_conn(std::make_unique<FileConnection>()) {}
PostDatabase::~PostDatabase() = default;

bool PostDatabase::open(const QString& path, QString* error) { return m_conn->open(path, error); }
void PostDatabase::close() { m_conn->close(); }
bool PostDatabase::isOpen() const { return m_conn->isOpen(); }

static QString searchSql(const QString& input, QVariantList& params) {
    if (IsZipCodeInput(input)) {
        params = {digitsOnly(input)};
        return kSelect + QStringLiteral(" WHERE ZIPCODE = ? ORDER BY ZIPCODE");
    }
    const QString p = input.trimmed();
    params = {p, prefixEnd(p)};
    return kSelect + QStringLiteral(" WHERE DONG >= ? AND DONG < ? ORDER BY ZIPCODE");
}

bool PostDatabase::search(const QString& input, QVector<ZipRow>& rows, QString* error) const {
    rows.clear();
    QVariantList params;
    const QString sql = searchSql(input, params);
    QVector<QVector<QVariant>> raw;
    if (!m_conn->select(sql, params, raw, error)) return false;
    rows.reserve(raw.size());
    for (const auto& r : raw)
        rows.push_back({r.value(0).toString(), r.value(1).toString(), r.value(2).toString(), r.value(3).toString(),
                        r.value(4).toString()});
    return true;
}

QStringList PostDatabase::searchPlan(const QString& input) const {
    QVariantList params;
    const QString sql = searchSql(input, params);
    return m_conn->plan(sql, params);
}

QStringList PostSchemaStatements() {
    return QStringList{QStringLiteral("CREATE TABLE IF NOT EXISTS Post (ZIPCODE TEXT NOT NULL DEFAULT '', SIDO TEXT NOT NULL "
                                      "DEFAULT '', GUGUN TEXT NOT NULL DEFAULT '', DONG TEXT NOT NULL DEFAULT '', BUNJI TEXT "
                                      "NOT NULL DEFAULT '')")} +
           PostIndexStatements();
}

QStringList PostIndexStatements() {
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS ix_post_zipcode ON Post (ZIPCODE)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS ix_post_dong ON Post (DONG)")};
}

bool IsUsablePostDatabase(const QString& path, QString* error) {
    const DatabaseFileCheck c = CheckDatabaseFile(path, {QStringLiteral("Post")});
    if (!c.ok || !c.hasTables) {
        if (error) *error = c.ok ? QStringLiteral("no Post table") : c.error;
        return false;
    }
    FileConnection conn;
    QVector<QVector<QVariant>> rows;
    if (!conn.open(path, error) || !conn.select(QStringLiteral("SELECT COUNT(*) FROM Post"), {}, rows, error)) return false;
    if (rows.isEmpty() || rows[0].value(0).toInt() <= 0) {
        if (error) *error = QStringLiteral("no rows in Post");
        return false;
    }
    return true;
}

bool InstallSamplePostDatabase(const QString& path) {
    if (QFile::exists(path)) return false;
    initToolsResources();
    QFile sample(QStringLiteral(":/tools/zipcode-sample.tsv"));
    if (!sample.open(QIODevice::ReadOnly)) return false;
    QVector<QVariantList> rows;
    QTextStream in(&sample);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList f = line.split(u'\t');
        if (f.size() < 5) continue;
        rows.push_back({f[0], f[1], f[2], f[3], f[4]});
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    if (!BuildDatabaseFile(part, PostSchemaStatements(),
                           QStringLiteral("INSERT INTO Post (ZIPCODE, SIDO, GUGUN, DONG, BUNJI) VALUES (?, ?, ?, ?, ?)"), rows) ||
        !QFile::rename(part, path)) {
        QFile::remove(part);
        return false;
    }
    return true;
}
