#include "shell/ToolBarWrap.h"

#include <QEvent>
#include <QMainWindow>
#include <QToolBar>

namespace korvane {

ToolBarWrap::ToolBarWrap(QMainWindow* window, QToolBar* first, QToolBar* second)
    : QObject(window), m_window(window), m_first(first), m_second(second)
{
    window->installEventFilter(this);
}

void ToolBarWrap::fit()
{
    const bool together = !m_first->isVisibleTo(m_window) || !m_second->isVisibleTo(m_window) ||
                          m_window->toolBarArea(m_first) != m_window->toolBarArea(m_second) ||
                          m_first->sizeHint().width() + m_second->sizeHint().width() <= m_window->width();
    if (together && m_window->toolBarBreak(m_second))
        m_window->removeToolBarBreak(m_second);
    else if (!together && !m_window->toolBarBreak(m_second))
        m_window->insertToolBarBreak(m_second);
}

bool ToolBarWrap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        fit();
    return false;
}

} // namespace korvane
