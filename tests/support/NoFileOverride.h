#pragma once

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace korvane::test {

/**
 * Takes the capabilities that let root pass over permission bits (CAP_DAC_OVERRIDE,
 * CAP_DAC_READ_SEARCH, CAP_FOWNER) out of the calling thread's effective set while it lives, so a
 * test run as root meets a read-only folder or an unreadable file as a user does. Capabilities
 * belong to one thread: do the file work on the thread that made the object. Without root the
 * capabilities are absent anyway and the object changes nothing.
 */
class NoFileOverride
{
public:
    NoFileOverride()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0) {
            m_error = std::string("capget failed: ") + std::strerror(errno);
            return;
        }
        __user_cap_data_struct cleared[_LINUX_CAPABILITY_U32S_3];
        std::memcpy(cleared, m_saved, sizeof cleared);
        cleared[0].effective &= ~kOverrides;
        if (syscall(SYS_capset, &m_header, cleared) != 0) {
            m_error = std::string("capset failed: ") + std::strerror(errno);
            return;
        }
        m_active = true;
    }
    ~NoFileOverride()
    {
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
    }
    NoFileOverride(const NoFileOverride&) = delete;
    NoFileOverride& operator=(const NoFileOverride&) = delete;

    /** True when permission bits now apply to this thread; otherwise `error()` says why not. */
    bool active() const { return m_active; }
    const std::string& error() const { return m_error; }

    /**
     * For a child process between fork and exec (QProcess::setChildProcessModifier): drops the
     * capabilities from the bounding and inheritable sets, so the program it starts, even as root,
     * has to respect permission bits. Ends the child with status 111 when that is refused.
     */
    static void dropForChild()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3];
        if (syscall(SYS_capget, &header, data) != 0)
            _exit(kChildRefused);
        if ((data[0].permitted & kOverrides) == 0)
            return; // not privileged: nothing to drop
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            if (prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0)
                _exit(kChildRefused);
        }
        data[0].inheritable &= ~kOverrides;
        data[0].effective &= ~kOverrides;
        data[0].permitted &= ~kOverrides;
        if (syscall(SYS_capset, &header, data) != 0)
            _exit(kChildRefused);
    }
    /** The exit status of a child whose `dropForChild` was refused. */
    static constexpr int kChildRefused = 111;

private:
    static constexpr __u32 kOverrides =
        (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[_LINUX_CAPABILITY_U32S_3]{};
    bool m_active = false;
    std::string m_error;
};

} // namespace korvane::test
