#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "labd/httpserver.h"
#include "labd/labservice.h"

namespace labd::testing {

// A labd on a free loopback port with its data in a temporary folder, for tests of
// the service and of its clients.
class Lab {
public:
    explicit Lab(ServiceOptions options = {}) {
        options.dataDir = dir_.path().toStdString();
        service_ = std::make_unique<LabService>(options);
        std::string error;
        ok_ = service_->open(&error);
        server_ =
            std::make_unique<HttpServer>([this](const Request& r) { return service_->handle(r); });
        ok_ = ok_ && server_->start("127.0.0.1", 0);
        service_->setOwnPort(server_->port());
    }
    bool ok() const { return ok_; }
    std::string url(const std::string& target) const { return "http://" + address() + target; }
    std::string address() const { return "127.0.0.1:" + std::to_string(server_->port()); }
    Store& store() { return service_->store(); }
    int requests(const std::string& step) { return service_->requests(step); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<LabService> service_;
    std::unique_ptr<HttpServer> server_;
    bool ok_ = false;
};

}  // namespace labd::testing
