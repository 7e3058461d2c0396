// The framework's alarm action: setting or acknowledging every alarm control
// of panel "1" at once, and the dispatcher's check that routes the
// "ActionAll" and "AckAll" control events to it.
#include "framework/vesk_script_helper.h"

namespace {

constexpr int kNoStateNumber = -1;
constexpr int kAcknowledge = 4;

// "ack" is the acknowledge state 4; a one-character text is its toInt()
// ("0".."9" give 0..9; any other single character gives 0); anything else
// has no state number.
int stateNumber(const vesk_string& state) {
  if (state == "ack") return kAcknowledge;
  if (state.length() == 1) return state.toInt();
  return kNoStateNumber;
}

// Values an acknowledgement leaves as they are; every other is set to 4.
bool keptOnAcknowledge(int value) { return value == 0 || (value >= 2 && value <= 5); }

}  // namespace

void vesk_script_helper::actionAlarms(const vesk_string& state) {
  const int number = stateNumber(state);
  vesk_stringlist controls = controlList("1", "alm_");
  vesk_string readBack;
  for (vesk_stringlistIterator it = controls.begin(); it != controls.end(); ++it) {
    const vesk_string& control = *it;
    textSet("alarm", state, "1", control);
    if (number == kAcknowledge) {
      textGet("value", "1", control, readBack);
      if (!keptOnAcknowledge(readBack.toInt())) textSet("value", "4", "1", control);
    } else if (number != kNoStateNumber) {
      textSet("value", vesk_string(number, 0, 0, 10), "1", control);
    }
  }
}

bool vesk_script_helper::alarmCheck(const button_event& event) {
  const vesk_string control = event.control();
  if (control == "ActionAll" && event.command() == "alarm") {
    vesk_string state;
    if (event.value(state)) {
      actionAlarms(state);
    } else {
      // The empty state would be written to every alarm control.
      debugPrint("ActionAll not handled: out of memory");
    }
    return true;
  }
  if (control == "AckAll") {
    actionAlarms(vesk_string(kAcknowledge, 0, 0, 10));
    return true;
  }
  return false;
}
