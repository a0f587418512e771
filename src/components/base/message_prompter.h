#pragma once
// The prompter the windows use: every message and question of the library
// becomes a modal message box over the owning window.

#include <string_view>

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "legendfile/prompter.h"

namespace legend {

/// Labels the standard buttons of @p box (OK, Cancel, Yes, No) with the
/// library's own texts, so they are in the interface's language whatever
/// translators the host application has or lacks.
void labelButtons(QMessageBox& box);

/// Shows the library's UTF-8 texts, in the interface's language, in modal
/// message boxes titled with the name of the window they belong to.
class MessagePrompter : public Prompter {
 public:
  /// @p parent owns the boxes on screen; it may be null or go away first.
  /// @p title names the window, e.g. the pad's "图例板".
  explicit MessagePrompter(QWidget* parent = nullptr, QString title = {}) noexcept
      : parent_(parent), title_(std::move(title)) {}

  void setTitle(const QString& title) { title_ = title; }

  /// A box with a warning sign and an OK button.
  void inform(std::string_view text) override;
  /// The same, with @p detail as the box's informative text.
  void informWithDetail(std::string_view text, std::string_view detail) override;
  /// A Yes/No box with a question mark; true when the user chose Yes.
  bool askYesNo(std::string_view text, bool defaultYes) override;
  /// The platform's default beep.
  void beep() override;

 private:
  // Guarded, so a prompter outliving its window never hands a dead parent on.
  QPointer<QWidget> parent_;
  QString title_;
};

}  // namespace legend
