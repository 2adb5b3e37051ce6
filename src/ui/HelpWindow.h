#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

// The user guide: Markdown pages in one folder (GuideFolder), read in the program's own
// window, so it works without a browser. The page "index.md" lists the contents as links
// ("- [title](page.md)"); a window's page is named after the window ("frmTrade.md").
// The window shows the contents, a search over every page (hits listed by page; choosing
// one shows the page with the first hit selected), and back/forward through pages read.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `page` ("frmTrade" or "frmTrade.md"); a page that does not exist shows the
    // contents page. False when the guide itself is missing.
    bool showPage(const QString& page);
    QString currentPage() const;
    // Searches every page for `text` (case-insensitive) and lists the pages holding it.
    // The number of pages found.
    int search(const QString& text);
    QSize sizeHint() const override { return {900, 620}; }

private:
    void loadContents();
    void openHit(int row);
    QTextBrowser* m_browser = nullptr;
    QListWidget* m_contents = nullptr;
    QListWidget* m_hits = nullptr;
    QLineEdit* m_find = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QString m_searched;
};

// The folder of the guide: $MEMBERDESK_GUIDE_DIR when set (and only there); else the installed copy beside the
// program (../share/doc/memberdesk/guide); else docs/guide of the source tree the program
// was built from. Empty when none holds "index.md".
QString GuideFolder();

// Opens the help window at `page` (see HelpWindow::showPage). When the guide is missing,
// says so in Korean with the folders looked in. False then.
bool OpenHelp(const QString& page = QStringLiteral("index"));
