#include "ui/widgets/ip_address_field.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/platform_hooks.h"
#include "settings/address_paste.h"

namespace varnex {

namespace {

constexpr int kOctetCount = 4;
constexpr int kMaxDigits = 3;
constexpr int kMaxOctet = 255;

}  // namespace

IpAddressField::IpAddressField(const PlatformHooks& hooks, QWidget* parent)
    : QWidget(parent), hooks_(hooks) {
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
        movedOnByDigits_ = true;
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

void IpAddressField::paste(int index, const QString& text) {
    const AddressPaste paste = ReadAddressPaste(text.toStdString());
    switch (paste.kind) {
        case AddressPasteKind::Number:
            // Through the field's own rules, as if typed.
            octets_[index]->insert(QString::number(paste.value));
            return;
        case AddressPasteKind::Address:
            setAddress(paste.value);
            focusOctet(kOctetCount - 1, true);
            emit edited();
            return;
        case AddressPasteKind::Refused:
            hooks_.showMessage(
                Message{MessageOwner::ActiveDialog, paste.message, "", MessageIcon::Exclamation});
            return;
    }
}

// The standard menu, with its paste going through paste() above.
void IpAddressField::showContextMenu(int index, const QPoint& at) {
    QLineEdit* octet = octets_[index];
    const std::unique_ptr<QMenu> menu(octet->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste")) {
            action->disconnect(octet);
            connect(action, &QAction::triggered, this,
                    [this, index] { paste(index, QGuiApplication::clipboard()->text()); });
        }
    }
    menu->exec(at);
}

// True when the key has been dealt with here.
bool IpAddressField::keyPressed(int index, const QKeyEvent& key) {
    QLineEdit* octet = octets_[index];
    if (key.matches(QKeySequence::Paste)) {
        paste(index, QGuiApplication::clipboard()->text());
        return true;
    }
    const bool movedOnByDigits = std::exchange(movedOnByDigits_, false);
    const bool atStart = octet->cursorPosition() == 0 && !octet->hasSelectedText();
    const bool atEnd = octet->cursorPosition() == octet->text().size();
    switch (key.key()) {
        case Qt::Key_Period:
            // Right after a third digit moved on, the full stop the user
            // types out of habit belongs to the number just finished.
            if (!movedOnByDigits && !octet->text().isEmpty() && index + 1 < kOctetCount) {
                focusOctet(index + 1, false);
            }
            return true;  // a full stop is never part of a number
        case Qt::Key_Backspace:
            if (octet->text().isEmpty() && index > 0) {
                focusOctet(index - 1, true);
                return true;
            }
            return false;
        case Qt::Key_Left:
            if (atStart && index > 0) {
                focusOctet(index - 1, true);
                return true;
            }
            return false;
        case Qt::Key_Right:
            if (atEnd && index + 1 < kOctetCount) {
                focusOctet(index + 1, false);
                return true;
            }
            return false;
        default:
            break;
    }
    // A lone 0 is no number to add digits to: "0" then "7" is 7, not 07.
    const QString typed = key.text();
    if (typed.size() == 1 && typed.front().isDigit() && octet->text() == QLatin1String("0")) {
        octet->selectAll();
    }
    return false;
}

bool IpAddressField::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(octets_.begin(), octets_.end(), watched);
    if (found == octets_.end()) {
        return QWidget::eventFilter(watched, event);
    }
    const int index = int(found - octets_.begin());
    QLineEdit* octet = *found;
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressed(index, static_cast<const QKeyEvent&>(*event));
        case QEvent::MouseButtonPress: {
            // A click selects the whole number, so typing replaces it.
            const auto& mouse = static_cast<const QMouseEvent&>(*event);
            if (mouse.button() != Qt::LeftButton) {
                break;
            }
            octet->setFocus(Qt::MouseFocusReason);
            octet->selectAll();
            movedOnByDigits_ = false;
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const auto& mouse = static_cast<const QMouseEvent&>(*event);
            if (mouse.button() != Qt::MiddleButton ||
                !QGuiApplication::clipboard()->supportsSelection()) {
                break;
            }
            paste(index, QGuiApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        case QEvent::ContextMenu:
            showContextMenu(index, static_cast<const QContextMenuEvent&>(*event).globalPos());
            return true;
        case QEvent::Drop: {
            auto& drop = static_cast<QDropEvent&>(*event);
            if (drop.mimeData()->hasText()) {
                paste(index, drop.mimeData()->text());
                drop.acceptProposedAction();
            }
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace varnex
