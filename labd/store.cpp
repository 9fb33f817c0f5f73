#include "labd/store.h"

#include <memory>

namespace labd {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

// Not named bind: for a temporary string, lookup would pick std::bind instead.
void bindText(sqlite3_stmt* s, int index, const std::string& text) {
    sqlite3_bind_text(s, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string column(sqlite3_stmt* s, int index) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, index));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(s, index)))
                : std::string();
}

Upload readUpload(sqlite3_stmt* s) {
    Upload u;
    u.id = sqlite3_column_int64(s, 0);
    u.key = column(s, 1);
    u.fileNumber = column(s, 2);
    u.filename = column(s, 3);
    u.storedPath = column(s, 4);
    u.count = sqlite3_column_int(s, 5);
    u.format = column(s, 6);
    u.paper = column(s, 7);
    u.param = column(s, 8);
    u.dpi = column(s, 9);
    u.bytes = sqlite3_column_int64(s, 10);
    return u;
}

constexpr const char* kUploadColumns =
    "id, key, file_number, filename, stored_path, count, format, paper, param, dpi, bytes";

}  // namespace

Store::~Store() {
    if (db_ != nullptr) {
        sqlite3_close(db_);
    }
}

bool Store::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Store::open(const std::string& path, std::string* error) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        *error = db_ ? sqlite3_errmsg(db_) : "cannot open the database";
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    const bool ok =
        exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=NORMAL") &&
        exec(
            "CREATE TABLE IF NOT EXISTS sessions ("
            " key TEXT PRIMARY KEY, created TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)") &&
        exec(
            "CREATE TABLE IF NOT EXISTS uploads ("
            " id INTEGER PRIMARY KEY, key TEXT NOT NULL REFERENCES sessions(key),"
            " file_number TEXT, filename TEXT, stored_path TEXT, count INTEGER,"
            " format TEXT, paper TEXT, param TEXT, dpi TEXT, bytes INTEGER,"
            " received TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)") &&
        exec(
            "CREATE TABLE IF NOT EXISTS orders ("
            " key TEXT PRIMARY KEY REFERENCES sessions(key), total INTEGER,"
            " placed TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)") &&
        migrateTotals();
    if (!ok) {
        *error = sqlite3_errmsg(db_);
    }
    return ok;
}

bool Store::migrateTotals() {
    std::string type;
    {
        Statement s =
            prepare(db_, "SELECT type FROM pragma_table_info('orders') WHERE name = 'total'");
        if (sqlite3_step(s.get()) == SQLITE_ROW) {
            type = column(s.get(), 0);
        }
    }
    if (type != "REAL") {
        return true;
    }
    const bool ok =
        exec("BEGIN IMMEDIATE") &&
        exec(
            "CREATE TABLE orders_exact ("
            " key TEXT PRIMARY KEY REFERENCES sessions(key), total INTEGER,"
            " placed TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)") &&
        exec("INSERT INTO orders_exact SELECT key, CAST(total AS INTEGER), placed FROM orders") &&
        exec("DROP TABLE orders") && exec("ALTER TABLE orders_exact RENAME TO orders") &&
        exec("COMMIT");
    if (!ok) {
        exec("ROLLBACK");
    }
    return ok;
}

bool Store::addSession(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_, "INSERT INTO sessions(key) VALUES(?)");
    bindText(s.get(), 1, key);
    return sqlite3_step(s.get()) == SQLITE_DONE;
}

bool Store::hasSession(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_, "SELECT 1 FROM sessions WHERE key = ?");
    bindText(s.get(), 1, key);
    return sqlite3_step(s.get()) == SQLITE_ROW;
}

int64_t Store::addUpload(const Upload& u, std::string* replacedPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    // The replaced row and the new one in one transaction: a failed insert (a full
    // disk) keeps the earlier upload.
    if (!exec("BEGIN IMMEDIATE")) {
        return 0;
    }
    std::string replaced;
    const int64_t id = [&]() -> int64_t {
        Statement placed = prepare(db_, "SELECT 1 FROM orders WHERE key = ?");
        bindText(placed.get(), 1, u.key);
        if (sqlite3_step(placed.get()) == SQLITE_ROW) {
            return kOrderPlaced;
        }
        Statement old =
            prepare(db_, "SELECT stored_path FROM uploads WHERE key = ? AND file_number = ?");
        bindText(old.get(), 1, u.key);
        bindText(old.get(), 2, u.fileNumber);
        if (sqlite3_step(old.get()) == SQLITE_ROW) {
            replaced = column(old.get(), 0);
        }
        Statement drop = prepare(db_, "DELETE FROM uploads WHERE key = ? AND file_number = ?");
        bindText(drop.get(), 1, u.key);
        bindText(drop.get(), 2, u.fileNumber);
        if (sqlite3_step(drop.get()) != SQLITE_DONE) {
            return 0;
        }
        Statement s = prepare(db_,
                              "INSERT INTO uploads(key, file_number, filename, stored_path, count,"
                              " format, paper, param, dpi, bytes) VALUES(?,?,?,?,?,?,?,?,?,?)");
        bindText(s.get(), 1, u.key);
        bindText(s.get(), 2, u.fileNumber);
        bindText(s.get(), 3, u.filename);
        bindText(s.get(), 4, u.storedPath);
        sqlite3_bind_int(s.get(), 5, u.count);
        bindText(s.get(), 6, u.format);
        bindText(s.get(), 7, u.paper);
        bindText(s.get(), 8, u.param);
        bindText(s.get(), 9, u.dpi);
        sqlite3_bind_int64(s.get(), 10, u.bytes);
        return sqlite3_step(s.get()) == SQLITE_DONE ? sqlite3_last_insert_rowid(db_) : 0;
    }();
    if (id == kOrderPlaced) {
        exec("ROLLBACK");
        return kOrderPlaced;
    }
    if (id == 0 || !exec("COMMIT")) {
        exec("ROLLBACK");
        return 0;
    }
    if (replacedPath != nullptr) {
        *replacedPath = replaced;
    }
    return id;
}

std::vector<Upload> Store::uploads(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    return uploadsLocked(key);
}

std::vector<Upload> Store::uploadsLocked(const std::string& key) {
    const std::string sql =
        std::string("SELECT ") + kUploadColumns + " FROM uploads WHERE key = ? ORDER BY id";
    Statement s = prepare(db_, sql.c_str());
    bindText(s.get(), 1, key);
    std::vector<Upload> list;
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        list.push_back(readUpload(s.get()));
    }
    return list;
}

std::optional<Upload> Store::uploadOf(const std::string& key, const std::string& fileNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string sql =
        std::string("SELECT ") + kUploadColumns + " FROM uploads WHERE key = ? AND file_number = ?";
    Statement s = prepare(db_, sql.c_str());
    bindText(s.get(), 1, key);
    bindText(s.get(), 2, fileNumber);
    if (sqlite3_step(s.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return readUpload(s.get());
}

bool Store::placeOrder(
    const std::string& key,
    const std::function<std::optional<int64_t>(const std::vector<Upload>&)>& price) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!exec("BEGIN IMMEDIATE")) {
        return false;
    }
    const bool placed = [&] {
        const std::vector<Upload> list = uploadsLocked(key);
        const std::optional<int64_t> total = list.empty() ? std::nullopt : price(list);
        if (!total) {
            return false;
        }
        Statement s = prepare(db_, "INSERT OR IGNORE INTO orders(key, total) VALUES(?, ?)");
        bindText(s.get(), 1, key);
        sqlite3_bind_int64(s.get(), 2, *total);
        return sqlite3_step(s.get()) == SQLITE_DONE && sqlite3_changes(db_) == 1;
    }();
    if (!placed || !exec("COMMIT")) {
        exec("ROLLBACK");
        return false;
    }
    return true;
}

std::optional<int64_t> Store::orderTotal(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_, "SELECT total FROM orders WHERE key = ?");
    bindText(s.get(), 1, key);
    if (sqlite3_step(s.get()) != SQLITE_ROW || sqlite3_column_type(s.get(), 0) != SQLITE_INTEGER) {
        return std::nullopt;
    }
    return sqlite3_column_int64(s.get(), 0);
}

std::optional<std::string> Store::orderPlaced(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_, "SELECT placed FROM orders WHERE key = ?");
    bindText(s.get(), 1, key);
    if (sqlite3_step(s.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return column(s.get(), 0);
}

int64_t Store::uploadCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_, "SELECT COUNT(*) FROM uploads");
    return sqlite3_step(s.get()) == SQLITE_ROW ? sqlite3_column_int64(s.get(), 0) : 0;
}

void Store::forgetEmptySessions(int64_t olderThanSeconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s = prepare(db_,
                          "DELETE FROM sessions WHERE created <= datetime('now', ?)"
                          " AND key NOT IN (SELECT key FROM uploads)"
                          " AND key NOT IN (SELECT key FROM orders)");
    bindText(s.get(), 1, "-" + std::to_string(olderThanSeconds) + " seconds");
    sqlite3_step(s.get());
}

}  // namespace labd
