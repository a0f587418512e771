#pragma once
// The attribute structure editor: a modal dialog over a table of fields, and
// the table logic behind it, kept apart so it can be checked without a window.

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "components/attstru/att_stru.h"

class QWidget;

namespace legend::areaedit {

/// One field as the table shows it; the name is decoded for display and
/// encoded again only when the structure is built.
struct AttStruRow {
  QString name;
  AttFieldType type = AttFieldType::Int32;
  std::int32_t length = 4;  ///< the type's width, or what the user typed for text
  int decimals = 0;         ///< wider than the stored byte so bad input can be reported
};

/// Why a row cannot become a field.
enum class AttStruFault {
  EmptyName,      ///< no name typed
  NameNotGbk,     ///< a character GBK cannot hold, or a NUL
  NameTooLong,    ///< more than CATT_STRU::kMaxNameBytes GBK bytes
  DuplicateName,  ///< an earlier row has the same name
  BadLength,      ///< text length outside 1 ... CATT_STRU::kMaxTextLength
  BadDecimals,    ///< decimals on a non-real type, or above CATT_STRU::kMaxDecimals
  TooManyFields,  ///< more rows than a structure holds
};

/// The first refused row (0-based) and why.
struct AttStruProblem {
  int row = 0;
  AttStruFault fault = AttStruFault::EmptyName;
  friend bool operator==(const AttStruProblem&, const AttStruProblem&) = default;
};

/// The message shown for @p problem; names the row counting from 1.
QString describeProblem(const AttStruProblem& problem);

/// Chinese label of a field type as the type column shows it.
QString attFieldTypeLabel(AttFieldType type);

/// The rows being edited. Rows change freely (a half-typed name is allowed);
/// only validate() and toStructure() apply the structure's rules.
class AttStruTable {
 public:
  /// Rows of @p source, or none when it is null.
  explicit AttStruTable(const CATT_STRU* source = nullptr);

  int rowCount() const noexcept { return static_cast<int>(rows_.size()); }
  const AttStruRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

  void setName(int index, const QString& name);
  /// Changes the type; the length follows the type's width (text keeps a
  /// typed length or gets a default) and decimals are dropped on non-real types.
  void setType(int index, AttFieldType type);
  /// Only text lengths can be changed; others stay at the type's width.
  void setLength(int index, std::int32_t length);
  /// Only float and double take decimals.
  void setDecimals(int index, int decimals);

  /// Appends a field with a fresh name; returns its row.
  int add();
  /// Inserts a field with a fresh name before @p before (clamped to the
  /// table); returns its row.
  int insert(int before);
  /// Removes row @p index; false when there is no such row.
  bool remove(int index);
  /// Swaps row @p index with the one above / below; false at an end.
  bool moveUp(int index);
  bool moveDown(int index);

  /// The first row that cannot become a field, or nullopt when all can.
  std::optional<AttStruProblem> validate() const;
  /// The structure of the rows, or nullopt when validate() finds a problem.
  std::optional<CATT_STRU> toStructure() const;

 private:
  QString freshName() const;

  std::vector<AttStruRow> rows_;
};

/// Opens the modal attribute structure editor over @p parent on the fields
/// of @p current, which it never changes. The edited structure, or nothing
/// on Cancel or when OK leaves the structure as it was.
std::optional<CATT_STRU> editAttributeStructure(QWidget* parent, const CATT_STRU& current);

}  // namespace legend::areaedit
