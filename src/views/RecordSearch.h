#pragma once

#include "store/RecordKind.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

namespace korvane {

class RecordStore;

/** One text of one record that holds what was looked for. */
struct SearchHit
{
    RecordKind kind = RecordKind::Project;
    QByteArray identifier;
    /** The project the record belongs to: "" for resources and for clients that no project holds. */
    QByteArray projectIdentifier;
    /** The record's name as lists show it (a meeting's subject, an invoice's number). */
    QString name;
    /** The field's JSON name, or "agenda", "actions" or "documents" for the texts of those files. */
    QByteArray field;
    /** The text as shown, with its line feeds. */
    QString text;
    /** Where the match lies in `text`. */
    qsizetype matchStart = 0;
    qsizetype matchLength = 0;
};

/** Which records a search looks at: one kind, one project, or all. */
struct SearchFilter
{
    std::optional<RecordKind> kind;
    /** Only the records of this project (its client included), when set. */
    std::optional<QByteArray> projectIdentifier;
};

/**
 * Finds the records whose texts contain a given text, case and accents aside. The texts of every
 * record, with its meeting's agenda and actions and its project's documents, are folded once into
 * an index; a search then only scans that index, so a search can start at every keystroke and can
 * stop after its first screenful and go on later. The index can be prepared on another thread.
 */
class RecordSearch
{
public:
    /** The folded texts of one generation of the store; read-only once prepared. */
    struct Index;

    /** Where a search stopped; a later call goes on from there. */
    struct Cursor
    {
        qsizetype entry = 0;
    };

    /** A search over the store's records; the index is built on the first search. */
    explicit RecordSearch(const RecordStore& store);
    ~RecordSearch();

    /**
     * Takes from the store what an index is made of (its texts shared, not copied, and the side files'
     * paths); quick, and to be called on the thread that changes the store.
     */
    std::shared_ptr<Index> collect() const;
    /** Reads the side files and folds every text: the slow part of building an index, safe on any thread. */
    static void prepare(Index& index);
    /** Searches a prepared index from now on. */
    void setIndex(std::shared_ptr<const Index> index);
    /** True when the index was built from the store as it is now. */
    bool isCurrent() const;
    /** True when there is an index to search, current or not. */
    bool hasIndex() const { return m_index != nullptr; }

    /** Builds the index again when the store or its side files may have changed since it was built. */
    void refresh();
    /** Makes the index count as out of date (for changes the store does not count, such as documents). */
    void invalidate() { ++m_invalidations; }

    /**
     * Up to `limit` hits from `cursor` on, in index order (kind by kind as the store loads them, a
     * record's fields in their table's order, a meeting's agenda and actions and a project's documents
     * after its fields), from the index as it is (`refresh` first for a current one). `cursor` moves
     * past what was looked at.
     */
    std::vector<SearchHit> find(const QString& text, const SearchFilter& filter, Cursor& cursor,
                                qsizetype limit = -1) const;
    /** True when a search from `cursor` has nothing left to look at. */
    bool atEnd(const Cursor& cursor) const;

    /** Lower-case, without accents: the form searches compare. */
    static QString fold(QStringView text);
    /**
     * Like `fold`, and gives for each character of the result the position in `text` of the character
     * it came from.
     */
    static QString fold(QStringView text, std::vector<qsizetype>& origins);

private:
    SearchHit hitAt(qsizetype entry, qsizetype byteOffset, qsizetype foldedLength) const;

    const RecordStore& m_store;
    std::shared_ptr<const Index> m_index;
    quint64 m_invalidations = 0;
};

} // namespace korvane
