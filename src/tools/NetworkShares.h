#pragma once

#include <QList>
#include <QString>

#include <memory>

// Network shares mounted on this computer (SMB/CIFS and NFS), as the system mounted them.
// The program never mounts anything itself. Tests install their own list.
struct MountedShare {
    QString server;     // host name
    QString share;      // share name (SMB) or last part of the exported path (NFS)
    QString source;     // "//server/share" or "server:/path"
    QString mountPoint; // local folder
    QString type;       // cifs, smb3, nfs, nfs4
};

class NetworkShares {
public:
    virtual ~NetworkShares() = default;
    virtual QList<MountedShare> mounted() const = 0;
};

// Reads the system's mount table (/proc/self/mounts).
class SystemNetworkShares : public NetworkShares {
public:
    QList<MountedShare> mounted() const override;
    // Parses mount-table text (one mount a line, fields separated by blanks, octal escapes).
    static QList<MountedShare> parse(const QString& mountsText);
};

NetworkShares& networkShares();
void setNetworkShares(std::unique_ptr<NetworkShares> shares); // null: the system's

// The two spellings of a share compare equal: "//SERVER/Share", "\\SERVER\Share" and
// "smb://server/share/" (case-insensitive server and share).
bool SameShare(const QString& a, const QString& b);
