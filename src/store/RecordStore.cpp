#include "store/RecordStore.h"

#include "store/CurrencyList.h"

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/InOrderWorkers.h"
#include "store/RegularFile.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace korvane {

namespace {

template <class R>
constexpr bool kHasProjectIndex = std::is_same_v<R, TaskRecord> || std::is_same_v<R, MeetingRecord> ||
                                  std::is_same_v<R, MoneyFlowRecord> || std::is_same_v<R, InvoiceRecord>;

constexpr RecordKind kLoadOrder[] = {RecordKind::Project, RecordKind::Client,    RecordKind::Resource,
                                     RecordKind::Task,    RecordKind::Meeting,   RecordKind::MoneyFlow,
                                     RecordKind::Invoice};

static_assert(int(RecordKind::Project) == 0 && int(RecordKind::Client) == 1 &&
                  int(RecordKind::Resource) == 2 && int(RecordKind::Task) == 3 &&
                  int(RecordKind::Meeting) == 4 && int(RecordKind::MoneyFlow) == 5 &&
                  int(RecordKind::Invoice) == 6,
              "a kind's number is its place in the load order");

// More record files than this read again on a refresh, and reading the whole folder costs little
// more; the program's own writes past it are not tracked either.
constexpr qsizetype kMostFilesReadAgain = 4096;

/** The place in the load order of the kind a file name belongs to, or -1 when it names no record file. */
int loadOrderOf(const QString& name)
{
    const std::optional<RecordKind> kind = RecordFileListing::kindOf(name);
    return kind ? int(*kind) : -1;
}

/**
 * The record files of the folder by kind, each list ordered byte by byte by name so that every
 * machine loads them alike. The folder is listed once; extensions match in any letter case, as
 * they did on Windows. Folders with a record's name are listed too, so that loading reports them
 * rather than losing the record without a word. The pieces an interrupted atomic save may leave
 * ("<name>.XXXXXX") end in other letters and are passed over.
 */
std::array<QStringList, std::size(kLoadOrder)> listRecordFiles(const QString& folder)
{
    std::array<std::vector<std::pair<QByteArray, QString>>, std::size(kLoadOrder)> keyed;
    // Most of a large folder's names (agenda, action and documents files) never become text.
    RecordFileListing::forEachEntry(folder, [&](const char* bytes, std::size_t size) {
        if (const std::optional<RecordKind> kind = RecordFileListing::kindOf(bytes, size)) {
            const QString name = QFile::decodeName(QByteArray(bytes, qsizetype(size)));
            keyed[std::size_t(*kind)].emplace_back(QFile::encodeName(name), name);
        }
    });
    std::array<QStringList, std::size(kLoadOrder)> lists;
    for (std::size_t k = 0; k < std::size(kLoadOrder); ++k) {
        std::sort(keyed[k].begin(), keyed[k].end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        lists[k].reserve(qsizetype(keyed[k].size()));
        for (auto& entry : keyed[k])
            lists[k].append(entry.second);
    }
    return lists;
}

/**
 * True when `name` is the file name the store gives the identifier, and gives it back. File names
 * drop the spaces around an identifier and hold its bytes as the file system decodes them, so for
 * other identifiers two records may share one file, or a name may sort unlike its identifier.
 */
bool namesIdentifier(RecordKind kind, const QString& name, const QByteArray& identifier)
{
    if (identifier != identifier.trimmed())
        return false;
    const KindNames names = kindNames(kind);
    const QLatin1String prefix(names.prefix);
    const QLatin1String extension(names.extension);
    const bool ascii =
        std::all_of(identifier.begin(), identifier.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii) {
        return name.size() == prefix.size() + identifier.size() + extension.size() &&
               name.startsWith(prefix) && name.endsWith(extension) &&
               QStringView(name).mid(prefix.size(), identifier.size()) == QLatin1String(identifier);
    }
    const QString decoded = QFile::decodeName(identifier);
    return QFile::encodeName(decoded) == identifier && name == prefix + decoded + extension;
}

/** The identifier whose own file name this is, or nothing when the name is no identifier's own. */
std::optional<QByteArray> identifierOfName(RecordKind kind, const QString& name)
{
    const KindNames names = kindNames(kind);
    const QLatin1String prefix(names.prefix);
    const QLatin1String extension(names.extension);
    if (name.size() < prefix.size() + extension.size() || !name.startsWith(prefix) ||
        !name.endsWith(extension))
        return std::nullopt;
    const QByteArray identifier =
        QFile::encodeName(name.mid(prefix.size(), name.size() - prefix.size() - extension.size()));
    if (!namesIdentifier(kind, name, identifier))
        return std::nullopt;
    return identifier;
}

/** True when `name` is among `names`, which are ordered byte by byte as `listRecordFiles` orders them. */
bool isListed(const QStringList& names, const QString& name)
{
    const QByteArray key = QFile::encodeName(name);
    const auto it =
        std::lower_bound(names.begin(), names.end(), key,
                         [](const QString& a, const QByteArray& b) { return QFile::encodeName(a) < b; });
    return it != names.end() && *it == name;
}

/** True when a's own file name sorts before b's, byte by byte, as a load lists them. */
bool fileNameLess(const QByteArray& a, const QByteArray& b, QLatin1String extension)
{
    // The names share the prefix; the extension follows the identifier.
    auto byteAt = [&extension](const QByteArray& identifier, qsizetype i) {
        if (i < identifier.size())
            return int(uchar(identifier[i]));
        i -= identifier.size();
        return i < extension.size() ? int(uchar(extension.data()[i])) : -1;
    };
    for (qsizetype i = 0;; ++i) {
        const int x = byteAt(a, i);
        const int y = byteAt(b, i);
        if (x != y)
            return x < y;
        if (x < 0)
            return false;
    }
}

/** How reading one record file went. */
enum class FileRead
{
    Unreadable,
    Malformed,
    Read
};

/**
 * Reads and decodes one record file of the folder, taking in only as many of its bytes as its fields
 * need; `bytes` gets those. When the file is skipped, `problem` says why, as a load lists it.
 */
template <class R>
FileRead readRecordFile(const QString& path, const QString& folder, QByteArray& bytes, R& record,
                        QString& problem)
{
    RegularFile file(path, folder);
    if (!file.isOpen()) {
        problem = file.reason();
        return FileRead::Unreadable;
    }
    bool tooLarge = false;
    ArchiveReader reader(qsizetype(file.size()), [&](QByteArray& buffer, qsizetype count) {
        tooLarge = buffer.size() + count > SafeFile::kMostBytesRead;
        return !tooLarge && file.readMore(buffer, count);
    });
    const bool decoded = decodeRecord(reader, record, &problem);
    bytes = reader.taken();
    if (tooLarge) {
        problem = QStringLiteral("its fields need more than the %1 bytes any record takes")
                      .arg(SafeFile::kMostBytesRead);
        return FileRead::Malformed;
    }
    if (!file.reason().isEmpty()) {
        problem = file.reason();
        return FileRead::Unreadable;
    }
    if (!decoded)
        return FileRead::Malformed;
    // Such a record could be neither found by its file nor written back to one.
    if (record.identifier.isEmpty()) {
        problem = QStringLiteral("its identifier is empty");
        return FileRead::Malformed;
    }
    if (!RecordStore::isUsableIdentifier(record.identifier)) {
        problem = QStringLiteral("its identifier \"%1\" cannot name a file")
                      .arg(QString::fromUtf8(record.identifier.toPercentEncoding(" ")));
        return FileRead::Malformed;
    }
    return FileRead::Read;
}

} // namespace

RecordStore::RecordStore(const QString& workingDirectory) : m_workingDirectory(workingDirectory) {}

QString RecordStore::fileName(RecordKind kind, const QByteArray& identifier) const
{
    const KindNames names = kindNames(kind);
    return m_workingDirectory + QLatin1Char('/') + QLatin1String(names.prefix) +
           QFile::decodeName(identifier.trimmed()) + QLatin1String(names.extension);
}

QString RecordStore::recordFileName(RecordKind kind, const QByteArray& identifier) const
{
    return fileName(kind, identifier).mid(m_workingDirectory.size() + 1);
}

QString RecordStore::fileName(ListFile file, const QByteArray& identifier) const
{
    if (file == ListFile::Currency)
        return CurrencyList::defaultPath();
    const KindNames names = listFileNames(file);
    return m_workingDirectory + QLatin1Char('/') + QLatin1String(names.prefix) +
           QFile::decodeName(identifier.trimmed()) + QLatin1String(names.extension);
}

template <class R>
void RecordStore::store(const R& record)
{
    ++m_generation;
    RecordMap<R>& records = map<R>();
    if constexpr (kHasProjectIndex<R>) {
        const auto* previous = records.entry(record.identifier);
        const bool existed = previous != nullptr;
        if constexpr (std::is_same_v<R, TaskRecord>) {
            if (existed)
                countProgress(previous->record, -1);
            countProgress(record, +1);
        }
        const QByteArray previousProject = existed ? previous->record.projectIdentifier : QByteArray();
        const auto& entry = records.insertOrAssign(record.identifier, record);
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        if (existed && previousProject == record.projectIdentifier)
            return;
        if (existed) {
            auto group = index.find(previousProject);
            if (group != index.end()) {
                group->erase(&entry);
                if (group->empty())
                    index.erase(group);
            }
        }
        index[record.projectIdentifier].insert(&entry);
    } else {
        records.insertOrAssign(record.identifier, record);
    }
}

template <class R>
void RecordStore::unstore(const QByteArray& identifier)
{
    ++m_generation;
    RecordMap<R>& records = map<R>();
    if constexpr (kHasProjectIndex<R>) {
        const auto* entry = records.entry(identifier);
        if (!entry)
            return;
        if constexpr (std::is_same_v<R, TaskRecord>)
            countProgress(entry->record, -1);
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        auto group = index.find(entry->record.projectIdentifier);
        if (group != index.end()) {
            group->erase(entry);
            if (group->empty())
                index.erase(group);
        }
    }
    records.remove(identifier);
}

template <class R> QByteArray RecordStore::newIdentifier(int batch, const QSet<QByteArray>& reserved)
{
    constexpr RecordKind kind = KindOf<R>::value;
    const RecordMap<R>& records = map<R>();
    const bool listed = m_listing.namesTell(kind);
    // The disk is asked last, only of an identifier nothing in memory holds: after a burst of adds a
    // command's listing may hold thousands of identifiers taken in a row.
    const KindNames names = kindNames(kind);
    auto taken = [&](const QByteArray& id) {
        return records.contains(id) || reserved.contains(id) ||
               (listed && m_listing.contains(kind, names.prefix + id + names.extension)) ||
               SafeFile::exists(fileName(kind, id));
    };

    QDateTime moment = Clock::now();
    QByteArray id = RecordId::make(moment, batch);
    if (!taken(id))
        return id;
    // Busy second: move on from the last identifier handed out, second by second, so that a burst
    // of adds (an import, a generated data set) never probes the same seconds twice. The seconds are
    // counted on the clock's face, held as UTC, so that each step asks no time zone (thousands of
    // steps after a burst of adds by another program).
    QDateTime face(moment.date(), moment.time(), Qt::UTC);
    QDateTime& last = m_lastIssued[int(kind)];
    if (last.isValid() && last > face)
        face = last;
    do {
        face = face.addSecs(1);
        id = RecordId::make(face, batch);
    } while (taken(id));
    last = face;
    return id;
}

template <class R> void RecordStore::noteOwnWrite(const QByteArray& identifier, bool added)
{
    // Without the stamps of a load of this folder the next load reads every file anyway.
    if (!m_stamps.isValid())
        return;
    if (m_written.size() >= kMostFilesReadAgain) {
        m_stamps.invalidate();
        m_written.clear();
        for (QSet<QByteArray>& keys : m_unplaced)
            keys.clear();
        return;
    }
    // A record as the program holds it may differ from what its file gives (a field kept in memory
    // only, a task kind a load repairs), and a new one sits first in its bucket where a load would
    // place it by its file name: the next refresh reads the file back and moves the record there.
    m_written.insert(recordFileName(KindOf<R>::value, identifier));
    if (added)
        m_unplaced[std::size_t(KindOf<R>::value)].insert(identifier);
}

template <class R>
AddResult RecordStore::add(R record, int batch)
{
    record.identifier = newIdentifier<R>(batch);
    const QByteArray bytes = encodeRecord(record);
    const QString error = SafeFile::write(fileName(KindOf<R>::value, record.identifier), bytes);
    if (!error.isEmpty())
        return AddResult{{}, error};
    noteWrittenContents(recordFileName(KindOf<R>::value, record.identifier), bytes);
    noteOwnWrite<R>(record.identifier, true);
    store(record);
    return AddResult{record.identifier, {}};
}

bool RecordStore::isUsableIdentifier(const QByteArray& identifier)
{
    // A file name may not leave the data folder, and the Windows program never wrote these bytes.
    return std::none_of(identifier.begin(), identifier.end(),
                        [](char c) { return uchar(c) < 0x20 || c == '/' || c == '\\' || c == 0x7f; });
}

QString RecordStore::unusableIdentifierError(const QByteArray& identifier)
{
    return QStringLiteral("the identifier \"%1\" cannot name a file").arg(QString::fromUtf8(identifier.toPercentEncoding(" ")));
}

QByteArray RecordStore::issueIdentifier(RecordKind kind, int batch, const QSet<QByteArray>& reserved)
{
    return visitKind(kind, [&](auto empty) { return newIdentifier<decltype(empty)>(batch, reserved); });
}

template <class R> QString RecordStore::modify(const R& record)
{
    return putRecord(record, encodeRecord(record));
}

template <class R> QString RecordStore::putRecord(const R& record, const QByteArray& bytes)
{
    if (!isUsableIdentifier(record.identifier) || record.identifier.isEmpty())
        return unusableIdentifierError(record.identifier);
    if (const QString refusal = refusalOf(KindOf<R>::value, record.identifier); !refusal.isEmpty())
        return refusal;
    const QString error = SafeFile::write(fileName(KindOf<R>::value, record.identifier), bytes);
    if (!error.isEmpty())
        return error;
    noteWrittenContents(recordFileName(KindOf<R>::value, record.identifier), bytes);
    noteOwnWrite<R>(record.identifier, !map<R>().contains(record.identifier));
    store(record);
    return error;
}

template <class R>
QString RecordStore::remove(const QByteArray& identifier)
{
    if (!isUsableIdentifier(identifier))
        return map<R>().contains(identifier) ? unusableIdentifierError(identifier) : QString();
    // A file already removed elsewhere loses nothing by its removal here.
    if (const QString refusal = refusalOf(KindOf<R>::value, identifier);
        !refusal.isEmpty() && SafeFile::exists(fileName(KindOf<R>::value, identifier)))
        return refusal;
    const QString error = SafeFile::remove(fileName(KindOf<R>::value, identifier));
    if (error.isEmpty()) {
        m_stamps.noteRemoved(recordFileName(KindOf<R>::value, identifier));
        m_writtenContents.remove(recordFileName(KindOf<R>::value, identifier));
        unstore<R>(identifier);
    }
    return error;
}

void RecordStore::noteWrittenContents(const QString& name, const QByteArray& bytes)
{
    m_writtenContents.insert(name, {bytes.size(), qHash(bytes)});
}

bool RecordStore::isAsRead(RecordKind kind, const QByteArray& identifier) const
{
    if (identifier.isEmpty() || !isUsableIdentifier(identifier))
        return true;
    const QString name = recordFileName(kind, identifier);
    const QString path = fileName(kind, identifier);
    QByteArray bytes;
    // True when the file is known to differ: removed, or holding other bytes. A file that cannot be
    // read, or a data folder gone, tells nothing: the write itself then says what is wrong.
    auto differs = [&](const std::function<bool()>& expected) {
        if (!SafeFile::exists(path))
            return QFileInfo(m_workingDirectory).isDir();
        return QFileInfo(path).isFile() && SafeFile::read(path, bytes) && !expected();
    };
    const auto written = m_writtenContents.constFind(name);
    if (written != m_writtenContents.cend())
        return !differs([&] { return bytes.size() == written->first && qHash(bytes) == written->second; });
    // Without stamps of this folder nothing was read from it that another program could have changed;
    // a file the load skipped held no record to lose.
    if (!m_stamps.isValid() || m_stamps.folder() != m_workingDirectory ||
        m_stamps.changedFiles({name}).isEmpty() ||
        std::any_of(m_loadProblems.cbegin(), m_loadProblems.cend(),
                    [&path](const LoadProblem& problem) { return problem.path == path; }))
        return true;
    // A stamp also changes when a file is only touched or copied back as it was: what counts is
    // whether the file still gives the record the store holds.
    return !differs([&] {
        return visitKind(kind, [&](auto empty) {
            const auto* record = records<decltype(empty)>().find(identifier);
            return record && encodeRecord(*record) == bytes;
        });
    });
}

QStringList RecordStore::filesChangedElsewhere(const QStringList& names) const
{
    QStringList changed;
    for (const QString& name : names) {
        const int k = loadOrderOf(name);
        if (k < 0)
            continue;
        const RecordKind kind = kLoadOrder[k];
        if (const std::optional<QByteArray> identifier = identifierOfName(kind, name)) {
            const bool held =
                visitKind(kind, [&](auto empty) { return records<decltype(empty)>().contains(*identifier); });
            // Made and removed again elsewhere: nothing the store holds changed.
            if (!held && !SafeFile::exists(fileName(kind, *identifier)))
                continue;
            if (!isAsRead(kind, *identifier))
                changed.append(name);
        } else if (m_stamps.isValid() && m_stamps.folder() == m_workingDirectory &&
                   !m_stamps.changedFiles({name}).isEmpty()) {
            // A file no identifier names as its own: a conflict copy, or a record under another name.
            changed.append(name);
        }
    }
    return changed;
}

std::optional<QStringList> RecordStore::filesChangedElsewhere() const
{
    if (!m_stamps.isValid() || m_stamps.folder() != m_workingDirectory)
        return std::nullopt;
    QStringList names;
    const FolderStamps now = stampRecordFiles(m_workingDirectory, loadThreads(), names);
    return filesChangedElsewhere(names, now);
}

FolderStamps RecordStore::stampRecordFiles(const QString& folder, int threads, QStringList& names)
{
    names.clear();
    for (const QStringList& kindNames : listRecordFiles(folder))
        names += kindNames;
    return FolderStamps::take(folder, names, threads);
}

std::optional<QStringList> RecordStore::filesChangedElsewhere(const QStringList& names,
                                                              const FolderStamps& now) const
{
    if (!m_stamps.isValid() || m_stamps.folder() != m_workingDirectory)
        return std::nullopt;
    const auto changed = now.changesSince(m_stamps, names, [this] { return recordFileNames(); });
    if (!changed)
        return std::nullopt;
    return filesChangedElsewhere(*changed);
}

void RecordStore::noteListContents(ListFile file, const QByteArray& identifier,
                                   const std::optional<QByteArray>& bytes)
{
    if (!isUsableIdentifier(identifier))
        return;
    m_listContents.insert(fileName(file, identifier),
                          bytes ? std::optional(std::pair(bytes->size(), qHash(*bytes))) : std::nullopt);
}

void RecordStore::noteListRead(ListFile file, const QByteArray& identifier)
{
    const QString path = fileName(file, identifier);
    QByteArray bytes;
    noteListContents(file, identifier,
                     SafeFile::exists(path) && SafeFile::read(path, bytes) ? std::optional(bytes)
                                                                           : std::nullopt);
}

bool RecordStore::isListAsRead(ListFile file, const QByteArray& identifier) const
{
    if (!isUsableIdentifier(identifier))
        return true;
    const QString path = fileName(file, identifier);
    const auto noted = m_listContents.constFind(path);
    if (noted == m_listContents.cend())
        return true;
    if (!SafeFile::exists(path))
        return !*noted || !QFileInfo(m_workingDirectory).isDir();
    QByteArray bytes;
    // A file that cannot be read tells nothing: the write itself then says what is wrong.
    if (!QFileInfo(path).isFile() || !SafeFile::read(path, bytes))
        return true;
    return *noted && bytes.size() == (*noted)->first && qHash(bytes) == (*noted)->second;
}

QString RecordStore::refusalOf(RecordKind kind, const QByteArray& identifier) const
{
    if (m_overwriteChanged || isAsRead(kind, identifier))
        return {};
    return QStringLiteral("%1: changed elsewhere since it was read").arg(fileName(kind, identifier));
}

QString RecordStore::reloadRecord(RecordKind kind, const QByteArray& identifier)
{
    if (identifier.isEmpty() || !isUsableIdentifier(identifier))
        return unusableIdentifierError(identifier);
    const QString name = recordFileName(kind, identifier);
    const QString path = fileName(kind, identifier);
    m_writtenContents.remove(name);
    if (!SafeFile::exists(path)) {
        m_stamps.noteRemoved(name);
        return {};
    }
    m_stamps.restamp({name});
    return visitKind(kind, [&](auto empty) -> QString {
        using R = decltype(empty);
        QByteArray bytes;
        QString problem;
        R record = empty;
        if (readRecordFile(path, m_workingDirectory, bytes, record, problem) != FileRead::Read)
            return QStringLiteral("%1: %2").arg(path, problem);
        m_stamps.noteContents(name, bytes);
        if (record.identifier != identifier)
            return QStringLiteral("%1: it holds another record now").arg(path);
        takeRecord(std::move(record), path);
        return {};
    });
}

QString RecordStore::conflictsFolder() const
{
    return m_workingDirectory + QLatin1String("/Conflicts");
}

QString RecordStore::setConflictCopiesAside(RecordKind kind, const QByteArray& identifier)
{
    const QString folder = conflictsFolder();
    QString error;
    for (qsizetype i = 0; i < m_conflicts.size();) {
        const ConflictCopy copy = m_conflicts[i];
        if (copy.kind != kind || copy.identifier != identifier) {
            ++i;
            continue;
        }
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("%1: the folder cannot be made").arg(folder);
            break;
        }
        const QString name = QFileInfo(copy.path).fileName();
        QString target = folder + QLatin1Char('/') + name;
        // A copy set aside earlier under the same name stays: this one gets a number.
        for (int n = 2; SafeFile::exists(target); ++n)
            target = QStringLiteral("%1/%2 (%3)").arg(folder, name).arg(n);
        if (!QFile::rename(copy.path, target)) {
            error = QStringLiteral("%1: it cannot be moved into %2").arg(copy.path, folder);
            break;
        }
        m_conflicts.removeAt(i);
        ++m_generation;
    }
    return error;
}

template <class R>
R RecordStore::get(const QByteArray& identifier) const
{
    const R* record = records<R>().find(identifier);
    return record ? *record : emptyRecord<R>();
}

void RecordStore::countProgress(const TaskRecord& task, int sign)
{
    if (task.priority < TaskRecord::High || task.priority > TaskRecord::Low)
        return;
    const int weight = 3 - task.priority;
    ProgressSums& sums = m_progress[task.projectIdentifier];
    sums.weighted += sign * qint64(weight) * task.percentComplete;
    sums.weight += sign * weight;
    if (sums.weight == 0)
        m_progress.remove(task.projectIdentifier);
}

int RecordStore::weightedProgress(const QByteArray& projectIdentifier) const
{
    // Kept up to date with every task change, so the project list pays one lookup per project.
    const auto found = m_progress.constFind(projectIdentifier);
    if (found == m_progress.cend())
        return 0;
    return int(found->weighted / found->weight);
}

template <class R> void RecordStore::takeRecord(R record, const QString& path)
{
    constexpr RecordKind kind = KindOf<R>::value;
    if constexpr (kHasProjectIndex<R>) {
        // Thousands of records repeat their project's identifier: share the project's copy.
        if (const auto* project = projects().entry(record.projectIdentifier))
            record.projectIdentifier = project->key;
    }
    if constexpr (std::is_same_v<R, TaskRecord>) {
        static const QByteArray topLevel(TaskRecord::kTopLevel);
        static const QByteArray subTask(TaskRecord::kSubTask);
        if (record.kind == topLevel) {
            record.kind = topLevel;
        } else if (record.kind == subTask) {
            record.kind = subTask;
        } else {
            record.kind = topLevel;
            // Only the file the record came from is repaired: written to the record's own name, a
            // record from a second file (a copy whose extension differs in case) would replace the
            // record of the file that wins.
            const bool ownFile = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1) ==
                                 recordFileName(kind, record.identifier);
            const QByteArray bytes = encodeRecord(record);
            const QString writeError =
                m_readOnly || !ownFile ? QString() : SafeFile::write(fileName(kind, record.identifier), bytes);
            if (!m_readOnly && ownFile && writeError.isEmpty())
                noteWrittenContents(recordFileName(kind, record.identifier), bytes);
            if (!writeError.isEmpty())
                m_loadProblems.append(
                    {path, QStringLiteral("its task kind was repaired in memory but not on disk (%1)")
                               .arg(writeError)});
        }
    }
    store(record);
}

template <class R>
void RecordStore::loadKind(const QStringList& names, const LoadProgress& progress, qsizetype& done,
                           qsizetype total, FolderStamps& stamps)
{
    constexpr RecordKind kind = KindOf<R>::value;
    map<R>().clear();
    if constexpr (kHasProjectIndex<R>)
        std::get<ProjectIndex<R>>(m_projectIndexes).clear();
    if constexpr (std::is_same_v<R, TaskRecord>)
        m_progress.clear();

    const R empty = emptyRecord<R>();
    // The same paths as the folder's QDir gives, built without it on the worker threads.
    const QString prefix = QDir(m_workingDirectory).filePath(QStringLiteral("x")).chopped(1);
    struct Read
    {
        FileRead read = FileRead::Unreadable;
        R record;
        QByteArray bytes;
        QString problem;
    };
    // Files that hold a record whose own file is in the folder too, kept until that file is read.
    std::vector<std::pair<R, QString>> copies;
    // Files are read and decoded on worker threads; the records are taken here in the names' order.
    InOrderWorkers::run(
        names.size(), loadThreads(),
        [&](qsizetype i) {
            Read result{FileRead::Unreadable, empty, {}, {}};
            result.read = readRecordFile(prefix + names[i], m_workingDirectory, result.bytes, result.record,
                                         result.problem);
            return result;
        },
        [&](qsizetype i, Read&& result) {
            const QString& name = names[i];
            // A few hundred calls per load are enough for a progress bar and cost nothing measurable.
            if (progress && (++done % 256 == 0 || done == total))
                progress(done, total);
            const QString path = prefix + name;
            if (result.read != FileRead::Unreadable)
                stamps.noteContents(name, result.bytes);
            if (result.read != FileRead::Read) {
                m_loadProblems.append({path, result.problem});
                return;
            }
            if (!namesIdentifier(kind, name, result.record.identifier)) {
                m_filesNameTheirRecords = false;
                // A sync program's conflict copy, or any other duplicate, never hides the record's own file.
                if (isListed(names, recordFileName(kind, result.record.identifier))) {
                    copies.emplace_back(std::move(result.record), path);
                    return;
                }
            }
            takeRecord(std::move(result.record), path);
        });
    for (auto& [record, path] : copies) {
        if (map<R>().contains(record.identifier))
            m_conflicts.append({kind, record.identifier, path});
        else // the own file could not be read: the copy is all there is
            takeRecord(std::move(record), path);
    }
}

template <class R>
bool RecordStore::readChanges(const QStringList& names, std::vector<FileChange<R>>& changes,
                              FolderStamps& stamps)
{
    constexpr RecordKind kind = KindOf<R>::value;
    const R empty = emptyRecord<R>();
    const QDir dir(m_workingDirectory);
    for (const QString& name : names) {
        FileChange<R> change;
        change.path = dir.filePath(name);
        change.named = identifierOfName(kind, name);
        const QFileInfo info(change.path);
        // A folder or a link in place of a record file is a rare fault, and a link's target changes
        // unseen by the watch and the stamps; the full read lists them as it always has.
        if (info.isSymLink() || info.isDir())
            return false;
        if (info.exists()) {
            QByteArray bytes;
            R record = empty;
            const FileRead read =
                readRecordFile(change.path, m_workingDirectory, bytes, record, change.problem);
            if (read != FileRead::Unreadable)
                stamps.noteContents(name, bytes);
            if (read == FileRead::Read) {
                // A load places a record by the name of the file it came from, and a later file
                // replaces the record of an earlier one with the same identifier: only a file named
                // as its own identifier names can be placed without reading the rest of the folder.
                if (!namesIdentifier(kind, name, record.identifier))
                    return false;
                change.record = std::move(record);
            }
        }
        changes.push_back(std::move(change));
    }
    return true;
}

template <class R> void RecordStore::applyChanges(std::vector<FileChange<R>>& changes)
{
    QSet<QByteArray>& unplaced = m_unplaced[std::size_t(KindOf<R>::value)];
    for (FileChange<R>& change : changes) {
        // Every record came from its own file, so the file's name tells which record it held.
        if (change.named && !change.record)
            unstore<R>(*change.named);
        if (!change.problem.isEmpty())
            m_loadProblems.append({change.path, change.problem});
        if (change.record) {
            if (!map<R>().contains(change.record->identifier))
                unplaced.insert(change.record->identifier);
            takeRecord(std::move(*change.record), change.path);
        }
    }
}

template <class R> void RecordStore::placeNewRecords()
{
    constexpr RecordKind kind = KindOf<R>::value;
    QSet<QByteArray>& unplaced = m_unplaced[std::size_t(kind)];
    if (unplaced.isEmpty())
        return;
    const QList<QByteArray> keys(unplaced.begin(), unplaced.end());
    unplaced.clear();
    RecordMap<R>& records = map<R>();
    // The project index orders by the places that change here: the moved records leave it first.
    if constexpr (kHasProjectIndex<R>) {
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        for (const QByteArray& key : keys) {
            if (const auto* entry = records.entry(key)) {
                const auto group = index.find(entry->record.projectIdentifier);
                if (group != index.end())
                    group->erase(entry);
            }
        }
    }
    // A load reads the files in name order and puts each record first in its bucket.
    const QLatin1String extension(kindNames(kind).extension);
    records.reposition(keys, [extension](const QByteArray& a, const QByteArray& b) {
        return fileNameLess(b, a, extension);
    });
    if constexpr (kHasProjectIndex<R>) {
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        for (const QByteArray& key : keys) {
            if (const auto* entry = records.entry(key))
                index[entry->record.projectIdentifier].insert(entry);
        }
    }
}

void RecordStore::sortLoadProblems()
{
    std::vector<std::pair<std::pair<int, QByteArray>, LoadProblem>> keyed;
    keyed.reserve(std::size_t(m_loadProblems.size()));
    for (LoadProblem& problem : m_loadProblems) {
        const QString name = problem.path.mid(problem.path.lastIndexOf(QLatin1Char('/')) + 1);
        keyed.push_back({{loadOrderOf(name), QFile::encodeName(name)}, std::move(problem)});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_loadProblems.clear();
    for (auto& entry : keyed)
        m_loadProblems.append(std::move(entry.second));
}

QStringList RecordStore::recordFileNames() const
{
    QStringList names;
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        const KindNames kind = kindNames(KindOf<R>::value);
        for (const auto& entry : records<R>())
            names.append(QLatin1String(kind.prefix) + QFile::decodeName(entry.key) +
                         QLatin1String(kind.extension));
    });
    for (const LoadProblem& problem : m_loadProblems)
        names.append(problem.path.mid(problem.path.lastIndexOf(QLatin1Char('/')) + 1));
    return names;
}

bool RecordStore::refreshFiles(const QStringList& changed, FolderStamps& stamps)
{
    QSet<QString> again = m_written;
    for (const QString& name : changed)
        again.insert(name);
    const bool unplaced = std::any_of(m_unplaced.begin(), m_unplaced.end(),
                                      [](const QSet<QByteArray>& keys) { return !keys.isEmpty(); });
    if (again.isEmpty() && !unplaced) {
        m_lastLoadChanges = LoadChanges();
        return true;
    }
    // A record from a file its identifier does not name sits where that file's name puts it, and
    // may be hidden by another file's: the names read again would not tell where records go.
    if (!m_filesNameTheirRecords || !m_conflicts.isEmpty())
        return false;
    // Past a share of the folder, reading it whole costs little more.
    if (again.size() > std::min(kMostFilesReadAgain, std::max<qsizetype>(64, stamps.size() / 8)))
        return false;

    std::array<QStringList, std::size(kLoadOrder)> byKind;
    for (const QString& name : again) {
        const int k = loadOrderOf(name);
        if (k >= 0)
            byKind[std::size_t(k)].append(name);
    }
    // Every file is read before anything changes, so that one that cannot be placed leaves the
    // maps as they were for the full read.
    std::tuple<std::vector<FileChange<ProjectRecord>>, std::vector<FileChange<ClientRecord>>,
               std::vector<FileChange<ResourceRecord>>, std::vector<FileChange<TaskRecord>>,
               std::vector<FileChange<MeetingRecord>>, std::vector<FileChange<MoneyFlowRecord>>,
               std::vector<FileChange<InvoiceRecord>>>
        changes;
    bool exact = true;
    QSet<QString> paths;
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        auto& ofKind = std::get<std::vector<FileChange<R>>>(changes);
        exact = exact && readChanges<R>(byKind[std::size_t(KindOf<R>::value)], ofKind, stamps);
        for (const FileChange<R>& change : ofKind)
            paths.insert(change.path);
    });
    if (!exact)
        return false;

    // What shows the records learns which of them to show anew: those read again and those moved,
    // with their projects before the change and, below, after it.
    LoadChanges touched;
    const auto noteProjects = [&]<class R>(std::type_identity<R>) {
        if constexpr (kHasProjectIndex<R>) {
            for (const RecordKey& key : touched.records) {
                if (key.kind != KindOf<R>::value)
                    continue;
                if (const auto* entry = records<R>().entry(key.identifier))
                    touched.projects.insert(entry->record.projectIdentifier);
            }
        }
    };
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        constexpr RecordKind kind = KindOf<R>::value;
        for (const FileChange<R>& change : std::get<std::vector<FileChange<R>>>(changes)) {
            if (change.named)
                touched.records.append({kind, *change.named});
        }
        // The records the program added since the load are noted below, with those read anew.
        noteProjects(std::type_identity<R>());
    });

    // Those files are stamped as now read; repairs written below are noted again.
    for (const QString& name : again)
        m_writtenContents.remove(name);
    m_loadProblems.removeIf([&paths](const LoadProblem& problem) { return paths.contains(problem.path); });
    // In load order: tasks read again share the identifier of a project read again.
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        applyChanges<R>(std::get<std::vector<FileChange<R>>>(changes));
    });
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        const QSet<QByteArray>& unplaced = m_unplaced[std::size_t(KindOf<R>::value)];
        for (const QByteArray& identifier : unplaced)
            touched.records.append({KindOf<R>::value, identifier});
        placeNewRecords<R>();
        noteProjects(std::type_identity<R>());
    });
    m_lastLoadChanges = std::move(touched);
    sortLoadProblems();
    m_written.clear();
    return true;
}

int RecordStore::loadThreads() const
{
    return m_loadThreads > 0 ? m_loadThreads : InOrderWorkers::threadsHere();
}

void RecordStore::setFolderWatched(bool watched)
{
    m_watchAllowed = watched;
    if (!watched)
        m_watch.stop();
}

bool RecordStore::LoadRecords(const QList<RecordKey>& wanted)
{
    std::vector<RecordKind> kinds;
    for (const RecordKey& key : wanted)
        kinds.push_back(key.kind);
    m_listing.list(m_workingDirectory, kinds);
    const QDir dir(m_workingDirectory);
    for (const RecordKey& key : wanted) {
        if (!m_listing.namesTell(key.kind))
            return false;
        if (key.identifier.isEmpty() || !isUsableIdentifier(key.identifier))
            continue;
        const bool found = visitKind(key.kind, [&](auto empty) {
            using R = decltype(empty);
            for (const QString& name : m_listing.namesOf(key.kind, recordFileName(key.kind, key.identifier))) {
                const QString path = dir.filePath(name);
                QByteArray bytes;
                QString problem;
                R record = empty;
                // A file that a load skips gives no record here either.
                if (readRecordFile(path, m_workingDirectory, bytes, record, problem) != FileRead::Read)
                    continue;
                if (record.identifier != key.identifier)
                    return false;
                // What was read here is what a later write must still find (a repair notes its own bytes).
                if (name == recordFileName(key.kind, key.identifier))
                    noteWrittenContents(name, bytes);
                takeRecord(std::move(record), path);
            }
            return true;
        });
        if (!found)
            return false;
    }
    return true;
}

void RecordStore::LoadAll(const LoadProgress& progress)
{
    m_listing.clear();
    m_lastLoadChanges.reset();
    // Also when no record changed: a refresh is where side files changed elsewhere are taken in.
    ++m_generation;
    m_listContents.clear();
    auto finished = [&] {
        if (progress)
            progress(m_stamps.size(), m_stamps.size());
    };
    // Stamps of another folder, or none (no load yet, or too many writes of the program's own to
    // follow), tell nothing of what the maps hold: the folder is read whole below.
    if (m_stamps.isValid() && m_stamps.folder() == m_workingDirectory) {
        if (const std::optional<QStringList> changed = m_watch.takeChanges()) {
            QStringList records;
            for (const QString& name : *changed) {
                if (loadOrderOf(name) >= 0)
                    records.append(name);
            }
            QSet<QString> again = m_written;
            for (const QString& name : m_stamps.changedFiles(records))
                again.insert(name);
            const QStringList names(again.begin(), again.end());
            // Stamped before they are read: a file that changes while it is read differs next time.
            m_stamps.restamp(names);
            if (refreshFiles(names, m_stamps)) {
                finished();
                return;
            }
            // The stamps now tell of files the maps do not hold.
            m_stamps.invalidate();
        }
        // Without an answer the folder is not watched, or the watch lost changes or saw the folder
        // moved; then only the stamps can tell, below.
    }
    // Watching starts before the folder is listed, so that no change after the listing goes unseen.
    const bool watched = m_watchAllowed && m_watch.start(m_workingDirectory);
    auto files = listRecordFiles(m_workingDirectory);
    qsizetype listed = 0;
    for (const QStringList& kindNames : files)
        listed += kindNames.size();
    QStringList names;
    names.reserve(listed);
    for (const QStringList& kindNames : files)
        names += kindNames;
    const qsizetype total = names.size();
    // Stamped before reading: a file that changes while it is read then differs at the next load.
    FolderStamps stamps = FolderStamps::take(m_workingDirectory, names, loadThreads());
    // Where the folder is not watched, the stamps tell what changed. Where a watch is started only
    // now, it lost changes or saw the folder moved, and the folder is read whole as it always was.
    if (!watched && m_stamps.isValid() && m_stamps.folder() == m_workingDirectory) {
        const auto changed = stamps.changesSince(m_stamps, names, [this] { return recordFileNames(); });
        if (changed && refreshFiles(*changed, stamps)) {
            stamps.keepContentsOf(m_stamps);
            m_stamps = std::move(stamps);
            finished();
            return;
        }
    }
    // A hundred thousand names take megabytes: those no longer needed go before the records come.
    names = QStringList();
    m_stamps = FolderStamps(); // frees the old stamps before the records are read
    m_loadProblems.clear();
    m_conflicts.clear();
    m_written.clear();
    m_writtenContents.clear();
    for (QSet<QByteArray>& keys : m_unplaced)
        keys.clear();
    m_filesNameTheirRecords = true;
    qsizetype done = 0;
    if (progress)
        progress(0, total);
    static_assert(kLoadOrder[0] == RecordKind::Project && kLoadOrder[6] == RecordKind::Invoice);
    const auto load = [&]<class R>(R, QStringList& kindNames) {
        loadKind<R>(kindNames, progress, done, total, stamps);
        kindNames = QStringList();
    };
    load(ProjectRecord{}, files[0]);
    load(ClientRecord{}, files[1]);
    load(ResourceRecord{}, files[2]);
    load(TaskRecord{}, files[3]);
    load(MeetingRecord{}, files[4]);
    load(MoneyFlowRecord{}, files[5]);
    load(InvoiceRecord{}, files[6]);
    m_stamps = std::move(stamps);
}

// The header's per-kind operations call these templates, so every kind gets its copy here (takeRecord
// too: clang does not make the copies its uses inside generic lambdas ask for before its definition).
#define KORVANE_INSTANTIATE_STORE_OPERATIONS(R)                                                              \
    template AddResult RecordStore::add<R>(R, int);                                                          \
    template QString RecordStore::modify<R>(const R&);                                                       \
    template QString RecordStore::remove<R>(const QByteArray&);                                              \
    template R RecordStore::get<R>(const QByteArray&) const;                                                 \
    template QString RecordStore::putRecord<R>(const R&, const QByteArray&);                                 \
    template void RecordStore::takeRecord<R>(R, const QString&);

KORVANE_INSTANTIATE_STORE_OPERATIONS(ProjectRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(ClientRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(ResourceRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(TaskRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(MeetingRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(MoneyFlowRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(InvoiceRecord)

} // namespace korvane
