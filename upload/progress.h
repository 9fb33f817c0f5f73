#pragma once

#include <QDialog>

// The upload progress window.
// Created once at start-up and shown modally; lives until the program ends.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);
};
