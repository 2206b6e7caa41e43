#pragma once

#include "ui/CommandTable.h"

#include <QHash>
#include <QPixmap>
#include <QString>
#include <array>
#include <cstdint>

namespace korvane {

/**
 * The 16-pixel pictures of the project details trees: the icon strip addressed by TreeIcon
 * positions, the root-row action icons and a plain document for unknown file types, painted once
 * per device pixel ratio and reused for every row.
 */
class TreeIcons
{
public:
    static constexpr int kSize = 16;

    /** The root-row action icons, one per verb, in the order they sit from left to right. */
    using Action = TreeVerb;

    /** The picture at a position of the icon strip; a null pixmap for positions without one. */
    const QPixmap& strip(std::int64_t index, qreal devicePixelRatio);
    /** The picture of a root-row action icon. */
    const QPixmap& action(Action action, qreal devicePixelRatio);
    /** A document with a coloured band chosen by the file name's suffix, for when the desktop has no icon. */
    const QPixmap& document(const QString& suffix, qreal devicePixelRatio);

private:
    void prepare(qreal devicePixelRatio);

    qreal m_ratio = 0;
    QHash<std::int64_t, QPixmap> m_strip;
    std::array<QPixmap, 4> m_actions;
    QHash<QString, QPixmap> m_documents;
};

} // namespace korvane
