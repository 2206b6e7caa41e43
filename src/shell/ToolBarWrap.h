#pragma once

#include <QObject>

class QMainWindow;
class QToolBar;

namespace korvane {

/** Moves a toolbar onto a row of its own while the window is too narrow for it beside the one before it. */
class ToolBarWrap : public QObject
{
public:
    /** Watches the window's width for the toolbar `second`, which follows `first` on the same row. */
    ToolBarWrap(QMainWindow* window, QToolBar* first, QToolBar* second);

    /** Puts the break before the second toolbar or takes it away, for the window's width now. */
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* m_window;
    QToolBar* m_first;
    QToolBar* m_second;
};

} // namespace korvane
