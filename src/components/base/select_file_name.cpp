#include "components/base/select_file_name.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "components/codec/ui_language.h"

namespace legend {

using namespace Qt::StringLiterals;

bool SelectFileName(QWidget* parent, bool forSaving, std::string& path, const QString& title) {
  const QString caption = !title.isEmpty() ? title
                          : forSaving      ? legend::tr("保存图例文件")
                                           : legend::tr("打开图例文件");
  QFileDialog dialog(parent, caption);
  dialog.setObjectName(u"selectFileDialog"_s);
  // Qt's own dialog looks the same on every desktop and, unlike a portal or
  // platform dialog, can be driven by tests on the offscreen platform.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters({legend::tr("图例文件 (*.CLN)"), legend::tr("所有文件 (*)")});
  // A name typed without any extension gets ".CLN" before the dialog checks
  // it, so Qt's own overwrite question (on by default) names the file that
  // will be written. Names with another extension stay as typed; callers
  // complete those and ask about what the dialog did not.
  if (forSaving) dialog.setDefaultSuffix(u"CLN"_s);

  if (!path.empty()) {
    // Paths are the platform's own bytes; decodeName is their inverse of
    // encodeName below, so a name round-trips even outside UTF-8.
    const QFileInfo start(QFile::decodeName(QByteArray::fromStdString(path)));
    if (start.isDir()) {
      dialog.setDirectory(start.absoluteFilePath());
    } else {
      if (start.absoluteDir().exists()) dialog.setDirectory(start.absolutePath());
      dialog.selectFile(start.fileName());
    }
  }

  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
  path = QFile::encodeName(QDir::toNativeSeparators(chosen.front())).toStdString();
  return true;
}

}  // namespace legend
