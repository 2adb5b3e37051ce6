#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// "발신번호 환경설정": device type, the serial port of each line with its device path,
// and the LAN relay role of this station.
class FrmSeeIDOptions : public QWidget {
    Q_OBJECT
public:
    explicit FrmSeeIDOptions(QWidget* parent = nullptr);
    void load();
    void cmdOK();

private:
    void showPath(int line);
    QComboBox* m_port[2] = {};
    QLineEdit* m_path[2] = {};
    QCheckBox* m_remote[2] = {};
    QLineEdit* m_myIp = nullptr;
    QRadioButton* m_type[3] = {};
};
