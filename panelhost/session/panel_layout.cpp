// PanelLayout: reading the emulator's layout files.
#include "panelhost/session/panel_layout.h"

#include <algorithm>

#include "panelhost/support/json_fields.h"
#include "panelhost/support/text.h"
#include "panelhost/support/text_file.h"

namespace {

constexpr int kMaxColumns = 64;
constexpr int kMaxGrid = 1000;  // rows, and a control's place and size

constexpr ControlKind kKinds[] = {ControlKind::Button, ControlKind::List, ControlKind::Label,
                                  ControlKind::GroupSelector};

ControlKind readKind(const JsonFields& fields) {
  const std::string name = fields.text("kind");
  for (const ControlKind kind : kKinds) {
    if (name == kindName(kind)) return kind;
  }
  fields.refuse("kind", quoted(name) + " is not \"button\", \"list\", \"label\" or \"group selector\"");
}

LayoutControl readControl(const nlohmann::json& entry, const std::string& place) {
  const JsonFields fields(entry, place);
  LayoutControl control;
  control.id = fields.text("id");
  control.kind = readKind(fields);
  control.caption = fields.text("caption", "");
  control.message = fields.text("message", "");
  control.device = fields.text("device", "");
  control.list = fields.text("list", "");
  const nlohmann::json& pages = fields.array("pages");
  for (size_t i = 0; i < pages.size(); ++i) {
    const JsonFields page(pages[i], fields.place("pages[" + std::to_string(i) + "]"));
    SourcePage read{page.text("name", ""), {}};
    const nlohmann::json& sources = page.array("sources", true);
    for (size_t k = 0; k < sources.size(); ++k) {
      read.sources.push_back(wholeNumber(sources[k], page.place("sources[" + std::to_string(k) + "]")));
    }
    control.pages.push_back(std::move(read));
  }
  if (fields.has("area")) {
    const nlohmann::json& area = fields.array("area");
    if (area.size() != 4) fields.refuse("area", "must be 4 whole numbers [column, row, width, height], not " + shown(area));
    for (size_t k = 0; k < 4; ++k) {
      control.area[k] = wholeNumber(area[k], fields.place("area[" + std::to_string(k) + "]"), 1, kMaxGrid);
    }
  }
  const JsonFields properties(fields.object("properties"), fields.place("properties"));
  for (const auto& [key, value] : fields.object("properties").items()) {
    control.properties[key] = properties.text(key.c_str(), "");
  }
  return control;
}

}  // namespace

const char* kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button: return "button";
    case ControlKind::List: return "list";
    case ControlKind::Label: return "label";
    case ControlKind::GroupSelector: return "group selector";
  }
  return "button";
}

Result<PanelLayout> PanelLayout::fromJson(const std::string& json) {
  try {
    const nlohmann::json root = parseJsonFile(json);
    const JsonFields fields(root, "");
    PanelLayout layout;
    layout.title_ = fields.text("title", "");
    layout.columns_ = fields.number("columns", 1, kMaxColumns, 1);
    std::unordered_map<std::string, size_t>& ids = layout.byId_;
    const nlohmann::json& controls = fields.array("controls", true);
    for (size_t i = 0; i < controls.size(); ++i) {
      const std::string place = "controls[" + std::to_string(i) + "]";
      LayoutControl control = readControl(controls[i], place);
      if (const auto same = ids.find(control.id); same != ids.end()) {
        throw FormatError(place + ".id " + quoted(control.id) + " is also the id of controls[" +
                          std::to_string(same->second) + "]");
      }
      ids[control.id] = i;
      layout.controls_.push_back(std::move(control));
    }
    for (size_t i = 0; i < layout.controls_.size(); ++i) {
      const LayoutControl& control = layout.controls_[i];
      if (control.kind == ControlKind::GroupSelector && layout.pagesOf(control) == nullptr) {
        throw FormatError("controls[" + std::to_string(i) + "].list " + quoted(control.list) +
                          " is not the id of a list");
      }
    }
    return layout;
  } catch (const FormatError& e) {
    return fail(e.what());
  }
}

Result<PanelLayout> PanelLayout::load(const std::string& path) {
  Result<std::string> text = readTextFile(path);
  if (!text) return fail("cannot read layout '" + path + "': " + text.error());
  Result<PanelLayout> layout = fromJson(*text);
  if (!layout) return fail("layout '" + path + "': " + layout.error());
  return layout;
}

LayoutControl* PanelLayout::find(const std::string& id) {
  const auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : &controls_[it->second];
}

const LayoutControl* PanelLayout::find(const std::string& id) const {
  const auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : &controls_[it->second];
}

const std::vector<SourcePage>* PanelLayout::pagesOf(const LayoutControl& selector) const {
  const LayoutControl* list = find(selector.list);
  return list != nullptr && list->kind == ControlKind::List ? &list->pages : nullptr;
}

Result<std::string> PanelLayout::messageFor(const LayoutControl& control, const std::string& choice) {
  if (choice.find('=') != std::string::npos) return choice;
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (control.kind == ControlKind::List) {
    if (choice.empty()) return std::string("index=0");
    if (!digits(choice[0] == '-' ? std::string_view(choice).substr(1) : std::string_view(choice))) {
      return fail("list " + quoted(control.id) + " takes a source number, not " + quoted(choice));
    }
    return "index=" + choice;
  }
  if (control.kind == ControlKind::GroupSelector) {
    if (!choice.empty() && (!digits(choice) || std::stoi(choice) < 1)) {
      return fail("group selector " + quoted(control.id) + " takes a page number from 1, not " + quoted(choice));
    }
    std::string number = choice.empty() ? "1" : choice;
    std::string padded = std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
    return "button." + padded + "=" + number;
  }
  if (choice.empty()) return control.message.empty() ? "button=pressed" : control.message;
  return choice;
}
