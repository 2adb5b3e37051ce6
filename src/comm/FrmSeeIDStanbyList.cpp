#include "comm/FrmSeeIDStanbyList.h"

#include "comm/CallerLists.h"
#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "ui/WindowRegistry.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

// Resources of a static library are registered by hand (outside any namespace).
static void initCommResources() { Q_INIT_RESOURCE(comm); }

namespace {
const QString kSection = QStringLiteral("환경설정");
const QString kX = QStringLiteral("발신번호대기창x");
const QString kY = QStringLiteral("발신번호대기창y");

QWidget* frameOf(QWidget* w)
{
    if (QMdiSubWindow* sub = WindowRegistry::subWindowOf(w))
        return sub;
    return w;
}
} // namespace

FrmSeeIDStanbyList::FrmSeeIDStanbyList(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("수신전화 목록"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto mk = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    auto* del = mk("btnDel", QStringLiteral("선택 삭제"));
    auto* allDel = mk("btnAllDel", QStringLiteral("전체 삭제"));
    auto* all = mk("btnAllList", QStringLiteral("전체 수신 목록"));
    auto* test = mk("Command1", QStringLiteral("테스트"));
    m_help = mk("cmdHelp", QStringLiteral("도움말"));
    auto* lay = new QGridLayout(this);
    lay->addWidget(m_list, 0, 0, 1, 5);
    lay->addWidget(del, 1, 0);
    lay->addWidget(allDel, 1, 1);
    lay->addWidget(all, 1, 2);
    lay->addWidget(test, 1, 3);
    lay->addWidget(m_help, 1, 4);
    connect(del, &QPushButton::clicked, this, &FrmSeeIDStanbyList::btnDel);
    connect(allDel, &QPushButton::clicked, this, &FrmSeeIDStanbyList::btnAllDel);
    connect(all, &QPushButton::clicked, this, [] { ShowCallerList(); });
    connect(test, &QPushButton::clicked, this, &FrmSeeIDStanbyList::Command1);
    connect(m_help, &QPushButton::clicked, this, &FrmSeeIDStanbyList::cmdHelp);
    m_help->setVisible(QFileInfo::exists(helpFile()));
    connect(&CallerLists::instance(), &CallerLists::standbyChanged, this, &FrmSeeIDStanbyList::reload);
    reload();
    resize(360, 300);
}

QString FrmSeeIDStanbyList::helpFile()
{
    return DataPath(QStringLiteral("doc/발신번호안내.txt"));
}

void InstallCallerHelp()
{
    const QString path = FrmSeeIDStanbyList::helpFile();
    if (QFileInfo::exists(path))
        return;
    initCommResources();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::copy(QStringLiteral(":/comm/cid_help.txt"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

void FrmSeeIDStanbyList::reload()
{
    m_list->clear();
    m_list->addItems(CallerLists::instance().standby());
}

void FrmSeeIDStanbyList::btnDel()
{
    QList<int> rows;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected())
            rows << i;
    if (rows.isEmpty()) {
        MsgInfo(QStringLiteral("삭제할 항목을 선택해 주세요."));
        return;
    }
    CallerLists::instance().removeStandby(rows);
}

void FrmSeeIDStanbyList::btnAllDel()
{
    CallerLists::instance().clearStandby();
}

void FrmSeeIDStanbyList::cmdHelp()
{
    const QString path = helpFile();
    if (!QFileInfo::exists(path)) {
        MsgInfo(path + u'\n' + QStringLiteral("도움말 파일을 찾을 수 없습니다."));
        return;
    }
    if (!launcher().open(path))
        MsgInfo(path + u'\n' + QStringLiteral("도움말 파일을 열 수 없습니다. 텍스트 파일을 여는 프로그램이 있는지 확인하세요."));
}

void FrmSeeIDStanbyList::Command1()
{
    const auto text = InputBox(QStringLiteral("발신번호"), {}, QStringLiteral("0111234567"));
    if (text && !text->isEmpty())
        CallerLists::instance().addStandbyItem(*text);
}

void FrmSeeIDStanbyList::savePosition()
{
    QWidget* f = frameOf(this);
    if (f->isMinimized() || isMinimized())
        return;
    const QPoint p = f->pos();
    if (p.x() < 0 || p.y() < 0)
        return;
    Settings::set(kSection, kX, QString::number(p.x()));
    Settings::set(kSection, kY, QString::number(p.y()));
}

void FrmSeeIDStanbyList::restorePosition()
{
    const int x = Settings::getIn(App().appTitle, kSection, kX, QStringLiteral("-1")).toInt();
    const int y = Settings::getIn(App().appTitle, kSection, kY, QStringLiteral("-1")).toInt();
    if (x >= 0 && y >= 0)
        frameOf(this)->move(x, y);
}

void FrmSeeIDStanbyList::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_restored) {
        m_restored = true;
        restorePosition();
    }
}

void FrmSeeIDStanbyList::closeEvent(QCloseEvent* e)
{
    // The waiting calls stay in CallerLists; the window itself may go.
    savePosition();
    e->accept();
}

FrmSeeidList::FrmSeeidList(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("수신전화 전체 목록"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtMsg"));
    m_text->setReadOnly(true);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_text);
    m_text->setPlainText(CallerLists::instance().messages());
    connect(&CallerLists::instance(), &CallerLists::messageAdded, this, [this](const QString& t) {
        m_text->moveCursor(QTextCursor::End);
        m_text->insertPlainText(t + u'\n');
    });
    resize(360, 300);
}

FrmSeeIDStanbyList* ShowStandbyList()
{
    auto* w = ChildWindow<FrmSeeIDStanbyList>(QStringLiteral("FrmSeeIDStanbyList"));
    FormFocus(w);
    w->restorePosition();
    return w;
}

FrmSeeidList* ShowCallerList()
{
    return OpenChild<FrmSeeidList>(QStringLiteral("FrmSeeidList"));
}
