// ReplyLedger: handing blocks out and taking them back.
#include "hostside/reply_ledger.h"

#include <cstring>

const char* ReplyLedger::handOut(std::string_view text) {
  auto block = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(block.get(), text.data(), text.size());
  block[text.size()] = '\0';
  const char* handedOut = block.get();
  blocks_[handedOut] = std::move(block);
  return handedOut;
}

std::optional<std::string> ReplyLedger::takeBack(const char* pointer) {
  const auto it = blocks_.find(pointer);
  if (it == blocks_.end()) return std::nullopt;
  std::string text = it->second.get();
  blocks_.erase(it);
  return text;
}

std::vector<std::string> ReplyLedger::outstandingTexts() const {
  std::vector<std::string> texts;
  for (const auto& [pointer, block] : blocks_) texts.emplace_back(block.get());
  return texts;
}
