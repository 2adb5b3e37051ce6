#include "core/PrivateData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sodium.h>

namespace {

const QLatin1String kPrefix("enc1:");

bool sodiumReady() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

struct KeyState {
    QByteArray key;
    QString expected;
};

KeyState& state() {
    static KeyState s;
    return s;
}

bool writePrivateFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace

QString HashPassword(const QString& password) {
    if (password.isEmpty() || !sodiumReady()) return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool IsPasswordHash(const QString& stored) { return stored.startsWith(QLatin1String("$argon2id$")); }

bool PasswordMatches(const QString& stored, const QString& typed) {
    if (stored.isEmpty()) return typed.isEmpty();
    if (!IsPasswordHash(stored)) return stored == typed;
    if (!sodiumReady()) return false;
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

QString DataKey::pathFor(const QString& dbFolder) {
    const QFileInfo folder(QDir::cleanPath(dbFolder));
    return folder.path() + u'/' + folder.fileName() + QStringLiteral(".key");
}

bool DataKey::load(const QString& path) {
    state().expected = path;
    state().key.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.read(Size + 1);
    if (bytes.size() != Size) return false;
    state().key = bytes;
    return true;
}

bool DataKey::create(const QString& path, QString* error) {
    state().expected = path;
    if (QFileInfo::exists(path)) {
        if (error) *error = QStringLiteral("key file exists: ") + path;
        return false;
    }
    if (!sodiumReady()) return false;
    QByteArray key(Size, Qt::Uninitialized);
    randombytes_buf(key.data(), size_t(key.size()));
    if (!writePrivateFile(path, key, error)) return false;
    state().key = key;
    return true;
}

bool DataKey::save(const QString& path, QString* error) {
    if (state().key.size() != Size) {
        if (error) *error = QStringLiteral("no key loaded");
        return false;
    }
    return writePrivateFile(path, state().key, error);
}

void DataKey::clear() { state() = KeyState{}; }

bool DataKey::loaded() { return state().key.size() == Size; }

QString DataKey::expectedPath() { return state().expected; }

void DataKey::setExpectedPath(const QString& path) { state().expected = path; }

QString DataKey::fingerprint() {
    if (!loaded() || !sodiumReady()) return {};
    static const unsigned char context[] = "MemberDesk data key check";
    unsigned char out[16];
    crypto_generichash(out, sizeof out, context, sizeof context - 1,
                       reinterpret_cast<const unsigned char*>(state().key.constData()), size_t(Size));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(out), sizeof out).toBase64());
}

QString NoKeyText() { return QStringLiteral("(암호키 없음)"); }

bool IsEncryptedIdNo(const QString& stored) { return stored.startsWith(kPrefix); }

QString EncryptIdNo(const QString& plain) {
    if (plain.isEmpty()) return QStringLiteral("");
    if (!DataKey::loaded() || !sodiumReady()) return {};
    const QByteArray message = plain.toUtf8();
    constexpr int nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    QByteArray sealed(nonceBytes + message.size() + crypto_aead_xchacha20poly1305_ietf_ABYTES, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    randombytes_buf(out, nonceBytes);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        out + nonceBytes, &length, reinterpret_cast<const unsigned char*>(message.constData()),
        quint64(message.size()), nullptr, 0, nullptr, out,
        reinterpret_cast<const unsigned char*>(state().key.constData()));
    sealed.truncate(nonceBytes + qsizetype(length));
    return kPrefix + QString::fromLatin1(sealed.toBase64());
}

QString DecryptIdNo(const QString& stored) {
    if (!IsEncryptedIdNo(stored)) return stored.isNull() ? QStringLiteral("") : stored;
    if (!DataKey::loaded() || !sodiumReady()) return {};
    const auto decoded = QByteArray::fromBase64Encoding(stored.mid(kPrefix.size()).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return {};
    const QByteArray* bytes = &decoded.decoded;
    constexpr int nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    constexpr int tagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (bytes->size() < nonceBytes + tagBytes) return {};
    const auto* in = reinterpret_cast<const unsigned char*>(bytes->constData());
    QByteArray plain(bytes->size() - nonceBytes - tagBytes, Qt::Uninitialized);
    unsigned long long length = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char*>(plain.data()), &length, nullptr, in + nonceBytes,
            quint64(bytes->size() - nonceBytes), nullptr, 0, in,
            reinterpret_cast<const unsigned char*>(state().key.constData())) != 0)
        return {};
    plain.truncate(qsizetype(length));
    return QString::fromUtf8(plain);
}

QString MaskIdNo(const QString& plain) {
    const QString t = plain.trimmed();
    if (t.isEmpty()) return {};
    QString digits;
    for (QChar c : t)
        if (c.isDigit()) digits += c;
    if (digits.size() == 13 && (t.size() == 13 || (t.size() == 14 && t.at(6) == u'-')))
        return digits.left(6) + u'-' + digits.at(6) + QString(6, u'*');
    if (t.size() <= 8) return t;
    return t.left(8) + QString(t.size() - 8, u'*');
}

QString IdNoForDisplay(const QString& stored) {
    const QString plain = DecryptIdNo(stored);
    if (plain.isNull()) return NoKeyText();
    return MaskIdNo(plain);
}
