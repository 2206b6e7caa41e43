#pragma once

#include <QByteArray>
#include <QFile>
#include <zip.h>

namespace korvane::testing {

/** The bytes of one entry of a zip package, or "" when the package or the entry cannot be read. */
inline QByteArray zipEntry(const QString& archivePath, const char* name)
{
    zip_t* archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, nullptr);
    if (!archive)
        return {};
    QByteArray content;
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) == 0) {
        if (zip_file_t* file = zip_fopen(archive, name, 0)) {
            content.resize(qsizetype(stat.size));
            if (zip_fread(file, content.data(), stat.size) != zip_int64_t(stat.size))
                content.clear();
            zip_fclose(file);
        }
    }
    zip_close(archive);
    return content;
}

} // namespace korvane::testing
