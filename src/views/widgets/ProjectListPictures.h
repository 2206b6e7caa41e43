#pragma once

#include <QPixmap>

namespace korvane {

/**
 * The small pictures of the project list rows (row picture, progress frame and fill, documents icon,
 * plain file icon), painted once per device pixel ratio and reused for every row.
 */
class ProjectListPictures
{
public:
    static constexpr int kRowPictureSize = 32;
    static constexpr int kProgressWidth = 85;
    static constexpr int kProgressHeight = 12;
    static constexpr int kDocumentsIconSize = 15;
    static constexpr int kFileIconSize = 16;

    /** The 32-pixel picture at the left of a project row, highlighted for the selected row. */
    const QPixmap& rowPicture(bool selected, qreal devicePixelRatio);
    /** The empty 85-pixel progress frame. */
    const QPixmap& progressFrame(qreal devicePixelRatio);
    /** The full 85-pixel progress fill, drawn cut to the progress. */
    const QPixmap& progressFill(qreal devicePixelRatio);
    /** The 15-pixel documents icon. */
    const QPixmap& documentsIcon(qreal devicePixelRatio);
    /** A plain 16-pixel document, for file types the desktop has no icon for. */
    const QPixmap& plainFileIcon(qreal devicePixelRatio);

private:
    void prepare(qreal devicePixelRatio);

    qreal m_ratio = 0;
    QPixmap m_rowSelected;
    QPixmap m_rowNormal;
    QPixmap m_progressFrame;
    QPixmap m_progressFill;
    QPixmap m_documents;
    QPixmap m_plainFile;
};

} // namespace korvane
