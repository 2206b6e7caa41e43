#pragma once

#include "records/Records.h"
#include "ui/CommandTable.h"

#include <QByteArray>
#include <QDate>
#include <QListView>
#include <QSet>

class QMenu;

namespace korvane {

class ProjectListItemModel;
class ProjectRowDelegate;
class RecordStore;

/**
 * The project list: a caption row "Projects" and one row per project starting in the chosen months,
 * each with its dates, linked file and documents icons and progress bar.
 *
 * Keys: Up, Down, Page Up, Page Down, Home and End choose a project like a click; Enter or F2 modify
 * it; Ctrl+D opens its documents, Ctrl+L its linked file; the Menu key or Shift+F10 opens the pop-up.
 */
class CKorvaneView : public QListView
{
    Q_OBJECT
public:
    /** An empty list over the store, which must outlive it; fill() lists the projects. */
    explicit CKorvaneView(const RecordStore& store, QWidget* parent = nullptr);

    /** Clears and refills for the month range (caption row first), sorted by start date; no row selected
     * afterwards. */
    void fill(const QDate& from, const QDate& to);
    /** Removes every row and the project copies they hold. */
    void clear();
    /** Rows including the caption row 0. */
    int rowCount() const;
    /** The row carrying the selection mark, -1 when none. */
    int selectedRow() const;
    /** Moves the selection mark to the row (no signals) and scrolls it into view; a row below 1 or past the end
     * removes the mark. */
    void setSelectedRow(int row);
    /** Row of the project with that identifier, -1 when not listed. */
    int rowOfProject(const QByteArray& identifier) const;
    /** True when the rows of these projects (those listed) show the progress the store gives them now. */
    bool showsProgressOf(const QSet<QByteArray>& projects) const;
    /** The project copy of a row (nullptr for row 0 / out of range). */
    const ProjectRecord* projectAt(int row) const;
    /** Wide enough for a whole row (up to the progress bar's end) beside the vertical scroll bar. */
    QSize sizeHint() const override;
    /** What the empty area says when no project is listed: the calendar toolbar's months choose them. */
    static QString emptyListHint();

signals:
    /** An entry of the right-click "Project" pop-up asked for a main-window command. */
    void commandRequested(korvane::Command command);
    /** Before the user acts on a project row (click, key, right click, double click): the main window
     * commits the synopsis. */
    void aboutToChangeProject();
    /** The user made this row the selected project (the mark has moved already). */
    void projectChosen(const QByteArray& identifier);
    /** The documents icon of a row was clicked (the documents dialog belongs to the main window). */
    void documentsRequested(const QByteArray& identifier);
    /** Double click on a project row (or Enter, F2): modify the selected project. */
    void modifyRequested();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class KeyAction
    {
        None,
        Move,
        Modify,
        Menu,
        Documents,
        OpenLink,
    };
    KeyAction keyAction(const QKeyEvent* event) const;
    int keyTarget(int key) const;

    /** Lets the main window commit the synopsis, then takes up the committed project copy. */
    void commitBeforeChange();
    void choose(const QByteArray& identifier);
    void openLinkedFile(const QString& path);
    void showMenu(const QPoint& globalPos);

    const RecordStore& m_store;
    ProjectListItemModel* m_model;
    ProjectRowDelegate* m_delegate;
    QMenu* m_menu;
};

} // namespace korvane
