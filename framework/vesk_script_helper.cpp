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
  panel->noteDeletion();
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

vesk_script_helper::vesk_script_helper(client_host* hostInterface, const char* path, const char* name)
    : vesk_client_callback{&kPanelTable},
      host(hostInterface),
      panelPath(path),
      alarmsEnabled(false),
      panelPathHeld_(panelPath.length() == (path == nullptr ? 0 : std::strlen(path))) {
  trace_.start(name, path);
}

vesk_script_helper::~vesk_script_helper() {
  if (host != nullptr) send("AS");
}

char* vesk_script_helper::dispatch(void* payload, int code) {
  if (trace_.on()) traceEvent(payload, code);
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
        if (trace_.on()) traceAnswer(nullptr);
        return nullptr;
      }
      parent_request request(&parts);
      char* const block = answerBlock(onParentRequest(&request));
      if (trace_.on()) traceAnswer(block);
      return block;
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

void vesk_script_helper::noteDeletion() {
  if (!trace_.on()) return;
  trace_.begin("delete");
  trace_.end();
}

void vesk_script_helper::traceEvent(const void* payload, int code) {
  switch (code) {
    case VESK_EVENT_TALLY: {
      trace_.begin("tally");
      if (payload == nullptr) {
        trace_.word("null");
        break;
      }
      const auto* record = static_cast<const tally_record*>(payload);
      trace_.number(record->device);
      trace_.number(record->index);
      trace_.text(record->tally);
      break;
    }
    case VESK_EVENT_CONTROL: {
      trace_.begin("control");
      if (payload == nullptr) {
        trace_.word("null");
        break;
      }
      const auto* record = static_cast<const control_record*>(payload);
      trace_.text(record->panel != nullptr ? record->panel : "");
      trace_.text(record->control != nullptr ? record->control : "");
      // The message as the host wrote it before splitting it.
      trace_.openText();
      if (const message_parts* message = record->message) {
        trace_.textPiece(message->command);
        for (int i = 0; i < message->subCount && i < message_parts::kMaxSubs; ++i) {
          trace_.textPiece(".");
          trace_.textPiece(message->sub[i]);
        }
        if (message->hasValue) {
          trace_.textPiece("=");
          trace_.textPiece(message->value);
        }
      }
      trace_.closeText();
      break;
    }
    case VESK_EVENT_PROPERTY:
      trace_.begin("property");
      trace_.text(payload != nullptr ? static_cast<const char*>(payload) : "");
      break;
    case VESK_EVENT_TIMER:
      trace_.begin("timer");
      trace_.number(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(payload)));
      break;
    case VESK_EVENT_RELEASE: {
      trace_.begin("release");
      const bool ours = payload != nullptr && std::find(std::begin(answerBlocks_), std::end(answerBlocks_),
                                                        static_cast<char*>(const_cast<void*>(payload))) !=
                                                  std::end(answerBlocks_);
      trace_.word(ours ? "ours" : "other");
      break;
    }
    default:
      trace_.begin("event");
      trace_.number(code);
      break;
  }
  trace_.end();
}

void vesk_script_helper::traceAnswer(const char* block) {
  trace_.begin("answer");
  if (block != nullptr) {
    trace_.text(block);
  } else {
    trace_.word("none");
  }
  trace_.end();
}

void vesk_script_helper::traceCommand(const char* command, std::intptr_t reply) {
  trace_.begin("command");
  trace_.text(command);
  const bool textReply = std::strncmp(command, "SD", 2) == 0 || std::strncmp(command, "XI", 2) == 0 ||
                         std::strncmp(command, "TG", 2) == 0;
  if (textReply) {
    if (reply != 0) {
      trace_.text(reinterpret_cast<const char*>(reply));
    } else {
      trace_.word("none");
    }
  } else if (std::strncmp(command, "PS", 2) == 0) {
    trace_.number(reply != 0 ? 1 : 0);
  } else {
    trace_.word("-");
  }
  trace_.end();
}

void vesk_script_helper::onEvent6(script_event*) {}
void vesk_script_helper::onEvent7(script_event*) {}
