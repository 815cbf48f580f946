#include "acquisition/CardFrame.h"

#include <string>

#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

namespace {

struct Frame {
  const CardLocation& card;
  int image;
  bool redraw;
};

intptr_t ShowFrame(intptr_t data) {
  const Frame& frame = *reinterpret_cast<const Frame*>(data);
  // Looked up here, on the UI thread, so the frame lands on the element the card has now.
  HELE element = frame.card.element(10);
  if (element == 0) return 0;
  XEle_ClearBkInfo(element);
  UiText path = ToUiText(CardFrameImagePath(frame.image));
  HIMAGE image = XImage_LoadFile(path.c_str(), TRUE);
  XEle_AddBkImage(element, image);
  if (frame.redraw) XEle_RedrawEle(element, FALSE);
  return 0;
}

}  // namespace

AnsiText CardFrameImagePath(int n) {
  return RunDir() + "\\资源文件\\download\\Download_" + std::to_string(n) + ".png";
}

void SetCardFrame(const CardLocation& card, int n, bool redraw) {
  Frame frame{card, n, redraw};
  XC_CallUiThread(&ShowFrame, reinterpret_cast<intptr_t>(&frame));
}
