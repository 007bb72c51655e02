// An IPv4 address entry of four number fields, 0 to 255 each, that behaves
// like the platform's address control: digits only, a full stop or a third
// digit moves on to the next field, the arrows move across the full stops,
// backspace in an empty field moves back. A click selects the number
// clicked, and a lone 0 gives way to the first digit typed. A whole address
// pasted or dropped anywhere fills all four numbers; text that is no address
// is refused with a message. The whole field is disabled with
// setEnabled(false).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QKeyEvent;
class QLineEdit;
class QPoint;

namespace varnex {

struct PlatformHooks;

class IpAddressField : public QWidget {
    Q_OBJECT
  public:
    // `hooks` (for the refusal of a paste) outlive the field.
    explicit IpAddressField(const PlatformHooks& hooks, QWidget* parent = nullptr);

    // True when all four numbers are filled in.
    bool isComplete() const;
    bool isBlank() const;
    // First field in the most significant byte; empty fields count as 0.
    std::uint32_t address() const;
    void setAddress(std::uint32_t address);
    void clear();

    // One of the four number fields, 0 for the first; for focus and tests.
    QLineEdit* octetField(int index) const;

  signals:
    // The user changed one of the numbers.
    void edited();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onOctetEdited(int index);
    void focusOctet(int index, bool cursorAtEnd);
    bool keyPressed(int index, const QKeyEvent& key);
    void paste(int index, const QString& text);
    void showContextMenu(int index, const QPoint& at);

    const PlatformHooks& hooks_;
    std::array<QLineEdit*, 4> octets_{};
    // The last key was a third digit that moved the focus on.
    bool movedOnByDigits_ = false;
};

}  // namespace varnex
