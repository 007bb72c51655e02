#include "ui/main_window/display_renderer.h"

#include "ui/main_window/button_images.h"
#include "ui/main_window/display_colours.h"

namespace varnex {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

template <typename Widget>
void SetText(Widget* widget, const std::string& text) {
    const QString shown = Text(text);
    if (widget->text() != shown) {
        widget->setText(shown);
    }
}

void SetColours(QWidget* widget, const QColor& text, const std::optional<QColor>& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    if (background) {
        palette.setColor(QPalette::Base, *background);
    }
    if (palette != widget->palette()) {
        widget->setPalette(palette);
    }
}

// A silent unit's readouts keep their values, greyed and in italics, so the
// difference does not rest on colour alone.
QColor ReadoutColour(const QColor& live, bool stale) {
    return stale ? kStaleGrey : live;
}

void SetStale(QWidget* widget, bool stale) {
    if (widget->font().italic() != stale) {
        QFont font = widget->font();
        font.setItalic(stale);
        widget->setFont(font);
    }
}

// Read-only fields look like static texts on the window's own background.
void PaintAsStaticText(QLineEdit* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

void RenderVoltmeter(const VoltmeterDisplay& v, bool stale, VoltmeterControls& c) {
    SetText(c.caption, v.caption);
    SetText(c.value, v.valueText);
    SetColours(c.value, ReadoutColour(kRed, stale), QColor(Qt::white));
    SetStale(c.value, stale);
    SetStale(c.barLabel, stale);
    c.bar->setEnabled(!stale);
    c.value->setVisible(v.valueVisible);
    if (c.bar->maximum() != v.barMaximum) {
        c.bar->setRange(0, v.barMaximum);
    }
    c.bar->setValue(v.barPosition);
    c.bar->setVisible(v.barVisible);
    SetText(c.barLabel, v.barLabelText);
    c.barLabel->setVisible(v.barLabelVisible);
}

void RenderEnabled(const ControlsEnabled& e, MainWindowControls& c) {
    c.start->setEnabled(e.start);
    for (std::size_t i = 0; i < kDisplayRelays; ++i) {
        c.relayButtons[i]->setEnabled(e.relayButtons[i]);
    }
    for (std::size_t i = 0; i < kDisplayPins; ++i) {
        c.pinButtons[i]->setEnabled(e.pinButtons[i]);
    }
    c.runMake->setEnabled(e.runMake);
    c.changeMacAddress->setEnabled(e.changeMacAddress);
    c.changeIpAddress->setEnabled(e.changeIpAddress);
    c.securitySettings->setEnabled(e.securitySettings);
    c.setStationName->setEnabled(e.setStationName);
    c.uptime->setEnabled(e.uptime);
    c.temperatureButton->setEnabled(e.temperatureButton);
    c.daughterBoardButton->setEnabled(e.daughterBoardButton);
    c.stopTimer->setEnabled(e.stopTimer);
    c.timerButton->setEnabled(e.timerButton);
}

}  // namespace

void ApplyFixedColours(MainWindowControls& c) {
    for (QLineEdit* field : {c.stationName, c.macAddress, c.fahrenheit, c.celsius, c.timerDays,
                             c.timerHours, c.timerMinutes, c.timerSeconds}) {
        PaintAsStaticText(field);
    }
    SetColours(c.timerLabel, kRed, std::nullopt);
    for (QLabel* name : c.relayNames) {
        SetColours(name, kBlue, std::nullopt);
    }
    SetColours(c.sent, kBlue, std::nullopt);
    SetColours(c.received, kBlue, std::nullopt);
    SetColours(c.lost, kRed, std::nullopt);
}

void RenderDisplayState(const DisplayState& s, MainWindowControls& c) {
    const bool stale = s.readingsStale;
    SetText(c.stationName, s.stationName);
    SetText(c.macAddress, s.macAddress);
    SetText(c.fahrenheit, s.fahrenheit);
    SetText(c.celsius, s.celsius);
    for (QLineEdit* field : {c.stationName, c.macAddress, c.fahrenheit, c.celsius}) {
        const QColor live = field->parentWidget()->palette().color(QPalette::Text);
        SetColours(field, ReadoutColour(live, stale), std::nullopt);
        SetStale(field, stale);
    }
    if (const QString title = Text(s.readingsTitle); c.readingsGroup->title() != title) {
        c.readingsGroup->setTitle(title);
    }
    for (std::size_t i = 0; i < kDisplayVoltmeters; ++i) {
        RenderVoltmeter(s.voltmeters[i], stale, c.voltmeters[i]);
    }
    for (std::size_t i = 0; i < kDisplayRelays; ++i) {
        QLabel* state = c.relayStates[i];
        SetText(state, s.relayStates[i]);
        const QColor defaultText = state->parentWidget()->palette().color(QPalette::WindowText);
        SetColours(state,
                   ReadoutColour(RelayStateColour(state->text()).value_or(defaultText), stale),
                   std::nullopt);
        SetStale(state, stale);
        SetText(c.relayNames[i], s.relayNames[i]);
    }
    SetText(c.autoPing, s.autoPingCaption);
    for (std::size_t i = 0; i < kDisplayPins; ++i) {
        SetText(c.pins[i], s.pins[i]);
        const FieldColours colours = PinFieldColours(c.pins[i]->text());
        SetColours(c.pins[i], ReadoutColour(colours.text, stale),
                   stale ? QColor(Qt::white) : colours.background);
        SetStale(c.pins[i], stale);
    }
    SetText(c.sent, s.counters.sent);
    SetText(c.received, s.counters.received);
    SetText(c.lost, s.counters.lost);
    RenderEnabled(s.enabled, c);
    SetText(c.timerLabel, s.timerLabel);
    SetText(c.timerDays, s.timerDays);
    SetText(c.timerHours, s.timerHours);
    SetText(c.timerMinutes, s.timerMinutes);
    SetText(c.timerSeconds, s.timerSeconds);
    const QVariant frame(s.timerButtonImage);
    if (c.timerButton->property("frame") != frame) {
        c.timerButton->setIcon(TimerButtonIcon(s.timerButtonImage));
        c.timerButton->setProperty("frame", frame);
    }
    SetText(c.firmwareVersion, s.firmwareVersion);
    for (std::size_t i = 0; i < kStatusBarParts; ++i) {
        SetText(c.statusParts[i], s.statusBar[i]);
    }
    RenderPulse(s, c);
}

void RenderPulse(const DisplayState& s, MainWindowControls& c) {
    c.aquireData->SetColour(PulseQColour(s.pulseStep));
}

}  // namespace varnex
