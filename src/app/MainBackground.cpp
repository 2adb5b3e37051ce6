#include "app/MainBackground.h"

#include "core/AppState.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {
const QString kApp = QString::fromUtf8(MainBackground::App);
const QString kSection = QString::fromUtf8(MainBackground::Section);

bool readableImage(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
    QImageReader reader(path);
    return reader.canRead();
}
} // namespace

QColor MainBackground::DefaultColor() { return QColor(241, 241, 241); }

QString MainBackground::DefaultColorText() { return QStringLiteral("15856113"); }

QString MainBackground::DefaultLogoPath() { return DataPath(QStringLiteral("Image/mainbg.jpg")); }

QColor MainBackground::colorFromNumber(const QString& text, bool* ok) {
    bool isNumber = false;
    const qlonglong v = text.trimmed().toLongLong(&isNumber);
    const bool valid = isNumber && v >= 0 && v <= 0xFFFFFF;
    if (ok) *ok = valid;
    if (!valid) return DefaultColor();
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QString MainBackground::numberFromColor(const QColor& c) {
    return QString::number(qlonglong(c.red()) + qlonglong(c.green()) * 256 +
                           qlonglong(c.blue()) * 65536);
}

MainBackground MainBackground::load() {
    MainBackground bg;

    bool isNumber = false;
    const int layout =
        Settings::getIn(kApp, kSection, QString::fromUtf8(KeyLayout), QStringLiteral("0"))
            .trimmed()
            .toInt(&isNumber);
    if (!isNumber || layout == 0)
        bg.layout = Layout::Tiled;
    else if (layout == 1)
        bg.layout = Layout::Centred;
    else
        bg.layout = Layout::None;

    bg.color = colorFromNumber(
        Settings::getIn(kApp, kSection, QString::fromUtf8(KeyColor), DefaultColorText()));

    const QString stored = Settings::getIn(kApp, kSection, QString::fromUtf8(KeyLogo), DefaultLogoPath());
    if (stored.trimmed().isEmpty())
        bg.logoPath.clear(); // the user removed the logo
    else if (readableImage(stored))
        bg.logoPath = stored;
    else if (readableImage(DefaultLogoPath()))
        bg.logoPath = DefaultLogoPath();
    else
        bg.logoPath.clear();
    return bg;
}

bool MainBackground::installDefaultLogo() {
    const QString target = DefaultLogoPath();
    if (QFileInfo::exists(target)) return true;
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!QFile::copy(QStringLiteral(":/memberdesk/mainbg.jpg"), target)) return false;
    // Resource copies are read-only; the user may replace the file.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    return true;
}
