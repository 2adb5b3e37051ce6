#pragma once

#include <QByteArray>
#include <QString>

// Personal data at rest, without windows and without a database.
//
// Login passwords are stored one-way as libsodium Argon2id strings ("$argon2id$..."); an
// empty stored password means "no password", as a new database has it.
//
// Resident numbers are stored as
//     enc1:<base64(24-byte nonce + XChaCha20-Poly1305 sealed UTF-8 text)>
// under a 32-byte data key that lives in a key file outside the database (and outside the
// database folder, so no backup archive carries it). A stored value without the prefix is
// a plain number of an older database. Everywhere but the member editor the number is
// shown masked: "900101-1******".

// Argon2id string of `password` (interactive limits); "" for "" (no password).
QString HashPassword(const QString& password);
bool IsPasswordHash(const QString& stored);
// True when `typed` is the password `stored` stands for: a hash is verified, an empty
// stored value matches only an empty input, a plain value (not yet converted) compares.
bool PasswordMatches(const QString& stored, const QString& typed);

// The process-wide data key.
namespace DataKey {
constexpr int Size = 32;
// The key file of a database folder: beside the folder, named after it.
QString pathFor(const QString& dbFolder);
// Reads the key file; false when it is missing or not a key.
bool load(const QString& path);
// Makes a new random key and writes it to `path` (mode 0600, never over an existing file).
bool create(const QString& path, QString* error = nullptr);
// Writes the loaded key to `path` (mode 0600); used to hand the key to another PC.
bool save(const QString& path, QString* error = nullptr);
// Forgets the loaded key (tests, another database).
void clear();
bool loaded();
// The path the key was expected at (loaded or not), for messages.
QString expectedPath();
void setExpectedPath(const QString& path);
// A short fingerprint of the loaded key (keyed hash, reveals nothing of the key), stored
// in the database to tell a wrong key from the right one.
QString fingerprint();
} // namespace DataKey

// Text shown for a resident number that cannot be read without the key.
QString NoKeyText();

bool IsEncryptedIdNo(const QString& stored);
// Stored form of a resident number: "" for "", otherwise sealed under the data key; a null
// QString when no key is loaded.
QString EncryptIdNo(const QString& plain);
// The full number of a stored value: plain values pass through; a null QString when the
// value is sealed and the key is missing or wrong.
QString DecryptIdNo(const QString& stored);
// "900101-1234567" or "9001011234567" → "900101-1******"; other texts keep their first
// eight characters and hide the rest.
QString MaskIdNo(const QString& plain);
// What a list, label, printout or export shows for a stored value: masked, or
// NoKeyText() when it cannot be read.
QString IdNoForDisplay(const QString& stored);
