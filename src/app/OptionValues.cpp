#include "app/OptionValues.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QRegularExpression>

namespace {
const QString kConfig = QStringLiteral("Config");

// Index stored as text; anything but a whole number in [0, last] gives `fallback`.
int indexFrom(const QString& text, int last, int fallback) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v >= 0 && v <= last ? v : fallback;
}
} // namespace

double OptionValues::percentFromText(const QString& text) {
    static const QRegularExpression leading(QStringLiteral("^\\s*[-+]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const QRegularExpressionMatch m = leading.match(text);
    if (!m.hasMatch()) return 0;
    const double v = m.captured(0).trimmed().toDouble();
    return qBound(0.0, v, 100.0);
}

QString OptionValues::percentText(double value) { return QString::number(value, 'g', 15); }

OptionValues OptionValues::load() {
    OptionValues v;
    v.friendCode = GetOption(QStringLiteral("friendcode"), QStringLiteral("0")).trimmed() ==
                   QStringLiteral("1");
    v.start = indexFrom(GetOption(QStringLiteral("start"), QStringLiteral("0")), 4, -1);
    v.pointIndex = indexFrom(GetOption(QStringLiteral("pointindex"), QStringLiteral("0")), 1, 0);
    v.point = percentFromText(GetOption(QStringLiteral("point"), QStringLiteral("10")));
    v.friendClick = indexFrom(Settings::getIn(App().appTitle, kConfig, QStringLiteral("FRIEND_CLICK"), QStringLiteral("0")), 1, 0);
    v.clientSort = indexFrom(Settings::getIn(App().appTitle, kConfig, QStringLiteral("CLIENT_SORT"), QStringLiteral("0")), 1, 0);
    v.repetition = Settings::getIn(App().appTitle, kConfig, QStringLiteral("MEMBER_REPETITION"), QStringLiteral("1")) !=
                   QStringLiteral("0");
    v.zipServer = Settings::get(QStringLiteral("환경설정"), QStringLiteral("우편번호서버")).trimmed();
    return v;
}

bool OptionValues::save() const {
    bool ok = SetOption(QStringLiteral("friendcode"), friendCode ? QStringLiteral("1") : QStringLiteral("0"));
    if (start >= 0 && start <= 4) ok = SetOption(QStringLiteral("start"), QString::number(start)) && ok;
    ok = SetOption(QStringLiteral("pointindex"), QString::number(pointIndex == 1 ? 1 : 0)) && ok;
    ok = SetOption(QStringLiteral("point"),
                   pointIndex == 1 ? QStringLiteral("0") : percentText(qBound(0.0, point, 100.0))) && ok;
    Settings::set(App().appTitle, kConfig, QStringLiteral("FRIEND_CLICK"), QString::number(friendClick == 1 ? 1 : 0));
    Settings::set(App().appTitle, kConfig, QStringLiteral("CLIENT_SORT"), QString::number(clientSort == 1 ? 1 : 0));
    Settings::set(App().appTitle, kConfig, QStringLiteral("MEMBER_REPETITION"), repetition ? QStringLiteral("1") : QStringLiteral("0"));
    Settings::set(QStringLiteral("환경설정"), QStringLiteral("우편번호서버"), zipServer.trimmed());
    return ok;
}
