// WebServer: the page, the state stream and the requests the page sends.
#include "panelhost/web_server.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "panelhost/panel_state.h"
#include "panelhost/web_assets.h"

using nlohmann::json;

namespace {

// How long an idle event stream waits before a keep-alive comment; a
// browser that went away is noticed when that write fails.
constexpr std::chrono::seconds kKeepAlive{10};
constexpr size_t kHandlerThreads = 32;

void send(httplib::Response& res, int status, const json& body) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(wireText(body), "application/json");
}

void fail(httplib::Response& res, int status, const std::string& error) { send(res, status, {{"error", error}}); }

// The request's JSON object, or nothing after answering 400.
std::optional<json> requestObject(const httplib::Request& req, httplib::Response& res) {
  json body = json::parse(req.body, nullptr, false);
  if (body.is_discarded() || !body.is_object()) {
    fail(res, 400, "the request body is not a JSON object");
    return std::nullopt;
  }
  return body;
}

// A string field, or nothing after answering 400.
std::optional<std::string> textField(const json& body, const char* name, httplib::Response& res) {
  const auto it = body.find(name);
  if (it == body.end() || !it->is_string()) {
    fail(res, 400, std::string("the request needs the text \"") + name + "\"");
    return std::nullopt;
  }
  return it->get<std::string>();
}

// A choice may come as a number or as text; missing is no choice.
std::string choiceField(const json& body) {
  const auto it = body.find("choice");
  if (it == body.end() || it->is_null()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump();
}

void serveAsset(httplib::Server& server, const char* path, const char* body, const char* type) {
  server.Get(path, [body, type](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    res.set_content(body, type);
  });
}

}  // namespace

WebServer::WebServer(LivePanel& panel, std::string plugin) : panel_(panel), plugin_(std::move(plugin)) {
  // Address reuse only: a port another server listens on must stay refused
  // (shared ports would split the page's requests between two panels).
  server_.set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // An open page holds a handler thread for its event stream and one per
  // idle keep-alive connection: room for a few pages at once.
  server_.new_task_queue = [] { return new httplib::ThreadPool(kHandlerThreads); };
  routes();
}

WebServer::~WebServer() { stop(); }

Result<int> WebServer::bind(int port) {
  errno = 0;
  int bound = -1;
  if (port == 0) {
    bound = server_.bind_to_any_port("127.0.0.1");
  } else if (server_.bind_to_port("127.0.0.1", port)) {
    bound = port;
  }
  if (bound <= 0) {
    // errno is still what bind() or listen() left.
    if (errno == EADDRINUSE) return fail("port " + std::to_string(port) + " is in use (try --port 0 for any free port)");
    std::string error = "cannot listen on 127.0.0.1:" + std::to_string(port);
    if (errno != 0) error += std::string(": ") + std::strerror(errno);
    return fail(error);
  }
  url_ = "http://127.0.0.1:" + std::to_string(bound) + "/";
  return bound;
}

void WebServer::start(std::function<void()> ended) {
  thread_ = std::thread([this, ended = std::move(ended)] {
    server_.listen_after_bind();
    if (!stopping_ && ended) ended();
  });
}

void WebServer::stop() {
  stopping_ = true;
  panel_.close();  // event streams waiting for a change end now
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void WebServer::routes() {
  serveAsset(server_, "/", kIndexHtml, "text/html; charset=utf-8");
  serveAsset(server_, "/panel.css", kPanelCss, "text/css; charset=utf-8");
  serveAsset(server_, "/panel.js", kPanelJs, "text/javascript; charset=utf-8");

  server_.Get("/api/state", [this](const httplib::Request&, httplib::Response& res) {
    const LivePanel::Update update = panel_.latest(0);
    send(res, 200, {{"where", {{"url", url_}, {"plugin", plugin_}}}, {"state", update.state}, {"log", update.log}});
  });

  server_.Get("/api/events", [this](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    struct Progress {
      std::uint64_t version = 0;
      std::uint64_t logSeq = 0;
    };
    auto seen = std::make_shared<Progress>();
    res.set_chunked_content_provider("text/event-stream", [this, seen](size_t, httplib::DataSink& sink) {
      std::optional<LivePanel::Update> update = panel_.waitForChange(seen->version, seen->logSeq, kKeepAlive);
      if (panel_.closed()) {
        sink.done();
        return true;
      }
      if (!update) {
        static const std::string keepAlive = ": keep-alive\n\n";
        return sink.write(keepAlive.data(), keepAlive.size());
      }
      const json message = {{"where", {{"url", url_}, {"plugin", plugin_}}},
                            {"state", update->state},
                            {"log", update->log}};
      seen->version = update->version;
      seen->logSeq = update->logSeq;
      const std::string text = "data: " + wireText(message) + "\n\n";
      return sink.write(text.data(), text.size());
    });
  });

  server_.Post("/api/press", [this](const httplib::Request& req, httplib::Response& res) {
    const std::optional<json> body = requestObject(req, res);
    if (!body) return;
    const std::optional<std::string> control = textField(*body, "control", res);
    if (!control) return;
    const LivePanel::Pressed pressed = panel_.press(*control, choiceField(*body));
    switch (pressed.outcome) {
      case LivePanel::Pressed::Outcome::Sent: return send(res, 200, {{"message", pressed.text}});
      case LivePanel::Pressed::Outcome::NoSuchControl: return fail(res, 404, pressed.text);
      case LivePanel::Pressed::Outcome::NotRunning: return fail(res, 409, pressed.text);
    }
  });

  server_.Post("/api/property", [this](const httplib::Request& req, httplib::Response& res) {
    const std::optional<json> body = requestObject(req, res);
    if (!body) return;
    const std::optional<std::string> message = textField(*body, "message", res);
    if (!message) return;
    bool delivered = false;
    const std::optional<std::string> answer = panel_.property(*message, &delivered);
    if (!delivered) return fail(res, 409, "no panel is running");
    send(res, 200, {{"message", *message}, {"answer", answer ? json(*answer) : json(nullptr)}});
  });
}
