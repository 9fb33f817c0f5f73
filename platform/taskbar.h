#pragma once

#include <QString>

namespace platform {

// The progress shown on the program's button in the desktop's taskbar or dock.
struct TaskbarProgress {
    enum class State { None, Indeterminate, Normal, Error, Paused };
    State state = State::None;
    double fraction = 0;  // done, 0 to 1, for Normal, Error and Paused
};

// Where the upload's progress appears besides its window. Any thread.
class Taskbar {
public:
    virtual ~Taskbar() = default;
    virtual void setProgress(const TaskbarProgress& progress) = 0;
};

// The desktop's launcher protocol: the com.canonical.Unity.LauncherEntry "Update"
// signal on the session bus for application://ID.desktop, which KDE Plasma's and
// GNOME's docks show. No LauncherEntry state shows an error, a pause or an unknown
// amount: an error sets "urgent" beside the progress, a pause shows the progress as it
// stands, and an unknown amount shows an empty bar. Without a session bus nothing is
// sent.
class LauncherEntryTaskbar final : public Taskbar {
public:
    explicit LauncherEntryTaskbar(QString applicationId);
    void setProgress(const TaskbarProgress& progress) override;

private:
    QString uri_;
    QString path_;
};

}  // namespace platform
