#include "tools/NetworkShares.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {
std::unique_ptr<NetworkShares>& current() {
    static std::unique_ptr<NetworkShares> s;
    return s;
}

QString unescape(QString field) {
    static const QRegularExpression octal(QStringLiteral("\\\\([0-7]{3})"));
    QString out;
    qsizetype last = 0;
    for (auto it = octal.globalMatch(field); it.hasNext();) {
        const auto m = it.next();
        out += field.mid(last, m.capturedStart() - last);
        out += QChar(m.captured(1).toInt(nullptr, 8));
        last = m.capturedEnd();
    }
    return out + field.mid(last);
}

QString normalShare(QString s) {
    s = s.trimmed();
    if (s.startsWith(QStringLiteral("smb://"), Qt::CaseInsensitive)) s = s.mid(4);
    s.replace(u'\\', u'/');
    while (s.endsWith(u'/')) s.chop(1);
    return s.toLower();
}
} // namespace

QList<MountedShare> SystemNetworkShares::parse(const QString& mountsText) {
    QList<MountedShare> out;
    for (const QString& line : mountsText.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 3) continue;
        const QString type = f[2];
        MountedShare m;
        m.source = unescape(f[0]);
        m.mountPoint = unescape(f[1]);
        m.type = type;
        if (type == QStringLiteral("cifs") || type == QStringLiteral("smb3") || type == QStringLiteral("smbfs")) {
            const QStringList parts = QString(m.source).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
            if (parts.size() < 2) continue;
            m.server = parts[0];
            m.share = parts[1];
        } else if (type.startsWith(QStringLiteral("nfs"))) {
            const qsizetype colon = m.source.indexOf(u':');
            if (colon <= 0) continue;
            m.server = m.source.left(colon);
            m.share = m.source.mid(colon + 1).section(u'/', -1, -1, QString::SectionSkipEmpty);
        } else {
            continue;
        }
        out << m;
    }
    return out;
}

QList<MountedShare> SystemNetworkShares::mounted() const {
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parse(QString::fromUtf8(f.readAll()));
}

NetworkShares& networkShares() {
    if (!current()) current() = std::make_unique<SystemNetworkShares>();
    return *current();
}

void setNetworkShares(std::unique_ptr<NetworkShares> shares) { current() = std::move(shares); }

bool SameShare(const QString& a, const QString& b) {
    return !a.trimmed().isEmpty() && normalShare(a) == normalShare(b);
}
