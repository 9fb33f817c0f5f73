// labd: the reference lab service. See README.md for its switches.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "labd/httpserver.h"
#include "labd/labservice.h"

namespace {

void usage() {
    std::cerr << "usage: labd --port PORT --data DIR [--host ADDRESS]\n"
                 "            [--sessions-per-minute N]  new sessions per client address\n"
                 "                                       a minute (default 120; 0: no bound)\n"
                 "  test switches (all off by default):\n"
                 "  --proxy-auth USER:PASSWORD   answer 407 until these proxy credentials come;\n"
                 "                               then serve as a forward proxy\n"
                 "  --server-auth USER:PASSWORD  answer 401 until these credentials come\n"
                 "  --answer PATH=STATUS:BODY    answer PATH (path, or path and query) so\n"
                 "  --stall SECONDS              wait this long before every answer\n"
                 "  --drop-after BYTES           close the connection after this many bytes\n"
                 "  --fail-upload-every N        refuse every Nth upload with an error text\n"
                 "  --faults-on-uploads 1        stall and cut only uploads with a body\n"
                 "  --record DIR                 write every upload as received into DIR\n";
}

std::string timestamp() {
    char buffer[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    labd::ServiceOptions options;
    std::string host = "127.0.0.1";
    int port = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (arg == "--help") {
            usage();
            return 0;
        }
        if (!hasValue) {
            usage();
            return 2;
        }
        ++i;
        if (arg == "--port") {
            port = std::atoi(value.c_str());
        } else if (arg == "--data") {
            options.dataDir = value;
        } else if (arg == "--host") {
            host = value;
        } else if (arg == "--proxy-auth") {
            options.proxyCredentials = value;
        } else if (arg == "--server-auth") {
            options.serverCredentials = value;
        } else if (arg == "--answer") {
            const std::optional<labd::FixedAnswer> answer = labd::parseFixedAnswer(value);
            if (!answer) {
                usage();
                return 2;
            }
            options.fixedAnswers[answer->path] = {answer->status, answer->body};
        } else if (arg == "--stall") {
            options.stallSeconds = std::atoi(value.c_str());
        } else if (arg == "--drop-after") {
            options.dropAfterBytes = std::atoll(value.c_str());
        } else if (arg == "--fail-upload-every") {
            options.failEveryNthUpload = std::atoi(value.c_str());
        } else if (arg == "--faults-on-uploads") {
            options.faultsOnUploadsOnly = value == "1";
        } else if (arg == "--record") {
            options.recordDir = value;
        } else if (arg == "--sessions-per-minute") {
            options.sessionsPerMinute = std::atoi(value.c_str());
        } else {
            usage();
            return 2;
        }
    }
    if (port < 0 || options.dataDir.empty()) {
        usage();
        return 2;
    }

    // A write past a file-size limit fails with an error the upload reports, rather
    // than ending the service.
    ::signal(SIGXFSZ, SIG_IGN);
    // The signals are taken by sigwait below, not by a handler on some thread.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    labd::LabService service(options);
    std::string error;
    if (!service.open(&error)) {
        std::cerr << "labd: " << error << "\n";
        return 1;
    }
    labd::ServerLimits limits;
    limits.spoolDir = options.dataDir;  // large uploads stream to the lab's own disk
    labd::HttpServer server([&](const labd::Request& r) { return service.handle(r); },
                            [](const labd::Request& r, const labd::Response& response) {
                                std::fprintf(stderr, "%s %s %s %s -> %d, %zu bytes\n",
                                             timestamp().c_str(), r.peer.c_str(),
                                             labd::escapedForLog(r.method).c_str(),
                                             labd::escapedForLog(r.target).c_str(), response.status,
                                             response.body.size());
                            },
                            limits);
    // The service knows its own port before the first request comes.
    if (!server.start(host, port, [&](int bound) { service.setOwnPort(bound); })) {
        std::cerr << "labd: cannot listen on " << host << ":" << port << ": "
                  << server.errorString() << "\n";
        return 1;
    }
    std::fprintf(stderr, "%s labd listening on http://%s:%d/, data in %s\n", timestamp().c_str(),
                 host.c_str(), server.port(), options.dataDir.c_str());
    int received = 0;
    sigwait(&signals, &received);
    service.stop();
    server.stop();
    std::fprintf(stderr, "%s labd stopped\n", timestamp().c_str());
    return 0;
}
