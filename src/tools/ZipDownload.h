#pragma once

#include <QString>

#include <functional>

// Downloads `url` into the file `path` (written whole or not at all): an HTTP status other
// than 200, a body shorter than announced, a transfer that stalls for `stallMs`, or a
// cancel from `progress(received, total)` fail with `error` and leave no file.
bool DownloadFile(const QString& url, const QString& path, int stallMs = 30000,
                  const std::function<bool(qint64, qint64)>& progress = {}, QString* error = nullptr);

// Base address of the zip-code server (setting "환경설정"/"우편번호서버"), without a
// trailing slash; the archive is at + "/download/zipcode/adozip/dbPost.zip".
QString ZipServerBaseUrl();
QString ZipArchiveUrl();

// Replaces `postDbPath` with the dbPost.db of the archive at `url`. The archive and the
// unpacked file stay beside the old file under temporary names; only a file that is a
// sound database with Post rows replaces the old one, by rename. Any failure leaves the
// old file as it was.
bool UpdatePostDatabase(const QString& url, const QString& postDbPath, int stallMs = 30000,
                        const std::function<bool(qint64, qint64)>& progress = {}, QString* error = nullptr);
