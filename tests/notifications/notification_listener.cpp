// A stand-in for the desktop's notification service: it takes the name
// org.freedesktop.Notifications on the session bus and appends each Notify
// call to the file its one argument names as "summary|body", a line each,
// at once. It ends when the bus goes away.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>

class NotificationListener : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    explicit NotificationListener(const QString& path) : log_(path) {}
    bool Open() { return log_.open(QIODevice::WriteOnly | QIODevice::Append); }

  public slots:
    uint Notify(const QString& /*app*/, uint /*replaces*/, const QString& /*icon*/,
                const QString& summary, const QString& body, const QStringList& /*actions*/,
                const QVariantMap& /*hints*/, int /*timeout*/) {
        log_.write((summary + "|" + body + "\n").toUtf8());
        log_.flush();
        return ++last_;
    }

  private:
    QFile log_;
    uint last_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LOG-FILE\n", argv[0]);
        return 2;
    }
    NotificationListener listener(QString::fromLocal8Bit(argv[1]));
    if (!listener.Open()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &listener,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "cannot register on the session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    // Started by the bus, no one else would stop it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (!bus.isConnected()) {
            app.quit();
        }
    });
    watch.start(200);
    return app.exec();
}

#include "notification_listener.moc"
