#include "app/labbanner.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <memory>

#include "app/bannercheck.h"
#include "app/bannerrule.h"
#include "app/log.h"
#include "platform/background.h"
#include "platform/workfolder.h"
#include "service/httpget.h"
#include "service/labaddress.h"

namespace {

// A banner file's bytes, a byte past the banner's limit at most (which refuses it).
QByteArray readBanner(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(BannerLimits().bytes + 1);
}

}  // namespace

LabBanner::LabBanner(QLabel& label, service::HttpClient& http, QString serviceHost,
                     std::function<bool()> listShown, QObject* parent)
    : QObject(parent),
      label_(label),
      http_(http),
      serviceHost_(std::move(serviceHost)),
      listShown_(std::move(listShown)) {}

LabBanner::~LabBanner() {
    stopFetch();
}

void LabBanner::refresh() {
    QString path;
    bool fetch = false;
    try {
        path = platform::GetTempFolder() + QStringLiteral("banner.gif");
        const QFileInfo file(path);
        fetch = !file.exists();
        if (!fetch) {
            const QDateTime written = file.lastModified();
            const qint32 fileTime = written.isValid() ? packDosDateTime(written.toLocalTime()) : -1;
            fetch = bannerIsOld(packDosDateTime(QDateTime::currentDateTime()), fileTime);
        }
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "no banner:" << e.what();
        return;
    }
    if (!fetch) {
        show(path);
        return;
    }
    stopFetch();
    stop_ = false;
    const QString url = service::labBannerAddress(serviceHost_);
    fetch_ = platform::runNetwork([this, url, path] {
        // Fetched beside the cached one, which it replaces only when it may be shown.
        const QString fetched = path + QStringLiteral(".new");
        try {
            http_.HttpGet(url, fetched, &stop_);
            const QByteArray bytes = readBanner(fetched);  // empty: the fetch failed
            const QString refusal = bytes.isEmpty() ? QString() : bannerRefusal(bytes);
            if (!refusal.isEmpty()) {
                qCWarning(lcApp) << "the lab's banner is not shown:" << refusal;
            } else if (!bytes.isEmpty()) {
                QFile::remove(path);
                QFile::rename(fetched, path);
            }
        } catch (const std::exception& e) {
            qCWarning(lcApp) << "no banner:" << e.what();
        }
        QFile::remove(fetched);
        // Dropped when the banner is gone first.
        QMetaObject::invokeMethod(
            this, [this, path] { show(path); }, Qt::QueuedConnection);
    });
}

void LabBanner::stopFetch() {
    if (fetch_.isValid()) {
        stop_ = true;
        fetch_.waitForFinished();
    }
}

void LabBanner::show(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return;
    }
    if (const QString refusal = bannerRefusal(readBanner(path)); !refusal.isEmpty()) {
        qCWarning(lcApp) << "the cached banner is not shown:" << refusal;
        return;
    }
    auto movie = std::make_unique<QMovie>(path, QByteArray(), this);
    // Each frame decoded once: within the limits, they are cheap to keep.
    movie->setCacheMode(QMovie::CacheAll);
    // A picture that cannot be decoded leaves the banner empty.
    if (!movie->isValid() || !movie->jumpToFrame(0) || movie->currentImage().isNull()) {
        return;
    }
    if (movie_ != nullptr) {
        label_.setMovie(nullptr);
        delete movie_;
    }
    movie_ = movie.release();
    label_.setMovie(movie_);
    // It animates while the list layout shows.
    if (listShown_()) {
        movie_->start();
    }
}

void LabBanner::layoutShown(bool list, bool startUp) {
    if (movie_ == nullptr) {
        return;
    }
    if (startUp) {
        if (list) {
            movie_->jumpToFrame(0);
            movie_->start();
        } else {
            movie_->stop();
        }
    } else if (movie_->state() != QMovie::NotRunning) {
        movie_->setPaused(!list);
    } else if (list) {
        movie_->start();
    }
}
