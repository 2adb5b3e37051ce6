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
const QString kInsert = "INSERT INTO Post (ZIPCODE, SIDO, GUGUN, DONG, BUNJI) VALUES (?,?,?,?,?)";

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
    QString url(const char* path) const {
        return QString("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
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
        const QString z = m_work.filePath("x.zip");
        QFile::remove(z);
        if (!WriteZip(z, {{entry, file}})) return {};
        return FileBytes(z);
    }

    // Shows the window and looks up `input` as typed into it.
    void lookUp(frmZipcode& w, const QString& input) {
        w.show();
        m_d->retype("txtInput", input, &w);
        m_d->key(Qt::Key_Return);
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
        lookUp(w, input);
        Grid* g = m_d->find<Grid>("spList", &w);
        QStringList got;
        for (int r = 1; r <= g->dataRowCnt(); ++r) got << g->text(frmZipcode::ColZip, r);
        QCOMPARE(got, codes);
        QCOMPARE(prompt().lastText(), message);
    }

    void chooseRowFormatsCode() {
        frmZipcode w;
        w.show();
        m_d->click("btnSel", &w);
        QCOMPARE(prompt().lastText(), "리스트에서 선택하세요.");
        lookUp(w, "역삼");
        m_d->doubleClickCell(m_d->find<Grid>("spList", &w), frmZipcode::ColDong, 2);
        QCOMPARE(w.Post(), "135-081");
        QCOMPARE(w.Addr(), "서울 강남구 역삼1동");
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // The member editor: Enter in the home zip input with one match fills the address.
    void memberEditorLooksUp() {
        QWidget* editor = m_d->open("mnuFriend_FriendSub");
        QVERIFY(editor);
        QVERIFY(m_d->find<QPushButton>("btnCharge(0)", editor)->isEnabled());
        // Nothing found: the focus stays in the zip input.
        m_d->retype("htField(24)", "000000", editor);
        m_d->key(Qt::Key_Return);
        QCOMPARE(prompt().lastText(), "'000000' 를 찾을 수 없습니다.");
        QCOMPARE(QApplication::focusWidget(), m_d->find<QLineEdit>("htField(24)", editor));
        m_d->retype("htField(24)", "072-60", editor);
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->find<QLineEdit>("htField(24)", editor)->text(), "07260");
        QCOMPARE(m_d->find<QLineEdit>("htField(8)", editor)->text(), "서울 영등포구 당산동3가");
        QCOMPARE(QApplication::focusWidget(), m_d->find<QLineEdit>("htField(9)", editor));
    }

    void missingDatabaseGetsSample() {
        QFile::remove(PostDatabasePath());
        frmZipcode w;
        QVERIFY(w.isReady());
        QCOMPARE(w.InitForm("당산"), 1);
        QCOMPARE(w.Post(), "07260");
        frmZipcode old; // a former six-digit code, typed as it is shown
        QCOMPARE(old.InitForm("100-759"), 1);
        QCOMPARE(old.Post(), "100-759");
    }

    void updateRefusesBadDownloads_data() {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"404", "cut", "stall", "text", "traversal", "no rows", "not a database", "no server"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    void updateRefusesBadDownloads() {
        QFETCH(QString, kind);
        LocalServer server;
        const QString fresh = m_work.filePath("dbPost.db");
        buildPost(fresh, {{"111111", "새", "새구", "새동", ""}});
        const QString empty = m_work.filePath("empty.db");
        QFile::remove(empty);
        QVERIFY(BuildDatabaseFile(empty, PostSchemaStatements()));
        const QString text = m_work.filePath("text.db");
        WriteFileBytes(text, "<html>hello</html>");
        server.bodies["/cut"] = zipOf("dbPost.db", fresh);
        server.cutPath = "/cut";
        server.stallPath = "/stall";
        server.bodies["/text"] = "this is not an archive";
        server.bodies["/traversal"] = zipOf("../dbPost.db", fresh);
        server.bodies["/no rows"] = zipOf("dbPost.db", empty);
        server.bodies["/not a database"] = zipOf("dbPost.db", text);
        const QString url = kind == "no server" ? QString() : server.url(("/" + kind.toUtf8()).constData());
        const QByteArray before = FileBytes(PostDatabasePath());
        QString error;
        QVERIFY(!UpdatePostDatabase(url, PostDatabasePath(), 500, {}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(FileBytes(PostDatabasePath()), before);
        // Nothing left behind: only the two databases (and the main one's journal files).
        QStringList files = QDir(App().dbFolder).entryList(QDir::Files | QDir::NoDotAndDotDot);
        files.removeIf([](const QString& f) { return f.startsWith(QLatin1String("dbMain.db-")); });
        QCOMPARE(files, (QStringList{"dbMain.db", "dbPost.db"}));
        QVERIFY(!QFile::exists(m_d->env().path("dbPost.db")));
    }

    void updateFromWindow() {
        LocalServer server;
        const QString fresh = m_work.filePath("dbPost.db");
        buildPost(fresh, {{"111111", "새", "새구", "새동", ""}});
        server.bodies["/download/zipcode/adozip/dbPost.zip"] = zipOf("dbPost.db", fresh);
        frmZipcode w;
        w.show();
        const QByteArray before = FileBytes(PostDatabasePath());
        // No server set: said at once, nothing asked or touched.
        m_d->click("btnDBUpdate", &w);
        QCOMPARE(prompt().texts(),
                 QStringList{"우편번호 서버가 지정되지 않았습니다.\n"
                                            "[환경설정] 창의 [우편번호 서버]에 서버 주소를 입력한 뒤 다시 시도하세요."});
        // The address is typed into the options window, opened from the main menu.
        {
            m_d->open("mnuFriend_Option");
            QWidget* options = WindowRegistry::find("frmOption");
            QVERIFY(options);
            m_d->retype("txtZipServer", server.url("/"), options);
            m_d->click("btnOK", options);
            QTRY_VERIFY(!WindowRegistry::find("frmOption"));
        }
        QCOMPARE(ZipServerBaseUrl() + u'/', server.url("/"));
        prompt().clear();
        m_d->click("btnDBUpdate", &w);
        QVERIFY(prompt().lastText().startsWith("정말 최신 우편번호로 업그레이드 하시겠습니까?\n"));
        QCOMPARE(prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(FileBytes(PostDatabasePath()), before);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnDBUpdate", &w);
        QCOMPARE(prompt().lastText(), "우편번호 최신 업그레이드가 정상적으로 완료 되었습니다.");
        QCOMPARE(w.InitForm("새"), 1);
        QCOMPARE(w.Post(), "111-111");
        server.bodies.clear();
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnDBUpdate", &w);
        QCOMPARE(prompt().lastText(), "우편번호 최신 업그레이드 실패하였습니다.");
        PostDatabase db;
        QVERIFY(db.open(PostDatabasePath()));
        QVERIFY(db.searchPlan("역삼").join(u' ').contains("ix_post_dong"));
    }
};

QTEST_MAIN(tst_zipcode)
#include "tst_zipcode.moc"
