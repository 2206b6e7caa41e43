#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QTextDocument;
class QWidget;

namespace korvane {

/**
 * Print preview of a generated page file: the page is loaded into a hidden document and, 100 ms
 * later, a print preview dialog is opened over it, from which the user prints.
 */
class PagePrinter : public QObject
{
    Q_OBJECT

public:
    /** The preview dialogs open over `window`. */
    explicit PagePrinter(QWidget* window);
    ~PagePrinter() override;

    /** Loads the page and opens its print preview once the 100 ms print timer has fired. */
    void preview(const QString& pageFile);

    /** Loads the page and opens its print preview at once. */
    void previewNow(const QString& pageFile);

private:
    bool load(const QString& pageFile);
    void showPreview();

    QWidget* m_window;
    QTimer m_timer;
    // Each print replaces the document of the previous one; an open preview keeps its own alive.
    std::shared_ptr<QTextDocument> m_document;
};

} // namespace korvane
