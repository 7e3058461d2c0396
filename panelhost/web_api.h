// WebApi: what `panelhost web` answers, apart from any HTTP library: the
// page's files, the state, the event stream's messages, and the presses and
// property messages the page sends, each as a status and a body. The HTTP
// server (web_server.cpp) only maps requests onto it:
//   GET  /                 the page (index.html, panel.css, panel.js)
//   GET  /api/state        {"where": {"url", "plugin"}, "state": <SessionView>, "log": [<log line>...]}
//   GET  /api/events       the same as server-sent events, one "data:" line per change,
//                          each carrying only the log entries the stream has not sent yet
//   POST /api/press        {"control": "SourceSel", "choice": "5"} -> {"message": "index=5"}
//   POST /api/property     {"message": "return=all"} -> {"message": "return=all", "answer": "myParam=" | null}
// Errors answer {"error": "<one line>"} with status 400 (bad request), 404
// (no such control) or 409 (no panel running).
//
// Every call may come from any thread; none touches the plug-in itself:
// the LivePanel runs everything on its loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "panelhost/live_panel.h"

struct WebReply {
  int status;
  std::string type;  // the media type of `body`
  std::string body;
};

class WebApi {
 public:
  // `plugin` is what the page calls the panel (its file name).
  WebApi(LivePanel& panel, std::string plugin) : panel_(panel), plugin_(std::move(plugin)) {}

  // The URL the page is served on, once bound.
  void setUrl(std::string url) { url_ = std::move(url); }

  // GET of `path` ("/", "/panel.css", "/panel.js", "/api/state"); nothing
  // for a path it does not serve.
  std::optional<WebReply> get(const std::string& path) const;
  // POST of `body` to "/api/press" or "/api/property"; nothing for any
  // other path.
  std::optional<WebReply> post(const std::string& path, const std::string& body);

  // Where an event stream has got to.
  struct Stream {
    std::uint64_t version = 0;
    std::uint64_t logSeq = 0;
  };
  // The stream's next text to send: a "data:" message once the panel has
  // changed, or a keep-alive comment after `keepAlive` without one; nothing
  // once the panel is closed and the stream must end.
  std::optional<std::string> nextEvent(Stream& stream, std::chrono::milliseconds keepAlive);

 private:
  std::string stateMessage(const LivePanel::Update& update) const;

  LivePanel& panel_;
  std::string plugin_;
  std::string url_;
};
