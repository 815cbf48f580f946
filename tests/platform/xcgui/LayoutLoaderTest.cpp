// Reading layout files: every element kind, nesting into a parent, pictures relative to the run
// directory, lookups by numeric ID inside windows and item templates, and the one-line reports
// of broken files.
#include "XcguiTestSupport.h"

namespace {

const char* kEveryKind = R"(<window title="loader" width="300" height="200" layout="vertical">
  <element id="1" width="fill" height="20" bkcolor="#ff0000"/>
  <layout id="2" width="fill" height="40" padding="5" gap="4">
    <shapetext id="3" text="名称" width="100" height="fill"/>
    <shapepic id="4" image="pics/red.png" width="30" height="30"/>
    <button id="5" text="OK" width="50" height="fill" checkable="true" checked="true"/>
    <edit id="6" text="起始" width="fill" height="fill"/>
  </layout>
  <tree id="7" width="fill" height="50"/>
  <listview id="8" width="fill" height="fill"/>
</window>
)";

const char* kMainWithHost = R"(<window width="400" height="300" layout="vertical">
  <layout id="38" width="fill" height="50"/>
  <layout id="6" width="fill" height="fill" layout="vertical"/>
</window>
)";

}  // namespace

class LayoutLoaderTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    Picture("pics/red.png", 0xFF0000);
  }
};

// ---- loading ----

TEST_F(LayoutLoaderTest, WindowRootBuildsEveryElementKindWithItsId) {
  HWINDOW w = Load("every.xml", kEveryKind);
  ASSERT_NE(w, 0);
  EXPECT_EQ(XC_GetObjectType(w), XC_WINDOW);
  const std::pair<int, int> kinds[] = {{1, XC_ELE},           {2, XC_LAYOUT_ELE}, {3, XC_SHAPE_TEXT},
                                       {4, XC_SHAPE_PICTURE}, {5, XC_BUTTON},     {6, XC_EDIT},
                                       {7, XC_TREE},          {8, XC_LIST_VIEW}};
  for (auto [id, type] : kinds) EXPECT_EQ(XC_GetObjectType(XC_GetObjectByID(w, id)), type) << "id " << id;
  RECT window = RectOf(w);
  EXPECT_EQ(window.right - window.left, 300);
  EXPECT_EQ(window.bottom - window.top, 200);
}

TEST_F(LayoutLoaderTest, AttributesGiveTextsStatesAndPictures) {
  HWINDOW w = Load("every.xml", kEveryKind);
  ASSERT_NE(w, 0);
  EXPECT_EQ(Utf8(XShapeText_GetText(XC_GetObjectByID(w, 3))), "名称");
  EXPECT_TRUE(XTest_ButtonChecked(XC_GetObjectByID(w, 5)));
  char16_t edit[16] = {};
  EXPECT_EQ(XEdit_GetText(XC_GetObjectByID(w, 6), edit, 16), 2);
  EXPECT_EQ(Utf8(edit), "起始");
  EXPECT_EQ(Rgb(PixelAtCentre(w, XC_GetObjectByID(w, 1))), 0xFF0000u);
  EXPECT_EQ(Rgb(PixelAtCentre(w, XC_GetObjectByID(w, 4))), 0xFF0000u);
}

TEST_F(LayoutLoaderTest, ElementRootIsAppendedToTheParentAsItsLastChild) {
  HWINDOW w = Load("main.xml", kMainWithHost);
  HELE host = XC_GetObjectByID(w, 6);
  const char* panel = R"(<layout id="%d" width="fill" height="100" padding="40,35,10,10">
  <listview id="%d" width="fill" height="fill"/>
</layout>
)";
  char first[256], second[256];
  std::snprintf(first, sizeof first, panel, 2001, 2002);
  std::snprintf(second, sizeof second, panel, 3001, 3002);
  HELE a = Load("a.xml", first, host);
  HELE b = Load("b.xml", second, host);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_EQ(XC_GetObjectByID(w, 2001), a);
  EXPECT_EQ(XC_GetObjectByID(w, 3001), b);
  // The host stacks its children, so the second panel sits under the first; the list view
  // sits inside its panel's padding. Loading lays the window out, no further call needed.
  RECT hostRect = RectOf(host), aRect = RectOf(a), bRect = RectOf(b);
  EXPECT_EQ(aRect.top, hostRect.top);
  EXPECT_EQ(bRect.top, aRect.bottom);
  RECT list = RectOf(XC_GetObjectByID(w, 2002));
  EXPECT_EQ(list.left, aRect.left + 40);
  EXPECT_EQ(list.top, aRect.top + 35);
  EXPECT_EQ(list.right, aRect.right - 10);
  EXPECT_EQ(list.bottom, aRect.bottom - 10);
}

TEST_F(LayoutLoaderTest, NestedLayoutsStackInTheirOwnDirections) {
  HWINDOW w = Load("nested.xml", R"(<window width="200" height="100" layout="horizontal">
  <layout id="1" width="80" height="fill" layout="vertical">
    <element id="2" width="fill" height="30"/>
    <layout id="3" width="fill" height="fill">
      <element id="4" width="20" height="fill"/>
      <element id="5" width="fill" height="fill"/>
    </layout>
  </layout>
  <element id="6" width="fill" height="fill"/>
</window>
)");
  ASSERT_NE(w, 0);
  EXPECT_EQ(RectOf(XC_GetObjectByID(w, 3)).top, 30);
  RECT inner = RectOf(XC_GetObjectByID(w, 5));
  EXPECT_EQ(inner.left, 20);
  EXPECT_EQ(inner.right, 80);
  EXPECT_EQ(inner.top, 30);
  EXPECT_EQ(inner.bottom, 100);
  EXPECT_EQ(RectOf(XC_GetObjectByID(w, 6)).left, 80);
}

// ---- pictures ----

TEST_F(LayoutLoaderTest, PicturesResolveAgainstTheRunDirectoryNotTheLayoutsFolder) {
  Picture("layouts/pics/blue.png", 0x0000FF);  // next to the layout only
  HWINDOW w = Load("layouts/w.xml", R"(<window width="60" height="40">
  <shapepic id="1" image="pics\red.png" x="0" y="0" width="20" height="20"/>
</window>
)");
  ASSERT_NE(w, 0);
  EXPECT_EQ(Rgb(PixelAtCentre(w, XC_GetObjectByID(w, 1))), 0xFF0000u);
  HXCGUI loaded = 0;
  std::string report = LoadNoted("layouts/v.xml", R"(<window width="60" height="40">
  <shapepic image="pics/blue.png"/>
</window>
)", &loaded);
  EXPECT_NE(report.find(Path("pics/blue.png")), std::string::npos) << report;
}

TEST_F(LayoutLoaderTest, AbsolutePicturePathsAreTakenAsTheyAre) {
  Picture("elsewhere/green.png", 0x00FF00);
  HWINDOW w = Load("w.xml", R"(<window width="60" height="40">
  <element id="1" width="fill" height="fill" bkimage=")" +
                                Path("elsewhere/green.png") + R"("/>
</window>
)");
  ASSERT_NE(w, 0);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 30, 20)), 0x00FF00u);
}

// ---- lookup ----

TEST_F(LayoutLoaderTest, ObjectByIdSearchesOneWindowOrAllAndGivesZeroWhenAbsent) {
  HWINDOW first =
      Load("a.xml", R"(<window width="50" height="50"><element id="1"/><element id="2"/></window>)");
  HWINDOW second =
      Load("b.xml", R"(<window width="50" height="50"><element id="1"/><element id="3"/></window>)");
  HELE inFirst = XC_GetObjectByID(first, 1), inSecond = XC_GetObjectByID(second, 1);
  EXPECT_NE(inFirst, 0);
  EXPECT_NE(inSecond, 0);
  EXPECT_NE(inFirst, inSecond);
  EXPECT_EQ(XC_GetObjectByID(first, 3), 0);
  EXPECT_EQ(XC_GetObjectByID(0, 3), XC_GetObjectByID(second, 3));
  EXPECT_EQ(XC_GetObjectByID(first, 99), 0);
  EXPECT_EQ(XC_GetObjectByID(0, 99), 0);
  EXPECT_EQ(XC_GetObjectByID(424242, 1), 0);
}

TEST_F(LayoutLoaderTest, IdZeroOrBelowNamesNoObject) {
  // Elements without an id attribute must not answer to 0, the window itself included.
  HWINDOW w = Load("every.xml", kEveryKind);
  EXPECT_EQ(XC_GetObjectByID(w, 0), 0);
  EXPECT_EQ(XC_GetObjectByID(w, -1), 0);
  EXPECT_EQ(XC_GetObjectByID(0, 0), 0);
  EXPECT_EQ(XC_GetObjectByID(XC_GetObjectByID(w, 7), 0), 0);  // a tree
  EXPECT_EQ(XC_GetObjectByID(XC_GetObjectByID(w, 8), 0), 0);  // a list view
}

TEST_F(LayoutLoaderTest, ObjectByIdReturnsTheFirstMatchDepthFirst) {
  HWINDOW w = Load("main.xml", kMainWithHost);
  // Panels are checked per file, so a panel may repeat an ID of the window it is loaded into.
  HELE panel = Load("p.xml", R"(<layout id="38" width="fill" height="10"/>)", XC_GetObjectByID(w, 6));
  ASSERT_NE(panel, 0);
  EXPECT_NE(XC_GetObjectByID(w, 38), panel);
  EXPECT_EQ(XC_GetObjectByID(XC_GetObjectByID(w, 6), 38), panel);
}

TEST_F(LayoutLoaderTest, TemplateAttributesGiveItemsWhoseIdsAreFoundPerItemOnly) {
  WriteFile(Path("tpl/item.xml"), R"(<template height="30">
  <shapetext id="11" bind="name" x="0" y="0" width="fill" height="fill"/>
</template>
)");
  WriteFile(Path("tpl/selected.xml"), R"(<template>
  <shapepic id="9" bind="image" x="0" y="0" width="10" height="10"/>
</template>
)");
  HWINDOW w = Load("w.xml", R"(<window width="200" height="300" layout="vertical">
  <tree id="5" width="fill" height="100" template="tpl/item.xml" template-selected="tpl\selected.xml"/>
  <listview id="8" width="fill" height="fill" item-width="80" item-height="40" template="tpl/item.xml"/>
</window>
)");
  ASSERT_NE(w, 0);
  HELE tree = XC_GetObjectByID(w, 5), list = XC_GetObjectByID(w, 8);
  HXCGUI treeData = XAdTree_Create();
  XTree_BindAdapter(tree, treeData);
  XAdTree_AddColumn(treeData, u"name");
  XAdTree_AddColumn(treeData, u"image");
  int item = XAdTree_InsertItemText(treeData, u"首页", 0, -3);
  HXCGUI listData = XAdListView_Create();
  XListView_BindAdapter(list, listData);
  XAdListView_Item_AddColumn(listData, u"name");
  XListView_Group_AddItemText(list, u"g", -1);
  XListView_Item_AddItemImage(list, 0, 0, -1);
  XListView_Item_SetTextEx(list, 0, 0, u"name", u"卡片");
  XWnd_AdjustLayout(w);

  EXPECT_EQ(Utf8(XShapeText_GetText(XTree_GetTemplateObject(tree, item, 11))), "首页");
  EXPECT_EQ(XTree_GetTemplateObject(tree, item, 9), 0);  // only the selected-item template has it
  EXPECT_EQ(Utf8(XShapeText_GetText(XListView_GetTemplateObject(list, 0, 0, 11))), "卡片");
  EXPECT_EQ(XListView_GetTemplateObject(list, 0, 1, 11), 0);
  EXPECT_EQ(XListView_GetTemplateObject(list, 0, 0, 12), 0);
  EXPECT_EQ(XC_GetObjectByID(w, 11), 0);  // item elements are not the window's
  EXPECT_EQ(XTree_GetTemplateObject(list, item, 11), 0);
  EXPECT_EQ(XListView_GetTemplateObject(tree, 0, 0, 11), 0);
}

// ---- broken files ----

TEST_F(LayoutLoaderTest, BadXmlIsReportedWithFileAndLine) {
  std::string report = LoadRefused("bad.xml",
                                   "<window width=\"100\" height=\"100\">\n"
                                   "  <element id=\"1\">\n"
                                   "  </layout>\n"
                                   "</window>\n");
  EXPECT_NE(report.find("xcgui: " + Path("bad.xml") + ":3: bad XML"), std::string::npos) << report;
}

TEST_F(LayoutLoaderTest, AnUnknownElementRefusesTheLayoutAnUnknownAttributeIsNotedAndPassedOver) {
  std::string element = LoadRefused("e.xml",
                                    "<window width=\"100\" height=\"100\">\n"
                                    "  <element id=\"1\"/>\n"
                                    "  <blink id=\"2\"/>\n"
                                    "</window>\n");
  EXPECT_NE(element.find(Path("e.xml") + ":3: unknown element <blink>"), std::string::npos) << element;
  HXCGUI loaded = 0;
  std::string attribute = LoadNoted("a.xml",
                                    "<window width=\"100\" height=\"100\">\n"
                                    "  <shapetext id=\"3\" text=\"x\" colour=\"#000000\"/>\n"
                                    "</window>\n",
                                    &loaded);
  EXPECT_NE(attribute.find(Path("a.xml") + ":2: unknown attribute 'colour' on <shapetext>, ignored"),
            std::string::npos)
      << attribute;
  EXPECT_NE(XC_GetObjectByID(loaded, 3), 0);
}

TEST_F(LayoutLoaderTest, DuplicateIdIsReportedAtTheSecondUse) {
  std::string report = LoadRefused("d.xml",
                                   "<window width=\"100\" height=\"100\">\n"
                                   "  <element id=\"7\"/>\n"
                                   "  <layout>\n"
                                   "    <element id=\"7\"/>\n"
                                   "  </layout>\n"
                                   "</window>\n");
  EXPECT_NE(report.find(Path("d.xml") + ":4: duplicate id 7"), std::string::npos) << report;
}

// One missing picture leaves that picture empty; everything else of the layout is there.
TEST_F(LayoutLoaderTest, AMissingPictureLoadsEmptyAndIsNotedWithTheReferenceAndTheResolvedPath) {
  HXCGUI loaded = 0;
  std::string report = LoadNoted("m.xml",
                                 "<window width=\"100\" height=\"100\">\n"
                                 "  <shapepic id=\"4\" image=\"pics/none.png\"/>\n"
                                 "  <button id=\"5\" image-normal=\"pics/none.png\"/>\n"
                                 "</window>\n",
                                 &loaded);
  EXPECT_NE(report.find(Path("m.xml") + ":2: missing or unreadable picture 'pics/none.png' (" +
                        Path("pics/none.png") + "), shown empty"),
            std::string::npos)
      << report;
  EXPECT_NE(XC_GetObjectByID(loaded, 4), 0);
  EXPECT_NE(XC_GetObjectByID(loaded, 5), 0);
}

TEST_F(LayoutLoaderTest, MissingFileIsReportedAtLineZero) {
  std::string report;
  HXCGUI loaded = 1;
  report = StderrOf([&] { loaded = XC_LoadLayout(UPath("absent.xml").c_str(), 0); });
  EXPECT_EQ(loaded, 0);
  EXPECT_NE(report.find(Path("absent.xml") + ":0: cannot open the file"), std::string::npos) << report;
}

TEST_F(LayoutLoaderTest, BadValuesAreReportedAtTheirElement) {
  const std::pair<const char*, const char*> cases[] = {
      {"<element width=\"12px\"/>", "bad width"},
      {"<element bkcolor=\"red\"/>", "bad colour 'red'"},
      {"<element id=\"-4\"/>", "bad id '-4'"},
      {"<element padding=\"1,2\"/>", "padding is one number or left,top,right,bottom"},
      {"<element><fill state=\"sometimes\" color=\"#000000\"/></element>", "unknown state 'sometimes'"},
      {"<button action=\"explode\"/>", "action is close, minimize, maximize or none"},
      {"<element x=\"99999999\"/>", "bad x"},
  };
  for (auto [line, problem] : cases) {
    std::string report =
        LoadRefused("v.xml", std::string("<window width=\"50\" height=\"50\">\n  ") + line + "\n</window>\n");
    EXPECT_NE(report.find(Path("v.xml") + ":2: " + problem), std::string::npos) << line << ": " << report;
  }
}

TEST_F(LayoutLoaderTest, AWindowLargerThan8192PixelsASideIsRefused) {
  // Its frame would be allocated at that size: 30000 x 30000 asks for 3.6 GB.
  for (const char* size : {"width=\"30000\" height=\"300\"", "width=\"300\" height=\"8193\""}) {
    std::string report = LoadRefused("big.xml", std::string("<window ") + size + "/>\n");
    EXPECT_NE(report.find(Path("big.xml") + ":1: a window is at most 8192 pixels wide and high"),
              std::string::npos)
        << size << ": " << report;
  }
  EXPECT_NE(Load("edge.xml", R"(<window width="8192" height="16"/>)"), 0);
}

TEST_F(LayoutLoaderTest, ElementsNestedMoreThan256DeepAreRefusedNotOverflowingTheStack) {
  auto nested = [](int depth) {
    std::string xml = "<window width=\"50\" height=\"50\">";
    for (int i = 0; i < depth; ++i) xml += "<element>";
    for (int i = 0; i < depth; ++i) xml += "</element>";
    return xml + "</window>";
  };
  EXPECT_NE(Load("deep.xml", nested(256)), 0);
  std::string report = LoadRefused("deeper.xml", nested(257));
  EXPECT_NE(report.find(Path("deeper.xml") + ":1: elements nested more than 256 deep"), std::string::npos)
      << report;
  // Deep enough to exhaust the stack if each level were built by recursion without a limit.
  report = LoadRefused("deepest.xml", nested(50000));
  EXPECT_NE(report.find("elements nested more than 256 deep"), std::string::npos) << report.substr(0, 200);
}

TEST_F(LayoutLoaderTest, RootsInTheWrongPlaceAreRefused) {
  HWINDOW w = Load("main.xml", kMainWithHost);
  HELE host = XC_GetObjectByID(w, 6);
  EXPECT_NE(LoadRefused("t.xml", "<template/>").find("an item template cannot be loaded as a layout"),
            std::string::npos);
  EXPECT_NE(LoadRefused("w.xml", "<window/>", host).find("a <window> cannot be loaded into an element"),
            std::string::npos);
  EXPECT_NE(LoadRefused("l.xml", "<layout/>").find("<layout> needs a parent element"), std::string::npos);
  EXPECT_NE(LoadRefused("n.xml", "<window>\n<window/>\n</window>")
                .find(":2: <window> may only be the root element"),
            std::string::npos);
  EXPECT_NE(LoadRefused("e.xml", "").find(Path("e.xml")), std::string::npos);
  EXPECT_NE(LoadRefused("p.xml", "<layout/>", 987654).find("the parent handle 987654 is not an element"),
            std::string::npos);
}

TEST_F(LayoutLoaderTest, ARefusedPanelLeavesNothingInItsParent) {
  HWINDOW w = Load("main.xml", kMainWithHost);
  HELE host = XC_GetObjectByID(w, 6);
  LoadRefused("p.xml", R"(<layout id="2001">
  <listview id="2002"/>
  <shapepic id="2003" width="wide"/>
</layout>
)",
              host);
  EXPECT_EQ(XC_GetObjectByID(w, 2001), 0);
  EXPECT_EQ(XC_GetObjectByID(w, 2002), 0);
  EXPECT_EQ(XC_GetObjectByID(0, 2002), 0);
}

TEST_F(LayoutLoaderTest, ABrokenTemplateIsReportedByItselfAndAtTheReference) {
  WriteFile(Path("tpl/bad.xml"), "<template>\n  <shapetext bind=\"name\" width=\"wide\"/>\n</template>\n");
  std::string report = LoadRefused("w.xml",
                                   "<window width=\"50\" height=\"50\">\n"
                                   "  <listview template=\"tpl/bad.xml\"/>\n"
                                   "</window>\n");
  EXPECT_NE(report.find(Path("tpl/bad.xml") + ":2: bad width"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find(Path("w.xml") + ":2: broken item template 'tpl/bad.xml'"), std::string::npos)
      << report;
}

TEST_F(LayoutLoaderTest, TemplateCallsRefuseMissingAndBrokenFiles) {
  HWINDOW w = Load("w.xml", R"(<window width="50" height="50"><tree id="1"/><listview id="2"/></window>)");
  HELE tree = XC_GetObjectByID(w, 1), list = XC_GetObjectByID(w, 2);
  std::u16string layout = UPath("w.xml");  // a window, not a template
  std::string report = StderrOf([&] {
    EXPECT_FALSE(XTree_SetItemTemplateXML(tree, UPath("none.xml").c_str()));
    EXPECT_FALSE(XTree_SetItemTemplateXMLSel(tree, layout.c_str()));
    EXPECT_FALSE(XListView_SetItemTemplateXML(list, UPath("none.xml").c_str()));
    EXPECT_FALSE(XListView_SetItemTemplateXML(tree, Template("t.xml", "<template/>").c_str()));
  });
  EXPECT_NE(report.find(Path("none.xml") + ":0: cannot open the file"), std::string::npos) << report;
  EXPECT_NE(report.find("an item template's root must be <template>"), std::string::npos) << report;
  EXPECT_TRUE(XListView_SetItemTemplateXML(list, Template("t.xml", "<template/>").c_str()));
}

TEST_F(LayoutLoaderTest, EveryTruncationOfAValidFileIsRefusedWithoutHarm) {
  std::string whole = kEveryKind;
  std::string reports = StderrOf([&] {
    for (size_t cut = 0; cut + 2 < whole.size(); cut += 3) {
      WriteFile(Path("cut.xml"), whole.substr(0, cut));
      EXPECT_EQ(XC_LoadLayout(UPath("cut.xml").c_str(), 0), 0) << "cut at " << cut;
    }
  });
  EXPECT_NE(reports.find("bad XML"), std::string::npos);
  EXPECT_NE(Load("every.xml", kEveryKind), 0);  // the toolkit is still in order
}
