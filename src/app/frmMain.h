#pragma once

#include <QMainWindow>

// The multiple-document frame a user works in after login.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
};
