// WebServer: WebApi served over HTTP with Boost.Beast on one Boost.Asio
// io_context, the one file that knows those libraries. It uses nothing of
// the operating system's own, so the same file builds for Windows.
#include "panelhost/web/web_server.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <atomic>
#include <iostream>
#include <iterator>
#include <optional>
#include <thread>
#include <unordered_set>
#include <utility>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "panelhost/web/web_api.h"

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

class Connection;

}  // namespace

struct WebServer::Http : std::enable_shared_from_this<WebServer::Http> {
  Http(LivePanel& panel, std::string plugin, PluginFile file)
      : panel(panel), api(panel, std::move(plugin), std::move(file)) {}

  void accept();
  // Every event stream sends what changed, if it is not busy sending.
  void pump();
  // Closes the listening socket and every connection (serving thread).
  void closeAll();
  // Runs `f` on the serving thread, if the server still lives. Any thread.
  static void later(const std::weak_ptr<Http>& http, std::function<void()> f);

  LivePanel& panel;
  WebApi api;
  // The io_context first: what follows holds its sockets and goes first.
  net::io_context io{1};
  tcp::acceptor acceptor{io};
  net::steady_timer acceptPause{io};
  // Serving thread only: the open connections (the only strong references
  // outside pending handlers) and those holding event streams.
  std::unordered_set<std::shared_ptr<Connection>> connections;
  std::unordered_set<Connection*> streams;
  std::atomic<bool> pumpPosted{false};
  std::atomic<bool> stopping{false};
  std::thread thread;
};

namespace {

using Response = http::response<http::span_body<const char>>;

// How long, and how much, a refused request is read and dropped before its
// connection closes.
constexpr std::chrono::seconds kDrainTime{1};
constexpr std::size_t kDrainLimit = 1024 * 1024;

// A request's Transfer-Encoding, if it has one, refused unless it is only
// "chunked": 400 with a Content-Length as well, 501 for any other coding.
std::optional<WebReply> transferCoding(const http::request<http::string_body>& request) {
  if (request.count(http::field::transfer_encoding) == 0) return std::nullopt;
  if (request.count(http::field::content_length) != 0) {
    return WebApi::failure(400, "the request's length is unclear: Content-Length together with Transfer-Encoding");
  }
  for (const auto& field : request) {
    if (field.name() != http::field::transfer_encoding) continue;
    const std::string value(field.value());
    for (std::size_t at = 0; at <= value.size();) {
      const std::size_t end = std::min(value.find(',', at), value.size());
      std::string coding = value.substr(at, end - at);
      coding.erase(0, coding.find_first_not_of(" \t"));
      coding.erase(coding.find_last_not_of(" \t") + 1);
      std::transform(coding.begin(), coding.end(), coding.begin(), [](unsigned char c) { return std::tolower(c); });
      if (coding != "chunked") {
        return WebApi::failure(501, "the transfer coding \"" + coding + "\" is not taken: send the body as it is, "
                                    "with a Content-Length, or chunked");
      }
      at = end + 1;
    }
  }
  return std::nullopt;
}

// One client connection: requests one after another on it, or one event
// stream. Lives on the serving thread; the panel's answers reach it there
// through Http::later, holding it only weakly.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(WebServer::Http& http, tcp::socket socket)
      : http_(http),
        stream_(std::move(socket)),
        keepAlive_(stream_.get_executor()),
        answerTime_(stream_.get_executor()) {}

  void start() { readHead(); }
  // Refuses the connection at once: the server is full.
  void refuse() {
    reply(WebApi::failure(503, "too many connections at once; try again"), false);
  }
  void close() {
    if (closed_) return;
    closed_ = true;
    error_code ignored;
    keepAlive_.cancel();
    answerTime_.cancel();
    stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
    stream_.close();
    http_.streams.erase(this);
    // Last: this may be the last strong reference.
    http_.connections.erase(shared_from_this());
  }
  // An event stream sends the panel's next change, if any and not busy.
  void pump() {
    if (writing_ || closed_) return;
    if (std::shared_ptr<const std::string> text = http_.api.nextEvent(position_)) writeEvent(std::move(text));
  }

 private:
  void readHead() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(WebServer::kHeaderLimit));
    parser_->body_limit(WebApi::kBodyLimit);
    stream_.expires_after(WebServer::kRequestTime);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](error_code ec, std::size_t) { self->onHead(ec); });
  }

  void onHead(error_code ec) {
    if (closed_) return;
    if (ec == http::error::header_limit) {
      return reply(WebApi::failure(431, "the request's header is larger than " +
                                            std::to_string(WebServer::kHeaderLimit) + " bytes"), false);
    }
    if (ec == http::error::body_limit) return refuseBody();
    // Two lengths that may disagree are how one request is smuggled inside
    // another: refused, and the connection ends.
    if (ec == http::error::bad_transfer_encoding || ec == http::error::bad_content_length) {
      return reply(WebApi::failure(400, "the request's length is unclear: a bad Content-Length, or one sent "
                                        "together with Transfer-Encoding"), false);
    }
    if (ec) return close();  // gone, too slow, or not HTTP
    const http::request<http::string_body>& request = parser_->get();
    if (static_cast<std::size_t>(std::distance(request.begin(), request.end())) > WebServer::kMaxFields) {
      return reply(WebApi::failure(431, "the request has more than " + std::to_string(WebServer::kMaxFields) +
                                            " header fields"), false);
    }
    if (std::optional<WebReply> refusal = transferCoding(request)) return reply(std::move(*refusal), false);
    head_.method = std::string(request.method_string());
    head_.target = std::string(request.target());
    head_.host = std::string(request[http::field::host]);
    const auto origin = request.find(http::field::origin);
    head_.origin = origin == request.end() ? std::nullopt : std::optional<std::string>(origin->value());
    head_.origins = static_cast<std::size_t>(request.count(http::field::origin));
    head_.fetchSite = std::string(request["Sec-Fetch-Site"]);
    head_.contentType = std::string(request[http::field::content_type]);
    keepAlive = request.keep_alive();
    // A refused request's body, if any, is not read: the connection ends.
    if (std::optional<WebReply> refusal = http_.api.admit(head_)) return reply(std::move(*refusal), false);
    if (head_.target.substr(0, head_.target.find('?')) == WebApi::kEventsPath) return startStream();
    if (head_.method != "POST") {
      // A body sent with a GET is not read: the connection ends after the answer.
      if (request.chunked() || parser_->content_length().value_or(0) > 0) keepAlive = false;
      return answer();
    }
    if (!request.has_content_length() && !request.chunked()) {
      return reply(WebApi::failure(411, "a request with a body needs a Content-Length"), false);
    }
    http::async_read(stream_, buffer_, *parser_, [self = shared_from_this()](error_code ec, std::size_t) {
      if (self->closed_) return;
      if (ec == http::error::body_limit) return self->refuseBody();
      if (ec) return self->close();
      self->answer();
    });
  }

  void refuseBody() {
    reply(WebApi::failure(413, "the request body is larger than " + std::to_string(WebApi::kBodyLimit) + " bytes"),
          false);
  }

  void answer() {
    // The panel may take its time, the client waits; but not for ever: a
    // panel that does not answer within kAnswerTime gets the request a 503,
    // and its answer, if it still comes, is dropped.
    stream_.expires_never();
    const std::uint64_t asked = ++asked_;
    answerTime_.expires_after(WebServer::kAnswerTime);
    answerTime_.async_wait([self = shared_from_this(), asked](error_code ec) {
      if (ec || self->closed_ || self->asked_ != asked) return;
      ++self->asked_;
      self->reply(WebApi::failure(503, "the panel did not answer within " +
                                           std::to_string(WebServer::kAnswerTime.count()) + " s"), false);
    });
    std::weak_ptr<WebServer::Http> http = http_.shared_from_this();
    std::weak_ptr<Connection> self = shared_from_this();
    http_.api.answer(head_, parser_->get().body(), [http, self, asked](WebReply answer) {
      WebServer::Http::later(http, [self, asked, answer = std::move(answer)]() mutable {
        std::shared_ptr<Connection> connection = self.lock();
        if (!connection || connection->asked_ != asked) return;
        ++connection->asked_;
        connection->answerTime_.cancel();
        connection->reply(std::move(answer), true);
      });
    });
  }

  void reply(WebReply answer, bool mayKeepAlive) {
    if (closed_) return;
    body_ = std::move(answer.body);
    response_.emplace(static_cast<http::status>(answer.status), 11);
    response_->set(http::field::content_type, answer.type);
    for (const auto& [name, value] : WebApi::securityHeaders()) response_->set(name, value);
    if (!answer.allow.empty()) response_->set(http::field::allow, answer.allow);
    response_->body() = http::span_body<const char>::value_type(body_->data(), body_->size());
    response_->keep_alive(mayKeepAlive && keepAlive);
    response_->prepare_payload();
    stream_.expires_after(WebServer::kWriteTime);
    http::async_write(stream_, *response_, [self = shared_from_this()](error_code ec, std::size_t) {
      if (self->closed_) return;
      if (ec) return self->close();
      if (!self->response_->keep_alive()) return self->drainAndClose();
      self->response_.reset();
      self->body_.reset();
      self->readHead();
    });
  }

  // Ends the connection after an answer that did not read the request's
  // body: what the client still sends is read and dropped for a little
  // while, so that closing does not reset the connection under the answer
  // before the client has read it.
  void drainAndClose() {
    error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.expires_after(kDrainTime);
    drain();
  }
  void drain() {
    stream_.async_read_some(net::buffer(scratch_), [self = shared_from_this()](error_code ec, std::size_t n) {
      self->drained_ += n;
      if (ec || self->drained_ > kDrainLimit) return self->close();
      self->drain();
    });
  }

  void startStream() {
    streamHead_.emplace(http::status::ok, 11);
    streamHead_->set(http::field::content_type, "text/event-stream");
    for (const auto& [name, value] : WebApi::securityHeaders()) streamHead_->set(name, value);
    streamHead_->chunked(true);
    streamSerializer_.emplace(*streamHead_);
    writing_ = true;
    stream_.expires_after(WebServer::kWriteTime);
    http::async_write_header(stream_, *streamSerializer_, [self = shared_from_this()](error_code ec, std::size_t) {
      if (self->closed_) return;
      if (ec) return self->close();
      self->http_.streams.insert(self.get());
      self->watchForClose();
      self->written();
    });
  }

  // An event stream's client sends nothing more; a read kept pending on it
  // ends the moment the client goes, and the stream is reaped then, not at
  // the next keep-alive write. Whatever the client does send is dropped.
  void watchForClose() {
    stream_.socket().async_read_some(net::buffer(scratch_), [self = shared_from_this()](error_code ec, std::size_t) {
      if (self->closed_) return;
      if (ec) return self->close();
      self->watchForClose();
    });
  }

  void writeEvent(std::shared_ptr<const std::string> text) {
    writing_ = true;
    event_ = std::move(text);
    stream_.expires_after(WebServer::kWriteTime);
    net::async_write(stream_, http::make_chunk(net::buffer(*event_)),
                     [self = shared_from_this()](error_code ec, std::size_t) {
                       if (self->closed_) return;
                       if (ec) return self->close();
                       self->written();
                     });
  }

  // An event stream's write is done: the next change, or a keep-alive
  // comment if none comes in time.
  void written() {
    writing_ = false;
    event_.reset();
    stream_.expires_never();
    keepAlive_.expires_after(WebServer::kKeepAlive);
    keepAlive_.async_wait([self = shared_from_this()](error_code ec) {
      if (ec || self->closed_ || self->writing_) return;
      static const auto kComment = std::make_shared<const std::string>(WebApi::kKeepAlive);
      self->writeEvent(kComment);
    });
    pump();
  }

  WebServer::Http& http_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_{WebServer::kHeaderLimit};
  std::optional<http::request_parser<http::string_body>> parser_;
  WebApi::Head head_;
  bool keepAlive = false;
  std::optional<Response> response_;
  std::shared_ptr<const std::string> body_;  // what response_ points into
  // An event stream's head, its position, and the text being written.
  std::optional<http::response<http::empty_body>> streamHead_;
  std::optional<http::response_serializer<http::empty_body>> streamSerializer_;
  WebApi::Stream position_;
  std::shared_ptr<const std::string> event_;
  net::steady_timer keepAlive_;
  // The request the panel is answering; an answer for an earlier one (given
  // up on after kAnswerTime) is dropped.
  net::steady_timer answerTime_;
  std::uint64_t asked_ = 0;
  bool writing_ = false;
  bool closed_ = false;
  std::array<char, 4096> scratch_{};
  std::size_t drained_ = 0;
};

}  // namespace

void WebServer::Http::accept() {
  // Handlers hold the server by plain pointer: they run only inside
  // io.run(), which the server outlives.
  acceptor.async_accept([self = this](error_code ec, tcp::socket socket) {
    if (!self->acceptor.is_open()) return;
    if (ec) {
      // Out of file descriptors, most likely: let connections end first.
      self->acceptPause.expires_after(std::chrono::milliseconds(100));
      self->acceptPause.async_wait([self](error_code waited) {
        if (!waited) self->accept();
      });
      return;
    }
    auto connection = std::make_shared<Connection>(*self, std::move(socket));
    const bool full = self->connections.size() >= kMaxConnections;
    self->connections.insert(connection);
    if (full) {
      connection->refuse();
    } else {
      connection->start();
    }
    self->accept();
  });
}

void WebServer::Http::pump() {
  pumpPosted = false;
  // A stream may close while pumping, so over a copy.
  const std::vector<Connection*> open(streams.begin(), streams.end());
  for (Connection* stream : open) {
    if (streams.count(stream) != 0) stream->pump();
  }
}

void WebServer::Http::closeAll() {
  error_code ignored;
  acceptor.close(ignored);
  acceptPause.cancel();
  const std::vector<std::shared_ptr<Connection>> open(connections.begin(), connections.end());
  for (const std::shared_ptr<Connection>& connection : open) connection->close();
}

void WebServer::Http::later(const std::weak_ptr<Http>& http, std::function<void()> f) {
  if (std::shared_ptr<Http> alive = http.lock()) net::post(alive->io, std::move(f));
}

WebServer::WebServer(LivePanel& panel, std::string plugin, PluginFile file)
    : http_(std::make_shared<Http>(panel, std::move(plugin), std::move(file))) {}

WebServer::~WebServer() { stop(); }

Result<int> WebServer::bind(int port) {
  tcp::acceptor& acceptor = http_->acceptor;
  const tcp::endpoint where(net::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port));
  error_code ec;
  acceptor.open(where.protocol(), ec);
#ifndef _WIN32
  // Quick restarts only. On Windows the same option would let a second
  // server take the port, splitting the page's requests between two panels.
  if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
#endif
  if (!ec) acceptor.bind(where, ec);
  if (!ec) acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec) {
    error_code ignored;
    acceptor.close(ignored);
    if (ec == net::error::address_in_use) {
      return fail("port " + std::to_string(port) + " is in use (try --port 0 for any free port)");
    }
    return fail("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + ec.message());
  }
  const int bound = acceptor.local_endpoint().port();
  http_->api.setPort(bound);
  return bound;
}

void WebServer::start(std::function<void()> ended) {
  std::weak_ptr<Http> weak = http_;
  http_->panel.watch([weak] {
    std::shared_ptr<Http> http = weak.lock();
    if (http && !http->pumpPosted.exchange(true)) net::post(http->io, [raw = http.get()] { raw->pump(); });
  });
  Http& http = *http_;
  http.accept();
  http.thread = std::thread([&http, ended = std::move(ended)] {
    try {
      http.io.run();
    } catch (const std::exception& e) {
      std::cerr << "panelhost: the web server stopped: " << e.what() << '\n';
    }
    if (!http.stopping && ended) ended();
  });
}

void WebServer::stop() {
  Http& http = *http_;
  if (http.stopping.exchange(true)) return;
  if (http.thread.joinable()) {
    net::post(http.io, [&http] {
      http.closeAll();
      http.io.stop();
    });
    http.thread.join();
  }
  http.closeAll();
}

const std::string& WebServer::url() const { return http_->api.url(); }
