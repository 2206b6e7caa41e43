#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace korvane {

/**
 * What a screen reader is told about a combo box: its caption as its name (its accessible name, else
 * the text of the label it is the buddy of) and the current text as its value, where Qt on Linux would
 * give the current text as the name. The editable part of an editable combo box carries the same name.
 */
class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox* combo);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    /** The caption of a combo box as above; "" when it has neither accessible name nor label. */
    static QString caption(const QComboBox* combo);

    /** Gives every combo box the application shows from now on this interface; call once at start. */
    static void install();

private:
    QComboBox* combo() const;
};

} // namespace korvane
