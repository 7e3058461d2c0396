// panelhost web: the running panel as a web page on 127.0.0.1, worked with
// the mouse, on the real clock, until Ctrl+C.
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "panelhost/live/live_panel.h"
#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/os/browser.h"
#include "panelhost/os/console_output.h"
#include "panelhost/os/stop_signal.h"
#include "panelhost/support/file_path.h"
#include "panelhost/web/web_server.h"

namespace {

// The transcript on standard output, each entry handed to the console as
// it comes, so it can be followed through a pipe while the page is worked;
// a console that takes nothing never holds up the panel (ConsoleOutput).
class ConsoleTranscript : public SessionObserver {
 public:
  explicit ConsoleTranscript(bool replies) : transcript_(std::cout, replies) {}
  void entry(const SessionEntry& entry) override {
    transcript_.entry(entry);
    std::cout.flush();
  }

 private:
  Transcript transcript_;
};

// The web mode's own options.
struct WebOptions {
  int port = 8080;    // 0 takes any free port
  bool open = false;  // open the page in the default browser
};

ExitStatus runWeb(const HostOptions& options, const WebOptions& web) {
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  // The panel's loop never waits for the console: the page keeps the log.
  ConsoleOutput::neverWait();
  ConsoleTranscript transcript(options.replies);
  LivePanel panel(setup->plugin->loader(), setup->layoutFolders, std::move(setup->devices), &transcript,
                  options.replies);
  WebServer server(panel, fileNameOf(options.plugin), setup->plugin->file());
  if (Result<int> bound = server.bind(web.port); !bound) return cannotStart(bound.error());
  // Requests wait in the listening socket's queue until start() below.
  std::cout << "panelhost web: serving " << fileNameOf(options.plugin) << " on " << server.url()
            << " — press Ctrl+C to stop\npanelhost web: " << setup->pluginLine << std::endl;
  if (Result<> started = panel.start(); !started) return cannotStart(options.plugin + ": " + started.error());
  // If serving ends by itself, the wait below ends as if stopped by hand.
  server.start([] { StopSignal::stopNow(); });
  if (web.open) {
    if (Result<> opened = openInBrowser(server.url()); !opened) {
      std::cerr << "panelhost web: cannot open the page in a browser (" << opened.error() << "): open "
                << server.url() << " yourself" << std::endl;
    }
  }
  StopSignal::wait();  // Ctrl+C, a kill, or the server ending by itself
  std::cout << "panelhost web: stopping" << std::endl;
  server.stop();
  panel.stop();  // the panel is deleted on its own thread
  std::cout.flush();
  return verdict(panel.violations());
}

}  // namespace

Mode webMode() {
  return {"web", "serve the running panel as a web page on 127.0.0.1; real clock", [](CLI::App& command) -> Mode::Run {
            auto web = std::make_shared<WebOptions>();
            command.add_option("--port", web->port, "the port to serve on; 0 takes any free port (default: 8080)")
                ->check(CLI::Range(0, 65535))
                ->type_name("N");
            command.add_flag("--open", web->open, "open the page in the default browser once it is served");
            return withTraceFlag(command, [web](const HostOptions& options) { return runWeb(options, *web); });
          }};
}
