#include "app/PasswordVault.h"

#include "core/AppState.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("MemberDesk");

// Runs one keyring job to its end; a keyring that does not answer within a few seconds
// counts as none.
bool runJob(QKeychain::Job& job, QKeychain::Error* error) {
    job.setAutoDelete(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    job.start();
    if (!finished) loop.exec();
    if (error) *error = finished ? job.error() : QKeychain::NoBackendAvailable;
    return finished && job.error() == QKeychain::NoError;
}

class KeyringVault : public PasswordVault {
public:
    bool available() override {
        if (m_checked) return m_available;
        m_checked = true;
        QKeychain::ReadPasswordJob job(kService);
        job.setKey(QStringLiteral("availability check"));
        QKeychain::Error error = QKeychain::NoError;
        runJob(job, &error);
        m_available = error == QKeychain::NoError || error == QKeychain::EntryNotFound;
        return m_available;
    }
    QString read(const QString& account) override {
        if (!available()) return {};
        QKeychain::ReadPasswordJob job(kService);
        job.setKey(account);
        return runJob(job, nullptr) ? job.textData() : QString();
    }
    bool write(const QString& account, const QString& password) override {
        if (!available()) return false;
        QKeychain::WritePasswordJob job(kService);
        job.setKey(account);
        job.setTextData(password);
        return runJob(job, nullptr);
    }
    void remove(const QString& account) override {
        if (!available()) return;
        QKeychain::DeletePasswordJob job(kService);
        job.setKey(account);
        runJob(job, nullptr);
    }

private:
    bool m_checked = false;
    bool m_available = false;
};

std::unique_ptr<PasswordVault>& current() {
    static std::unique_ptr<PasswordVault> v;
    return v;
}

} // namespace

PasswordVault& passwordVault() {
    if (!current()) current() = std::make_unique<KeyringVault>();
    return *current();
}

void setPasswordVault(std::unique_ptr<PasswordVault> vault) { current() = std::move(vault); }

QString RememberedPasswordAccount() { return QStringLiteral("login ") + App().appDir; }

QString NoKeyringText() {
    return QStringLiteral("이 PC에는 암호를 안전하게 보관할 키링(비밀번호 보관함)이 없어 암호를 저장할 수 없습니다.");
}
