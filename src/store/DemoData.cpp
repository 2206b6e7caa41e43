#include "store/DemoData.h"

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/AmountInWords.h"
#include "store/ProjectDocuments.h"
#include "store/RecordId.h"
#include "store/RecordKind.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace korvane {

namespace {

// Word lists. Each generated text is put together from them, so that the data reads like what a
// small consultancy would type in, and so that the same seed picks the same words everywhere.

const char* const kMaleNames[] = {"James",  "David", "Michael", "Robert", "Daniel",
                                  "Thomas", "Arjun", "Rahul",   "Vikram", "Peter",
                                  "Samuel", "Ahmed", "Carlos",  "Kenji",  "Lukas"};
const char* const kFemaleNames[] = {"Mary",  "Sarah", "Emily",  "Priya", "Anita", "Laura", "Sofia", "Hannah",
                                    "Meera", "Grace", "Olivia", "Aisha", "Yuki",  "Elena", "Julia"};
const char* const kLastNames[] = {"Lee",    "Smith",   "Patel", "Sharma", "Johnson",  "Brown",  "Garcia",
                                  "Miller", "Wilson",  "Kumar", "Nair",   "Anderson", "Taylor", "Thomas",
                                  "Moore",  "Martin",  "Clark", "Lewis",  "Walker",   "Young",  "Rao",
                                  "Iyer",   "Fischer", "Novak", "Tanaka"};

struct Role
{
    const char* designation;
    const char* department;
};
const Role kRoles[] = {{"Project Manager", "Operations"},     {"Software Engineer", "Development"},
                       {"Senior Developer", "Development"},   {"Team Lead", "Development"},
                       {"QA Engineer", "Quality Assurance"},  {"Test Analyst", "Quality Assurance"},
                       {"Business Analyst", "Operations"},    {"UI Designer", "Design"},
                       {"Database Administrator", "Support"}, {"Systems Administrator", "Support"},
                       {"Technical Writer", "Design"},        {"Accountant", "Finance"},
                       {"Account Manager", "Sales"},          {"Consultant", "Operations"}};

const char* const kCompanies[] = {"Northwind",  "Bluebell",  "Harbor Point", "Sunrise",    "Greenfield",
                                  "Silverline", "Redwood",   "Bright Path",  "Oakridge",   "Summit",
                                  "Lakeside",   "Evergreen", "Pioneer",      "Horizon",    "Crescent",
                                  "Maple Leaf", "Riverside", "Golden Gate",  "Blue Ocean", "Cedar Hill"};
const char* const kTrades[] = {"Traders",    "Foods",  "Logistics", "Health Care", "Motors",    "Textiles",
                               "Publishing", "Pharma", "Retail",    "Bank",        "Insurance", "Hotels"};

struct City
{
    const char* line;
    const char* areaCode;
};
const City kUsCities[] = {{"Springfield, IL 62704", "217"}, {"Portland, OR 97205", "503"},
                          {"Austin, TX 78701", "512"},      {"Denver, CO 80202", "303"},
                          {"Boston, MA 02108", "617"},      {"Seattle, WA 98101", "206"},
                          {"Columbus, OH 43215", "614"}};
const City kIndianCities[] = {{"Bengaluru 560001", "80"}, {"Mumbai 400050", "22"},
                              {"Chennai 600002", "44"},   {"Kolkata 700016", "33"},
                              {"Pune 411004", "20"},      {"Hyderabad 500081", "40"}};
const char* const kUsStreets[] = {"Main Street", "Oak Avenue",  "Harbor Road",      "Market Street",
                                  "Elm Street",  "Park Avenue", "Lake Shore Drive", "Maple Lane"};
const char* const kIndianStreets[] = {"MG Road",    "Brigade Road", "Linking Road",
                                      "Anna Salai", "Park Street",  "FC Road"};

const char* const kProjectTypes[] = {
    "Inventory System", "Website Redesign",    "Payroll Migration", "Mobile Ordering App",
    "CRM Rollout",      "Data Warehouse",      "Intranet Portal",   "Billing Upgrade",
    "Network Refresh",  "Customer Survey",     "ERP Integration",   "Online Store",
    "Booking System",   "Reporting Dashboard", "Document Archive",  "Security Audit"};
const char* const kGoals[] = {"Cut the time from order to delivery by a third.",
                              "Give the managers one place to see the figures they need every week.",
                              "Retire the old system before its support ends.",
                              "Let customers serve themselves online, at any hour.",
                              "Reduce manual data entry and the errors it brings."};
const char* const kScopes[] = {
    "The first phase covers the head office; the branches follow after the pilot.",
    "Training for the end users and one month of support after go-live are included.",
    "Data from the old system is migrated and checked by the client's own team.",
    "Hosting and licences are paid by the client."};
const char* const kEndUsers[] = {"Warehouse staff", "Accounts department", "Online customers", "Sales team",
                                 "Branch managers", "Front desk staff",    "Field engineers",  "Head office"};

const char* const kTaskNames[] = {"Requirements Gathering",
                                  "System Design",
                                  "Database Design",
                                  "User Interface Mock-ups",
                                  "Prototype",
                                  "Development Sprint 1",
                                  "Development Sprint 2",
                                  "Data Migration",
                                  "Integration Testing",
                                  "User Acceptance Testing",
                                  "Training",
                                  "Documentation",
                                  "Deployment",
                                  "Performance Tuning",
                                  "Security Review",
                                  "Go-Live Support",
                                  "Vendor Selection",
                                  "Hardware Setup",
                                  "Report Design",
                                  "Project Closure"};
const char* const kSubTaskNames[] = {
    "Draft document", "Review with client",  "Revise after feedback", "Sign-off",    "Write test cases",
    "Fix defects",    "Prepare environment", "Update checklist",      "Code review", "Demo to stakeholders"};

const char* const kMeetingSubjects[] = {"Weekly Status Meeting", "Design Review",         "Client Demo",
                                        "Sprint Planning",       "Budget Review",         "Risk Review",
                                        "Go-Live Readiness",     "Requirements Workshop", "Lessons Learned"};
const char* const kPlaces[] = {"Conference Room A", "Conference Room B", "Client Office",
                               "Video Call",        "Board Room",        "Training Room"};
const char* const kMeetingNotes[] = {
    "Minutes to be circulated by the lead within two days.", "The client asked for a revised schedule.",
    "Scope is unchanged; the budget is on track.",           "Two open defects block the next release.",
    "Test data from the client arrives next week.",          "Everyone agreed to move the demo by one week."};
// In the order a meeting goes through them; a meeting takes some of them, keeping the order.
const char* const kAgendaItems[] = {"Welcome and introductions",
                                    "Review of previous actions",
                                    "Progress against plan",
                                    "Demo of completed work",
                                    "Open issues",
                                    "Budget status",
                                    "Risks and mitigations",
                                    "Next steps",
                                    "Any other business"};
const char* const kActionItems[] = {"Send the revised schedule", "Update the risk register",
                                    "Book the training room",    "Confirm test data with the client",
                                    "Circulate the minutes",     "Prepare a cost estimate",
                                    "Fix the reported defects",  "Arrange server access"};

struct Document
{
    const char* name;
    const char* file;
};
const Document kDocuments[] = {
    {"Project Plan", "Plan.odt"}, {"Requirements", "Requirements.odt"}, {"Budget", "Budget.ods"},
    {"Contract", "Contract.pdf"}, {"Architecture", "Architecture.odg"}, {"Status Report", "Status.odt"}};

const double kTaxRates[] = {0.0, 5.0, 10.0, 12.5, 18.0};

const char* const kOurCompany = "Lakeview IT Solutions";
const char* const kOurAddress = "221 Baker Street\r\nSpringfield, IL 62701";

constexpr int kTaskNameCount = int(std::size(kTaskNames));

QDate firstOfMonth(const QDate& day)
{
    return day.addDays(1 - day.day());
}

/** Hands records to the store, which names them, writes them safely and keeps them. */
class StoreSink
{
public:
    explicit StoreSink(RecordStore& store) : m_store(store) {}

    AddResult add(const ProjectRecord& record) { return m_store.AddProject(record); }
    AddResult add(const ClientRecord& record) { return m_store.AddClient(record); }
    AddResult add(const ResourceRecord& record) { return m_store.AddResource(record); }
    AddResult add(const TaskRecord& record) { return m_store.AddTask(record); }
    AddResult add(const MeetingRecord& record) { return m_store.AddMeeting(record); }
    AddResult add(const MoneyFlowRecord& record) { return m_store.AddMoneyFlow(record); }
    AddResult add(const InvoiceRecord& record) { return m_store.AddInvoice(record); }
    QString modifyTask(const TaskRecord& record) { return m_store.ModifyTask(record); }
    QString writeList(ListFile file, const QByteArray& identifier, const QByteArray& bytes)
    {
        return SafeFile::write(m_store.fileName(file, identifier), bytes);
    }

private:
    RecordStore& m_store;
};

/** Writes record files straight into a folder, naming them itself; no sync, so a big folder is quick. */
class FolderSink
{
public:
    explicit FolderSink(const QString& folder) : m_folder(folder), m_moment(Clock::now())
    {
        m_moment.setTime(QTime(m_moment.time().hour(), m_moment.time().minute(), m_moment.time().second()));
        const QStringList existing = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        m_taken = QSet<QString>(existing.begin(), existing.end());
    }

    template <class R> AddResult add(R record)
    {
        const KindNames names = kindNames(KindOf<R>::value);
        QString name;
        // The taken names also guard the hour that a change from summer time repeats.
        do {
            record.identifier = RecordId::make(m_moment);
            m_moment = m_moment.addSecs(1);
            name = fileName(names, record.identifier);
        } while (m_taken.contains(name));
        m_taken.insert(name);
        const QString error = write(name, encodeRecord(record));
        if (!error.isEmpty())
            return {{}, error};
        return {record.identifier, {}};
    }
    QString modifyTask(const TaskRecord& record)
    {
        return write(fileName(kindNames(RecordKind::Task), record.identifier), encodeRecord(record));
    }
    QString writeList(ListFile file, const QByteArray& identifier, const QByteArray& bytes)
    {
        return write(fileName(listFileNames(file), identifier), bytes);
    }

private:
    static QString fileName(const KindNames& names, const QByteArray& identifier)
    {
        return QLatin1String(names.prefix) + QLatin1String(identifier) + QLatin1String(names.extension);
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        file.close();
        if (file.error() != QFileDevice::NoError)
            return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return {};
    }

    QString m_folder;
    QDateTime m_moment;
    QSet<QString> m_taken;
};

struct Person
{
    QByteArray first;
    QByteArray last;
    bool female = false;

    QByteArray fullName() const { return first + ' ' + last; }
};

struct Resource
{
    QByteArray identifier;
    QByteArray name;
};

/** What the records of one project share while they are made. */
struct ProjectContext
{
    QByteArray identifier;
    QByteArray clientIdentifier;
    QByteArray clientName;
    QByteArray code;
    QByteArray address;
    Person contact;
    QByteArray salutation;
    bool india = false;
    QDate start;
    int days = 0;
    std::vector<int> leads;
    QList<QByteArray> taskNames;

    QByteArray folder() const { return "/home/user/Documents/" + code + '/'; }
};

/**
 * Makes the data set and hands every record to a sink. All randomness comes from one generator
 * through `between`, so the same seed picks the same values with every standard library.
 */
template <class Sink> class Generator
{
public:
    Generator(Sink& sink, const DemoOptions& options)
        : m_sink(sink), m_options(options), m_rng(options.seed),
          m_monthStart(firstOfMonth(Clock::now().date()))
    {
    }

    DemoSummary run()
    {
        if (makeResources()) {
            for (int i = 0; i < m_options.projects; ++i) {
                if (!makeProject(i))
                    break;
                if (m_options.progress)
                    m_options.progress(i + 1);
            }
        }
        return m_summary;
    }

private:
    // Randomness.

    int between(int low, int high) { return low + int(m_rng() % quint32(high - low + 1)); }
    bool chance(int percent) { return between(0, 99) < percent; }
    template <class T, std::size_t N> const T& pick(const T (&items)[N])
    {
        return items[between(0, int(N) - 1)];
    }
    /** `count` different positions below `n`, in random order (all of them when `count` exceeds `n`). */
    std::vector<int> distinct(int n, int count)
    {
        std::vector<int> all(std::size_t(std::max(n, 0)));
        std::iota(all.begin(), all.end(), 0);
        count = std::clamp(count, 0, n);
        for (int i = 0; i < count; ++i)
            std::swap(all[std::size_t(i)], all[std::size_t(between(i, n - 1))]);
        all.resize(std::size_t(count));
        return all;
    }
    int perProject(int option, int low, int high) { return option >= 0 ? option : between(low, high); }

    // Texts.

    Person person()
    {
        Person who;
        who.female = chance(50);
        who.first = who.female ? pick(kFemaleNames) : pick(kMaleNames);
        who.last = pick(kLastNames);
        return who;
    }
    QByteArray salutation(const Person& who)
    {
        if (chance(10))
            return chance(50) ? "Dr ." : "Prof .";
        if (!who.female)
            return "Mr .";
        const char* const women[] = {"Mrs .", "Ms .", "Miss ."};
        return pick(women);
    }
    QByteArray digits(int low, int high, int width)
    {
        return QByteArray::number(between(low, high)).rightJustified(width, '0');
    }
    QByteArray phone(bool india, const City& city)
    {
        if (india)
            return "+91 " + QByteArray(city.areaCode) + ' ' + digits(2000, 6999, 4) + ' ' +
                   digits(0, 9999, 4);
        // 555-0100 to 555-0199 are the numbers set aside for fiction.
        return '(' + QByteArray(city.areaCode) + ") 555-01" + digits(0, 99, 2);
    }
    QByteArray address(bool india, const City& city)
    {
        if (india) {
            return "No. " + QByteArray::number(between(1, 250)) + ", " + pick(kIndianStreets) + "\r\n" +
                   city.line + "\r\nIndia";
        }
        QByteArray text = QByteArray::number(between(10, 9899)) + ' ' + pick(kUsStreets);
        if (chance(30))
            text += "\r\nSuite " + QByteArray::number(between(1, 9) * 100 + between(0, 20));
        return text + "\r\n" + city.line;
    }
    static QByteArray initials(const QByteArray& words)
    {
        const QList<QByteArray> parts = words.split(' ');
        if (parts.size() == 1)
            return words.left(2).toUpper();
        QByteArray result;
        for (const QByteArray& part : parts)
            result += part.left(1).toUpper();
        return result;
    }
    QByteArray leadName(const ProjectContext& project)
    {
        if (project.leads.empty())
            return project.contact.fullName();
        return m_resources[std::size_t(project.leads[std::size_t(between(0, int(project.leads.size()) - 1))])]
            .name;
    }
    QByteArray taskName(const ProjectContext& project, const char* fallback)
    {
        if (project.taskNames.isEmpty())
            return fallback;
        return project.taskNames[between(0, int(project.taskNames.size()) - 1)];
    }

    // Dates: whole days from the first of the current month, at a time of day.

    static DateTime at(const QDate& date, int hour, int minute = 0)
    {
        return DateTime::fromQDateTime(QDateTime(date, QTime(hour, minute)));
    }

    // Handing over to the sink; the first failure ends the generation.

    template <class R> bool add(const R& record, int& counter, QByteArray& identifier)
    {
        const AddResult result = m_sink.add(record);
        if (!result.ok()) {
            m_summary.error = result.error;
            return false;
        }
        ++counter;
        identifier = result.identifier;
        return true;
    }
    bool writeList(ListFile file, const QByteArray& identifier, const QByteArray& bytes, int& counter)
    {
        m_summary.error = m_sink.writeList(file, identifier, bytes);
        if (!m_summary.ok())
            return false;
        ++counter;
        return true;
    }

    // The records.

    bool makeResources()
    {
        const int count =
            m_options.resources >= 0 ? m_options.resources : std::max(6, (m_options.projects + 3) / 4);
        for (int i = 0; i < count; ++i) {
            const Person who = person();
            const City& city = pick(kUsCities);
            ResourceRecord resource = emptyRecord<ResourceRecord>(at(m_monthStart, 0));
            resource.name = who.fullName();
            const Role& role = pick(kRoles);
            resource.designation = role.designation;
            resource.department = role.department;
            resource.phone1 = phone(false, city);
            if (chance(60))
                resource.phone2 = phone(false, pick(kUsCities));
            QByteArray identifier;
            if (!add(resource, m_summary.resources, identifier))
                return false;
            m_resources.push_back({identifier, resource.name});
        }
        return true;
    }

    bool makeProject(int index)
    {
        ProjectContext project;
        project.india = chance(30);
        const City& city = project.india ? pick(kIndianCities) : pick(kUsCities);
        const QByteArray company = pick(kCompanies);
        const QByteArray trade = pick(kTrades);
        project.clientName = company + ' ' + trade;
        project.contact = person();
        project.salutation = salutation(project.contact);
        project.address = address(project.india, city);
        project.code = initials(company) + '-' + QByteArray::number(1001 + index);
        // Every third project starts in the current month, so that the window, which opens on this
        // month, lists some; the others spread over the months around it.
        const int offset = between(-240, 150);
        const int monthDays = m_monthStart.daysInMonth();
        project.start = m_monthStart.addDays(index % 3 == 0 ? (offset % monthDays + monthDays) % monthDays : offset);
        project.days = between(30, 240);
        const DateTime created = at(project.start, 9);

        ClientRecord client = emptyRecord<ClientRecord>(created);
        client.clientName = project.clientName;
        client.contactPerson = project.contact.fullName();
        client.address = project.address;
        client.website = "www." + QByteArray(company + trade).replace(' ', "").toLower() +
                         (project.india ? ".co.in" : ".com");
        client.phone1 = phone(project.india, city);
        if (chance(60))
            client.phone2 = phone(project.india, city);
        for (int lead : distinct(int(m_resources.size()), between(1, 3))) {
            client.leadByList =
                TextList::append(client.leadByList, m_resources[std::size_t(lead)].identifier);
            project.leads.push_back(lead);
        }
        if (!add(client, m_summary.clients, project.clientIdentifier))
            return false;

        const QByteArray type = pick(kProjectTypes);
        ProjectRecord record = emptyRecord<ProjectRecord>(created);
        record.clientIdentifier = project.clientIdentifier;
        record.name = company + ' ' + type;
        record.projectCode = project.code;
        record.synopsis =
            type + " for " + project.clientName + ".\r\n" + pick(kGoals) + "\r\n" + pick(kScopes);
        record.endUser = pick(kEndUsers);
        record.startDate = created;
        record.endDate = at(project.start.addDays(project.days), 18);
        record.currency = project.india ? "Rs." : "$";
        if (chance(50))
            record.fileLink = project.folder() + "Brief.odt";
        if (chance(40)) {
            record.incomeLink = project.folder() + "Income.ods";
            record.expenseLink = project.folder() + "Expense.ods";
            record.turnOverLink = project.folder() + "TurnOver.ods";
        }
        if (!add(record, m_summary.projects, project.identifier))
            return false;

        return makeDocuments(project) && makeTasks(project) && makeMeetings(project) &&
               makeMoneyFlows(project) && makeInvoices(project);
    }

    bool makeDocuments(const ProjectContext& project)
    {
        if (!chance(40))
            return true;
        ProjectDocuments documents;
        int row = 0;
        for (int which : distinct(int(std::size(kDocuments)), between(1, 4))) {
            const Document& document = kDocuments[which];
            documents.row(row++) = {document.name, {}, project.folder() + document.file};
        }
        return writeList(ListFile::ProjectDoc, project.identifier, documents.toBytes(),
                         m_summary.documentFiles);
    }

    /** A task within the given days, with its priority, progress, resources and perhaps a reminder. */
    TaskRecord newTask(const ProjectContext& project, const QByteArray& name, const QByteArray& code,
                       const QDate& from, int days)
    {
        const int offset = between(0, days * 2 / 3);
        const QDate start = from.addDays(offset);
        const int length = between(1, std::max(1, std::min(60, days - offset)));
        TaskRecord task = emptyRecord<TaskRecord>(at(start, 9));
        task.projectIdentifier = project.identifier;
        task.name = name;
        task.taskCode = code;
        task.priority = between(TaskRecord::High, TaskRecord::Low);
        task.start = at(start, 9);
        task.end = at(start.addDays(length), 17);
        if (chance(30)) {
            task.reminderOn = 1;
            task.reminderTime = at(start.addDays(-1), 9);
        }
        if (chance(25))
            task.fileLink = project.folder() + QByteArray(name).replace(' ', '_') + ".odt";
        for (int resource : distinct(int(m_resources.size()), between(1, 3)))
            task.resources = TextList::append(task.resources, m_resources[std::size_t(resource)].identifier);
        if (chance(30)) {
            task.completed = 1;
            task.percentComplete = 100;
        } else {
            task.percentComplete = 5 * between(0, 19);
        }
        return task;
    }

    bool makeTasks(ProjectContext& project)
    {
        const int total = perProject(m_options.tasksPerProject, 4, 20);
        const std::vector<int> order = distinct(kTaskNameCount, kTaskNameCount);
        int made = 0;
        for (int top = 0; made < total; ++top) {
            QByteArray name = kTaskNames[order[std::size_t(top % kTaskNameCount)]];
            if (top >= kTaskNameCount)
                name += " (Phase " + QByteArray::number(top / kTaskNameCount + 1) + ')';
            TaskRecord task =
                newTask(project, name, "T-" + QByteArray::number(top + 1).rightJustified(2, '0'),
                        project.start, project.days);
            task.kind = TaskRecord::kTopLevel;
            if (!add(task, m_summary.tasks, task.identifier))
                return false;
            project.taskNames.append(name);
            ++made;

            const int subTasks = std::min(total - made, between(0, 2));
            const QDate parentStart = task.start.date();
            const int parentDays = int(parentStart.daysTo(task.end.date()));
            for (int i = 0; i < subTasks; ++i) {
                TaskRecord sub =
                    newTask(project, pick(kSubTaskNames), task.taskCode + '.' + QByteArray::number(i + 1),
                            parentStart, parentDays);
                sub.kind = TaskRecord::kSubTask;
                QByteArray identifier;
                if (!add(sub, m_summary.tasks, identifier))
                    return false;
                ++m_summary.subTasks;
                task.subTaskList = TextList::append(task.subTaskList, identifier);
                ++made;
            }
            if (subTasks > 0) {
                m_summary.error = m_sink.modifyTask(task);
                if (!m_summary.ok())
                    return false;
            }
        }
        return true;
    }

    bool makeMeetings(const ProjectContext& project)
    {
        const int count = perProject(m_options.meetingsPerProject, 1, 5);
        for (int i = 0; i < count; ++i) {
            const QDate day = i == 0 ? project.start : project.start.addDays(between(0, project.days));
            const QTime startTime(between(9, 16), chance(50) ? 0 : 30);
            const QDateTime start(day, startTime);
            MeetingRecord meeting = emptyRecord<MeetingRecord>(DateTime::fromQDateTime(start));
            meeting.projectIdentifier = project.identifier;
            meeting.clientIdentifier = project.clientIdentifier;
            meeting.subject = i == 0 ? "Kick-off Meeting" : pick(kMeetingSubjects);
            meeting.meetingCode = "MT-" + QByteArray::number(i + 1).rightJustified(2, '0');
            meeting.place = pick(kPlaces);
            meeting.lead = leadName(project);
            meeting.start = DateTime::fromQDateTime(start);
            meeting.end = DateTime::fromQDateTime(start.addSecs(30 * 60 * between(1, 4)));
            for (int note : distinct(int(std::size(kMeetingNotes)), between(1, 2)))
                meeting.notes += (meeting.notes.isEmpty() ? "" : "\r\n") + QByteArray(kMeetingNotes[note]);

            QList<QByteArray> attendees{meeting.lead};
            for (int resource : distinct(int(m_resources.size()), between(1, 3))) {
                const QByteArray& name = m_resources[std::size_t(resource)].name;
                if (!attendees.contains(name))
                    attendees.append(name);
            }
            attendees.append(project.contact.fullName());
            for (const QByteArray& name : attendees)
                meeting.attendees = TextList::append(meeting.attendees, name);

            QByteArray identifier;
            if (!add(meeting, m_summary.meetings, identifier))
                return false;

            std::vector<int> agendaItems = distinct(int(std::size(kAgendaItems)), between(2, 5));
            std::sort(agendaItems.begin(), agendaItems.end());
            QList<AgendaRecord> agenda;
            for (int item : agendaItems)
                agenda.append(
                    {kAgendaItems[item], DateTime::fromQDateTime(start.addSecs(15 * 60 * agenda.size()))});
            if (!writeList(ListFile::Agenda, identifier, encodeList(agenda), m_summary.agendaFiles))
                return false;

            QList<ActionRecord> actions;
            for (int item : distinct(int(std::size(kActionItems)), between(1, 4))) {
                actions.append({kActionItems[item], at(day.addDays(between(2, 14)), 17),
                                attendees[between(0, int(attendees.size()) - 1)], between(0, 2)});
            }
            if (!writeList(ListFile::Action, identifier, encodeList(actions), m_summary.actionFiles))
                return false;
        }
        return true;
    }

    bool makeMoneyFlows(const ProjectContext& project)
    {
        const int count = perProject(m_options.moneyFlowsPerProject, 2, 8);
        for (int i = 0; i < count; ++i) {
            const bool income = chance(40);
            const DateTime date = DateTime::fromDate(project.start.addDays(between(0, project.days)));
            MoneyFlowRecord entry = emptyRecord<MoneyFlowRecord>(date);
            entry.projectIdentifier = project.identifier;
            entry.kind = income ? MoneyFlowRecord::Income : MoneyFlowRecord::Expense;
            entry.name = taskName(project, income ? "Advance Payment" : "General Expenses");
            entry.amount = income ? 100.0 * between(10, 200) : 25.0 * between(4, 200);
            entry.taxPercentage = pick(kTaxRates);
            entry.netAmount = entry.amount - entry.amount * entry.taxPercentage * 0.01;
            entry.transactionDate = date;
            if (chance(30))
                entry.filePath =
                    project.folder() + (income ? "Receipt-" : "Bill-") + QByteArray::number(i + 1) + ".pdf";
            QByteArray identifier;
            if (!add(entry, m_summary.moneyFlows, identifier))
                return false;
        }
        return true;
    }

    bool makeInvoices(const ProjectContext& project)
    {
        const int count = perProject(m_options.invoicesPerProject, 0, 5);
        for (int i = 0; i < count; ++i) {
            const DateTime date = DateTime::fromDate(project.start.addDays(between(0, project.days)));
            InvoiceRecord invoice = emptyRecord<InvoiceRecord>(date);
            invoice.projectIdentifier = project.identifier;
            invoice.task = taskName(project, "Consulting Services");
            invoice.invoiceNumber = "INV-" + QByteArray::number(m_monthStart.year()) + '-' +
                                    QByteArray::number(++m_invoiceNumber).rightJustified(4, '0');
            invoice.invoiceDate = date;
            invoice.addressee = project.salutation + project.contact.last;
            invoice.signatory = leadName(project);
            if (chance(50))
                invoice.signatureImage = "/home/user/Pictures/Signature.png";
            invoice.subject = "Invoice for " + invoice.task;
            invoice.toAddress = project.clientName + "\r\n" + project.address;
            invoice.fromAddress = invoice.signatory + "\r\n" + kOurCompany + "\r\n" + kOurAddress;
            invoice.body = "Professional services for " + invoice.task +
                           " as agreed in the project plan.\r\n" +
                           "Payment is due within 30 days of the invoice date.";
            invoice.amount = 50.0 * between(10, 600) + (chance(20) ? 0.5 : 0.0);
            invoice.taxPercentage = pick(kTaxRates);
            invoice.netAmount = invoice.amount - invoice.amount * invoice.taxPercentage * 0.01;
            invoice.amountInWords = amountInWords(invoice.netAmount);
            invoice.currencyText = project.india ? "Rs.-INDIAN RUPEES" : "$-US DOLLAR";
            invoice.company = kOurCompany;
            QByteArray identifier;
            if (!add(invoice, m_summary.invoices, identifier))
                return false;
        }
        return true;
    }

    Sink& m_sink;
    DemoOptions m_options;
    std::mt19937 m_rng;
    QDate m_monthStart;
    std::vector<Resource> m_resources;
    int m_invoiceNumber = 0;
    DemoSummary m_summary;
};

} // namespace

DemoSummary generateDemoData(RecordStore& store, const DemoOptions& options)
{
    StoreSink sink(store);
    return Generator<StoreSink>(sink, options).run();
}

DemoSummary writeDemoFolder(const QString& folder, const DemoOptions& options)
{
    if (!QDir().mkpath(folder)) {
        DemoSummary failed;
        failed.error = QStringLiteral("%1: the folder cannot be created").arg(folder);
        return failed;
    }
    FolderSink sink(folder);
    return Generator<FolderSink>(sink, options).run();
}

} // namespace korvane
