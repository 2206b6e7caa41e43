#include "shell/ComboBoxAccessible.h"

#include "ui/ReadOnlyFieldAccessible.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace korvane {

namespace {

/** Puts our interfaces on combo boxes and read-only line edits as they are polished, and names the editable
 * part of combo boxes. */
class Installer : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish) {
            if (auto* combo = qobject_cast<QComboBox*>(watched)) {
                replace<ComboBoxAccessible>(combo);
            } else if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
                name(edit);
                if (edit->isReadOnly())
                    replace<ReadOnlyFieldAccessible>(edit);
            }
        }
        return false;
    }

private:
    /** Puts our interface in place of the one Qt made for the widget (polishing can come more than once). */
    template <class Interface, class Widget> static void replace(Widget* widget)
    {
        QAccessibleInterface* current = QAccessible::queryAccessibleInterface(widget);
        if (current && dynamic_cast<Interface*>(current))
            return;
        if (current)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
        QAccessible::registerAccessibleInterface(new Interface(widget));
    }
    static void name(QLineEdit* edit)
    {
        auto* combo = qobject_cast<QComboBox*>(edit->parentWidget());
        if (combo && edit->accessibleName().isEmpty())
            edit->setAccessibleName(ComboBoxAccessible::caption(combo));
    }
};

} // namespace

ComboBoxAccessible::ComboBoxAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

QComboBox* ComboBoxAccessible::combo() const
{
    return static_cast<QComboBox*>(widget());
}

QString ComboBoxAccessible::caption(const QComboBox* combo)
{
    if (!combo->accessibleName().isEmpty())
        return combo->accessibleName();
    const QWidget* window = combo->window();
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == combo) {
            QString text = label->text().remove(QLatin1Char('&')).trimmed();
            while (text.endsWith(QLatin1Char(':')))
                text = text.chopped(1).trimmed();
            return text;
        }
    }
    return {};
}

QString ComboBoxAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        return caption(combo());
    case QAccessible::Value:
        return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State ComboBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = combo()->isEditable();
    state.expandable = true;
    const bool open = combo()->view() && combo()->view()->isVisible();
    state.expanded = open;
    state.collapsed = !open;
    state.hasPopup = true;
    return state;
}

QStringList ComboBoxAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void ComboBoxAccessible::doAction(const QString& actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (combo()->view() && combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

void ComboBoxAccessible::install()
{
    static Installer* installer = nullptr;
    if (installer)
        return;
    installer = new Installer(qApp);
    qApp->installEventFilter(installer);
}

} // namespace korvane
