// ShownLayouts: what the panel shows on the host's screen: the layout it
// showed with "PS" (read from the folder given to the panel) and the live
// properties of its controls. It carries out the panel's commands about
// them ("PS", "TP", "TG", "XI") and makes the message an operator's press
// sends.
//
// One layout is shown at a time; a later "PS" replaces it. A layout file
// that cannot be read is kept as the file fault that stops a run.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <utility>

#include "hostside/host_command.h"
#include "hostside/result.h"
#include "panelhost/log/session_log.h"
#include "panelhost/session/panel_layout.h"

// The operator works a control. `choice` is what the operator picked: a
// source for a list, a page for a group selector, nothing for a button, or
// a whole message (text holding '='); PanelLayout::messageFor makes the
// message from it. The panel is the shown one unless `panel` names another.
// A control the layout does not show is refused unless `anyControl`, when
// the choice itself is sent as the message.
struct ControlPress {
  std::string control;
  std::string choice;
  std::optional<std::string> panel;
  bool anyControl = false;
};

class ShownLayouts {
 public:
  // Why a press was refused when the panel shows no such control starts
  // with this.
  static constexpr const char* kNoControl = "the panel shows no control ";

  // `folder` is the folder given to the panel; `report` hears the notes.
  ShownLayouts(std::string folder, Report report) : folder_(std::move(folder)), report_(std::move(report)) {}

  // The panel's commands about what it shows; each answers as hostCommand
  // does. "PS" answers 1 when the layout is shown.
  HostAnswer carryOut(const ShowLayout& c);
  HostAnswer carryOut(const SetProperty& c);
  HostAnswer carryOut(const GetProperty& c);
  HostAnswer carryOut(const ListControls& c);

  // What a press sends: the panel it goes to, the message, and the shown
  // control it works (null for a control the panel does not show, sent
  // all the same with `anyControl`, with a note). A list lights the source
  // it was given ("index=<n>"). Why nothing is sent: the
  // panel shows no such control (the reason starts with kNoControl), or
  // the choice does not fit the control.
  struct Sent {
    std::string panel;
    std::string message;
    LayoutControl* shown = nullptr;
  };
  Result<Sent> press(const ControlPress& press);

  // The layout the panel showed with "PS"; null before.
  const PanelLayout* layout() const { return layout_ ? &*layout_ : nullptr; }
  PanelLayout* layout() { return layout_ ? &*layout_ : nullptr; }
  const std::string& shownPanel() const { return shownPanel_; }
  const std::string& folder() const { return folder_; }
  // The first layout the panel showed that could not be read: one line
  // naming the file, the place and the field. A run stops on it (status 2).
  const std::optional<std::string>& fileFault() const { return fileFault_; }
  // While no layout is shown because the last one asked for was not there:
  // no layout "<file>" in folder "<folder>" (quoted as notes quote); empty otherwise.
  const std::string& missing() const { return missing_; }

  // What changed on show since the last call: whether a layout was shown
  // anew (every control with it), and the controls whose properties the
  // panel or a press changed, each once.
  struct Changed {
    bool layout = false;
    std::set<std::string> controls;
  };
  Changed takeChanged() { return std::exchange(changed_, {}); }

 private:
  // The layout if it shows `panel`, or null with a note.
  PanelLayout* shownLayout(const std::string& panel);
  // A control of the shown panel, or null with a note.
  LayoutControl* shownControl(const std::string& panel, const std::string& control);

  std::string folder_;
  Report report_;
  std::optional<PanelLayout> layout_;
  std::string shownPanel_;
  std::optional<std::string> fileFault_;
  Changed changed_;
  std::string missing_;
};
