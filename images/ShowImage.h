#pragma once

#include <QDialog>

// The image viewer: the print preview of the current order row.
// Created once at start-up and shown modally; lives until the program ends.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
};
