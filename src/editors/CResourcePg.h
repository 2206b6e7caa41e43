#pragma once

#include "records/Records.h"

#include <QByteArray>
#include <QWizardPage>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane {

class RecordStore;

/**
 * A wizard page listing every resource of the store with a check box, for choosing who leads a
 * project or works on a task; resources added, changed or deleted here are stored at once.
 */
class CResourcePg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CResourcePg(RecordStore& store, QWidget* parent = nullptr);

    /**
     * Fills the tree from every resource in the store, sorted by name ignoring case, and checks the
     * resources whose identifiers the list holds (entries each ended by a line feed).
     */
    void setResourceList(const QByteArray& list);
    /**
     * The checked resources' identifiers, each followed by a line feed, in tree order; the list given
     * to setResourceList, byte for byte, while the check marks still say the same.
     */
    QByteArray resourceList() const;
    /** The tree of resources under its "Resource" root. */
    QTreeWidget* tree() const { return m_tree; }

    /** Takes the check marks as the list that IMPORT refills from. */
    bool validatePage() override;

private:
    void fill(const QByteArray& list);
    QByteArray collect() const;
    QTreeWidgetItem* makeItem(const ResourceRecord& record, bool spacedCaptions, bool checked) const;
    QTreeWidgetItem* selectedResourceItem(bool includeLines) const;
    void addResource();
    void modifyResource();
    void deleteResource();
    void importResources();
    void followCheck(QTreeWidgetItem* item);

    RecordStore& m_store;
    QTreeWidget* m_tree;
    QTreeWidgetItem* m_root = nullptr;
    QPushButton* m_add;
    QPushButton* m_modify;
    QPushButton* m_delete;
    QPushButton* m_import;
    /** The list as it stood when the page was filled or last left by Next or Finish. */
    QByteArray m_list;
    /** What collect() gave right after filling from m_list. */
    QByteArray m_listAsShown;
};

} // namespace korvane
