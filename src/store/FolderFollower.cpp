#include "store/FolderFollower.h"

#include "store/RecordStore.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>

namespace korvane {

namespace {

// A comparison takes at most this share of the time while the window is active.
constexpr qint64 kPollCostShare = 20;

} // namespace

FolderFollower::FolderFollower(RecordStore& store, bool watchAllowed)
    : m_store(store), m_watchAllowed(watchAllowed)
{
}

void FolderFollower::restart()
{
    m_pending.clear();
    m_lost = false;
    m_watch.stop();
    if (m_watchAllowed && !m_store.workingDirectory().isEmpty())
        m_watch.start(m_store.workingDirectory());
}

void FolderFollower::note(const QStringList& changed, qint64 now)
{
    for (const QString& name : changed)
        m_pending.insert(name);
    if (!changed.isEmpty())
        m_lastChange = now;
}

void FolderFollower::takeWatchEvents(qint64 now)
{
    if (!m_watch.active())
        return;
    if (const std::optional<QStringList> names = m_watch.takeChanges()) {
        note(m_store.filesChangedElsewhere(*names), now);
        return;
    }
    // Changes were lost or the folder was moved: watch anew, and let the stamps tell what changed.
    m_watch.start(m_store.workingDirectory());
    if (const std::optional<QStringList> changed = m_store.filesChangedElsewhere())
        note(*changed, now);
    else {
        m_lost = true;
        m_lastChange = now;
    }
}

void FolderFollower::poll(qint64 now)
{
    QElapsedTimer took;
    took.start();
    if (const std::optional<QStringList> changed = m_store.filesChangedElsewhere()) {
        // Every comparison finds the same files until the update: only news restart the settling.
        QStringList news;
        for (const QString& name : *changed) {
            if (!m_pending.contains(name))
                news.append(name);
        }
        note(news, now);
    }
    m_pollInterval = std::max(kPollMs, took.elapsed() * kPollCostShare);
}

std::optional<qint64> FolderFollower::dueIn(qint64 now) const
{
    if ((m_pending.isEmpty() && !m_lost) || m_held)
        return std::nullopt;
    return std::max<qint64>(0, m_lastChange + kSettleMs - now);
}

std::optional<qsizetype> FolderFollower::update()
{
    // A file changed and changed back, or read meanwhile by a refresh, needs nothing.
    const qsizetype count =
        m_store.filesChangedElsewhere(QStringList(m_pending.begin(), m_pending.end())).size();
    const bool lost = m_lost;
    m_pending.clear();
    m_lost = false;
    // A data folder gone (unmounted, moved) would empty every list: Refresh tells the user instead.
    if ((count == 0 && !lost) || !QFileInfo(m_store.workingDirectory()).isDir())
        return std::nullopt;
    m_store.LoadAll();
    return count;
}

} // namespace korvane
