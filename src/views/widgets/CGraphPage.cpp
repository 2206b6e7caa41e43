#include "views/widgets/CGraphPage.h"

#include "views/ProgressGraphModel.h"
#include "views/widgets/ProgressChart.h"

#include <QPainter>
#include <QVBoxLayout>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

CGraphPage::CGraphPage(const RecordStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_chart(new ProgressChart(this))
{
    setObjectName(u"graphPage"_s);
    setAccessibleName(u"Graph"_s);
    auto* layout = new QVBoxLayout(this);
    // The band is painted by the page itself in the margin above the chart.
    layout->setContentsMargins(0, kBandHeight, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_chart);
    setFocusProxy(m_chart);
}

void CGraphPage::fill(const QByteArray& projectId)
{
    m_chart->fill(m_store, projectId);
}

void CGraphPage::showTask(const QByteArray& taskId)
{
    m_caption = ProgressGraphModel::taskCaption(m_store, taskId, QLocale());
    setAccessibleDescription(m_caption);
    update(0, 0, width(), kBandHeight);
}

QString CGraphPage::caption() const
{
    return m_caption;
}

int CGraphPage::rowCount() const
{
    return m_chart->rowCount();
}

ProgressChart* CGraphPage::chart() const
{
    return m_chart;
}

void CGraphPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect band(0, 0, width(), kBandHeight);
    painter.fillRect(band, Qt::white);
    QFont font = this->font();
    font.setPixelSize(12);
    font.setWeight(QFont::Thin);
    painter.setFont(font);
    painter.setPen(QColor(128, 0, 0));
    painter.drawText(band, Qt::AlignCenter, m_caption);
}

} // namespace korvane
