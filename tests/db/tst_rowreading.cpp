// Reading result rows: values repeated down a column are shared between rows, which must
// never change what a cell reads as (its type, its text, null against '').
#include "EnvTest.h"

#include "db/Database.h"
#include "db/DbRow.h"

#include <QtTest>

namespace {

struct Cell {
    QVariant a; // as written into the statement
    QVariant b;
};

// Each row is read right after the one above it, so every pair exercises the comparison
// with the previous value of the same column (and the reuse of a row's text buffers).
const QList<Cell>& cellRows() {
    static const QList<Cell> rows = {
        {1, "x"},
        {"1", "x"},          // same bytes as the integer above, but text
        {1, "x"},            // back to an integer after text
        {"", QVariant()},    // '' and null
        {QVariant(), ""},
        {"홍길동", "홍길동"}, // multibyte text, the same in both columns
        {"홍길동", "홍길순"}, // same length in bytes, last syllable differs
        {"ab", "abc"},
        {"abc", "ab"},       // one value the prefix of the other
        {"it's", "it's"},
        {"it's", "it''s"},
        {2.5, "2.5"},
        {"  12,5원", 1500000},
    };
    return rows;
}

// The statement that reads cellRows() back; `params` gets its values.
QString cellStatement(QVariantList& params) {
    QStringList selects;
    for (int i = 0; i < cellRows().size(); ++i) {
        selects << QStringLiteral("SELECT %1 AS n, ? AS a, ? AS b").arg(i);
        params << cellRows()[i].a << cellRows()[i].b;
    }
    return "SELECT a, b FROM (" + selects.join(" UNION ALL ") + ") AS t ORDER BY n";
}

} // namespace

class TestRowReading : public EnvTest {
    Q_OBJECT
private slots:
    void repeatedValuesReadLikeFreshOnes() {
        const QList<Cell>& rows = cellRows();
        QVariantList params;
        const QString sql = cellStatement(params);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, sql, params), int(rows.size()));
        for (int i = 0; i < rows.size(); ++i) {
            rs.setPosition(i);
            for (int c = 0; c < 2; ++c) {
                const QVariant want = c == 0 ? rows[i].a : rows[i].b;
                const QVariant got = rs.value(c);
                const QByteArray where = QStringLiteral("row %1 column %2").arg(i).arg(c).toUtf8();
                if (!want.isValid()) {
                    QVERIFY2(!got.isValid() || got.isNull(), where.constData());
                    continue;
                }
                QVERIFY2(got.isValid(), where.constData());
                const bool wantText = want.typeId() == QMetaType::QString;
                // A bare placeholder has no column type on the server: it reads back as text.
                if (!TestEnv::onServer()) QCOMPARE(got.typeId() == QMetaType::QString, wantText);
                QCOMPARE(got.toString(), want.toString());
            }
        }
        // '' is an empty text, distinct from a missing value.
        rs.setPosition(3);
        QCOMPARE(rs.value(0).typeId(), int(QMetaType::QString));
        QCOMPARE(rs.text(1), QString());
    }

    // Rows handed out one at a time read as the kept rows of the same statement do, through
    // buffers reused from row to row (longer, shorter, multibyte, null after text); a
    // statement the engine rejects reads no row and reports -1 with the error shown.
    void handedOutRowsReadLikeKeptOnes() {
        QVariantList params;
        const QString sql = cellStatement(params);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, sql, params), int(cellRows().size()));
        QString texts[2];
        int r = 0;
        const int n = ReadRows(sql, params, [&](const DbRow& row) {
            QCOMPARE(row.columnCount(), 2);
            rs.setPosition(r);
            for (int c = 0; c < 2; ++c) {
                row.text(c, texts[c]);
                const QByteArray where = QStringLiteral("row %1 column %2").arg(r).arg(c).toUtf8();
                QVERIFY2(texts[c] == rs.value(c).toString(), where.constData());
                QVERIFY2(row.number(c) == rs.number(rs.fieldName(c)), where.constData());
            }
            ++r;
        });
        QCOMPARE(n, int(cellRows().size()));
        QCOMPARE(r, n);
        QCOMPARE(ReadRows("SELECT nosuchcolumn FROM tblgroup", {}, [&](const DbRow&) { ++r; }), -1);
        QCOMPARE(r, n);
        QCOMPARE(m_env->prompt().shown().size(), 1);
    }

    // One value of a stored trade read through a handed-out row, by the column's name, against
    // the engine's own types: null from an outer join against '', numbers past 32 bits (and
    // past a double's exact range), text with Korean and quotes, a column the statement
    // lacks, and a statement that finds nothing. The kept rows of Recordset read the same.
    void handedOutValueReadsAsStored_data() {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<qint64>("points");
        QTest::addColumn<double>("money");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<qint64>("integer");
        QTest::addColumn<bool>("null");

        const qint64 big = 5000000123LL, huge = -9007199254740993LL;
        QTest::newRow("null of an outer join") << "x" << 0LL << 0.0 << "fname" << "" << 0.0 << 0LL << true;
        QTest::newRow("empty text") << "" << 0LL << 0.0 << "smemo" << "" << 0.0 << 0LL << false;
        QTest::newRow("korean and quotes") << "홍길동's \"단골\" '회원'" << 0LL << 0.0 << "smemo"
                                           << "홍길동's \"단골\" '회원'" << 0.0 << 0LL << false;
        QTest::newRow("text led by a number") << " 12,5원" << 0LL << 0.0 << "smemo" << " 12,5원" << 12.0 << 12LL
                                              << false;
        QTest::newRow("integer past 32 bits") << "" << big << 0.0 << "lstackpoint" << "5000000123"
                                              << double(big) << big << false;
        QTest::newRow("integer past a double") << "" << huge << 0.0 << "LSTACKPOINT" << "-9007199254740993"
                                               << double(huge) << huge << false;
        QTest::newRow("money with a fraction") << "" << 0LL << 1234.5 << "dmoney" << "1234.5" << 1234.5 << 1235LL
                                               << false;
        QTest::newRow("whole money past 32 bits") << "" << 0LL << 6000000000.0 << "dmoney" << "6000000000"
                                                  << 6000000000.0 << 6000000000LL << false;
        QTest::newRow("column not in the statement") << "x" << 0LL << 0.0 << "nosuchcolumn" << "" << 0.0 << 0LL
                                                     << true;
        QTest::newRow("no row found") << "x" << 0LL << 0.0 << "" << "" << 0.0 << 0LL << true;
    }

    void handedOutValueReadsAsStored() {
        QFETCH(QString, memo);
        QFETCH(qint64, points);
        QFETCH(double, money);
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(qint64, integer);
        QFETCH(bool, null);
        QVERIFY(ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, smemo, lstackpoint, dmoney) "
                        "VALUES ('2026-01-31', 1, ?, ?, ?)",
                        {memo, points, money}) == 1);
        const int code = column.isEmpty() ? -1 : LastIdentity();
        const QString sql = "SELECT t.code, t.smemo, t.lstackpoint, t.dmoney, f.sname AS fname FROM tbltrade AS t "
                            "LEFT JOIN tblfriend AS f ON f.code = t.ctblfriend AND f.code <> 1 WHERE t.code = ?";
        int rows = 0;
        QString into = QStringLiteral("a text the value replaces");
        const int n = ReadRows(sql, {code}, [&](const DbRow& row) {
            ++rows;
            const int at = row.columnIndex(column);
            QCOMPARE(at < 0, column == "nosuchcolumn");
            QCOMPARE(row.isNull(at), null);
            row.text(at, into);
            QCOMPARE(into, text);
            QCOMPARE(row.text(at), text);
            QCOMPARE(row.number(at), number);
            QCOMPARE(row.integer(at), integer);
            QCOMPARE(row.value(at).isNull() || !row.value(at).isValid(), null);
        });
        QCOMPARE(n, column.isEmpty() ? 0 : 1);
        QCOMPARE(rows, n);
        QVERIFY(m_env->prompt().shown().isEmpty());
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, sql, {code}), n);
        if (n == 1) {
            QCOMPARE(rs.text(column), text);
            QCOMPARE(rs.number(column), number);
        }
    }

    // A long result of mostly repeated and empty values: the count and the last rows are right.
    void largeResultKeepsEveryRow() {
        Transaction tx;
        for (int i = 0; i < 3000; ++i)
            ExecSQL("INSERT INTO tblgroup (gname, smemo) VALUES (?, ?)",
                    {QString("그룹%1").arg(i % 3), i % 2 ? QString() : QString("비고%1").arg(i)});
        QVERIFY(tx.commit());
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT gname, smemo FROM tblgroup WHERE code > 1 ORDER BY code"), 3000);
        rs.setPosition(2998);
        QCOMPARE(rs.text("gname"), QString("그룹1"));
        QCOMPARE(rs.text("smemo"), QString("비고2998"));
        rs.moveNext();
        QCOMPARE(rs.text("gname"), QString("그룹2"));
        QCOMPARE(rs.text("smemo"), QString());
    }
};

QTEST_MAIN(TestRowReading)
#include "tst_rowreading.moc"
