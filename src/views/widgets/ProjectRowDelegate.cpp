#include "views/widgets/ProjectRowDelegate.h"

#include "views/widgets/ProjectListItemModel.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>

namespace korvane {

namespace {

// Offsets from the row's top-left corner; the icons and the progress bar move right of the dates line
// when the dates font is wider than the one these places were made for.
constexpr int kPictureTop = 5;
constexpr QPoint kNamePos(33, 5);
constexpr QPoint kDatesPos(33 + 16, 5 + 16);
constexpr int kLinkIconLeft = 162;
constexpr int kDatesGap = 3;
constexpr QPoint kLinkIconOffset(0, 20);
constexpr QPoint kDocumentsIconOffset(18, 22);
constexpr QPoint kProgressOffset(38, 23);
constexpr int kRightMargin = 5;

constexpr int kMinimumStretch = 60;

const QColor kSelectedBackground(240, 240, 240);

QFont rowFont(const QString& family, int pixelSize, QFont::Weight weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

const QFont& datesFont()
{
    static const QFont font = rowFont(QStringLiteral("Times New Roman"), 14, QFont::Normal);
    return font;
}

/** The left edge of the linked-file icon: clear of the widest dates line of any month. */
int linkIconLeft()
{
    static const int left = [] {
        const QFontMetrics metrics(datesFont());
        const QLocale locale;
        int widest = 0;
        for (int month = 1; month <= 12; ++month) {
            const QString date = locale.toString(QDate(2028, month, 28), QStringLiteral("dd MMM yy"));
            widest = std::max(widest, metrics.horizontalAdvance(date + QStringLiteral(" - ") + date));
        }
        return std::max(kLinkIconLeft, kDatesPos.x() + widest + kDatesGap);
    }();
    return left;
}

QPoint progressPos()
{
    return QPoint(linkIconLeft(), 0) + kProgressOffset;
}

bool within(const QRect& row, const QPoint& point, const QRect& area)
{
    return area.contains(point - row.topLeft());
}

} // namespace

ProjectRowDelegate::ProjectRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_nameFont(rowFont(QStringLiteral("Courier New"), 16, QFont::Thin))
    , m_datesFont(datesFont())
{
}

int ProjectRowDelegate::contentWidth()
{
    return progressPos().x() + ProjectListPictures::kProgressWidth + kRightMargin;
}

QRect ProjectRowDelegate::linkIconRect()
{
    // The clickable area reaches two pixels above and below the icon.
    return QRect(QPoint(linkIconLeft(), 0) + kLinkIconOffset + QPoint(0, -2), QSize(17, 21));
}

QRect ProjectRowDelegate::documentsIconRect()
{
    return QRect(QPoint(linkIconLeft(), 0) + kDocumentsIconOffset + QPoint(0, -2), QSize(16, 16));
}

bool ProjectRowDelegate::onLinkIcon(const QRect& row, const QPoint& point)
{
    return within(row, point, linkIconRect());
}

bool ProjectRowDelegate::onDocumentsIcon(const QRect& row, const QPoint& point)
{
    return within(row, point, documentsIconRect());
}

bool ProjectRowDelegate::onProgress(const QRect& row, const QPoint& point)
{
    return within(row, point,
                  QRect(progressPos(),
                        QSize(ProjectListPictures::kProgressWidth, ProjectListPictures::kProgressHeight)));
}

void ProjectRowDelegate::clearFileIcons()
{
    m_fileIcons.clear();
}

QSize ProjectRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const bool caption = index.data(ProjectListItemModel::CaptionRole).toBool();
    return QSize(contentWidth(), caption ? kCaptionHeight : kRowHeight);
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
    const QPoint linkIconPos = QPoint(linkIconLeft(), 0) + kLinkIconOffset;
    const QPoint documentsIconPos = QPoint(linkIconLeft(), 0) + kDocumentsIconOffset;
    const int datesRight = (link.isEmpty() ? documentsIconPos.x() : linkIconPos.x()) - 2;
    const QRect datesRect(origin + kDatesPos, QPoint(rect.left() + datesRight, rect.bottom()));
    paintFitted(painter, datesRect, index.data(ProjectListItemModel::DatesRole).toString());

    if (!link.isEmpty()) {
        const QRect iconRect(origin + linkIconPos,
                             QSize(ProjectListPictures::kFileIconSize, ProjectListPictures::kFileIconSize));
        const QIcon icon = fileIcon(link);
        if (icon.isNull())
            painter->drawPixmap(iconRect.topLeft(), m_pictures.plainFileIcon(ratio));
        else
            icon.paint(painter, iconRect);
    }
    painter->drawPixmap(origin + documentsIconPos, m_pictures.documentsIcon(ratio));

    const QPoint progressAt = origin + progressPos();
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
