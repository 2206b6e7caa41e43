#pragma once

#include "store/RecordKind.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

/**
 * The names of a data folder's record files of some kinds, as one listing of the folder found them,
 * held without a text object per name: a folder of a hundred thousand records is listed in a few
 * blocks of memory, so that a command about one record costs little more than the directory read.
 */
class RecordFileListing
{
public:
    /**
     * Lists the folder's files of the kinds asked for that are not listed yet (the other kinds stay
     * as they were). Extensions match in any letter case, as a load matches them.
     */
    void list(const QString& folder, const std::vector<RecordKind>& kinds);
    /** Forgets every kind. */
    void clear();

    bool isListed(RecordKind kind) const { return m_kinds[index(kind)].listed; }
    /**
     * True when every listed file of the kind is named as the store names its identifier's file (the
     * extension's letter case aside), so that names alone tell which file holds which record.
     */
    bool namesTell(RecordKind kind) const;
    /** True when a listed file of the kind has the given own file name, in any extension case. */
    bool contains(RecordKind kind, const QString& ownName) const;
    /** The same for a name given in the file system's bytes. */
    bool contains(RecordKind kind, const QByteArray& ownName) const;
    /** The listed files whose own name is the given one, ordered byte by byte as a load reads them. */
    QStringList namesOf(RecordKind kind, const QString& ownName) const;

    /**
     * The kind whose extension ends the file name in any letter case (as Unicode folds it), or
     * nothing. A kind's number is its place in the load order.
     */
    static std::optional<RecordKind> kindOf(const QString& name);
    /** The same for a name as the directory holds it, without making text of most names. */
    static std::optional<RecordKind> kindOf(const char* name, std::size_t size);
    /** Calls `visit` with every entry's name in the folder but "." and "..", straight from the directory. */
    static void forEachEntry(const QString& folder,
                             const std::function<void(const char*, std::size_t)>& visit);

private:
    struct Name
    {
        /** Where the name starts in the pool, and its length in bytes. */
        quint32 at;
        quint32 size;
    };
    struct Kind
    {
        bool listed = false;
        bool telling = true;
        /** The names back to back, extensions as found. */
        std::string pool;
        /** Ordered by own name (extension as the store writes it), then byte by byte. */
        std::vector<Name> names;
    };

    static std::size_t index(RecordKind kind) { return std::size_t(kind); }
    /** The range of names whose own name is `own` (the name's bytes with the extension's case set). */
    std::pair<std::vector<Name>::const_iterator, std::vector<Name>::const_iterator>
    range(RecordKind kind, const QByteArray& own) const;

    std::array<Kind, 7> m_kinds;
};

} // namespace korvane
