#pragma once
// The one way the library talks to the user: message boxes and Yes/No
// questions. The window layer supplies a real one; tests script the answers.

#include <string_view>

namespace legend {

class Prompter {
 public:
  virtual ~Prompter() = default;
  /// A message box with an OK button.
  virtual void inform(std::string_view text) = 0;
  /// A message box with an OK button that also shows @p detail (the file a
  /// failure concerns and why) beneath the message itself.
  virtual void informWithDetail(std::string_view text, std::string_view detail) {
    static_cast<void>(detail);
    inform(text);
  }
  /// A Yes/No question; true for Yes. @p defaultYes names the default button.
  virtual bool askYesNo(std::string_view text, bool defaultYes) = 0;
  /// The default system beep.
  virtual void beep() {}
};

}  // namespace legend
