// The download of PluginUpdateInstaller, on the Qt event loop; the rest of the update runs on
// the global thread pool.
#include "host/update/PluginUpdateInstaller.h"
#include "host/update/UpdateServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThreadPool>
#include <QTimer>

namespace tandrel {

namespace {

using InstallError = PluginUpdateInstaller::InstallError;

// Inactivity after which a transfer is given up, as the platform's own downloads do.
constexpr int transferTimeoutMilliseconds = 60'000;

void removeQuietly(const std::filesystem::path &folder) {
    try {
        platform::FileManager::standard().removeItem(folder);
    } catch (const std::system_error &) {
        // A leftover in the temporary folder is no reason to fail the update.
    }
}

bool isSuccessStatus(const QNetworkReply *reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

// The transfer's outcome once it has ended: an HTTP status outside 2xx, a transfer that
// failed, an answer that was not HTTP, or nothing when the file is complete.
std::exception_ptr transferOutcome(const QNetworkReply *reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && !isSuccessStatus(reply)) {
        return std::make_exception_ptr(InstallError::httpStatus(status.toInt()));
    }
    if (reply->error() != QNetworkReply::NoError) {
        return std::make_exception_ptr(std::runtime_error(reply->errorString().toStdString()));
    }
    if (!status.isValid()) {
        return std::make_exception_ptr(InstallError::httpStatus(-1));
    }
    return nullptr;
}

} // namespace

void PluginUpdateInstaller::installLatestPlugin(
    std::int64_t installedBuild, std::function<void(std::exception_ptr)> done) const {
    QUrl url;
    std::filesystem::path folder;
    // Held until the folder is gone, so that no other update takes it for a leftover.
    std::shared_ptr<const void> lock;
    std::exception_ptr early;
    try {
        url = UpdateServer::address(configuration_.server, pluginZipPath);
        // Nothing could verify what comes: no need to fetch it, nor to blame its signature.
        requireTrustedKey();
        // What an update that died left: a download and its unpacked copy, for good.
        removeLeftoverFolders();
        folder = makeTemporaryFolder(&lock);
    } catch (...) {
        early = std::current_exception();
    }
    auto file = std::make_shared<QFile>(QString::fromStdString((folder / "plugin.zip").string()));
    if (!early && !file->open(QIODevice::WriteOnly | QIODevice::NewOnly,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        early = std::make_exception_ptr(
            std::runtime_error("Cannot create \"" + file->fileName().toStdString() +
                               "\": " + file->errorString().toStdString()));
        removeQuietly(folder);
    }
    if (early) {
        QTimer::singleShot(0, [done, early] { done(early); });
        return;
    }

    // Lives on this thread for the whole update; every answer comes back through it.
    auto *run = new QObject;
    auto *manager = new QNetworkAccessManager(run);
    QNetworkRequest request(url);
    // A redirect may not leave the loopback server of an "http" setting, nor fall from https.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         url.scheme() == "http" ? QNetworkRequest::SameOriginRedirectPolicy
                                                : QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMilliseconds);
    QNetworkReply *reply = manager->get(request);

    auto failure = std::make_shared<std::exception_ptr>();
    auto received = std::make_shared<std::uint64_t>(0);
    const std::uint64_t limit = configuration_.maxDownloadBytes;
    const auto fail = [reply, failure](std::exception_ptr error) {
        *failure = std::move(error);
        reply->abort();
    };
    // However steadily it comes, the download ends at its time limit.
    auto *deadline = new QTimer(run);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, run, [=, limit = configuration_.maxDownloadTime] {
        if (!*failure) {
            fail(std::make_exception_ptr(InstallError::downloadTimedOut(limit)));
        }
    });
    deadline->start(configuration_.maxDownloadTime);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, run, [=] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (!*failure && isSuccessStatus(reply) && length.isValid() &&
            length.toULongLong() > limit) {
            fail(std::make_exception_ptr(InstallError::downloadTooLarge(limit)));
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, run, [=] {
        const QByteArray chunk = reply->readAll();
        // An error page is read and dropped; its status is the answer.
        if (*failure || !isSuccessStatus(reply)) {
            return;
        }
        *received += static_cast<std::uint64_t>(chunk.size());
        if (*received > limit) {
            fail(std::make_exception_ptr(InstallError::downloadTooLarge(limit)));
        } else if (file->write(chunk) != chunk.size()) {
            fail(std::make_exception_ptr(
                std::runtime_error("Cannot write \"" + file->fileName().toStdString() +
                                   "\": " + file->errorString().toStdString())));
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, run, [=, installer = *this, lock = lock] {
        deadline->stop();
        reply->deleteLater();
        if (!*failure && isSuccessStatus(reply)) {
            const QByteArray rest = reply->readAll();
            if (*received + static_cast<std::uint64_t>(rest.size()) > limit) {
                *failure = std::make_exception_ptr(InstallError::downloadTooLarge(limit));
            } else if (file->write(rest) != rest.size() || !file->flush()) {
                *failure = std::make_exception_ptr(
                    std::runtime_error("Cannot write \"" + file->fileName().toStdString() + "\""));
            }
        }
        file->close();
        const std::exception_ptr outcome = *failure ? *failure : transferOutcome(reply);
        if (outcome) {
            removeQuietly(folder);
            done(outcome);
            run->deleteLater();
            return;
        }
        QThreadPool::globalInstance()->start([installer, folder, installedBuild, run, done, lock] {
            std::exception_ptr result;
            try {
                installer.installDownloadedArchive(folder, installedBuild);
            } catch (...) {
                result = std::current_exception();
            }
            removeQuietly(folder);
            QMetaObject::invokeMethod(
                run,
                [run, done, result] {
                    done(result);
                    run->deleteLater();
                },
                Qt::QueuedConnection);
        });
    });
}

} // namespace tandrel
