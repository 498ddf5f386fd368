#pragma once

#include <QComboBox>

namespace sorvo::ui {

// A drop-down list whose keyboard focus shows as the skin's focus frame instead of the style's
// own focus look.
class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    explicit DropDownList(QWidget* parent);

  protected:
    void initStyleOption(QStyleOptionComboBox* option) const override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace sorvo::ui
