#include "labd/labservice.h"

#include <iconv.h>
#include <netdb.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <random>
#include <sstream>
#include <stdexcept>

// libjpeg needs <cstdio> before it.
#include <jpeglib.h>

#include "labd/banner.h"
#include "labd/default_formats.h"
#include "labd/multipart.h"

namespace labd {

namespace fs = std::filesystem;

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string lowerAscii(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string html(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string percentEncode(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '.') {
            out += c;
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            out += code;
        }
    }
    return out;
}

Response text(int status, const std::string& body) {
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

Response page(const std::string& title, const std::string& body) {
    Response r;
    r.headers["Content-Type"] = "text/html; charset=utf-8";
    r.body = "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\"><title>" +
             html(title) +
             "</title><style>"
             "body{font-family:sans-serif;margin:2em;color:#222;background:#f6f7f9}"
             "h1{color:#2d6b2d}table{border-collapse:collapse;background:#fff}"
             "th,td{border:1px solid #ccc;padding:6px 10px;text-align:left}"
             "td:last-child{white-space:nowrap}"
             "th{background:#399639;color:#fff}img{max-width:160px;max-height:120px}"
             ".total{font-size:1.3em;margin:1em 0}.placed{color:#2d6b2d;font-weight:bold}"
             "button{font-size:1.1em;padding:8px 20px;background:#6382ce;color:#fff;border:0}"
             "</style></head><body>\n" +
             body + "\n</body></html>\n";
    return r;
}

// Random characters from the system's random source: 32 of 62 letters and digits hold
// 190 bits, which no one guesses.
std::string randomKey(size_t length = 32) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr unsigned kLetters = sizeof kAlphabet - 1;
    std::string key;
    while (key.size() < length) {
        unsigned char bytes[64];
        const ssize_t got = ::getrandom(bytes, sizeof bytes, 0);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            throw std::runtime_error("no random bytes from the system");
        }
        for (ssize_t i = 0; i < got && key.size() < length; ++i) {
            // Bytes past the last whole multiple of 62 are dropped, so every letter is
            // equally likely.
            if (bytes[i] < 256 / kLetters * kLetters) {
                key += kAlphabet[bytes[i] % kLetters];
            }
        }
    }
    return key;
}

// A price text ("12.50", "12", "12.5") in whole kopecks; nothing when it does not read.
std::optional<int64_t> kopecks(const std::string& text) {
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    const auto digits = [](const std::string& t) {
        return std::all_of(t.begin(), t.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    };
    if (whole.empty() || whole.size() > 12 || fraction.size() > 2 || !digits(whole) ||
        !digits(fraction)) {
        return std::nullopt;
    }
    fraction.resize(2, '0');
    return std::stoll(whole) * 100 + std::stoll(fraction);
}

// A count as the upload sends it: a whole number from 1 to 2^31 - 1.
std::optional<int> positiveCount(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf back;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->back, 1);
}

void quiet(j_common_ptr, int) {}

// Whether the bytes are a JPEG picture whose header libjpeg reads (its frame and the
// first scan's header).
bool jpegHeaderReads(std::string_view bytes) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpBack;
    errors.pub.emit_message = quiet;
    jpeg_create_decompress(&info);
    volatile bool read = false;
    if (setjmp(errors.back) == 0) {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long>(bytes.size()));
        read = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && info.image_width > 0 &&
               info.image_height > 0;
    }
    jpeg_destroy_decompress(&info);
    return read;
}

std::string paperName(const std::string& wire) {
    if (wire == "matov")
        return "Матовая";
    if (wire == "glyanc")
        return "Глянцевая";
    return wire;
}

std::string paramName(const std::string& wire) {
    if (wire == "WithBorder")
        return "С полями";
    if (wire == "WithoutBorder")
        return "Без полей";
    if (wire == "AsIs")
        return "Подготовленный";
    return wire;
}

std::string money(int64_t kopecks) {
    return std::to_string(kopecks / 100) + "." + (kopecks % 100 < 10 ? "0" : "") +
           std::to_string(kopecks % 100);
}

// A price as the page shows it, or what it says for one past 64 bits of kopecks.
std::string money(const std::optional<int64_t>& kopecks) {
    return kopecks ? money(*kopecks) + " руб." : std::string("сумма слишком велика");
}

bool readFile(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return true;
}

}  // namespace

std::string base64Encode(const std::string& bytes) {
    static constexpr char kTable[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t n = (static_cast<uint8_t>(bytes[i]) << 16) |
                           (static_cast<uint8_t>(bytes[i + 1]) << 8) |
                           static_cast<uint8_t>(bytes[i + 2]);
        out += {kTable[n >> 18], kTable[(n >> 12) & 63], kTable[(n >> 6) & 63], kTable[n & 63]};
    }
    if (i + 1 == bytes.size()) {
        const uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
        out += {kTable[n >> 18], kTable[(n >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const uint32_t n =
            (static_cast<uint8_t>(bytes[i]) << 16) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
        out += {kTable[n >> 18], kTable[(n >> 12) & 63], kTable[(n >> 6) & 63], '='};
    }
    return out;
}

std::string windows1251ToUtf8(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return bytes;
    }
    std::string out;
    for (const char c : bytes) {
        char in = c;
        char buffer[8];
        char* inPtr = &in;
        char* outPtr = buffer;
        size_t inLeft = 1;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            out += "\xEF\xBF\xBD";
        } else {
            out.append(buffer, sizeof buffer - outLeft);
        }
    }
    iconv_close(cd);
    return out;
}

std::vector<PrintFormat> parseFormats(const std::string& text) {
    std::vector<PrintFormat> formats;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, ':')) {
            fields.push_back(field);
        }
        if (fields.size() == 7) {
            formats.push_back(
                {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]});
        }
    }
    return formats;
}

const std::string& defaultFormatsText() {
    static const std::string text = kDefaultFormats;
    return text;
}

std::optional<FixedAnswer> parseFixedAnswer(const std::string& text) {
    for (size_t eq = text.find('='); eq != std::string::npos; eq = text.find('=', eq + 1)) {
        size_t end = eq + 1;
        while (end < text.size() && end - eq <= 3 &&
               std::isdigit(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        if (end - eq == 4 && end < text.size() && text[end] == ':') {
            return FixedAnswer{text.substr(0, eq), std::stoi(text.substr(eq + 1, 3)),
                               text.substr(end + 1)};
        }
    }
    return std::nullopt;
}

LabService::LabService(ServiceOptions options) : options_(std::move(options)) {}

bool LabService::open(std::string* error) {
    std::error_code ec;
    fs::create_directories(fs::path(options_.dataDir) / "photos", ec);
    if (ec) {
        *error = "cannot create " + options_.dataDir + ": " + ec.message();
        return false;
    }
    const fs::path formatsFile = fs::path(options_.dataDir) / "formats.txt";
    std::string catalogue;
    if (!readFile(formatsFile, catalogue)) {
        catalogue = defaultFormatsText();
        std::ofstream(formatsFile, std::ios::binary) << catalogue;
    }
    formats_ = parseFormats(catalogue);
    bannerGif();  // drawn once, before anyone waits for it
    const fs::path database = fs::path(options_.dataDir) / "labd.sqlite";
    if (!store_.open(database.string(), error)) {
        return false;
    }
    // Customers' photos and orders are for the lab alone.
    for (const fs::path& folder :
         {fs::path(options_.dataDir), fs::path(options_.dataDir) / "photos"}) {
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const fs::path file = database.string() + suffix;
        if (fs::exists(file, ec)) {
            fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
        }
    }
    fs::permissions(formatsFile, fs::perms::owner_read | fs::perms::owner_write, ec);
    return true;
}

Response LabService::handle(const Request& request) {
    const bool upload = request.method == "POST" && !request.body.empty() &&
                        request.originTarget().find("step=uploadprogs") != std::string::npos;
    if (upload && !options_.recordDir.empty()) {
        const int n = ++recorded_;
        std::ofstream(fs::path(options_.recordDir) / ("upload-" + std::to_string(n) + ".http"),
                      std::ios::binary)
            << request.head << request.body;
    }
    Response response = route(request);
    if (upload || !options_.faultsOnUploadsOnly) {
        response.stallSeconds = options_.stallSeconds;
        response.dropAfterBytes = options_.dropAfterBytes;
    }
    return response;
}

Response LabService::route(const Request& request) {
    if (!options_.proxyCredentials.empty()) {
        const auto given = request.headers.find("Proxy-Authorization");
        if (given == request.headers.end() ||
            given->second != "Basic " + base64Encode(options_.proxyCredentials)) {
            Response r = page("407 Proxy Authentication Required",
                              "<h1>Proxy Authentication Required</h1><p>This proxy wants a user "
                              "name and password.</p>");
            r.status = 407;
            r.headers["Proxy-Authenticate"] = "Basic realm=\"labd proxy\"";
            return r;
        }
    }
    const std::string authority = request.absoluteAuthority();
    if (!authority.empty()) {
        const std::string own = ":" + std::to_string(ownPort_.load());
        const bool mine = authority == "127.0.0.1" + own || authority == "localhost" + own;
        if (!mine) {
            if (options_.proxyCredentials.empty()) {
                return text(403,
                            "Forbidden: labd forwards requests only when started with "
                            "--proxy-auth");
            }
            return forward(request);
        }
    }
    if (!options_.serverCredentials.empty()) {
        const auto given = request.headers.find("Authorization");
        if (given == request.headers.end() ||
            given->second != "Basic " + base64Encode(options_.serverCredentials)) {
            Response r = page("401 Unauthorized", "<h1>Unauthorized</h1>");
            r.status = 401;
            r.headers["WWW-Authenticate"] = "Basic realm=\"labd\"";
            return r;
        }
    }
    const std::string path = request.path();
    const auto query = request.query();
    const auto value = [&](const char* name) {
        const auto it = query.find(name);
        return it == query.end() ? std::string() : it->second;
    };
    const bool lab = path == "/index.php" && value("option") == "com_photoprint";
    const std::string step = lab ? value("step") : std::string();
    if (lab || path == "/banner.gif") {
        // Counted also when a fixed answer stands in for the step's own.
        std::lock_guard<std::mutex> lock(countsMutex_);
        ++requestsByStep_[lab ? step : "banner.gif"];
    }
    for (const auto& [answerPath, answer] : options_.fixedAnswers) {
        if (answerPath == request.originTarget() || answerPath == path) {
            return text(answer.first, answer.second);
        }
    }
    if (path == "/") {
        return frontPage();
    }
    if (path == "/banner.gif") {
        Response r;
        r.headers["Content-Type"] = "image/gif";
        r.body = bannerGif();
        return r;
    }
    if (path == "/photo") {
        return photo(value("key"), value("file"));
    }
    if (lab) {
        if (step == "format" && request.method == "GET")
            return formats();
        if (step == "session" && request.method == "GET")
            return newSession(request.peer);
        if (step == "uploadprogs" && request.method == "POST")
            return upload(request);
        if (step == "showprog")
            return sessionPage(value("key"));
        if (step == "placeorder" && request.method == "POST")
            return placeOrder(value("key"));
    }
    return page("Страница не найдена", "<h1>Страница не найдена</h1>");
}

int LabService::requests(const std::string& step) {
    std::lock_guard<std::mutex> lock(countsMutex_);
    const auto it = requestsByStep_.find(step);
    return it == requestsByStep_.end() ? 0 : it->second;
}

Response LabService::formats() {
    std::string body = kUtf8Bom;
    for (size_t i = 0; i < formats_.size(); ++i) {
        const PrintFormat& f = formats_[i];
        body += (i ? ";" : "") + f.name + ":" + f.cost + ":" + f.widthMm + ":" + f.heightMm + ":" +
                f.widthPx + ":" + f.heightPx + ":" + f.dpiMin;
    }
    return text(200, body);
}

bool LabService::sessionAllowed(const std::string& peer) {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(sessionsMutex_);
    // Addresses quiet for a minute are dropped, so the map holds only the last minute's.
    for (auto it = newSessionsByPeer_.begin(); it != newSessionsByPeer_.end();) {
        auto& times = it->second;
        while (!times.empty() && now - times.front() >= std::chrono::minutes(1)) {
            times.pop_front();
        }
        it = times.empty() ? newSessionsByPeer_.erase(it) : std::next(it);
    }
    auto& times = newSessionsByPeer_[peer];
    if (options_.sessionsPerMinute > 0 &&
        times.size() >= static_cast<size_t>(options_.sessionsPerMinute)) {
        return false;
    }
    times.push_back(now);
    // Sessions nobody uploaded to are forgotten, looked for at most once a minute.
    const auto every = std::chrono::seconds(std::min<int64_t>(60, options_.emptySessionSeconds));
    if (now - lastExpiry_ >= every) {
        lastExpiry_ = now;
        store_.forgetEmptySessions(options_.emptySessionSeconds);
    }
    return true;
}

Response LabService::newSession(const std::string& peer) {
    if (!sessionAllowed(peer)) {
        Response r = text(429, "Error: too many new sessions; try again in a minute");
        r.headers["Retry-After"] = "60";
        return r;
    }
    // A new key meets an old one only by a fault of the store (a full disk, say): a
    // few tries, then an answer, never a loop.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::string key = randomKey();
        if (store_.addSession(key)) {
            return text(200, key);
        }
    }
    return text(500, "Error: no session could be recorded");
}

Response LabService::upload(const Request& request) {
    const auto contentType = request.headers.find("Content-Type");
    const std::string boundary = contentType == request.headers.end()
                                     ? std::string()
                                     : multipartBoundary(contentType->second);
    const auto parts = parseMultipart(request.body, boundary);
    if (!parts) {
        return text(200, "Error: the upload is not a multipart form");
    }
    std::map<std::string, const FormPart*> byName;
    for (const FormPart& part : *parts) {
        byName.emplace(part.name, &part);
    }
    const auto field = [&](const char* name) {
        const auto it = byName.find(name);
        return it == byName.end() ? std::string()
                                  : windows1251ToUtf8(std::string(it->second->data));
    };
    const auto file = byName.find("file");
    if (file == byName.end() || !jpegHeaderReads(file->second->data)) {
        return text(200, "Error: the upload holds no JPEG picture");
    }
    const std::string key = field("key");
    if (!store_.hasSession(key)) {
        return text(200, "Error: unknown session key");
    }
    if (store_.orderPlaced(key)) {
        return text(200, "Error: the order of this session has been placed");
    }
    const std::optional<int> count = positiveCount(field("Count"));
    if (!count) {
        return text(200, "Error: the count is not a positive whole number");
    }
    const int64_t seen = ++uploadsSeen_;
    if (options_.failEveryNthUpload > 0 && seen % options_.failEveryNthUpload == 0) {
        return text(200, "Error: this upload was refused for testing");
    }
    Upload u;
    u.key = key;
    u.fileNumber = field("FileNumber");
    u.filename = windows1251ToUtf8(file->second->filename.value_or(""));
    u.count = *count;
    u.format = field("Format");
    u.paper = field("Paper");
    u.param = field("Param");
    u.dpi = field("dpi");
    u.bytes = static_cast<int64_t>(file->second->data.size());
    const fs::path folder = fs::path(options_.dataDir) / "photos" / key;
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    const fs::path stored = folder / (randomKey(16) + ".jpg");
    // Nothing half-written stays: a photo that could not be stored or recorded is
    // removed, and the client is told.
    const auto refuse = [&](const char* why) {
        fs::remove(stored, ec);
        return text(200, why);
    };
    {
        std::ofstream out(stored, std::ios::binary);
        fs::permissions(stored, fs::perms::owner_read | fs::perms::owner_write, ec);
        out.write(file->second->data.data(), static_cast<std::streamsize>(u.bytes));
        out.close();
        if (!out) {
            return refuse("Error: the photo could not be stored");
        }
    }
    u.storedPath = stored.string();
    std::string replaced;
    const int64_t id = store_.addUpload(u, &replaced);
    if (id == Store::kOrderPlaced) {
        return refuse("Error: the order of this session has been placed");
    }
    if (id == 0) {
        return refuse("Error: the upload could not be recorded");
    }
    if (!replaced.empty()) {
        fs::remove(replaced, ec);  // a retried upload: the earlier photo is gone with its row
    }
    return text(200, "Ok");
}

std::optional<int64_t> LabService::total(const std::vector<Upload>& uploads) const {
    int64_t sum = 0;
    for (const Upload& u : uploads) {
        for (const PrintFormat& f : formats_) {
            if (lowerAscii(f.name) == lowerAscii(u.format)) {
                int64_t price = 0;
                if (__builtin_mul_overflow(kopecks(f.cost).value_or(0), int64_t{u.count}, &price) ||
                    __builtin_add_overflow(sum, price, &sum)) {
                    return std::nullopt;
                }
                break;
            }
        }
    }
    return sum;
}

Response LabService::sessionPage(const std::string& key) {
    if (!store_.hasSession(key)) {
        return page("Заказ не найден", "<h1>Заказ не найден</h1><p>Такой загрузки у нас нет.</p>");
    }
    const std::vector<Upload> uploads = store_.uploads(key);
    const std::optional<std::string> placed = store_.orderPlaced(key);
    std::string body =
        "<h1>Ваш заказ</h1>\n<p>Загружено фотографий: " + std::to_string(uploads.size()) +
        "</p>\n<table>\n<tr><th>Фото</th><th>Файл</th><th>Формат</th>"
        "<th>Количество</th><th>Бумага</th><th>Как печатать</th><th>dpi</th><th>Цена</th></tr>\n";
    for (const Upload& u : uploads) {
        std::vector<Upload> one{u};
        body += "<tr><td><img alt=\"\" src=\"/photo?key=" + html(key) +
                "&amp;file=" + html(percentEncode(u.fileNumber)) + "\"></td><td>" +
                html(u.filename) + "</td><td>" + html(u.format) + "</td><td>" +
                std::to_string(u.count) + "</td><td>" + html(paperName(u.paper)) + "</td><td>" +
                html(paramName(u.param)) + "</td><td>" + html(u.dpi) + "</td><td>" +
                money(total(one)) + "</td></tr>\n";
    }
    // A placed order shows the total it was placed with.
    const std::optional<int64_t> sum = placed ? store_.orderTotal(key) : total(uploads);
    body += "</table>\n<p class=\"total\">Итого: " + money(sum) + "</p>\n";
    if (placed) {
        body += "<p class=\"placed\">Заказ отправлен в печать (" + html(*placed) + " UTC).</p>";
    } else if (!uploads.empty() && sum) {
        body +=
            "<form method=\"post\" "
            "action=\"/index.php?option=com_photoprint&amp;step=placeorder&amp;key=" +
            html(key) + "\"><button type=\"submit\">Отправить заказ</button></form>";
    }
    return page("Ваш заказ", body);
}

Response LabService::placeOrder(const std::string& key) {
    if (!store_.hasSession(key)) {
        return page("Заказ не найден", "<h1>Заказ не найден</h1>");
    }
    store_.placeOrder(key, [this](const std::vector<Upload>& uploads) { return total(uploads); });
    Response r;
    r.status = 303;
    r.headers["Location"] = "/index.php?option=com_photoprint&step=showprog&key=" + key;
    return r;
}

Response LabService::photo(const std::string& key, const std::string& fileNumber) {
    // Only under its session's key: the key is what a customer holds, and nothing in
    // a photo's address can be counted through.
    const std::optional<Upload> upload =
        key.empty() ? std::nullopt : store_.uploadOf(key, fileNumber);
    if (!upload) {
        return text(404, "no such photo");
    }
    Response r;
    r.bodyFile = upload->storedPath;  // streamed from disk, never held whole
    r.headers["Content-Type"] = "image/jpeg";
    return r;
}

Response LabService::frontPage() {
    return page(
        "Фотолаборатория",
        "<h1>Фотолаборатория</h1><p><img alt=\"\" src=\"/banner.gif\" style=\"max-width:100%\"></p>"
        "<p>Печать фотографий форматов от 9x13 до 30x45 на матовой и глянцевой бумаге.</p>");
}

Response LabService::forward(const Request& request) {
    const std::string authority = request.absoluteAuthority();
    const size_t colon = authority.rfind(':');
    const std::string host = authority.substr(0, colon);
    const std::string port = colon == std::string::npos ? "80" : authority.substr(colon + 1);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
        return text(502, "Bad Gateway: unknown host " + host);
    }
    const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(options_.forwardTotalSeconds);
    // Waits for the upstream in short steps, so that a stop or the deadline ends it.
    const auto wait = [&](short events, int seconds) {
        const auto until =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(seconds));
        while (!stopping_ && std::chrono::steady_clock::now() < until) {
            pollfd p{fd, events, 0};
            const int ready = ::poll(&p, 1, 200);
            if (ready != 0) {
                return ready > 0;
            }
        }
        return false;
    };
    bool connected = fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) == 0;
    if (!connected && fd >= 0 && errno == EINPROGRESS &&
        wait(POLLOUT, options_.forwardConnectSeconds)) {
        int error = 0;
        socklen_t length = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    freeaddrinfo(found);
    const auto fail = [&](int status, const std::string& why) {
        if (fd >= 0) {
            ::close(fd);
        }
        return text(status, why + " " + authority);
    };
    if (!connected) {
        return fail(502, "Bad Gateway: cannot reach");
    }
    std::string out = request.method + " " + request.originTarget() + " HTTP/1.0\r\n";
    for (const auto& [name, value] : request.headers) {
        const std::string lowered = lowerAscii(name);
        if (lowered.rfind("proxy-", 0) != 0 && lowered != "connection") {
            out += name + ": " + value + "\r\n";
        }
    }
    out += "Connection: close\r\n\r\n";
    out += request.body;
    for (size_t sent = 0; sent < out.size();) {
        if (!wait(POLLOUT, options_.forwardReadSeconds)) {
            return fail(504, "Gateway Timeout: no room at");
        }
        const ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n <= 0 && errno != EAGAIN && errno != EINTR) {
            return fail(502, "Bad Gateway: cannot send to");
        }
        sent += n > 0 ? static_cast<size_t>(n) : 0;
    }
    Response r;
    char buffer[65536];
    for (;;) {
        if (!wait(POLLIN, options_.forwardReadSeconds)) {
            return fail(504, "Gateway Timeout: no answer in time from");
        }
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        if (r.raw.size() + static_cast<size_t>(got) > options_.forwardMaxBytes) {
            return fail(502, "Bad Gateway: the answer is too large from");
        }
        r.raw.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    if (r.raw.empty()) {
        return text(502, "Bad Gateway: no answer from " + authority);
    }
    return r;
}

}  // namespace labd
