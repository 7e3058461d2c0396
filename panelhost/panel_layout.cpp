// PanelLayout: reading the emulator's layout files.
#include "panelhost/panel_layout.h"

#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "panelhost/file_path.h"

Result<PanelLayout> PanelLayout::fromJson(const std::string& json) {
  try {
    const nlohmann::json root = nlohmann::json::parse(json);
    PanelLayout layout;
    layout.title_ = root.value("title", "");
    layout.columns_ = root.value("columns", 1);
    std::set<std::string> ids;
    for (const auto& entry : root.at("controls")) {
      LayoutControl control;
      control.id = entry.at("id").get<std::string>();
      control.kind = entry.at("kind").get<std::string>();
      if (control.kind != kButton && control.kind != kList && control.kind != kLabel &&
          control.kind != kGroupSelector) {
        throw std::invalid_argument("control '" + control.id + "' has unknown kind '" + control.kind + "'");
      }
      if (!ids.insert(control.id).second) throw std::invalid_argument("two controls named '" + control.id + "'");
      control.caption = entry.value("caption", "");
      control.message = entry.value("message", "");
      control.device = entry.value("device", "");
      control.list = entry.value("list", "");
      for (const auto& page : entry.value("pages", nlohmann::json::array())) {
        control.pages.push_back({page.value("name", ""), page.at("sources").get<std::vector<int>>()});
      }
      if (entry.contains("area")) control.area = entry.at("area").get<std::array<int, 4>>();
      const nlohmann::json properties = entry.value("properties", nlohmann::json::object());
      for (const auto& [key, value] : properties.items()) {
        control.properties[key] = value.get<std::string>();
      }
      layout.controls_.push_back(std::move(control));
    }
    for (const LayoutControl& control : layout.controls_) {
      if (control.kind == kGroupSelector && layout.pagesOf(control) == nullptr) {
        throw std::invalid_argument("group selector '" + control.id + "' names no list");
      }
    }
    return layout;
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}

Result<PanelLayout> PanelLayout::load(const std::string& path) {
  std::ifstream file(filePath(path));
  if (!file) return fail("cannot read layout '" + path + "'");
  std::ostringstream text;
  text << file.rdbuf();
  Result<PanelLayout> layout = fromJson(text.str());
  if (!layout) return fail("layout '" + path + "': " + layout.error());
  return layout;
}

LayoutControl* PanelLayout::find(const std::string& id) {
  for (LayoutControl& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const LayoutControl* PanelLayout::find(const std::string& id) const {
  return const_cast<PanelLayout*>(this)->find(id);
}

const std::vector<SourcePage>* PanelLayout::pagesOf(const LayoutControl& selector) const {
  const LayoutControl* list = find(selector.list);
  return list != nullptr && list->kind == kList ? &list->pages : nullptr;
}

std::string PanelLayout::messageFor(const LayoutControl& control, const std::string& choice) {
  if (choice.find('=') != std::string::npos) return choice;
  if (control.kind == kList) return "index=" + (choice.empty() ? std::string("0") : choice);
  if (control.kind == kGroupSelector) {
    std::string number = choice.empty() ? "1" : choice;
    std::string padded = std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
    return "button." + padded + "=" + number;
  }
  if (choice.empty()) return control.message.empty() ? "button=pressed" : control.message;
  return choice;
}
