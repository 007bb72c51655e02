#include "ui/alarms/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>
#include <QVariantMap>

namespace varnex {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
// The bus itself answers these questions at once; a bus that does not must
// not hold up the window for the default 25 s.
constexpr int kAskTimeoutMs = 500;

}  // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus) : bus_(std::move(bus)) {}

QDBusMessage DesktopNotifier::AskBus(const QString& method, const QVariantList& arguments) const {
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), method);
    question.setArguments(arguments);
    return bus_.call(question, QDBus::Block, kAskTimeoutMs);
}

bool DesktopNotifier::Available() const {
    if (!bus_.isConnected()) {
        return false;
    }
    const QDBusReply<bool> registered = AskBus(QStringLiteral("NameHasOwner"), {kService});
    if (registered.isValid() && registered.value()) {
        return true;
    }
    // Many desktops start their notification service on the first call.
    const QDBusReply<QStringList> activatable = AskBus(QStringLiteral("ListActivatableNames"), {});
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
