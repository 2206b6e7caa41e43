#include "store/FolderWatch.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace korvane {

namespace {

// Local file systems, where the kernel reports every change made on this machine.
bool reportsEveryChange(const QString& folder)
{
    struct statfs info;
    if (::statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // f2fs
    case 0x2FC12FC1UL: // zfs
    case 0xCA451A4EUL: // bcachefs
    case 0x3153464AUL: // jfs
    case 0x52654973UL: // reiserfs
    case 0x4D44UL:     // vfat
    case 0x2011BAB0UL: // exfat
    case 0x7366746EUL: // ntfs3
    case 0x794C7630UL: // overlayfs
        return true;
    default:
        return false;
    }
}

// More changes than this are read as "everything changed": the folder is read whole anyway.
constexpr int kMostNames = 4096;

} // namespace

FolderWatch::~FolderWatch()
{
    stop();
}

void FolderWatch::stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FolderWatch::start(const QString& folder)
{
    stop();
    if (!reportsEveryChange(folder))
        return false;
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return false;
    const uint32_t events = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                            IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), events) < 0) {
        stop();
        return false;
    }
    return true;
}

std::optional<QStringList> FolderWatch::takeChanges()
{
    if (m_fd < 0)
        return std::nullopt;
    QSet<QString> names;
    bool lost = false;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EAGAIN: nothing more is queued
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT))
                lost = true;
            else if (event->len > 0)
                names.insert(QFile::decodeName(event->name));
        }
        if (names.size() > kMostNames)
            lost = true;
    }
    if (lost) {
        // The watch can no longer vouch for anything; the caller reads the folder and starts anew.
        stop();
        return std::nullopt;
    }
    return QStringList(names.begin(), names.end());
}

} // namespace korvane
