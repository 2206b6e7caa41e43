#include "views/widgets/ProjectRowDelegate.h"

#include "views/widgets/ProjectListItemModel.h"

#include <QFileInfo>
#include <QPainter>

namespace korvane {

namespace {

// Offsets from the row's top-left corner.
constexpr int kPictureTop = 5;
constexpr QPoint kNamePos(33, 5);
constexpr QPoint kDatesPos(33 + 16, 5 + 16);
constexpr QPoint kLinkIconPos(162, 20);
constexpr QPoint kDocumentsIconPos(180, 22);
constexpr QPoint kProgressPos(200, 23);
// The clickable areas, ends included.
constexpr int kLinkLeft = 162, kLinkRight = 178, kLinkTop = 18, kLinkBottom = 38;
constexpr int kDocumentsLeft = 180, kDocumentsRight = 195, kDocumentsTop = 20, kDocumentsBottom = 35;

constexpr int kMinimumStretch = 60;

const QColor kSelectedBackground(240, 240, 240);

QFont rowFont(const QString& family, int pixelSize, QFont::Weight weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

bool within(const QRect& row, const QPoint& point, int left, int right, int top, int bottom)
{
    const int x = point.x() - row.left();
    const int y = point.y() - row.top();
    return x >= left && x <= right && y >= top && y <= bottom;
}

} // namespace

ProjectRowDelegate::ProjectRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_nameFont(rowFont(QStringLiteral("Courier New"), 16, QFont::Thin))
    , m_datesFont(rowFont(QStringLiteral("Times New Roman"), 14, QFont::Normal))
{
}

bool ProjectRowDelegate::onLinkIcon(const QRect& row, const QPoint& point)
{
    return within(row, point, kLinkLeft, kLinkRight, kLinkTop, kLinkBottom);
}

bool ProjectRowDelegate::onDocumentsIcon(const QRect& row, const QPoint& point)
{
    return within(row, point, kDocumentsLeft, kDocumentsRight, kDocumentsTop, kDocumentsBottom);
}

bool ProjectRowDelegate::onProgress(const QRect& row, const QPoint& point)
{
    return within(row, point, kProgressPos.x(), kProgressPos.x() + ProjectListPictures::kProgressWidth - 1,
                  kProgressPos.y(), kProgressPos.y() + ProjectListPictures::kProgressHeight - 1);
}

void ProjectRowDelegate::clearFileIcons()
{
    m_fileIcons.clear();
}

QSize ProjectRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const bool caption = index.data(ProjectListItemModel::CaptionRole).toBool();
    return QSize(kContentWidth, caption ? kCaptionHeight : kRowHeight);
}

void ProjectRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setClipRect(option.rect);
    if (index.data(ProjectListItemModel::CaptionRole).toBool())
        paintCaption(painter, option.rect);
    else
        paintProject(painter, option, index);
    painter->restore();
}

void ProjectRowDelegate::paintCaption(QPainter* painter, const QRect& rect) const
{
    // 256 bands over 38 pixels; most bands round to no height, the last band of each pixel row wins.
    double red = 179, green = 194, blue = 138;
    for (int band = 0; band < 256; ++band) {
        const int top = band * kCaptionHeight / 256;
        const int bottom = (band + 1) * kCaptionHeight / 256;
        if (bottom > top)
            painter->fillRect(QRect(rect.left(), rect.top() + top, rect.width(), bottom - top),
                              QColor(int(red), int(green), int(blue)));
        red += 0.25;
        green += 0.22265625;
        blue += 0.046875;
    }

    painter->setFont(m_nameFont);
    painter->setPen(Qt::black);
    painter->drawText(rect, Qt::AlignCenter, QStringLiteral("Projects"));

    painter->setPen(Qt::white);
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(Qt::black);
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
}

void ProjectRowDelegate::paintProject(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    const QRect& rect = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QPoint origin = rect.topLeft();

    painter->fillRect(rect, selected ? kSelectedBackground : QColor(Qt::white));
    painter->drawPixmap(origin + QPoint(0, kPictureTop), m_pictures.rowPicture(selected, ratio));

    painter->setPen(Qt::black);
    painter->setFont(m_nameFont);
    const QFontMetrics nameMetrics(m_nameFont);
    const QRect nameRect(origin + kNamePos, QPoint(rect.right() - 4, rect.top() + kNamePos.y() + nameMetrics.height()));
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignTop,
                      nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                             nameRect.width()));

    const QString link = index.data(ProjectListItemModel::FileLinkRole).toString();
    // The dates end before the first icon instead of running under it.
    const int datesRight = (link.isEmpty() ? kDocumentsIconPos.x() : kLinkIconPos.x()) - 2;
    const QRect datesRect(origin + kDatesPos, QPoint(rect.left() + datesRight, rect.bottom()));
    paintFitted(painter, datesRect, index.data(ProjectListItemModel::DatesRole).toString());

    if (!link.isEmpty()) {
        const QRect iconRect(origin + kLinkIconPos,
                             QSize(ProjectListPictures::kFileIconSize, ProjectListPictures::kFileIconSize));
        const QIcon icon = fileIcon(link);
        if (icon.isNull())
            painter->drawPixmap(iconRect.topLeft(), m_pictures.plainFileIcon(ratio));
        else
            icon.paint(painter, iconRect);
    }
    painter->drawPixmap(origin + kDocumentsIconPos, m_pictures.documentsIcon(ratio));

    const QPoint progressAt = origin + kProgressPos;
    painter->drawPixmap(progressAt, m_pictures.progressFrame(ratio));
    // Stored percentages can lie outside 0..100; the fill never leaves its frame.
    const int progress = qBound(0, index.data(ProjectListItemModel::ProgressRole).toInt(), 100);
    if (progress > 0) {
        const QPixmap& fill = m_pictures.progressFill(ratio);
        const int width = progress * ProjectListPictures::kProgressWidth / 100;
        painter->drawPixmap(QRect(progressAt, QSize(width, ProjectListPictures::kProgressHeight)), fill,
                            QRect(0, 0, qRound(width * ratio), fill.height()));
    }

    if (option.state & QStyle::State_HasFocus && selected) {
        // A quiet focus mark, so keyboard users see where the list's focus is.
        painter->setPen(QPen(QColor(150, 168, 110), 1, Qt::DotLine));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void ProjectRowDelegate::paintFitted(QPainter* painter, const QRect& rect, const QString& text) const
{
    // Narrow the letters as far as needed (in steps, so only a few font variants are ever made), then cut.
    QFont font = m_datesFont;
    QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
    for (int stretch = 95; shown != text && stretch >= kMinimumStretch; stretch -= 5) {
        font.setStretch(stretch);
        shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
    }
    painter->setFont(font);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop, shown);
}

QIcon ProjectRowDelegate::fileIcon(const QString& path) const
{
    const auto cached = m_fileIcons.constFind(path);
    if (cached != m_fileIcons.cend())
        return *cached;
    QIcon icon = m_iconProvider.icon(QFileInfo(path));
    if (!icon.isNull() && icon.pixmap(ProjectListPictures::kFileIconSize).isNull())
        icon = QIcon();
    m_fileIcons.insert(path, icon);
    return icon;
}

} // namespace korvane
