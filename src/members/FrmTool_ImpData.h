#pragma once

#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class Grid;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QGroupBox;
class WorkbookReader;
struct SheetData;

// The member import window: a worksheet file and sheet shown in spList, a sheet column
// chosen for each member field, then the rows checked and written (see MemberImport.h).
class FrmTool_ImpData : public QWidget {
    Q_OBJECT
public:
    explicit FrmTool_ImpData(QWidget* parent = nullptr);
    ~FrmTool_ImpData() override;

    // Opens a worksheet file as if its path had been typed (a missing file does nothing).
    void openFile(const QString& path);
    // Steps of the import button; false when it ended without importing.
    bool runImport();

private:
    void chooseFile();
    void loadSheet(int index);
    void clearSheet();
    void refillChoosers();
    void appendLog(const QString& line);
    void flushLog();
    bool readRange(int& from, int& to);

    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QComboBox* m_sheet = nullptr;
    Grid* m_list = nullptr;
    QLabel* m_count = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
    QComboBox* m_mode = nullptr;
    QRadioButton* m_type = nullptr;
    QGroupBox* m_fields = nullptr;
    QVector<QComboBox*> m_columns;
    QVector<QComboBox*> m_users;
    QPushButton* m_import = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_log = nullptr;

    std::unique_ptr<WorkbookReader> m_reader;
    std::unique_ptr<SheetData> m_data;
    QString m_openPath;
    QStringList m_pendingLog;
    bool m_loading = false;
    int m_firstDataRow = 1; // 2 when the sheet's first row holds headings
};
