#pragma once

#include "store/RecordId.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <array>
#include <cstdint>
#include <list>
#include <set>

namespace korvane {

/**
 * The records of one kind keyed by identifier, enumerated in the order users have always seen:
 * buckets 0 to 16 of the identifier's hash, newest insertion first within a bucket unless entries
 * are repositioned. Replacing a record keeps its place; removing and adding it again moves it to the
 * front of its bucket.
 * Lookup, insertion and removal cost the same whatever the map's size.
 */
template <class R>
class RecordMap
{
public:
    static constexpr int kBuckets = 17;

    struct Entry
    {
        QByteArray key;
        R record;
        int bucket;
        std::uint64_t sequence;
    };
    using Bucket = std::list<Entry>;

    /** Walks the entries in enumeration order. */
    class const_iterator
    {
    public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;

        const_iterator() = default;
        const_iterator(const std::array<Bucket, kBuckets>* buckets, int bucket, typename Bucket::const_iterator it)
            : m_buckets(buckets), m_bucket(bucket), m_it(it)
        {
            skipEmpty();
        }
        const Entry& operator*() const { return *m_it; }
        const Entry* operator->() const { return &*m_it; }
        const_iterator& operator++()
        {
            ++m_it;
            skipEmpty();
            return *this;
        }
        bool operator==(const const_iterator& other) const
        {
            return m_bucket == other.m_bucket && (m_bucket == kBuckets || m_it == other.m_it);
        }

    private:
        void skipEmpty()
        {
            while (m_bucket < kBuckets && m_it == (*m_buckets)[m_bucket].end()) {
                ++m_bucket;
                if (m_bucket < kBuckets)
                    m_it = (*m_buckets)[m_bucket].begin();
            }
        }
        const std::array<Bucket, kBuckets>* m_buckets = nullptr;
        int m_bucket = kBuckets;
        typename Bucket::const_iterator m_it;
    };

    const_iterator begin() const { return const_iterator(&m_buckets, 0, m_buckets[0].begin()); }
    const_iterator end() const { return const_iterator(&m_buckets, kBuckets, {}); }

    qsizetype size() const { return m_index.size(); }
    bool isEmpty() const { return m_index.isEmpty(); }
    bool contains(const QByteArray& key) const { return m_index.contains(key); }

    /** The stored record, or nullptr when the key is unknown. */
    const R* find(const QByteArray& key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &(*it)->record;
    }

    /** The entry of a key, for ordering it among others; nullptr when unknown. */
    const Entry* entry(const QByteArray& key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &**it;
    }

    /** Stores the record under the key: in place when the key exists, else at the front of its bucket. */
    const Entry& insertOrAssign(const QByteArray& key, const R& record)
    {
        const auto found = m_index.find(key);
        if (found != m_index.end()) {
            (*found)->record = record;
            return **found;
        }
        const int bucket = RecordId::bucketOf(key);
        Bucket& list = m_buckets[bucket];
        list.push_front(Entry{key, record, bucket, ++m_sequence});
        m_index.insert(key, list.begin());
        return list.front();
    }

    /** Removes the key; returns false when it was not there. */
    bool remove(const QByteArray& key)
    {
        const auto found = m_index.find(key);
        if (found == m_index.end())
            return false;
        const auto it = *found;
        m_index.erase(found);
        m_buckets[it->bucket].erase(it);
        return true;
    }

    /**
     * Moves the entries of the given keys to where `before` places them among the other entries of
     * their buckets, which `before` must already order: `before(a, b)` is true when key a comes
     * first. Unknown keys are passed over. Entries keep their addresses; the sequences of each bucket
     * touched are numbered anew in its order, so the relative order of entries that did not move is
     * kept and indexes holding only those stay valid, while moved entries must leave indexes first.
     */
    template <class Before> void reposition(const QList<QByteArray>& keys, Before before)
    {
        std::array<Bucket, kBuckets> moving;
        for (const QByteArray& key : keys) {
            const auto found = m_index.constFind(key);
            if (found == m_index.cend())
                continue;
            const auto it = *found;
            // Splicing keeps iterators valid, so the key index needs no change.
            moving[it->bucket].splice(moving[it->bucket].end(), m_buckets[it->bucket], it);
        }
        const auto order = [&before](const Entry& a, const Entry& b) { return before(a.key, b.key); };
        for (int b = 0; b < kBuckets; ++b) {
            if (moving[b].empty())
                continue;
            moving[b].sort(order);
            m_buckets[b].merge(moving[b], order);
            std::uint64_t sequence = m_sequence + m_buckets[b].size();
            m_sequence = sequence;
            for (Entry& entry : m_buckets[b])
                entry.sequence = sequence--;
        }
    }

    void clear()
    {
        for (Bucket& bucket : m_buckets)
            bucket.clear();
        m_index.clear();
    }

    /** Orders entries as the map enumerates them, for indexes that must list in the same order. */
    struct EnumerationLess
    {
        bool operator()(const Entry* a, const Entry* b) const
        {
            if (a->bucket != b->bucket)
                return a->bucket < b->bucket;
            return a->sequence > b->sequence;
        }
    };
    using OrderedEntries = std::set<const Entry*, EnumerationLess>;

private:
    std::array<Bucket, kBuckets> m_buckets;
    QHash<QByteArray, typename Bucket::iterator> m_index;
    std::uint64_t m_sequence = 0;
};

} // namespace korvane
