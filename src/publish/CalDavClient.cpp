#include "publish/CalDavClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QXmlStreamReader>

namespace korvane {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

QString hostOf(const QUrl& url)
{
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

} // namespace

CalDavClient::CalDavClient(const QUrl& collection, const QString& user, const QString& password)
    : m_collection(collection), m_network(std::make_unique<QNetworkAccessManager>())
{
    if (!m_collection.path().endsWith(QLatin1Char('/')))
        m_collection.setPath(m_collection.path() + QLatin1Char('/'));
    if (!user.isEmpty())
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    // Redirects are followed only to the same scheme, so a password never leaves HTTPS for HTTP.
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

CalDavClient::~CalDavClient() = default;

DavReply CalDavClient::send(const QByteArray& verb, const QString& path, const QByteArray& body,
                            const QList<std::pair<QByteArray, QByteArray>>& headers)
{
    QUrl url = m_collection;
    url.setPath(path);
    QNetworkRequest request(url);
    if (!m_authorization.isEmpty())
        request.setRawHeader("Authorization", m_authorization);
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    request.setTransferTimeout(m_timeout);

    QNetworkReply* reply = m_network->sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    // The transfer timeout covers a silent server; this covers one that trickles bytes for ever.
    QObject::connect(&guard, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    guard.start(m_timeout * 2);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    DavReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        result.body = reply->readAll();
    result.etag = reply->rawHeader("ETag");
    if (result.status == 0) {
        const QString host = hostOf(m_collection);
        switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError:
            result.failure =
                QStringLiteral("The calendar server at %1 refused the connection: it is not running, or the "
                               "address or port is wrong.")
                    .arg(host);
            break;
        case QNetworkReply::HostNotFoundError:
            result.failure =
                QStringLiteral("The calendar server %1 was not found: check the address.").arg(host);
            break;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            result.failure = QStringLiteral("The calendar server at %1 did not answer within %2 seconds.")
                                 .arg(host)
                                 .arg(m_timeout / 1000);
            break;
        default:
            result.failure = QStringLiteral("The calendar server at %1 could not be reached: %2")
                                 .arg(host, reply->errorString());
        }
    }
    reply->deleteLater();
    return result;
}

QString CalDavClient::explain(const DavReply& reply, const QString& what) const
{
    if (!reply.failure.isEmpty())
        return reply.failure;
    switch (reply.status) {
    case 401:
        return QStringLiteral("The calendar server refused the login: check the user name and password.");
    case 403:
        return QStringLiteral("The calendar server does not let this user change %1.")
            .arg(m_collection.toDisplayString());
    case 404:
    case 405:
        return QStringLiteral("%1 is not a calendar collection on the server: check the address.")
            .arg(m_collection.toDisplayString());
    default:
        return QStringLiteral("The calendar server answered %1 to %2.").arg(reply.status).arg(what);
    }
}

QString CalDavClient::checkCollection()
{
    if (!m_collection.isValid() || m_collection.host().isEmpty() ||
        (m_collection.scheme() != u"http" && m_collection.scheme() != u"https"))
        return QStringLiteral("\"%1\" is not an http:// or https:// address of a calendar.")
            .arg(m_collection.toDisplayString());
    const DavReply reply = send(
        "PROPFIND", m_collection.path(),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/>"
        "</D:prop></D:propfind>",
        {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}});
    if (reply.status != 207)
        return explain(reply, QStringLiteral("the question for the calendar"));
    QXmlStreamReader xml(reply.body);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"calendar" && xml.namespaceUri() == kCalDav)
            return {};
    }
    return QStringLiteral("%1 is not a calendar collection on the server: check the address.")
        .arg(m_collection.toDisplayString());
}

bool CalDavClient::listItems(QHash<QString, QByteArray>& etags, QString& error)
{
    const DavReply reply =
        send("PROPFIND", m_collection.path(),
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:getetag/>"
             "</D:prop></D:propfind>",
             {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
    if (reply.status != 207) {
        error = explain(reply, QStringLiteral("the list of calendar items"));
        return false;
    }
    QXmlStreamReader xml(reply.body);
    QString href;
    QByteArray etag;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.namespaceUri() == kDav) {
            if (xml.name() == u"response") {
                href.clear();
                etag.clear();
            } else if (xml.name() == u"href") {
                href = QUrl(m_collection).resolved(QUrl(xml.readElementText().trimmed())).path();
            } else if (xml.name() == u"getetag") {
                etag = xml.readElementText().trimmed().toUtf8();
            }
        } else if (xml.isEndElement() && xml.namespaceUri() == kDav && xml.name() == u"response") {
            if (!href.isEmpty() && href != m_collection.path())
                etags.insert(href, etag);
        }
    }
    if (xml.hasError()) {
        error =
            QStringLiteral("The calendar server's list of items cannot be read: %1").arg(xml.errorString());
        return false;
    }
    return true;
}

} // namespace korvane
