#include "tools/ClearData.h"

#include "core/PrivateData.h"
#include "db/Database.h"
#include "db/SchemaUpgrade.h"

#include <QStringList>

bool AdminPasswordMatches(const QString& password) {
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT loginpwd FROM local_user WHERE loginid = 'ADMIN'")) <= 0) return false;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (PasswordMatches(rs.text(0), password)) return true;
    return false;
}

bool ClearAccountingData(const std::function<void(int)>& step, QString* error) {
    static const QStringList statements = {
        QStringLiteral("DELETE FROM tblgroupmon"),
        QStringLiteral("DELETE FROM tblitem WHERE code <> 1"),
        QStringLiteral("DELETE FROM tblsubdata"),
        QStringLiteral("DELETE FROM tblaffairsnote WHERE code <> 1"),
        QStringLiteral("DELETE FROM tbljangbu"),
    };
    Transaction tx;
    int done = 0;
    for (const QString& sql : statements) {
        // The ledger goes with its totals by date and section.
        const SqlOutcome o = sql.endsWith(QLatin1String("tbljangbu")) ? DeleteAllLedgerEntries() : RunSilent(sql);
        if (!o.ok) {
            if (error) *error = o.error;
            return false; // the transaction rolls back
        }
        if (step) step(++done);
    }
    if (!tx.commit()) {
        if (error) *error = LastDbError();
        return false;
    }
    return true;
}
