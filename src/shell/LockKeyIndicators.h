#pragma once

#include <QWidget>

#include <functional>

class QLabel;

namespace korvane {

/**
 * The status bar's Caps Lock, Num Lock and Scroll Lock panes: Num Lock and Scroll Lock show NUM and
 * SCRL while their light is on; the Caps Lock pane is always blank.
 */
class LockKeyIndicators : public QWidget
{
    Q_OBJECT

public:
    /** The lock keys whose state the panes show. */
    enum class Key
    {
        NumLock,
        ScrollLock
    };
    /** Tells whether a lock key's light is on. */
    using StateReader = std::function<bool(Key)>;

    explicit LockKeyIndicators(QWidget* parent = nullptr);

    /** Replaces the source of the keys' states (the keyboard lights by default) and shows it at once. */
    void setStateReader(StateReader reader);

    /** Reads the keys' states again; done by itself after a lock key is pressed and on activation. */
    void refresh();

    /** Reads the keyboard lights the kernel exposes (/sys/class/leds/ *::numlock and *::scrolllock). */
    static bool keyboardLightOn(Key key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_capsLock;
    QLabel* m_numLock;
    QLabel* m_scrollLock;
    StateReader m_reader;
};

} // namespace korvane
