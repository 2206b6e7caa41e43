#include "views/RecordSearch.h"

#include "records/Text.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"

#include <QHash>
#include <algorithm>
#include <cstring>

namespace korvane {

// At 100,000 records the index holds half a million texts: its entries are kept small, their texts
// shared with the store's records, and the folded texts are UTF-8.
struct RecordSearch::Index
{
    struct Record
    {
        QByteArray identifier;
        QByteArray project;
        QByteArray name;
        RecordKind kind;
    };
    /** A side file whose texts belong to a record, read by `prepare`. */
    struct SideFile
    {
        quint32 record;
        ListFile file;
        QString path;
    };
    struct Text
    {
        /** The stored bytes, shared with the store's copy. */
        QByteArray bytes;
        /** Where the folded text starts in `folded`. */
        qsizetype start = 0;
        quint32 record = 0;
        /** The field's name, in `fieldNames`. */
        quint16 field = 0;
    };

    quint64 generation = 0;
    quint64 invalidations = 0;
    std::vector<Record> records;
    /** In record order; `collect` gives the records' own texts, `prepare` adds the side files' after each. */
    std::vector<Text> texts;
    std::vector<SideFile> sideFiles;
    std::vector<const char*> fieldNames;
    /** Every folded text one after the other in UTF-8, each followed by a byte no search contains. */
    QByteArray folded;

    quint16 fieldNumber(const char* name)
    {
        const auto found = std::find(fieldNames.begin(), fieldNames.end(), name);
        if (found != fieldNames.end())
            return quint16(found - fieldNames.begin());
        fieldNames.push_back(name);
        return quint16(fieldNames.size() - 1);
    }
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
void appendFolded(const QByteArray& bytes, QByteArray& out)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii) {
        out += foldText<false>(displayText(bytes), nullptr).toUtf8();
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + bytes.size());
    char* to = out.data() + at;
    for (const char c : bytes)
        *to++ = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
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
    qsizetype recordCount = 0;
    forEachRecordType(
        [&](auto type) { recordCount += m_store.records<typename decltype(type)::type>().size(); });
    index->records.reserve(std::size_t(recordCount));
    forEachRecordType([&](auto type) {
        using R = typename decltype(type)::type;
        constexpr RecordKind kind = KindOf<R>::value;
        std::vector<std::pair<QByteArray R::*, quint16>> searched;
        for (const auto& field : R::fields()) {
            const auto* member = std::get_if<QByteArray R::*>(&field.member);
            if (member && field.stored && isSearchedField(field.name))
                searched.emplace_back(*member, index->fieldNumber(field.name));
        }
        for (const auto& entry : m_store.records<R>()) {
            const R& record = entry.record;
            const auto at = quint32(index->records.size());
            Index::Record indexed{record.identifier, {}, {}, kind};
            const bool usable = RecordStore::isUsableIdentifier(record.identifier);
            const auto side = [&](ListFile file) {
                if (usable)
                    index->sideFiles.push_back({at, file, m_store.fileName(file, record.identifier)});
            };
            if constexpr (kind == RecordKind::Project) {
                indexed.project = record.identifier;
                indexed.name = record.name;
                side(ListFile::ProjectDoc);
            } else if constexpr (kind == RecordKind::Client) {
                indexed.project = projectOfClient.value(record.identifier);
                indexed.name = record.clientName;
            } else if constexpr (kind == RecordKind::Resource) {
                indexed.name = record.name;
            } else {
                indexed.project = record.projectIdentifier;
                if constexpr (kind == RecordKind::Meeting) {
                    indexed.name = record.subject;
                    side(ListFile::Agenda);
                    side(ListFile::Action);
                } else if constexpr (kind == RecordKind::Invoice) {
                    indexed.name = record.invoiceNumber;
                } else {
                    indexed.name = record.name;
                }
            }
            index->records.push_back(std::move(indexed));
            for (const auto& [member, field] : searched) {
                if (!(record.*member).isEmpty())
                    index->texts.push_back({record.*member, 0, at, field});
            }
        }
    });
    return index; // `prepare` makes the texts' list anew at its exact size
}

void RecordSearch::prepare(Index& index)
{
    // A missing or damaged side file has nothing to find; the trees and `korvane-cli check` tell of it.
    std::vector<Index::Text> side;
    const quint16 documentsField = index.fieldNumber("documents");
    const quint16 agendaField = index.fieldNumber("agenda");
    const quint16 actionsField = index.fieldNumber("actions");
    const auto add = [&](quint32 record, quint16 field, const QByteArray& bytes) {
        if (!bytes.isEmpty())
            side.push_back({bytes, 0, record, field});
    };
    for (const Index::SideFile& file : index.sideFiles) {
        if (file.file == ListFile::ProjectDoc) {
            const ProjectDocuments documents = ProjectDocuments::read(file.path);
            for (const DocumentRow& row : documents.rows()) {
                add(file.record, documentsField, row.name);
                add(file.record, documentsField, row.secondText);
                add(file.record, documentsField, row.path);
            }
        } else if (file.file == ListFile::Agenda) {
            if (const auto agenda = RecordStore::readListFile<AgendaRecord>(file.path)) {
                for (const AgendaRecord& item : *agenda)
                    add(file.record, agendaField, item.name);
            }
        } else if (const auto actions = RecordStore::readListFile<ActionRecord>(file.path)) {
            for (const ActionRecord& item : *actions) {
                add(file.record, actionsField, item.todo);
                add(file.record, actionsField, item.who);
            }
        }
    }
    std::vector<Index::SideFile>().swap(index.sideFiles);
    // A record's side files' texts come after its own, in the order the files were listed.
    std::vector<Index::Text> texts;
    texts.reserve(index.texts.size() + side.size());
    auto own = index.texts.begin();
    for (Index::Text& text : side) {
        for (; own != index.texts.end() && own->record <= text.record; ++own)
            texts.push_back(std::move(*own));
        texts.push_back(std::move(text));
    }
    std::move(own, index.texts.end(), std::back_inserter(texts));
    std::vector<Index::Text>().swap(side);
    index.texts = std::move(texts);
    qsizetype length = 0;
    for (const Index::Text& text : index.texts)
        length += text.bytes.size() + 1;
    index.folded.clear();
    index.folded.reserve(length);
    for (Index::Text& text : index.texts) {
        text.start = index.folded.size();
        appendFolded(text.bytes, index.folded);
        index.folded += '\0'; // a search text never holds it, so no match runs into the next text
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
    const QString folded = fold(text);
    const QByteArray needle = folded.toUtf8();
    const auto count = m_index ? qsizetype(m_index->texts.size()) : 0;
    if (!m_index || needle.isEmpty() || needle.contains('\0')) {
        cursor.entry = count;
        return hits;
    }
    const std::vector<Index::Text>& texts = m_index->texts;
    const QByteArray& haystack = m_index->folded;
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
        const Index::Record& record = m_index->records[texts[std::size_t(matched)].record];
        if ((!filter.kind || record.kind == *filter.kind) &&
            (!filter.projectIdentifier || record.project == *filter.projectIdentifier))
            hits.push_back(hitAt(matched, found - texts[std::size_t(matched)].start, folded.size()));
    }
    return hits;
}

SearchHit RecordSearch::hitAt(qsizetype entry, qsizetype byteOffset, qsizetype foldedLength) const
{
    const Index::Text& matched = m_index->texts[std::size_t(entry)];
    const Index::Record& record = m_index->records[matched.record];
    SearchHit hit{record.kind,
                  record.identifier,
                  record.project,
                  displayText(record.name),
                  QByteArray(m_index->fieldNames[matched.field]),
                  displayText(matched.bytes),
                  0,
                  0};
    std::vector<qsizetype> origins;
    const QString folded = fold(hit.text, origins);
    // The folded texts are kept in UTF-8; where the match starts counts in characters here.
    const qsizetype offset =
        QString::fromUtf8(m_index->folded.constData() + matched.start, byteOffset).size();
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
