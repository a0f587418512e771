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

}  // namespace legend
