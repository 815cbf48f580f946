#include "acquisition/CardFrame.h"

#include <string>

#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

namespace {

struct Frame {
  HELE element;
  int image;
  bool redraw;
};

intptr_t ShowFrame(intptr_t data) {
  const Frame& frame = *reinterpret_cast<const Frame*>(data);
  XEle_ClearBkInfo(frame.element);
  UiText path = ToUiText(CardFrameImagePath(frame.image));
  HIMAGE image = XImage_LoadFile(path.c_str(), TRUE);
  XEle_AddBkImage(frame.element, image);
  if (frame.redraw) XEle_RedrawEle(frame.element, FALSE);
  return 0;
}

}  // namespace

AnsiText CardFrameImagePath(int n) {
  return RunDir() + "\\资源文件\\download\\Download_" + std::to_string(n) + ".png";
}

void SetCardFrame(HELE element, int n, bool redraw) {
  Frame frame{element, n, redraw};
  XC_CallUiThread(&ShowFrame, reinterpret_cast<intptr_t>(&frame));
}
