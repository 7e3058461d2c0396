// vesk_stringlist: item storage, splitting a text into items, joining them.
#include "platform/vesk_stringlist.h"

#include <cstring>
#include <new>
#include <utility>

vesk_stringlist::vesk_stringlist() noexcept
    : items_(reinterpret_cast<vesk_string*>(inline_)), count_(0), capacity_(kInlineItems) {}

vesk_stringlist::vesk_stringlist(const vesk_string& text, char separator) : vesk_stringlist() {
  if (text.length() == 0) return;
  const char* start = text;
  const char* const end = start + text.length();
  for (;;) {
    const void* found = std::memchr(start, separator, static_cast<size_t>(end - start));
    const char* stop = found != nullptr ? static_cast<const char*>(found) : end;
    const unsigned length = static_cast<unsigned>(stop - start);
    append(vesk_string(start, length), length);
    if (stop == end) break;
    start = stop + 1;
  }
}

vesk_stringlist::vesk_stringlist(const vesk_stringlist& other) : vesk_stringlist() {
  *this = other;
}

vesk_stringlist::vesk_stringlist(vesk_stringlist&& other) noexcept : vesk_stringlist() {
  *this = std::move(other);
}

vesk_stringlist& vesk_stringlist::operator=(const vesk_stringlist& other) {
  if (this == &other) return *this;
  clear();
  for (unsigned i = 0; i < other.count_; ++i) append(vesk_string(other.items_[i]), other.items_[i].length());
  return *this;
}

vesk_stringlist& vesk_stringlist::operator=(vesk_stringlist&& other) noexcept {
  if (this == &other) return *this;
  clear();
  if (other.isInline()) {
    for (unsigned i = 0; i < other.count_; ++i) append(std::move(other.items_[i]), other.items_[i].length());
    other.clear();
  } else {
    if (!isInline()) ::operator delete(items_);
    items_ = other.items_;
    count_ = other.count_;
    capacity_ = other.capacity_;
    other.items_ = other.inlineItems();
    other.count_ = 0;
    other.capacity_ = kInlineItems;
  }
  return *this;
}

vesk_stringlist::~vesk_stringlist() {
  clear();
  if (!isInline()) ::operator delete(items_);
}

vesk_stringlist& vesk_stringlist::operator<<(const vesk_string& item) {
  append(vesk_string(item), item.length());
  return *this;
}

vesk_string vesk_stringlist::toString(char separator) const {
  vesk_string result;
  const char between[2] = {separator, '\0'};
  unsigned long long expected = 0;
  for (unsigned i = 0; i < count_; ++i) {
    if (i > 0) result += between;
    result += items_[i];
    expected += (i > 0 ? 1 : 0) + items_[i].length();
  }
  // A join the heap could not hold whole is the empty text, not a part.
  if (result.length() != expected) return vesk_string();
  return result;
}

void vesk_stringlist::append(vesk_string&& item, unsigned wholeLength) {
  if (item.length() != wholeLength) return;  // its copy did not fit the heap
  if (count_ == capacity_) {
    const unsigned capacity = capacity_ * 2;
    void* block = ::operator new(sizeof(vesk_string) * capacity, std::nothrow);
    if (block == nullptr) return;
    vesk_string* moved = static_cast<vesk_string*>(block);
    for (unsigned i = 0; i < count_; ++i) {
      new (&moved[i]) vesk_string(std::move(items_[i]));
      items_[i].~vesk_string();
    }
    if (!isInline()) ::operator delete(items_);
    items_ = moved;
    capacity_ = capacity;
  }
  new (&items_[count_]) vesk_string(std::move(item));
  ++count_;
}

void vesk_stringlist::clear() {
  for (unsigned i = 0; i < count_; ++i) items_[i].~vesk_string();
  count_ = 0;
}
