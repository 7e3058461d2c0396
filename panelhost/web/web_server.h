// WebServer: the HTTP side of `panelhost web`. It listens on 127.0.0.1 only
// and answers every request from a WebApi (web_api.h), which says what each
// path gives and which requests are taken. The HTTP library it uses
// (Boost.Beast on Boost.Asio) is known to web_server.cpp alone.
//
// One thread serves every connection, none of them waiting on another: a
// client that sends slowly, reads slowly or holds an event stream open only
// holds its own connection. What a client can make it hold is bounded:
//   - a request's head must arrive within kRequestTime and fit in
//     kHeaderLimit bytes and kMaxFields fields (else 431, or closed);
//   - a POST needs a Content-Length (411) of at most WebApi::kBodyLimit
//     (413, refused before the body is read); Transfer-Encoding may only be
//     chunked (501) and never comes with a Content-Length (400);
//   - the panel's answer to a request comes within kAnswerTime (else 503);
//   - an answer must be taken within kWriteTime, or the connection closes;
//   - at most kMaxConnections at once; the next ones are answered 503; an
//     event stream whose client has gone is closed the moment it goes.
// Handlers never touch the plug-in: they go through the LivePanel, which
// runs everything on its loop, and are answered when it is done.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "hostside/result.h"
#include "panelhost/boundary/plugin_library.h"
#include "panelhost/live/live_panel.h"

class WebServer {
 public:
  static constexpr std::chrono::seconds kRequestTime{10};
  static constexpr std::chrono::seconds kWriteTime{30};
  // How long an idle event stream waits before a keep-alive comment. A
  // browser that went away is noticed at once: a read is kept pending on
  // every stream.
  static constexpr std::chrono::seconds kKeepAlive{10};
  // How long a press or property message waits for the panel's answer
  // before it is answered 503.
  static constexpr std::chrono::seconds kAnswerTime{10};
  static constexpr std::size_t kHeaderLimit = 8 * 1024;
  static constexpr std::size_t kMaxFields = 64;
  static constexpr std::size_t kMaxConnections = 256;

  // `plugin` is what the page calls the panel (its file name), `file`
  // which file it is. `panel` must outlive the server.
  WebServer(LivePanel& panel, std::string plugin, PluginFile file = {});
  // Stops serving if it still does.
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Binds 127.0.0.1:`port`; 0 takes any free port. The port bound, or why
  // none. Connections wait in the listening queue until start().
  Result<int> bind(int port);
  // Serves on a thread of its own until stop(). `ended` runs on that
  // thread if serving ends by itself.
  void start(std::function<void()> ended = {});
  // Closes every connection and the listening socket and waits for the
  // serving thread, whatever the clients are doing: it returns at once.
  // Safe to call more than once, and from any thread but the serving one.
  void stop();

  const std::string& url() const;

  // The HTTP library's side: the io_context, its thread, the connections.
  // Known to web_server.cpp alone.
  struct Http;

 private:
  std::shared_ptr<Http> http_;
};
