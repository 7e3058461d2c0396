// Layout files and the messages their controls send.
#include "panelhost/panel_layout.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(PanelLayout, ShippedLayoutHasThePanelsControls) {
  const Result<PanelLayout> layout = PanelLayout::load(ZUV_OZO_LAYOUT_PATH);
  ASSERT_TRUE(layout) << layout.error();
  for (const char* id : {"GrpSelect", "SourceSel", "Mon_1", "Mon_2", "Mon_3", "BG_Mon1", "BG_Mon2", "BG_Mon3",
                         "VID_1", "VID_2", "VID_3"}) {
    EXPECT_NE(layout->find(id), nullptr) << id;
  }
  const LayoutControl* list = layout->find("SourceSel");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->kind, PanelLayout::kList);
  EXPECT_FALSE(list->pages.empty());
  EXPECT_EQ(layout->pagesOf(*layout->find("GrpSelect")), &list->pages);
}

TEST(PanelLayout, MessagesForControls) {
  LayoutControl list;
  list.id = "L";
  list.kind = PanelLayout::kList;
  LayoutControl groups;
  groups.id = "G";
  groups.kind = PanelLayout::kGroupSelector;
  LayoutControl button;
  button.kind = PanelLayout::kButton;
  button.message = "button=pressed";
  struct Case {
    const LayoutControl* control;
    const char* choice;
    const char* message;
  } cases[] = {
      {&list, "5", "index=5"},         {&list, "", "index=0"},          {&list, "index=7", "index=7"},
      {&groups, "2", "button.002=2"},  {&groups, "12", "button.012=12"}, {&groups, "1234", "button.1234=1234"},
      {&button, "", "button=pressed"}, {&button, "x=1", "x=1"},
      {&list, "-3", "index=-3"},  // out of range is the panel's to handle
      {&list, "five", "refused: list \"L\" takes a source number, not \"five\""},
      {&list, "5 6", "refused: list \"L\" takes a source number, not \"5 6\""},
      {&groups, "-1", "refused: group selector \"G\" takes a page number from 1, not \"-1\""},
      {&groups, "0", "refused: group selector \"G\" takes a page number from 1, not \"0\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    const Result<std::string> made = PanelLayout::messageFor(*c.control, c.choice);
    EXPECT_EQ(made ? *made : "refused: " + made.error(), c.message);
  }
}

TEST(PanelLayout, BadLayoutsSayWhy) {
  struct Case {
    const char* json;
    const char* reason;
  } cases[] = {
      {"[", "parse error"},
      {R"({"controls": [{"id": "a", "kind": "knob"}]})", "unknown kind 'knob'"},
      {R"({"controls": [{"id": "a", "kind": "label"}, {"id": "a", "kind": "label"}]})", "two controls named 'a'"},
      {R"({"controls": [{"id": "g", "kind": "group selector", "list": "nope"}]})", "names no list"},
      {R"({"controls": [{"kind": "label"}]})", "id"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Result<PanelLayout> layout = PanelLayout::fromJson(c.json);
    ASSERT_FALSE(layout);
    EXPECT_NE(layout.error().find(c.reason), std::string::npos) << layout.error();
  }
  const Result<PanelLayout> missing = PanelLayout::load("/no/such/layout.vesk_ui");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("cannot read layout"), std::string::npos);
}

}  // namespace
