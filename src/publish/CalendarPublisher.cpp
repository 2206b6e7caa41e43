#include "publish/CalendarPublisher.h"

#include "integration/CalendarWriter.h"
#include "publish/CalDavClient.h"
#include "publish/PublishState.h"
#include "store/RecordStore.h"

#include <QCryptographicHash>
#include <QSet>

namespace korvane {

namespace {

/** The digest of an item's text without DTSTAMP, which changes with every export. */
QByteArray digestOf(const QByteArray& text)
{
    QByteArrayList lines = text.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.startsWith("DTSTAMP"); });
    return QCryptographicHash::hash(lines.join('\n'), QCryptographicHash::Sha256).toHex();
}

bool succeeded(const DavReply& reply)
{
    return reply.status >= 200 && reply.status < 300;
}

} // namespace

QString PublishSummary::countsLine() const
{
    return QStringLiteral("put %1, updated %2, deleted %3, unchanged %4, changed on the server %5")
        .arg(put)
        .arg(updated)
        .arg(deleted)
        .arg(unchanged)
        .arg(changedOnServer.size());
}

CalendarPublisher::CalendarPublisher(const RecordStore& store, const QUrl& collection, const QString& user,
                                     const QString& password)
    : m_store(store), m_collection(collection), m_user(user), m_password(password)
{
    if (m_user.isEmpty())
        m_user = m_collection.userName();
    if (m_password.isEmpty())
        m_password = m_collection.password();
    m_collection.setUserInfo({});
    if (!m_collection.path().endsWith(QLatin1Char('/')))
        m_collection.setPath(m_collection.path() + QLatin1Char('/'));
}

QString CalendarPublisher::stateKey(const QUrl& collection)
{
    QUrl key = collection.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment | QUrl::RemoveQuery);
    if (!key.path().endsWith(QLatin1Char('/')))
        key.setPath(key.path() + QLatin1Char('/'));
    return key.toString();
}

PublishSummary CalendarPublisher::publish(const QList<QByteArray>& projects, bool overwriteServerChanges,
                                          const Progress& progress)
{
    PublishSummary summary;
    CalDavClient client(m_collection, m_user, m_password);
    client.setTimeout(m_timeout);
    summary.error = client.checkCollection();
    if (!summary.ok())
        return summary;
    QHash<QString, QByteArray> onServer;
    if (!client.listItems(onServer, summary.error))
        return summary;

    PublishState state = PublishState::load(stateKey(m_collection));
    state.setUser(m_user);
    QHash<QByteArray, PublishedItem>& published = state.items();
    const QList<CalendarEntry> entries = CalendarWriter(m_store).entries(projects);
    QSet<QByteArray> current;
    for (const CalendarEntry& entry : entries)
        current.insert(entry.uid);
    // Items published before whose record is gone from Korvane are deleted on the server.
    QList<QByteArray> gone;
    for (auto it = published.cbegin(); it != published.cend(); ++it) {
        const bool exists = it->isMeeting ? m_store.meetings().contains(it->identifier)
                                          : m_store.tasks().contains(it->identifier);
        if (!exists && !current.contains(it.key()))
            gone.append(it.key());
    }
    const int total = int(entries.size() + gone.size());
    int done = 0;
    auto stop = [&] {
        if (progress && !progress(done++, total)) {
            summary.error =
                QStringLiteral("The publish was stopped; what was sent so far stays on the server.");
            return true;
        }
        return false;
    };

    for (const CalendarEntry& entry : entries) {
        if (stop())
            break;
        const QByteArray digest = digestOf(entry.text);
        const auto known = published.constFind(entry.uid);
        const QString href =
            known != published.cend()
                ? known->href
                : client.collectionPath() + QString::fromUtf8(entry.uid) + QStringLiteral(".ics");
        const bool onServerNow = onServer.contains(href);
        const QByteArray serverTag = onServer.value(href);
        const bool serverChanged =
            known == published.cend() ? onServerNow : (!onServerNow || serverTag != known->etag);
        if (serverChanged && !overwriteServerChanges) {
            summary.changedOnServer.append(ServerChange{entry.uid, entry.summary});
            continue;
        }
        if (known != published.cend() && !serverChanged && known->digest == digest) {
            ++summary.unchanged;
            continue;
        }
        QList<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", "text/calendar; charset=utf-8"}};
        // The condition makes the server refuse when the item changed there since the list was read.
        if (onServerNow)
            headers.append(std::pair<QByteArray, QByteArray>("If-Match", serverTag));
        else
            headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
        const DavReply reply = client.send("PUT", href, entry.text, headers);
        if (reply.status == 412) {
            summary.changedOnServer.append(ServerChange{entry.uid, entry.summary});
            continue;
        }
        if (!succeeded(reply)) {
            summary.error = client.explain(reply, QStringLiteral("sending \"%1\"").arg(entry.summary));
            break;
        }
        QByteArray etag = reply.etag;
        if (etag.isEmpty()) {
            // A server that gives no ETag on PUT gives it in the list; without one the next publish resends.
            QHash<QString, QByteArray> after;
            QString ignored;
            if (client.listItems(after, ignored))
                etag = after.value(href);
        }
        ++(known != published.cend() && onServerNow ? summary.updated : summary.put);
        published.insert(entry.uid,
                         PublishedItem{href, etag, digest, entry.identifier, entry.isMeeting, entry.summary});
    }

    for (const QByteArray& uid : std::as_const(gone)) {
        if (!summary.ok() || stop())
            break;
        const PublishedItem item = published.value(uid);
        if (!onServer.contains(item.href)) {
            published.remove(uid);
            continue;
        }
        if (onServer.value(item.href) != item.etag && !overwriteServerChanges) {
            summary.changedOnServer.append(ServerChange{uid, item.summary});
            continue;
        }
        const DavReply reply =
            client.send("DELETE", item.href, {}, {{"If-Match", onServer.value(item.href)}});
        if (reply.status == 412) {
            summary.changedOnServer.append(ServerChange{uid, item.summary});
            continue;
        }
        if (!succeeded(reply) && reply.status != 404) {
            summary.error = client.explain(reply, QStringLiteral("deleting \"%1\"").arg(item.summary));
            break;
        }
        ++summary.deleted;
        published.remove(uid);
    }

    const QString saved = state.save();
    if (summary.ok() && !saved.isEmpty())
        summary.error = QStringLiteral("What was published cannot be remembered: %1").arg(saved);
    return summary;
}

} // namespace korvane
