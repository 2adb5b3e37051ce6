#include "comm/SmsHandOff.h"

#include "comm/CallerRules.h"
#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "ui/Grid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace {

const QString kSmsProgram = QStringLiteral("SMSSend");
const QString kListFile = QStringLiteral("ExternTelNo.txt");

bool isLineBreakOrControl(QChar c) {
    const auto cat = c.category();
    return cat == QChar::Other_Control || cat == QChar::Separator_Line ||
           cat == QChar::Separator_Paragraph;
}

// A name as the list file takes it: the program splits lines at CR LF and fields at
// ",", ";" or ":", so none of them may stay in it.
QString listName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        if (c == u',' || c == u';' || c == u':') continue;
        if (!isLineBreakOrControl(c))
            out += c;
        else if (!out.endsWith(u' '))
            out += u' '; // "김\r\n영희" reads "김 영희"
    }
    return out.trimmed();
}

// Every number in one shape, with dashes ("010 1234 5678" and "01012345678" give
// "010-1234-5678"), as the caller-ID look-up formats them.
QString listNumber(const QString& number) {
    QString out;
    out.reserve(number.size());
    for (QChar c : number)
        if (!isLineBreakOrControl(c)) out += c;
    return FormatTelNo(out.trimmed());
}

// "010-1234-5678" and "01012345678" are the same telephone.
QString numberKey(const QString& number) {
    QString d;
    for (QChar c : number)
        if (c.isDigit()) d += c;
    return d.isEmpty() ? number : d;
}

QString duplicateQuestion() {
    return QStringLiteral("\n선택한 고객중에 핸드폰 번호가 중복 되어 있는 고객이 있습니다.  \n\n"
                          "  - 중복 제거 하시겠으면 [예]\n\n"
                          "  - 중복 전송 하시겠으면 [아니요]\n\n"
                          "  - 전송 취소 하시겠으면 [취소]\n\n"
                          "를 선택 하세요.\n");
}

} // namespace

QString FindSMSProgram(int kind) {
    const QString exe = kind == 0 ? kSmsProgram : QStringLiteral("FaxVoice");
    const QString appName =
        kind == 0 ? QStringLiteral("문자전송기") : QStringLiteral("팩스음성전송기");
    const QFileInfo local(ProgramPath(exe));
    if (local.isFile() && local.isExecutable()) return local.absolutePath();

    const QString folder =
        Settings::getIn(appName, QStringLiteral("환경설정"), QStringLiteral("AppPath"), QString())
            .trimmed();
    QFileInfo program;
    if (!folder.isEmpty())
        program = QFileInfo(QDir(folder).filePath(exe));
    else if (local.exists())
        program = local; // there, but it cannot run: say so rather than "not found"
    else {
        MsgInfo(QStringLiteral("문자전송 실행파일을 찾을 수 없습니다."));
        return {};
    }
    if (!program.isFile()) {
        MsgInfo(QStringLiteral("문자전송 프로그램을 찾을 수 없습니다.\n파일명:") +
                program.filePath() +
                QStringLiteral("\n제조사 홈페이지에서 문자전송 프로그램을 다운받아 설치하세요."));
        return {};
    }
    if (!program.isExecutable()) {
        MsgWarning(QStringLiteral("문자전송 프로그램을 실행할 수 없습니다.\n파일명:") +
                   program.filePath() + QStringLiteral("\n실행 권한이 있는지 확인하세요."));
        return {};
    }
    return program.absolutePath();
}

ExternListResult WriteExternList(const Grid* grid, const QString& path, int selectColumn,
                                 int nameColumn, int phoneColumn) {
    if (QFile::exists(path) && !QFile::remove(path)) {
        MsgWarning(QStringLiteral("수신자 목록 파일을 지울 수 없습니다.\n파일명:") + path);
        return ExternListResult::Failed;
    }
    QSet<QString> written;
    bool checking = true, asking = true, cancelled = false;
    QString text;
    // Ticked rows not read yet (tick all on a long list) are read here and not kept.
    const auto add = [&](int, const QStringList& cells) {
        const QString phones = cells.value(phoneColumn - 1);
        if (phones.trimmed().isEmpty()) return true;
        const QString name = listName(cells.value(nameColumn - 1));
        for (const QString& part : phones.split(u',')) {
            const QString number = listNumber(part);
            if (number.isEmpty()) continue;
            if (checking) {
                const QString key = numberKey(number);
                if (written.contains(key)) {
                    if (!asking) continue;
                    const Prompt::Answer a =
                        AskYesNoCancel(duplicateQuestion(), {}, Prompt::Answer::Yes);
                    if (a == Prompt::Answer::Cancel) {
                        cancelled = true;
                        return false;
                    }
                    if (a == Prompt::Answer::Yes) {
                        asking = false;
                        continue;
                    }
                    checking = false;
                } else {
                    written.insert(key);
                }
            }
            text += name;
            text += u',';
            text += number;
            text += QStringLiteral("\r\n");
        }
        return true;
    };
    if (grid && !grid->forEachTickedRow(selectColumn, add))
        return ExternListResult::Failed; // the database layer has said why
    if (cancelled) return ExternListResult::Cancelled;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        MsgWarning(QStringLiteral("수신자 목록 파일을 저장할 수 없습니다.\n파일명:") + path +
                   u'\n' + file.errorString());
        return ExternListResult::Failed;
    }
    return ExternListResult::Written;
}

bool WriteExternTelNo(const Grid* grid, const QString& path, int selectColumn, int nameColumn,
                      int phoneColumn) {
    return WriteExternList(grid, path, selectColumn, nameColumn, phoneColumn) ==
           ExternListResult::Written;
}

bool SendToSMS(const Grid* grid, int selectColumn, int nameColumn, int phoneColumn, int kind) {
    if (kind != 0) {
        MsgInfo(QStringLiteral("팩스,음성은 현재 지원하지 않은 기능입니다."));
        return false;
    }
    if (!grid) return false;
    const QString folder = FindSMSProgram(0);
    if (folder.isEmpty()) return false;
    bool marked = false;
    grid->forEachTickedRow(selectColumn, [&marked](int, const QStringList&) {
        marked = true;
        return false;
    });

    QString parameter = QStringLiteral("0");
    if (!marked) {
        const auto a =
            prompt().question(Prompt::Icon::Question,
                              QStringLiteral("전송할 자료를 선택하지 않았습니다.\n그래도, 문자전송 "
                                             "프로그램을 실행할까요?"),
                              QStringLiteral("SMS"), false, Prompt::Answer::Yes);
        if (a != Prompt::Answer::Yes) return false;
    } else {
        const QString path = QDir(folder).filePath(kListFile);
        switch (WriteExternList(grid, path, selectColumn, nameColumn, phoneColumn)) {
        case ExternListResult::Written:
            parameter = path;
            break;
        case ExternListResult::Cancelled:
            break; // the program starts without a list
        case ExternListResult::Failed:
            return false;
        }
    }
    const QString program = QDir(folder).filePath(kSmsProgram);
    if (!launcher().start(program, {parameter}, folder)) {
        MsgWarning(QStringLiteral("문자전송 프로그램을 실행할 수 없습니다.\n파일명:") + program);
        return false;
    }
    return true;
}
