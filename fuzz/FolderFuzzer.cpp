// Fuzzes what a data folder from elsewhere may hold: the input builds a folder of record-named entries
// (regular files of any content and size up to gigabytes, named pipes, sockets, links inside and out,
// links that lead nowhere or round in a loop, links to endless devices, folders, unreadable files,
// names with odd bytes), then the store loads it and the list files are read as their pages read them.
//
// Rules checked on every input:
// - nothing blocks, and no single allocation passes the run's limit (libFuzzer's -timeout and
//   -malloc_limit_mb watch over both);
// - every record-named entry is either listed as skipped or gave the map of its kind a record with
//   the identifier it holds;
// - a read-only load writes nothing: the folder holds the same names after it, and the file outside
//   that a link leads to is unchanged.
#include "FuzzCheck.h"
#include "FuzzFolder.h"

#include "records/RecordCodec.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "support/ForeignEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;
using namespace korvane::fuzz;
using namespace korvane::test;

namespace {

/** The input read front to back; past its end every read gives zero. */
class InputStream
{
public:
    InputStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    quint32 number()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }
    QByteArray bytes(std::size_t count)
    {
        count = std::min(count, m_size - std::min(m_pos, m_size));
        const QByteArray taken(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(count));
        m_pos += count;
        return taken;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

const QString& dataFolder()
{
    static const QString folder = [] {
        const QString path = FuzzFolder::path() + QStringLiteral("/d");
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

/** A regular record file outside the data folder, for links to lead to. */
const QString& outsideFile()
{
    static const QString path = [] {
        TaskRecord stranger = emptyRecord<TaskRecord>(fixedNow());
        stranger.identifier = "77";
        return FuzzFolder::put(QStringLiteral("Task77.tsk"), encodeRecord(stranger));
    }();
    return path;
}

void emptyDataFolder()
{
    QDirIterator it(dataFolder(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink())
            FUZZ_REQUIRE(QDir(path).removeRecursively());
        else
            FUZZ_REQUIRE(::unlink(QFile::encodeName(path).constData()) == 0);
    }
}

/** A name the store would take for a record or list file, with an identifier of odd bytes. */
QString entryName(InputStream& in)
{
    const std::uint8_t pick = in.byte();
    const KindNames names =
        pick % 11 < 7 ? kindNames(RecordKind(pick % 11)) : listFileNames(ListFile(pick % 11 - 7));
    QByteArray identifier = in.bytes(in.byte() % 24);
    identifier.replace('/', '_').replace('\0', '_');
    QByteArray extension(names.extension);
    if (pick & 0x80)
        extension = extension.toUpper(); // Windows folders come in any letter case
    return QFile::decodeName(QByteArray(names.prefix) + identifier + extension);
}

bool isRecordName(const QString& name)
{
    for (int k = 0; k < 7; ++k) {
        if (name.endsWith(QLatin1String(kindNames(RecordKind(k)).extension), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

/** Builds one entry of the folder as the input says. */
void makeEntry(InputStream& in, const QStringList& made)
{
    const std::uint8_t what = in.byte();
    const QString name = entryName(in);
    const QString path = dataFolder() + QLatin1Char('/') + name;
    // A name given twice keeps its first entry: writing a file onto a named pipe would block here.
    struct stat existing;
    if (::lstat(QFile::encodeName(path).constData(), &existing) == 0)
        return;
    switch (what % 13) {
    case 0:
    case 1: {
        // A sparse tail of up to 6 GB after the given bytes.
        const QByteArray head = in.bytes(in.byte() * 4);
        FuzzFolder::put(QStringLiteral("d/") + name, head);
        if (what % 13 == 1)
            ::truncate(QFile::encodeName(path).constData(), off_t(head.size()) + off_t(in.number()) * 2);
        break;
    }
    case 2:
        ForeignEntries::makeFifo(path);
        break;
    case 3: {
        // A socket's path has a short limit: it is bound under a short name and moved into place.
        const QString bound = FuzzFolder::path() + QStringLiteral("/s");
        if (ForeignEntries::makeSocket(bound))
            ::rename(QFile::encodeName(bound).constData(), QFile::encodeName(path).constData());
        ::unlink(QFile::encodeName(bound).constData());
        break;
    }
    case 4:
        if (!made.isEmpty()) // relative, so inside the folder
            ForeignEntries::makeLink(made[in.byte() % made.size()], path);
        break;
    case 5:
        ForeignEntries::makeLink(outsideFile(), path);
        break;
    case 6:
        ForeignEntries::makeLink(QStringLiteral("gone"), path);
        break;
    case 7:
        ForeignEntries::makeLink(name, path);
        break;
    case 8:
        ForeignEntries::makeLink(QStringLiteral("/dev/zero"), path);
        break;
    case 9:
        ForeignEntries::makeLink(QStringLiteral("/dev/urandom"), path);
        break;
    case 10:
        QDir().mkdir(path);
        break;
    case 11:
        FuzzFolder::put(QStringLiteral("d/") + name, in.bytes(in.byte()));
        ::chmod(QFile::encodeName(path).constData(), 0);
        break;
    default:
        ForeignEntries::makeLink(FuzzFolder::path(), path);
        break;
    }
}

QStringList entries()
{
    return QDir(dataFolder())
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

/** The identifier a loaded record file holds, read as the store reads it. */
template <class R> std::optional<QByteArray> identifierIn(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    R record = emptyRecord<R>(fixedNow());
    ArchiveReader reader(qsizetype(file.size()), [&file](QByteArray& buffer, qsizetype count) {
        buffer += file.read(count);
        return true;
    });
    if (!decodeRecord(reader, record))
        return std::nullopt;
    return record.identifier;
}

/** True when the store holds the record the named entry gives. */
bool loaded(const RecordStore& store, const QString& name)
{
    bool found = false;
    const QString path = dataFolder() + QLatin1Char('/') + name;
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        if (found ||
            !name.endsWith(QLatin1String(kindNames(KindOf<R>::value).extension), Qt::CaseInsensitive))
            return;
        const std::optional<QByteArray> identifier = identifierIn<R>(path);
        found = identifier && store.records<R>().contains(*identifier);
    });
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fixedNow();
    const QByteArray outsideBytes = FuzzFolder::take(QFileInfo(outsideFile()).fileName());
    emptyDataFolder();
    InputStream in(data, size);
    QStringList made;
    for (int i = 0; i < 16 && !in.atEnd(); ++i) {
        makeEntry(in, made);
        made = entries();
    }
    const QStringList before = entries();

    RecordStore store(dataFolder());
    store.setReadOnly(true);
    store.setFolderWatched(false);
    store.LoadAll();
    QSet<QString> skipped;
    for (const LoadProblem& problem : store.loadProblems()) {
        FUZZ_REQUIRE(!problem.reason.isEmpty());
        skipped.insert(problem.path.mid(dataFolder().size() + 1));
    }
    for (const QString& name : before) {
        if (isRecordName(name))
            FUZZ_REQUIRE(skipped.contains(name) || loaded(store, name));
    }
    // The list files, as the meeting pages and the documents list read them.
    for (const auto& entry : store.meetings()) {
        store.readMeetingList<AgendaRecord>(ListFile::Agenda, entry.key);
        store.readMeetingList<ActionRecord>(ListFile::Action, entry.key);
    }
    for (const QString& name : before) {
        QByteArray bytes;
        SafeFile::read(dataFolder() + QLatin1Char('/') + name, bytes);
        FUZZ_REQUIRE(bytes.size() <= SafeFile::kMostBytesRead);
        ProjectDocuments::read(dataFolder() + QLatin1Char('/') + name);
    }

    FUZZ_REQUIRE(entries() == before);
    FUZZ_REQUIRE(FuzzFolder::take(QFileInfo(outsideFile()).fileName()) == outsideBytes);
    return 0;
}
