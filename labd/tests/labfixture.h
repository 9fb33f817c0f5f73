#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "labd/httpserver.h"
#include "labd/labservice.h"

namespace labd::testing {

// A labd on a loopback port (a free one unless given) with its data in a temporary
// folder (its format catalogue the text given, else the shipped one), for tests of the
// service and of its clients.
class Lab {
public:
    explicit Lab(ServiceOptions options = {}, const ServerLimits& serverLimits = {}, int port = 0,
                 const std::string& formatsText = {}) {
        options.dataDir = dir_.path().toStdString();
        if (!formatsText.empty()) {
            std::ofstream(options.dataDir + "/formats.txt", std::ios::binary) << formatsText;
        }
        service_ = std::make_unique<LabService>(options);
        std::string error;
        ok_ = service_->open(&error);
        ServerLimits limits = serverLimits;
        limits.spoolDir = options.dataDir;
        server_ = std::make_unique<HttpServer>(
            [this](const Request& r) { return service_->handle(r); }, nullptr, limits);
        ok_ = ok_ &&
              server_->start("127.0.0.1", port, [this](int own) { service_->setOwnPort(own); });
    }
    ~Lab() {
        service_->stop();
        server_.reset();
    }
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;
    bool ok() const { return ok_; }
    std::string url(const std::string& target) const { return "http://" + address() + target; }
    std::string address() const { return "127.0.0.1:" + std::to_string(server_->port()); }
    Store& store() { return service_->store(); }
    std::string dataDir() const { return dir_.path().toStdString(); }
    void stop() {
        service_->stop();
        server_->stop();
    }
    int requests(const std::string& step) { return service_->requests(step); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<LabService> service_;
    std::unique_ptr<HttpServer> server_;
    bool ok_ = false;
};

}  // namespace labd::testing
