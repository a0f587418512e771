#include "legendfile/translation.h"

#include <atomic>

namespace legend {

namespace {
std::atomic<TextTranslator> installed{nullptr};
}  // namespace

void setTextTranslator(TextTranslator translator) noexcept { installed.store(translator); }

std::string translated(std::string_view source) {
  const TextTranslator translator = installed.load();
  return translator ? translator(source) : std::string(source);
}

std::string translated(std::string_view source, std::initializer_list<std::string_view> values) {
  std::string text = translated(source);
  char number = '1';
  for (const std::string_view value : values) {
    const char marker[] = {'%', number++, '\0'};
    const auto slot = text.find(marker);
    if (slot != std::string::npos) text.replace(slot, 2, value);
  }
  return text;
}

}  // namespace legend
