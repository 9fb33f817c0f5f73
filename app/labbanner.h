#pragma once

#include <QFuture>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class QLabel;
class QMovie;
namespace service {
class HttpClient;
}

// The lab's banner in the main window's list layout. The cached copy (banner.gif in the
// working folder) is fetched anew when missing or two days old, in the background; a
// fetched one replaces it only within the banner's bounds (bannerRefusal), and any
// failure leaves the banner as it was, silently. It animates while the list shows.
// User-interface thread; the fetch runs on the network pool and comes back here.
class LabBanner : public QObject {
    Q_OBJECT

public:
    // label shows the banner; listShown tells whether the list layout is up.
    LabBanner(QLabel& label, service::HttpClient& http, QString serviceHost,
              std::function<bool()> listShown, QObject* parent = nullptr);
    // Ends a fetch still running.
    ~LabBanner() override;

    // Start-up step 4: shows the cached banner, or fetches it first when it is old.
    void refresh();
    // Shows the banner in this file when it is within its bounds and decodes.
    void show(const QString& path);
    // Ends a fetch still running, at once.
    void stopFetch();
    // The layout changed: the animation runs in the list layout only. At start-up it
    // starts from its first frame.
    void layoutShown(bool list, bool startUp);

    QMovie* movie() const { return movie_; }

private:
    QLabel& label_;
    service::HttpClient& http_;
    QString serviceHost_;
    std::function<bool()> listShown_;
    QMovie* movie_ = nullptr;
    QFuture<void> fetch_;
    // Set here, read by the fetch.
    std::atomic<bool> stop_{false};
};
