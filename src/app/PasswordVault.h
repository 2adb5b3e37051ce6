#pragma once

#include <QString>

#include <memory>

// The remembered login password, kept in the desktop keyring (Secret Service, KWallet)
// through QtKeychain, never in the settings file. Where no keyring answers (no session bus,
// no keyring service) nothing can be remembered.
class PasswordVault {
public:
    virtual ~PasswordVault() = default;
    // True when a keyring answers; asked once per vault.
    virtual bool available() = 0;
    // The remembered password of `account`; "" when none.
    virtual QString read(const QString& account) = 0;
    virtual bool write(const QString& account, const QString& password) = 0;
    virtual void remove(const QString& account) = 0;
};

// The vault in use (the desktop keyring unless a test installed another).
PasswordVault& passwordVault();
void setPasswordVault(std::unique_ptr<PasswordVault> vault);

// The keyring entry of the login password of this data folder.
QString RememberedPasswordAccount();
// Text of the tool tip on "암호 저장" when no keyring answers.
QString NoKeyringText();
