#include "tools/FrmTool_NTSetup.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/SchemaUpgrade.h"
#include "db/ServerSettings.h"
#include "tools/NetworkShares.h"
#include "ui/FloatNotice.h"
#include "ui/RecordWindow.h"

#include <QCheckBox>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kEnv = QStringLiteral("환경설정");

FrmTool_NTSetup::ReachCheck& reachCheck() {
    static FrmTool_NTSetup::ReachCheck c;
    return c;
}
} // namespace

void FrmTool_NTSetup::setReachCheck(ReachCheck check) { reachCheck() = std::move(check); }

FrmTool_NTSetup::FrmTool_NTSetup(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTool_NTSetup"));
    setWindowTitle(QStringLiteral("네트워크 설정"));
    resize(560, 700);
    m_server = new QRadioButton(QStringLiteral("&1. 서 버 - 자료가 저장되는 메인 컴퓨터"), this);
    m_server->setObjectName(QStringLiteral("optCSType(0)"));
    m_client = new QRadioButton(QStringLiteral("&2.클라이언트 - 서버에 접속하는 컴퓨터"), this);
    m_client->setObjectName(QStringLiteral("optCSType(1)"));

    m_frame = new QGroupBox(QStringLiteral("서버 접속 설정"), this);
    m_frame->setObjectName(QStringLiteral("FraSvrSetup"));
    m_share = new QLineEdit(m_frame);
    m_share->setObjectName(QStringLiteral("txtInput(0)"));
    m_share->setPlaceholderText(QStringLiteral("//SERVER/") + soughtName());
    m_folder = new QLineEdit(m_frame);
    m_folder->setObjectName(QStringLiteral("txtInput(1)"));
    m_folder->setPlaceholderText(QStringLiteral("/mnt/") + soughtName());
    auto* path = new QPushButton(QStringLiteral("경로설정"), m_frame);
    path->setObjectName(QStringLiteral("btnPath"));
    auto* connectNow = new QPushButton(QStringLiteral("자동연결"), m_frame);
    connectNow->setObjectName(QStringLiteral("btnAutoNTDrv"));
    m_autoFind = new QCheckBox(QStringLiteral("네트워크에서 서버 자동검색"), m_frame);
    m_autoFind->setObjectName(QStringLiteral("chkAutoFindSvr"));
    m_tree = new QTreeWidget(m_frame);
    m_tree->setObjectName(QStringLiteral("tvwNetwork"));
    m_tree->setHeaderHidden(true);
    m_status = new QLabel(m_frame);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    auto* grid = new QGridLayout(m_frame);
    grid->addWidget(new QLabel(QStringLiteral("서버경로"), m_frame), 0, 0);
    grid->addWidget(m_share, 0, 1);
    grid->addWidget(path, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("네트웍 Drive"), m_frame), 1, 0);
    grid->addWidget(m_folder, 1, 1);
    grid->addWidget(connectNow, 1, 2);
    grid->addWidget(m_autoFind, 2, 0, 1, 3, Qt::AlignLeft);
    grid->addWidget(m_tree, 3, 0, 1, 3);
    grid->addWidget(m_status, 4, 0, 1, 3);

    m_dbServer = new QRadioButton(QStringLiteral("&3. 데이터베이스 서버 - 여러 PC가 PostgreSQL 서버의 자료를 함께 사용"), this);
    m_dbServer->setObjectName(QStringLiteral("optCSType(2)"));
    m_dbFrame = new QGroupBox(QStringLiteral("데이터베이스 서버 설정"), this);
    m_dbFrame->setObjectName(QStringLiteral("FraDbServer"));
    auto dbInput = [this](const char* name) {
        auto* e = new QLineEdit(m_dbFrame);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    m_dbHost = dbInput("txtDbHost");
    m_dbHost->setPlaceholderText(QStringLiteral("컴퓨터 이름 또는 IP"));
    m_dbPort = dbInput("txtDbPort");
    m_dbPort->setMaxLength(5);
    m_dbName = dbInput("txtDbName");
    m_dbUser = dbInput("txtDbUser");
    m_dbPassword = dbInput("txtDbPassword");
    m_dbPassword->setEchoMode(QLineEdit::Password);
    m_dbPassword->setPlaceholderText(QStringLiteral("바꾸지 않으려면 비워 두세요"));
    auto* testDb = new QPushButton(QStringLiteral("연결 시험"), m_dbFrame);
    testDb->setObjectName(QStringLiteral("btnTestDb"));
    m_dbStatus = new QLabel(m_dbFrame);
    m_dbStatus->setObjectName(QStringLiteral("lblDbStatus"));
    m_dbStatus->setTextFormat(Qt::PlainText);
    m_dbStatus->setWordWrap(true);
    auto* dbGrid = new QGridLayout(m_dbFrame);
    dbGrid->addWidget(new QLabel(QStringLiteral("서버 주소"), m_dbFrame), 0, 0);
    dbGrid->addWidget(m_dbHost, 0, 1);
    dbGrid->addWidget(new QLabel(QStringLiteral("포트"), m_dbFrame), 0, 2);
    dbGrid->addWidget(m_dbPort, 0, 3);
    dbGrid->addWidget(new QLabel(QStringLiteral("데이터베이스"), m_dbFrame), 1, 0);
    dbGrid->addWidget(m_dbName, 1, 1, 1, 3);
    dbGrid->addWidget(new QLabel(QStringLiteral("사용자"), m_dbFrame), 2, 0);
    dbGrid->addWidget(m_dbUser, 2, 1, 1, 3);
    dbGrid->addWidget(new QLabel(QStringLiteral("비밀번호"), m_dbFrame), 3, 0);
    dbGrid->addWidget(m_dbPassword, 3, 1, 1, 2);
    dbGrid->addWidget(testDb, 3, 3);
    dbGrid->addWidget(m_dbStatus, 4, 0, 1, 4);
    // The key that opens the resident numbers never travels with the database: a PC on
    // the server takes it once from a file exported on a PC that has it.
    auto* keyNote = new QLabel(QStringLiteral("주민번호는 암호키로 잠겨 저장됩니다. 암호키는 데이터베이스에 들어 있지 않으므로, "
                                              "다른 PC에서 [암호키 내보내기]로 만든 파일을 이 PC에서 [암호키 가져오기]로 "
                                              "한 번 가져오세요."),
                               m_dbFrame);
    keyNote->setWordWrap(true);
    auto* keyExport = new QPushButton(QStringLiteral("암호키 내보내기"), m_dbFrame);
    keyExport->setObjectName(QStringLiteral("btnKeyExport"));
    auto* keyImport = new QPushButton(QStringLiteral("암호키 가져오기"), m_dbFrame);
    keyImport->setObjectName(QStringLiteral("btnKeyImport"));
    dbGrid->addWidget(keyNote, 5, 0, 1, 4);
    dbGrid->addWidget(keyExport, 6, 1);
    dbGrid->addWidget(keyImport, 6, 3);
    connect(keyExport, &QPushButton::clicked, this, [] {
        if (!DataKey::loaded()) {
            MsgInfo(QStringLiteral("이 PC에는 암호키가 없습니다.") + QStringLiteral("\n") +
                    QStringLiteral("키 파일 위치: ") + DataKey::expectedPath());
            return;
        }
        const QString file = prompt().saveFileName(QStringLiteral("암호키 내보내기"), App().appDir,
                                                    QStringLiteral("암호키 (*.key)"));
        if (file.isEmpty()) return;
        QString why;
        if (!DataKey::save(file, &why)) {
            MsgInfo(QStringLiteral("암호키를 저장할 수 없습니다: ") + why);
            return;
        }
        MsgInfo(QStringLiteral("암호키를 저장했습니다.") + QStringLiteral("\n\n") +
                QStringLiteral("이 파일을 다른 PC로 옮겨 [암호키 가져오기]로 가져온 뒤에는 지우세요. "
                               "이 파일이 있으면 누구나 주민번호를 볼 수 있습니다."));
    });
    connect(keyImport, &QPushButton::clicked, this, [] {
        const QString file = prompt().openFileName(QStringLiteral("암호키 가져오기"), App().appDir,
                                                    QStringLiteral("암호키 (*.key);;모든 파일 (*)"));
        if (file.isEmpty()) return;
        QString why;
        if (!ImportDataKey(file, &why)) {
            MsgInfo(why);
            return;
        }
        MsgInfo(QStringLiteral("암호키를 가져왔습니다. 주민번호를 볼 수 있습니다."));
    });
    dbGrid->setColumnStretch(1, 1);

    auto* save = new QPushButton(QStringLiteral("저장"), this);
    save->setObjectName(QStringLiteral("btnSave"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_server);
    layout->addWidget(m_client);
    layout->addWidget(m_frame, 1);
    layout->addWidget(m_dbServer);
    layout->addWidget(m_dbFrame);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(save);
    layout->addLayout(bottom);

    m_share->setText(Settings::get(kEnv, QStringLiteral("네트웍경로")));
    m_folder->setText(Settings::get(kEnv, QStringLiteral("네트웍드라이브")));
    const ServerSettings server = LoadServerSettings();
    m_dbHost->setText(server.host);
    m_dbPort->setText(server.port);
    m_dbName->setText(server.name);
    m_dbUser->setText(server.user);
    if (ServerEngineInSettings()) m_dbServer->setChecked(true);
    else
        (Settings::getIn(App().appTitle, kEnv, QStringLiteral("CSType"), QStringLiteral("0")).trimmed().toInt() != 0 ? m_client : m_server)
            ->setChecked(true);
    syncEnabled();

    for (QRadioButton* r : {m_server, m_client, m_dbServer})
        connect(r, &QRadioButton::toggled, this, [this] { syncEnabled(); });
    connect(testDb, &QPushButton::clicked, this, [this] { btnTestDb(); });
    connect(path, &QPushButton::clicked, this, [this] { btnPath(); });
    connect(connectNow, &QPushButton::clicked, this, [this] { btnAutoNTDrv(); });
    connect(m_autoFind, &QCheckBox::toggled, this, [this](bool on) {
        if (on) autoFindServer();
    });
    connect(save, &QPushButton::clicked, this, [this] { btnSave(); });
}

QString FrmTool_NTSetup::soughtName() const { return QFileInfo(App().appDir).fileName(); }

void FrmTool_NTSetup::syncEnabled() {
    m_frame->setEnabled(m_client->isChecked());
    m_dbFrame->setEnabled(m_dbServer->isChecked());
}

ServerSettings FrmTool_NTSetup::typedServer() const {
    return {m_dbHost->text().trimmed(), m_dbPort->text().trimmed(), m_dbName->text().trimmed(), m_dbUser->text().trimmed()};
}

bool FrmTool_NTSetup::serverInputValid() {
    if (!CheckRequired(m_dbHost, QStringLiteral("서버 주소")) || !CheckRequired(m_dbPort, QStringLiteral("포트")) ||
        !CheckRequired(m_dbName, QStringLiteral("데이터베이스")))
        return false;
    bool number = false;
    const int port = m_dbPort->text().trimmed().toInt(&number);
    if (!number || port < 1 || port > 65535) {
        MsgInfo(QStringLiteral("포트는 1에서 65535 사이의 숫자로 입력하세요."));
        m_dbPort->setFocus();
        m_dbPort->selectAll();
        return false;
    }
    return true;
}

bool FrmTool_NTSetup::btnTestDb() {
    if (!serverInputValid()) return false;
    m_dbStatus->setText(QStringLiteral("서버에 연결하는 중입니다..."));
    m_dbStatus->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const ServerProbe found = ProbeServerDatabase(ServerLocationFor(typedServer()), m_dbPassword->text(), &error);
    QApplication::restoreOverrideCursor();
    QString text;
    switch (found) {
    case ServerProbe::Ready:
        text = QStringLiteral("서버에 연결되었습니다. MemberDesk 데이터베이스가 있습니다.");
        break;
    case ServerProbe::Empty:
        text = QStringLiteral("서버에 연결되었습니다. 데이터베이스가 비어 있어 다음 시작 때 새 MemberDesk "
                              "데이터베이스를 만들 수 있습니다.");
        break;
    case ServerProbe::Foreign:
    case ServerProbe::Failed:
        text = QStringLiteral("서버의 데이터베이스를 사용할 수 없습니다.") + u'\n' + error;
        break;
    }
    m_dbStatus->setText(text);
    MsgInfo(text);
    return found == ServerProbe::Ready || found == ServerProbe::Empty;
}

bool FrmTool_NTSetup::saveServerChoice() {
    if (!serverInputValid()) return false;
    // A server that cannot be used now is stored only when the user insists (it may be
    // switched off at the moment); the next start asks again if it still cannot connect.
    if (!btnTestDb() && !AskYesNo(QStringLiteral("그래도 이 설정을 저장하시겠습니까?"), {}, false)) return false;
    const ServerSettings s = typedServer();
    if (!m_dbPassword->text().isEmpty() && !SaveServerPassword(s.name, s.user, m_dbPassword->text())) {
        MsgInfo(QStringLiteral("비밀번호 파일을 쓸 수 없습니다.") + u'\n' + ServerPasswordFile());
        return false;
    }
    m_dbPassword->clear();
    SaveServerSettings(s);
    return true;
}

void FrmTool_NTSetup::btnPath() {
    const QString dir = prompt().existingDirectory(
        QStringLiteral("서버 경로 설정(서버내『") + soughtName() + QStringLiteral("』폴더를 선택하세요.)"), m_folder->text());
    if (dir.isEmpty()) return;
    m_folder->setText(QDir::cleanPath(dir));
    // The share mounted at (or above) the chosen folder names the server path.
    for (const MountedShare& m : networkShares().mounted()) {
        const QString mp = QDir::cleanPath(m.mountPoint);
        if (QDir::cleanPath(dir) == mp || QDir::cleanPath(dir).startsWith(mp + u'/')) {
            m_share->setText(m.source);
            break;
        }
    }
}

bool FrmTool_NTSetup::btnAutoNTDrv() {
    const QString share = m_share->text().trimmed();
    if (share.isEmpty()) {
        MsgInfo(QStringLiteral("서버경로를 먼저 입력하세요."));
        m_share->setFocus();
        return false;
    }
    QString folder = m_folder->text().trimmed();
    if (folder.isEmpty()) {
        for (const MountedShare& m : networkShares().mounted())
            if (SameShare(m.source, share)) {
                folder = m.mountPoint;
                break;
            }
        if (folder.isEmpty()) {
            MsgInfo(share + QStringLiteral("드라이브 연결이 실패되었습니다."));
            m_status->setText(share + QStringLiteral(" 공유가 이 컴퓨터에 연결(마운트)되어 있지 않습니다."));
            return false;
        }
    }
    QString reached;
    if (reachCheck()) reached = reachCheck()(share, folder);
    else if (QFileInfo(folder).isDir()) reached = folder;
    else MsgInfo(folder + QStringLiteral(" 드라이브 연결이 실패되었습니다."));
    if (reached.isEmpty()) return false;
    m_folder->setText(reached);
    // A mount folder, not a drive letter: no path separator of another system after it
    // (a backslash shows as "₩" in Korean fonts).
    ShowFloatNotice(QStringLiteral("[") + reached + QStringLiteral("] 폴더로 네트워크 드라이브 연결이 되었습니다."));
    m_status->setText(reached + QStringLiteral(" 에 연결되었습니다."));
    return true;
}

void FrmTool_NTSetup::fillTree(const QList<MountedShare>& shares) {
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, {QStringLiteral("Entire Network")});
    root->setData(0, Qt::UserRole, QStringLiteral("network"));
    QMap<QString, QTreeWidgetItem*> servers;
    for (const MountedShare& m : shares) {
        QTreeWidgetItem*& server = servers[m.server.toLower()];
        if (!server) {
            server = new QTreeWidgetItem(root, {m.server});
            server->setData(0, Qt::UserRole, QStringLiteral("server"));
        }
        auto* item = new QTreeWidgetItem(server, {m.share + QStringLiteral("  (") + m.mountPoint + u')'});
        item->setData(0, Qt::UserRole, QStringLiteral("share"));
        item->setToolTip(0, m.source);
    }
    m_tree->expandAll();
}

bool FrmTool_NTSetup::autoFindServer() {
    const QList<MountedShare> all = networkShares().mounted();
    fillTree(all);
    const QString name = soughtName();
    QList<MountedShare> found;
    for (const MountedShare& m : all)
        if (m.share.compare(name, Qt::CaseInsensitive) == 0) found << m;
    if (found.isEmpty()) {
        MsgInfo(QStringLiteral("네트워크상에서 서버를 찾을 수 없습니다.\n먼저, 서버 컴퓨터의 해당 프로그램 폴더를 읽기/쓰기권한으로 "
                               "공유하세요.\n\n찾을 공유명:") +
                name);
        return false;
    }
    if (found.size() > 1) {
        QStringList paths;
        for (const MountedShare& m : found) paths << m.source + QStringLiteral("  (") + m.mountPoint + u')';
        MsgInfo(QStringLiteral("네트워크상에 서버가 2개이상 존재합니다.\n사용하지 않는 서버는 공유를 제거해 주세요.\n\n서버목록\n"
                               "=====================================\n") +
                paths.join(u'\n'));
        return false;
    }
    m_share->setText(found.first().source);
    m_folder->setText(found.first().mountPoint);
    return btnAutoNTDrv();
}

bool FrmTool_NTSetup::btnSave() {
    if (m_dbServer->isChecked()) {
        if (!saveServerChoice()) return false;
    } else if (m_client->isChecked()) {
        if (m_autoFind->isChecked() && !autoFindServer()) return false;
        if (!CheckRequired(m_share, QStringLiteral("서버경로")) || !CheckRequired(m_folder, QStringLiteral("네트웍 Drive")))
            return false;
        const QString folder = QDir::cleanPath(m_folder->text().trimmed());
        // A client whose folder holds no database could not start next time.
        if (!QFileInfo(folder + QStringLiteral("/DBS/dbMain.db")).isFile()) {
            MsgInfo(folder + QStringLiteral("/DBS/dbMain.db\n\n서버의 데이터베이스를 찾을 수 없어 설정을 저장하지 않았습니다.\n"
                                            "서버 공유 폴더가 연결(마운트)되어 있는지 확인하세요."));
            m_folder->setFocus();
            return false;
        }
        Settings::set(kEnv, QStringLiteral("네트웍경로"), m_share->text().trimmed());
        Settings::set(kEnv, QStringLiteral("네트웍드라이브"), folder);
        Settings::set(QStringLiteral("Config"), QStringLiteral("DB경로"), folder + QStringLiteral("/DBS"));
        Settings::set(kEnv, QStringLiteral("CSType"), QStringLiteral("1"));
        ChooseFileEngine();
        App().clientMode = 1;
    } else {
        Settings::set(QStringLiteral("Config"), QStringLiteral("DB경로"), App().appDir + QStringLiteral("/DBS"));
        Settings::set(kEnv, QStringLiteral("CSType"), QStringLiteral("0"));
        ChooseFileEngine();
        App().clientMode = 0;
    }
    ShowFloatNotice(QStringLiteral("설정이 저장되었습니다."));
    if (!m_appliedAtOnce)
        MsgInfo(QStringLiteral("설정이 저장되었습니다.\n프로그램을 다시 시작해야 정상적으로 적용됩니다.\n\n프로그램을 종료후 다시 시작하세요."));
    emit saved();
    return true;
}
