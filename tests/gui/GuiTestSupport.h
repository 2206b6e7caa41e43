#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

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
    /** A project of the store with `tasks` tasks from `start` to `end` (dates "yyyy-MM-dd"); returns its id. */
    QByteArray addProject(const QString& name, const QString& start, const QString& end);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RecordStore> m_store;
};

} // namespace korvane::test
