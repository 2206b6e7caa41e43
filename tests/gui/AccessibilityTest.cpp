// Every window's controls, read as a screen reader reads them, and reached with the Tab key.
#include "GuiTestSupport.h"

#include "editors/CMeetingSheet.h"
#include "editors/CProjectSheet.h"
#include "editors/CTaskSheet.h"
#include "editors/CurrencyDialog.h"
#include "editors/ImportDialog.h"
#include "editors/InvoiceDialog.h"
#include "editors/MoneyFlowDialog.h"
#include "editors/ProjectDocumentsDialog.h"
#include "editors/ResourceDialog.h"
#include "editors/TasksPerResourceWindow.h"
#include "shell/CMainFrame.h"
#include "shell/ChangeLoginDialog.h"
#include "shell/DataFolderLock.h"
#include "shell/LoginRecoveryDialog.h"
#include "shell/LoginStatusDialog.h"
#include "shell/LoginWindow.h"
#include "shell/PrintPreferenceDialog.h"
#include "shell/SetWorkingFolderDialog.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>
#include <QWizard>
#include <functional>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

/** Looks at an open window and returns what is wrong with it. */
using Inspect = std::function<QStringList(QWidget&)>;
/** Opens a window of the program on the demo data and inspects it while it is open. */
using Opener = std::function<QStringList(GuiWorld&, const Inspect&)>;

template <class R> const R& first(const RecordStore& store)
{
    return store.records<R>().begin()->record;
}

/** A window the test builds itself. */
template <class Make> Opener built(Make make)
{
    return [make](GuiWorld& w, const Inspect& inspect) {
        const std::unique_ptr<QWidget> window = make(w);
        window->show();
        return inspect(*window);
    };
}

/** A dialog that only its run function opens: inspected from the dialog hook, then cancelled. */
template <class Run> Opener run(Run runDialog)
{
    return [runDialog](GuiWorld& w, const Inspect& inspect) {
        QStringList faults{QStringLiteral("the dialog never opened")};
        UserDialogs::setDialogHandler([&](QDialog& dialog) {
            dialog.show();
            faults = inspect(dialog);
            return int(QDialog::Rejected);
        });
        runDialog(w.store());
        UserDialogs::setDialogHandler({});
        return faults;
    };
}

/** Every window of the program, built on the demo data. */
const QList<std::pair<const char*, Opener>>& windows()
{
    static DataFolderLock lock;
    static const QList<std::pair<const char*, Opener>> list = {
        {"main window", built([](GuiWorld& w) { return std::make_unique<CMainFrame>(w.store(), lock); })},
        {"project sheet", built([](GuiWorld& w) {
             const ProjectRecord& project = first<ProjectRecord>(w.store());
             return std::make_unique<CProjectSheet>(w.store(), project,
                                                    w.store().GetClient(project.clientIdentifier), false);
         })},
        {"task sheet", built([](GuiWorld& w) {
             return std::make_unique<CTaskSheet>(w.store(), first<TaskRecord>(w.store()),
                                                 CTaskSheet::Mode::ModifyTask);
         })},
        {"meeting sheet", built([](GuiWorld& w) {
             return std::make_unique<CMeetingSheet>(w.store(), first<MeetingRecord>(w.store()), DateTime(),
                                                    DateTime(), QStringLiteral("Modify Meeting"));
         })},
        {"resource dialog", built([](GuiWorld& w) {
             return std::make_unique<ResourceDialog>(QStringLiteral("Modify Resource"),
                                                     first<ResourceRecord>(w.store()));
         })},
        {"currency dialog",
         built([](GuiWorld&) { return std::make_unique<CurrencyDialog>(QStringLiteral("$")); })},
        {"documents dialog", built([](GuiWorld& w) {
             return std::make_unique<ProjectDocumentsDialog>(w.programFolder() +
                                                             QStringLiteral("/ProjectDoc.doc"));
         })},
        {"import dialog", built([](GuiWorld&) {
             return std::make_unique<ImportDialog>(ImportKind::Contacts, QStringLiteral("people.vcf"),
                                                   QList<ImportRow>());
         })},
        {"tasks per resource",
         built([](GuiWorld& w) { return std::make_unique<TasksPerResourceWindow>(w.store()); })},
        {"print preference",
         built([](GuiWorld& w) { return std::make_unique<PrintPreferenceDialog>(w.store()); })},
        {"login window", built([](GuiWorld& w) { return std::make_unique<LoginWindow>(w.dataFolder()); })},
        {"login recovery",
         built([](GuiWorld& w) { return std::make_unique<LoginRecoveryDialog>(w.dataFolder()); })},
        {"change login",
         built([](GuiWorld& w) { return std::make_unique<ChangeLoginDialog>(w.dataFolder()); })},
        {"login status",
         built([](GuiWorld& w) { return std::make_unique<LoginStatusDialog>(w.dataFolder()); })},
        {"working folder",
         built([](GuiWorld&) { return std::make_unique<SetWorkingFolderDialog>(QString()); })},
        {"money flow dialog", run([](RecordStore& store) {
             MoneyFlowDialog::modifyMoneyFlow(store, first<MoneyFlowRecord>(store).identifier, nullptr);
         })},
        {"action dialog", run([](RecordStore& store) {
             CMeetingSheet sheet(store, first<MeetingRecord>(store), DateTime(), DateTime(),
                                 QStringLiteral("Modify Meeting"));
             sheet.findChild<QPushButton*>(QStringLiteral("actionAddButton"))->click();
         })},
        {"invoice dialog", run([](RecordStore& store) {
             InvoiceDialog::modifyInvoice(store, first<InvoiceRecord>(store).identifier, nullptr);
         })},
    };
    return list;
}

bool explicitlyHidden(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* w = widget; w && w != window; w = w->parentWidget()) {
        // A wizard page that is not the current one is hidden by the wizard, not by choice.
        if (w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
            !qobject_cast<const QWizardPage*>(w))
            return true;
    }
    return false;
}

/** The controls of a window the keyboard can reach: on every page of a wizard. */
QList<QWidget*> focusable(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        // Pop-ups (a combo box's list) are windows of their own.
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy() && widget->isEnabled() &&
            widget->window() == window && !explicitlyHidden(widget, window))
            found.append(widget);
    }
    return found;
}

QString describe(const QWidget* widget)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
}

/** An input the user fills or sets (buttons and read-only fields aside). */
bool isInput(const QWidget* widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return !edit->isReadOnly() && !qobject_cast<const QComboBox*>(edit->parentWidget());
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           (qobject_cast<const QTextEdit*>(widget) && !static_cast<const QTextEdit*>(widget)->isReadOnly());
}

bool isReadOnly(const QWidget* widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->isReadOnly();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
        return edit->isReadOnly();
    if (auto* edit = qobject_cast<const QTextEdit*>(widget))
        return edit->isReadOnly();
    auto* spin = qobject_cast<const QAbstractSpinBox*>(widget);
    return spin && spin->isReadOnly();
}

/** Rows of a tree with check boxes that a screen reader is not told are checkable. */
QStringList uncheckableRows(QAccessibleInterface* iface, const QTreeView* tree)
{
    QStringList faults;
    int row = 0;
    for (QModelIndex index = tree->model()->index(0, 0); index.isValid();
         index = tree->indexBelow(index), ++row) {
        QAccessibleInterface* cell = iface->tableInterface()->cellAt(row, 0);
        if (index.data(Qt::CheckStateRole).isValid() && !(cell && cell->state().checkable))
            faults << describe(tree) +
                          QStringLiteral(" row \"%1\" is not checkable").arg(index.data().toString());
    }
    return faults;
}

QStringList namingFaults(QWidget& window)
{
    QStringList faults;
    for (QWidget* widget : focusable(&window)) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (iface->state().editable && isReadOnly(widget))
            faults << describe(widget) + QStringLiteral(" is read-only but said to be editable");
        if (auto* tree = qobject_cast<QTreeView*>(widget))
            faults << uncheckableRows(iface, tree);
        const QString name = iface->text(QAccessible::Name).trimmed();
        const QString value = iface->text(QAccessible::Value).trimmed();
        auto* link = qobject_cast<QPushButton*>(widget);
        if (name.isEmpty())
            faults << describe(widget) + QStringLiteral(" has no name");
        else if (link && link->isFlat() && name != link->text().remove(QLatin1Char('&')))
            faults << describe(widget) + QStringLiteral(" is a link not named by its text");
        // A button's and a list's value is their name; a field's value is what it holds.
        else if (!value.isEmpty() && name == value && !qobject_cast<QAbstractButton*>(widget) &&
                 !qobject_cast<QAbstractItemView*>(widget))
            faults << describe(widget) + QStringLiteral(" is named by its value \"%1\"").arg(value);
    }
    return faults;
}

bool nextPage(QWizard& wizard)
{
    const int before = wizard.currentId();
    wizard.next();
    return wizard.currentId() != before;
}

QStringList missedByTab(QWidget& window)
{
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        return {QStringLiteral("the window never became active")};
    auto* wizard = qobject_cast<QWizard*>(&window);
    QStringList missed;
    do {
        QSet<QWidget*> reached;
        for (int i = 0; i < 4 * focusable(&window).size() + 4; ++i) {
            QWidget* focus = QApplication::focusWidget();
            if (!focus)
                break;
            for (QWidget* w = focus; w; w = w->parentWidget())
                reached.insert(w); // an editable combo box's own line edit stands for it
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        for (QWidget* widget : focusable(&window)) {
            if (isInput(widget) && widget->isVisible() && !reached.contains(widget))
                missed << QStringLiteral("not reached with Tab: ") + describe(widget);
        }
    } while (wizard && nextPage(*wizard));
    return missed;
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsNamedByItsCaption_data() { windowRows(); }
    void everyControlIsNamedByItsCaption() { check(namingFaults); }

    void tabReachesEveryInput_data() { windowRows(); }
    void tabReachesEveryInput() { check(missedByTab); }

private:
    static void check(const Inspect& inspect)
    {
        QFETCH(int, index);
        GuiWorld world;
        world.fillDemoData(3, 7);
        const QStringList faults = windows()[index].second(world, inspect);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    static void windowRows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < windows().size(); ++i)
            QTest::newRow(windows()[i].first) << i;
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
