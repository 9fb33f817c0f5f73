#include "platform/testing/noaccessoverride.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testing_support {

namespace {

constexpr unsigned kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool capabilities(__user_cap_data_struct (&data)[2], bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

}  // namespace

NoAccessOverride::NoAccessOverride() {
    __user_cap_data_struct data[2]{};
    if (!capabilities(data, false) || (data[0].effective & kOverrides) == 0) {
        return;
    }
    effective_[0] = data[0].effective;
    effective_[1] = data[1].effective;
    data[0].effective &= ~kOverrides;
    dropped_ = capabilities(data, true);
}

NoAccessOverride::~NoAccessOverride() {
    if (!dropped_) {
        return;
    }
    __user_cap_data_struct data[2]{};
    if (capabilities(data, false)) {
        data[0].effective = effective_[0];
        data[1].effective = effective_[1];
        capabilities(data, true);
    }
}

}  // namespace testing_support
