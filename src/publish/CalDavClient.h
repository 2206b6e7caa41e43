#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <utility>

class QNetworkAccessManager;

namespace korvane {

/** What one request to the calendar server gave: an HTTP status, or the reason there is none. */
struct DavReply
{
    int status = 0;
    QByteArray body;
    QByteArray etag;
    /** Set when the server gave no answer (not reachable, timed out): the message for the user. */
    QString failure;
};

/**
 * Talks to one CalDAV calendar collection over HTTP or HTTPS, one request at a time, each waited
 * for no longer than the timeout, with Basic authentication.
 */
class CalDavClient
{
public:
    CalDavClient(const QUrl& collection, const QString& user, const QString& password);
    ~CalDavClient();
    CalDavClient(const CalDavClient&) = delete;
    CalDavClient& operator=(const CalDavClient&) = delete;

    /** How long one request may take before it counts as unanswered. */
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

    /** Empty when the address is a calendar collection this user may use; otherwise why not, for the user. */
    QString checkCollection();

    /** The path of every item of the collection with its ETag; false with `error` set when they cannot be
     * read. */
    bool listItems(QHash<QString, QByteArray>& etags, QString& error);

    /** Sends one request to a path of the server; `headers` are added as given. */
    DavReply send(const QByteArray& verb, const QString& path, const QByteArray& body = {},
                  const QList<std::pair<QByteArray, QByteArray>>& headers = {});

    /** The message for a reply that is no success: the failure, or what its status means here. */
    QString explain(const DavReply& reply, const QString& what) const;

    /** The collection's path, ending in "/". */
    QString collectionPath() const { return m_collection.path(); }

private:
    QUrl m_collection;
    QByteArray m_authorization;
    int m_timeout = 30000;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

} // namespace korvane
