// Fuzzes reading a scenario: any bytes taken as a scenario file's text (a
// byte-order mark, UTF-16, NUL bytes) and split into lines (any line ends),
// each line a step of the table with operands in its range, no step, or
// one line saying why not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "panelhost/steps/step_runner.h"
#include "panelhost/support/input_text.h"
#include "panelhost/support/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Result<std::string> text = inputText(std::string(reinterpret_cast<const char*>(data), size));
  if (!text) {
    FUZZ_CHECK(!text.error().empty());
    return 0;
  }
  for (const std::string& line : splitLines(*text)) {
    FUZZ_CHECK(line.find('\n') == std::string::npos && line.find('\r') == std::string::npos);
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (!step) {
      FUZZ_CHECK(!step.error().empty());
      FUZZ_CHECK(printable(step.error()).find('\n') == std::string::npos);
      continue;
    }
    if (!*step) continue;
    const Step& parsed = **step;
    FUZZ_CHECK(parsed.kind != nullptr);
    FUZZ_CHECK(parsed.words.size() >= parsed.kind->minWords && parsed.words.size() <= parsed.kind->maxWords);
  }
  return 0;
}
