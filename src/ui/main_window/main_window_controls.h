// The main window's controls, built once and kept by pointer so that the
// window can render its display state into them and tests can reach them.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <array>

#include "session/display_state.h"
#include "ui/main_window/pulse_indicator.h"

namespace varnex {

// The station list: opening its drop-down is a command of its own.
class StationListBox : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
    void showPopup() override;

  signals:
    void popupOpening();
};

struct VoltmeterControls {
    QLabel* caption = nullptr;
    QLineEdit* value = nullptr;
    QProgressBar* bar = nullptr;
    QLabel* barLabel = nullptr;  // lies over the bar
    QToolButton* options = nullptr;
};

struct MainWindowControls {
    // "Choose IP Address"
    StationListBox* stationList = nullptr;
    QPushButton* addIp = nullptr;
    QPushButton* editIp = nullptr;
    QPushButton* deleteIp = nullptr;
    QPushButton* setDefault = nullptr;
    QPushButton* autoAddRoute = nullptr;
    QPushButton* autoPing = nullptr;

    QLineEdit* stationName = nullptr;
    QLineEdit* macAddress = nullptr;
    QLineEdit* fahrenheit = nullptr;
    QLineEdit* celsius = nullptr;
    QToolButton* temperatureButton = nullptr;

    QGroupBox* readingsGroup = nullptr;  // "ADC INPUTS"
    std::array<VoltmeterControls, kDisplayVoltmeters> voltmeters{};
    QPushButton* history = nullptr;  // opens the History window

    // "POWER RELAYS"
    std::array<QLabel*, kDisplayRelays> relayStates{};
    std::array<QPushButton*, kDisplayRelays> relayButtons{};
    std::array<QLabel*, kDisplayRelays> relayNames{};

    QToolButton* daughterBoardButton = nullptr;  // "RDB"
    QPushButton* runMake = nullptr;              // "Relay Scripts"

    // "I/O Pin Status"
    std::array<QLineEdit*, kDisplayPins> pins{};
    std::array<QToolButton*, kDisplayPins> pinButtons{};

    // "Manage"
    QPushButton* changeMacAddress = nullptr;
    QPushButton* changeIpAddress = nullptr;
    QPushButton* securitySettings = nullptr;
    QPushButton* setStationName = nullptr;

    // Relay timer row
    QToolButton* timerButton = nullptr;
    QLabel* timerLabel = nullptr;
    QLineEdit* timerDays = nullptr;
    QLineEdit* timerHours = nullptr;
    QLineEdit* timerMinutes = nullptr;
    QLineEdit* timerSeconds = nullptr;
    QPushButton* stopTimer = nullptr;

    // "Packet Counter"
    QLabel* sent = nullptr;
    QLabel* received = nullptr;
    QLabel* lost = nullptr;

    PulseIndicator* aquireData = nullptr;
    QPushButton* start = nullptr;
    QPushButton* stop = nullptr;
    QPushButton* uptime = nullptr;
    QPushButton* about = nullptr;
    QPushButton* exit = nullptr;
    QLabel* clientVersion = nullptr;
    QLabel* firmwareVersion = nullptr;

    std::array<QLabel*, kStatusBarParts> statusParts{};
};

// Lays every group out on `central` and the four parts on `statusBar`.
MainWindowControls BuildMainWindowControls(QWidget* central, QStatusBar* statusBar);

}  // namespace varnex
