#include "ui/main_window/main_window_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/main_window/button_images.h"
#include "ui/main_window/display_colours.h"

namespace varnex {

void StationListBox::showPopup() {
    emit popupOpening();
    QComboBox::showPopup();
}

namespace {

QLineEdit* ReadoutField(QWidget* parent, const QString& text, int width) {
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFixedWidth(width);
    return field;
}

QToolButton* ImageButton(QWidget* parent, const QIcon& icon, const QString& tip, int iconSize) {
    auto* button = new QToolButton(parent);
    button->setIcon(icon);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setToolTip(tip);
    button->setAutoRaise(false);
    return button;
}

QPushButton* Button(QWidget* parent, const QString& caption) {
    return new QPushButton(caption, parent);
}

// Group boxes keep their frames close to their content so that every group
// fits the window's fixed size.
template <typename Layout>
Layout* GroupLayout(QGroupBox* group) {
    auto* layout = new Layout(group);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(3);
    return layout;
}

// Widgets laid out row by row, one cell each.
void FillGrid(QGridLayout* grid, std::initializer_list<std::initializer_list<QWidget*>> rows) {
    int row = 0;
    for (const auto& cells : rows) {
        int column = 0;
        for (QWidget* cell : cells) {
            grid->addWidget(cell, row, column++);
        }
        ++row;
    }
}

QFont StationListFont() {
    QFont font(QStringLiteral("Lucida Console"));
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont IndicatorFont() {
    QFont font(QStringLiteral("Bitstream Vera Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    font.setUnderline(true);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QGroupBox* StationGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Choose IP Address"), parent);
    auto* grid = GroupLayout<QGridLayout>(group);
    c.stationList = new StationListBox(group);
    c.stationList->setEditable(true);
    c.stationList->setFont(StationListFont());
    c.stationList->setInsertPolicy(QComboBox::NoInsert);
    c.stationList->setMinimumContentsLength(30);
    grid->addWidget(c.stationList, 0, 0, 1, 4);
    c.addIp = Button(group, QStringLiteral("Add IP"));
    c.editIp = Button(group, QStringLiteral("Edit IP"));
    c.deleteIp = Button(group, QStringLiteral("Delete IP"));
    c.setDefault = Button(group, QStringLiteral("Set Default"));
    c.autoAddRoute = Button(group, QStringLiteral("Auto Add Route"));
    c.autoPing = Button(group, QStringLiteral("Auto Ping"));
    grid->addWidget(c.addIp, 1, 0);
    grid->addWidget(c.editIp, 1, 1);
    grid->addWidget(c.deleteIp, 1, 2);
    grid->addWidget(c.setDefault, 1, 3);
    grid->addWidget(c.autoAddRoute, 2, 0, 1, 2);
    grid->addWidget(c.autoPing, 2, 2, 1, 2);
    return group;
}

QGroupBox* SingleFieldGroup(QWidget* parent, const QString& caption, QLineEdit*& field) {
    auto* group = new QGroupBox(caption, parent);
    auto* box = GroupLayout<QHBoxLayout>(group);
    field = ReadoutField(group, QStringLiteral(" "), 170);
    box->addWidget(field);
    return group;
}

QGroupBox* TemperatureGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Temperature"), parent);
    auto* box = GroupLayout<QHBoxLayout>(group);
    box->addWidget(new QLabel(QStringLiteral("°F"), group));
    c.fahrenheit = ReadoutField(group, QStringLiteral(" "), 48);
    box->addWidget(c.fahrenheit);
    box->addWidget(new QLabel(QStringLiteral("°C"), group));
    c.celsius = ReadoutField(group, QStringLiteral(" "), 40);
    box->addWidget(c.celsius);
    c.temperatureButton = ImageButton(group, ButtonIcon(ButtonImage::Temperature),
                                      QStringLiteral("Temperature Control"), 20);
    box->addWidget(c.temperatureButton);
    return group;
}

QWidget* Voltmeter(QWidget* parent, VoltmeterControls& v, int number) {
    auto* cell = new QWidget(parent);
    auto* grid = new QGridLayout(cell);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    v.caption = new QLabel(cell);
    v.caption->setMinimumHeight(v.caption->fontMetrics().height());
    grid->addWidget(v.caption, 0, 0, 1, 2);
    auto* reading = new QHBoxLayout;
    v.value = ReadoutField(cell, QStringLiteral(" "), 108);
    v.value->setAlignment(Qt::AlignRight);
    reading->addWidget(v.value);
    v.bar = new QProgressBar(cell);
    v.bar->setRange(0, kBarRangeStandard);
    v.bar->setValue(0);
    v.bar->setTextVisible(false);
    v.bar->setFixedWidth(108);
    QPalette green = v.bar->palette();
    green.setColor(QPalette::Highlight, kBarGreen);
    // A silent unit's bars are disabled: grey, like its other readouts.
    green.setColor(QPalette::Disabled, QPalette::Highlight, kStaleGrey);
    v.bar->setPalette(green);
    v.bar->hide();
    auto* over = new QHBoxLayout(v.bar);
    over->setContentsMargins(0, 0, 0, 0);
    v.barLabel = new QLabel(v.bar);
    v.barLabel->setAlignment(Qt::AlignCenter);
    v.barLabel->setAttribute(Qt::WA_TranslucentBackground);
    v.barLabel->hide();
    over->addWidget(v.barLabel);
    reading->addWidget(v.bar);
    grid->addLayout(reading, 1, 0);
    v.options = ImageButton(cell, ButtonIcon(ButtonImage::VoltmeterOptions),
                            QStringLiteral("Voltmeter %1 options").arg(number), 14);
    grid->addWidget(v.options, 1, 1);
    return cell;
}

QGroupBox* VoltmeterGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QString::fromLatin1(kReadingsTitle), parent);
    c.readingsGroup = group;
    auto* grid = GroupLayout<QGridLayout>(group);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    constexpr int kPerColumn = 4;
    for (int i = 0; i < static_cast<int>(kDisplayVoltmeters); ++i) {
        grid->addWidget(Voltmeter(group, c.voltmeters[static_cast<std::size_t>(i)], i + 1),
                        i % kPerColumn, i / kPerColumn);
    }
    c.history = Button(group, QStringLiteral("History..."));
    c.history->setToolTip(QStringLiteral("Every reading kept: charts and export"));
    grid->addWidget(c.history, kPerColumn, 1, Qt::AlignRight);
    return group;
}

QGroupBox* RelayGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("POWER RELAYS"), parent);
    auto* grid = GroupLayout<QGridLayout>(group);
    for (int i = 0; i < static_cast<int>(kDisplayRelays); ++i) {
        const auto n = static_cast<std::size_t>(i);
        c.relayStates[n] = new QLabel(QString::fromLatin1(kRelayStateUnknownText), group);
        c.relayButtons[n] = Button(group, QStringLiteral("Relay %1").arg(i + 1));
        c.relayButtons[n]->setMaximumWidth(80);
        c.relayNames[n] = new QLabel(QStringLiteral("Relay"), group);
        for (QLabel* label : {c.relayStates[n], c.relayNames[n]}) {
            label->setAlignment(Qt::AlignCenter);
        }
        grid->addWidget(c.relayStates[n], 0, i);
        grid->addWidget(c.relayButtons[n], 1, i);
        grid->addWidget(c.relayNames[n], 2, i);
    }
    return group;
}

QGroupBox* DaughterBoardGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("RDB"), parent);
    auto* box = GroupLayout<QHBoxLayout>(group);
    c.daughterBoardButton = ImageButton(group, ButtonIcon(ButtonImage::DaughterBoard),
                                        QStringLiteral("Relay Daughter Board Control"), 28);
    box->addWidget(c.daughterBoardButton, 0, Qt::AlignCenter);
    return group;
}

QGroupBox* ScriptsGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Relay Scripts"), parent);
    auto* box = GroupLayout<QHBoxLayout>(group);
    c.runMake = Button(group, QStringLiteral("Run/Make"));
    box->addWidget(c.runMake, 0, Qt::AlignCenter);
    return group;
}

QGroupBox* PinGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("I/O Pin Status"), parent);
    auto* row = GroupLayout<QHBoxLayout>(group);
    for (int i = 0; i < static_cast<int>(kDisplayPins); ++i) {
        const auto n = static_cast<std::size_t>(i);
        row->addWidget(new QLabel(QString::number(i + 1), group));
        c.pins[n] = ReadoutField(group, QStringLiteral("0"), 22);
        c.pins[n]->setAlignment(Qt::AlignCenter);
        c.pinButtons[n] = ImageButton(group, ButtonIcon(ButtonImage::IoPin),
                                      QStringLiteral("I/O Control, pin %1").arg(i + 1), 12);
        row->addWidget(c.pins[n]);
        row->addWidget(c.pinButtons[n]);
        row->addSpacing(4);
    }
    return group;
}

QGroupBox* ManageGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Manage"), parent);
    auto* grid = GroupLayout<QGridLayout>(group);
    c.changeMacAddress = Button(group, QStringLiteral("Change Mac Address"));
    c.changeIpAddress = Button(group, QStringLiteral("Change IP Address"));
    c.securitySettings = Button(group, QStringLiteral("Security Settings"));
    c.setStationName = Button(group, QStringLiteral("Set Station Name"));
    FillGrid(grid,
             {{c.changeMacAddress, c.changeIpAddress}, {c.securitySettings, c.setStationName}});
    return group;
}

QLayout* TimerRow(QWidget* parent, MainWindowControls& c) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Set Timer"), parent));
    c.timerButton = ImageButton(parent, TimerButtonIcon(0), QStringLiteral("Relay Timer"), 22);
    row->addWidget(c.timerButton);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("Run"), parent));
    c.timerLabel = new QLabel(QString::fromLatin1(kTimerInactiveText), parent);
    c.timerLabel->setMinimumWidth(110);
    c.timerLabel->setAlignment(Qt::AlignCenter);
    row->addWidget(c.timerLabel);
    row->addWidget(new QLabel(QStringLiteral("in"), parent));
    auto* countdown = new QGridLayout;
    countdown->setVerticalSpacing(0);
    const std::array<std::pair<const char*, QLineEdit**>, 4> fields = {{
        {"D", &c.timerDays},
        {"H", &c.timerHours},
        {"M", &c.timerMinutes},
        {"S", &c.timerSeconds},
    }};
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const auto& [name, field] = fields[static_cast<std::size_t>(i)];
        auto* label = new QLabel(QString::fromLatin1(name), parent);
        label->setAlignment(Qt::AlignCenter);
        *field = ReadoutField(parent, QStringLiteral("0"), 34);
        (*field)->setAlignment(Qt::AlignCenter);
        countdown->addWidget(label, 0, i);
        countdown->addWidget(*field, 1, i);
    }
    row->addLayout(countdown);
    row->addSpacing(8);
    c.stopTimer = Button(parent, QStringLiteral("Stop Timer"));
    row->addWidget(c.stopTimer);
    row->addStretch();
    return row;
}

QGroupBox* CounterGroup(QWidget* parent, MainWindowControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Packet Counter"), parent);
    auto* row = GroupLayout<QHBoxLayout>(group);
    const std::array<std::pair<const char*, QLabel**>, 3> counters = {{
        {"Sent:", &c.sent},
        {"Received:", &c.received},
        {"Lost:", &c.lost},
    }};
    for (const auto& [name, value] : counters) {
        row->addWidget(new QLabel(QString::fromLatin1(name), group));
        *value = new QLabel(QStringLiteral("0"), group);
        (*value)->setMinimumWidth(44);
        row->addWidget(*value);
    }
    return group;
}

QLayout* SessionButtons(QWidget* parent, MainWindowControls& c) {
    auto* grid = new QGridLayout;
    grid->setSpacing(3);
    c.aquireData = new PulseIndicator(QStringLiteral("Aquire Data"), parent);
    c.aquireData->setFont(IndicatorFont());
    c.start = Button(parent, QStringLiteral("START"));
    c.stop = Button(parent, QStringLiteral("STOP"));
    c.uptime = Button(parent, QStringLiteral("UPTIME"));
    c.about = Button(parent, QStringLiteral("ABOUT"));
    c.exit = Button(parent, QStringLiteral("EXIT"));
    FillGrid(grid, {{c.aquireData, c.start, c.stop}, {c.uptime, c.about, c.exit}});
    return grid;
}

QLayout* Versions(QWidget* parent, MainWindowControls& c) {
    auto* versions = new QGridLayout;
    versions->setVerticalSpacing(1);
    versions->addWidget(new QLabel(QStringLiteral("Client Version:"), parent), 0, 0);
    c.clientVersion = new QLabel(QStringLiteral("1.8.6"), parent);
    versions->addWidget(c.clientVersion, 0, 1);
    versions->addWidget(new QLabel(QStringLiteral("Firmware Version:"), parent), 0, 2);
    c.firmwareVersion = new QLabel(QString::fromLatin1(kFirmwareUnknownText), parent);
    versions->addWidget(c.firmwareVersion, 0, 3);
    versions->setColumnStretch(1, 1);
    versions->setColumnStretch(3, 1);
    return versions;
}

void BuildStatusBar(QStatusBar* statusBar, MainWindowControls& c) {
    // Fixed widths, so a changing message never shifts the parts after it.
    constexpr std::array<int, kStatusBarParts> kWidths = {50, 90, 220, 0};
    const DisplayState startUp;
    for (std::size_t i = 0; i < kStatusBarParts; ++i) {
        c.statusParts[i] = new QLabel(QString::fromStdString(startUp.statusBar[i]), statusBar);
        if (kWidths[i] > 0) {
            c.statusParts[i]->setFixedWidth(kWidths[i]);
        }
        statusBar->addWidget(c.statusParts[i], kWidths[i] > 0 ? 0 : 1);
    }
    statusBar->setSizeGripEnabled(true);
}

}  // namespace

MainWindowControls BuildMainWindowControls(QWidget* central, QStatusBar* statusBar) {
    MainWindowControls c;
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setSpacing(3);

    auto* identity = new QVBoxLayout;
    identity->setSpacing(2);
    identity->addWidget(SingleFieldGroup(central, QStringLiteral("Station Name"), c.stationName));
    identity->addWidget(SingleFieldGroup(central, QStringLiteral("Mac Address"), c.macAddress));
    identity->addWidget(TemperatureGroup(central, c));
    grid->addWidget(StationGroup(central, c), 0, 0, 1, 2);
    grid->addLayout(identity, 0, 2);

    grid->addWidget(VoltmeterGroup(central, c), 1, 0, 1, 2);
    auto* relays = new QGridLayout;
    relays->addWidget(RelayGroup(central, c), 0, 0, 1, 2);
    relays->addWidget(DaughterBoardGroup(central, c), 1, 0);
    relays->addWidget(ScriptsGroup(central, c), 1, 1);
    grid->addLayout(relays, 1, 2);

    grid->addWidget(PinGroup(central, c), 2, 0);
    grid->addWidget(ManageGroup(central, c), 2, 1, 1, 2);
    grid->addLayout(TimerRow(central, c), 3, 0, 1, 3);

    auto* counters = new QVBoxLayout;
    counters->addWidget(CounterGroup(central, c));
    counters->addLayout(Versions(central, c));
    grid->addLayout(counters, 4, 0);
    grid->addLayout(SessionButtons(central, c), 4, 1, 1, 2);

    BuildStatusBar(statusBar, c);
    return c;
}

}  // namespace varnex
