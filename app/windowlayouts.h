#pragma once

#include <QSize>
#include <vector>

class QWidget;

// The main window's two layouts: the welcome screen while the order is empty, the
// list layout once it has rows. Each shows only its own widgets at its own size, the
// window kept on the screen, and Tab reaches only the hot areas one can see (not those
// beyond the window's edge, nor those the banner covers). User-interface thread.
class WindowLayouts {
public:
    WindowLayouts(QWidget& window, std::vector<QWidget*> emptyOnly, std::vector<QWidget*> listOnly)
        : window_(window), emptyOnly_(std::move(emptyOnly)), listOnly_(std::move(listOnly)) {}

    // Shows the list layout (true) or the welcome screen.
    void show(bool list);

private:
    QWidget& window_;
    std::vector<QWidget*> emptyOnly_;
    std::vector<QWidget*> listOnly_;
};

// Moves a window back onto its screen's free area (above the task bar), the top left
// corner first when it is larger than the area.
void keepOnScreen(QWidget& window);
