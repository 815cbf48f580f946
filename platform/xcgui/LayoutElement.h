// The element kind that exists to arrange its children (a <layout> in layout files): it stacks
// them horizontally unless told otherwise.
#pragma once

#include "platform/xcgui/Element.h"

class LayoutElement : public Element {
 public:
  LayoutElement() { setFlow(Flow::Horizontal); }
  int objectType() const override { return XC_LAYOUT_ELE; }
};
