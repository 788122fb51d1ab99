// Building the texts of the log and the report: one call that joins its
// pieces, so that a line costs one allocation and no temporaries (a chain
// of std::string operator+ costs the executables a temporary and its
// clean-up at every +).
#ifndef MORVASK_COMMON_TEXT_H_
#define MORVASK_COMMON_TEXT_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

/// The pieces, one after the other.
std::string Cat(std::initializer_list<std::string_view> pieces);

/// True when `text` holds nothing but blanks (spaces, tabs): a value that
/// asks for nothing.
bool IsBlank(std::string_view text);

/// A 32-bit number as decimal text, for Cat: Num(-3) is "-3".
class Num {
 public:
  explicit Num(std::int32_t value);
  explicit Num(std::uint32_t value);
  operator std::string_view() const {
    return {digits_ + start_, sizeof digits_ - start_};
  }

 private:
  char digits_[11];
  std::size_t start_ = sizeof digits_;
};

#endif  // MORVASK_COMMON_TEXT_H_
