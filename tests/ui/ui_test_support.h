// Helpers shared by the window tests: bounded event pumping, modal windows
// reached from the event loop, typing and clicking as a user does, what the
// controls show, and pictures of the windows on request. It also brings the
// controls the dialogs are made of.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <ostream>

// Readable failures: gtest prints a QStringList element by element.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace varnex {

// Runs the event loop in short slices until `done` holds or `timeoutMs` has
// passed; answers whether it holds.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

// Closes any modal window still open when it fires, so that a test whose
// dialog was never answered fails instead of waiting for ever.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(int timeoutMs = 5000) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
                QApplication::processEvents();
                if (QApplication::activeModalWidget() == modal) {
                    modal->hide();
                }
            }
        });
        timer_.start(timeoutMs);
    }

  private:
    QTimer timer_;
};

// Runs `act` on the modal window that a blocking exec() started right after
// this call has opened; pair it with a ModalWatchdog.
inline void OnNextModal(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        }
    });
}

// Saves what a window looks like into the folder $VARNEX_SHOTS names, if
// any, for a person to check by eye.
inline void Shoot(QWidget& window, const QString& name) {
    if (const QString folder = qEnvironmentVariable("VARNEX_SHOTS"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        window.grab().save(folder + "/" + name + ".png");
    }
}

// Each key goes to whichever control has the focus at that moment.
inline void TypeIntoFocus(const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) {
        QTest::keyClick(QApplication::focusWidget(), *key);
    }
}

// Near the left edge: a radio button takes clicks only on its mark and text,
// not on the rest of a stretched row.
inline void ClickNearLeft(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(std::min(button->width() / 2, 8), button->height() / 2));
}

// What labels, buttons, fields, group boxes and windows show, in one list
// that compares whole.
inline QStringList Shown(std::initializer_list<const QObject*> widgets) {
    QStringList texts;
    for (const QObject* widget : widgets) {
        for (const char* name : {"text", "plainText", "currentText", "title", "windowTitle"}) {
            if (const QVariant value = widget->property(name); value.isValid()) {
                texts << value.toString();
                break;
            }
        }
    }
    return texts;
}

inline QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int k = 0; k < list->count(); ++k) {
        texts << list->item(k)->text();
    }
    return texts;
}

inline void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// A first click, then the second one that makes it a double-click.
inline void DoubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace varnex
