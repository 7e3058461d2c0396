// PanelLayout: reading the emulator's layout files.
#include "panelhost/panel_layout.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "panelhost/session_log.h"

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
  std::ifstream file(path);
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

Result<std::string> PanelLayout::messageFor(const LayoutControl& control, const std::string& choice) {
  if (choice.find('=') != std::string::npos) return choice;
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (control.kind == kList) {
    if (choice.empty()) return std::string("index=0");
    if (!digits(choice[0] == '-' ? std::string_view(choice).substr(1) : std::string_view(choice))) {
      return fail("list " + quoted(control.id) + " takes a source number, not " + quoted(choice));
    }
    return "index=" + choice;
  }
  if (control.kind == kGroupSelector) {
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
