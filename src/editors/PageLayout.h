#pragma once

#include <QString>

class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace korvane {

/** The look the project and task details pages share: a light panel with dark-blue captions. */
namespace PageLayout {

/** Gives a control the object name tests find it by and the name assistive tools read out. */
template <class W> W* named(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

/** A line edit with its object and accessible names. */
QLineEdit* lineEdit(const char* objectName, const QString& accessibleName);

/** A field's caption in the caption colour; its mnemonic moves the focus to the field. */
QLabel* caption(const QString& text, QWidget* buddy);

/** Puts a captioned field into a grid row, across the field column and the button column beside it. */
void addWideRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field);

/** Puts a captioned field into a grid row at its own width, on the left of the field column. */
void addShortRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field);

/** Puts a captioned field into a grid row's field column, with its button in the button column. */
void addButtonRow(QGridLayout* grid, int row, const QString& captionText, QWidget* field, QWidget* button);

/** Draws the widget's text in the caption colour. */
void useCaptionColour(QWidget* widget);

/** The light panel that fills the page (edge to edge) and holds its fields. */
QFrame* addPanel(QWidget* page, const char* objectName);

} // namespace PageLayout

} // namespace korvane
