#include "publish/PublishState.h"

#include "store/ProgramFolder.h"
#include "store/SafeFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace korvane {

namespace {

QJsonObject readAll(const QString& path)
{
    QByteArray bytes;
    if (!SafeFile::exists(path) || !SafeFile::read(path, bytes))
        return {};
    return QJsonDocument::fromJson(bytes).object();
}

} // namespace

QString PublishState::path()
{
    return programFolder() + QStringLiteral("/CalendarPublish.json");
}

PublishState PublishState::load(const QString& url)
{
    PublishState state;
    state.m_url = url;
    const QJsonObject collection =
        readAll(path()).value(QStringLiteral("collections")).toObject().value(url).toObject();
    state.m_user = collection.value(QStringLiteral("user")).toString();
    for (const QJsonValue& value : collection.value(QStringLiteral("items")).toArray()) {
        const QJsonObject object = value.toObject();
        PublishedItem item;
        item.href = object.value(QStringLiteral("href")).toString();
        item.etag = object.value(QStringLiteral("etag")).toString().toUtf8();
        item.digest = object.value(QStringLiteral("digest")).toString().toUtf8();
        item.identifier = object.value(QStringLiteral("identifier")).toString().toUtf8();
        item.isMeeting = object.value(QStringLiteral("kind")).toString() == u"meeting";
        item.summary = object.value(QStringLiteral("summary")).toString();
        const QByteArray uid = object.value(QStringLiteral("uid")).toString().toUtf8();
        if (!uid.isEmpty() && !item.href.isEmpty())
            state.m_items.insert(uid, item);
    }
    return state;
}

QString PublishState::save() const
{
    QJsonObject all = readAll(path());
    QJsonObject collections = all.value(QStringLiteral("collections")).toObject();
    QJsonArray items;
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        items.append(QJsonObject{
            {QStringLiteral("uid"), QString::fromUtf8(it.key())},
            {QStringLiteral("href"), it->href},
            {QStringLiteral("etag"), QString::fromUtf8(it->etag)},
            {QStringLiteral("digest"), QString::fromUtf8(it->digest)},
            {QStringLiteral("identifier"), QString::fromUtf8(it->identifier)},
            {QStringLiteral("kind"), it->isMeeting ? QStringLiteral("meeting") : QStringLiteral("task")},
            {QStringLiteral("summary"), it->summary}});
    }
    collections.insert(m_url,
                       QJsonObject{{QStringLiteral("user"), m_user}, {QStringLiteral("items"), items}});
    all.insert(QStringLiteral("collections"), collections);
    all.insert(QStringLiteral("last"), m_url);
    return SafeFile::write(path(), QJsonDocument(all).toJson());
}

QString PublishState::lastUrl()
{
    return readAll(path()).value(QStringLiteral("last")).toString();
}

} // namespace korvane
