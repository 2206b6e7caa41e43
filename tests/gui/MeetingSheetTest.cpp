#include "editors/CActionPg.h"
#include "editors/CAgendaPg.h"
#include "editors/CAttendeesPg.h"
#include "editors/CMeetingDetailsPg.h"
#include "editors/CMeetingSheet.h"
#include "editors/CSynopsisPg.h"
#include "gui/GuiTestSupport.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <functional>

using namespace korvane;
using namespace korvane::test;

namespace {

using SheetScript = std::function<void(CMeetingSheet&)>;
using DialogScript = std::function<void(QDialog&)>;

/** Answers the sheet with its script and each agenda or action dialog with the next queued script. */
void drive(const SheetScript& sheetScript, QList<DialogScript>& dialogs)
{
    UserDialogs::setDialogHandler([sheetScript, &dialogs](QDialog& dialog) {
        if (auto* sheet = qobject_cast<CMeetingSheet*>(&dialog)) {
            sheetScript(*sheet);
            return dialog.result();
        }
        if (dialogs.isEmpty())
            return int(QDialog::Rejected);
        dialogs.takeFirst()(dialog);
        return dialog.result();
    });
}

void drive(const SheetScript& sheetScript)
{
    static QList<DialogScript> none;
    none.clear();
    drive(sheetScript, none);
}

void click(QWizard& wizard, QWizard::WizardButton which)
{
    wizard.button(which)->click();
}

void clickNext(QWizard& wizard, int times)
{
    for (int i = 0; i < times; ++i)
        click(wizard, QWizard::NextButton);
}

/** An agenda dialog answer: the name typed and, when given, the time picked; then OK. */
DialogScript agendaAnswer(const QString& name, std::optional<QTime> time = {})
{
    return [=](QDialog& dialog) {
        child<QLineEdit>(dialog, "agendaNameEdit")->setText(name);
        if (time)
            child<QTimeEdit>(dialog, "agendaTimeEdit")->setTime(*time);
        child<QPushButton>(dialog, "okButton")->click();
    };
}

DialogScript actionAnswer(const QString& todo, const QString& who, std::optional<int> priority = {},
                          std::optional<QDateTime> due = {})
{
    return [=](QDialog& dialog) {
        child<QLineEdit>(dialog, "actionTodoEdit")->setText(todo);
        child<QLineEdit>(dialog, "actionWhoEdit")->setText(who);
        if (priority)
            child<QComboBox>(dialog, "actionPriorityCombo")->setCurrentIndex(*priority);
        if (due)
            child<QDateTimeEdit>(dialog, "actionDueEdit")->setDateTime(*due);
        child<QPushButton>(dialog, "okButton")->click();
    };
}

QString dateTime(const DateTime& value)
{
    return QStringLiteral("%1@%2").arg(value.status).arg(value.days, 0, 'g', 17);
}

/** The bytes of a meeting's agenda or action file, as the sheet left them. */
QByteArray listFile(RecordStore& store, ListFile file, const QByteArray& meeting)
{
    return fileBytes(store.fileName(file, meeting));
}

QByteArray addStoredMeeting(RecordStore& store, MeetingRecord meeting)
{
    const AddResult added = store.AddMeeting(meeting);
    if (!added.ok())
        qFatal("cannot add meeting: %s", qPrintable(added.error));
    return added.identifier;
}

MeetingRecord meetingOn(const QByteArray& project, const QDateTime& start, const QDateTime& end)
{
    MeetingRecord meeting = emptyRecord<MeetingRecord>();
    meeting.projectIdentifier = project;
    meeting.subject = "Review";
    meeting.start = DateTime::fromQDateTime(start);
    meeting.end = DateTime::fromQDateTime(end);
    return meeting;
}

const QDateTime kOpened(QDate(2024, 5, 6), QTime(13, 14, 15, 678));

} // namespace

class MeetingSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(kOpened); }
    void cleanup()
    {
        Clock::setFixed(QDateTime());
        UserDialogs::setDialogHandler({});
    }

    void addFinishedWithoutInputStoresDefaults();
    void modifyKeepsUneditedFieldsByteForByte_data();
    void modifyKeepsUneditedFieldsByteForByte();
    void agendaAndActionEditsAreWrittenOnNextAndReadBack();
    void endDateStaysOnTheStartsDay_data();
    void endDateStaysOnTheStartsDay();
    void startDateSpansTheProjectsWholeDays();
    void attendeesRowsAreRebuiltOnNext();
    void failedAgendaWriteIsShownAndKeepsThePage();
};

void MeetingSheetTest::addFinishedWithoutInputStoresDefaults()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject("Harbour");
    for (const char* name : {"bob", "Alice", "carl"}) {
        ResourceRecord resource = emptyRecord<ResourceRecord>();
        resource.name = name;
        QVERIFY(store.AddResource(resource).ok());
    }

    QStringList offered;
    QString leadShown = QStringLiteral("?");
    drive([&](CMeetingSheet& sheet) {
        QComboBox* lead = sheet.detailsPage()->leadCombo();
        for (int i = 0; i < lead->count(); ++i)
            offered.append(lead->itemText(i));
        leadShown = lead->currentText();
        // Finishing later must not move the dates off the moment the sheet opened.
        Clock::setFixed(kOpened.addSecs(3600));
        clickNext(sheet, 4);
        QCOMPARE(sheet.currentId(), int(CMeetingSheet::SynopsisPage));
        click(sheet, QWizard::FinishButton);
    });
    const EditorOutcome outcome = CMeetingSheet::addMeeting(store, project, nullptr);

    QCOMPARE(offered, (QStringList{"Alice", "bob", "carl"}));
    QCOMPARE(leadShown, QString());
    QVERIFY(outcome.finished);
    QCOMPARE(store.meetings().size(), 1);
    // The empty fields' defaults are RecordDefaults' (RecordRulesTest); here the dates the sheet opened at.
    const MeetingRecord stored = store.GetMeeting(outcome.identifier);
    QCOMPARE(dateTime(stored.start), dateTime(DateTime::fromQDateTime(kOpened)));
    QCOMPARE(dateTime(stored.end), dateTime(DateTime::fromQDateTime(kOpened)));
    // Both list pages were left by Next: their files hold no items, yet exist.
    QVERIFY(store.readMeetingList<AgendaRecord>(ListFile::Agenda, outcome.identifier).has_value());
    QVERIFY(store.readMeetingList<ActionRecord>(ListFile::Action, outcome.identifier).has_value());
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
}

void MeetingSheetTest::modifyKeepsUneditedFieldsByteForByte_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("nothing edited") << QString();
    QTest::newRow("place edited") << QStringLiteral("Room 4");
}

void MeetingSheetTest::modifyKeepsUneditedFieldsByteForByte()
{
    QFETCH(QString, place);
    GuiWorld world;
    RecordStore& store = world.store();
    // The meeting starts before the project and ends a day later (as an imported appointment may):
    // neither limit may move a date the user leaves alone.
    const QByteArray project = world.addProject("Harbour", "2024-06-01", "2024-06-30");
    MeetingRecord original = emptyRecord<MeetingRecord>();
    original.projectIdentifier = project;
    original.clientIdentifier = "CLIENT\xff";
    original.subject = "Caf\xe9 review";
    original.meetingCode = "M-7";
    original.place = "Salle \xe0 manger";
    original.lead = "Ren\xe9";
    original.reservedInteger1 = 77;
    original.start = DateTime{DateTime::Valid, 45418.4375123456789};
    original.end = DateTime{DateTime::Valid, 45419.5000000123};
    original.notes = "Line one\r\nLine two \xe9";
    original.attendees = "Ann\nJos\xe9\n";
    original.identifier = addStoredMeeting(store, original);
    AgendaRecord item{"Budget \xe9", DateTime{DateTime::Valid, 45418.41666666661}};
    const QString agendaPath = store.fileName(ListFile::Agenda, original.identifier);
    const QByteArray agendaBytes = encodeList(QList<AgendaRecord>{item});
    QCOMPARE(SafeFile::write(agendaPath, agendaBytes), QString());

    drive([&](CMeetingSheet& sheet) {
        if (!place.isEmpty())
            sheet.detailsPage()->placeEdit()->setText(place);
        clickNext(sheet, 4);
        click(sheet, QWizard::FinishButton);
    });
    const EditorOutcome outcome = CMeetingSheet::modifyMeeting(store, original.identifier, project, nullptr);

    QVERIFY(outcome.finished);
    QCOMPARE(outcome.identifier, original.identifier);
    MeetingRecord expected = original;
    if (!place.isEmpty())
        expected.place = place.toUtf8();
    QCOMPARE(encodeRecord(store.GetMeeting(original.identifier)).toHex(), encodeRecord(expected).toHex());
    QByteArray agendaAfter;
    QVERIFY(SafeFile::read(agendaPath, agendaAfter));
    QCOMPARE(agendaAfter.toHex(), agendaBytes.toHex());
}

void MeetingSheetTest::agendaAndActionEditsAreWrittenOnNextAndReadBack()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject("Harbour");
    const DateTime now = DateTime::fromQDateTime(kOpened);
    const DateTime nineThirty = DateTime::fromQDateTime(QDateTime(kOpened.date(), QTime(9, 30)));
    const QDateTime due(QDate(2024, 5, 10), QTime(16, 45));
    const QByteArray expectedAgenda =
        encodeList(QList<AgendaRecord>{{"Kick-off meeting", now}, {"Unknown", nineThirty}});
    const QByteArray expectedActions = encodeList(QList<ActionRecord>{
        {"Untitled", DateTime::fromQDateTime(due), "Unknown", 2}, {"Send minutes", now, "Ann", 0}});

    QList<DialogScript> dialogs{
        agendaAnswer(QStringLiteral("Kick-off")),
        agendaAnswer(QString(), QTime(9, 30)),
        agendaAnswer(QStringLiteral("Scratch")),
        agendaAnswer(QStringLiteral("Kick-off meeting")), // MODIFY of the first item
        actionAnswer(QString(), QString(), 2, due),
        actionAnswer(QStringLiteral("Send minutes"), QStringLiteral("Ann")),
    };
    QByteArray agendaOnNext, actionsOnNext;
    int itemsAfterBack = 0;
    QStringList questions;
    drive(
        [&](CMeetingSheet& sheet) {
            const QByteArray meeting = sheet.meeting().identifier;
            clickNext(sheet, 1);
            auto* add = child<QPushButton>(sheet, "agendaAddButton");
            add->click();
            add->click();
            add->click();
            QTreeWidget* agenda = sheet.agendaPage()->list();
            QCOMPARE(agenda->topLevelItemCount(), 3);
            QCOMPARE(agenda->topLevelItem(1)->text(0), QStringLiteral("Unknown"));
            QCOMPARE(agenda->topLevelItem(1)->text(1), QStringLiteral("9:30 AM"));
            // Back and Next again keep the unwritten items instead of reading the file over them.
            click(sheet, QWizard::BackButton);
            clickNext(sheet, 1);
            itemsAfterBack = agenda->topLevelItemCount();
            agenda->setCurrentItem(agenda->topLevelItem(0));
            child<QPushButton>(sheet, "agendaModifyButton")->click();
            // The Delete key asks first: No keeps the item, Yes removes it.
            agenda->setCurrentItem(agenda->topLevelItem(2));
            UserDialogs::setNextAnswer(false);
            QTest::keyClick(agenda, Qt::Key_Delete);
            QCOMPARE(agenda->topLevelItemCount(), 3);
            UserDialogs::setNextAnswer(true);
            QTest::keyClick(agenda, Qt::Key_Delete);
            QCOMPARE(agenda->topLevelItemCount(), 2);
            questions = UserDialogs::takeMessages();
            clickNext(sheet, 1);
            agendaOnNext = listFile(store, ListFile::Agenda, meeting);

            auto* addAction = child<QPushButton>(sheet, "actionAddButton");
            addAction->click();
            addAction->click();
            QCOMPARE(sheet.actionPage()->list()->item(1)->text(),
                     QStringLiteral("Send minutes - Ann\n5/6/24"));
            clickNext(sheet, 1);
            actionsOnNext = listFile(store, ListFile::Action, meeting);
            clickNext(sheet, 1);
            click(sheet, QWizard::FinishButton);
        },
        dialogs);
    const EditorOutcome outcome = CMeetingSheet::addMeeting(store, project, nullptr);

    QVERIFY(outcome.finished);
    QCOMPARE(questions, (QStringList{"Do you want to delete this?", "Do you want to delete this?"}));
    QCOMPARE(agendaOnNext, expectedAgenda);
    QCOMPARE(actionsOnNext, expectedActions);
    QCOMPARE(itemsAfterBack, 3);
    QCOMPARE(listFile(store, ListFile::Agenda, outcome.identifier), expectedAgenda);
    QCOMPARE(listFile(store, ListFile::Action, outcome.identifier), expectedActions);

    // Opening the meeting again shows what the files hold.
    QByteArray agendaShown, actionsShown;
    drive([&](CMeetingSheet& sheet) {
        clickNext(sheet, 2);
        agendaShown = encodeList(sheet.agendaPage()->items());
        actionsShown = encodeList(sheet.actionPage()->items());
        click(sheet, QWizard::CancelButton);
    });
    QVERIFY(!CMeetingSheet::modifyMeeting(store, outcome.identifier, project, nullptr).finished);
    QCOMPARE(agendaShown, expectedAgenda);
    QCOMPARE(actionsShown, expectedActions);
}

void MeetingSheetTest::endDateStaysOnTheStartsDay_data()
{
    QTest::addColumn<QDateTime>("storedStart");
    QTest::addColumn<QDateTime>("storedEnd");
    QTest::addColumn<QDateTime>("pickedStart"); // invalid: not picked
    QTest::addColumn<QDateTime>("pickedEnd");   // invalid: not picked
    QTest::addColumn<QDateTime>("endShown");

    const QDate day(2024, 5, 6);
    const QDateTime ten(day, QTime(10, 0));
    const QDateTime eleven(day, QTime(11, 0));
    const QDateTime none;
    dataRow("stored end before start", ten, QDateTime(day, QTime(9, 0)), none, none, ten);
    dataRow("end picked before start", ten, eleven, none, QDateTime(day, QTime(9, 15)), ten);
    dataRow("end picked next day", ten, eleven, none, QDateTime(day.addDays(1), QTime(9, 0)),
            QDateTime(day, QTime(23, 59, 59)));
    dataRow("start moved past end", ten, eleven, QDateTime(day, QTime(11, 30)), none,
            QDateTime(day, QTime(11, 30)));
    dataRow("start moved to next day", ten, eleven, QDateTime(day.addDays(1), QTime(8, 0)), none,
            QDateTime(day.addDays(1), QTime(8, 0)));
    dataRow("start moved to day before", ten, eleven, QDateTime(day.addDays(-1), QTime(8, 0)), none,
            QDateTime(day.addDays(-1), QTime(23, 59, 59)));
}

void MeetingSheetTest::endDateStaysOnTheStartsDay()
{
    QFETCH(QDateTime, storedStart);
    QFETCH(QDateTime, storedEnd);
    QFETCH(QDateTime, pickedStart);
    QFETCH(QDateTime, pickedEnd);
    QFETCH(QDateTime, endShown);
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject("Harbour", "2024-05-01", "2024-05-31");
    const QByteArray meeting = addStoredMeeting(store, meetingOn(project, storedStart, storedEnd));

    QDateTime shown;
    drive([&](CMeetingSheet& sheet) {
        CMeetingDetailsPg* details = sheet.detailsPage();
        if (pickedStart.isValid())
            details->startEdit()->setDateTime(pickedStart);
        if (pickedEnd.isValid())
            details->endEdit()->setDateTime(pickedEnd);
        shown = details->endEdit()->dateTime();
        clickNext(sheet, 4);
        click(sheet, QWizard::FinishButton);
    });
    QVERIFY(CMeetingSheet::modifyMeeting(store, meeting, project, nullptr).finished);

    QCOMPARE(shown, endShown);
    QCOMPARE(dateTime(store.GetMeeting(meeting).end), dateTime(DateTime::fromQDateTime(endShown)));
}

void MeetingSheetTest::startDateSpansTheProjectsWholeDays()
{
    GuiWorld world;
    RecordStore& store = world.store();
    // Project dates carry the time of day they were entered at.
    const QByteArray project = world.addProject("Harbour", "2024-05-01", "2024-05-31");
    ProjectRecord timed = store.GetProject(project);
    timed.startDate = DateTime::fromQDateTime(QDateTime(QDate(2024, 5, 1), QTime(15, 0)));
    timed.endDate = DateTime::fromQDateTime(QDateTime(QDate(2024, 5, 31), QTime(8, 0)));
    QCOMPARE(store.ModifyProject(timed), QString());
    const QDateTime lateOnLastDay(QDate(2024, 5, 31), QTime(18, 0));
    const QByteArray meeting = addStoredMeeting(store, meetingOn(project, lateOnLastDay, lateOnLastDay));

    QDateTime earliest, latest, startShown;
    drive([&](CMeetingSheet& sheet) {
        QDateTimeEdit* start = sheet.detailsPage()->startEdit();
        earliest = start->minimumDateTime();
        latest = start->maximumDateTime();
        startShown = start->dateTime();
        click(sheet, QWizard::CancelButton);
    });
    CMeetingSheet::modifyMeeting(store, meeting, project, nullptr);

    QCOMPARE(earliest, QDateTime(QDate(2024, 5, 1), QTime(0, 0)));
    QCOMPARE(latest, QDateTime(QDate(2024, 5, 31), QTime(23, 59, 59)));
    QCOMPARE(startShown, lateOnLastDay);
}

void MeetingSheetTest::attendeesRowsAreRebuiltOnNext()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject("Harbour");
    MeetingRecord stored = meetingOn(project, kOpened, kOpened);
    stored.attendees = "Ann\nJos\xe9\nCid";
    const QByteArray meeting = addStoredMeeting(store, stored);

    QStringList rows;
    QByteArray leftWith;
    int pageAfterEnter = -1;
    QString copied;
    drive([&](CMeetingSheet& sheet) {
        clickNext(sheet, 3);
        CAttendeesPg* page = sheet.attendeesPage();
        QTreeWidget* list = page->rows();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.append(list->topLevelItem(i)->text(0));
        // Enter in the edit adds the name instead of moving on.
        QTest::keyClicks(page->nameEdit(), QStringLiteral("Dee"));
        QTest::keyClick(page->nameEdit(), Qt::Key_Return);
        pageAfterEnter = sheet.currentId();
        QCOMPARE(page->nameEdit()->text(), QString());
        emit list->itemClicked(list->topLevelItem(0), 0);
        copied = page->nameEdit()->text();
        page->nameEdit()->clear();
        list->setCurrentItem(list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Delete);
        clickNext(sheet, 1);
        leftWith = page->attendees();
        click(sheet, QWizard::FinishButton);
    });
    QVERIFY(CMeetingSheet::modifyMeeting(store, meeting, project, nullptr).finished);

    QCOMPARE(rows, (QStringList{"Ann", QStringLiteral("Jos\u00e9")}));
    QCOMPARE(pageAfterEnter, int(CMeetingSheet::AttendeesPage));
    QCOMPARE(copied, QStringLiteral("Ann"));
    // Deleting asks nothing; the unended "Cid" is gone and José keeps its stored byte.
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(leftWith, QByteArray("Jos\xe9\nDee\n"));
    QCOMPARE(store.GetMeeting(meeting).attendees, QByteArray("Jos\xe9\nDee\n"));
}

void MeetingSheetTest::failedAgendaWriteIsShownAndKeepsThePage()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject("Harbour");
    const QByteArray meeting = addStoredMeeting(store, meetingOn(project, kOpened, kOpened));
    // A folder where the agenda file belongs makes both reading and writing it fail.
    const QString agendaPath = store.fileName(ListFile::Agenda, meeting);
    QVERIFY(QDir().mkpath(agendaPath));

    QList<DialogScript> dialogs{agendaAnswer(QStringLiteral("Kick-off"))};
    QStringList messages;
    int pageAfterFailure = -1;
    drive(
        [&](CMeetingSheet& sheet) {
            clickNext(sheet, 1);
            child<QPushButton>(sheet, "agendaAddButton")->click();
            clickNext(sheet, 1);
            pageAfterFailure = sheet.currentId();
            messages = UserDialogs::takeMessages();
            QVERIFY(QDir(agendaPath).removeRecursively());
            clickNext(sheet, 3);
            click(sheet, QWizard::FinishButton);
        },
        dialogs);
    QVERIFY(CMeetingSheet::modifyMeeting(store, meeting, project, nullptr).finished);

    QCOMPARE(pageAfterFailure, int(CMeetingSheet::AgendaPage));
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages[0].contains(agendaPath)); // could not be read
    QVERIFY(messages[1].startsWith(QStringLiteral("The agenda could not be saved.\n") + agendaPath +
                                   QStringLiteral(": ")));
    QCOMPARE(listFile(store, ListFile::Agenda, meeting),
             encodeList(QList<AgendaRecord>{{"Kick-off", DateTime::fromQDateTime(kOpened)}}));
}

QTEST_MAIN(MeetingSheetTest)
#include "MeetingSheetTest.moc"
