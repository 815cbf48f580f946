// Parses the input as the text of a web answer (code page 936) and reads and changes the
// document the ways the launcher does.
#include <cstddef>
#include <cstdint>

#include "scripting/JsonDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AnsiText text(reinterpret_cast<const char*>(data), size);
  JsonDocument doc;
  NewJsonDocument(doc);
  doc.parse(text);
  doc.getText("lives[0].temperature");
  doc.getText("", true);
  doc.toJson();
  doc.typeOf("[0]");
  doc.count();
  std::vector<AnsiText> list;
  doc.memberNames(list);
  doc.allValues(list, "", true);
  doc.getObject().toJson();
  doc.setValue("copy", text);
  doc.getText("copy");
  doc.setValue("merged", text, true);
  doc.parse(text, true);
  return 0;
}
