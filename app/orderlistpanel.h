#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

#include "order/orderrow.h"

class OrderListDelegate;
class PhotoHint;
class ProgramState;
class QHelpEvent;
class QMenu;
class QModelIndex;
class QTableView;
class QWheelEvent;
class QWidget;
namespace order {
class OrderListModel;
}
namespace platform {
class Dialogs;
}

// The main window's order list: the grid over the order table (DBGrid1) with its cell
// editors and the photo hint, its popup menu (PopupMenu1) with the batch choices
// (N5, N6, N7, N9), sorting by a title, the wheel, and its cursor following the
// table's. Its widgets are made on the window, which keeps their names and whose
// commands forward here. User-interface thread.
class OrderListPanel : public QObject {
    Q_OBJECT

public:
    // The window's commands the popup menu runs.
    struct Commands {
        std::function<void()> selectAll;
        std::function<void()> deleteSelected;
        std::function<void()> clear;
    };

    OrderListPanel(QWidget& window, ProgramState& state, platform::Dialogs& dialogs,
                   Commands commands);

    QTableView* view() const { return view_; }
    order::OrderListModel* model() const { return model_; }
    QMenu* popup() const { return popup_; }
    QMenu* formatMenu() const { return formatMenu_; }
    QMenu* paramMenu() const { return paramMenu_; }
    QMenu* paperMenu() const { return paperMenu_; }
    QMenu* countMenu() const { return countMenu_; }

    // The Format pick list with its submenu, and the Param and Paper submenus.
    void buildFormatChoices();
    // The count submenu.
    void buildCountChoices();
    // The selected rows, in list order: any selected cell counts its row.
    std::vector<int> selectedRows() const;
    // Sorts by the clicked title and shows the direction.
    void titleClick(int column);
    // Writes a batch menu's choice into every selected row; the selection stays.
    void applyToSelected(order::Field field, const QVariant& value);
    // The list's current row follows the table's cursor.
    void followCursor();
    // Spreads the list's width over its columns.
    void fitColumns();
    // Editing selects and edits cells; otherwise whole rows are selected.
    void setEditing(bool editing);
    // The wheel moves the cursor: two rows a notch, one with Shift, a page with Ctrl.
    void wheel(QWheelEvent* event);
    // A cell's hint and how long it shows (0: as long as the pointer rests).
    std::pair<QString, int> cellHint(const QModelIndex& cell) const;
    void showCellHint(QHelpEvent* event);

private:
    void createView(QWidget& window, platform::Dialogs& dialogs);
    void createPopup(QWidget& window);

    ProgramState& state_;
    Commands commands_;
    order::OrderListModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    OrderListDelegate* delegate_ = nullptr;
    PhotoHint* photoHint_ = nullptr;
    QMenu* popup_ = nullptr;
    QMenu* formatMenu_ = nullptr;
    QMenu* paramMenu_ = nullptr;
    QMenu* paperMenu_ = nullptr;
    QMenu* countMenu_ = nullptr;
    int wheelRemainder_ = 0;
};
