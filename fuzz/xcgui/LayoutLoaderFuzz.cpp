// Loads the input as a layout file the three ways the toolkit does: as a window, into a host
// element and as an item template. Each load either gives elements or fails with a message.
// The toolkit runs on SDL's dummy video driver, so no display is needed. Picture and template
// references resolve in a scratch run directory holding one picture (card.png), one good
// template (row.xml) and the input itself (input.xml), so a layout can refer to itself.
#include <SDL.h>
#include <SDL_image.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/xcgui/Element.h"
#include "platform/xcgui/LayoutLoader.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/Window.h"
#include "platform/xldl/ScratchDirectory.h"
#include "shell/toolkit/xcgui.h"

namespace {

const char kHostLayout[] = R"(<window width="800" height="600"><layout id="1"/></window>)";
const char kRowTemplate[] =
    R"(<template><shapetext bind="name" width="fill" height="20"/><shapepic bind="image" image="card.png"/></template>)";

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

struct Stage {
  ScratchDirectory runDirectory;
  Element* host = nullptr;

  Stage() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    XInitXCGUI(u"layout fuzz");
    Toolkit::instance().setRunDirectory(runDirectory.path());
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_ARGB8888);
    IMG_SavePNG(picture, runDirectory.file("card.png").c_str());
    SDL_FreeSurface(picture);
    WriteFile(runDirectory.file("row.xml"), kRowTemplate);
    LayoutLoader loader("host.xml");
    Object* window = loader.parse(kHostLayout) ? loader.load(nullptr) : nullptr;
    host = window ? static_cast<Window*>(window)->findById(1) : nullptr;
    if (!host) {
      std::fprintf(stderr, "layout fuzz: cannot build the host window\n");
      std::abort();
    }
  }
};

Stage& TheStage() {
  static Stage stage;
  return stage;
}

// Parses the text afresh and hands the loader to `use`; a parse or use that gave nothing must
// have said why.
template <class Use>
void Attempt(const std::string& text, Use use) {
  LayoutLoader loader("input.xml");
  if (loader.parse(text) && use(loader)) return;
  if (loader.lastError().empty()) {
    std::fprintf(stderr, "layout fuzz: a load failed without a message\n");
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Stage& stage = TheStage();
  Toolkit& toolkit = Toolkit::instance();
  std::string text(reinterpret_cast<const char*>(data), size);
  WriteFile(stage.runDirectory.file("input.xml"), text);

  Attempt(text, [&](LayoutLoader& loader) {
    Object* window = loader.load(nullptr);
    if (window) toolkit.closeWindow(static_cast<Window*>(window), false);
    return window != nullptr;
  });
  Attempt(text, [&](LayoutLoader& loader) {
    Object* element = loader.load(stage.host);
    if (element) toolkit.bury(stage.host->detachChild(static_cast<Element*>(element)));
    return element != nullptr;
  });
  Attempt(text, [&](LayoutLoader& loader) {
    Element item;
    bool built = loader.buildTemplate(&item);
    item.retireTree();
    return built;
  });
  toolkit.pump();
  return 0;
}
