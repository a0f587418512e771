#pragma once
// What the editors' pickers call the symbols, line styles and fill patterns:
// a name in the interface's language. The drawing code keys its entries by
// short English names (exports match on them), which never reach the user.

#include <QString>

namespace legend::display {

QString pointSymbolLabel(int number);
QString lineStyleLabel(int style);
QString fillPatternLabel(int pattern);

}  // namespace legend::display
