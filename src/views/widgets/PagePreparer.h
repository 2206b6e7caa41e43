#pragma once

#include "views/widgets/PageDocument.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

namespace korvane {

/**
 * Reads and lays out long pages on a thread of its own, so that the window stays responsive while
 * a page of thousands of rows is prepared, and takes finished pages apart there too.
 */
class PagePreparer : public QObject
{
    Q_OBJECT

public:
    /** Called on the thread the preparer belongs to, with the page, or with nullptr and the reason. */
    using Done = std::function<void(std::unique_ptr<PageDocument> page, const QString& error)>;

    explicit PagePreparer(QObject* parent = nullptr);
    /** Waits for the page being prepared, if any, and drops the ones still waiting. */
    ~PagePreparer() override;

    /**
     * Prepares the page at `path` (with `headBytes`, only about that much of its start, as
     * `PageDocument::prepare` does) and hands it to `done` on this object's thread.
     */
    void prepare(const QString& path, const PageSettings& settings, qint64 headBytes, Done done);
    /** Deletes a page that is no longer shown, away from the thread that showed it. */
    void dispose(std::unique_ptr<QTextDocument> page);

private:
    QThread m_thread;
    QObject* m_worker;
};

} // namespace korvane
