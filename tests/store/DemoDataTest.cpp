#include "store/DemoData.h"

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/AmountInWords.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::fileBytes;

namespace {

/** Fixes "now" for the life of the object. */
class FixedClock
{
public:
    explicit FixedClock(const QDateTime& moment) { Clock::setFixed(moment); }
    ~FixedClock() { Clock::setFixed(QDateTime()); }
};

int filesWithExtension(const QString& folder, const char* extension)
{
    return int(QDir(folder).entryList({QStringLiteral("*") + QLatin1String(extension)}, QDir::Files).size());
}

/** True when the text is nothing but entries each ended by a line feed. */
bool wellFormedList(const QByteArray& list)
{
    QByteArray rebuilt;
    for (const QByteArray& entry : TextList::entries(list))
        rebuilt = TextList::append(rebuilt, entry);
    return rebuilt == list;
}

/**
 * A store's records with every identifier replaced by its kind's letter and its rank, and the
 * list files read beside them, so that two generations compare apart from identifiers. Ranking
 * by identifier follows the order of adding, since identifiers count up as records are added.
 */
struct DataSet
{
    QList<ProjectRecord> projects;
    QList<ClientRecord> clients;
    QList<ResourceRecord> resources;
    QList<TaskRecord> tasks;
    QList<MeetingRecord> meetings;
    QList<MoneyFlowRecord> moneyFlows;
    QList<InvoiceRecord> invoices;
    QList<QByteArray> listFiles;

    explicit DataSet(const RecordStore& store)
    {
        rank(store.projects(), m_projectNames, "P");
        rank(store.clients(), m_clientNames, "C");
        rank(store.resources(), m_resourceNames, "R");
        rank(store.tasks(), m_taskNames, "T");
        rank(store.meetings(), m_meetingNames, "M");

        for (ProjectRecord r : sorted(store.projects())) {
            listFiles.append(fileBytes(store.fileName(ListFile::ProjectDoc, r.identifier)));
            r.identifier = m_projectNames.value(r.identifier);
            r.clientIdentifier = m_clientNames.value(r.clientIdentifier);
            projects.append(r);
        }
        for (ClientRecord r : sorted(store.clients())) {
            r.identifier = m_clientNames.value(r.identifier);
            r.leadByList = renamed(r.leadByList, m_resourceNames);
            clients.append(r);
        }
        for (ResourceRecord r : sorted(store.resources())) {
            r.identifier = m_resourceNames.value(r.identifier);
            resources.append(r);
        }
        for (TaskRecord r : sorted(store.tasks())) {
            r.identifier = m_taskNames.value(r.identifier);
            r.projectIdentifier = m_projectNames.value(r.projectIdentifier);
            r.subTaskList = renamed(r.subTaskList, m_taskNames);
            r.resources = renamed(r.resources, m_resourceNames);
            tasks.append(r);
        }
        for (MeetingRecord r : sorted(store.meetings())) {
            listFiles.append(fileBytes(store.fileName(ListFile::Agenda, r.identifier)));
            listFiles.append(fileBytes(store.fileName(ListFile::Action, r.identifier)));
            r.identifier = m_meetingNames.value(r.identifier);
            r.projectIdentifier = m_projectNames.value(r.projectIdentifier);
            r.clientIdentifier = m_clientNames.value(r.clientIdentifier);
            meetings.append(r);
        }
        for (MoneyFlowRecord r : sorted(store.moneyFlows())) {
            r.identifier.clear();
            r.projectIdentifier = m_projectNames.value(r.projectIdentifier);
            moneyFlows.append(r);
        }
        for (InvoiceRecord r : sorted(store.invoices())) {
            r.identifier.clear();
            r.projectIdentifier = m_projectNames.value(r.projectIdentifier);
            invoices.append(r);
        }
    }

private:
    using Names = QHash<QByteArray, QByteArray>;

    template <class R> static QList<R> sorted(const RecordMap<R>& map)
    {
        QList<R> records;
        for (const auto& entry : map)
            records.append(entry.record);
        std::sort(records.begin(), records.end(),
                  [](const R& a, const R& b) { return a.identifier < b.identifier; });
        return records;
    }
    template <class R> static void rank(const RecordMap<R>& map, Names& names, const char* letter)
    {
        const QList<R> records = sorted(map);
        for (qsizetype i = 0; i < records.size(); ++i)
            names.insert(records[i].identifier, letter + QByteArray::number(i));
    }
    static QByteArray renamed(const QByteArray& list, const Names& names)
    {
        QByteArray result;
        for (const QByteArray& entry : TextList::entries(list))
            result = TextList::append(result, names.value(entry, "unknown " + entry));
        return result;
    }
    Names m_projectNames, m_clientNames, m_resourceNames, m_taskNames, m_meetingNames;
};

void expectSameRecords(const DataSet& a, const DataSet& b)
{
    EXPECT_TRUE(a.projects == b.projects);
    EXPECT_TRUE(a.clients == b.clients);
    EXPECT_TRUE(a.resources == b.resources);
    EXPECT_TRUE(a.tasks == b.tasks);
    EXPECT_TRUE(a.meetings == b.meetings);
    EXPECT_TRUE(a.moneyFlows == b.moneyFlows);
    EXPECT_TRUE(a.invoices == b.invoices);
    EXPECT_TRUE(a.listFiles == b.listFiles);
}

} // namespace

TEST(DemoDataTest, MakesTheCountsAskedFor)
{
    struct Case
    {
        DemoOptions options;
        int resources;
    };
    const Case cases[] = {
        {{.projects = 5, .seed = 3}, 6},
        {{.projects = 3,
          .seed = 9,
          .resources = 4,
          .tasksPerProject = 7,
          .meetingsPerProject = 2,
          .moneyFlowsPerProject = 3,
          .invoicesPerProject = 1},
         4},
        {{.projects = 2,
          .resources = 0,
          .tasksPerProject = 0,
          .meetingsPerProject = 1,
          .moneyFlowsPerProject = 1,
          .invoicesPerProject = 1},
         0},
        {{.projects = 30,
          .tasksPerProject = 1,
          .meetingsPerProject = 0,
          .moneyFlowsPerProject = 0,
          .invoicesPerProject = 0},
         8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.projects);
        QTemporaryDir dir;
        RecordStore store(dir.path());
        const DemoSummary summary = generateDemoData(store, c.options);
        ASSERT_TRUE(summary.ok()) << summary.error.toStdString();

        EXPECT_EQ(summary.projects, c.options.projects);
        EXPECT_EQ(summary.resources, c.resources);
        EXPECT_EQ(store.projects().size(), summary.projects);
        EXPECT_EQ(store.clients().size(), summary.clients);
        EXPECT_EQ(store.resources().size(), summary.resources);
        EXPECT_EQ(store.tasks().size(), summary.tasks);
        EXPECT_EQ(store.meetings().size(), summary.meetings);
        EXPECT_EQ(store.moneyFlows().size(), summary.moneyFlows);
        EXPECT_EQ(store.invoices().size(), summary.invoices);
        EXPECT_EQ(filesWithExtension(dir.path(), ".agd"), summary.meetings);
        EXPECT_EQ(filesWithExtension(dir.path(), ".act"), summary.actionFiles);
        EXPECT_EQ(filesWithExtension(dir.path(), ".doc"), summary.documentFiles);

        for (const auto& entry : store.projects()) {
            const QByteArray& id = entry.key;
            const auto perProject = std::array{int(store.ofProject<TaskRecord>(id).size()),
                                               int(store.ofProject<MeetingRecord>(id).size()),
                                               int(store.ofProject<MoneyFlowRecord>(id).size()),
                                               int(store.ofProject<InvoiceRecord>(id).size())};
            const auto asked = std::array{c.options.tasksPerProject, c.options.meetingsPerProject,
                                          c.options.moneyFlowsPerProject, c.options.invoicesPerProject};
            for (std::size_t k = 0; k < asked.size(); ++k) {
                EXPECT_TRUE(asked[k] < 0 || perProject[k] == asked[k]) << "kind " << k;
            }
        }
        RecordStore reloaded(dir.path());
        reloaded.LoadAll();
        EXPECT_TRUE(reloaded.loadProblems().isEmpty());
    }
}

TEST(DemoDataTest, StopsAtTheFirstFailure)
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("plain-file");
    ASSERT_EQ(SafeFile::write(notAFolder, "x"), "");

    RecordStore store(notAFolder + "/Korvane");
    const DemoSummary fromStore = generateDemoData(store, {});
    EXPECT_FALSE(fromStore.ok());
    EXPECT_TRUE(fromStore.error.contains(notAFolder));
    EXPECT_EQ(fromStore.records(), 0);
    EXPECT_EQ(writeDemoFolder(notAFolder + "/Korvane", {}).records(), 0);
}

TEST(DemoDataTest, RecordsReferToEachOtherAsTheEditorsLeaveThem)
{
    QTemporaryDir dir;
    RecordStore store(dir.path());
    const DemoSummary summary = generateDemoData(store, {.projects = 6, .seed = 11});
    ASSERT_TRUE(summary.ok()) << summary.error.toStdString();
    ASSERT_GT(summary.subTasks, 0);

    auto namesResources = [&](const QByteArray& list) {
        const QList<QByteArray> entries = TextList::entries(list);
        return wellFormedList(list) && !entries.isEmpty() &&
               std::all_of(entries.begin(), entries.end(),
                           [&](const QByteArray& id) { return store.resources().contains(id); });
    };
    for (const auto& entry : store.projects()) {
        ASSERT_TRUE(store.clients().contains(entry.record.clientIdentifier));
        EXPECT_TRUE(namesResources(store.GetClient(entry.record.clientIdentifier).leadByList));
    }

    QHash<QByteArray, QByteArray> parentOf;
    for (const auto& entry : store.tasks()) {
        const TaskRecord& task = entry.record;
        SCOPED_TRACE(task.name.toStdString());
        EXPECT_TRUE(namesResources(task.resources));
        EXPECT_TRUE(wellFormedList(task.subTaskList));
        EXPECT_TRUE(!task.isSubTask() || task.subTaskList.isEmpty());
        for (const QByteArray& subId : TextList::entries(task.subTaskList)) {
            const TaskRecord* sub = store.tasks().find(subId);
            ASSERT_NE(sub, nullptr);
            EXPECT_TRUE(sub->isSubTask());
            EXPECT_EQ(sub->projectIdentifier, task.projectIdentifier);
            EXPECT_FALSE(parentOf.contains(subId)) << "listed by two parents";
            parentOf.insert(subId, task.identifier);
        }
    }
    EXPECT_EQ(parentOf.size(), summary.subTasks) << "a sub task no parent lists";

    QSet<QByteArray> resourceNames;
    for (const auto& entry : store.resources())
        resourceNames.insert(entry.record.name);
    for (const auto& entry : store.meetings()) {
        const MeetingRecord& meeting = entry.record;
        EXPECT_TRUE(resourceNames.contains(meeting.lead));
        EXPECT_TRUE(TextList::contains(meeting.attendees, meeting.lead));
    }
    for (const auto& entry : store.invoices())
        EXPECT_EQ(entry.record.amountInWords, amountInWords(entry.record.netAmount));
}

TEST(DemoDataTest, SameSeedGivesTheSameRecordsApartFromIdentifiers)
{
    auto generated = [](const QDateTime& now, const DemoOptions& options, QTemporaryDir& dir,
                        RecordStore& store) {
        FixedClock clock(now);
        store.setWorkingDirectory(dir.path());
        EXPECT_TRUE(generateDemoData(store, options).ok());
    };
    const QDateTime now(QDate(2031, 2, 3), QTime(8, 0));
    QTemporaryDir dirA, dirB, dirC, dirD;
    RecordStore a, b, c, d;
    generated(now, {.projects = 4, .seed = 5}, dirA, a);
    generated(QDateTime(QDate(2031, 2, 27), QTime(17, 45, 10)), {.projects = 4, .seed = 5}, dirB, b);
    {
        FixedClock clock(now);
        ASSERT_TRUE(writeDemoFolder(dirC.path(), {.projects = 4, .seed = 5}).ok());
        c.setWorkingDirectory(dirC.path());
        c.LoadAll();
    }
    generated(now, {.projects = 4, .seed = 6}, dirD, d);

    ASSERT_NE(a.projects().begin()->key, b.projects().begin()->key);
    const DataSet setA(a);
    SCOPED_TRACE("the store, later in the month");
    expectSameRecords(setA, DataSet(b));
    SCOPED_TRACE("written straight into a folder");
    expectSameRecords(setA, DataSet(c));
    EXPECT_FALSE(setA.tasks == DataSet(d).tasks) << "another seed gives other records";
}

TEST(DemoDataTest, EveryThirdProjectStartsInTheCurrentMonthAndProgressCountsProjects)
{
    FixedClock clock(QDateTime(QDate(2031, 2, 27), QTime(23, 30)));
    QTemporaryDir dir;
    RecordStore store(dir.path());
    QList<int> reported;
    DemoOptions options{.projects = 7, .seed = 2};
    options.progress = [&](int done) { reported.append(done); };
    ASSERT_TRUE(generateDemoData(store, options).ok());

    int thisMonth = 0;
    for (const auto& entry : store.projects()) {
        const QDate start = entry.record.startDate.toQDateTime().date();
        thisMonth += start.year() == 2031 && start.month() == 2;
    }
    EXPECT_GE(thisMonth, 3); // projects 1, 4 and 7, and any other the spread puts there
    EXPECT_EQ(reported, QList<int>({1, 2, 3, 4, 5, 6, 7}));
}
