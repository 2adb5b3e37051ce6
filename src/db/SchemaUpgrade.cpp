#include "db/SchemaUpgrade.h"
#include "core/Log.h"

#include "db/Database.h"
#include "db/Schema.h"
#include "core/Prompt.h"
#include "core/AppState.h"
#include "core/PrivateData.h"

#include <QFileInfo>

#include <QDebug>
#include <QRegularExpression>

#include <sqlite3.h>

namespace {

const QString kModule = QStringLiteral("modMain");

// A statement the engine merely rejects (a column or table that already exists, a syntax
// it does not know) lets the step go on; anything else (read-only file, full disk, busy
// past the timeout, lost connection) stops the upgrade.
bool isFatal(const SqlOutcome& o) { return !o.ok && o.errorCode != SQLITE_ERROR; }

QString defaultSql(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::QString) return u'\'' + SqlQuote(v.toString()) + u'\'';
    return v.toString();
}

// One named step of the upgrade; reports the first trapped failure under its name.
class UpgradeStep {
public:
    explicit UpgradeStep(const QString& name) : m_name(name) {}

    // Runs one statement; false only on a trapped failure (already reported).
    bool exec(const QString& sql, bool* applied = nullptr) {
        const SqlOutcome o = RunSilent(sql);
        if (applied) *applied = o.ok;
        if (o.ok) return true;
        if (isFatal(o)) return fail(o.errorCode, o.error);
        qCWarning(lcStartup, "upgrade %s: statement rejected (%s): %s", qPrintable(m_name), qPrintable(o.error),
                 qPrintable(sql));
        return true;
    }

    // The member table must be there for any step to make sense.
    bool requireMemberTable() {
        if (!IsDatabaseOpen()) return fail(91, QStringLiteral("no database connection"));
        if (DBChkExistence(1, QStringLiteral("tblfriend"))) return true;
        const SqlOutcome o = RunSilent(QStringLiteral("SELECT * FROM tblfriend WHERE 1 = 0"));
        return fail(o.errorCode, o.error);
    }

    bool fail(int number, const QString& description) {
        ReportTrappedError(number, description, m_name, kModule, true);
        return false;
    }

private:
    QString m_name;
};

// Adds userfieldnote<from>..<to>. The blanking UPDATE follows only a column that was just
// added: on a repeated step the column exists and its values are members' data.
bool addUserFields(UpgradeStep& step, int from, int to) {
    for (int i = from; i <= to; ++i) {
        bool added = false;
        if (!step.exec(QStringLiteral("ALTER TABLE tblfriend ADD COLUMN userfieldnote%1 TEXT NOT NULL "
                                      "DEFAULT ''")
                           .arg(i),
                       &added))
            return false;
        if (added && !step.exec(QStringLiteral("UPDATE tblfriend SET userfieldnote%1 = ''").arg(i)))
            return false;
    }
    return true;
}

const QString kKeyCheck = QStringLiteral("DataKeyCheck");

// The stored values still in plain text: passwords not yet hashed, resident numbers not
// yet sealed. Each is rewritten under the guard that it still holds the value read.
bool sealPlainValues(UpgradeStep& step) {
    // SQLite leaves a rewritten value's old bytes in the page's free space unless told to
    // clear them; the file must not keep the plain values.
    if (!ServerDatabase()) RunSilent(QStringLiteral("PRAGMA secure_delete = ON"));
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT code, loginpwd FROM local_user WHERE loginpwd <> ''")) < 0)
        return step.fail(LastDbErrorCode(), LastDbError());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString stored = rs.text(1);
        if (IsPasswordHash(stored)) continue;
        const QString hash = HashPassword(stored);
        if (hash.isEmpty()) return step.fail(0, QStringLiteral("password hashing failed"));
        if (ExecSQL(QStringLiteral("UPDATE local_user SET loginpwd = ? WHERE code = ? AND loginpwd = ?"),
                    {hash, rs.value(0), stored}) < 0)
            return step.fail(LastDbErrorCode(), LastDbError());
    }
    Recordset members;
    if (OpenRecordset(members, QStringLiteral("SELECT code, idno FROM tblfriend WHERE idno <> ''"
                                              " AND substr(idno, 1, 5) <> 'enc1:'")) < 0)
        return step.fail(LastDbErrorCode(), LastDbError());
    if (members.recordCount() > 0 && !DataKey::loaded())
        return step.fail(0, QStringLiteral("no data key: ") + DataKey::expectedPath());
    for (members.moveFirst(); !members.eof(); members.moveNext()) {
        const QString sealed = EncryptIdNo(members.text(1));
        if (sealed.isEmpty()) return step.fail(0, QStringLiteral("sealing failed"));
        if (ExecSQL(QStringLiteral("UPDATE tblfriend SET idno = ? WHERE code = ?"), {sealed, members.value(0)}) < 0)
            return step.fail(LastDbErrorCode(), LastDbError());
    }
    return true;
}

} // namespace

QString DataKeyPath() {
    const QString folder = !ServerDatabase() && !App().dbFile.isEmpty() ? QFileInfo(App().dbFile).path()
                                                                        : App().dbFolder;
    return DataKey::pathFor(folder);
}

bool PrepareDataKey() {
    const QString path = DataKeyPath();
    const QString check = GetOption(kKeyCheck, QString()).trimmed();
    if (DataKey::load(path)) {
        if (check.isEmpty()) {
            if (!DatabaseReadOnly()) SetOption(kKeyCheck, DataKey::fingerprint());
        } else if (check != DataKey::fingerprint()) {
            qCWarning(lcStartup, "the data key %s does not belong to this database", qPrintable(path));
            DataKey::clear();
            DataKey::setExpectedPath(path);
        }
        return DataKey::loaded();
    }
    // A database that never had a key gets one; one whose numbers were sealed under a key
    // that is not here waits for it (making a new one would make a second, different key).
    const bool sealedRows = CountRows(QStringLiteral("tblfriend"), QStringLiteral("substr(idno, 1, 5) = 'enc1:'")) > 0;
    if (!check.isEmpty() || sealedRows || DatabaseReadOnly()) {
        qCInfo(lcStartup, "data key missing: %s", qPrintable(path));
        return false;
    }
    QString why;
    if (!DataKey::create(path, &why)) {
        qCWarning(lcStartup, "data key not made: %s", qPrintable(why));
        return false;
    }
    return SetOption(kKeyCheck, DataKey::fingerprint());
}

bool ImportDataKey(const QString& file, QString* error) {
    auto fail = [&](const QString& why) {
        PrepareDataKey(); // back to the key in use, if any
        if (error) *error = why;
        return false;
    };
    if (!DataKey::load(file)) return fail(QStringLiteral("암호키 파일이 아닙니다."));
    const QString check = GetOption(kKeyCheck, QString()).trimmed();
    if (!check.isEmpty() && check != DataKey::fingerprint())
        return fail(QStringLiteral("이 데이터베이스의 암호키가 아닙니다."));
    QString why;
    if (!DataKey::save(DataKeyPath(), &why) || !DataKey::load(DataKeyPath()))
        return fail(QStringLiteral("암호키를 저장할 수 없습니다: ") + why);
    if (check.isEmpty() && !DatabaseReadOnly()) SetOption(kKeyCheck, DataKey::fingerprint());
    return true;
}

QString ColumnTypeSql(ColumnType type, int /*size*/) {
    switch (type) {
    case ColumnType::SmallInt:
    case ColumnType::Long:
    case ColumnType::TinyInt: return QStringLiteral("INTEGER");
    case ColumnType::Double: return QStringLiteral("REAL");
    case ColumnType::VarChar:
    case ColumnType::Text:
    case ColumnType::Date: return QStringLiteral("TEXT");
    }
    return QStringLiteral("TEXT");
}

bool DBChkExistence(int mode, const QString& table, const QString& column) {
    if (mode == 1) return RunSilent(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE 1 = 0")).ok;
    if (mode == 2)
        return RunSilent(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table +
                         QStringLiteral(" WHERE 1 = 0"))
            .ok;
    return false;
}

bool AddColumnIfMissing(const QString& table, const QString& column, ColumnType type, int size,
                        const QVariant& defaultValue, const QString& followUp, int* errorCode,
                        QString* error) {
    if (DBChkExistence(2, table, column)) return true;
    const bool hasDefault = defaultValue.isValid() && !defaultValue.isNull();
    const QString def = defaultSql(defaultValue);
    QString sql = QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD COLUMN ") + column + u' ' +
                  ColumnTypeSql(type, size) + QStringLiteral(" DEFAULT ") + def;
    if (hasDefault) sql += QStringLiteral(" NOT NULL");

    auto run = [&](const QString& statement, bool* applied) {
        const SqlOutcome o = RunSilent(statement);
        if (applied) *applied = o.ok;
        if (!o.ok) {
            qCWarning(lcStartup, "AddColumnIfMissing: %s: %s", qPrintable(o.error), qPrintable(statement));
            if (isFatal(o)) {
                if (errorCode) *errorCode = o.errorCode;
                if (error) *error = o.error;
                return false;
            }
        }
        return true;
    };
    bool added = false;
    if (!run(sql, &added)) return false;
    if (!added) return true;
    if (followUp == QLatin1String("DEF_UPDATE"))
        return run(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column + QStringLiteral(" = ") +
                       def + QStringLiteral(" WHERE ") + column + QStringLiteral(" IS NULL"),
                   nullptr);
    if (!followUp.isEmpty()) return run(followUp, nullptr);
    return true;
}

// Creates every index of the schema that the database lacks. The statements say
// IF NOT EXISTS, so on a current database this costs a few catalogue look-ups.
bool EnsureIndexes() {
    // An index only speeds things up: a unique one that old rows do not satisfy (duplicate
    // option rows) is logged and left out instead of stopping every start.
    UpgradeStep step(QStringLiteral("Indexes"));
    // On a server only the owner of a table may even ask for one of its indexes: the ones
    // that exist are left out beforehand, so another login starts as well.
    QStringList existing;
    if (ServerDatabase()) {
        Recordset rs;
        if (OpenRecordset(rs, QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema()")) > 0)
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) existing << rs.text(0).toLower();
    }
    static const QRegularExpression name(QStringLiteral("IF NOT EXISTS (\\w+)"));
    for (const QString& sql : Schema::indexStatements()) {
        if (!existing.isEmpty() && existing.contains(name.match(sql).captured(1).toLower())) continue;
        const SqlOutcome o = RunSilent(sql);
        if (o.ok) continue;
        if (o.errorCode == SQLITE_CONSTRAINT) {
            qCWarning(lcStartup, "index left out (%s): %s", qPrintable(o.error), qPrintable(sql));
            continue;
        }
        if (!step.exec(sql)) return false;
    }
    // A covered index that stays (another login owns it on the server) only costs speed.
    for (const QString& ix : Schema::retiredIndexNames()) {
        if (ServerDatabase() && !existing.contains(ix)) continue;
        const SqlOutcome o = RunSilent(QStringLiteral("DROP INDEX IF EXISTS ") + ix);
        if (!o.ok) qCWarning(lcStartup, "covered index kept (%s): %s", qPrintable(o.error), qPrintable(ix));
    }
    return true;
}

bool LedgerTotalsKept() {
    const SqlOutcome o = RunSilent(Schema::ledgerTotalsCheckSql(ServerDatabase()));
    return o.ok && o.value.toInt() == 1;
}

bool EnsureLedgerTotals() {
    // Totals without their index are right but slow to read: made again as a whole.
    const QString index = ServerDatabase()
                              ? QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE schemaname = current_schema() "
                                               "AND indexname = 'ix_tbljangbusum_section_date'")
                              : QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND "
                                               "name = 'ix_tbljangbusum_section_date'");
    if (LedgerTotalsKept() && RunSilent(index).value.toInt() == 1) return true;
    if (DatabaseReadOnly()) return false;
    Transaction tx;
    if (!tx.ok()) return false;
    for (const QString& sql : Schema::ledgerTotalsStatements(ServerDatabase())) {
        const SqlOutcome o = RunSilent(sql);
        if (!o.ok) {
            qCWarning(lcStartup, "ledger totals not made (%s): %s", qPrintable(o.error), qPrintable(sql));
            return false;
        }
    }
    return tx.commit();
}

SqlOutcome DeleteAllLedgerEntries() {
    const QString all = QStringLiteral("DELETE FROM tbljangbu");
    if (ServerDatabase() || !LedgerTotalsKept()) return RunSilent(all);
    Transaction tx;
    const QStringList remake = Schema::ledgerTotalsStatements(false);
    for (const QString& sql : remake) {
        if (!sql.startsWith(QLatin1String("DROP TRIGGER"))) continue;
        const SqlOutcome o = RunSilent(sql);
        if (!o.ok) return o;
    }
    const SqlOutcome deleted = RunSilent(all);
    if (!deleted.ok) return deleted;
    for (const QString& sql : remake) {
        const SqlOutcome o = RunSilent(sql);
        if (!o.ok) return o;
    }
    if (!tx.commit()) {
        SqlOutcome o;
        o.errorCode = LastDbErrorCode();
        o.error = LastDbError();
        return o;
    }
    return deleted;
}

bool UpgradeSchema() {
    if (!IsDatabaseOpen()) return UpgradeStep(QStringLiteral("DBVer_1")).fail(91, QStringLiteral("no database connection"));

    // The leading digits count, as the stored text was always read: "4" and "4.0" are 4,
    // anything without a leading number is 0 and gets every step.
    const QString stored = GetOption(QStringLiteral("DBVer"), QStringLiteral("0")).trimmed();
    int v = 0;
    for (qsizetype i = 0; i < stored.size() && stored[i].isDigit() && v < 1000; ++i)
        v = v * 10 + stored[i].digitValue();
    // Files made before the mark existed get it here; opening checks it before writing.
    if (!DatabaseReadOnly() && !MarkDatabase())
        qCWarning(lcStartup, "UpgradeSchema: the database mark was not written: %s",
                  qPrintable(LastDbError()));
    if (v >= kSchemaVersion) {
        PrepareDataKey();
        if (!EnsureIndexes()) return false;
        EnsureLedgerTotals();
        return true;
    }

    MsgInfo(QStringLiteral("데이터베이스가 업그레이드 되었습니다.") + QStringLiteral("\n\n") +
                QStringLiteral("곧 업그레이드 작업이 진행 됩니다."),
            QStringLiteral("DB업그레이드"));

    UpgradeStep step1(QStringLiteral("DBVer_1"));
    if (v < 4 && !step1.requireMemberTable()) return false;
    if (v < 2) {
        if (!addUserFields(step1, 1, 15)) return false;
        if (!step1.exec(Schema::userFieldListTable())) return false;
    }
    if (v < 3 && !addUserFields(step1, 16, 18)) return false;
    // v < 4 widened tblfriend.picture to 200 characters. SQLite keeps no length on TEXT
    // columns (and has no ALTER COLUMN), so the step has nothing to do here.

    UpgradeStep step5(QStringLiteral("DBVer_5"));
    if (!step5.requireMemberTable()) return false;
    int code = 0;
    QString why;
    if (!AddColumnIfMissing(QStringLiteral("tblfriend"), QStringLiteral("hidden"), ColumnType::Long, 0, 0,
                            QStringLiteral("UPDATE tblfriend SET hidden = 0"), &code, &why))
        return step5.fail(code, why);

    // Plain passwords and resident numbers are sealed together with the new version in one
    // transaction: an interrupted start leaves the old database whole and tries again.
    // The version is only raised when it was really stored; otherwise the next start
    // must try again instead of believing the upgrade is done.
    UpgradeStep step6(QStringLiteral("DBVer_6"));
    PrepareDataKey();
    Transaction tx;
    if (!tx.ok()) return step6.fail(LastDbErrorCode(), LastDbError());
    if (!sealPlainValues(step6)) return false;
    if (!SetOption(QStringLiteral("DBVer"), QString::number(kSchemaVersion)))
        return step6.fail(LastDbErrorCode(), LastDbError());
    if (!tx.commit()) return step6.fail(LastDbErrorCode(), LastDbError());
    MsgInfo(QStringLiteral("업그레이드가 완료되었습니다."));
    if (!EnsureIndexes()) return false;
    EnsureLedgerTotals();
    return true;
}
