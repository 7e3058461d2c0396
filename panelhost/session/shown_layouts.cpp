// ShownLayouts: "PS", "TP", "TG" and "XI" carried out on the shown layout,
// and the messages presses send.
#include "panelhost/session/shown_layouts.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "framework/message_parts.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/text.h"

HostAnswer ShownLayouts::carryOut(const ShowLayout& c) {
  std::string file = c.file;
  // "PS '<panel>' '<file>'" with no arguments, where the layout folder holds
  // "' '" itself, reads like a file and arguments: the folder given to the
  // panel is taken whole.
  const std::string folder = folder_ + "/";
  if (c.args && file.rfind(folder, 0) != 0 && (file + "' '" + *c.args).rfind(folder, 0) == 0) {
    file += "' '" + *c.args;
  }
  const std::optional<std::string> found = findLayout(file, c.panel);
  if (!found) return {};
  file = *found;
  Result<PanelLayout> layout = PanelLayout::load(file);
  if (!layout) {
    report_(SessionEntry::Kind::Note, layout.error());
    if (!fileFault_) fileFault_ = layout.error();
    return {};
  }
  layout_ = std::move(*layout);
  shownPanel_ = c.panel;
  changed_ = {true, {}};
  missing_.reset();
  report_(SessionEntry::Kind::Note, "showing " + quoted(file) + " as panel " + quoted(shownPanel_));
  return {std::nullopt, 1};
}

HostAnswer ShownLayouts::carryOut(const SetProperty& c) {
  LayoutControl* control = shownControl(c.panel, c.control);
  if (control == nullptr) return {};
  const size_t equals = c.text.find('=');
  changed_.controls.insert(control->id);
  control->properties[c.text.substr(0, equals)] = equals == std::string::npos ? "" : c.text.substr(equals + 1);
  return {};
}

HostAnswer ShownLayouts::carryOut(const GetProperty& c) {
  LayoutControl* control = shownControl(c.panel, c.control);
  if (control == nullptr) return {};
  if (c.key == "all") {
    std::string all;
    for (const auto& [k, v] : control->properties) all += (all.empty() ? "" : "\n") + k + "=" + v;
    return {all};
  }
  auto value = control->properties.find(c.key);
  return {c.key + "=" + (value == control->properties.end() ? "" : value->second)};
}

HostAnswer ShownLayouts::carryOut(const ListControls& c) {
  const PanelLayout* layout = shownLayout(c.panel);
  if (layout == nullptr) return {};
  std::string names;
  for (const LayoutControl& control : layout->controls()) {
    if (control.id.compare(0, c.filter.size(), c.filter) != 0) continue;
    names += (names.empty() ? "" : ",") + control.id;
  }
  return {names};
}

std::optional<std::string> ShownLayouts::findLayout(const std::string& file, const std::string& panel) {
  const auto exists = [](const std::string& path) {
    std::error_code failed;
    return std::filesystem::is_regular_file(filePath(path), failed);
  };
  missing_.reset();
  if (exists(file)) return file;
  const size_t slash = file.find_last_of('/');
  const std::string name = file.substr(slash + 1);
  const std::string in = slash == std::string::npos ? "." : file.substr(0, slash);
  // Only a file in the folder given to the panel is looked for elsewhere.
  const bool given = in == folder_ || (slash == std::string::npos && folder_ == ".");
  std::string places = given && !folders_.givenWhere.empty()
                           ? folders_.givenWhere + " (" + quoted(in) + ")"
                           : "in folder " + quoted(in);
  if (given) {
    for (size_t i = 0; i < folders_.elsewhere.size(); ++i) {
      const LayoutFolders::Place& place = folders_.elsewhere[i];
      const std::string there = place.folder + "/" + name;
      if (exists(there)) {
        report_(SessionEntry::Kind::Note, "layout " + quoted(name) + " found " + place.where + ": " + quoted(there) +
                                              " (not " + (folders_.givenWhere.empty() ? "in " + quoted(in)
                                                                                      : folders_.givenWhere) + ")");
        return there;
      }
      places += std::string(i + 1 == folders_.elsewhere.size() ? " or " : ", ") + place.where + " (" +
                quoted(place.folder) + ")";
    }
  }
  missing_ = "warning: no layout " + quoted(name) + " " + places + ": panel " + quoted(panel) + " shows nothing";
  report_(SessionEntry::Kind::Note, *missing_);
  return std::nullopt;
}

Result<ShownLayouts::Sent> ShownLayouts::press(const ControlPress& press) {
  Sent sent;
  sent.panel = press.panel.value_or(shownPanel_.empty() ? "1" : shownPanel_);
  // The layout gives the message its form even for another panel's control.
  LayoutControl* control = layout_ ? layout_->find(press.control) : nullptr;
  sent.shown = sent.panel == shownPanel_ ? control : nullptr;
  if (sent.shown == nullptr && !press.anyControl) return fail(kNoControl + ("'" + press.control + "'"));
  Result<std::string> made =
      control != nullptr ? PanelLayout::messageFor(*control, press.choice) : Result<std::string>(press.choice);
  if (!made) return made.failure();
  sent.message = std::move(*made);
  if (sent.shown == nullptr) {
    report_(SessionEntry::Kind::Note, "panel " + quoted(sent.panel) + " shows no control " + quoted(press.control) +
                                          "; the event is sent all the same");
  } else if (sent.shown->kind == ControlKind::List) {
    // The list lights what was picked, read from the message as the host
    // splits it for the panel.
    const message_parts parts(sent.message.c_str());
    if (parts.hasValue) {
      sent.shown->properties["index"] = parts.value;
      changed_.controls.insert(sent.shown->id);
    }
  }
  return sent;
}

PanelLayout* ShownLayouts::shownLayout(const std::string& panel) {
  if (layout_ && panel == shownPanel_) return &*layout_;
  report_(SessionEntry::Kind::Note, "panel " + quoted(panel) + " is not shown");
  return nullptr;
}

LayoutControl* ShownLayouts::shownControl(const std::string& panel, const std::string& control) {
  PanelLayout* layout = shownLayout(panel);
  if (layout == nullptr) return nullptr;
  LayoutControl* shown = layout->find(control);
  if (shown == nullptr) report_(SessionEntry::Kind::Note, "panel " + quoted(panel) + " has no control " + quoted(control));
  return shown;
}
