// WebApi: what `panelhost web` answers, apart from any HTTP library: which
// requests it takes, the page's files, the state, the event stream's
// messages, and the presses and property messages the page sends, each as a
// status and a body. The HTTP server (web_server.cpp) reads requests within
// its limits and maps them onto it:
//   GET  /                 the page (index.html, panel.css, panel.js)
//   GET  /api/state        {"type": "state", "version", "where": {"url", "plugin", "path", "version", "sha256"},
//                           "state": <SessionView>, "log": [<log line>...]} (path, version, SHA-256: the
//                           plug-in file loaded)
//   GET  /api/events       server-sent events, one "data:" line each: first the same whole state,
//                          then {"type": "change", ...}: only what changed since the stream's
//                          last message (panel_state.h); a stream further behind than the
//                          panel's journal reaches gets a whole state again
//   POST /api/press        {"control": "SourceSel", "choice": "5"} -> {"message": "index=5"}
//                          (a choice is text or a whole number; a list takes a source,
//                          a group selector a page from 1, any control a whole "name=value")
//   POST /api/property     {"message": "return=all"} -> {"message": "return=all", "answer": "myParam=" | null}
//                          ("asker": "page" marks the page's own question in the log)
// Errors answer {"error": "<one line>"} with status
//   400  the body is not a JSON object, or a field is missing, of the wrong type,
//        holds a NUL, or is a choice the control cannot take
//   403  the Host is not the address served, or the request comes from another page
//        (its Origin, two Origin fields, or Sec-Fetch-Site: cross-site)
//   404  no such path, or no such control
//   405  a path served, but not with that method (Allow names the one it takes)
//   409  no panel is running
//   400  (also) Transfer-Encoding with Content-Length, or a bad Content-Length
//   411, 413, 415  a POST without Content-Length, with a body over kBodyLimit,
//                  or not of type application/json
//   501  a transfer coding other than chunked
//   431  a request header too large, or with too many fields
//   503  too many connections at once
// Every answer carries securityHeaders(): no sniffing, no framing, and a
// content security policy that lets the page load only its own files.
//
// Threads: everything but the `reply` of answer() runs on the caller's one
// thread (the server's); that `reply` runs on the panel's loop thread. None
// of it touches the plug-in itself: the LivePanel runs everything on its
// loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "panelhost/boundary/plugin_library.h"
#include "panelhost/live/live_panel.h"

struct WebReply {
  int status = 200;
  std::string type;  // the media type of `body`
  // Shared: every client that asks for the same state is sent one text.
  std::shared_ptr<const std::string> body;
  std::string allow;  // 405 only: the method the path takes
};

class WebApi {
 public:
  // A POST body may not be longer; the page's own are a few hundred bytes.
  static constexpr size_t kBodyLimit = 32 * 1024;
  static constexpr const char* kEventsPath = "/api/events";
  static constexpr const char* kKeepAlive = ": keep-alive\n\n";

  // `plugin` is what the page calls the panel (its file name); `file` says
  // which file it is.
  WebApi(LivePanel& panel, std::string plugin, PluginFile file = {})
      : panel_(panel), plugin_(std::move(plugin)), file_(std::move(file)) {}

  // The port the page is served on, once bound: it makes the URL, and the
  // Host and Origin requests must carry.
  void setPort(int port);
  const std::string& url() const { return url_; }

  // What the server knows of a request before its body.
  struct Head {
    std::string method;   // "GET", "POST", ...
    std::string target;   // the path, and any query after '?'
    std::string host;     // the Host field; empty when absent
    std::optional<std::string> origin;  // the Origin field, when sent
    std::size_t origins = 0;            // how many Origin fields were sent
    std::string fetchSite;              // the Sec-Fetch-Site field; empty when absent
    std::string contentType;
  };
  // Why the request may go no further (403, 404, 405, 415), or nothing:
  // then read its body and call answer(), or stream for kEventsPath.
  std::optional<WebReply> admit(const Head& head) const;
  // Answers an admitted request other than the event stream. `reply` is
  // called once: at once for a GET or a refused POST, on the panel's loop
  // thread once the panel has had the event otherwise.
  void answer(const Head& head, const std::string& body, std::function<void(WebReply)> reply);

  // An error answer: {"error": `error`}.
  static WebReply failure(int status, const std::string& error);
  // The fields every answer carries.
  static const std::vector<std::pair<const char*, const char*>>& securityHeaders();

  // Where an event stream has got to.
  struct Stream {
    std::uint64_t version = 0;
    std::uint64_t logSeq = 0;
  };
  // The stream's next "data:" message if the panel has changed since it
  // was last sent one, moving the stream on; nothing otherwise. The first
  // is the whole state; then what changed since the stream's last message.
  // Streams at one place share one text.
  std::shared_ptr<const std::string> nextEvent(Stream& stream);

 private:
  // The whole state with the whole log, as the wire carries it (as an
  // event, moving `stream` on, when one is given): built once per version,
  // and shared.
  std::shared_ptr<const std::string> stateText(Stream* stream = nullptr);
  // The change event from `stream`'s place, moving it on; shared by every
  // stream at that place.
  std::shared_ptr<const std::string> changeText(Stream& stream);
  nlohmann::json where() const;
  void press(const nlohmann::json& request, std::function<void(WebReply)> reply);
  void property(const nlohmann::json& request, std::function<void(WebReply)> reply);

  LivePanel& panel_;
  std::string plugin_;
  PluginFile file_;
  std::string url_;
  std::vector<std::string> hosts_;  // the Host values taken: 127.0.0.1:<port>, localhost:<port>
  // Texts still held by someone, by what they are (kind, the version they
  // bring a reader to, and the version and log entry the reader was at):
  // clients at one place share one.
  enum class Kind { State, StateEvent, ChangeEvent };
  struct Built {
    std::weak_ptr<const std::string> text;
    Stream next;
  };
  std::map<std::tuple<Kind, std::uint64_t, std::uint64_t, std::uint64_t>, Built> built_;
  // Keeps built_ to the texts still held.
  void remember(std::tuple<Kind, std::uint64_t, std::uint64_t, std::uint64_t> key, Built built);
};
