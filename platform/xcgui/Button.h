// A push button, optionally checkable, with a text and background images per state. A click
// (press and release inside) raises event 34; an `action` makes the click also minimise or
// close the window.
#pragma once

#include <string>

#include "platform/xcgui/Element.h"

enum class ButtonAction { None, Close, Minimize, Maximize };

class Button : public Element {
 public:
  // Background state of a checked button (the toolkit's own number).
  static constexpr int kStateChecked = 0x1000;

  Button();
  int objectType() const override { return XC_BUTTON; }

  void setText(std::u16string text);
  const std::u16string& text() const { return text_; }
  void setCheckable(bool checkable) { checkable_ = checkable; }
  void setChecked(bool checked);
  bool checked() const { return checked_; }
  void setAction(ButtonAction action) { action_ = action; }
  void setTextColour(Colour colour) { textColour_ = colour; }

  Point preferredSize() override;
  bool onMouseDown(Point p) override;
  void onMouseUp(Point p, bool inside) override;

 protected:
  void paintBackground(Painter& painter) override;
  void paintContent(Painter& painter) override;
  std::vector<int> backgroundStates() const override;

 private:
  std::u16string text_;
  std::string utf8_;
  bool checkable_ = false;
  bool checked_ = false;
  ButtonAction action_ = ButtonAction::None;
  Colour textColour_;
};
