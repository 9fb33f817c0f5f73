#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "formats/formatsrecord.h"
#include "order/addfile.h"
#include "order/autosave.h"
#include "order/listrules.h"
#include "order/ordertable.h"

class TSendFilesTask;

// The program's data, apart from its windows: the order table, the print formats
// catalogue with the order list's Format pick list, the list's sort state and the
// running upload. Program makes it before any window and hands it to the windows that
// work on it; it outlives them all. Nothing here needs a widget.
//
// Threads: it lives on the user-interface thread, which alone changes it. While an
// upload runs, its worker reads the order's current row and the catalogue, and moves
// the cursor only through steps the user-interface thread runs for it, while that
// thread waits in the modal progress window; nothing else crosses threads.
class ProgramState {
public:
    ProgramState();
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    // The order, kept in Data.csv in the working folder once opened.
    order::OrderTable Data;
    // Saves Data soon after every change.
    order::AutoSave autoSave{Data};
    // The print formats catalogue, in the order the settings store lists them.
    formats::TFormats Formats;
    // The list's sort field and direction.
    order::SortState Sort;
    // The running upload worker; none outside an upload.
    TSendFilesTask* SendTask = nullptr;
    // From the start of the upload worker's run to its end.
    bool Sending = false;
    // Whether the program was asked to end (it does once the message loop runs).
    bool terminateRequested = false;

    // The Format pick list: the catalogue's names in catalogue order, so that a name's
    // position is its record's index in Formats. Refilled by updateFormatPickList().
    const QStringList& FormatPickList() const { return formatPickList_; }
    void updateFormatPickList();

    // Opens the order table from its file at start-up: any open table is closed first,
    // File is made read-only, edits are checked against the pick lists, and the rows
    // are sorted by File ascending. A file that cannot be read is set aside; the
    // message for the user is returned.
    std::optional<QString> openOrder(const QString& fileName);
    // Saves the order by closing and reopening the table, as after every add; the
    // message for the user when either fails.
    std::optional<QString> saveOrder();
    // Closes the order table at the end, saving it when changed; the message for the
    // user when the save failed.
    std::optional<QString> closeOrder();

    // Adds one photo (see order::addFile) with the catalogue's first format, sorted by
    // the sort state. Throws the errors of order::addFile.
    order::AddOutcome addFile(const QString& path);
    // A click on a column title: the sort state turns (see order::SortState) and the
    // table is sorted by it.
    void sortByTitle(order::Field clicked);

private:
    QStringList formatPickList_;
};
