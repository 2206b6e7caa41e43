#include "edits/ChangeBatch.h"

#include "edits/ApplyChange.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

namespace korvane {

ChangeBatch::ChangeBatch(RecordStore& store, qsizetype groupSize)
    : m_store(store), m_groupSize(std::max<qsizetype>(1, groupSize))
{
}

ChangeBatch::~ChangeBatch()
{
    flush();
}

void ChangeBatch::add(const Change& change, const QByteArray& identifier, Done done)
{
    QSet<QString> files;
    for (const FileStep& step : change.steps())
        files.insert(filePath(m_store, step.file));
    // The files' states before a change are taken before any change of its group is carried out.
    if (m_files.intersects(files))
        flush();
    m_files.unite(files);
    for (const TouchedRecord& record : change.records()) {
        if (record.action == RecordAction::Add)
            m_reserved.insert(record.identifier);
    }
    m_queue.push_back({change, identifier, std::move(done)});
    if (qsizetype(m_queue.size()) >= m_groupSize)
        flush();
}

void ChangeBatch::flush()
{
    if (m_queue.empty())
        return;
    std::vector<Queued> queue = std::move(m_queue);
    m_queue.clear();
    m_reserved.clear();
    m_files.clear();

    const QString folder = m_store.workingDirectory();
    std::vector<BegunChange> begun(queue.size());
    std::vector<QString> errors(queue.size());
    SafeFile::deferFlush(true);
    for (std::size_t i = 0; i < queue.size(); ++i)
        errors[i] = beginChange(m_store, queue[i].change, begun[i]);
    // Every entry on disk before the first record file changes, as for a single change.
    QString flushError = SafeFile::flushAll(folder);
    if (!flushError.isEmpty()) {
        for (std::size_t i = 0; i < queue.size(); ++i) {
            if (begun[i].kept)
                History(folder).abandon(begun[i].entry);
            begun[i].kept = false;
        }
    } else {
        for (std::size_t i = 0; i < queue.size(); ++i) {
            if (errors[i].isEmpty() && !queue[i].change.isEmpty())
                errors[i] = carryOutChange(m_store, queue[i].change, begun[i]);
        }
        flushError = SafeFile::flushAll(folder);
    }
    SafeFile::deferFlush(false);
    for (std::size_t i = 0; i < queue.size(); ++i) {
        EditResult result{queue[i].identifier, errors[i], queue[i].change.description()};
        if (result.ok() && !flushError.isEmpty()) {
            // The entries stay pending: the next start finds the changes whole or puts them back.
            result.error = QStringLiteral("the changes could not be flushed to disk: %1").arg(flushError);
        } else if (result.ok()) {
            finishChange(m_store, begun[i]);
        }
        if (!result.ok())
            result.identifier.clear();
        if (queue[i].done)
            queue[i].done(result);
    }
}

} // namespace korvane
