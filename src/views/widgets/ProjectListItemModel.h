#pragma once

#include "views/ProjectListModel.h"

#include <QAbstractListModel>
#include <QStringList>

namespace korvane {

class RecordStore;

/** Presents the rows of the project list (caption row first) to the list widget and screen readers. */
class ProjectListItemModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        /** bool: true for the caption row. */
        CaptionRole = Qt::UserRole + 1,
        /** QByteArray: the project identifier. */
        IdentifierRole,
        /** QString: start date + " - " + end date, both "dd MMM yy". */
        DatesRole,
        /** int: the weighted progress, 0 to 100 as stored. */
        ProgressRole,
        /** QString: the linked file's path, empty when none. */
        FileLinkRole,
    };

    /** An empty list; fill() gives it rows. */
    explicit ProjectListItemModel(QObject* parent = nullptr);

    /** Refills from the store for the month range, caption row first, sorted by start date. */
    void fill(const RecordStore& store, const QDate& from, const QDate& to);
    /** Removes every row and the project copies they hold. */
    void clear();
    /** Replaces the project copy of a row with the store's current record (after a synopsis commit). */
    void refreshProject(int row, const RecordStore& store);

    /** The project copy of a row, nullptr for the caption row and rows out of range. */
    const ProjectRecord* projectAt(int row) const;

    /** The caption row and the project rows. */
    int rowCount(const QModelIndex& parent = {}) const override;
    /** The row's name, screen reader text ("name, dates, progress n%") and the values of the roles above. */
    QVariant data(const QModelIndex& index, int role) const override;
    /** Project rows can be selected; the caption row cannot. */
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString datesOf(const ProjectRecord& project) const;

    std::vector<ProjectListRow> m_rows;
    /** The dates text of each row, made once per fill rather than on every paint. */
    QStringList m_dates;
};

} // namespace korvane
