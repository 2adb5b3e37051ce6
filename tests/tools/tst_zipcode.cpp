// Zip-code lookup from the member editor and in its own window, and the zip-code update
// from a local server that answers well, badly or not at all.
#include "WindowTest.h"
#include "app/ToolCommands.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/FileDatabase.h"
#include "tools/BackupArchive.h"
#include "tools/ZipCode.h"
#include "tools/ZipDownload.h"
#include "tools/frmZipcode.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
const QVector<QVariantList> kRows = {
    {"135080", "서울", "강남구", "역삼동", "1~100"},   {"135081", "서울", "강남구", "역삼1동", ""},
    {"150010", "서울", "영등포구", "여의도동", ""},    {"07260", "서울", "영등포구", "당산동3가", "당산로 123"},
    {"999001", "시험", "시험구", "가_나동", ""},       {"999002", "시험", "시험구", "가나다동", ""},
};
const QString kInsert = QStringLiteral("INSERT INTO Post (ZIPCODE, SIDO, GUGUN, DONG, BUNJI) VALUES (?,?,?,?,?)");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A one-page-per-path HTTP server on the loopback interface.
class LocalServer : public QTcpServer {
public:
    QMap<QByteArray, QByteArray> bodies; // path → body (200)
    QByteArray cutPath, stallPath;
    LocalServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray path = s->readAll().split(' ').value(1);
                    if (path == stallPath) {
                        s->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nPK");
                        return; // never more
                    }
                    if (!bodies.contains(path)) {
                        s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found");
                        s->disconnectFromHost();
                        return;
                    }
                    const QByteArray body = bodies.value(path);
                    const QByteArray sent = path == cutPath ? body.left(body.size() / 2) : body;
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                             "\r\nConnection: close\r\n\r\n" + sent);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path); }
};
} // namespace

class tst_zipcode : public WindowTest {
    Q_OBJECT
    QTemporaryDir m_work;

    void buildPost(const QString& path, const QVector<QVariantList>& rows = kRows) {
        QFile::remove(path);
        QVERIFY(BuildDatabaseFile(path, PostSchemaStatements(), kInsert, rows));
    }
    QByteArray zipOf(const QString& entry, const QString& file) {
        const QString z = m_work.filePath(QStringLiteral("x.zip"));
        QFile::remove(z);
        if (!WriteZip(z, {{entry, file}})) return {};
        return fileBytes(z);
    }

private slots:
    void init() {
        WindowTest::init();
        RegisterToolCommands();
        buildPost(PostDatabasePath());
    }

    void search_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("message");
        QTest::newRow("dong prefix, by code") << "역삼" << QStringList{"135-080", "135-081"} << "";
        QTest::newRow("code as shown with a dash") << "135-080" << QStringList{"135-080"} << "";
        QTest::newRow("code without dash") << "135080" << QStringList{"135-080"} << "";
        QTest::newRow("five-digit code") << "07260" << QStringList{"07260"} << "";
        QTest::newRow("underscore is literal") << "가_" << QStringList{"999-001"} << "";
        QTest::newRow("percent is literal") << "%" << QStringList{} << "'%' 를 찾을 수 없습니다.";
        QTest::newRow("quote") << "역삼'" << QStringList{} << "'역삼'' 를 찾을 수 없습니다.";
        QTest::newRow("empty") << "" << QStringList{} << "검색어를 입력하세요.";
    }
    void search() {
        QFETCH(QString, input);
        QFETCH(QStringList, codes);
        QFETCH(QString, message);
        frmZipcode w;
        w.show();
        m_d->retype(QStringLiteral("txtInput"), input, &w);
        m_d->key(Qt::Key_Return);
        Grid* g = m_d->find<Grid>(QStringLiteral("spList"), &w);
        QStringList got;
        for (int r = 1; r <= g->dataRowCnt(); ++r) got << g->text(frmZipcode::ColZip, r);
        QCOMPARE(got, codes);
        QCOMPARE(prompt().lastText(), message);
    }

    void chooseRowFormatsCode() {
        frmZipcode w;
        w.show();
        m_d->click(QStringLiteral("btnSel"), &w);
        QCOMPARE(prompt().lastText(), QStringLiteral("리스트에서 선택하세요."));
        m_d->retype(QStringLiteral("txtInput"), QStringLiteral("역삼"), &w);
        m_d->key(Qt::Key_Return);
        m_d->doubleClickCell(m_d->find<Grid>(QStringLiteral("spList"), &w), frmZipcode::ColDong, 2);
        QCOMPARE(w.Post(), QStringLiteral("135-081"));
        QCOMPARE(w.Addr(), QStringLiteral("서울 강남구 역삼1동"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // The member editor: Enter in the home zip input with one match fills the address.
    void memberEditorLooksUp() {
        QWidget* editor = m_d->open(QStringLiteral("mnuFriend_FriendSub"));
        QVERIFY(editor);
        QVERIFY(m_d->find<QPushButton>(QStringLiteral("btnCharge(0)"), editor)->isEnabled());
        // Nothing found: the focus stays in the zip input.
        m_d->retype(QStringLiteral("htField(24)"), QStringLiteral("000000"), editor);
        m_d->key(Qt::Key_Return);
        QCOMPARE(prompt().lastText(), QStringLiteral("'000000' 를 찾을 수 없습니다."));
        QCOMPARE(QApplication::focusWidget(), m_d->find<QLineEdit>(QStringLiteral("htField(24)"), editor));
        m_d->retype(QStringLiteral("htField(24)"), QStringLiteral("072-60"), editor);
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->find<QLineEdit>(QStringLiteral("htField(24)"), editor)->text(), QStringLiteral("07260"));
        QCOMPARE(m_d->find<QLineEdit>(QStringLiteral("htField(8)"), editor)->text(), QStringLiteral("서울 영등포구 당산동3가"));
        QCOMPARE(QApplication::focusWidget(), m_d->find<QLineEdit>(QStringLiteral("htField(9)"), editor));
    }

    void missingDatabaseGetsSample() {
        QFile::remove(PostDatabasePath());
        frmZipcode w;
        QVERIFY(w.isReady());
        QCOMPARE(w.InitForm(QStringLiteral("당산")), 1);
        QCOMPARE(w.Post(), QStringLiteral("07260"));
        frmZipcode old; // a former six-digit code, typed as it is shown
        QCOMPARE(old.InitForm(QStringLiteral("100-759")), 1);
        QCOMPARE(old.Post(), QStringLiteral("100-759"));
    }

    void updateRefusesBadDownloads_data() {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"404", "cut", "stall", "text", "traversal", "no rows", "not a database", "no server"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    void updateRefusesBadDownloads() {
        QFETCH(QString, kind);
        LocalServer server;
        const QString fresh = m_work.filePath(QStringLiteral("dbPost.db"));
        buildPost(fresh, {{"111111", "새", "새구", "새동", ""}});
        const QString empty = m_work.filePath(QStringLiteral("empty.db"));
        QFile::remove(empty);
        QVERIFY(BuildDatabaseFile(empty, PostSchemaStatements()));
        const QString text = m_work.filePath(QStringLiteral("text.db"));
        QFile t(text);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("<html>hello</html>");
        t.close();
        server.bodies["/cut"] = zipOf(QStringLiteral("dbPost.db"), fresh);
        server.cutPath = "/cut";
        server.stallPath = "/stall";
        server.bodies["/text"] = "this is not an archive";
        server.bodies["/traversal"] = zipOf(QStringLiteral("../dbPost.db"), fresh);
        server.bodies["/no rows"] = zipOf(QStringLiteral("dbPost.db"), empty);
        server.bodies["/not a database"] = zipOf(QStringLiteral("dbPost.db"), text);
        const QString url = kind == QStringLiteral("no server") ? QString() : server.url(("/" + kind.toUtf8()).constData());
        const QByteArray before = fileBytes(PostDatabasePath());
        QString error;
        QVERIFY(!UpdatePostDatabase(url, PostDatabasePath(), 500, {}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(PostDatabasePath()), before);
        // Nothing left behind: only the two databases (and the main one's journal files).
        QStringList files = QDir(App().dbFolder).entryList(QDir::Files | QDir::NoDotAndDotDot);
        files.removeIf([](const QString& f) { return f.startsWith(QLatin1String("dbMain.db-")); });
        QCOMPARE(files, (QStringList{"dbMain.db", "dbPost.db"}));
        QVERIFY(!QFile::exists(m_d->env().path(QStringLiteral("dbPost.db"))));
    }

    void updateFromWindow() {
        LocalServer server;
        const QString fresh = m_work.filePath(QStringLiteral("dbPost.db"));
        buildPost(fresh, {{"111111", "새", "새구", "새동", ""}});
        server.bodies["/download/zipcode/adozip/dbPost.zip"] = zipOf(QStringLiteral("dbPost.db"), fresh);
        frmZipcode w;
        w.show();
        const QByteArray before = fileBytes(PostDatabasePath());
        // No server set: said at once, nothing asked or touched.
        m_d->click(QStringLiteral("btnDBUpdate"), &w);
        QCOMPARE(prompt().texts(),
                 QStringList{QStringLiteral("우편번호 서버가 지정되지 않았습니다.\n"
                                            "[환경설정] 창의 [우편번호 서버]에 서버 주소를 입력한 뒤 다시 시도하세요.")});
        // The address is typed into the options window, opened from the main menu.
        {
            m_d->open(QStringLiteral("mnuFriend_Option"));
            QWidget* options = WindowRegistry::find(QStringLiteral("frmOption"));
            QVERIFY(options);
            m_d->retype(QStringLiteral("txtZipServer"), server.url("/"), options);
            m_d->click(QStringLiteral("btnOK"), options);
            QTRY_VERIFY(!WindowRegistry::find(QStringLiteral("frmOption")));
        }
        QCOMPARE(ZipServerBaseUrl() + u'/', server.url("/"));
        prompt().clear();
        m_d->click(QStringLiteral("btnDBUpdate"), &w);
        QVERIFY(prompt().lastText().startsWith(QStringLiteral("정말 최신 우편번호로 업그레이드 하시겠습니까?\n")));
        QCOMPARE(prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(fileBytes(PostDatabasePath()), before);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click(QStringLiteral("btnDBUpdate"), &w);
        QCOMPARE(prompt().lastText(), QStringLiteral("우편번호 최신 업그레이드가 정상적으로 완료 되었습니다."));
        QCOMPARE(w.InitForm(QStringLiteral("새")), 1);
        QCOMPARE(w.Post(), QStringLiteral("111-111"));
        server.bodies.clear();
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click(QStringLiteral("btnDBUpdate"), &w);
        QCOMPARE(prompt().lastText(), QStringLiteral("우편번호 최신 업그레이드 실패하였습니다."));
        PostDatabase db;
        QVERIFY(db.open(PostDatabasePath()));
        QVERIFY(db.searchPlan(QStringLiteral("역삼")).join(u' ').contains(QStringLiteral("ix_post_dong")));
    }
};

QTEST_MAIN(tst_zipcode)
#include "tst_zipcode.moc"
