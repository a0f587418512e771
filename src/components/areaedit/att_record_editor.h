#pragma once
// The attribute record editor: one row per field of a CATT_STRU, each with an
// editor fitting the field's type, writing back into the caller's record.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <QString>
#include <QWidget>

#include "components/attstru/att_stru.h"

/// Outcome of AttRecordForm::store; false until every field was written.
struct AttRecordStoreResult {
  bool stored = false;  ///< true once every field is in the record
  int field = -1;       ///< the first field that could not be stored, or -1
  QString message;      ///< what the user is told about that field
  explicit operator bool() const noexcept { return stored; }
};

/// The field editors of one record, laid out in a form. It shows values with
/// load() and writes them with store(); the dialog only adds the buttons.
/// Editors are named "field_<n>"; a date's "no date" box is "field_<n>_none".
class AttRecordForm : public QWidget {
 public:
  /// @p structure must outlive the form and keep its fields while it lives.
  explicit AttRecordForm(const CATT_STRU& structure, QWidget* parent = nullptr);

  /// Shows the values of @p record; a value that cannot be read shows empty
  /// (text, numbers, date) or at its minimum (time).
  void load(std::span<const std::uint8_t> record);
  /// Writes every field into @p record, or nothing at all when some field
  /// cannot be stored.
  AttRecordStoreResult store(std::span<std::uint8_t> record) const;

  /// The editor of field @p index, or null.
  QWidget* editor(int index) const;

 private:
  AttStatus storeField(std::span<std::uint8_t> record, std::int16_t index, bool& textRefused) const;

  const CATT_STRU& structure_;
  std::vector<QWidget*> editors_;  // owned by this widget through Qt parenting
};

/// How EditAttRecord ended.
enum class AttRecordEditResult {
  Saved,      ///< OK wrote every field into the record
  Cancelled,  ///< the user left the dialog; the record is untouched
  Failed,     ///< nothing shown: no fields, or a record shorter than their layout
};

/// Edits @p record of @p structure in a modal dialog titled @p title (UTF-8).
/// @p flag is accepted for callers that pass one and changes nothing.
AttRecordEditResult EditAttRecord(CATT_STRU& structure, std::span<std::uint8_t> record, std::string_view title,
                                  int flag, QWidget* parent = nullptr);
