#include "views/RecordSearch.h"

#include "records/Text.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"

#include <QHash>
#include <algorithm>
#include <cstring>

namespace korvane {

struct RecordSearch::Record
{
    RecordKind kind;
    QByteArray identifier;
    QByteArray project;
    QByteArray name;
};

struct RecordSearch::Entry
{
    /** Where the folded text starts in m_folded. */
    qsizetype start;
    qsizetype record;
    const char* field;
    /** The stored bytes, shared with the store's copy. */
    QByteArray bytes;
};

namespace {

// Identifiers and the task's kind word are no text a user wrote; every task would match "task".
bool isSearchedField(const char* name)
{
    const qsizetype length = qsizetype(std::strlen(name));
    return std::strcmp(name, "identifier") != 0 && std::strcmp(name, "sub_task_list") != 0 &&
           std::strcmp(name, "kind") != 0 &&
           !(length > 11 && std::strcmp(name + length - 11, "_identifier") == 0);
}

// The folded form of one character that has a decomposition: decomposed, marks dropped, case folded.
const QString& foldedDecomposable(char16_t c)
{
    thread_local QHash<char16_t, QString> cache;
    auto found = cache.constFind(c);
    if (found != cache.cend())
        return *found;
    QString folded;
    for (const QChar part : QString(QChar(c)).normalized(QString::NormalizationForm_KD)) {
        if (!part.isMark())
            folded += part;
    }
    return *cache.insert(c, folded.toCaseFolded());
}

template <bool WithOrigins> QString foldText(QStringView text, std::vector<qsizetype>* origins)
{
    QString folded;
    folded.reserve(text.size());
    if constexpr (WithOrigins) {
        origins->clear();
        origins->reserve(std::size_t(text.size()));
    }
    const auto note = [&](qsizetype at, qsizetype count) {
        if constexpr (WithOrigins)
            origins->insert(origins->end(), std::size_t(count), at);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            folded += QChar(c >= 'A' && c <= 'Z' ? c + 32 : c);
            note(i, 1);
        } else if (QChar::isSurrogate(c)) {
            folded += QChar(c); // left as it is: outside the letters that have accents or case
            note(i, 1);
        } else if (QChar::isMark(c)) {
            // a combining accent of a decomposed letter: dropped
        } else if (QChar::decompositionTag(c) != QChar::NoDecomposition) {
            const QString& part = foldedDecomposable(c);
            folded += part;
            note(i, part.size());
        } else {
            folded += QChar(char16_t(QChar::toCaseFolded(char32_t(c))));
            note(i, 1);
        }
    }
    return folded;
}

} // namespace

RecordSearch::RecordSearch(const RecordStore& store) : m_store(store) {}

RecordSearch::~RecordSearch() = default;

QString RecordSearch::fold(QStringView text)
{
    return foldText<false>(text, nullptr);
}

QString RecordSearch::fold(QStringView text, std::vector<qsizetype>& origins)
{
    return foldText<true>(text, &origins);
}

void RecordSearch::refresh()
{
    if (m_builtFor != m_store.generation())
        build();
}

void RecordSearch::addText(qsizetype record, const char* field, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    m_entries.push_back(Entry{m_folded.size(), record, field, bytes});
    m_folded += foldText<false>(displayText(bytes), nullptr);
    m_folded += QChar(0); // a search text never holds it, so no match runs into the next text
}

template <class R> void RecordSearch::addRecords()
{
    constexpr RecordKind kind = KindOf<R>::value;
    QHash<QByteArray, QByteArray> projectOfClient;
    if constexpr (kind == RecordKind::Client) {
        for (const auto& entry : m_store.projects())
            projectOfClient.insert(entry.record.clientIdentifier, entry.record.identifier);
    }
    for (const auto& entry : m_store.records<R>()) {
        const R& record = entry.record;
        Record indexed{kind, record.identifier, {}, {}};
        if constexpr (kind == RecordKind::Project) {
            indexed.project = record.identifier;
            indexed.name = record.name;
        } else if constexpr (kind == RecordKind::Client) {
            indexed.project = projectOfClient.value(record.identifier);
            indexed.name = record.clientName;
        } else if constexpr (kind == RecordKind::Resource) {
            indexed.name = record.name;
        } else {
            indexed.project = record.projectIdentifier;
            if constexpr (kind == RecordKind::Meeting)
                indexed.name = record.subject;
            else if constexpr (kind == RecordKind::Invoice)
                indexed.name = record.invoiceNumber;
            else
                indexed.name = record.name;
        }
        const qsizetype at = qsizetype(m_records.size());
        m_records.push_back(std::move(indexed));
        for (const auto& field : R::fields()) {
            if (!field.stored || !isSearchedField(field.name))
                continue;
            if (const auto* member = std::get_if<QByteArray R::*>(&field.member))
                addText(at, field.name, record.**member);
        }
        // A missing or damaged side file has nothing to find; the trees and the CLI say so elsewhere.
        if constexpr (kind == RecordKind::Meeting) {
            if (const auto agenda =
                    m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, record.identifier)) {
                for (const AgendaRecord& item : *agenda)
                    addText(at, "agenda", item.name);
            }
            if (const auto actions =
                    m_store.readMeetingList<ActionRecord>(ListFile::Action, record.identifier)) {
                for (const ActionRecord& item : *actions) {
                    addText(at, "actions", item.todo);
                    addText(at, "actions", item.who);
                }
            }
        } else if constexpr (kind == RecordKind::Project) {
            if (RecordStore::isUsableIdentifier(record.identifier)) {
                const ProjectDocuments documents =
                    ProjectDocuments::read(m_store.fileName(ListFile::ProjectDoc, record.identifier));
                for (const DocumentRow& row : documents.rows()) {
                    addText(at, "documents", row.name);
                    addText(at, "documents", row.secondText);
                    addText(at, "documents", row.path);
                }
            }
        }
    }
}

void RecordSearch::build()
{
    m_records.clear();
    m_entries.clear();
    m_folded.clear();
    forEachRecordType([this](auto type) { addRecords<typename decltype(type)::type>(); });
    m_folded.squeeze();
    m_builtFor = m_store.generation();
}

bool RecordSearch::atEnd(const Cursor& cursor) const
{
    return m_builtFor && cursor.entry >= qsizetype(m_entries.size());
}

bool RecordSearch::passes(const Record& record, const SearchFilter& filter) const
{
    return (!filter.kind || record.kind == *filter.kind) &&
           (!filter.projectIdentifier || record.project == *filter.projectIdentifier);
}

std::vector<SearchHit> RecordSearch::find(const QString& text, const SearchFilter& filter, Cursor& cursor,
                                          qsizetype limit)
{
    refresh();
    std::vector<SearchHit> hits;
    const QString needle = fold(text);
    const auto count = qsizetype(m_entries.size());
    if (needle.isEmpty() || needle.contains(QChar(0))) {
        cursor.entry = count;
        return hits;
    }
    const QStringView haystack(m_folded);
    while (cursor.entry < count && (limit < 0 || qsizetype(hits.size()) < limit)) {
        const qsizetype found = haystack.indexOf(needle, m_entries[std::size_t(cursor.entry)].start);
        if (found < 0) {
            cursor.entry = count;
            break;
        }
        // The entry holding the match: the last one that starts at or before it.
        const auto after =
            std::upper_bound(m_entries.begin() + cursor.entry, m_entries.end(), found,
                             [](qsizetype at, const Entry& entry) { return at < entry.start; });
        const qsizetype entry = qsizetype(after - m_entries.begin()) - 1;
        cursor.entry = entry + 1;
        const Entry& matched = m_entries[std::size_t(entry)];
        if (passes(m_records[std::size_t(matched.record)], filter))
            hits.push_back(hitAt(entry, found - matched.start, needle.size()));
    }
    return hits;
}

SearchHit RecordSearch::hitAt(qsizetype entry, qsizetype offset, qsizetype foldedLength) const
{
    const Entry& matched = m_entries[std::size_t(entry)];
    const Record& record = m_records[std::size_t(matched.record)];
    SearchHit hit{record.kind,
                  record.identifier,
                  record.project,
                  displayText(record.name),
                  QByteArray(matched.field),
                  displayText(matched.bytes),
                  0,
                  0};
    std::vector<qsizetype> origins;
    const QString folded = fold(hit.text, origins);
    const qsizetype last = offset + foldedLength - 1;
    if (offset < 0 || last >= folded.size())
        return hit; // cannot happen while the index was folded the same way
    hit.matchStart = origins[std::size_t(offset)];
    // The match ends where the next character of the text begins; accents dropped after it go along.
    qsizetype end = last + 1 < folded.size() ? origins[std::size_t(last + 1)] : hit.text.size();
    if (end <= origins[std::size_t(last)])
        end = origins[std::size_t(last)] + 1;
    hit.matchLength = end - hit.matchStart;
    return hit;
}

} // namespace korvane
