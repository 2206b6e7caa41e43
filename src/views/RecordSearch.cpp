#include "views/RecordSearch.h"

#include "records/Text.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"

#include <QHash>
#include <algorithm>
#include <cstring>

namespace korvane {

struct RecordSearch::Index
{
    struct Record
    {
        RecordKind kind;
        QByteArray identifier;
        QByteArray project;
        QByteArray name;
        /** The side files whose texts belong to the record; "" for none. */
        QString agendaPath;
        QString actionPath;
        QString documentsPath;
    };
    struct Text
    {
        qsizetype record;
        const char* field;
        /** The stored bytes, shared with the store's copy. */
        QByteArray bytes;
        /** Where the folded text starts in `folded`. */
        qsizetype start = 0;
    };

    quint64 generation = 0;
    quint64 invalidations = 0;
    std::vector<Record> records;
    /** In record order; `collect` gives the records' own texts, `prepare` adds the side files' after each. */
    std::vector<Text> texts;
    /** Every folded text one after the other, each followed by a character no search contains. */
    QString folded;
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

/** Appends the folded display text of stored bytes; plain ASCII, by far the most common, directly. */
void appendFolded(const QByteArray& bytes, QString& out)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii) {
        out += foldText<false>(displayText(bytes), nullptr);
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + bytes.size());
    QChar* to = out.data() + at;
    for (const char c : bytes)
        *to++ = QLatin1Char(c >= 'A' && c <= 'Z' ? char(c + 32) : c);
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

std::shared_ptr<RecordSearch::Index> RecordSearch::collect() const
{
    auto index = std::make_shared<Index>();
    index->generation = m_store.generation();
    index->invalidations = m_invalidations;
    QHash<QByteArray, QByteArray> projectOfClient;
    for (const auto& entry : m_store.projects())
        projectOfClient.insert(entry.record.clientIdentifier, entry.record.identifier);
    forEachRecordType([&](auto type) {
        using R = typename decltype(type)::type;
        constexpr RecordKind kind = KindOf<R>::value;
        for (const auto& entry : m_store.records<R>()) {
            const R& record = entry.record;
            Index::Record indexed{kind, record.identifier, {}, {}, {}, {}, {}};
            const bool usable = RecordStore::isUsableIdentifier(record.identifier);
            if constexpr (kind == RecordKind::Project) {
                indexed.project = record.identifier;
                indexed.name = record.name;
                if (usable)
                    indexed.documentsPath = m_store.fileName(ListFile::ProjectDoc, record.identifier);
            } else if constexpr (kind == RecordKind::Client) {
                indexed.project = projectOfClient.value(record.identifier);
                indexed.name = record.clientName;
            } else if constexpr (kind == RecordKind::Resource) {
                indexed.name = record.name;
            } else {
                indexed.project = record.projectIdentifier;
                if constexpr (kind == RecordKind::Meeting) {
                    indexed.name = record.subject;
                    if (usable) {
                        indexed.agendaPath = m_store.fileName(ListFile::Agenda, record.identifier);
                        indexed.actionPath = m_store.fileName(ListFile::Action, record.identifier);
                    }
                } else if constexpr (kind == RecordKind::Invoice) {
                    indexed.name = record.invoiceNumber;
                } else {
                    indexed.name = record.name;
                }
            }
            const auto at = qsizetype(index->records.size());
            index->records.push_back(std::move(indexed));
            for (const auto& field : R::fields()) {
                if (!field.stored || !isSearchedField(field.name))
                    continue;
                const auto* member = std::get_if<QByteArray R::*>(&field.member);
                if (member && !(record.*(*member)).isEmpty())
                    index->texts.push_back({at, field.name, record.*(*member)});
            }
        }
    });
    return index;
}

void RecordSearch::prepare(Index& index)
{
    std::vector<Index::Text> texts;
    texts.reserve(index.texts.size());
    const auto add = [&](qsizetype record, const char* field, const QByteArray& bytes) {
        if (!bytes.isEmpty())
            texts.push_back({record, field, bytes});
    };
    // A missing or damaged side file has nothing to find; the trees and `korvane-cli check` tell of it.
    auto own = index.texts.begin();
    for (qsizetype at = 0; at < qsizetype(index.records.size()); ++at) {
        for (; own != index.texts.end() && own->record == at; ++own)
            texts.push_back(std::move(*own));
        const Index::Record& record = index.records[std::size_t(at)];
        if (!record.documentsPath.isEmpty()) {
            const ProjectDocuments documents = ProjectDocuments::read(record.documentsPath);
            for (const DocumentRow& row : documents.rows()) {
                add(at, "documents", row.name);
                add(at, "documents", row.secondText);
                add(at, "documents", row.path);
            }
        }
        if (!record.agendaPath.isEmpty()) {
            if (const auto agenda = RecordStore::readListFile<AgendaRecord>(record.agendaPath)) {
                for (const AgendaRecord& item : *agenda)
                    add(at, "agenda", item.name);
            }
        }
        if (!record.actionPath.isEmpty()) {
            if (const auto actions = RecordStore::readListFile<ActionRecord>(record.actionPath)) {
                for (const ActionRecord& item : *actions) {
                    add(at, "actions", item.todo);
                    add(at, "actions", item.who);
                }
            }
        }
    }
    index.texts = std::move(texts);
    qsizetype length = 0;
    for (const Index::Text& text : index.texts)
        length += text.bytes.size() + 1;
    index.folded.clear();
    index.folded.reserve(length);
    for (Index::Text& text : index.texts) {
        text.start = index.folded.size();
        appendFolded(text.bytes, index.folded);
        index.folded += QChar(0); // a search text never holds it, so no match runs into the next text
    }
    index.folded.squeeze();
}

void RecordSearch::setIndex(std::shared_ptr<const Index> index)
{
    m_index = std::move(index);
}

bool RecordSearch::isCurrent() const
{
    return m_index && m_index->generation == m_store.generation() &&
           m_index->invalidations == m_invalidations;
}

void RecordSearch::refresh()
{
    if (isCurrent())
        return;
    std::shared_ptr<Index> index = collect();
    prepare(*index);
    setIndex(std::move(index));
}

bool RecordSearch::atEnd(const Cursor& cursor) const
{
    return !m_index || cursor.entry >= qsizetype(m_index->texts.size());
}

std::vector<SearchHit> RecordSearch::find(const QString& text, const SearchFilter& filter, Cursor& cursor,
                                          qsizetype limit) const
{
    std::vector<SearchHit> hits;
    const QString needle = fold(text);
    const auto count = m_index ? qsizetype(m_index->texts.size()) : 0;
    if (!m_index || needle.isEmpty() || needle.contains(QChar(0))) {
        cursor.entry = count;
        return hits;
    }
    const std::vector<Index::Text>& texts = m_index->texts;
    const QStringView haystack(m_index->folded);
    while (cursor.entry < count && (limit < 0 || qsizetype(hits.size()) < limit)) {
        const qsizetype found = haystack.indexOf(needle, texts[std::size_t(cursor.entry)].start);
        if (found < 0) {
            cursor.entry = count;
            break;
        }
        // The text holding the match: the last one that starts at or before it.
        const auto after = std::upper_bound(texts.begin() + cursor.entry, texts.end(), found,
                                            [](qsizetype at, const Index::Text& t) { return at < t.start; });
        const qsizetype matched = qsizetype(after - texts.begin()) - 1;
        cursor.entry = matched + 1;
        const Index::Record& record = m_index->records[std::size_t(texts[std::size_t(matched)].record)];
        if ((!filter.kind || record.kind == *filter.kind) &&
            (!filter.projectIdentifier || record.project == *filter.projectIdentifier))
            hits.push_back(hitAt(matched, found - texts[std::size_t(matched)].start, needle.size()));
    }
    return hits;
}

SearchHit RecordSearch::hitAt(qsizetype entry, qsizetype offset, qsizetype foldedLength) const
{
    const Index::Text& matched = m_index->texts[std::size_t(entry)];
    const Index::Record& record = m_index->records[std::size_t(matched.record)];
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
