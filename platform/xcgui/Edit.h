// A single-line text field: caret, selection, typing through WM_CHAR (SDL text input, so
// Chinese input methods work, their pre-edit text drawn underlined at the caret and their
// candidate box kept beside it), arrows, Home/End, Backspace/Delete, Ctrl+A, Ctrl+C/X/V with the
// system clipboard, Ctrl+Z undo. Raises event 182 after every change of its text.
#pragma once

#include <string>
#include <vector>

#include "platform/xcgui/Element.h"

class Edit : public Element {
 public:
  Edit();
  int objectType() const override { return XC_EDIT; }
  bool takesFocus() const override { return true; }

  const std::u16string& text() const { return text_; }
  // Replaces the text without raising 182 (layout files and programs setting a start value).
  void setText(std::u16string text);
  void setPlaceholder(std::u16string text) { placeholder_ = std::move(text); }
  void setTextColour(Colour colour) { textColour_ = colour; }
  void setFontSize(int size) { fontSize_ = size; }
  int caret() const { return caret_; }
  // Selected range [start, end); empty when start == end.
  int selectionStart() const { return std::min(anchor_, caret_); }
  int selectionEnd() const { return std::max(anchor_, caret_); }

  bool onMouseDown(Point p) override;
  void onMouseMove(Point p) override;
  void onMouseUp(Point p, bool inside) override;
  void onKeyDown(int virtualKey) override;
  void onChar(char16_t c) override;
  void onComposition(const std::u16string& text, int cursor) override;
  const std::u16string& composition() const { return composition_; }
  void onFocusChanged(bool focused) override;

 protected:
  void paintContent(Painter& painter) override;

 private:
  int textWidth(int units) const;
  int positionAt(int x) const;
  void moveCaret(int to, bool extend);
  void replaceSelection(const std::u16string& with);
  void changed();
  void copySelection() const;
  void paste();
  void undo();
  // Tells the input method where the caret is, so its candidate box follows.
  void placeCandidates(Rect caret);
  // What the box shows: the text with the pre-edit text at the caret.
  std::u16string shownText() const;

  std::u16string text_;
  std::u16string placeholder_;
  int caret_ = 0;
  int anchor_ = 0;
  int scroll_ = 0;
  bool focused_ = false;
  bool dragging_ = false;
  char16_t pendingHigh_ = 0;
  std::u16string composition_;
  int compositionCursor_ = 0;
  struct Snapshot {
    std::u16string text;
    int caret;
  };
  std::vector<Snapshot> undo_;
  Rect candidatesAt_{};
  int fontSize_ = 0;
  Colour textColour_;
};
