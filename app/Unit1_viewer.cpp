// The main window's part of the image viewer: the show-file command and the viewer
// following the order table's cursor.
#include <QAction>
#include <QTableView>

#include "app/Unit1.h"
#include "app/help.h"
#include "images/ShowImage.h"

void TForm1::setViewerWindow(TForm2* viewer) {
    viewerWindow_ = viewer;
    viewer->setCommands({actPrev, actNext, actFirst, actLast, actDel, [this] {
                             if (helpWindow_ != nullptr) {
                                 helpWindow_->showOver(viewerWindow_);
                             }
                         }});
    connect(actShowImage, &QAction::triggered, this,
            [this] { runHandler(&TForm1::actShowImageExecute); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, actShowImage, &QAction::trigger);
    connect(&Data, &order::OrderTable::afterScroll, this, &TForm1::DataAfterScroll);
}

void TForm1::actShowImageExecute() {
    if (Data.rowCount() == 0 || viewerWindow_ == nullptr) {
        return;
    }
    SetListEditing(false);
    DBGrid1->clearSelection();
    viewerWindow_->showOver(this);
    SetListEditing(true);
    Data.refresh();
}

void TForm1::DataAfterScroll() {
    if (!isVisible() || viewerWindow_ == nullptr) {
        return;
    }
    if (viewerWindow_->isVisible() && Data.rowCount() > 0) {
        viewerWindow_->UpdateForm(false);
    } else if (viewerWindow_->isVisible()) {
        viewerWindow_->reject();
    }
}
