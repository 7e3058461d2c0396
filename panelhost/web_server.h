// WebServer: the HTTP side of `panelhost web`. It listens on 127.0.0.1 only
// and answers every request from a WebApi (web_api.h), which says what each
// path gives. The HTTP library it uses is known to web_server.cpp alone.
//
// Handlers run on the server's own threads and never touch the plug-in:
// they go through the LivePanel, which runs everything on its loop.
#pragma once

#include <functional>
#include <memory>
#include <string>

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

  const std::string& url() const;

 private:
  struct Http;  // the HTTP library's server and its thread
  std::unique_ptr<Http> http_;
};
