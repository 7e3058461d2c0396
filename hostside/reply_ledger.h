// ReplyLedger: the replies a host has handed to a panel and not yet had back.
//
// A host answers some commands with a text block it owns; the panel hands
// each block back exactly once with hostCommand code 5. The ledger owns the
// blocks it hands out, so a block handed back twice, or a pointer that was
// never handed out, is told apart from a good hand-back instead of freed.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ReplyLedger {
 public:
  // Copies `text` into a new zero-terminated block and records it as out.
  // The block stays valid until it is taken back or the ledger is cleared.
  const char* handOut(std::string_view text);
  // Takes back the block at `pointer`: the text it held, or nothing when
  // no block handed out and not yet taken back starts there.
  std::optional<std::string> takeBack(const char* pointer);

  std::size_t outstanding() const { return blocks_.size(); }
  // The texts of the blocks still out, in address order.
  std::vector<std::string> outstandingTexts() const;
  // Frees every block still out.
  void clear() { blocks_.clear(); }

 private:
  std::map<const char*, std::unique_ptr<char[]>> blocks_;
};
