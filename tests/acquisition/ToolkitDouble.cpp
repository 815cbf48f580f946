#include "acquisition/ToolkitDouble.h"

#include "platform/win32/Win32.h"

namespace {
thread_local bool t_insideUiCall = false;
}

ToolkitDouble& ToolkitDouble::instance() {
  static ToolkitDouble toolkit;
  return toolkit;
}

void ToolkitDouble::reset() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_frames.clear();
  m_images.clear();
}

void ToolkitDouble::setCardElement(HELE element) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_cardElement = element;
}

HELE ToolkitDouble::cardElement(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  return id == 10 ? m_cardElement : 0;
}

std::vector<DrawnFrame> ToolkitDouble::frames() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_frames;
}

std::vector<int> ToolkitDouble::imageNumbers() {
  std::vector<int> numbers;
  for (const DrawnFrame& frame : frames()) {
    std::size_t at = frame.imagePath.rfind(u"Download_");
    int n = 0;
    for (std::size_t i = at + 9; at != std::u16string::npos && i < frame.imagePath.size(); ++i) {
      if (frame.imagePath[i] < u'0' || frame.imagePath[i] > u'9') break;
      n = n * 10 + (frame.imagePath[i] - u'0');
    }
    numbers.push_back(n);
  }
  return numbers;
}

void ToolkitDouble::cleared(HELE element, bool insideUiCall) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_frames.push_back(DrawnFrame{element, u"", insideUiCall, false});
}

HIMAGE ToolkitDouble::loaded(const char16_t* path) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_images.push_back(path);
  return static_cast<HIMAGE>(m_images.size());
}

void ToolkitDouble::added(HELE element, HIMAGE image) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (!m_frames.empty() && m_frames.back().element == element && image > 0)
    m_frames.back().imagePath = m_images[static_cast<std::size_t>(image) - 1];
}

void ToolkitDouble::redrawn(HELE element) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (!m_frames.empty() && m_frames.back().element == element && !m_frames.back().imagePath.empty())
    m_frames.back().complete = true;
}

extern "C" {

intptr_t XC_CallUiThread(XC_UiThreadProc proc, intptr_t data) {
  t_insideUiCall = true;
  intptr_t result = proc(data);
  t_insideUiCall = false;
  return result;
}

HXCGUI XListView_GetTemplateObject(HELE, int, int, int id) {
  return ToolkitDouble::instance().cardElement(id);
}

BOOL XListView_GetSelectItem(HELE, int* group, int* item) {
  *group = *item = -1;
  return FALSE;
}

void XEle_ClearBkInfo(HELE element) {
  ToolkitDouble::instance().cleared(element, t_insideUiCall);
}

HIMAGE XImage_LoadFile(const char16_t* file, BOOL) {
  return ToolkitDouble::instance().loaded(file);
}

void XEle_AddBkImage(HELE element, HIMAGE image) {
  ToolkitDouble::instance().added(element, image);
}

void XEle_RedrawEle(HELE element, BOOL) {
  ToolkitDouble::instance().redrawn(element);
}

int XC_AnsiToUnicode(const char* in, int inLength, char16_t* out, int outCapacity) {
  return MultiByteToWideChar(CP_ACP, 0, in, inLength, out, outCapacity);
}

int XC_UnicodeToAnsi(const char16_t* in, int inLength, char* out, int outCapacity) {
  return WideCharToMultiByte(CP_ACP, 0, in, inLength, out, outCapacity, nullptr, nullptr);
}

}  // extern "C"
