#include "tools/Backup.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "tools/frmMsgBackUp.h"
#include "ui/WindowRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace {
QString modeLabel(int mode) {
    if (mode == 2) return QStringLiteral("AS");
    if (mode == 1) return QStringLiteral("서버");
    return QStringLiteral("하드");
}

// The open server database's location without any password in it: the hand-over is a
// settings file (the helper finds the password where this program does, in the password file).
QString serverHandOver() {
    if (!ServerDatabase()) return {};
    QString location = App().dbFile;
    static const QRegularExpression keyword(QStringLiteral("\\bpassword\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|\\S*)"));
    static const QRegularExpression inAddress(QStringLiteral("^(postgres(?:ql)?://[^:@/]*):[^@/]*@"));
    location.remove(keyword);
    location.replace(inAddress, QStringLiteral("\\1@"));
    return location.simplified();
}

bool handOver(bool closeWindows, const QString& dbFolder, const QStringList& args) {
    if (closeWindows && !CloseAllChildren()) return false;
    Settings::set(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("경로"), dbFolder);
    Settings::set(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("서버"), serverHandOver());
    if (!launcher().start(BackupProgram(), args, App().programDir)) {
        MsgWarning(BackupProgram() + QStringLiteral("\n데이터백업 프로그램을 실행할 수 없습니다."));
        return false;
    }
    return true;
}

bool programPresent() {
    if (QFileInfo(BackupProgram()).isExecutable()) return true;
    MsgInfo(BackupProgram() + QStringLiteral("\n데이터백업 프로그램을 찾을 수 없습니다."));
    return false;
}
} // namespace

QString BackupProgram() { return ProgramPath(QStringLiteral("memberdesk-backup")); }

QStringList BackupArguments(int mode) {
    switch (mode) {
    case 1: return {QStringLiteral("SERVERUP")};
    case 2: return {QStringLiteral("AS")};
    case 3: return {QStringLiteral("HDDAUTO")};
    default: return {};
    }
}

QStringList RestoreArguments(int mode) {
    if (mode == 3) return {QStringLiteral("UNZIP"), QStringLiteral("HDDAUTO")};
    return {QStringLiteral("UNZIP")};
}

bool ExecBackUp(int mode, bool ask, bool closeWindows, const QString& dbFolder) {
    if (!programPresent()) return false;
    if (ask && !AskYesNo(QStringLiteral("안전한 백업을 위하여 현재 사용중인 ") + App().appTitle +
                             QStringLiteral(" 프로그램을 종료합니다.\n계속하시겠습니까?"),
                         QStringLiteral("데이터 백업(") + modeLabel(mode) + u')', true))
        return false;
    return handOver(closeWindows, dbFolder, BackupArguments(mode));
}

bool ExecRestore(int mode, bool closeWindows, const QString& dbFolder) {
    if (ServerDatabase()) {
        // Other PCs work on the server database: it is never replaced under them.
        MsgInfo(QStringLiteral("데이터베이스 서버의 자료는 여기서 복구하지 않습니다.\n"
                               "백업 파일의 dbMain.db를 빈 서버 데이터베이스로 옮기려면 "
                               "memberdesk --copy-database 명령을 사용하세요."));
        return false;
    }
    if (!programPresent()) return false;
    if (!AskYesNo(QStringLiteral("안전한 복구를 위하여 현재 사용중인 ") + App().appTitle +
                      QStringLiteral(" 프로그램을 종료합니다.\n계속하시겠습니까?"),
                  QStringLiteral("데이터 내려받기"), true))
        return false;
    return handOver(closeWindows, dbFolder, RestoreArguments(mode));
}

bool ExecBackUpAuto(const QString& dbFolder) {
    switch (frmMsgBackUp::ask()) {
    case frmMsgBackUp::BackupAndClose: return ExecBackUp(3, false, true, dbFolder);
    case frmMsgBackUp::CloseOnly: return true;
    default: return false;
    }
}

QStringList SettingsCopyNames() {
    return {App().appTitle, App().appTitle + QStringLiteral("_PritSetUp"), QStringLiteral("공통설정"),
            QStringLiteral("SMSSend")};
}

QString WriteSettingsCopy(const QString& dbFolder, const QStringList& appNames) {
    QString text;
    for (const QString& name : appNames) {
        const QString file = Settings::configDir() + u'/' + name + QStringLiteral(".ini");
        if (!QFile::exists(file)) continue;
        QSettings s(file, QSettings::IniFormat);
        for (const QString& key : s.allKeys())
            text += name + u'\\' + key + u'=' + s.value(key).toString().replace(u'\n', QStringLiteral("\\n")) + u'\n';
    }
    if (text.isEmpty()) return {};
    QDir dir(dbFolder);
    QStringList copies = dir.entryList({QStringLiteral("환경설정_*.mdb")}, QDir::Files, QDir::Name);
    if (!copies.isEmpty()) {
        QFile newest(dir.filePath(copies.last()));
        if (newest.open(QIODevice::ReadOnly) && QString::fromUtf8(newest.readAll()) == text) return {};
    }
    while (copies.size() >= 5) QFile::remove(dir.filePath(copies.takeFirst()));
    const QString path = dir.filePath(QStringLiteral("환경설정_") + Clock::now().toString(QStringLiteral("yyyyMMdd_HHmm")) +
                                      QStringLiteral(".mdb"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text.toUtf8()) < 0) return {};
    return path;
}
