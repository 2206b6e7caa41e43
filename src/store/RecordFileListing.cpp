#include "store/RecordFileListing.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <dirent.h>

namespace korvane {

namespace {

bool endsWithAsciiNoCase(const char* name, std::size_t size, const char* extension, std::size_t length)
{
    if (size < length)
        return false;
    const char* tail = name + size - length;
    for (std::size_t i = 0; i < length; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        char e = extension[i];
        if (e >= 'A' && e <= 'Z')
            e = char(e - 'A' + 'a');
        if (c != e)
            return false;
    }
    return true;
}

bool isTrimmable(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/** True when an ASCII name is the store's own file name of an identifier (the extension's case aside). */
bool isOwnName(const char* name, std::size_t size, const KindNames& kind)
{
    const std::size_t prefix = std::strlen(kind.prefix);
    const std::size_t extension = std::strlen(kind.extension);
    if (size < prefix + extension || std::memcmp(name, kind.prefix, prefix) != 0)
        return false;
    const std::size_t length = size - prefix - extension;
    return length == 0 || (!isTrimmable(name[prefix]) && !isTrimmable(name[prefix + length - 1]));
}

} // namespace

std::optional<RecordKind> RecordFileListing::kindOf(const QString& name)
{
    for (int k = 0; k < 7; ++k) {
        if (name.endsWith(QLatin1String(kindNames(RecordKind(k)).extension), Qt::CaseInsensitive))
            return RecordKind(k);
    }
    return std::nullopt;
}

std::optional<RecordKind> RecordFileListing::kindOf(const char* name, std::size_t size)
{
    // Letters of other scripts are the only ones that fold to these extensions' letters.
    if (!std::all_of(name, name + size, [](char c) { return uchar(c) < 0x80; }))
        return kindOf(QFile::decodeName(QByteArray(name, qsizetype(size))));
    for (int k = 0; k < 7; ++k) {
        const char* extension = kindNames(RecordKind(k)).extension;
        if (endsWithAsciiNoCase(name, size, extension, std::strlen(extension)))
            return RecordKind(k);
    }
    return std::nullopt;
}

void RecordFileListing::forEachEntry(const QString& folder,
                                     const std::function<void(const char*, std::size_t)>& visit)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return; // an empty listing: the records of a folder that cannot be read are unknown, as a load finds
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            visit(name, std::strlen(name));
    }
    ::closedir(dir);
}

void RecordFileListing::list(const QString& folder, const std::vector<RecordKind>& kinds)
{
    std::vector<std::size_t> asked;
    for (const RecordKind kind : kinds) {
        const std::size_t k = index(kind);
        if (!m_kinds[k].listed && std::find(asked.begin(), asked.end(), k) == asked.end()) {
            asked.push_back(k);
            m_kinds[k] = Kind();
            m_kinds[k].listed = true;
        }
    }
    if (asked.empty())
        return;
    forEachEntry(folder, [&](const char* name, std::size_t size) {
        const std::optional<RecordKind> found = kindOf(name, size);
        if (!found || std::find(asked.begin(), asked.end(), index(*found)) == asked.end())
            return;
        Kind& kind = m_kinds[index(*found)];
        // Names outside ASCII may match an extension only as Unicode folds it; a full load sorts them
        // out. A kind whose names do not tell its records needs no more of them.
        if (!kind.telling || std::any_of(name, name + size, [](char c) { return uchar(c) >= 0x80; }) ||
            !isOwnName(name, size, kindNames(*found))) {
            kind.telling = false;
            return;
        }
        kind.names.push_back({quint32(kind.pool.size()), quint32(size)});
        kind.pool.append(name, size);
    });
    for (const std::size_t k : asked) {
        Kind& kind = m_kinds[k];
        const std::size_t extension = std::strlen(kindNames(RecordKind(k)).extension);
        const std::size_t prefix = std::strlen(kindNames(RecordKind(k)).prefix);
        const char* pool = kind.pool.data();
        // Sorted by the stem's first sixteen bytes after the kind's prefix (every name here has it)
        // as two numbers first: an identifier's date and time, which mostly decide, so that the
        // names themselves are compared only in a tie.
        struct Keyed
        {
            quint64 high;
            quint64 low;
            Name name;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(kind.names.size());
        for (const Name& name : kind.names) {
            unsigned char head[16] = {};
            std::memcpy(head, pool + name.at + prefix,
                        std::min<std::size_t>(16, name.size - extension - prefix));
            keyed.push_back({qFromBigEndian<quint64>(head), qFromBigEndian<quint64>(head + 8), name});
        }
        std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
            if (a.high != b.high || a.low != b.low)
                return a.high != b.high ? a.high < b.high : a.low < b.low;
            const std::string_view stemA(pool + a.name.at, a.name.size - extension);
            const std::string_view stemB(pool + b.name.at, b.name.size - extension);
            if (stemA != stemB)
                return stemA < stemB;
            return std::string_view(pool + a.name.at, a.name.size) <
                   std::string_view(pool + b.name.at, b.name.size);
        });
        for (std::size_t i = 0; i < keyed.size(); ++i)
            kind.names[i] = keyed[i].name;
    }
}

void RecordFileListing::clear()
{
    m_kinds = {};
}

bool RecordFileListing::namesTell(RecordKind kind) const
{
    const Kind& listed = m_kinds[index(kind)];
    return listed.listed && listed.telling;
}

std::pair<std::vector<RecordFileListing::Name>::const_iterator,
          std::vector<RecordFileListing::Name>::const_iterator>
RecordFileListing::range(RecordKind kind, const QByteArray& own) const
{
    const Kind& listed = m_kinds[index(kind)];
    const std::size_t extension = std::strlen(kindNames(kind).extension);
    if (std::size_t(own.size()) < extension)
        return {listed.names.end(), listed.names.end()};
    const std::string_view stem(own.constData(), std::size_t(own.size()) - extension);
    const char* pool = listed.pool.data();
    auto stemOf = [&](const Name& name) { return std::string_view(pool + name.at, name.size - extension); };
    const auto first = std::partition_point(listed.names.begin(), listed.names.end(),
                                            [&](const Name& name) { return stemOf(name) < stem; });
    const auto last = std::partition_point(first, listed.names.end(),
                                           [&](const Name& name) { return stemOf(name) == stem; });
    return {first, last};
}

bool RecordFileListing::contains(RecordKind kind, const QString& ownName) const
{
    return contains(kind, QFile::encodeName(ownName));
}

bool RecordFileListing::contains(RecordKind kind, const QByteArray& ownName) const
{
    const auto [first, last] = range(kind, ownName);
    return first != last;
}

QStringList RecordFileListing::namesOf(RecordKind kind, const QString& ownName) const
{
    const Kind& listed = m_kinds[index(kind)];
    const auto [first, last] = range(kind, QFile::encodeName(ownName));
    QStringList names;
    for (auto it = first; it != last; ++it)
        names.append(QFile::decodeName(QByteArray(listed.pool.data() + it->at, qsizetype(it->size))));
    return names;
}

} // namespace korvane
