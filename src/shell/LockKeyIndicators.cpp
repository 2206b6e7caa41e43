#include "shell/LockKeyIndicators.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

namespace korvane {

namespace {

QLabel* pane(const QString& objectName, const QString& accessibleName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // As wide as its longest text, so the bar does not move when a light goes on or off.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
    return label;
}

bool isLockKey(int key)
{
    return key == Qt::Key_NumLock || key == Qt::Key_ScrollLock || key == Qt::Key_CapsLock;
}

} // namespace

LockKeyIndicators::LockKeyIndicators(QWidget* parent)
    : QWidget(parent), m_capsLock(pane(QStringLiteral("capsLockPane"), QStringLiteral("Caps Lock"), this)),
      m_numLock(pane(QStringLiteral("numLockPane"), QStringLiteral("Num Lock"), this)),
      m_scrollLock(pane(QStringLiteral("scrollLockPane"), QStringLiteral("Scroll Lock"), this)),
      m_reader(&LockKeyIndicators::keyboardLightOn)
{
    setObjectName(QStringLiteral("lockKeyIndicators"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_capsLock);
    layout->addWidget(m_numLock);
    layout->addWidget(m_scrollLock);
    qApp->installEventFilter(this);
    refresh();
}

void LockKeyIndicators::setStateReader(StateReader reader)
{
    m_reader = std::move(reader);
    refresh();
}

void LockKeyIndicators::refresh()
{
    m_numLock->setText(m_reader(Key::NumLock) ? QStringLiteral("NUM") : QString());
    m_scrollLock->setText(m_reader(Key::ScrollLock) ? QStringLiteral("SCRL") : QString());
}

bool LockKeyIndicators::keyboardLightOn(Key key)
{
    const QString suffix = key == Key::NumLock ? QStringLiteral("::numlock") : QStringLiteral("::scrolllock");
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList names = leds.entryList({QLatin1Char('*') + suffix}, QDir::Dirs | QDir::System);
    for (const QString& name : names) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event)
{
    // The light changes as the key goes down; by its release the new state can be read.
    if (event->type() == QEvent::KeyRelease && isLockKey(static_cast<QKeyEvent*>(event)->key()) &&
        watched->isWidgetType())
        refresh();
    else if (event->type() == QEvent::ApplicationActivate && watched == qApp)
        refresh();
    return QWidget::eventFilter(watched, event);
}

} // namespace korvane
