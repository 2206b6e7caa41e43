#pragma once

#include "support/FileBytes.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

class QDialog;
class QListWidget;
class QTreeWidget;
class QWidget;

namespace korvane {
class RecordStore;
}

namespace korvane::test {

/**
 * A clean world for one widget test: message boxes and file dialogs answered through the test
 * seams, settings and the program's folder in fresh temporary folders, an empty data folder.
 */
class GuiWorld
{
public:
    GuiWorld();
    ~GuiWorld();

    /** The folder the user "picked" (the data folder's parent). */
    QString pickedFolder() const;
    /** The data folder, pickedFolder() + "/Korvane" (created). */
    QString dataFolder() const;
    /** The program's folder for generated pages (created). */
    QString programFolder() const;
    /** A store on the data folder, loaded. */
    RecordStore& store();
    /** Fills the data folder with the demo projects (seeded, so every run is the same) and reloads. */
    void fillDemoData(int projects = 3, int seed = 7);
    /** A project of the store from `start` to `end` (dates "yyyy-MM-dd"); returns its id. */
    QByteArray addProject(const QString& name, const QString& start = QStringLiteral("2024-01-01"),
                          const QString& end = QStringLiteral("2024-12-31"));
    /** A top-level task of `project` of medium priority, from today for ten days; returns its id. */
    QByteArray addTask(const QByteArray& project, const QByteArray& name);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RecordStore> m_store;
};

/** The day of the current month as "yyyy-MM-dd", for projects the main window lists at start. */
QString thisMonth(int day);
/** The named child of `parent`; a missing one stops the test program. */
template <class T = QWidget> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s", qPrintable(parent.objectName()), name);
    return found;
}
/** Writes `bytes` as the whole file; a test that cannot set up its files stops at once. */
void makeFile(const QString& path, const QByteArray& bytes = {});
/** Clicks the named button of `parent`; a missing button stops the test program. */
void clickChild(QWidget& parent, const char* name);
/** The texts of the rows of a list, or of the top-level rows of a tree, in their order. */
QStringList itemTexts(const QListWidget* list);
QStringList itemTexts(const QTreeWidget* tree);
/** Takes the messages shown so far: the one message, or "" (with a warning naming them) if not exactly one.
 */
QString onlyMessage();
/**
 * Answers the next dialogs: `script` (if any) works on each, then the named button (if any) is
 * clicked; the dialog's result is the answer.
 */
void answerDialogs(const char* button, std::function<void(QDialog&)> script = {});

/** Adds a row of test data on one line; text given as "..." goes into a QString column. */
template <class... Values> void dataRow(const char* name, Values... values)
{
    (QTest::newRow(name) << ... << values);
}

} // namespace korvane::test
