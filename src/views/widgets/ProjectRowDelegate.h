#pragma once

#include "views/widgets/ProjectListPictures.h"

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>

namespace korvane {

/** Draws the rows of the project list: the gradient caption row and each project with its dates,
 * linked file icon, documents icon and progress bar; it also knows where those icons lie. */
class ProjectRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kCaptionHeight = 38;
    /** The 32-pixel picture with a margin of 5 above and below, which also fits the two text lines. */
    static constexpr int kRowHeight = 42;
    /** The width the row's contents need, up to the progress bar's right end (290 with narrow dates). */
    static int contentWidth();
    /** Where the linked-file icon can be clicked (row coordinates): right of the widest dates line. */
    static QRect linkIconRect();
    /** Where the documents icon can be clicked (row coordinates), right of the linked-file icon. */
    static QRect documentsIconRect();

    /** A delegate with the row fonts ("Courier New" 16 px for names, "Times New Roman" 14 px for dates). */
    explicit ProjectRowDelegate(QObject* parent = nullptr);

    /** True when a point (viewport coordinates) lies on the linked-file icon of the row rectangle. */
    static bool onLinkIcon(const QRect& row, const QPoint& point);
    /** True when a point (viewport coordinates) lies on the documents icon of the row rectangle. */
    static bool onDocumentsIcon(const QRect& row, const QPoint& point);
    /** True when a point (viewport coordinates) lies on the progress bar of the row rectangle. */
    static bool onProgress(const QRect& row, const QPoint& point);

    /** Forgets the file-type icons looked up so far, so a refill picks up changed files. */
    void clearFileIcons();

    /** Draws the caption row or a project row. */
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    /** 38 pixels high for the caption row, 42 for a project row. */
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCaption(QPainter* painter, const QRect& rect) const;
    void paintProject(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    /** Draws one line of text, narrowed and then elided as far as needed to fit the rectangle. */
    void paintFitted(QPainter* painter, const QRect& rect, const QString& text) const;
    QIcon fileIcon(const QString& path) const;

    QFont m_nameFont;
    QFont m_datesFont;
    QFileIconProvider m_iconProvider;
    // Painting is const, the caches are not part of the delegate's state.
    mutable ProjectListPictures m_pictures;
    mutable QHash<QString, QIcon> m_fileIcons;
};

} // namespace korvane
