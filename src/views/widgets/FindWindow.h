#pragma once

#include "views/RecordSearch.h"

#include <QWidget>
#include <future>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;
class QTreeView;

namespace korvane {

class RecordStore;

/**
 * The Find window: a text box that searches the texts of every record as the user types, and the
 * list of what it found (kind, name, project, the text with the match marked). Enter or a double
 * click on a row asks the main window to go to that record; Escape closes the window. The index it
 * searches is prepared on another thread when the records have changed, the old one answering meanwhile.
 */
class FindWindow : public QWidget
{
    Q_OBJECT

public:
    /** The most rows a search shows; more asks the user to type more. */
    static constexpr qsizetype kMaxRows = 10000;

    /** A window over the store's records; it does not own the store. */
    explicit FindWindow(const RecordStore& store, QWidget* parent = nullptr);
    ~FindWindow() override;

    /** The search text box. */
    QLineEdit* textEdit() const { return m_text; }
    /** The list of results. */
    QTreeView* resultView() const { return m_view; }
    /** The results shown so far, in row order. */
    const std::vector<SearchHit>& hits() const;
    /** True while a search has more to look at after the rows shown. */
    bool isSearching() const;
    /** Counts the index out of date, for changes the store does not count (a project's documents). */
    void invalidate();
    /** True while the index of every text is being prepared on another thread. */
    bool isPreparing() const { return m_building.valid(); }

signals:
    /** The user chose a result to go to. */
    void recordChosen(const korvane::SearchHit& hit);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class HitModel;

    /** Starts preparing a current index on another thread, unless it is current, being prepared, or not
     * needed until the window shows. */
    void prepareIndex();
    /** Takes the prepared index when it is ready, and searches it. */
    void takeIndex();
    void startSearch();
    void searchMore();
    void chooseRow(int row);
    void showCount();

    const RecordStore& m_store;
    RecordSearch m_search;
    RecordSearch::Cursor m_cursor;
    QString m_searched;
    std::future<std::shared_ptr<RecordSearch::Index>> m_building;
    QTimer* m_poll = nullptr;
    HitModel* m_model = nullptr;
    QLineEdit* m_text = nullptr;
    QTreeView* m_view = nullptr;
    QLabel* m_count = nullptr;
    QTimer* m_more = nullptr;
};

} // namespace korvane
