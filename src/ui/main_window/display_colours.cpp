#include "ui/main_window/display_colours.h"

#include "session/display_state.h"

namespace varnex {

FieldColours PinFieldColours(const QString& text) {
    if (text == QLatin1String("0")) {
        return {Qt::black, Qt::white};
    }
    return {Qt::white, kRed};
}

std::optional<QColor> RelayStateColour(const QString& text) {
    // The label is read as the platform would: ten characters at most, trimmed.
    const QString shown = text.left(10).trimmed();
    if (shown.startsWith(QLatin1String("=="))) {
        return QColor(Qt::black);
    }
    if (shown.startsWith(QLatin1String("OF"))) {
        return kRed;
    }
    if (shown.startsWith(QLatin1String("ON"))) {
        return kRelayOnGreen;
    }
    return std::nullopt;
}

QColor PulseQColour(int step) {
    const Rgb rgb = PulseColour(step);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace varnex
