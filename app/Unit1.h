#pragma once

#include <QWidget>
#include <array>

#include "formats/formatsrecord.h"
#include "order/listrules.h"
#include "order/ordertable.h"

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QLabel;
class QMenu;
class QShowEvent;
class QTableView;
class TSendFilesTask;

namespace order {
class OrderListModel;
}

namespace platform {
class Dialogs;
class SettingsStore;
}  // namespace platform
namespace service {
class HttpClient;
}

// What the main window works with, made once by the program and handed in.
struct MainWindowServices {
    platform::Dialogs& dialogs;
    service::HttpClient& http;
    platform::SettingsStore& store;
    QString serviceHost;        // host (and port) of the lab's service
    QString serviceWebAddress;  // the lab's address as the messages show it
};

// The main window. It owns the order table, the print formats catalogue, the list's
// sort state and the reference to the running upload worker. Its constructor runs the
// start-up sequence (FormCreate) before any other window exists.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(const MainWindowServices& services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs when the main window is destroyed at the end of the program: the window
    // stops taking dropped files.
    void FormDestroy();

    // Reads an address of the lab's service as text, or into a file (see
    // service::HttpClient::HttpGet).
    QString HttpGet(const QString& Url, const QString& FileName);

    // Fills the catalogue from the settings store, downloading it first when Force is
    // set or nothing is stored (see formats::LoadFormats).
    void LoadFormats(bool Force);
    // The update command: downloads the formats anew; without any, the program ends.
    void actUpdateFormatsExecute();

    // Adds one photo to the order (see order::addFile); a refused file leaves no trace.
    // Throws order::FileOpenError when the file cannot be opened.
    void AddFile(const QString& FileName);
    // The add command: the file dialog, then each chosen file; the order is saved.
    void actAddExecute();
    // Adds the dropped files whose names end in .jpg or .jpeg; the order is saved.
    void DropFiles(const QStringList& paths);

    order::OrderTable& orderTable() { return Data; }
    QAction* sendAction() const { return actSend; }
    QAction* addCommand() const { return actAdd; }
    QAction* updateFormatsCommand() const { return actUpdateFormats; }
    const formats::TFormats& formats() const { return Formats; }
    // Whether the program was asked to end (it does once the message loop runs).
    bool terminateRequested() const { return terminateRequested_; }
    order::Field sortField() const { return Sort.field; }
    bool ascending() const { return Sort.ascending; }

    // The order list (DBGrid1) and its commands.
    QTableView* list() const { return DBGrid1; }
    QMenu* popupMenu() const { return PopupMenu1; }
    QLabel* countLabel() const { return Label1; }
    // The Format pick list: the catalogue's names in catalogue order.
    const QStringList& formatPickList() const { return FormatPickList; }
    void DBGrid1TitleClick(int column);
    // Writes the clicked item's choice into every selected row.
    void ApplyToSelected(QAction* item);
    void actDelExecute();
    void actSelAllExecute();
    void N2Click();
    void actPrevExecute();
    void actNextExecute();
    void actFirstExecute();
    void actLastExecute();

    // The running upload worker; none outside an upload.
    TSendFilesTask* SendTask = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    // The state that needs the window shown (the navigation commands) is set then.
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // The application-wide message hook: takes the files dropped on this window to
    // DropFiles and reports them handled; every other event passes unchanged.
    void AppMessage(QObject* receiver, QEvent* event, bool& Handled);
    // Closes and reopens the order table, which saves and reloads Data.csv.
    void ReopenOrderTable();
    // Ends the program as soon as the message loop runs; what is running now goes on.
    void Terminate();
    // The order list, its popup menu and commands (created with the window).
    void CreateList();
    // The Format pick list with its submenu N5, and N6 and N7 (choices a and b).
    void BuildFormatChoices();
    // The count submenu N9 (choice c).
    void BuildCountChoices();
    // The selected rows, in list order.
    std::vector<int> SelectedRows() const;
    void OpenOrderTable();
    // The state that depends on the order's rows, after every change of the table.
    void DataSource1DataChange();

    MainWindowServices services_;
    platform::Dialogs& dialogs_;
    order::OrderTable Data;
    formats::TFormats Formats;
    // The list's sort field and direction.
    order::SortState Sort;
    std::array<QString, 31> HelpString;
    std::array<QString, 31> InfoString;
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
    QStringList FormatPickList;
    bool terminateRequested_ = false;
};
