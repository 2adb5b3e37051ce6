#include "comm/FrmSeeIDOptions.h"

#include "comm/CallerIntake.h"
#include "comm/SeeIdDevice.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "core/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString kEnv = QStringLiteral("환경설정");
const QString kConfig = QStringLiteral("Config");
const QString kUnused = QStringLiteral("사용안함");
} // namespace

FrmSeeIDOptions::FrmSeeIDOptions(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("발신번호 환경설정"));
    auto* root = new QVBoxLayout(this);
    auto* types = new QGroupBox(QStringLiteral("발신번호 표시기 종류"), this);
    auto* tl = new QVBoxLayout(types);
    const QString captions[3] = {QStringLiteral("모뎀형 (NMBR)"), QStringLiteral("SeeID 레코드형"),
                                 QStringLiteral("상태 보고형 (CID)")};
    for (int i = 0; i < 3; ++i) {
        m_type[i] = new QRadioButton(captions[i], types);
        m_type[i]->setObjectName(QStringLiteral("optPort(%1)").arg(i));
        tl->addWidget(m_type[i]);
    }
    root->addWidget(types);
    auto* ports = new QGroupBox(QStringLiteral("사용 포트"), this);
    auto* pl = new QFormLayout(ports);
    for (int i = 0; i < 2; ++i) {
        m_port[i] = new QComboBox(ports);
        m_port[i]->setObjectName(QStringLiteral("cmbCIDPortNo(%1)").arg(i));
        m_port[i]->setEditable(true);
        m_port[i]->addItem(kUnused);
        for (int n = 1; n <= 20; ++n)
            m_port[i]->addItem(QString::number(n));
        m_path[i] = new QLineEdit(ports);
        m_path[i]->setObjectName(QStringLiteral("txtPortPath(%1)").arg(i));
        auto* row = new QHBoxLayout;
        row->addWidget(m_port[i]);
        row->addWidget(m_path[i], 1);
        pl->addRow(QStringLiteral("%1번 회선").arg(i + 1), row);
        connect(m_port[i], &QComboBox::currentTextChanged, this, [this, i] { showPath(i); });
    }
    root->addWidget(ports);
    auto* relay = new QGroupBox(QStringLiteral("원격 발신번호"), this);
    relay->setObjectName(QStringLiteral("FrmCID"));
    auto* rl = new QVBoxLayout(relay);
    m_remote[0] = new QCheckBox(QStringLiteral("이 컴퓨터의 발신번호를 다른 컴퓨터로 전송 (서버)"), relay);
    m_remote[1] = new QCheckBox(QStringLiteral("다른 컴퓨터의 발신번호를 받음 (클라이언트)"), relay);
    for (int i = 0; i < 2; ++i) {
        m_remote[i]->setObjectName(QStringLiteral("chkRemoteCID(%1)").arg(i));
        rl->addWidget(m_remote[i]);
    }
    // The own address decides the broadcast network and tells the own datagrams apart;
    // empty takes the first network interface's address.
    m_myIp = new QLineEdit(relay);
    m_myIp->setObjectName(QStringLiteral("txtRemoteCIDMyIP"));
    m_myIp->setPlaceholderText(QStringLiteral("자동 (예: 192.168.0.17)"));
    auto* ipRow = new QFormLayout;
    ipRow->addRow(QStringLiteral("이 컴퓨터의 IP 주소"), m_myIp);
    rl->addLayout(ipRow);
    root->addWidget(relay);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto* cancel = new QPushButton(QStringLiteral("취소"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    root->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &FrmSeeIDOptions::cmdOK);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    load();
}

void FrmSeeIDOptions::showPath(int line)
{
    const int n = m_port[line]->currentText().trimmed().toInt();
    m_path[line]->setEnabled(n >= 1 && n <= 20);
    m_path[line]->setText(n >= 1 && n <= 20 ? SeeIdDevice::portPath(n) : QString());
}

void FrmSeeIDOptions::load()
{
    for (int i = 0; i < 2; ++i) {
        // A port never chosen shows "사용안함", as the link leaves it unused.
        const int n = SeeIdPortSetting(i + 1);
        m_port[i]->setCurrentText(n >= 1 && n <= 20 ? QString::number(n) : kUnused);
        showPath(i);
        m_remote[i]->setChecked(Settings::getIn(App().appTitle, kConfig, i == 0 ? QStringLiteral("RemoteCIDSvr") : QStringLiteral("RemoteCIDCli"),
                                              QStringLiteral("0")) == QStringLiteral("1"));
    }
    m_myIp->setText(Settings::getIn(App().appTitle, kConfig, QStringLiteral("RemoteCIDMyIP"), QString()).trimmed());
    const int type = SeeIdTypeSetting();
    m_type[type >= 0 && type <= 2 ? type : 0]->setChecked(true);
}

void FrmSeeIDOptions::cmdOK()
{
    const QString ip = m_myIp->text().trimmed();
    if (!ip.isEmpty() && QHostAddress(ip).protocol() != QAbstractSocket::IPv4Protocol) {
        MsgInfo(QStringLiteral("IP 주소가 올바르지 않습니다. (예: 192.168.0.17)"));
        m_myIp->setFocus();
        return;
    }
    auto& intake = CallerIntake::instance();
    intake.CloseSeeID();
    for (int i = 0; i < 2; ++i) {
        int n = m_port[i]->currentText().trimmed().toInt();
        if (n < 0 || n > 20)
            n = 0;
        Settings::set(kEnv, QStringLiteral("OpenSeeIDPort%1").arg(i + 1), QString::number(n));
        const QString path = m_path[i]->text().trimmed();
        if (n > 0 && !path.isEmpty())
            SeeIdDevice::setPortPath(n, path);
    }
    Settings::set(kConfig, QStringLiteral("RemoteCIDSvr"), m_remote[0]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    Settings::set(kConfig, QStringLiteral("RemoteCIDCli"), m_remote[1]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    Settings::set(kConfig, QStringLiteral("RemoteCIDMyIP"), ip);
    int type = 0;
    for (int i = 0; i < 3; ++i)
        if (m_type[i]->isChecked())
            type = i;
    Settings::set(kEnv, QStringLiteral("SeeIDType"), QString::number(type));
    MsgInfo(QStringLiteral("발신기TYPE을 바꾸셨다면 프로그램을 다시 시작해 주십시요"));
    // The new type and ports take effect now; the relay role at the next start.
    if (intake.linkWanted())
        intake.OpenSeeID();
    close();
}
