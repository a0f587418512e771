#pragma once
// The prompter the windows use: every message and question of the library
// becomes a modal message box over the owning window.

#include <string_view>

#include <QPointer>
#include <QWidget>

#include "legendfile/prompter.h"

namespace legend {

/// Shows the library's UTF-8 texts in modal message boxes titled with the
/// application's name.
class MessagePrompter : public Prompter {
 public:
  /// @p parent owns the boxes on screen; it may be null or go away first.
  explicit MessagePrompter(QWidget* parent = nullptr) noexcept : parent_(parent) {}

  /// An information box with an OK button.
  void inform(std::string_view text) override;
  /// A Yes/No box; true when the user chose Yes.
  bool askYesNo(std::string_view text, bool defaultYes) override;
  /// The platform's default beep.
  void beep() override;

 private:
  // Guarded, so a prompter outliving its window never hands a dead parent on.
  QPointer<QWidget> parent_;
};

}  // namespace legend
