#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <ctime>

namespace korvane {

/**
 * What the record files of a data folder looked like when they were last read (identity, size,
 * change times), so that reading the folder again can be skipped when nothing in it changed.
 *
 * A file changed twice within its file system's timestamp step keeps its stamp, so files whose
 * modification time lies within a few seconds of the moment the stamps were taken also keep a
 * checksum of their contents, and are read once more to compare.
 */
class FolderStamps
{
public:
    /** Stamps the given files of the folder (names relative to it); the moment is taken first. */
    static FolderStamps take(const QString& folder, const QStringList& names);

    /** Notes the contents just read from a stamped file, kept when its stamp is too recent to trust. */
    void noteContents(const QString& name, const QByteArray& bytes);

    /** True when these stamps show the very files that `earlier` stamped, with the same contents. */
    bool unchangedSince(const FolderStamps& earlier) const;

    /** Takes a fresh stamp of a file the program itself just wrote with these bytes. */
    void noteWritten(const QString& name, const QByteArray& bytes);
    /** Forgets a file the program itself just removed. */
    void noteRemoved(const QString& name);
    /** Makes the next comparison fail, for changes that reading the folder would not reproduce. */
    void invalidate() { m_valid = false; }

private:
    struct Stamp
    {
        bool stated = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        quint32 mode = 0;
        timespec modified{};
        timespec changed{};
        /** Set when the stamp alone cannot tell a later change: compare the contents. */
        bool recent = false;
        bool hasChecksum = false;
        size_t checksum = 0;

        bool sameFileAs(const Stamp& other) const;
    };

    Stamp stampOf(const QString& name) const;

    QString m_folder;
    bool m_valid = false;
    time_t m_takenAt = 0;
    QHash<QString, Stamp> m_stamps;
};

} // namespace korvane
