#pragma once

#include <QWidget>

class QLineEdit;
class QProgressBar;

// Deletes every money-book entry and group-fund movement after the ADMIN password.
class FrmTool_ClearAll : public QWidget {
    Q_OBJECT
public:
    explicit FrmTool_ClearAll(QWidget* parent = nullptr);
    void btnDelete();

private:
    QLineEdit* m_pwd = nullptr;
    QProgressBar* m_progress = nullptr;
    int m_wrong = 0;
};
