#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
struct MountedShare;
struct ServerSettings;

// Network setup: this computer keeps the database (server), uses the database in a
// server's shared folder mounted here (client), or uses a database server (PostgreSQL)
// that several PCs share. Takes effect at the next start.
class FrmTool_NTSetup : public QWidget {
    Q_OBJECT
public:
    explicit FrmTool_NTSetup(QWidget* parent = nullptr);

    void btnPath();
    // Finds the share mounted: fills the mount folder. False when it is not mounted.
    bool btnAutoNTDrv();
    // Searches the mounted shares for the one named like the data folder. False unless
    // exactly one was found.
    bool autoFindServer();
    bool btnSave();
    // Tries the database server typed in: tells what it found. True when it holds a
    // MemberDesk database or an empty one the next start can fill.
    bool btnTestDb();

    // The reachability check of start-up (RemapNetworkDrive): returns the folder, or ""
    // after its own message. Installed by the program; without it a folder counts as
    // reachable when it exists.
    using ReachCheck = std::function<QString(const QString& share, const QString& folder)>;
    static void setReachCheck(ReachCheck check);

    // Opened at start, before the database is chosen: the saved settings are used at
    // once, so the "start again" notice is left out.
    void setAppliedAtOnce(bool on) { m_appliedAtOnce = on; }

signals:
    void saved();

private:
    void syncEnabled();
    void fillTree(const QList<MountedShare>& shares);
    QString soughtName() const;
    bool saveServerChoice();
    ServerSettings typedServer() const;
    // Checks the typed server settings; false after a message.
    bool serverInputValid();

    QRadioButton* m_server = nullptr;
    QRadioButton* m_client = nullptr;
    QRadioButton* m_dbServer = nullptr;
    QGroupBox* m_dbFrame = nullptr;
    QLineEdit* m_dbHost = nullptr;
    QLineEdit* m_dbPort = nullptr;
    QLineEdit* m_dbName = nullptr;
    QLineEdit* m_dbUser = nullptr;
    QLineEdit* m_dbPassword = nullptr;
    QLabel* m_dbStatus = nullptr;
    QGroupBox* m_frame = nullptr;
    QLineEdit* m_share = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_autoFind = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_status = nullptr;
    bool m_appliedAtOnce = false;
};
