#include "tools/ZipDownload.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/FileDatabase.h"
#include "tools/BackupArchive.h"
#include "tools/ZipCode.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <system_error>

bool DownloadFile(const QString& url, const QString& path, int stallMs, const std::function<bool(qint64, qint64)>& progress,
                  QString* error) {
    QString why;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = out.errorString();
        return false;
    }
    QNetworkAccessManager nam;
    QNetworkRequest req{QUrl(url)};
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = nam.get(req);
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(stallMs);
    bool stalled = false, cancelled = false, writeFailed = false;
    QObject::connect(&stall, &QTimer::timeout, &loop, [&] {
        stalled = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray chunk = reply->readAll();
        if (out.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
        stall.start();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 got, qint64 total) {
        stall.start();
        if (progress && !progress(got, total)) {
            cancelled = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start();
    if (!reply->isFinished()) loop.exec();
    if (reply->isOpen()) out.write(reply->readAll()); // an aborted reply is closed
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    bool ok = reply->error() == QNetworkReply::NoError && !stalled && !cancelled && !writeFailed;
    if (stalled) why = QStringLiteral("time-out: no data for %1 s").arg(stallMs / 1000);
    else if (cancelled) why = QStringLiteral("cancelled");
    else if (writeFailed) why = out.errorString();
    else if (!ok) why = reply->errorString();
    if (ok && status != 200) {
        ok = false;
        why = QStringLiteral("HTTP status %1").arg(status);
    }
    out.close();
    if (ok && announced > 0 && out.size() != announced) {
        ok = false;
        why = QStringLiteral("incomplete transfer");
    }
    reply->deleteLater();
    if (!ok) {
        QFile::remove(path);
        if (error) *error = why;
    }
    return ok;
}

QString ZipServerBaseUrl() {
    QString base = Settings::get(QStringLiteral("환경설정"), QStringLiteral("우편번호서버")).trimmed();
    while (base.endsWith(u'/')) base.chop(1);
    return base;
}

QString ZipArchiveUrl() { return ZipServerBaseUrl() + QStringLiteral("/download/zipcode/adozip/dbPost.zip"); }

bool UpdatePostDatabase(const QString& url, const QString& postDbPath, int stallMs,
                        const std::function<bool(qint64, qint64)>& progress, QString* error) {
    const QString zip = postDbPath + QStringLiteral(".zip.part");
    const QString fresh = postDbPath + QStringLiteral(".new");
    auto fail = [&](const QString& why) {
        QFile::remove(zip);
        QFile::remove(fresh);
        if (error) *error = why;
        return false;
    };
    QString why;
    if (!QUrl(url).isValid() || QUrl(url).scheme().isEmpty()) return fail(QStringLiteral("no server address"));
    if (!DownloadFile(url, zip, stallMs, progress, &why)) return fail(why);
    QFile::remove(fresh);
    if (!ExtractZipEntry(zip, QStringLiteral("dbPost.db"), fresh, &why)) return fail(why);
    if (!IsUsablePostDatabase(fresh, &why)) return fail(why);
    if (!BuildDatabaseFile(fresh, PostIndexStatements(), {}, {}, &why)) return fail(why);
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(fresh).toStdString(), QFile::encodeName(postDbPath).toStdString(), ec);
    if (ec) return fail(QString::fromStdString(ec.message()));
    QFile::remove(zip);
    return true;
}
