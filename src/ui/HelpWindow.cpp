#include "ui/HelpWindow.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "ui/WindowRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The first "# " heading of a page, or its file name.
QString pageTitle(const QString& path) {
    const QString text = readText(path);
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+)$"), QRegularExpression::MultilineOption);
    const auto m = heading.match(text);
    return m.hasMatch() ? m.captured(1).trimmed() : QFileInfo(path).completeBaseName();
}

QString pageFile(QString page) {
    if (!page.endsWith(QStringLiteral(".md"))) page += QStringLiteral(".md");
    return page;
}

} // namespace

QString GuideFolder() {
    QStringList candidates;
    const QString env = qEnvironmentVariable("MEMBERDESK_GUIDE_DIR");
    if (!env.isEmpty()) candidates << env; // when given, the only place looked in
    else {
    const QString bin = QCoreApplication::applicationDirPath();
    candidates << bin + QStringLiteral("/../share/doc/memberdesk/guide")
               << bin + QStringLiteral("/../../share/doc/memberdesk/guide");
    const QString source = qEnvironmentVariable("MEMBERDESK_SOURCE_DIR");
    if (!source.isEmpty()) candidates << source + QStringLiteral("/docs/guide");
#ifdef MD_SOURCE_GUIDE_DIR
    candidates << QStringLiteral(MD_SOURCE_GUIDE_DIR);
#endif
    }
    for (const QString& c : candidates)
        if (QFileInfo::exists(c + QStringLiteral("/index.md"))) return QDir(c).absolutePath();
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("사용 설명서"));
    m_back = new QPushButton(QStringLiteral("◀ 뒤로"), this);
    m_back->setObjectName(QStringLiteral("btnBack"));
    m_forward = new QPushButton(QStringLiteral("앞으로 ▶"), this);
    m_forward->setObjectName(QStringLiteral("btnForward"));
    auto* home = new QPushButton(QStringLiteral("목차"), this);
    home->setObjectName(QStringLiteral("btnHome"));
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setPlaceholderText(QStringLiteral("찾을 낱말을 입력하고 Enter"));
    m_contents = new QListWidget(this);
    m_contents->setObjectName(QStringLiteral("lstContents"));
    m_hits = new QListWidget(this);
    m_hits->setObjectName(QStringLiteral("lstFound"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtPage"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(QStringLiteral("목차"), side));
    sideLayout->addWidget(m_contents, 3);
    sideLayout->addWidget(new QLabel(QStringLiteral("찾기"), side));
    sideLayout->addWidget(m_find);
    sideLayout->addWidget(m_hits, 2);
    auto* split = new QSplitter(this);
    split->addWidget(side);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 620});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* top = new QVBoxLayout(this);
    top->addLayout(buttons);
    top->addWidget(split, 1);
    resize(900, 620);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(home, &QPushButton::clicked, this, [this] { showPage(QStringLiteral("index")); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_contents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(m_contents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] { search(m_find->text()); });
    connect(m_hits, &QListWidget::itemActivated, this, [this](QListWidgetItem* i) { openHit(m_hits->row(i)); });
    connect(m_hits, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { openHit(m_hits->row(i)); });
    // Links to other sites go to the browser; the guide's own pages stay here.
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().startsWith(QStringLiteral("http"))) {
            m_browser->setSource(m_browser->source()); // stay on the page
            launcher().open(url.toString());
        }
    });
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    loadContents();
}

void HelpWindow::loadContents() {
    m_contents->clear();
    const QString folder = GuideFolder();
    if (folder.isEmpty()) return;
    m_browser->setSearchPaths({folder});
    static const QRegularExpression link(QStringLiteral("^\\s*[-*]\\s*\\[([^\\]]+)\\]\\(([^)]+\\.md)\\)"),
                                         QRegularExpression::MultilineOption);
    auto it = link.globalMatch(readText(folder + QStringLiteral("/index.md")));
    auto* first = new QListWidgetItem(QStringLiteral("처음 화면"), m_contents);
    first->setData(Qt::UserRole, QStringLiteral("index.md"));
    while (it.hasNext()) {
        const auto m = it.next();
        auto* item = new QListWidgetItem(m.captured(1), m_contents);
        item->setData(Qt::UserRole, m.captured(2));
    }
}

bool HelpWindow::showPage(const QString& page) {
    const QString folder = GuideFolder();
    if (folder.isEmpty()) return false;
    QString file = pageFile(page);
    if (!QFileInfo::exists(folder + u'/' + file)) file = QStringLiteral("index.md");
    m_browser->setSource(QUrl::fromLocalFile(folder + u'/' + file), QTextDocument::MarkdownResource);
    for (int i = 0; i < m_contents->count(); ++i)
        if (m_contents->item(i)->data(Qt::UserRole).toString() == file) m_contents->setCurrentRow(i);
    return true;
}

QString HelpWindow::currentPage() const {
    return QFileInfo(m_browser->source().toLocalFile()).completeBaseName();
}

int HelpWindow::search(const QString& text) {
    m_hits->clear();
    m_searched = text.trimmed();
    const QString folder = GuideFolder();
    if (m_searched.isEmpty() || folder.isEmpty()) return 0;
    const QFileInfoList pages = QDir(folder).entryInfoList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    for (const QFileInfo& p : pages) {
        if (!readText(p.absoluteFilePath()).contains(m_searched, Qt::CaseInsensitive)) continue;
        auto* item = new QListWidgetItem(pageTitle(p.absoluteFilePath()), m_hits);
        item->setData(Qt::UserRole, p.fileName());
    }
    if (m_hits->count() == 0) new QListWidgetItem(QStringLiteral("찾는 낱말이 있는 쪽이 없습니다."), m_hits);
    else openHit(0);
    return m_hits->count() == 1 && m_hits->item(0)->data(Qt::UserRole).isNull() ? 0 : m_hits->count();
}

void HelpWindow::openHit(int row) {
    QListWidgetItem* item = m_hits->item(row);
    if (!item || item->data(Qt::UserRole).isNull()) return;
    m_hits->setCurrentRow(row);
    showPage(item->data(Qt::UserRole).toString());
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->find(m_searched);
}

bool OpenHelp(const QString& page) {
    const QString folder = GuideFolder();
    if (folder.isEmpty()) {
        MsgInfo(QStringLiteral("사용 설명서를 찾을 수 없습니다.\n프로그램을 다시 설치하거나, "
                               "설명서 폴더(share/doc/memberdesk/guide)가 있는지 확인하세요."));
        return false;
    }
    auto* w = OpenChild<HelpWindow>(QStringLiteral("frmHelp"));
    return w->showPage(page);
}
