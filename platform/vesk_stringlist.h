// vesk_stringlist: the string library's ordered list of texts, and its
// iterator vesk_stringlistIterator.
//
// The first kInlineItems items live inside the list object, so a short list
// (a property answer, a few control names) needs no heap block of its own.
// If the heap cannot supply room for an item or its text, the item being
// appended is dropped, and a join that does not fit is the empty text: no
// exception leaves this class, and no item is ever a part of its text.
#pragma once

#include "platform/vesk_string.h"

class vesk_stringlistIterator {
 public:
  explicit vesk_stringlistIterator(vesk_string* item) : item_(item) {}
  vesk_string& operator*() const { return *item_; }
  vesk_stringlistIterator& operator++() {
    ++item_;
    return *this;
  }
  bool operator!=(const vesk_stringlistIterator& other) const { return item_ != other.item_; }
  bool operator==(const vesk_stringlistIterator& other) const { return item_ == other.item_; }

 private:
  vesk_string* item_;
};

class vesk_stringlist {
 public:
  static constexpr unsigned kInlineItems = 4;

  // The empty list.
  vesk_stringlist() noexcept;
  // One item per part of `text` between `separator`s, in order; empty parts
  // are kept, but the empty text gives the empty list.
  // ("a,b", ',') -> "a", "b"; ("a,,b", ',') -> "a", "", "b";
  // ("a,", ',') -> "a", ""; ("abc", ',') -> "abc"; ("", ',') -> no items.
  vesk_stringlist(const vesk_string& text, char separator);
  vesk_stringlist(const vesk_stringlist& other);
  // Leaves `other` empty.
  vesk_stringlist(vesk_stringlist&& other) noexcept;
  vesk_stringlist& operator=(const vesk_stringlist& other);
  vesk_stringlist& operator=(vesk_stringlist&& other) noexcept;
  virtual ~vesk_stringlist();

  // Appends a copy of `item`.
  vesk_stringlist& operator<<(const vesk_string& item);

  // The items in order with `separator` between them: one item gives that
  // item alone, the empty list the empty text.
  vesk_string toString(char separator) const;

  unsigned count() const { return count_; }
  // Equal for an empty list. Appending may move the items: positions taken
  // before an append are not valid after it.
  vesk_stringlistIterator begin() { return vesk_stringlistIterator(items_); }
  vesk_stringlistIterator end() { return vesk_stringlistIterator(items_ + count_); }

 private:
  // Takes `item` unless it is shorter than `wholeLength`, the length of the
  // text it was copied from: a copy the heap could not hold is dropped.
  void append(vesk_string&& item, unsigned wholeLength);
  void clear();
  vesk_string* inlineItems() { return reinterpret_cast<vesk_string*>(inline_); }
  bool isInline() const { return items_ == reinterpret_cast<const vesk_string*>(inline_); }

  vesk_string* items_;
  unsigned count_;
  unsigned capacity_;
  alignas(vesk_string) unsigned char inline_[kInlineItems * sizeof(vesk_string)];
};
