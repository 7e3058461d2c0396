// PanelLayout: a panel layout file (".vesk_ui") and the live properties of
// its controls.
//
// The host owns layouts: a panel shows one with "PS", sets control
// properties with "TP", reads them with "TG" and lists controls with "XI".
// The emulator's layout format is JSON:
//   {"title": "SCR monitors", "columns": 6,
//    "controls": [
//      {"id": "Mon_1", "kind": "button", "caption": "MON 1",
//       "message": "button=pressed", "area": [1, 1, 2, 1]},
//      {"id": "VID_1", "kind": "label", "area": [1, 2, 2, 1]},
//      {"id": "GrpSelect", "kind": "group selector", "list": "SourceSel"},
//      {"id": "SourceSel", "kind": "list", "device": "ZIR VESK Packager",
//       "pages": [{"name": "Cameras", "sources": [1, 2, 3]}]},
//      ...]}
// kind is "button", "list", "label" or "group selector". A button sends its
// "message" when pressed. A list's pages hold source numbers, named from
// its device; pressing one sends "index=<source>". A group selector offers
// one button per page of its list and sends "button.<NNN>=<page>".
// "properties" gives a control's initial properties (text); "area" is its
// place on a grid of "columns" columns (1 to 64): [column, row, width,
// height], each from 1 to 1000. A file that does not fit this is refused
// with the place and the field (json_fields.h).
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "hostside/result.h"

struct SourcePage {
  std::string name;
  std::vector<int> sources;
};

// What a control is, as the layout's "kind" names it.
enum class ControlKind { Button, List, Label, GroupSelector };

// The name the layout and the page use for `kind`: "button", "list",
// "label" or "group selector".
const char* kindName(ControlKind kind);

struct LayoutControl {
  std::string id;
  ControlKind kind = ControlKind::Button;
  std::string caption;
  std::string message;      // what a button sends
  std::string device;       // list: whose source names to show
  std::string list;         // group selector: the list it pages
  std::vector<SourcePage> pages;  // list
  std::array<int, 4> area{};      // column, row, width, height; 0: not placed
  std::map<std::string, std::string> properties;  // live, set by "TP"
};

class PanelLayout {
 public:
  // The layout in `json`, or why it is none.
  static Result<PanelLayout> fromJson(const std::string& json);
  // The layout in the file at `path`, or why it is none: "cannot read
  // layout '<path>': <reason>" (readTextFile), or "layout '<path>': <place>
  // <problem>".
  static Result<PanelLayout> load(const std::string& path);

  const std::string& title() const { return title_; }
  int columns() const { return columns_; }
  const std::vector<LayoutControl>& controls() const { return controls_; }
  LayoutControl* find(const std::string& id);
  const LayoutControl* find(const std::string& id) const;

  // The pages a group selector offers: those of the list it names.
  const std::vector<SourcePage>* pagesOf(const LayoutControl& selector) const;

  // The message the host sends when `control` is worked with `choice`: a
  // choice holding '=' is the message itself; otherwise a list sends
  // "index=<choice>" (a whole number, 0 when none), a group selector
  // "button.<NNN>=<choice>" (a page from 1, 1 when none; NNN the page in at
  // least three digits) and a button its layout message, or the choice as
  // it is. Why not, for a choice a list or a group selector cannot take.
  static Result<std::string> messageFor(const LayoutControl& control, const std::string& choice);

 private:
  std::string title_;
  int columns_ = 1;
  std::vector<LayoutControl> controls_;
  // Control id -> its index in controls_: a layout of tens of thousands of
  // controls finds each in constant time.
  std::unordered_map<std::string, size_t> byId_;
};
