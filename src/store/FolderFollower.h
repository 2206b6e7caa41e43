#pragma once

#include "store/FolderWatch.h"

#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace korvane {

class RecordStore;

/**
 * Decides when the program reads its data folder again by itself: gathers the record files another
 * program changed, made or removed (told by a watch of the folder or, where it cannot be watched,
 * by comparing the files' stamps now and then), waits until the changes settle, holds the update
 * while an editor is open, and counts the records it takes in. Times are milliseconds of any
 * steady clock, given by the caller.
 */
class FolderFollower
{
public:
    /** How long after the last change the update waits, so that a burst of changes is read once. */
    static constexpr qint64 kSettleMs = 1000;
    /** The shortest time between two stamp comparisons of a folder that is not watched. */
    static constexpr qint64 kPollMs = 3000;

    /** Follows the store's data folder; `watchAllowed` false compares stamps only. */
    explicit FolderFollower(RecordStore& store, bool watchAllowed = true);
    ~FolderFollower();
    FolderFollower(const FolderFollower&) = delete;
    FolderFollower& operator=(const FolderFollower&) = delete;

    /** Starts following the store's data folder anew, after the store read it (a load or a folder change). */
    void restart();
    /** True when the folder is watched; otherwise `poll` compares the stamps. */
    bool watched() const { return m_watch.active(); }
    /** The descriptor that becomes readable when the watch has news; -1 when the folder is not watched. */
    int watchHandle() const { return m_watch.handle(); }

    /** Takes in what the watch saw; changes of the program's own are passed over. */
    void takeWatchEvents(qint64 now);
    /** Compares every record file's stamp with what the store read (the folder is not watched). */
    void poll(qint64 now);
    /**
     * Makes the comparison `poll` makes with the files stamped on a thread of its own, unless one
     * runs already; once they are, this thread's event loop takes the result in at `clock()` and
     * calls `done`. A comparison still running when the follower goes is dropped.
     */
    void startPoll(std::function<qint64()> clock, std::function<void()> done);
    /** True from `startPoll` until its result is taken in. */
    bool isPolling() const { return m_polling; }
    /** The time to wait before the next `poll`: a few seconds, more where comparing is slow. */
    qint64 pollInterval() const { return m_pollInterval; }

    /** The record files changed elsewhere that the next update takes in. */
    qsizetype pending() const { return m_pending.size(); }
    /** Milliseconds until the update is due (0: now); nothing when none waits or it is held. */
    std::optional<qint64> dueIn(qint64 now) const;
    /** Holds updates while an editor or another modal dialog is open; released, a waiting one is due. */
    void setHeld(bool held) { m_held = held; }
    bool isHeld() const { return m_held; }

    /**
     * Reads the changed files into the store (the store reads only those) and returns how many
     * records changed elsewhere; nothing, with nothing read, when every change was undone meanwhile.
     */
    std::optional<qsizetype> update();

private:
    /** Adds files changed elsewhere to those waiting; a new or further change restarts the settling. */
    void note(const QStringList& changed, qint64 now);
    /** Takes in what a stamp comparison found, and how long it took. */
    void takePolled(const std::optional<QStringList>& changed, qint64 tookMs, qint64 now);

    /** What a comparison on another thread and the follower share: where the result goes, while it is there. */
    struct PollReceiver
    {
        QMutex mutex;
        QObject* receiver = nullptr;
    };

    RecordStore& m_store;
    bool m_watchAllowed;
    FolderWatch m_watch;
    QSet<QString> m_pending;
    /** Changes the watch lost: the update reads what the store's own check finds. */
    bool m_lost = false;
    bool m_held = false;
    qint64 m_lastChange = 0;
    qint64 m_pollInterval = kPollMs;
    bool m_polling = false;
    std::unique_ptr<QObject> m_receiver;
    std::shared_ptr<PollReceiver> m_pollReceiver;
};

} // namespace korvane
