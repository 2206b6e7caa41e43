#include "edits/History.h"

#include "edits/ApplyChange.h"

#include "records/Clock.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace korvane {

namespace {

std::atomic<bool> g_kept{true};
std::atomic<qint64> g_maxBytes{History::kDefaultMaxBytes};
std::atomic<int> g_finished{0};
std::mutex g_lastIdMutex;
QByteArray g_lastId;

// The history's size as this process last measured it, plus the entries it made since: measuring
// means a look at every entry file, too much to do after every change of a run of thousands.
std::mutex g_sizeMutex;
QString g_sizedFolder;
qint64 g_knownBytes = -1;

// The known size is looked at after this many finished changes, not after each one; the history is
// measured again after this many more, for what other programs added to it.
constexpr int kPruneEvery = 64;
constexpr int kMeasureEvery = 1024;

/** Adds bytes to the known size of the folder's history; nothing while it is not known. */
void addKnownBytes(const QString& folder, qint64 bytes)
{
    const std::lock_guard lock(g_sizeMutex);
    if (g_sizedFolder == folder && g_knownBytes >= 0)
        g_knownBytes += bytes;
}

/** True when the folder's history may be larger than the limit, or has not been measured for long. */
bool worthMeasuring(const QString& folder, qint64 maxBytes, int finished)
{
    const std::lock_guard lock(g_sizeMutex);
    return g_sizedFolder != folder || g_knownBytes < 0 || g_knownBytes > maxBytes ||
           finished % kMeasureEvery == 0;
}

constexpr char kFinished[] = ".kch";
constexpr char kPending[] = ".pending";

const char* kindWord(ChangeKind kind)
{
    return kind == ChangeKind::Undo ? "undo" : kind == ChangeKind::Redo ? "redo" : "change";
}

const char* actionWord(RecordAction action)
{
    return action == RecordAction::Add ? "add" : action == RecordAction::Delete ? "delete" : "modify";
}

const char* listWord(ListFile file)
{
    switch (file) {
    case ListFile::Agenda:
        return "agenda";
    case ListFile::Action:
        return "actions";
    case ListFile::Attendees:
        return "attendees";
    case ListFile::Currency:
        return "currency";
    case ListFile::ProjectDoc:
        break;
    }
    return "documents";
}

std::optional<ListFile> listFromWord(const QString& word)
{
    for (ListFile file :
         {ListFile::Agenda, ListFile::Action, ListFile::Attendees, ListFile::ProjectDoc, ListFile::Currency}) {
        if (word == QLatin1String(listWord(file)))
            return file;
    }
    return std::nullopt;
}

QJsonValue bytesValue(const std::optional<QByteArray>& bytes)
{
    return bytes ? QJsonValue(QString::fromLatin1(bytes->toBase64())) : QJsonValue();
}

std::optional<QByteArray> bytesOf(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return QByteArray::fromBase64(value.toString().toLatin1());
}

/** The name part after the identifier: "~undo~TARGET" for an undo, "~redo~TARGET" for a redo. */
QByteArray nameTail(ChangeKind kind, const QByteArray& target)
{
    if (kind == ChangeKind::Plain)
        return {};
    return QByteArray("~") + kindWord(kind) + "~" + target;
}

struct NameParts
{
    QByteArray id;
    ChangeKind kind = ChangeKind::Plain;
    QByteArray target;
};

std::optional<NameParts> partsOf(const QString& fileName, const char* suffix)
{
    if (!fileName.endsWith(QLatin1String(suffix)))
        return std::nullopt;
    const QList<QByteArray> pieces = fileName.chopped(int(qstrlen(suffix))).toLatin1().split('~');
    NameParts parts{pieces[0], ChangeKind::Plain, {}};
    if (pieces.size() == 3) {
        parts.kind = pieces[1] == "undo" ? ChangeKind::Undo : ChangeKind::Redo;
        parts.target = pieces[2];
    } else if (pieces.size() != 1) {
        return std::nullopt;
    }
    return parts;
}

/** The finished entries' names in the order they were made. */
std::vector<std::pair<NameParts, QString>> finishedEntries(const QString& folder)
{
    std::vector<std::pair<NameParts, QString>> entries;
    QDirIterator it(folder, {QStringLiteral("*") + QLatin1String(kFinished)}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (auto parts = partsOf(it.fileName(), kFinished))
            entries.emplace_back(*parts, it.filePath());
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first.id < b.first.id; });
    return entries;
}

/** The undo and redo stacks as the entries, replayed in order, leave them. */
std::pair<QList<QByteArray>, QList<QByteArray>> stacks(const QString& folder)
{
    QList<QByteArray> undo;
    QList<QByteArray> redo;
    for (const auto& [parts, path] : finishedEntries(folder)) {
        switch (parts.kind) {
        case ChangeKind::Plain:
            undo.append(parts.id);
            redo.clear();
            break;
        case ChangeKind::Undo:
            undo.removeAll(parts.target);
            redo.append(parts.target);
            break;
        case ChangeKind::Redo:
            redo.removeAll(parts.target);
            undo.append(parts.target);
            break;
        }
    }
    return {undo, redo};
}

} // namespace

History::History(const QString& dataFolder) : m_folder(dataFolder + QStringLiteral("/History")) {}

void History::setKept(bool kept)
{
    g_kept = kept;
}

bool History::isKept()
{
    return g_kept;
}

QString History::pathOf(const QByteArray& id, const char* suffix) const
{
    return m_folder + QLatin1Char('/') + QString::fromLatin1(id) + QLatin1String(suffix);
}

QString History::begin(HistoryEntry& entry)
{
    // Made inside a data folder that exists, never with it: a folder that is gone stays gone.
    if (!QFileInfo(m_folder).isDir() && ::mkdir(QFile::encodeName(m_folder).constData(), 0777) != 0)
        return QStringLiteral("%1: the history folder cannot be made (%2)")
            .arg(m_folder, QString::fromLocal8Bit(std::strerror(errno)));
    const QDateTime now = Clock::now();
    entry.time = now;
    QByteArray stamp = now.toString(QStringLiteral("yyyyMMddHHmmsszzz")).toLatin1();
    // Changes within one millisecond (or under a fixed clock) still get identifiers that sort in
    // the order they were made.
    int sequence = 0;
    {
        const std::lock_guard lock(g_lastIdMutex);
        if (!g_lastId.isEmpty() && g_lastId.left(17) >= stamp) {
            stamp = g_lastId.left(17);
            sequence = g_lastId.mid(18).toInt() + 1;
        }
        const auto taken = [&](const QByteArray& id) {
            return QFile::exists(pathOf(id, kFinished)) || QFile::exists(pathOf(id, kPending)) ||
                   QFile::exists(pathOf(id + nameTail(entry.kind, entry.target), kFinished));
        };
        do {
            entry.id = stamp + '-' + QByteArray::number(sequence++).rightJustified(4, '0');
        } while (taken(entry.id));
        g_lastId = entry.id;
    }
    // Made whole in place: a cut-off entry cannot be read, and recovery removes it as what it is, an
    // entry whose change had not begun.
    const QByteArray bytes = encode(entry);
    const QString error =
        SafeFile::create(pathOf(entry.id + nameTail(entry.kind, entry.target), kPending), bytes);
    if (error.isEmpty())
        addKnownBytes(m_folder, bytes.size());
    return error;
}

void History::finish(const HistoryEntry& entry)
{
    const QByteArray name = entry.id + nameTail(entry.kind, entry.target);
    // Not flushed on purpose: a lost rename is found at the next start, where every file already
    // holds what the change wrote, and the entry is finished then.
    QFile::rename(pathOf(name, kPending), pathOf(name, kFinished));
    if (const int finished = ++g_finished;
        finished % kPruneEvery == 0 && worthMeasuring(m_folder, g_maxBytes, finished))
        prune(g_maxBytes);
}

void History::setMaxBytes(qint64 maxBytes)
{
    g_maxBytes = maxBytes;
}

void History::abandon(const HistoryEntry& entry)
{
    QFile::remove(pathOf(entry.id + nameTail(entry.kind, entry.target), kPending));
}

QList<QByteArray> History::entryIds() const
{
    QList<QByteArray> ids;
    for (const auto& [parts, path] : finishedEntries(m_folder))
        ids.append(parts.id);
    return ids;
}

std::optional<HistoryEntry> History::read(const QByteArray& id) const
{
    for (const auto& [parts, path] : finishedEntries(m_folder)) {
        if (parts.id != id)
            continue;
        QByteArray bytes;
        if (!SafeFile::read(path, bytes))
            return std::nullopt;
        return decode(bytes);
    }
    return std::nullopt;
}

QByteArray History::undoTarget() const
{
    const auto [undo, redo] = stacks(m_folder);
    return undo.isEmpty() ? QByteArray() : undo.last();
}

QByteArray History::redoTarget() const
{
    const auto [undo, redo] = stacks(m_folder);
    return redo.isEmpty() ? QByteArray() : redo.last();
}

QStringList History::recover(RecordStore& store)
{
    QStringList report;
    QDirIterator it(m_folder, {QStringLiteral("*") + QLatin1String(kPending)}, QDir::Files);
    QStringList pending;
    while (it.hasNext())
        pending.append(it.next());
    pending.sort();
    // Newest first, so a folder goes back through the interrupted changes in reverse.
    for (auto path = pending.crbegin(); path != pending.crend(); ++path) {
        QByteArray bytes;
        std::optional<HistoryEntry> entry;
        if (SafeFile::read(*path, bytes))
            entry = decode(bytes);
        if (!entry) {
            // Cut off while it was written: no record file was touched yet.
            QFile::remove(*path);
            continue;
        }
        const auto holds = [&](const HistoryEntry::File& file, const std::optional<QByteArray>& wanted) {
            QByteArray now;
            const QString path = filePath(store, file.file);
            const bool exists = QFileInfo(path).isFile() && SafeFile::read(path, now);
            return wanted ? exists && now == *wanted : !QFileInfo::exists(path);
        };
        const bool finished = std::all_of(entry->files.begin(), entry->files.end(),
                                          [&](const auto& file) { return holds(file, file.after); });
        if (finished) {
            finish(*entry);
            continue;
        }
        QStringList failures;
        for (const HistoryEntry::File& file : entry->files) {
            if (holds(file, file.before))
                continue;
            const QString path = filePath(store, file.file);
            const QString error = file.before ? SafeFile::write(path, *file.before) : SafeFile::remove(path);
            if (!error.isEmpty())
                failures.append(error);
        }
        if (failures.isEmpty()) {
            QFile::remove(*path);
            report.append(QStringLiteral("\"%1\" was interrupted and has been undone; the data folder is as it was "
                                         "before it.")
                              .arg(entry->description));
        } else {
            report.append(QStringLiteral("\"%1\" was interrupted and could not be undone completely:\n%2")
                              .arg(entry->description, failures.join(QLatin1Char('\n'))));
        }
    }
    return report;
}

void History::prune(qint64 maxBytes, int keepCount, int keepDays)
{
    const auto entries = finishedEntries(m_folder);
    qint64 total = 0;
    std::vector<qint64> sizes;
    sizes.reserve(entries.size());
    for (const auto& [parts, path] : entries) {
        sizes.push_back(QFileInfo(path).size());
        total += sizes.back();
    }
    const QByteArray youngest =
        Clock::now().addDays(-keepDays).toString(QStringLiteral("yyyyMMddHHmmsszzz")).toLatin1();
    const qsizetype removable = qsizetype(entries.size()) - keepCount;
    for (qsizetype i = 0; i < removable && total > maxBytes; ++i) {
        if (entries[std::size_t(i)].first.id.left(17) >= youngest)
            break;
        if (QFile::remove(entries[std::size_t(i)].second))
            total -= sizes[std::size_t(i)];
    }
    // A history the rules keep larger than the limit counts as at the limit, so that it is not
    // measured again after every few changes.
    const std::lock_guard lock(g_sizeMutex);
    g_sizedFolder = m_folder;
    g_knownBytes = std::min(total, maxBytes);
}

QByteArray History::encode(const HistoryEntry& entry)
{
    QJsonArray records;
    for (const TouchedRecord& record : entry.records) {
        records.append(QJsonObject{{QStringLiteral("kind"), QLatin1String(kindNames(record.kind).word)},
                                   {QStringLiteral("identifier"), QString::fromLatin1(record.identifier)},
                                   {QStringLiteral("project"), QString::fromLatin1(record.project)},
                                   {QStringLiteral("action"), QLatin1String(actionWord(record.action))}});
    }
    QJsonArray files;
    for (const HistoryEntry::File& file : entry.files) {
        const bool list = std::holds_alternative<ListFile>(file.file.type);
        files.append(QJsonObject{
            {QStringLiteral("type"), list ? QLatin1String(listWord(std::get<ListFile>(file.file.type)))
                                          : QLatin1String(kindNames(std::get<RecordKind>(file.file.type)).word)},
            {QStringLiteral("identifier"), QString::fromLatin1(file.file.identifier)},
            {QStringLiteral("before"), bytesValue(file.before)},
            {QStringLiteral("after"), bytesValue(file.after)}});
    }
    const QJsonObject object{{QStringLiteral("id"), QString::fromLatin1(entry.id)},
                             {QStringLiteral("time"), entry.time.toString(Qt::ISODateWithMs)},
                             {QStringLiteral("description"), entry.description},
                             {QStringLiteral("kind"), QLatin1String(kindWord(entry.kind))},
                             {QStringLiteral("target"), QString::fromLatin1(entry.target)},
                             {QStringLiteral("records"), records},
                             {QStringLiteral("files"), files}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<HistoryEntry> History::decode(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    HistoryEntry entry;
    entry.id = object.value(QStringLiteral("id")).toString().toLatin1();
    entry.time = QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    entry.description = object.value(QStringLiteral("description")).toString();
    const QString kind = object.value(QStringLiteral("kind")).toString();
    entry.kind = kind == QLatin1String("undo")   ? ChangeKind::Undo
                 : kind == QLatin1String("redo") ? ChangeKind::Redo
                                                 : ChangeKind::Plain;
    entry.target = object.value(QStringLiteral("target")).toString().toLatin1();
    for (const QJsonValue& value : object.value(QStringLiteral("records")).toArray()) {
        const QJsonObject record = value.toObject();
        const auto recordKind = kindFromWord(record.value(QStringLiteral("kind")).toString());
        if (!recordKind)
            return std::nullopt;
        const QString action = record.value(QStringLiteral("action")).toString();
        entry.records.append({*recordKind, record.value(QStringLiteral("identifier")).toString().toLatin1(),
                              record.value(QStringLiteral("project")).toString().toLatin1(),
                              action == QLatin1String("add")      ? RecordAction::Add
                              : action == QLatin1String("delete") ? RecordAction::Delete
                                                                  : RecordAction::Modify});
    }
    for (const QJsonValue& value : object.value(QStringLiteral("files")).toArray()) {
        const QJsonObject file = value.toObject();
        const QString type = file.value(QStringLiteral("type")).toString();
        HistoryEntry::File entryFile;
        entryFile.file.identifier = file.value(QStringLiteral("identifier")).toString().toLatin1();
        if (const auto list = listFromWord(type))
            entryFile.file.type = *list;
        else if (const auto recordKind = kindFromWord(type))
            entryFile.file.type = *recordKind;
        else
            return std::nullopt;
        // An identifier that could lead a path out of the data folder is never taken from a file; the
        // currency list, one file in the program's folder, has none.
        const bool currency = entryFile.file.type == std::variant<RecordKind, ListFile>(ListFile::Currency);
        if (currency ? !entryFile.file.identifier.isEmpty()
                     : !RecordStore::isUsableIdentifier(entryFile.file.identifier) ||
                           entryFile.file.identifier.isEmpty())
            return std::nullopt;
        entryFile.before = bytesOf(file.value(QStringLiteral("before")));
        entryFile.after = bytesOf(file.value(QStringLiteral("after")));
        entry.files.push_back(std::move(entryFile));
    }
    if (entry.id.isEmpty())
        return std::nullopt;
    return entry;
}

} // namespace korvane
