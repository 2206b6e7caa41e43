#include "views/widgets/PagePreparer.h"

namespace korvane {

PagePreparer::PagePreparer(QObject* parent) : QObject(parent), m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("page preparer"));
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

PagePreparer::~PagePreparer()
{
    m_thread.quit();
    m_thread.wait();
    // Jobs still queued are dropped with the worker; the pages they hold are deleted with them.
    delete m_worker;
}

void PagePreparer::prepare(const QString& path, const PageSettings& settings, qint64 headBytes, Done done)
{
    QThread* const home = thread();
    QMetaObject::invokeMethod(
        m_worker,
        [this, home, path, settings, headBytes, done = std::move(done)] {
            QString error;
            std::unique_ptr<PageDocument> page = PageDocument::prepare(path, settings, &error, headBytes);
            if (page)
                page->moveToThread(home);
            // Queued calls may be copied or dropped: whoever holds the page last deletes it.
            auto box = std::make_shared<std::unique_ptr<PageDocument>>(std::move(page));
            QMetaObject::invokeMethod(
                this, [box = std::move(box), error, done] { done(std::move(*box), error); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void PagePreparer::dispose(std::unique_ptr<QTextDocument> page)
{
    if (!page)
        return;
    page->setParent(nullptr);
    page->moveToThread(&m_thread);
    auto box = std::make_shared<std::unique_ptr<QTextDocument>>(std::move(page));
    QMetaObject::invokeMethod(
        m_worker, [box = std::move(box)] { box->reset(); }, Qt::QueuedConnection);
}

} // namespace korvane
