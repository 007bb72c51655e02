// Desktop notifications through the freedesktop notification service on a
// D-Bus bus. Where no such service runs, nothing is sent and nothing fails:
// the alarm list still tells the user.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantList>

#include "alarms/alarm_notices.h"

namespace varnex {

class DesktopNotifier {
  public:
    explicit DesktopNotifier(QDBusConnection bus);

    // Whether a notification service is registered on the bus, or the bus
    // would start one.
    bool Available() const;
    // Sends without waiting for the service's answer.
    void Notify(const alarms::Notice& notice);

  private:
    QDBusMessage AskBus(const QString& method, const QVariantList& arguments) const;

    QDBusConnection bus_;
};

}  // namespace varnex
