#include "store/ProjectDocuments.h"

#include "records/Archive.h"
#include "store/ProgramFolder.h"
#include "store/SafeFile.h"

#include <QFileInfo>
#include <algorithm>

namespace korvane {

ProjectDocuments ProjectDocuments::read(const QString& path, bool* ok)
{
    QByteArray bytes;
    if (!SafeFile::read(path, bytes)) {
        if (ok)
            *ok = false;
        return {};
    }
    return fromBytes(bytes, ok);
}

ProjectDocuments ProjectDocuments::fromBytes(const QByteArray& bytes, bool* ok)
{
    ArchiveReader reader(bytes);
    ProjectDocuments documents;
    // The stored count is only a summary; the ten rows always follow it.
    std::int32_t storedCount = 0;
    reader.readInt32(storedCount);
    for (DocumentRow& row : documents.m_rows) {
        reader.readText(row.name);
        reader.readText(row.secondText);
        reader.readText(row.path);
    }
    if (ok)
        *ok = reader.ok();
    return reader.ok() ? documents : ProjectDocuments{};
}

std::int32_t ProjectDocuments::readCount(const QString& path)
{
    QByteArray bytes;
    if (!SafeFile::read(path, bytes))
        return 0;
    ArchiveReader reader(bytes);
    std::int32_t count = 0;
    return reader.readInt32(count) ? count : 0;
}

QString ProjectDocuments::resetScratch(const QString& path)
{
    return ProjectDocuments{}.write(path);
}

QString ProjectDocuments::copyFile(const QString& from, const QString& to)
{
    if (!QFileInfo::exists(from))
        return {};
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(from, bytes, &error))
        return error;
    return SafeFile::write(to, bytes);
}

QString ProjectDocuments::scratchPath()
{
    return programFolder() + QStringLiteral("/ProjectDoc.doc");
}

std::int32_t ProjectDocuments::count() const
{
    return std::int32_t(
        std::count_if(m_rows.begin(), m_rows.end(), [](const DocumentRow& row) { return row.counts(); }));
}

QByteArray ProjectDocuments::toBytes() const
{
    ArchiveWriter writer;
    writer.writeInt32(count());
    for (const DocumentRow& row : m_rows) {
        writer.writeText(row.name);
        writer.writeText(row.secondText);
        writer.writeText(row.path);
    }
    return writer.data();
}

QString ProjectDocuments::write(const QString& path) const
{
    return SafeFile::write(path, toBytes());
}

} // namespace korvane
