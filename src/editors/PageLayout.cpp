#include "editors/PageLayout.h"

#include <QColor>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace korvane::PageLayout {

namespace {

const QColor kPanelColour(243, 247, 252);
const QColor kCaptionColour(28, 62, 110);

} // namespace

QLineEdit* lineEdit(const char* objectName, const QString& accessibleName)
{
    return named(new QLineEdit, objectName, accessibleName);
}

QLabel* caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    useCaptionColour(label);
    return label;
}

void addWideRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field)
{
    grid->addWidget(caption(captionText, field), row, 0);
    grid->addWidget(field, row, 1, 1, 2);
}

void addShortRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field)
{
    grid->addWidget(caption(captionText, field), row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
}

void addButtonRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field, QWidget* button)
{
    grid->addWidget(caption(captionText, field), row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(button, row, 2);
}

void useCaptionColour(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kCaptionColour);
    widget->setPalette(palette);
}

QFrame* addPanel(QWidget* page, const char* objectName)
{
    auto* panel = new QFrame(page);
    panel->setObjectName(QString::fromLatin1(objectName));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    panel->setPalette(palette);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    return panel;
}

} // namespace korvane::PageLayout
