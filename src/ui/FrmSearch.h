#pragma once

#include "ui/PickOrAdd.h"

#include <QDialog>

#include <optional>

class Grid;
class QLineEdit;
class QPushButton;

// The list window of the lookup picker: the rows of one kind whose name holds the search
// text. Enter, Space or a double-click takes the active row; digits 1-9 jump to that row;
// F5 searches again with the edited text; F2 adds an entry through the kind's editor; for
// usage places F4 deletes the active one. Esc closes without a choice.
class FrmSearch : public QDialog {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColCode, ColCount };

    explicit FrmSearch(QWidget* parent = nullptr);

    // Prepares the window for a kind and a search text and fills the grid.
    void SetFormMode(const QString& kind, const QString& text);
    // Refills the grid from the current kind and the search input.
    void Refresh_Sheet();
    // Called by editors after they save.
    void UpdateSearch();

    int rowCount() const;
    std::optional<PickRow> chosen() const { return m_chosen; }

    // Shows the window modally for `kind` and `text`; the chosen row or nullopt.
    static std::optional<PickRow> choose(const QString& kind, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeRow(int row);
    void addEntry();
    void deleteEntry();

    QString m_kind;
    Grid* m_grid = nullptr;
    QLineEdit* m_text = nullptr;
    QPushButton* m_delete = nullptr;
    std::optional<PickRow> m_chosen;
};
