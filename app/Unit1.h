#pragma once

#include <QWidget>
#include <array>

#include "formats/formatsrecord.h"
#include "order/ordertable.h"

class QAction;
class TSendFilesTask;

namespace platform {
class Dialogs;
}

// The main window. It owns the order table, the print formats catalogue, the list's
// sort state and the reference to the running upload worker. Its constructor runs the
// start-up sequence (FormCreate) before any other window exists.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(platform::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs when the main window is destroyed at the end of the program.
    void FormDestroy();

    order::OrderTable& orderTable() { return Data; }
    QAction* sendAction() const { return actSend; }
    order::Field sortField() const { return SortField; }
    bool ascending() const { return Ascending; }

    // The running upload worker; none outside an upload.
    TSendFilesTask* SendTask = nullptr;

private:
    void FormCreate();
    void OpenOrderTable();
    // The state that depends on the order's rows, after every change of the table.
    void DataSource1DataChange();

    platform::Dialogs& dialogs_;
    order::OrderTable Data;
    formats::TFormats Formats;
    order::Field SortField = order::Field::File;
    bool Ascending = true;
    std::array<QString, 31> HelpString;
    std::array<QString, 31> InfoString;
    QAction* actSend = nullptr;
};
