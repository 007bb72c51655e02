#include "ui/alarms/desktop_notifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace varnex {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus) : bus_(std::move(bus)) {}

bool DesktopNotifier::Available() const {
    if (!bus_.isConnected() || bus_.interface() == nullptr) {
        return false;
    }
    const QDBusReply<bool> registered = bus_.interface()->isServiceRegistered(kService);
    if (registered.isValid() && registered.value()) {
        return true;
    }
    // Many desktops start their notification service on the first call.
    const QDBusReply<QStringList> activatable = bus_.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
}

void DesktopNotifier::Notify(const alarms::Notice& notice) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("varnex")}};
    call << QStringLiteral("Varnex") << 0U << QStringLiteral("varnex")
         << QString::fromStdString(notice.summary) << QString::fromStdString(notice.body)
         << QStringList() << hints << -1;
    bus_.send(call);
}

}  // namespace varnex
