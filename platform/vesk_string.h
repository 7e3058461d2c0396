// vesk_string: the string library's text value type.
//
// A vesk_string owns a zero-terminated byte text. Texts of up to
// kInlineCapacity bytes are kept inside the object, so building a short
// command or copying a short name never touches the heap; longer texts move
// to a heap block that grows geometrically.
//
// If the heap cannot supply a block, the operation that needed it leaves the
// text empty: no exception leaves this class. An operation that builds a new
// text (operator+, arg, the number constructor) gives either the whole text
// or the empty text, never a part of it; a caller that appends in several
// steps tells a whole result by its length.
#pragma once

class vesk_string {
 public:
  // Bytes of text (without the terminating zero) held without a heap block.
  static constexpr unsigned kInlineCapacity = 63;

  // The empty text.
  vesk_string() noexcept;
  // A copy of the zero-terminated `text`; null gives the empty text.
  vesk_string(const char* text);  // NOLINT(google-explicit-constructor): a text value
  // A copy of the first `length` bytes of `text`.
  vesk_string(const char* text, unsigned length);
  // `n` written in `base` (2 to 36, anything else means 10; lower-case
  // letters for digits above 9; a minus sign for negatives), padded on the
  // left with `fill` (0 means a blank) up to `width` bytes.
  // vesk_string(4, 0, 0, 10) == "4"; vesk_string(-17, 0, 0, 10) == "-17";
  // vesk_string(7, '0', 3, 10) == "007"; vesk_string(255, 0, 0, 16) == "ff".
  vesk_string(int n, char fill, unsigned int width, int base);
  vesk_string(const vesk_string& other);
  // Leaves `other` empty.
  vesk_string(vesk_string&& other) noexcept;
  virtual ~vesk_string();

  vesk_string& operator=(const char* text);
  vesk_string& operator=(const vesk_string& other);
  // Leaves `other` empty (unless it is this string).
  vesk_string& operator=(vesk_string&& other) noexcept;
  vesk_string& operator+=(const char* text);
  vesk_string& operator+=(const vesk_string& other);

  // The text, zero-terminated, exactly length() bytes before the zero; valid
  // while this string lives unchanged.
  operator const char*() const { return data_; }  // NOLINT(google-explicit-constructor)
  unsigned length() const { return length_; }

  // Whole-text, byte-for-byte comparisons.
  bool operator==(const char* text) const;
  bool operator==(const vesk_string& other) const;
  bool operator!=(const char* text) const { return !(*this == text); }
  bool operator!=(const vesk_string& other) const { return !(*this == other); }

  // True when the whole text is a decimal number equal to `n`: an optional
  // minus sign, then one or more digits, nothing else (no blanks).
  // "1" == 1, "-3" == -3 and "01" == 1; "01x", " 1", "" and "2" do not equal 1.
  bool operator==(int n) const;

  // The value of the decimal number at the start of the text, read as atoi
  // does: leading white space skipped, an optional sign, then digits up to
  // the first non-digit. No digits gives 0; a value beyond the int range
  // gives INT_MAX or INT_MIN.
  // "5" -> 5, " -12" -> -12, "7abc" -> 7, "" -> 0, "abc" -> 0.
  int toInt() const;
  operator int() const { return toInt(); }  // NOLINT(google-explicit-constructor)

  // The first run of decimal digits anywhere in the text, without sign; 0 when
  // there is none; INT_MAX when it is beyond the int range.
  // "Mon_2" -> 2, "a12b3" -> 12, "x-4" -> 4, "none" -> 0.
  int firstInt() const;

  // A copy in which every occurrence of the lowest-numbered marker "%1" to
  // "%9" still in the text is replaced by `text`; an unchanged copy when no
  // marker is left. The inserted text is not scanned again, but a later arg
  // call scans the whole result: text that may itself hold markers must not
  // be followed by another arg.
  // vesk_string("%2 then %1").arg("a") == "%2 then a".
  vesk_string arg(const vesk_string& text) const;
  // arg with vesk_string(n, fill, width, base).
  vesk_string arg(int n, char fill, unsigned int width, int base) const;

  // Splits at the first `separator`: `left` gets the text before it, `right`
  // the text after it (further separators included). Without the separator
  // `left` gets the whole text and `right` the empty text. Returns the
  // separator's position, or -1 when there is none. `left` or `right` may be
  // this string.
  // "value=3" -> "value", "3"; "a=b=c" -> "a", "b=c"; "abc" -> "abc", "".
  int split(char separator, vesk_string& left, vesk_string& right) const;

 private:
  void assign(const char* text, unsigned length);
  void append(const char* text, unsigned length);
  void release();
  bool isInline() const { return data_ == inline_; }

  char* data_;
  unsigned length_;
  unsigned capacity_;  // bytes of text data_ can hold, without the zero
  char inline_[kInlineCapacity + 1];
};

vesk_string operator+(const vesk_string& left, const char* right);
vesk_string operator+(const char* left, const vesk_string& right);
vesk_string operator+(const vesk_string& left, const vesk_string& right);
