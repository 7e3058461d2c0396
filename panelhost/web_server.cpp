// WebServer: WebApi served over HTTP with cpp-httplib, the one file that
// knows that library.
#include "panelhost/web_server.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <httplib.h>

#include "panelhost/web_api.h"

namespace {

// How long an idle event stream waits before a keep-alive comment; a
// browser that went away is noticed when that write fails.
constexpr std::chrono::seconds kKeepAlive{10};
constexpr size_t kHandlerThreads = 32;

void answer(httplib::Response& res, const WebReply& reply) {
  res.status = reply.status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(reply.body, reply.type.c_str());
}

}  // namespace

struct WebServer::Http {
  Http(LivePanel& panel, std::string plugin) : panel(panel), api(panel, std::move(plugin)) {}

  LivePanel& panel;
  WebApi api;
  std::string url;
  httplib::Server server;
  std::thread thread;
  std::atomic<bool> stopping{false};
};

WebServer::WebServer(LivePanel& panel, std::string plugin) : http_(std::make_unique<Http>(panel, std::move(plugin))) {
  httplib::Server& server = http_->server;
  // Address reuse only: a port another server listens on must stay refused
  // (shared ports would split the page's requests between two panels).
  server.set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // An open page holds a handler thread for its event stream and one per
  // idle keep-alive connection: room for a few pages at once.
  server.new_task_queue = [] { return new httplib::ThreadPool(kHandlerThreads); };

  WebApi& api = http_->api;
  for (const char* path : {"/", "/panel.css", "/panel.js", "/api/state"}) {
    server.Get(path, [&api](const httplib::Request& req, httplib::Response& res) { answer(res, *api.get(req.path)); });
  }
  for (const char* path : {"/api/press", "/api/property"}) {
    server.Post(path, [&api](const httplib::Request& req, httplib::Response& res) {
      answer(res, *api.post(req.path, req.body));
    });
  }
  server.Get("/api/events", [&api](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    auto stream = std::make_shared<WebApi::Stream>();
    res.set_chunked_content_provider("text/event-stream", [&api, stream](size_t, httplib::DataSink& sink) {
      const std::optional<std::string> text = api.nextEvent(*stream, kKeepAlive);
      if (!text) {
        sink.done();
        return true;
      }
      return sink.write(text->data(), text->size());
    });
  });
}

WebServer::~WebServer() { stop(); }

Result<int> WebServer::bind(int port) {
  errno = 0;
  int bound = -1;
  if (port == 0) {
    bound = http_->server.bind_to_any_port("127.0.0.1");
  } else if (http_->server.bind_to_port("127.0.0.1", port)) {
    bound = port;
  }
  if (bound <= 0) {
    // errno is still what bind() or listen() left.
    if (errno == EADDRINUSE) return fail("port " + std::to_string(port) + " is in use (try --port 0 for any free port)");
    std::string error = "cannot listen on 127.0.0.1:" + std::to_string(port);
    if (errno != 0) error += std::string(": ") + std::strerror(errno);
    return fail(error);
  }
  http_->url = "http://127.0.0.1:" + std::to_string(bound) + "/";
  http_->api.setUrl(http_->url);
  return bound;
}

void WebServer::start(std::function<void()> ended) {
  Http& http = *http_;
  http.thread = std::thread([&http, ended = std::move(ended)] {
    http.server.listen_after_bind();
    if (!http.stopping && ended) ended();
  });
}

void WebServer::stop() {
  http_->stopping = true;
  http_->panel.close();  // event streams waiting for a change end now
  http_->server.stop();
  if (http_->thread.joinable()) http_->thread.join();
}

const std::string& WebServer::url() const { return http_->url; }
