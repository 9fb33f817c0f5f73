#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace testing_support {

// Sets an environment variable for the lifetime of the object (unset when value is
// null), restoring the old value at the end.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value != nullptr) {
            qputenv(name, value);
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// No proxy from the environment while alive, so that loopback tests reach loopback.
struct NoProxyEnv {
    ScopedEnv http{"http_proxy", nullptr};
    ScopedEnv httpUpper{"HTTP_PROXY", nullptr};
    ScopedEnv all{"all_proxy", nullptr};
    ScopedEnv bypass{"no_proxy", nullptr};
    ScopedEnv bypassUpper{"NO_PROXY", nullptr};
};

}  // namespace testing_support
