// WebServer: the HTTP side of `panelhost web`. It serves the panel's page on
// 127.0.0.1 and answers it from a LivePanel:
//   GET  /                 the page (index.html, panel.css, panel.js)
//   GET  /api/state        {"where": {"url", "plugin"}, "state": <sessionState>, "log": [<logEntry>...]}
//   GET  /api/events       the same as server-sent events, one "data:" line per change,
//                          each carrying only the log entries the stream has not sent yet
//   POST /api/press        {"control": "SourceSel", "choice": "5"} -> {"message": "index=5"}
//   POST /api/property     {"message": "return=all"} -> {"message": "return=all", "answer": "myParam=" | null}
// Errors answer {"error": "<one line>"} with status 400 (bad request), 404
// (no such control) or 409 (no panel running).
//
// Handlers run on the server's own threads and never touch the plug-in:
// they go through the LivePanel, which runs everything on its loop.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include <httplib.h>

#include "hostside/result.h"
#include "panelhost/live_panel.h"

class WebServer {
 public:
  // `plugin` is what the page calls the panel (its file name).
  WebServer(LivePanel& panel, std::string plugin);
  // Stops serving if it still does.
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Binds 127.0.0.1:`port`; 0 takes any free port. The port bound, or why
  // none.
  Result<int> bind(int port);
  // Serves on a thread of its own until stop(). `ended` runs on that
  // thread if serving ends by itself.
  void start(std::function<void()> ended = {});
  // Releases the event streams, stops serving and waits for the handlers.
  void stop();

  const std::string& url() const { return url_; }

 private:
  void routes();

  LivePanel& panel_;
  std::string plugin_;
  std::string url_;
  httplib::Server server_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
};
