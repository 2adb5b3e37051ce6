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

// Network setup: this computer keeps the database (server) or uses the database in a
// server's shared folder mounted here (client). Takes effect at the next start.
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

    // The reachability check of start-up (RemapNetworkDrive): returns the folder, or ""
    // after its own message. Installed by the program; without it a folder counts as
    // reachable when it exists.
    using ReachCheck = std::function<QString(const QString& share, const QString& folder)>;
    static void setReachCheck(ReachCheck check);

private:
    void syncEnabled();
    void fillTree(const QList<MountedShare>& shares);
    QString soughtName() const;

    QRadioButton* m_server = nullptr;
    QRadioButton* m_client = nullptr;
    QGroupBox* m_frame = nullptr;
    QLineEdit* m_share = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_autoFind = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_status = nullptr;
};
