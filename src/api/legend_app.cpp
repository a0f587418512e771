#include "api/legend_app.h"

#include <mutex>

#include <QApplication>
#include <QThread>

#include "components/codec/ui_language.h"

namespace {

// QApplication keeps references to argc and argv for its whole life, so they
// cannot live on the stack of the call that creates it.
int appArgc = 1;
char appName[] = "liblegend";
char* appArgv[] = {appName, nullptr};

// Never deleted: a host that lets us create the application also lets us
// keep it until the process ends, and tearing Qt down from a static
// destructor after the host's main() has returned is not safe. The pointer
// keeps it reachable, so leak checkers do not count it.
QApplication* ownApp = nullptr;
bool resourcesRegistered = false;
// Two threads making the first call at once must not both create an
// application.
std::mutex startMutex;

}  // namespace

bool CLegendApp::enter() {
  const std::lock_guard lock(startMutex);
  if (!QCoreApplication::instance()) ownApp = new QApplication(appArgc, appArgv);
  // A host with a QCoreApplication or QGuiApplication cannot have widgets,
  // and Qt would abort on the first one we made.
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || QThread::currentThread() != app->thread()) return false;
  if (!resourcesRegistered) {
    registerResources();
    resourcesRegistered = true;
  }
  // Once per application: Qt's own texts follow our language only in an
  // application of ours; a host's keeps its translators and gets ours beside.
  legend::installTranslations(ownApp ? legend::ApplicationOwner::Library : legend::ApplicationOwner::Host);
  return true;
}

// Static libraries only contribute their resources when something refers to
// them, and a host that never draws would otherwise find no icons in our
// windows. The CMake file lists every resource file of the libraries linked
// in, one LEGEND_INIT_RESOURCE(name) a line; Q_INIT_RESOURCE must be
// expanded outside any namespace.
#define LEGEND_INIT_RESOURCE(name) Q_INIT_RESOURCE(name);
void CLegendApp::registerResources() {
#include "legend_resources.inc"
}
#undef LEGEND_INIT_RESOURCE
