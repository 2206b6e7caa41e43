#include "ViewsFixture.h"

#include "store/ProjectDocuments.h"
#include "views/RecordSearch.h"

using namespace korvane;
using korvane::test::ViewsFixture;

namespace {

class RecordSearchTest : public ViewsFixture
{
protected:
    /** Every hit as "kind identifier project field [marked text]". */
    std::vector<std::string> find(RecordSearch& search, const QString& text, const SearchFilter& filter = {})
    {
        search.refresh();
        RecordSearch::Cursor cursor;
        std::vector<std::string> lines;
        for (const SearchHit& hit : search.find(text, filter, cursor)) {
            const QString marked = hit.text.left(hit.matchStart) + '[' +
                                   hit.text.mid(hit.matchStart, hit.matchLength) + ']' +
                                   hit.text.mid(hit.matchStart + hit.matchLength);
            lines.push_back(
                QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(QLatin1String(kindNames(hit.kind).word), QString::fromLatin1(hit.identifier),
                         QString::fromLatin1(hit.projectIdentifier), QString::fromLatin1(hit.field), marked)
                    .toStdString());
        }
        EXPECT_TRUE(search.atEnd(cursor));
        return lines;
    }
};

TEST(RecordSearchFold, DropsCaseAndAccentsAndTellsWhereEachCharacterCameFrom)
{
    EXPECT_EQ(RecordSearch::fold(u"ÉCOLE Ærø Straße ﬁn"), u"ecole ærø straße fin");
    // A letter already decomposed loses its combining accent the same way.
    EXPECT_EQ(RecordSearch::fold(u"Re\u0301sume\u0301"), u"resume");
    std::vector<qsizetype> origins;
    EXPECT_EQ(RecordSearch::fold(u"aé\u0301ﬁb", origins), u"aefib");
    EXPECT_EQ(origins, (std::vector<qsizetype>{0, 1, 3, 3, 4}));
}

TEST_F(RecordSearchTest, FindsEveryKindAndSideFileAndMarksTheMatchInTheShownText)
{
    ClientRecord client = emptyRecord<ClientRecord>();
    client.clientName = "Café Nova";
    const QByteArray clientId = added(m_store.AddClient(client));
    const QByteArray project = addProject("Nova bridge", at(2007, 3, 1), at(2007, 4, 1), "Rs.", clientId);
    const QByteArray resource = addResource("Ann", "NOVA lead");
    const QByteArray task = addTask(project, "Paint the nova sign", at(2007, 3, 2));
    const QByteArray meeting = addMeeting(project, "Kick-off", at(2007, 3, 3), "Ann\nBob nóva\n");
    writeList(ListFile::Agenda, meeting, encodeList(QList<AgendaRecord>{{"Budget", {}}, {"Nova plan", {}}}));
    writeList(ListFile::Action, meeting, encodeList(QList<ActionRecord>{{"Call", {}, "Nova office", 0}}));
    MoneyFlowRecord money = emptyRecord<MoneyFlowRecord>();
    money.projectIdentifier = project;
    money.name = "Supernova paint";
    const QByteArray moneyId = added(m_store.AddMoneyFlow(money));
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = project;
    invoice.invoiceNumber = "INV-1";
    invoice.body = "For the\nNOVA work";
    const QByteArray invoiceId = added(m_store.AddInvoice(invoice));
    ProjectDocuments documents;
    documents.row(2) = {"Plan", "", "/home/ann/nova.pdf"};
    ASSERT_EQ(documents.write(m_store.fileName(ListFile::ProjectDoc, project)), QString());
    RecordSearch search(m_store);
    // Identifiers and the task's kind word are not searched.
    EXPECT_TRUE(find(search, QString::fromLatin1(project)).empty());
    EXPECT_TRUE(find(search, QStringLiteral("NonSubTask")).empty());
    const std::string p = project.toStdString();
    EXPECT_EQ(find(search, QStringLiteral("NOVA")),
              (std::vector<std::string>{
                  "project " + p + " " + p + " name [Nova] bridge",
                  "project " + p + " " + p + " documents /home/ann/[nova].pdf",
                  "client " + clientId.toStdString() + " " + p + " client_name Café [Nova]",
                  "resource " + resource.toStdString() + "  designation [NOVA] lead",
                  "task " + task.toStdString() + " " + p + " name Paint the [nova] sign",
                  "meeting " + meeting.toStdString() + " " + p + " attendees Ann\nBob [nóva]\n",
                  "meeting " + meeting.toStdString() + " " + p + " agenda [Nova] plan",
                  "meeting " + meeting.toStdString() + " " + p + " actions [Nova] office",
                  "moneyflow " + moneyId.toStdString() + " " + p + " name Super[nova] paint",
                  "invoice " + invoiceId.toStdString() + " " + p + " body For the\n[NOVA] work",
              }));

    // The filters, alone and together; a client goes with the project that holds it.
    EXPECT_EQ(find(search, QStringLiteral("nova"), {RecordKind::Meeting, {}}).size(), 3u);
    EXPECT_EQ(find(search, QStringLiteral("nova"), {std::nullopt, project}).size(), 9u);
    EXPECT_EQ(find(search, QStringLiteral("nova"), {RecordKind::Client, project}).size(), 1u);
    EXPECT_TRUE(find(search, QStringLiteral("nova"), {std::nullopt, QByteArray("none")}).empty());

    // A search that stops after its first hits goes on where it stopped, with nothing lost or repeated.
    RecordSearch::Cursor cursor;
    std::size_t total = 0;
    while (!search.atEnd(cursor))
        total += search.find(QStringLiteral("nova"), {}, cursor, 3).size();
    EXPECT_EQ(total, 10u);
}

TEST_F(RecordSearchTest, ReadsWindows1252TextsAndFollowsChanges)
{
    const QByteArray project = addProject("Proj", at(2007, 3, 1), at(2007, 4, 1));
    // "Résumé" and "Œuvre" as the Windows program stores them: not UTF-8.
    const QByteArray task = addTask(project, "R\xe9sum\xe9 \x8cuvre", at(2007, 3, 2));
    RecordSearch search(m_store);
    EXPECT_EQ(find(search, QStringLiteral("resume")),
              std::vector<std::string>{"task " + task.toStdString() + " " + project.toStdString() +
                                       " name [Résumé] Œuvre"});
    EXPECT_EQ(find(search, QStringLiteral("œuv")).size(), 1u);
    // A match never runs from one text into the next, and an empty or blank text finds nothing.
    EXPECT_EQ(find(search, QStringLiteral("proj")).size(), 1u);
    EXPECT_TRUE(find(search, QStringLiteral("projrs")).empty());
    EXPECT_TRUE(find(search, QString()).empty());

    TaskRecord changed = m_store.GetTask(task);
    changed.name = "Other";
    ASSERT_EQ(m_store.ModifyTask(changed), QString());
    EXPECT_TRUE(find(search, QStringLiteral("resume")).empty());
    ASSERT_EQ(m_store.DeleteTask(task), QString());
    EXPECT_TRUE(find(search, QStringLiteral("other")).empty());

    // Documents are no records: their change counts once the index is told.
    ProjectDocuments documents;
    documents.row(0) = {"Plans", "", "plans.pdf"};
    ASSERT_EQ(documents.write(m_store.fileName(ListFile::ProjectDoc, project)), QString());
    EXPECT_TRUE(find(search, QStringLiteral("plans")).empty());
    search.invalidate();
    EXPECT_EQ(find(search, QStringLiteral("plans")).size(), 2u);
}

} // namespace
