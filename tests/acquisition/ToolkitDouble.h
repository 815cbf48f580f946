// A stand-in for the few toolkit functions the download loop uses: it records every frame shown
// on an element (the image file loaded for it) and whether it was drawn inside XC_CallUiThread.
// Every card of every list has the one activation element set here (0: out of view).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "shell/toolkit/xcgui.h"

struct DrawnFrame {
  HELE element;
  std::u16string imagePath;
  bool insideUiCall;
  bool complete;  // cleared, image added and redrawn
};

class ToolkitDouble {
 public:
  static ToolkitDouble& instance();
  void reset();
  // The element a card's template element 10 is now, as a list that rebuilt the card would say.
  void setCardElement(HELE element);
  HELE cardElement(int id);
  std::vector<DrawnFrame> frames();
  // The image numbers of the frames, from paths ending "Download_<n>.png".
  std::vector<int> imageNumbers();

  // Called by the stand-in functions.
  void cleared(HELE element, bool insideUiCall);
  HIMAGE loaded(const char16_t* path);
  void added(HELE element, HIMAGE image);
  void redrawn(HELE element);

 private:
  std::mutex m_lock;
  std::vector<DrawnFrame> m_frames;
  std::vector<std::u16string> m_images;
  HELE m_cardElement = 0;
};
