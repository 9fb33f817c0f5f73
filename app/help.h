#pragma once

#include <QDialog>

// The information window with the program's hot keys and the lab's address.
// Created once at start-up and shown modally; lives until the program ends.
class TfrmHelp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmHelp(QWidget* parent = nullptr);
};
