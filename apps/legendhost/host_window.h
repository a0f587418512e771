#pragma once
// The demo host's main window: it owns the project object, opens one legend
// pad through the exported functions, and shows everything the pad tells it
// (owner events, project calls) and what it learns by querying the pad about
// the selected legend. It also runs the legend editor on the pad's file or
// on a new one.

#include <string>

#include <QMainWindow>

#include "recording_project.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

class HostWindow : public QMainWindow {
 public:
  HostWindow();
  ~HostWindow() override;

  /// Shows @p path in the pad, opening the pad if none is open.
  bool openFile(const QString& path);
  /// The pad's own window, or null while no pad is open.
  QWidget* padWindow() const;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void chooseFile();
  void reloadPad();
  void sendReload();
  void closePad();
  void reopenPad();
  void editFile();
  void newFile();
  void showLegend(int index);
  void showNoLegend(const QString& why);
  void refreshFileState();
  /// A line for standard output and the log.
  void report(const std::string& line);
  /// A line for the log only: what the host itself does.
  void note(const QString& line);

  RecordingProject project_;
  void* pad_ = nullptr;
  QString file_;
  QPlainTextEdit* log_ = nullptr;
  QTreeWidget* details_ = nullptr;
  QLabel* fileLabel_ = nullptr;
  QAction* reloadAction_ = nullptr;
  QAction* reloadEventAction_ = nullptr;
  QAction* closeAction_ = nullptr;
  QAction* reopenAction_ = nullptr;
  QAction* editAction_ = nullptr;
};
