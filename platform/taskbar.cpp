#include "platform/taskbar.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace platform {

LauncherEntryTaskbar::LauncherEntryTaskbar(QString applicationId)
    : uri_(QStringLiteral("application://") + applicationId + QStringLiteral(".desktop")),
      path_(u'/' + applicationId.replace(u'.', u'/') + QStringLiteral("/LauncherEntry")) {}

void LauncherEntryTaskbar::setProgress(const TaskbarProgress& progress) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    using State = TaskbarProgress::State;
    QVariantMap properties;
    properties.insert(QStringLiteral("progress-visible"), progress.state != State::None);
    properties.insert(QStringLiteral("progress"),
                      progress.state == State::Indeterminate ? 0.0 : progress.fraction);
    properties.insert(QStringLiteral("urgent"), progress.state == State::Error);
    QDBusMessage signal = QDBusMessage::createSignal(
        path_, QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    signal << uri_ << properties;
    bus.send(signal);
}

}  // namespace platform
