#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While alive, the calling thread opens files like an ordinary user even when the tests run as
// root: the powers to ignore file modes and a port's exclusive use leave its effective set, and
// come back at the end. Without them a test of "no permission" or "in use" could not fail as
// root. (Capabilities belong to the thread: the code under test must open on this thread.)
class WithoutRootPowers
{
public:
    WithoutRootPowers()
    {
        if (syscall(SYS_capget, &header, saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_SYS_ADMIN})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        active = syscall(SYS_capset, &header, reduced) == 0;
    }
    ~WithoutRootPowers()
    {
        if (active)
            syscall(SYS_capset, &header, saved);
    }
    bool isActive() const { return active; }
    WithoutRootPowers(const WithoutRootPowers &) = delete;
    WithoutRootPowers &operator=(const WithoutRootPowers &) = delete;

private:
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
    bool active = false;
};
