#include "views/widgets/ProjectListItemModel.h"

#include "records/Text.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"

namespace korvane {

namespace {
const QString kCaption = QStringLiteral("Projects");
const QString kDatePicture = QStringLiteral("dd MMM yy");
} // namespace

ProjectListItemModel::ProjectListItemModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

QString ProjectListItemModel::datesOf(const ProjectRecord& project) const
{
    // QLocale() is the system locale unless the program (or a test) pinned another one.
    const QLocale locale;
    return DisplayFormat::dateWithPicture(project.startDate, kDatePicture, locale) + QStringLiteral(" - ")
           + DisplayFormat::dateWithPicture(project.endDate, kDatePicture, locale);
}

void ProjectListItemModel::fill(const RecordStore& store, const QDate& from, const QDate& to)
{
    beginResetModel();
    ProjectListModel model;
    model.fill(store, from, to);
    model.sort();
    m_rows = model.rows();
    m_dates.clear();
    m_dates.reserve(qsizetype(m_rows.size()));
    for (const ProjectListRow& row : m_rows)
        m_dates.append(row.isCaption() ? QString() : datesOf(*row.project));
    endResetModel();
}

void ProjectListItemModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_dates.clear();
    endResetModel();
}

void ProjectListItemModel::refreshProject(int row, const RecordStore& store)
{
    const ProjectRecord* copy = projectAt(row);
    if (!copy)
        return;
    const ProjectRecord* current = store.projects().find(copy->identifier);
    if (!current || *current == *copy)
        return;
    ProjectListRow& target = m_rows[size_t(row)];
    target.project = *current;
    target.text = displayText(current->name);
    m_dates[row] = datesOf(*current);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

const ProjectRecord* ProjectListItemModel::projectAt(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || m_rows[size_t(row)].isCaption())
        return nullptr;
    return &*m_rows[size_t(row)].project;
}

int ProjectListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ProjectListItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ProjectListRow& row = m_rows[size_t(index.row())];
    if (row.isCaption()) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return kCaption;
        case CaptionRole:
            return true;
        default:
            return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        return row.text;
    case Qt::AccessibleTextRole:
        return QStringLiteral("%1, %2, progress %3%").arg(row.text, m_dates[index.row()]).arg(row.progress);
    case CaptionRole:
        return false;
    case IdentifierRole:
        return row.project->identifier;
    case DatesRole:
        return m_dates[index.row()];
    case ProgressRole:
        return row.progress;
    case FileLinkRole:
        return displayText(row.project->fileLink);
    default:
        return {};
    }
}

Qt::ItemFlags ProjectListItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.data(CaptionRole).toBool())
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace korvane
