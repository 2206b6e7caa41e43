// Every window's controls, read as a screen reader reads them, and reached with the Tab key.
#include "GuiTestSupport.h"

#include "editors/CMeetingSheet.h"
#include "editors/CProjectSheet.h"
#include "editors/CTaskSheet.h"
#include "editors/CurrencyDialog.h"
#include "editors/ImportDialog.h"
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

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QWizard>
#include <functional>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

using Factory = std::function<std::unique_ptr<QWidget>(GuiWorld&)>;

template <class R> const R& first(const RecordStore& store)
{
    return store.records<R>().begin()->record;
}

/** Every window of the program, built on the demo data. */
const QList<std::pair<const char*, Factory>>& windows()
{
    static DataFolderLock lock;
    static const QList<std::pair<const char*, Factory>> list = {
        {"main window", [](GuiWorld& w) { return std::make_unique<CMainFrame>(w.store(), lock); }},
        {"project sheet",
         [](GuiWorld& w) {
             const ProjectRecord& project = first<ProjectRecord>(w.store());
             return std::make_unique<CProjectSheet>(w.store(), project,
                                                    w.store().GetClient(project.clientIdentifier), false);
         }},
        {"task sheet",
         [](GuiWorld& w) {
             return std::make_unique<CTaskSheet>(w.store(), first<TaskRecord>(w.store()),
                                                 CTaskSheet::Mode::ModifyTask);
         }},
        {"meeting sheet",
         [](GuiWorld& w) {
             return std::make_unique<CMeetingSheet>(w.store(), first<MeetingRecord>(w.store()), DateTime(),
                                                    DateTime(), QStringLiteral("Modify Meeting"));
         }},
        {"resource dialog",
         [](GuiWorld& w) {
             return std::make_unique<ResourceDialog>(QStringLiteral("Modify Resource"),
                                                     first<ResourceRecord>(w.store()));
         }},
        {"currency dialog", [](GuiWorld&) { return std::make_unique<CurrencyDialog>(QStringLiteral("$")); }},
        {"documents dialog",
         [](GuiWorld& w) {
             return std::make_unique<ProjectDocumentsDialog>(w.programFolder() +
                                                             QStringLiteral("/ProjectDoc.doc"));
         }},
        {"import dialog",
         [](GuiWorld&) {
             return std::make_unique<ImportDialog>(ImportKind::Contacts, QStringLiteral("people.vcf"),
                                                   QList<ImportRow>());
         }},
        {"tasks per resource",
         [](GuiWorld& w) { return std::make_unique<TasksPerResourceWindow>(w.store()); }},
        {"print preference", [](GuiWorld& w) { return std::make_unique<PrintPreferenceDialog>(w.store()); }},
        {"login window", [](GuiWorld& w) { return std::make_unique<LoginWindow>(w.dataFolder()); }},
        {"login recovery", [](GuiWorld& w) { return std::make_unique<LoginRecoveryDialog>(w.dataFolder()); }},
        {"change login", [](GuiWorld& w) { return std::make_unique<ChangeLoginDialog>(w.dataFolder()); }},
        {"login status", [](GuiWorld& w) { return std::make_unique<LoginStatusDialog>(w.dataFolder()); }},
        {"working folder", [](GuiWorld&) { return std::make_unique<SetWorkingFolderDialog>(QString()); }},
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

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsNamedByItsCaption_data() { windowRows(); }
    void everyControlIsNamedByItsCaption()
    {
        QFETCH(int, index);
        GuiWorld world;
        world.fillDemoData(3, 7);
        const std::unique_ptr<QWidget> window = windows()[index].second(world);
        window->show();
        QStringList faults;
        for (QWidget* widget : focusable(window.get())) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(iface);
            const QString name = iface->text(QAccessible::Name).trimmed();
            const QString value = iface->text(QAccessible::Value).trimmed();
            if (name.isEmpty())
                faults << describe(widget) + QStringLiteral(" has no name");
            // A button's and a list's value is their name; a field's value is what it holds.
            else if (!value.isEmpty() && name == value && !qobject_cast<QAbstractButton*>(widget) &&
                     !qobject_cast<QAbstractItemView*>(widget))
                faults << describe(widget) + QStringLiteral(" is named by its value \"%1\"").arg(value);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void tabReachesEveryInput_data() { windowRows(); }
    void tabReachesEveryInput()
    {
        QFETCH(int, index);
        GuiWorld world;
        world.fillDemoData(3, 7);
        const std::unique_ptr<QWidget> window = windows()[index].second(world);
        auto* wizard = qobject_cast<QWizard*>(window.get());
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        do {
            QList<QWidget*> inputs;
            for (QWidget* widget : focusable(window.get())) {
                if (isInput(widget) && widget->isVisible())
                    inputs.append(widget);
            }
            QSet<QWidget*> reached;
            for (int i = 0; i < 4 * focusable(window.get()).size() + 4; ++i) {
                QWidget* focus = QApplication::focusWidget();
                if (!focus)
                    break;
                reached.insert(focus);
                for (QWidget* w = focus->parentWidget(); w; w = w->parentWidget())
                    reached.insert(w); // an editable combo box's own line edit stands for it
                QTest::keyClick(focus, Qt::Key_Tab);
            }
            QStringList missed;
            for (QWidget* input : inputs) {
                if (!reached.contains(input))
                    missed << describe(input);
            }
            QVERIFY2(missed.isEmpty(),
                     qPrintable(QStringLiteral("not reached with Tab: ") + missed.join(", ")));
        } while (wizard && nextPage(*wizard));
    }

private:
    static void windowRows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < windows().size(); ++i)
            QTest::newRow(windows()[i].first) << i;
    }

    static bool nextPage(QWizard& wizard)
    {
        const int before = wizard.currentId();
        wizard.next();
        return wizard.currentId() != before;
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
