#pragma once
// An ordinary user's view from a test that runs as root: fn runs on a thread of its own that has
// given up the named capabilities (Linux keeps them per thread), e.g. CAP_DAC_OVERRIDE, which lets
// root open a file whatever its mode, or CAP_SYS_ADMIN, which lets it open a terminal another
// process holds for exclusive use. Without root the thread has none of them anyway.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <thread>

namespace testsupport {

inline void RunWithoutCapabilities(std::initializer_list<int> capabilities, const std::function<void()>& fn) {
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capget, &header, caps) == 0) {
            for (const int capability : capabilities)
                caps[capability / 32].effective &= ~(1u << (capability % 32));
            (void)syscall(SYS_capset, &header, caps);
        }
        fn();
    }).join();
}

}  // namespace testsupport
