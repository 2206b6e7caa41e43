#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace korvane {

/**
 * Tells which entries of a folder were created, changed or removed since it started watching, so
 * that reading the folder again needs to look only at those. Watches only where every change is
 * reported: a folder on a network or user-space file system, changed from another machine,
 * reports nothing, so it is never watched.
 */
class FolderWatch
{
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    /** Starts watching the folder anew; false when its changes cannot all be told. */
    bool start(const QString& folder);
    void stop();
    bool active() const { return m_fd >= 0; }
    /** The descriptor that turns readable when changes are queued; -1 when not watching. */
    int handle() const { return m_fd; }

    /**
     * The names of the entries that changed since the start or the last call, or nothing when that
     * cannot be told (changes were lost, or the folder itself was moved or removed).
     */
    std::optional<QStringList> takeChanges();

private:
    int m_fd = -1;
};

} // namespace korvane
