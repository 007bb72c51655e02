#include "ui/widgets/ip_address_field.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace varnex {

namespace {

constexpr int kOctetCount = 4;
constexpr int kMaxDigits = 3;
constexpr int kMaxOctet = 255;

}  // namespace

IpAddressField::IpAddressField(QWidget* parent) : QWidget(parent) {
    // One sunken frame around all four numbers, so it reads as one field.
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setBackgroundRole(QPalette::Base);
    frame->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(0);

    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
    const int octetWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    for (int i = 0; i < kOctetCount; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), frame);
            dot->setBackgroundRole(QPalette::Base);
            row->addWidget(dot);
        }
        auto* octet = new QLineEdit(frame);
        octet->setFrame(false);
        octet->setAlignment(Qt::AlignCenter);
        octet->setValidator(digits);
        octet->setMaxLength(kMaxDigits);
        octet->setFixedWidth(octetWidth);
        octet->installEventFilter(this);
        connect(octet, &QLineEdit::textEdited, this, [this, i] { onOctetEdited(i); });
        row->addWidget(octet);
        octets_[i] = octet;
    }
    setFocusProxy(octets_[0]);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool IpAddressField::isComplete() const {
    for (const QLineEdit* octet : octets_) {
        if (octet->text().isEmpty()) {
            return false;
        }
    }
    return true;
}

bool IpAddressField::isBlank() const {
    for (const QLineEdit* octet : octets_) {
        if (!octet->text().isEmpty()) {
            return false;
        }
    }
    return true;
}

std::uint32_t IpAddressField::address() const {
    std::uint32_t value = 0;
    for (const QLineEdit* octet : octets_) {
        value = (value << 8) | static_cast<std::uint32_t>(octet->text().toUInt() & 0xFF);
    }
    return value;
}

void IpAddressField::setAddress(std::uint32_t address) {
    for (int i = 0; i < kOctetCount; ++i) {
        const int shift = 8 * (kOctetCount - 1 - i);
        octets_[i]->setText(QString::number((address >> shift) & 0xFF));
    }
}

void IpAddressField::clear() {
    for (QLineEdit* octet : octets_) {
        octet->clear();
    }
}

QLineEdit* IpAddressField::octetField(int index) const {
    return octets_.at(static_cast<std::size_t>(index));
}

void IpAddressField::onOctetEdited(int index) {
    QLineEdit* octet = octets_[index];
    // Too large a number becomes the largest one, as the platform control does.
    if (octet->text().toInt() > kMaxOctet) {
        octet->setText(QString::number(kMaxOctet));
    }
    if (octet->text().size() == kMaxDigits && octet->cursorPosition() == kMaxDigits &&
        index + 1 < kOctetCount) {
        focusOctet(index + 1, false);
    }
    emit edited();
}

void IpAddressField::focusOctet(int index, bool cursorAtEnd) {
    QLineEdit* octet = octets_[index];
    octet->setFocus(Qt::OtherFocusReason);
    if (cursorAtEnd) {
        octet->deselect();
        octet->end(false);
    } else {
        octet->selectAll();
    }
}

bool IpAddressField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    int index = 0;
    while (index < kOctetCount && octets_[index] != watched) {
        ++index;
    }
    if (index == kOctetCount) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QLineEdit* octet = octets_[index];
    const bool atStart = octet->cursorPosition() == 0 && !octet->hasSelectedText();
    const bool atEnd = octet->cursorPosition() == octet->text().size();
    switch (key->key()) {
        case Qt::Key_Period:
            if (!octet->text().isEmpty() && index + 1 < kOctetCount) {
                focusOctet(index + 1, false);
            }
            return true;  // a full stop is never part of a number
        case Qt::Key_Backspace:
            if (octet->text().isEmpty() && index > 0) {
                focusOctet(index - 1, true);
                return true;
            }
            break;
        case Qt::Key_Left:
            if (atStart && index > 0) {
                focusOctet(index - 1, true);
                return true;
            }
            break;
        case Qt::Key_Right:
            if (atEnd && index + 1 < kOctetCount) {
                focusOctet(index + 1, false);
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace varnex
