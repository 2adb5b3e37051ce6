#pragma once

#include <QDate>
#include <QWidget>

class Grid;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// The day window: the entries due on one day (finished ones included) and an editor for
// one entry. Emits schedulesChanged after every save, delete or finish toggle.
class FrmTool_SCED_sub : public QWidget {
    Q_OBJECT
public:
    enum Col { ColDone = 1, ColCycle, ColTime, ColNote, ColSeq, ColCount };

    explicit FrmTool_SCED_sub(QWidget* parent = nullptr);

    // Shows the entries due on `day` and prepares a new entry on that date.
    void SetDate(const QDate& day);
    QDate date() const { return m_day; }
    int currentSeq() const { return m_seq; } // 0 while a new entry is edited

    void btnNew();
    bool btnSave();
    void btnRecDel();

signals:
    void schedulesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadList(int selectSeq);
    void loadRow(int row);
    void toggleDone(int row);
    void stepTime(int minutes);
    void syncTimeEnabled();

    Grid* m_grid = nullptr;
    QDateEdit* m_picker = nullptr;
    QCheckBox* m_noTime = nullptr;
    QLineEdit* m_hour = nullptr;
    QLineEdit* m_minute = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QRadioButton* m_cycle[4] = {};
    QDate m_day;
    int m_seq = 0;
    bool m_filling = false;
};
