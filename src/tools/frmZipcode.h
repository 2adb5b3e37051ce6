#pragma once

#include <QDialog>

#include <memory>

class Grid;
class PostDatabase;
class QLineEdit;

// Zip-code lookup: searches dbPost.db by dong name or zip code and hands the chosen code
// (Post) and address (Addr) to the window that opened it. Also replaces the zip-code data
// with the newest edition from the zip-code server.
class frmZipcode : public QDialog {
    Q_OBJECT
public:
    enum Col { ColZip = 1, ColSido, ColGugun, ColDong, ColBunji, ColCount };

    explicit frmZipcode(QWidget* parent = nullptr);
    ~frmZipcode() override;

    // False when the zip-code database is missing (reported; the window is not usable).
    bool isReady() const;
    // A non-empty text is searched at once; a single row is taken at once. The number of
    // rows found, -1 when nothing was searched.
    int InitForm(const QString& searchText);
    // Searches the current input; the number of rows found, -1 on an error or empty input.
    int RefreshSheet();
    void btnSel();
    void btnDBUpdate();

    QString Post() const { return m_post; }
    QString Addr() const { return m_addr; }

    // Opens the window modally on `searchText` (a single match is taken without showing
    // it; with no match the window opens only when `openWhenNone`); true with `post`/`addr`
    // when a row was chosen.
    static bool Lookup(QWidget* parent, const QString& searchText, bool openWhenNone, QString* post, QString* addr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool openDatabase();
    void takeRow(int row);

    std::unique_ptr<PostDatabase> m_db;
    Grid* m_grid = nullptr;
    QLineEdit* m_input = nullptr;
    QString m_post, m_addr;
};
