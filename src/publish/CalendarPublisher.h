#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace korvane {

class RecordStore;

/** An item that changed on the server since the last publish and was therefore left as it is there. */
struct ServerChange
{
    QByteArray uid;
    QString summary;
};

/** What a publish did, item by item, or why it stopped. */
struct PublishSummary
{
    int put = 0;
    int updated = 0;
    int deleted = 0;
    int unchanged = 0;
    QList<ServerChange> changedOnServer;
    /** Empty when every item was handled; otherwise the message for the user. */
    QString error;

    bool ok() const { return error.isEmpty(); }
    /** "put N, updated N, deleted N, unchanged N, changed on the server N". */
    QString countsLine() const;
};

/**
 * Publishes the tasks and meetings of projects to a CalDAV calendar collection, Korvane being the
 * source: new items are PUT as UID.ics, changed ones replaced on the ETag last seen, ones deleted
 * in Korvane deleted there. An item changed on the server since the last publish is left alone and
 * reported, unless the caller chooses to overwrite such items.
 */
class CalendarPublisher
{
public:
    CalendarPublisher(const RecordStore& store, const QUrl& collection, const QString& user,
                      const QString& password);

    /** How long one request may take before the server counts as not answering. */
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

    /** Told before each item with the items done and the whole count; returning false stops the publish. */
    using Progress = std::function<bool(int done, int total)>;

    /** Publishes the projects' items; the state of what was published is saved even when it stops midway. */
    PublishSummary publish(const QList<QByteArray>& projects, bool overwriteServerChanges,
                           const Progress& progress = {});

    /** The text under which the state of a collection is kept: the address without user name or password. */
    static QString stateKey(const QUrl& collection);

private:
    const RecordStore& m_store;
    QUrl m_collection;
    QString m_user;
    QString m_password;
    int m_timeout = 30000;
};

} // namespace korvane
