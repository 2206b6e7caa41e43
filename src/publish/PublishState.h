#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace korvane {

/** One item as it was last published: where it lies on the server and which version it was. */
struct PublishedItem
{
    QString href;
    QByteArray etag;
    /** The digest of what was sent, apart from the moment of writing, to tell a changed item. */
    QByteArray digest;
    QByteArray identifier;
    bool isMeeting = false;
    QString summary;
};

/**
 * What was published to each calendar collection, kept in the program's folder (never in the data
 * folder), so the next publish sends only what changed and notices what changed on the server.
 */
class PublishState
{
public:
    /** The state of the collection at `url` from the program's folder; empty when there is none. */
    static PublishState load(const QString& url);
    /** Writes this collection's state back, keeping the others'; returns an empty text or the error. */
    QString save() const;

    /** The collection last published to, and its user name, for the dialog to offer again. */
    static QString lastUrl();
    QString user() const { return m_user; }
    void setUser(const QString& user) { m_user = user; }

    /** The items by UID. */
    QHash<QByteArray, PublishedItem>& items() { return m_items; }

private:
    static QString path();

    QString m_url;
    QString m_user;
    QHash<QByteArray, PublishedItem> m_items;
};

} // namespace korvane
