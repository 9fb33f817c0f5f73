#pragma once

#include <QWidget>

namespace platform {
class Taskbar;
}

// A control that can show its progress on the program's taskbar button too, through
// the taskbar seam (none: it works without a taskbar). User-interface thread only.
class TdwTaskbarWinControl : public QWidget {
    Q_OBJECT

public:
    explicit TdwTaskbarWinControl(QWidget* parent = nullptr);

    void setTaskbar(platform::Taskbar* taskbar) { FTaskbarList3 = taskbar; }
    // The window whose button shows the progress; 0: the program's own. 0xFFFFFFFF: none.
    quint32 TaskBarEntryHandle() const { return FTaskBarEntryHandle; }
    void setTaskBarEntryHandle(quint32 handle) { FTaskBarEntryHandle = handle; }

protected:
    // Ranges and positions are 32-bit (Qt's are); the 16-bit rules stay for the other.
    bool FIn32BitMode = true;
    platform::Taskbar* FTaskbarList3 = nullptr;
    quint32 FTaskBarEntryHandle = 0;
};
