// Item templates that refer to templates: a template that contains itself, directly or through
// another file, is refused when it is set instead of building items inside items without end.
#include "XcguiTestSupport.h"

namespace {

class ItemTemplateTest : public XcguiTest {
 protected:
  // A template file holding one tree whose own template is `inner` (a path).
  void TreeTemplate(const std::string& name, const std::string& inner) {
    WriteFile(Path(name), "<template>\n  <tree width=\"fill\" height=\"fill\" template=\"" + inner +
                              "\"/>\n</template>\n");
  }
  HELE Tree() {
    HWINDOW w = Load(
        "w.xml", R"(<window width="200" height="200"><tree id="1" width="fill" height="fill"/></window>)");
    return XC_GetObjectByID(w, 1);
  }
};

TEST_F(ItemTemplateTest, ATemplateContainingItselfIsRefusedWithAReport) {
  HELE tree = Tree();
  ASSERT_NE(tree, 0);
  TreeTemplate("self.xml", Path("self.xml"));
  std::string report =
      StderrOf([&] { EXPECT_FALSE(XTree_SetItemTemplateXML(tree, UPath("self.xml").c_str())); });
  EXPECT_NE(report.find(Path("self.xml") + ":0: the item template contains itself"), std::string::npos)
      << report;
}

TEST_F(ItemTemplateTest, ACycleThroughTwoTemplatesIsRefusedFromEitherEnd) {
  HELE tree = Tree();
  ASSERT_NE(tree, 0);
  TreeTemplate("a.xml", Path("b.xml"));
  TreeTemplate("b.xml", Path("a.xml"));
  std::string report = StderrOf([&] {
    EXPECT_FALSE(XTree_SetItemTemplateXML(tree, UPath("a.xml").c_str()));
    EXPECT_FALSE(XTree_SetItemTemplateXMLSel(tree, UPath("b.xml").c_str()));
  });
  EXPECT_NE(report.find(Path("a.xml") + ":0: the item template contains itself"), std::string::npos)
      << report;
  EXPECT_NE(report.find(Path("b.xml") + ":0: the item template contains itself"), std::string::npos)
      << report;
}

TEST_F(ItemTemplateTest, ALayoutWhoseTemplateContainsItselfIsNotLoaded) {
  TreeTemplate("self.xml", Path("self.xml"));
  std::string report = LoadRefused("list.xml",
                                   "<window width=\"100\" height=\"100\">\n"
                                   "  <listview template=\"" +
                                       Path("self.xml") + "\"/>\n</window>\n");
  EXPECT_NE(report.find(Path("list.xml") + ":2: broken item template"), std::string::npos) << report;
}

TEST_F(ItemTemplateTest, TheSameTemplateNestedWithoutACycleIsAccepted) {
  HELE tree = Tree();
  ASSERT_NE(tree, 0);
  WriteFile(Path("row.xml"), R"(<template><shapetext bind="name" width="fill" height="20"/></template>)");
  // Two trees in one template may share a template; only a template inside itself is a cycle.
  WriteFile(Path("outer.xml"), "<template>\n  <tree template=\"" + Path("row.xml") +
                                   "\"/>\n  <tree template=\"" + Path("row.xml") + "\"/>\n</template>\n");
  EXPECT_TRUE(XTree_SetItemTemplateXML(tree, UPath("outer.xml").c_str()));
  TreeTemplate("middle.xml", Path("outer.xml"));
  EXPECT_TRUE(XTree_SetItemTemplateXMLSel(tree, UPath("middle.xml").c_str()));
}

}  // namespace
