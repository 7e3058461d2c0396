// ZUV_OZo: the properties an enclosing panel sets and reads.
//
//   myParam=<v>      stores v                      -> no answer
//   instance=<v>     stores v                      -> no answer
//   return=all       -> "myParam=<myParam>"
//   return=myParam   -> "myParam=<myParam>"
//   _events          -> "notify=*"
//   _commands        -> "myParam=[value]"
// Anything else has no answer. Answers with several entries would be
// separated by newlines.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

namespace {
vesk_string oneEntryList(const vesk_string& entry) {
  vesk_stringlist list;
  list << entry;
  return list.toString('\n');
}
}  // namespace

vesk_string ZUV_OZo::onParentRequest(parent_request* request) {
  const vesk_string name = request->command();
  vesk_string value;
  if (!request->value(value)) {
    // Storing the empty text would lose the property's value.
    debugPrint("property %1 not handled: out of memory", name);
    return vesk_string();
  }
  if (name == "return") {
    if (value == "all") return oneEntryList(vesk_string("myParam=%1").arg(myParam));
    // `value` is "myParam" itself here, so the second arg fills the value in
    // and nothing from outside is scanned for markers.
    if (value == "myParam") return vesk_string("%1=%2").arg(value).arg(myParam);
    return vesk_string();
  }
  // Moved in, not copied: a move needs no heap, so a property is either
  // stored whole or left as it was.
  if (name == "instance") {
    if (value != instance) instance = static_cast<vesk_string&&>(value);
  } else if (name == "myParam") {
    myParam = static_cast<vesk_string&&>(value);
  } else if (name == "_events") {
    return oneEntryList("notify=*");
  } else if (name == "_commands") {
    return oneEntryList("myParam=[value]");
  }
  return vesk_string();
}
