#include "views/widgets/CGraphSheet.h"

#include "views/widgets/CDetailsView.h"
#include "views/widgets/CGraphPage.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDetailsTab = 0;
constexpr int kGraphTab = 1;

// A small sheet of paper with lines of text.
QIcon detailsIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(QColor(255, 255, 236));
    painter.drawRect(2, 1, 11, 13);
    painter.setPen(QColor(57, 60, 49));
    for (int y = 4; y <= 11; y += 2)
        painter.drawLine(4, y, y == 11 ? 8 : 11, y);
    return QIcon(pixmap);
}

// Three bars of a chart on a base line.
QIcon graphIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(2, 3, 8, 3), QColor(0, 90, 170));
    painter.fillRect(QRect(5, 7, 9, 3), QColor(46, 160, 67));
    painter.fillRect(QRect(3, 11, 6, 3), QColor(204, 32, 32));
    painter.setPen(QColor(0, 0, 128));
    painter.drawLine(1, 1, 1, 15);
    return QIcon(pixmap);
}

} // namespace

CGraphSheet::CGraphSheet(const RecordStore& store, QWidget* parent)
    : QTabWidget(parent)
    , m_detailsView(new CDetailsView(store, this))
    , m_graphPage(new CGraphPage(store, this))
{
    setObjectName(u"graphSheet"_s);
    setAccessibleName(u"Project pane"_s);
    tabBar()->setObjectName(u"graphSheetTabs"_s);
    tabBar()->setAccessibleName(u"Pane tabs"_s);
    tabBar()->setFocusPolicy(Qt::StrongFocus);
    addTab(m_detailsView, detailsIcon(), u"Details"_s);
    addTab(m_graphPage, graphIcon(), u"Graph"_s);
    tabBar()->setAccessibleTabName(kDetailsTab, u"Details"_s);
    tabBar()->setAccessibleTabName(kGraphTab, u"Graph"_s);
    setCurrentIndex(kDetailsTab);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        const bool shown = index == kGraphTab;
        if (shown == m_graphShown)
            return;
        m_graphShown = shown;
        emit graphShownChanged(shown);
    });
}

CDetailsView* CGraphSheet::detailsView() const
{
    return m_detailsView;
}

CGraphPage* CGraphSheet::graphPage() const
{
    return m_graphPage;
}

bool CGraphSheet::isGraphShown() const
{
    return m_graphShown;
}

} // namespace korvane
