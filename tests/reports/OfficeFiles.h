#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QUrl>
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

/**
 * Converts a file with LibreOffice headless into outDir; `profile` is its home and profile folder, so the
 * run neither needs nor touches the user's. Returns "" or what went wrong.
 */
inline QString convertWithOffice(const QString& file, const QString& filter, const QString& outDir,
                                 const QString& profile)
{
    QProcess soffice;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), profile);
    soffice.setProcessEnvironment(env);
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start(QStringLiteral("soffice"),
                  {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile + "/lo").toString(),
                   QStringLiteral("--headless"), QStringLiteral("--norestore"),
                   QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, file});
    // A generous limit, only so that a hung office suite ends the test instead of blocking it.
    if (!soffice.waitForFinished(300000)) {
        soffice.kill();
        soffice.waitForFinished();
        return QStringLiteral("soffice did not finish: ") + QString::fromLocal8Bit(soffice.readAll());
    }
    if (soffice.exitStatus() != QProcess::NormalExit || soffice.exitCode() != 0)
        return QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(soffice.readAll());
    return {};
}

} // namespace korvane::testing
