#pragma once

#include <QWidget>
#include <array>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "app/programstate.h"
#include "app/uploadsteps.h"
#include "app/windowlayouts.h"
#include "platform/hotarea.h"

class LabBanner;
class OrderListPanel;
class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QHelpEvent;
class QLabel;
class QMenu;
class QShowEvent;
class QTableView;
class QTimer;
class QWheelEvent;
class TfrmHelp;
class TformSession;
class TForm3;
class TForm2;

namespace formats {
struct CatalogueServices;
}
namespace order {
class OrderListModel;
}

namespace platform {
class Clock;
class Dialogs;
class SettingsStore;
class UrlOpener;
}  // namespace platform
namespace service {
class HttpClient;
}

// What the main window works with, made once by the program and handed in.
struct MainWindowServices {
    platform::Dialogs& dialogs;
    service::HttpClient& http;
    platform::SettingsStore& store;
    platform::UrlOpener& urls;
    const platform::Clock& clock;
    QString serviceHost;        // host (and port) of the lab's service
    QString serviceWebAddress;  // the lab's address as the messages show it
};

// The main window: borderless, faced with a picture, in one of two layouts — the empty
// layout (a welcome screen with large buttons) while the order has no rows, the list
// layout (the order list, the count, a usage hint, the lab's banner and a row of
// buttons) otherwise. The buttons are drawn in the pictures; transparent hot areas over
// them call the commands' handlers, which check their own preconditions.
// It works on the program's state (the order table, the catalogue, the sort state, the
// running upload), which it is handed and does not own; it owns its widgets and the
// usage texts. Its constructor runs the start-up sequence (FormCreate) before any other
// window exists. User-interface thread only.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    TForm1(ProgramState& state, const MainWindowServices& services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs when the main window is destroyed at the end of the program: the window
    // stops taking dropped files.
    void FormDestroy();

    // Reads an address of the lab's service as text, or into a file (see
    // service::HttpClient::HttpGet).
    QString HttpGet(const QString& Url, const QString& FileName);
    // HttpGet's text mode for the format download, showing a note with a busy cursor
    // while the lab is asked; closing the note gives the request up (a failed fetch).
    QString FetchShowingNote(const QString& Url);

    // Fills the catalogue from the settings store, downloading it first when Force is
    // set or nothing is stored (see formats::LoadFormats).
    void LoadFormats(bool Force);
    // The update command: downloads the formats anew; without any, the program ends.
    void actUpdateFormatsExecute();

    // Adds one photo to the order (see order::addFile); a refused file leaves no trace.
    // Throws order::FileOpenError when the file cannot be opened, order::OrderClosedError
    // when the order could not be opened.
    void AddFile(const QString& FileName);
    // The add command: the file dialog, then each chosen file; the order is saved.
    void actAddExecute();
    // The folder the add command's dialog opens in: the one photos were last chosen
    // from (kept in the settings store), else the user's Pictures folder, else home.
    QString OpenFolder() const;
    // Adds the dropped files whose names end in .jpg or .jpeg; the order is saved.
    void DropFiles(const QStringList& paths);

    // Asks the lab for a new session key and stores it (see service::GetNewSession):
    // the key, or an empty text after message S1. Runs on the upload worker's thread;
    // errors of HttpGet reach the caller. cancelled, when given, ends the request soon
    // after it turns true, as a failed one.
    QString GetNewSession(const std::atomic<bool>* cancelled = nullptr);

    // The help window, made after this one; F1 and the "?" hot areas show it.
    void setHelpWindow(TfrmHelp* help) { helpWindow_ = help; }
    // The session window, made after this one: the old-sessions command and hot areas
    // show it, and it runs this window's commands actSessSelect and actSessClose.
    void setSessionWindow(TformSession* sessions);
    // Shows the session window modally.
    void actSessOldExecute();
    // Opens the page of the session selected in the session window, while that window
    // is shown and a row is selected.
    void actSessSelectExecute();
    // Closes the session window.
    void actSessCloseExecute();

    // The image viewer, made after this one: the show-file command opens it on the
    // current row, and it follows the cursor.
    void setViewerWindow(TForm2* viewer);
    // The show-file command (Enter, a double click): the viewer, modally, on the current
    // row; the list is in whole-row selection meanwhile and editable again after.
    void actShowImageExecute();
    // The order table's cursor moved: the viewer shows the new row, or closes when the
    // order is empty.
    void DataAfterScroll();

    // The progress window, made after this one: the send command shows it, its
    // activation starts the upload worker, and its cancel runs actCancelProgress.
    void setProgressWindow(TForm3* progress);
    // The send command: with rows in the order, shows the progress window modally;
    // afterwards the window is made ready for the next upload.
    void actSendExecute();
    // Cancel in the progress window: asks a running worker to stop; once the run has
    // ended, closes the window.
    void actCancelProgressExecute();
    // Ends an upload that runs (the program is ending): the worker is asked to stop and
    // waited for, the row it is at finished first.
    void stopUpload();
    void actShowHelpExecute();
    // Closes the main window, which ends the program.
    void JvTransparentButton6Click();
    // A new usage hint in Label2, chosen at random; Timer1 runs it every 30 s.
    void Timer1Timer();
    // A new information text in Label3, chosen at random.
    void JvTransparentButton12Click();
    // Open the lab's site in the browser.
    void bannerClick();
    void Label3Click();
    // Whether a press at this point of the screen drags the window rather than reaching
    // the control beneath: the strip along the top edge.
    bool DragStripHitTest(const QPoint& globalPosition) const;
    // The hint of a cell of the list for the row under the pointer, and how long it
    // stays (ms; 0: while the pointer rests on the cell); no text when the cell has none.
    std::pair<QString, int> DBGrid1ShowCellHint(const QModelIndex& cell) const;
    // Row selection without editing (at start, while the viewer is open, during an
    // upload) or cell editing (after the viewer closes and after a finished upload).
    void SetListEditing(bool editing);
    // Spreads the list's width over its columns (see the definition).
    void FitColumns();

    // The order list's (DBGrid1) commands.
    void DBGrid1TitleClick(int column);
    // Writes a batch menu's choice into every selected row.
    void ApplyToSelected(order::Field field, const QVariant& value);
    void actDelExecute();
    void actSelAllExecute();
    void N2Click();
    void actPrevExecute();
    void actNextExecute();
    void actFirstExecute();
    void actLastExecute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    // The state that needs the window shown (the navigation commands) is set then;
    // the first time, FormShow runs.
    void showEvent(QShowEvent* event) override;
    // Closing the window ends the program; a running upload stops after its current
    // row first, and the progress window goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    // When the window is first shown: the session list is read, so that problems of the
    // store show at start-up.
    void FormShow();
    // The progress window's activation: the worker is made and started.
    void StartSendThread();
    // After the worker's run: the aborted state when it was stopped.
    void SendTerminated();
    // The application-wide message hook: takes the files dropped on this window to
    // DropFiles and reports them handled; every other event passes unchanged.
    void AppMessage(QObject* receiver, QEvent* event, bool& Handled);
    // Closes and reopens the order table, which saves and reloads Data.csv.
    void ReopenOrderTable();
    // Ends the program as soon as the message loop runs; what is running now goes on.
    void Terminate();
    // Runs a command's handler at the boundary to Qt's event dispatch: an error it
    // raises is shown and logged here rather than unwinding through Qt.
    void runHandler(void (TForm1::*handler)());
    void connectHandler(QAction* action, void (TForm1::*handler)());
    // The pictures, labels, banner and hot areas of both layouts.
    void CreateShell();
    // Every command of the main window, from one table (the list's too).
    void CreateCommands();
    // The order list, its popup menu and commands (created with the window).
    void CreateList();
    // Start-up step 4: fetches the lab's banner when the cached copy is missing or two
    // days old, and loads it; any failure leaves the banner empty, silently. The fetch
    // runs on a thread of its own, so a lab that does not answer keeps nothing waiting:
    // the banner shows when it arrives (ShowBanner).
    void RefreshBanner();
    void ShowBanner(const QString& path);
    // Ends a banner fetch still running, at once.
    void StopBannerFetch();
    // Shows the layout for the row count; at start-up the banner's animation is also
    // rewound (rows) or stopped (none).
    void SwitchLayout(bool startUp);
    // What the catalogue's download and load work with: the lab asked with a note shown.
    formats::CatalogueServices catalogueServices();
    // Gives the order list the focus when it has rows: after adding photos, and when
    // the list layout appears.
    void FocusList();
    // The list's wheel rules: the selection is cleared and the cursor moves.
    void DBGrid1MouseWheel(QWheelEvent* event);
    // Shows the hint of the cell under the pointer with its time-out; the File cell's
    // hint has the photo's picture (PhotoHint).
    void ShowCellHint(QHelpEvent* event);
    // Keeps the list's current row on the table's cursor.
    void FollowCursor();
    // The Format pick list with its submenu N5, and N6 and N7 (choices a and b).
    void BuildFormatChoices();
    // The count submenu N9 (choice c).
    void BuildCountChoices();
    // The selected rows, in list order.
    std::vector<int> SelectedRows() const;
    void OpenOrderTable();
    // The state that depends on the order's rows, after every change of the table.
    void DataSource1DataChange();

    ProgramState& state_;
    MainWindowServices services_;
    platform::Dialogs& dialogs_;
    // The program's state under the names the window's handlers use.
    order::OrderTable& Data;
    formats::TFormats& Formats;
    order::SortState& Sort;

public:
    TSendFilesTask*& SendTask;

private:
    std::array<QString, 31> HelpString;
    std::array<QString, 31> InfoString;
    TfrmHelp* helpWindow_ = nullptr;
    TformSession* sessionWindow_ = nullptr;
    TForm3* progressWindow_ = nullptr;
    TForm2* viewerWindow_ = nullptr;
    // The worker's steps, run on this thread while it waits.
    std::unique_ptr<OrderUploadSteps> uploadSteps_;
    bool shown_ = false;  // FormShow has run
    bool listLayoutShown_ = false;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label2 = nullptr;
    ClickableLabel* Label3 = nullptr;
    ClickableLabel* banner = nullptr;
    // What the banner shows, how it is fetched and when it animates.
    LabBanner* banner_ = nullptr;
    QTimer* Timer1 = nullptr;
    // The welcome screen and the list layout, each with the widgets it alone shows.
    std::unique_ptr<WindowLayouts> layouts_;
    QAction* actShowImage = nullptr;
    QAction* actShowHelp = nullptr;
    QAction* actSessOld = nullptr;
    QAction* actSessSelect = nullptr;
    QAction* actSessClose = nullptr;
    QAction* actCancelProgress = nullptr;
    // The order list: its grid, popup menu, hints and sorting.
    OrderListPanel* list_ = nullptr;
    QAction* actSend = nullptr;
    QAction* actAdd = nullptr;
    QAction* actUpdateFormats = nullptr;
    QAction* actDel = nullptr;
    QAction* actSelAll = nullptr;
    QAction* actPrev = nullptr;
    QAction* actNext = nullptr;
    QAction* actFirst = nullptr;
    QAction* actLast = nullptr;
    QTableView* DBGrid1 = nullptr;
    order::OrderListModel* model_ = nullptr;
    QLabel* Label1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* N5 = nullptr;
    QMenu* N6 = nullptr;
    QMenu* N7 = nullptr;
    QMenu* N9 = nullptr;
};
