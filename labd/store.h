#pragma once

#include <sqlite3.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace labd {

struct Upload {
    int64_t id = 0;
    std::string key;
    std::string fileNumber;
    std::string filename;  // the client's path of the photo, UTF-8
    std::string storedPath;
    int count = 0;
    std::string format;
    std::string paper;
    std::string param;
    std::string dpi;
    int64_t bytes = 0;
};

// The service's records in SQLite: sessions, their uploads and placed orders.
// Safe to use from several connection threads at once.
class Store {
public:
    Store() = default;
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    bool open(const std::string& path, std::string* error);

    bool addSession(const std::string& key);
    bool hasSession(const std::string& key);
    // Records an upload; one the session already holds under the same file number is
    // replaced (a client's retry after a lost reply), and its stored photo's path is
    // put in replacedPath to be removed. The row's id; 0 when it could not be recorded,
    // kOrderPlaced when the session's order was placed (looked at in the same
    // transaction as the insert: a placed order never changes).
    static constexpr int64_t kOrderPlaced = -1;
    int64_t addUpload(const Upload& upload, std::string* replacedPath = nullptr);
    std::vector<Upload> uploads(const std::string& key);
    // The upload a session holds under a file number.
    std::optional<Upload> uploadOf(const std::string& key, const std::string& fileNumber);
    // Marks the session's order placed with the total price gives its uploads, in
    // kopecks, reading them and recording the order in one transaction (no upload can
    // come between). False when it was placed before, when it has no uploads, or when
    // price gives nothing (a total past 64 bits).
    bool placeOrder(const std::string& key,
                    const std::function<std::optional<int64_t>(const std::vector<Upload>&)>& price);
    // The total a placed order was recorded with, in kopecks.
    std::optional<int64_t> orderTotal(const std::string& key);
    // When the session's order was placed (UTC, ISO 8601); nothing while it is open.
    std::optional<std::string> orderPlaced(const std::string& key);
    int64_t uploadCount();
    // Forgets sessions older than this that hold no upload and no order.
    void forgetEmptySessions(int64_t olderThanSeconds);

private:
    bool exec(const char* sql);
    // Orders written by earlier versions kept their totals as REAL: made INTEGER.
    bool migrateTotals();
    std::vector<Upload> uploadsLocked(const std::string& key);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
};

}  // namespace labd
