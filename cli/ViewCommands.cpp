#include "CliApp.h"

#include "JsonRecords.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "views/DetailsTrees.h"
#include "views/ProgressGraphModel.h"
#include "views/ProjectListModel.h"
#include "views/RecordSearch.h"

#include <QRegularExpression>

namespace korvane {

namespace {

/** A month argument "YYYY-MM" as the 1st of that month, or an invalid date. */
QDate monthArgument(const QByteArray& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const auto match = pattern.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return {};
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), 1);
}

/** A date-time as an ISO 8601 local date-time string, or null when it stands for no moment. */
QByteArray isoDateTime(const DateTime& value)
{
    const QDateTime moment = value.toQDateTime();
    if (!moment.isValid())
        return "null";
    return JsonRecords::quoted(moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
}

/** A text on one output line: the characters that would end the line or the column are escaped. */
QByteArray oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text.toUtf8();
}

} // namespace

int CliApp::projects(const QList<QByteArray>& args)
{
    expectCount(args, 2, "projects FROM TO");
    const QDate from = monthArgument(args[0]);
    const QDate to = monthArgument(args[1]);
    for (const auto& [date, text] : {std::pair{from, args[0]}, std::pair{to, args[1]}}) {
        if (!date.isValid())
            fail(InvalidInput,
                 QStringLiteral("\"%1\" is not a month of the form YYYY-MM").arg(displayText(text)));
    }
    ProjectListModel list;
    list.fill(store(), from, to, true);
    list.sort();
    for (const ProjectListRow& row : list.rows()) {
        print(row.project->identifier + '\t' + QByteArray::number(row.progress) + '\t' + row.text.toUtf8());
    }
    return Success;
}

int CliApp::tree(const QList<QByteArray>& args)
{
    const char* usage = "tree tasks|meetings|money PROJECT_ID";
    expectCount(args, 2, usage);
    const QByteArray& which = args[0];
    if (which != "tasks" && which != "meetings" && which != "money")
        usageLine(usage);
    const RecordStore& records = store();
    if (!records.projects().contains(args[1]))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(args[1])));
    const TreeNode root = which == "tasks"      ? buildTaskTree(records, args[1])
                          : which == "meetings" ? buildMeetingTree(records, args[1])
                                                : buildMoneyFlowTree(records, args[1]);
    m_out.write(treeOutline(root));
    return Success;
}

int CliApp::graph(const QList<QByteArray>& args)
{
    expectCount(args, 1, "graph PROJECT_ID");
    const RecordStore& records = store();
    if (!records.projects().contains(args[0]))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(args[0])));
    ProgressGraphModel graph;
    graph.fill(records, args[0]);
    const GraphAxis& axis = graph.axis();
    const DateTime now = DateTime::now();

    QByteArray json =
        "{\"mode\": " + QByteArray::number(axis.mode) + ", \"part\": " + QByteArray::number(axis.part) +
        ", \"start\": " + isoDateTime(axis.start) + ", \"end\": " + isoDateTime(axis.end) + ", \"labels\": [";
    const QStringList labels = axis.labelTexts();
    for (qsizetype i = 0; i < labels.size(); ++i)
        json += (i ? ", " : "") + JsonRecords::quoted(labels[i]);
    json += "], \"caption\": " + JsonRecords::quoted(axis.caption()) + ", \"rows\": [";
    bool first = true;
    for (const GraphRow& row : graph.rows()) {
        json += first ? "{" : ", {";
        first = false;
        json += "\"kind\": " + QByteArray::number(row.kind);
        json += ", \"id\": " + JsonRecords::text(row.id);
        json += ", \"lead\": " + JsonRecords::quoted(row.lead);
        json += ", \"name\": " + JsonRecords::quoted(row.name);
        json += ", \"start\": " + isoDateTime(row.start);
        json += ", \"end\": " + isoDateTime(row.end);
        json += ", \"priority\": " + QByteArray::number(row.priority);
        json += ", \"completion\": " + QByteArray::number(row.completion);
        json += ", \"status\": " +
                JsonRecords::quoted(ProgressGraphModel::statusText(ProgressGraphModel::status(row, now)));
        json += '}';
    }
    json += "]}";
    print(json);
    return Success;
}

int CliApp::search(const QList<QByteArray>& args)
{
    const char* usage = "search TEXT [--kind KIND] [--project ID]";
    if (args.isEmpty() || args.size() % 2 == 0)
        usageLine(usage);
    SearchFilter filter;
    for (qsizetype at = 1; at < args.size(); at += 2) {
        if (args[at] == "--kind" && !filter.kind)
            filter.kind = kindArgument(args[at + 1]);
        else if (args[at] == "--project" && !filter.projectIdentifier)
            filter.projectIdentifier = args[at + 1];
        else
            usageLine(usage);
    }
    const QString text = QString::fromLocal8Bit(args[0]);
    if (RecordSearch::fold(text).isEmpty())
        usageError(QStringLiteral("search needs a text to look for"));
    RecordSearch search(store());
    search.refresh();
    RecordSearch::Cursor cursor;
    for (const SearchHit& hit : search.find(text, filter, cursor)) {
        const bool ownsProject = hit.kind != RecordKind::Client && hit.kind != RecordKind::Resource;
        print(QByteArray(kindNames(hit.kind).word) + '\t' + hit.identifier + '\t' +
              (ownsProject ? hit.projectIdentifier : QByteArray()) + '\t' + hit.field + '\t' +
              oneLine(hit.text));
    }
    return Success;
}

} // namespace korvane
