// An IPv4 address entry of four number fields, 0 to 255 each, that behaves
// like the platform's address control: digits only, a full stop or a third
// digit moves on to the next field, backspace in an empty field moves back.
// The whole field is disabled with setEnabled(false).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QLineEdit;

namespace varnex {

class IpAddressField : public QWidget {
    Q_OBJECT
  public:
    explicit IpAddressField(QWidget* parent = nullptr);

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

    std::array<QLineEdit*, 4> octets_{};
};

}  // namespace varnex
