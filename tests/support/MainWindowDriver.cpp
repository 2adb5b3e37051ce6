#include "MainWindowDriver.h"

#include "app/LoginUser.h"
#include "app/MemberCommands.h"
#include "app/MainCommands.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "db/Database.h"
#include "ui/Grid.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QtTest>

MainWindowDriver::MainWindowDriver(bool startWindow) : MainWindowDriver(std::make_unique<TestEnv>(), startWindow) {}

MainWindowDriver::MainWindowDriver(std::unique_ptr<TestEnv> env, bool startWindow) : m_env(std::move(env)) {
    if (!m_env->ok()) return;
    // What the login window does after a correct password.
    if (!ReadOptions() || !GetLoginUserInfo(QStringLiteral("ADMIN"))) return;
    if (!startWindow) App().start.clear();
    RegisterMemberCommands();
    m_frame = new frmMain;
    m_frame->show();
    QApplication::setActiveWindow(m_frame);
    if (!QTest::qWaitForWindowActive(m_frame)) qWarning("MainWindowDriver: frame not active");
    QCoreApplication::processEvents(); // reminder and start window
}

MainWindowDriver::~MainWindowDriver() {
    frmMain::setAutoBackupHook({});
    frmMain::setUnloadHook({});
    delete m_frame;
    // Anything left open on its own (a dialog, a notice) goes with the frame.
    QList<QPointer<QWidget>> tops;
    for (QWidget* w : QApplication::topLevelWidgets()) tops << w;
    for (const QPointer<QWidget>& w : tops)
        if (w && !w->parentWidget()) delete w.data();
    m_env.reset();
}

bool MainWindowDriver::ok() const { return m_env->ok() && m_frame; }

frmMain* MainWindowDriver::frame() const { return m_frame; }

QWidget* MainWindowDriver::open(const QString& command) {
    QAction* item = m_frame ? m_frame->menuAction(command) : nullptr;
    // A person's click on a greyed-out item does nothing: a test that needs one fails.
    if (item && !item->isEnabled()) {
        QTest::qFail(qPrintable(QStringLiteral("menu item %1 is disabled").arg(command)),
                     __FILE__, __LINE__);
        return nullptr;
    }
    if (item)
        item->trigger();
    else if (!MainCommands::run(command, m_frame)) {
        QTest::qFail(qPrintable(QStringLiteral("no command %1").arg(command)), __FILE__,
                     __LINE__);
        return nullptr;
    }
    QCoreApplication::processEvents();
    return activeWindow();
}

QWidget* MainWindowDriver::activeWindow() const {
    if (!m_frame) return nullptr;
    QMdiSubWindow* sub = m_frame->mdiArea()->activeSubWindow();
    if (!sub) sub = m_frame->mdiArea()->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

QWidget* MainWindowDriver::find(const QString& name, QWidget* in) const {
    QWidget* root = in ? in : m_frame;
    QWidget* w = root ? root->findChild<QWidget*>(name) : nullptr;
    if (!w && !in)
        for (QWidget* top : QApplication::topLevelWidgets())
            if ((w = top->objectName() == name ? top : top->findChild<QWidget*>(name))) break;
    if (!w) qWarning() << "MainWindowDriver: no control" << name;
    return w;
}

QWidget* WidgetUnder(QWidget* w, QPoint& pos) {
    if (pos == QPoint(-1, -1)) pos = w->rect().center();
    QWidget* top = w->window();
    const QPoint inTop = w->mapTo(top, pos);
    QWidget* hit = top->childAt(inTop);
    if (!hit) hit = top;
    pos = hit->mapFrom(top, inTop);
    return hit;
}

void RaiseChildWindow(QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) {
            sub->mdiArea()->setActiveSubWindow(sub);
            break;
        }
    QCoreApplication::processEvents();
}

namespace {
void waitForModal(const std::function<void(QWidget*)>& action, QWidget* before, int tries) {
    QTimer::singleShot(10, [action, before, tries] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w != before && (w->isActiveWindow() || tries == 0)) {
            QPointer<QWidget> modal = w;
            action(w);
            QCoreApplication::processEvents();
            if (modal && modal->isVisible() && QApplication::activeModalWidget() == modal) {
                qWarning("the modal window was left open");
                modal->close();
            }
        } else if (tries > 0) {
            waitForModal(action, before, tries - 1);
        } else {
            qWarning("no modal window was shown");
        }
    });
}
} // namespace

void OnModal(std::function<void(QWidget*)> action) {
    waitForModal(action, QApplication::activeModalWidget(), 300);
}

QWidget* ClickAsPerson(QWidget* w, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    if (!w) return nullptr;
    QWidget* hit = WidgetUnder(w, pos);
    QTest::mouseClick(hit, button, mods, pos);
    QCoreApplication::processEvents();
    return hit;
}

QWidget* MainWindowDriver::click(QWidget* w, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    return ClickAsPerson(w, pos, button, mods);
}

QWidget* MainWindowDriver::doubleClick(QWidget* w, QPoint pos) {
    if (!w) return nullptr;
    QWidget* hit = WidgetUnder(w, pos);
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(hit, Qt::LeftButton, Qt::NoModifier, pos);
    QCoreApplication::processEvents();
    return hit;
}

QPoint CellPoint(Grid* g, int col, int row) {
    const QModelIndex i = g->model()->index(row - 1, col - 1);
    g->scrollTo(i);
    return g->visualRect(i).center();
}

QWidget* MainWindowDriver::clickCell(Grid* g, int col, int row) {
    return click(g->viewport(), CellPoint(g, col, row));
}

QWidget* MainWindowDriver::doubleClickCell(Grid* g, int col, int row) {
    return doubleClick(g->viewport(), CellPoint(g, col, row));
}

void MainWindowDriver::drag(QWidget* w, QPoint from, QPoint to) {
    QPoint p = from;
    QWidget* hit = WidgetUnder(w, p);
    const QPoint end = hit->mapFrom(w, to);
    QTest::mousePress(hit, Qt::LeftButton, Qt::NoModifier, p);
    // QTest::mouseMove sends no button state; a real drag does.
    for (int i = 1; i <= 4; ++i) {
        const QPoint at = p + (end - p) * i / 4;
        QMouseEvent move(QEvent::MouseMove, at, hit->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(hit, &move);
    }
    QTest::mouseRelease(hit, Qt::LeftButton, Qt::NoModifier, end);
    QCoreApplication::processEvents();
}

QWidget* MainWindowDriver::focus() const { return QApplication::focusWidget(); }

void MainWindowDriver::type(const QString& text) {
    for (const QChar ch : text) {
        QWidget* w = focus();
        if (!w) {
            qWarning("MainWindowDriver: nothing has the focus");
            return;
        }
        if (ch == u'\n') {
            QTest::keyClick(w, Qt::Key_Return);
        } else if (ch.unicode() < 0x80) {
            QTest::keyClicks(w, QString(ch));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(ch));
            QApplication::sendEvent(w, &commit);
        }
    }
    QCoreApplication::processEvents();
}

void MainWindowDriver::retype(QWidget* w, const QString& text) {
    if (!w) return;
    if (!w->isVisible()) {
        // A person cannot type into what is not on the screen.
        QTest::qFail("retype: the control is not visible", __FILE__, __LINE__);
        return;
    }
    // Clicking into another top-level window brings it to the front first.
    if (!w->window()->isActiveWindow()) QApplication::setActiveWindow(w->window());
    click(w);
    // Keys go where the click put the focus, as a person's would.
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    type(text);
}

void MainWindowDriver::key(Qt::Key k, Qt::KeyboardModifiers mods) {
    if (QWidget* w = focus())
        QTest::keyClick(w, k, mods);
    else
        qWarning("MainWindowDriver: nothing has the focus");
    QCoreApplication::processEvents();
}

QVariant MainWindowDriver::query(const QString& sql, const QVariantList& params) const {
    return GetScalar(sql, params);
}
