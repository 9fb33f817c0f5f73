#pragma once

namespace testing_support {

// While alive, the process (even as root) is refused files its permissions refuse:
// the capabilities that override file permissions are dropped from the effective set
// and raised again at the end. A no-op for an ordinary user.
class NoAccessOverride {
public:
    NoAccessOverride();
    ~NoAccessOverride();
    NoAccessOverride(const NoAccessOverride&) = delete;
    NoAccessOverride& operator=(const NoAccessOverride&) = delete;

private:
    bool dropped_ = false;
    unsigned effective_[2] = {0, 0};
};

}  // namespace testing_support
