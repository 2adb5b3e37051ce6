#pragma once

#include "ui/RecordList.h"

#include <optional>

class Grid;
class QLineEdit;
class frmServiceSub;
struct PickRow;

// The services catalog list ("거래내용관리"); as the picker of trade lines it is titled
// "거래내용선택" and a double-click or Enter hands the row back.
class frmService : public RecordList {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColPrice, ColPoint, ColMemo, ColCode, ColCount = ColCode };

    explicit frmService(QWidget* parent = nullptr);

    // Reloads the list with the search text.
    void Refresh_Sheet();
    // After the editor saved: mode 1 appends a row, mode 2 rewrites the row of that code.
    void UpdateService(int mode, frmServiceSub* editor);
    // Picker mode: title "거래내용선택", a chosen row ends the window.
    void setPickerMode(bool on);
    bool pickerMode() const { return m_picker; }
    std::optional<PickRow> chosen() const;
    QLineEdit* searchInput() const { return m_search; }
    Grid* grid() const { return m_grid; }

    // Opens the editor on a record (0: a new one).
    frmServiceSub* openEditor(int code);

    // The lookup picker of services: one match at once, several through this window shown
    // modally, none offers the editor. Leaves the code in LastPickedServiceCode().
    static QString pick(const QString& text);

public slots:
    void addRecord() override;
    void query() override;

signals:
    void picked();

protected:
    void editRecord(int code) override;
    bool deleteGuards(int code) override;
    void rowDoubleClicked(int row) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void writeRow(int row, frmServiceSub* editor);
    void pickRow(int row);

    Grid* m_grid = nullptr;
    QLineEdit* m_search = nullptr;
    bool m_picker = false;
    int m_chosenCode = 0;
    QString m_chosenName;
};
