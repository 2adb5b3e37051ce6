// Reading result rows: values repeated down a column are shared between rows, which must
// never change what a cell reads as (its type, its text, null against '').
#include "EnvTest.h"

#include "db/Database.h"

#include <QtTest>

class TestRowReading : public EnvTest {
    Q_OBJECT
private slots:

    void repeatedValuesReadLikeFreshOnes();
    void largeResultKeepsEveryRow();

private:
};

// Each row is read right after the one above it, so every pair exercises the comparison
// with the previous value of the same column.
void TestRowReading::repeatedValuesReadLikeFreshOnes()
{
    struct Cell {
        QVariant a; // as written into the statement
        QVariant b;
    };
    const QList<Cell> rows = {
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
    };
    QStringList selects;
    QVariantList params;
    for (int i = 0; i < rows.size(); ++i) {
        selects << QStringLiteral("SELECT %1 AS n, ? AS a, ? AS b").arg(i);
        params << rows[i].a << rows[i].b;
    }
    Recordset rs;
    const QString sql = "SELECT a, b FROM (" + selects.join(" UNION ALL ") + ") AS t ORDER BY n";
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

// A long result of mostly repeated and empty values: the count and the last rows are right.
void TestRowReading::largeResultKeepsEveryRow()
{
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

QTEST_MAIN(TestRowReading)
#include "tst_rowreading.moc"
