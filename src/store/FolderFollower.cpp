#include "store/FolderFollower.h"

#include "store/RecordStore.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThreadPool>
#include <algorithm>

namespace korvane {

namespace {

// A comparison takes at most this share of the time while the window is active.
constexpr qint64 kPollCostShare = 20;

} // namespace

FolderFollower::FolderFollower(RecordStore& store, bool watchAllowed)
    : m_store(store), m_watchAllowed(watchAllowed), m_receiver(std::make_unique<QObject>()),
      m_pollReceiver(std::make_shared<PollReceiver>())
{
    m_pollReceiver->receiver = m_receiver.get();
}

FolderFollower::~FolderFollower()
{
    // A comparison still running posts nothing from now on; one posted already goes with the receiver.
    QMutexLocker lock(&m_pollReceiver->mutex);
    m_pollReceiver->receiver = nullptr;
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
    const std::optional<QStringList> changed = m_store.filesChangedElsewhere();
    takePolled(changed, took.elapsed(), now);
}

void FolderFollower::startPoll(std::function<qint64()> clock, std::function<void()> done)
{
    if (m_polling)
        return;
    m_polling = true;
    // The stamps are taken away from the store, which belongs to this thread; they are compared here.
    QThreadPool::globalInstance()->start([this, receiver = m_pollReceiver, folder = m_store.workingDirectory(),
                                          threads = m_store.loadThreads(), clock = std::move(clock),
                                          done = std::move(done)] {
        QElapsedTimer took;
        took.start();
        auto names = std::make_shared<QStringList>();
        auto stamps = std::make_shared<FolderStamps>(RecordStore::stampRecordFiles(folder, threads, *names));
        const qint64 tookMs = took.elapsed();
        QMutexLocker lock(&receiver->mutex);
        if (!receiver->receiver)
            return;
        QMetaObject::invokeMethod(
            receiver->receiver,
            [this, names, stamps, tookMs, clock, done] {
                m_polling = false;
                takePolled(m_store.filesChangedElsewhere(*names, *stamps), tookMs, clock());
                done();
            },
            Qt::QueuedConnection);
    });
}

void FolderFollower::takePolled(const std::optional<QStringList>& changed, qint64 tookMs, qint64 now)
{
    if (changed) {
        // Every comparison finds the same files until the update: only news restart the settling.
        QStringList news;
        for (const QString& name : *changed) {
            if (!m_pending.contains(name))
                news.append(name);
        }
        note(news, now);
    }
    m_pollInterval = std::max(kPollMs, tookMs * kPollCostShare);
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
