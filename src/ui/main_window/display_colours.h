// The main window's colouring rules: which text and background colour a
// readout gets from what it shows.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

namespace varnex {

struct FieldColours {
    QColor text;
    QColor background;
};

inline const QColor kRed{255, 0, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kRelayOnGreen{0, 170, 0};
inline const QColor kBarGreen{0, 255, 0};
// The readouts of a unit that has gone silent.
inline const QColor kStaleGrey{128, 128, 128};

// I/O pin fields: "0" is black on white, anything else white on red.
FieldColours PinFieldColours(const QString& text);

// Relay state labels by their leading characters; nullopt keeps the default.
std::optional<QColor> RelayStateColour(const QString& text);

// The "Aquire Data" indicator at a pulse step.
QColor PulseQColour(int step);

}  // namespace varnex
