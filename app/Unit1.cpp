#include "app/Unit1.h"

#include <QAction>
#include <exception>

#include "platform/dialogs.h"
#include "platform/workfolder.h"

TForm1::TForm1(platform::Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TForm1"));
    actSend = new QAction(this);
    actSend->setObjectName(QStringLiteral("actSend"));
    addAction(actSend);
    connect(&Data, &order::OrderTable::dataChanged, this, &TForm1::DataSource1DataChange);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    try {
        actSend->setEnabled(false);
        SortField = order::Field::File;
        Ascending = true;
        OpenOrderTable();
        DataSource1DataChange();
    } catch (const std::exception& e) {
        // A step that fails ends the sequence; the error is the user's to read.
        dialogs_.showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::OpenOrderTable() {
    Data.close();
    Data.setFileName(platform::GetTempFolder() + QStringLiteral("Data.csv"));
    if (const std::optional<QString> problem = order::openSettingAsideDamaged(Data)) {
        dialogs_.showError(*problem);
    }
    Data.setReadOnly(order::Field::File, true);
    Data.sort(order::Field::File, true);
}

void TForm1::DataSource1DataChange() {
    actSend->setEnabled(Data.rowCount() > 0);
}

void TForm1::FormDestroy() {}
