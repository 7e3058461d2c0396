// Layout files and the messages their controls send.
#include "panelhost/session/panel_layout.h"

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
  EXPECT_EQ(list->kind, ControlKind::List);
  EXPECT_FALSE(list->pages.empty());
  EXPECT_EQ(layout->pagesOf(*layout->find("GrpSelect")), &list->pages);
}

TEST(PanelLayout, MessagesForControls) {
  LayoutControl list;
  list.id = "L";
  list.kind = ControlKind::List;
  LayoutControl groups;
  groups.id = "G";
  groups.kind = ControlKind::GroupSelector;
  LayoutControl button;
  button.kind = ControlKind::Button;
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

TEST(PanelLayout, BadLayoutsSayWhereAndWhat) {
  const auto controls = [](const std::string& list) { return R"({"controls": [)" + list + "]}"; };
  struct Case {
    std::string json;
    std::string reason;
  } cases[] = {
      {"[", "line 1, column 2: not JSON: syntax error while parsing value - unexpected end of input; "
            "expected '[', '{', or a literal"},
      {R"({"title": "x"})", "controls is missing"},
      {R"({"columns": -3, "controls": []})", "columns must be a whole number from 1 to 64, not -3"},
      {R"({"columns": 2147483648, "controls": []})", "columns must be a whole number from 1 to 64, not 2147483648"},
      {controls(R"({"id": "a", "kind": "knob"})"),
       "controls[0].kind \"knob\" is not \"button\", \"list\", \"label\" or \"group selector\""},
      {controls(R"({"id": "a", "kind": "label"}, {"id": "a", "kind": "label"})"),
       "controls[1].id \"a\" is also the id of controls[0]"},
      {controls(R"({"id": "g", "kind": "group selector", "list": "nope"})"),
       "controls[0].list \"nope\" is not the id of a list"},
      {controls(R"({"kind": "label"})"), "controls[0].id is missing"},
      {controls(R"("label")"), "controls[0] must be a JSON object {...}, not \"label\""},
      {controls(R"({"id": "a", "kind": "label", "area": [1, 2, 3]})"),
       "controls[0].area must be 4 whole numbers [column, row, width, height], not a list [1,2,3]"},
      {controls(R"({"id": "a", "kind": "label", "area": [1, 2, 0, 1]})"),
       "controls[0].area[2] must be a whole number from 1 to 1000, not 0"},
      {controls(R"({"id": "a", "kind": "list", "pages": [{"name": "p", "sources": [1, 2.5]}]})"),
       "controls[0].pages[0].sources[1] must be a whole number from 0 to 2147483647, not 2.5"},
      {controls(R"({"id": "a", "kind": "label", "properties": {"text": 5}})"),
       "controls[0].properties.text must be text in double quotes, not 5"},
      {controls(R"({"id": "a", "kind": "label", "id": "b"})"), "controls[0].id is given twice"},
      {controls(R"({"id": "a", "kind": "label", "properties": {"text": "x", "text": "y"}})"),
       "controls[0].properties.text is given twice"},
      {controls(R"({"id": "a", "kind": "label", "area": [1, 1, 1, 1e400]})"),
       "controls[0].area[3] is a number beyond the range of a double: 1e400"},
      {controls(R"({"id": "a", "kind": "label", "caption": )" + std::string(60000, '[') +
                std::string(60000, ']') + "}"),
       "controls[0].caption[0][0][0][0][0]... holds lists or objects nested more than 64 deep"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Result<PanelLayout> layout = PanelLayout::fromJson(c.json);
    ASSERT_FALSE(layout);
    EXPECT_EQ(layout.error(), c.reason);
  }
  const Result<PanelLayout> missing = PanelLayout::load("/no/such/layout.vesk_ui");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "cannot read layout '/no/such/layout.vesk_ui': no such file");
}

}  // namespace
