#include "views/widgets/FindWindow.h"

#include "records/Text.h"
#include "store/RecordStore.h"
#include "views/widgets/MatchMarkDelegate.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace korvane {

namespace {

// The first rows come at once; the rest follow in slices, so typing never waits for a whole search.
constexpr qsizetype kFirstRows = 100;
constexpr qsizetype kSliceRows = 1000;
// A long text shows from shortly before its match, so the match is on screen.
constexpr qsizetype kLeadIn = 24;
constexpr qsizetype kShownLength = 240;

QString kindText(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Project:
        return FindWindow::tr("Project");
    case RecordKind::Client:
        return FindWindow::tr("Client");
    case RecordKind::Resource:
        return FindWindow::tr("Resource");
    case RecordKind::Task:
        return FindWindow::tr("Task");
    case RecordKind::Meeting:
        return FindWindow::tr("Meeting");
    case RecordKind::MoneyFlow:
        return FindWindow::tr("Money Flow");
    case RecordKind::Invoice:
        break;
    }
    return FindWindow::tr("Invoice");
}

} // namespace

/** The hits as rows of four columns; the text column gives where its match lies. */
class FindWindow::HitModel : public QAbstractTableModel
{
public:
    enum Column
    {
        KindColumn,
        NameColumn,
        ProjectColumn,
        TextColumn,
        ColumnCount
    };

    explicit HitModel(const RecordStore& store, QObject* parent) : QAbstractTableModel(parent), m_store(store)
    {
    }

    const std::vector<SearchHit>& hits() const { return m_hits; }

    void clear()
    {
        beginResetModel();
        m_hits.clear();
        endResetModel();
    }

    void append(std::vector<SearchHit> more)
    {
        if (more.empty())
            return;
        const int first = int(m_hits.size());
        beginInsertRows({}, first, first + int(more.size()) - 1);
        for (SearchHit& hit : more)
            m_hits.push_back(std::move(hit));
        endInsertRows();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_hits.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case KindColumn:
            return tr("Kind");
        case NameColumn:
            return tr("Name");
        case ProjectColumn:
            return tr("Project");
        default:
            return tr("Text");
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(m_hits.size()))
            return {};
        const SearchHit& hit = m_hits[std::size_t(index.row())];
        if (role == Qt::ToolTipRole && index.column() == TextColumn)
            return QString::fromLatin1(hit.field);
        if (index.column() != TextColumn) {
            if (role != Qt::DisplayRole)
                return {};
            if (index.column() == KindColumn)
                return kindText(hit.kind);
            if (index.column() == NameColumn)
                return hit.name;
            const ProjectRecord* project = m_store.projects().find(hit.projectIdentifier);
            return project ? displayText(project->name) : QString();
        }
        // One line from shortly before the match, line breaks shown as blanks.
        const qsizetype from = hit.matchStart > kLeadIn * 2 ? hit.matchStart - kLeadIn : 0;
        const QString prefix = from > 0 ? QStringLiteral("…") : QString();
        switch (role) {
        case Qt::DisplayRole: {
            QString shown = prefix + hit.text.mid(from, kShownLength);
            for (QChar& c : shown) {
                if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
                    c = QLatin1Char(' ');
            }
            return shown;
        }
        case MatchMarkDelegate::MatchStartRole:
            return qlonglong(hit.matchStart - from + prefix.size());
        case MatchMarkDelegate::MatchLengthRole:
            return qlonglong(hit.matchLength);
        default:
            return {};
        }
    }

private:
    const RecordStore& m_store;
    std::vector<SearchHit> m_hits;
};

FindWindow::FindWindow(const RecordStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store), m_search(store)
{
    setObjectName(QStringLiteral("FindWindow"));
    setWindowTitle(tr("Find"));
    setAccessibleName(windowTitle());

    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("FindText"));
    m_text->setAccessibleName(tr("Find text"));
    m_text->setPlaceholderText(tr("Text to find in every record"));
    m_text->setClearButtonEnabled(true);
    m_text->installEventFilter(this);

    m_model = new HitModel(store, this);
    m_view = new QTreeView;
    m_view->setObjectName(QStringLiteral("FindResults"));
    m_view->setAccessibleName(tr("Found records"));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setItemDelegateForColumn(HitModel::TextColumn, new MatchMarkDelegate(m_view));
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(HitModel::KindColumn, 90);
    m_view->setColumnWidth(HitModel::NameColumn, 170);
    m_view->setColumnWidth(HitModel::ProjectColumn, 170);
    m_view->installEventFilter(this);

    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("FindCount"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_count);
    resize(760, 420);
    setFocusProxy(m_text);

    m_more = new QTimer(this);
    m_more->setSingleShot(true);
    m_more->setInterval(0);
    connect(m_more, &QTimer::timeout, this, &FindWindow::searchMore);
    m_poll = new QTimer(this);
    m_poll->setInterval(15);
    connect(m_poll, &QTimer::timeout, this, &FindWindow::takeIndex);
    connect(m_text, &QLineEdit::textChanged, this, &FindWindow::startSearch);
    connect(m_view, &QTreeView::activated, this,
            [this](const QModelIndex& index) { chooseRow(index.row()); });
    showCount();
    // The index is made when the window is first shown: at 100,000 records it takes some 40 MB that a
    // user who never looks for anything should not pay for.
}

FindWindow::~FindWindow() = default;

const std::vector<SearchHit>& FindWindow::hits() const
{
    return m_model->hits();
}

bool FindWindow::isSearching() const
{
    return m_more->isActive();
}

void FindWindow::invalidate()
{
    m_search.invalidate();
}

void FindWindow::prepareIndex()
{
    // Hidden, the window builds its next index when it shows: taking a large folder's texts after
    // every change would hold up the main window each time.
    if (m_building.valid() || m_search.isCurrent() || (m_search.hasIndex() && !isVisible()))
        return;
    // Taking the texts is quick and must happen here, where the store changes; the rest is not.
    std::shared_ptr<RecordSearch::Index> index = m_search.collect();
    m_building = std::async(std::launch::async, [index] {
        RecordSearch::prepare(*index);
        return index;
    });
    m_poll->start();
}

void FindWindow::takeIndex()
{
    if (m_building.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    m_poll->stop();
    m_search.setIndex(m_building.get());
    prepareIndex(); // the records changed again meanwhile
    startSearch();
}

void FindWindow::startSearch()
{
    m_more->stop();
    m_model->clear();
    m_cursor = {};
    m_searched = m_text->text();
    prepareIndex();
    if (!m_search.hasIndex()) {
        showCount(); // searched as soon as the first index is ready
        return;
    }
    m_model->append(m_search.find(m_searched, {}, m_cursor, kFirstRows));
    if (!m_model->hits().empty())
        m_view->setCurrentIndex(m_model->index(0, 0));
    if (!m_search.atEnd(m_cursor))
        m_more->start();
    showCount();
}

void FindWindow::searchMore()
{
    const qsizetype room = kMaxRows - qsizetype(m_model->hits().size());
    m_model->append(m_search.find(m_searched, {}, m_cursor, std::min(room, kSliceRows)));
    if (!m_search.atEnd(m_cursor) && qsizetype(m_model->hits().size()) < kMaxRows)
        m_more->start();
    showCount();
}

void FindWindow::showCount()
{
    const auto count = qsizetype(m_model->hits().size());
    QString text;
    if (!m_search.hasIndex() && !RecordSearch::fold(m_searched).isEmpty())
        text = tr("Reading every record's texts...");
    else if (RecordSearch::fold(m_searched).isEmpty())
        text = tr("Type a text to find it in every project, client, resource, task, meeting, money flow "
                  "entry, invoice and document.");
    else if (count >= kMaxRows && !m_search.atEnd(m_cursor))
        text = tr("The first %1 found; type more to narrow the search.").arg(count);
    else if (isSearching())
        text = tr("%1 found so far...").arg(count);
    else
        text = count == 1 ? tr("1 found.") : tr("%1 found.").arg(count);
    m_count->setText(text);
    m_count->setAccessibleName(text);
}

void FindWindow::chooseRow(int row)
{
    if (row >= 0 && row < int(m_model->hits().size()))
        emit recordChosen(m_model->hits()[std::size_t(row)]);
}

bool FindWindow::event(QEvent* event)
{
    // Back in the window after records changed: the rows shown are searched again once a new index is ready.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        prepareIndex();
    return QWidget::event(event);
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_text && enter) {
        chooseRow(m_view->currentIndex().isValid() ? m_view->currentIndex().row() : 0);
        return true;
    }
    if (watched == m_text && (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) &&
        !m_model->hits().empty()) {
        m_view->setFocus();
        return true;
    }
    if (watched == m_view && enter) {
        chooseRow(m_view->currentIndex().row());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korvane
