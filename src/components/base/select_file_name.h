#pragma once
// The file-name dialog through which the windows open and save legend files.

#include <string>

#include <QString>

class QWidget;

namespace legend {

/// Asks the user for a legend file. The dialog offers legend files (*.CLN)
/// and all files, and starts in the folder of @p path with its name filled
/// in when @p path is not empty. When saving, a name typed without any
/// extension gets ".CLN", and replacing an existing file is confirmed first,
/// naming that file; a name with another extension is returned as typed.
/// @param path in: where to start; out: the chosen file as local (UTF-8)
///        path bytes, left as it was when the user cancels.
/// @param title the window title; empty for a default by purpose.
/// @return true when the user chose a file.
bool SelectFileName(QWidget* parent, bool forSaving, std::string& path, const QString& title = {});

}  // namespace legend
