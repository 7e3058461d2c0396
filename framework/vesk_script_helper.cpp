// vesk_script_helper: construction, destruction, the table the host calls
// through, and event dispatch.
#include "framework/vesk_script_helper.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace {

// The framework's signature, kept in the built library for tools that look
// for it; the plug-in never reads it.
[[gnu::used]] const char kFrameworkSignature[] =
    "VESK_SIG,name=vesk_script_helper,type=LIB,version=4.8.6.0,date=16/06/2017,"
    "author=Studio A broadcast engineering";

VESK_TABLE_BEGIN
void* VESK_THISCALL destroyThunk(vesk_client_callback* self, unsigned flags) {
  auto* panel = static_cast<vesk_script_helper*>(self);
  if ((flags & 1u) != 0) {
    delete panel;  // runs the most-derived destructor, then frees
  } else {
    panel->~vesk_script_helper();
  }
  return self;
}

char* VESK_THISCALL dispatchThunk(vesk_client_callback* self, void* payload, int code) {
  return static_cast<vesk_script_helper*>(self)->dispatch(payload, code);
}
VESK_TABLE_END

const vesk_client_callback_table kPanelTable = {&destroyThunk, &dispatchThunk};

}  // namespace

vesk_script_helper::vesk_script_helper(client_host* hostInterface, const char* path)
    : vesk_client_callback{&kPanelTable},
      host(hostInterface),
      panelPath(path),
      alarmsEnabled(false),
      panelPathHeld_(panelPath.length() == (path == nullptr ? 0 : std::strlen(path))) {}

vesk_script_helper::~vesk_script_helper() {
  if (host != nullptr) send("AS");
}

char* vesk_script_helper::dispatch(void* payload, int code) {
  switch (code) {
    case VESK_EVENT_TALLY: {
      if (payload == nullptr) return nullptr;
      revertive_event event(static_cast<const tally_record*>(payload));
      onRevertive(&event);
      return nullptr;
    }
    case VESK_EVENT_CONTROL: {
      if (payload == nullptr) return nullptr;
      button_event event(static_cast<const control_record*>(payload));
      if (!(alarmsEnabled && alarmCheck(event))) onButton(&event);
      return nullptr;
    }
    case VESK_EVENT_PROPERTY: {
      const char* const message = static_cast<const char*>(payload);
      const message_parts parts(message);
      if (parts.buffer == nullptr && message != nullptr && message[0] != '\0') {
        // The message could not be copied: the panel would take it for an
        // empty one.
        debugPrint("property message not read: out of memory");
        return nullptr;
      }
      parent_request request(&parts);
      return answerBlock(onParentRequest(&request));
    }
    case VESK_EVENT_TIMER:
      onTimer(static_cast<int>(reinterpret_cast<std::intptr_t>(payload)));
      return nullptr;
    case VESK_EVENT_RELEASE:
      if (payload != nullptr) releaseAnswerBlock(static_cast<char*>(payload));
      return nullptr;
    case VESK_EVENT_6: {
      script_event event{payload};
      onEvent6(&event);
      return nullptr;
    }
    case VESK_EVENT_7: {
      script_event event{payload};
      onEvent7(&event);
      return nullptr;
    }
    default:
      return nullptr;
  }
}

char* vesk_script_helper::answerBlock(const vesk_string& answer) {
  const unsigned length = answer.length();
  if (length == 0) return nullptr;
  char** slot = std::find(std::begin(answerBlocks_), std::end(answerBlocks_), nullptr);
  if (slot == std::end(answerBlocks_)) {
    // A host that never hands answers back would otherwise grow the heap
    // without bound.
    debugPrint("property answer not returned: %1 answers are still to be handed back",
               vesk_string(kMaxAnswerBlocksOut, 0, 0, 10));
    return nullptr;
  }
  char* block = new (std::nothrow) char[length + 1];
  if (block == nullptr) {
    debugPrint("property answer not returned: out of memory");
    return nullptr;
  }
  std::memcpy(block, static_cast<const char*>(answer), length + 1);
  *slot = block;
  return block;
}

void vesk_script_helper::releaseAnswerBlock(char* block) {
  char** slot = std::find(std::begin(answerBlocks_), std::end(answerBlocks_), block);
  if (slot == std::end(answerBlocks_)) {
    // Freeing it would free the host's memory, or this block a second time.
    debugPrint("code 5 ignored: not an answer block this panel returned");
    return;
  }
  delete[] block;
  *slot = nullptr;
}

void vesk_script_helper::onEvent6(script_event*) {}
void vesk_script_helper::onEvent7(script_event*) {}
