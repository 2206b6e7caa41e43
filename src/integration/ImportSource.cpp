#include "integration/ImportSource.h"

#include "integration/CalendarReader.h"
#include "integration/ImportItems.h"
#include "integration/VCardReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace korvane {

namespace {

QString fileError(const QString& path, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(path, reason);
}

/** Reads at most MaxFileSize bytes; an empty text on success, otherwise the reason. */
QString readFile(const QString& path, QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (!info.isFile())
        return QStringLiteral("is not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    // The size is checked on what is read, not on what the folder claims, so a growing file is bounded too.
    // The claimed size only sizes the first read: reading MaxFileSize + 1 at once would take a 64 MiB
    // buffer for every file, however small.
    qint64 chunk = std::min(info.size(), ImportSource::MaxFileSize) + 1;
    bytes.clear();
    while (bytes.size() <= ImportSource::MaxFileSize && !file.atEnd()) {
        const QByteArray part = file.read(std::min(chunk, ImportSource::MaxFileSize + 1 - bytes.size()));
        if (part.isEmpty())
            break;
        bytes += part;
        chunk = qint64(1) << 20;
    }
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (bytes.size() > ImportSource::MaxFileSize)
        return QStringLiteral("the file is larger than %1 MiB").arg(ImportSource::MaxFileSize >> 20);
    return {};
}

} // namespace

QByteArray ImportSource::normalisedText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString text = decoder.decode(bytes.mid(2));
        return text.toUtf8();
    }
    return bytes;
}

ImportReadResult ImportSource::read(ImportKind kind, const QString& path, const QByteArray& projectIdentifier)
{
    ImportReadResult result;
    QByteArray bytes;
    QString reason = readFile(path, bytes);
    if (reason.isEmpty()) {
        bytes = normalisedText(bytes);
        if (bytes.contains('\0'))
            reason = QStringLiteral("is not a text file (it holds NUL bytes)");
    }
    if (reason.isEmpty()) {
        switch (kind) {
        case ImportKind::Contacts: {
            QList<ContactItem> contacts;
            reason = VCardReader::read(bytes, contacts);
            for (const ContactItem& contact : std::as_const(contacts))
                result.rows.append(ImportItems::row(ImportItems::resource(contact)));
            break;
        }
        case ImportKind::Tasks: {
            QList<TaskItem> tasks;
            reason = CalendarReader::readTasks(bytes, tasks);
            for (const TaskItem& task : std::as_const(tasks))
                result.rows.append(ImportItems::row(ImportItems::task(task, projectIdentifier)));
            break;
        }
        case ImportKind::Meetings: {
            QList<AppointmentItem> appointments;
            reason = CalendarReader::readAppointments(bytes, appointments);
            for (const AppointmentItem& appointment : std::as_const(appointments))
                result.rows.append(ImportItems::row(ImportItems::meeting(appointment, projectIdentifier)));
            break;
        }
        }
    }
    if (!reason.isEmpty()) {
        result.rows.clear();
        result.error = fileError(path, reason);
    }
    return result;
}

QString ImportSource::noItemsMessage(ImportKind kind, const QString& path)
{
    const char* what = kind == ImportKind::Contacts ? "Contacts"
                       : kind == ImportKind::Tasks  ? "Tasks"
                                                    : "Meetings";
    return QStringLiteral("No %1 was Found in %2").arg(QLatin1String(what), path);
}

QString ImportSource::caption(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Contacts:
        return QStringLiteral("Import Contacts");
    case ImportKind::Tasks:
        return QStringLiteral("Import Tasks");
    case ImportKind::Meetings:
        break;
    }
    return QStringLiteral("Import Meetings/Appointments");
}

QString ImportSource::columnHeading(ImportKind kind)
{
    return kind == ImportKind::Contacts ? QStringLiteral("Name") : QStringLiteral("Subject");
}

} // namespace korvane
