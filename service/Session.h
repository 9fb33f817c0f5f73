#pragma once

#include <QDialog>

// The window of old upload sessions.
// Created once at start-up and shown modally; lives until the program ends.
class TformSession : public QDialog {
    Q_OBJECT

public:
    explicit TformSession(QWidget* parent = nullptr);
};
