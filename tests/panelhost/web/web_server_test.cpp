// The web mode's HTTP side: the page, the state, the event stream, and the
// presses and property messages the page sends, answered over real sockets.
#include "panelhost/web/web_server.h"

#include <memory>
#include <string>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <gtest/gtest.h>

#include "panelhost/boundary/plugin_library.h"
#include "tests/panelhost/example_studio.h"
#include "panelhost/web/panel_state.h"

namespace {

namespace http = boost::beast::http;
using boost::asio::ip::tcp;
using nlohmann::json;

// One request on a connection of its own, as a page's script sends it.
struct Answer {
  int status = 0;  // 0: no answer
  std::string type;
  std::string body;
};
Answer request(int port, http::verb method, const std::string& target, const std::string& body = "") {
  boost::asio::io_context io;
  tcp::socket socket(io);
  boost::system::error_code ec;
  socket.connect({boost::asio::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port)}, ec);
  if (ec) return {};
  http::request<http::string_body> req(method, target, 11);
  req.set(http::field::host, "127.0.0.1:" + std::to_string(port));
  if (method == http::verb::post) {
    req.set(http::field::content_type, "application/json");
    req.body() = body;
  }
  req.prepare_payload();
  http::write(socket, req, ec);
  boost::beast::flat_buffer buffer;
  http::response<http::string_body> res;
  if (!ec) http::read(socket, buffer, res, ec);
  if (ec) return {};
  return {static_cast<int>(res.result_int()), std::string(res[http::field::content_type]), res.body()};
}

class Quiet : public SessionObserver {
 public:
  void entry(const SessionEntry&) override {}
};

class WebServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
    ASSERT_TRUE(opened) << opened.error();
    const std::string plugin = ZUV_OZO_PLUGIN_PATH;
    panel = std::make_unique<LivePanel>(library.loader(), plugin.substr(0, plugin.find_last_of('/')),
                                        exampleStudio(), &quiet, false);
    server = std::make_unique<WebServer>(*panel, "ZUV_OZo.so", library.file());
    const Result<int> bound = server->bind(0);
    ASSERT_TRUE(bound) << bound.error();
    port = *bound;
    ASSERT_TRUE(panel->start());
    server->start();
  }
  void TearDown() override {
    if (server) server->stop();
    if (panel) panel->stop();
  }

  // POSTs `body` to `path`: the status and the JSON answer.
  std::pair<int, json> post(const std::string& path, const std::string& body) {
    const Answer answer = request(port, http::verb::post, path, body);
    return {answer.status, json::parse(answer.body, nullptr, false)};
  }

  Quiet quiet;
  PluginLibrary library;
  std::unique_ptr<LivePanel> panel;
  std::unique_ptr<WebServer> server;
  int port = 0;
};

TEST_F(WebServerTest, ServesThePageOn127001) {
  EXPECT_EQ(server->url(), "http://127.0.0.1:" + std::to_string(port) + "/");
  struct Case {
    const char* path;
    const char* type;
    const char* holds;
  } cases[] = {
      {"/", "text/html; charset=utf-8", "<script src=\"/panel.js\""},
      {"/panel.css", "text/css; charset=utf-8", ".key.source.lit"},
      {"/panel.js", "text/javascript; charset=utf-8", "new EventSource('/api/events')"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Answer answer = request(port, http::verb::get, c.path);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.type, c.type);
    EXPECT_NE(answer.body.find(c.holds), std::string::npos);
  }
  EXPECT_EQ(request(port, http::verb::get, "/nothing").body, R"({"error":"nothing is served at /nothing"})");
}

TEST_F(WebServerTest, StateSaysWhereItIsAndHoldsThePanelAndTheLog) {
  const Answer answer = request(port, http::verb::get, "/api/state");
  ASSERT_EQ(answer.status, 200);
  const json body = json::parse(answer.body);
  // Which file is loaded: the library's own account of it.
  EXPECT_EQ(body.at("where"), (json{{"url", server->url()},
                                    {"plugin", "ZUV_OZo.so"},
                                    {"path", library.file().path},
                                    {"version", library.file().version},
                                    {"sha256", library.file().sha256}}));
  EXPECT_EQ(body.at("where").at("sha256").get<std::string>().size(), 64u);
  EXPECT_EQ(body.at("state").at("panel").at("title"), "Studio A - SCR monitors");
  EXPECT_EQ(body.at("state").at("running"), true);
  ASSERT_FALSE(body.at("log").empty());
  EXPECT_EQ(body.at("log").at(1).at("text"), "SD 'ZIR VESK Packager'");
}

TEST_F(WebServerTest, PressesSendTheControlsMessage) {
  struct Case {
    const char* body;
    int status;
    json answer;
  } cases[] = {
      {R"({"control": "Mon_2"})", 200, {{"message", "button=pressed"}}},
      {R"({"control": "GrpSelect", "choice": 3})", 200, {{"message", "button.003=3"}}},
      {R"({"control": "SourceSel", "choice": "22"})", 200, {{"message", "index=22"}}},
      {R"({"control": "Nope"})", 404, {{"error", "the panel shows no control 'Nope'"}}},
      {R"({"choice": 1})", 400, {{"error", "the request needs the text \"control\""}}},
      {R"(not json)", 400, {{"error", "the request body is not a JSON object"}}},
      // Choices no control takes are not sent to the panel.
      {R"({"control": "SourceSel", "choice": {"a": 1}})", 400, {{"error", "\"choice\" must be text or a whole number, not object"}}},
      {R"({"control": "SourceSel", "choice": [5]})", 400, {{"error", "\"choice\" must be text or a whole number, not array"}}},
      {R"({"control": "SourceSel", "choice": true})", 400, {{"error", "\"choice\" must be text or a whole number, not boolean"}}},
      {R"({"control": "SourceSel", "choice": 9.7})", 400, {{"error", "\"choice\" must be text or a whole number, not number"}}},
      {R"({"control": "SourceSel", "choice": "5\u0000"})", 400, {{"error", "the text \"choice\" holds a NUL byte"}}},
      {R"({"control": "Mon\u00002"})", 400, {{"error", "the text \"control\" holds a NUL byte"}}},
      {R"({"control": "SourceSel", "choice": "five"})", 400, {{"error", "list \"SourceSel\" takes a source number, not \"five\""}}},
      {R"({"control": "GrpSelect", "choice": -1})", 400, {{"error", "group selector \"GrpSelect\" takes a page number from 1, not \"-1\""}}},
      {R"({"control": "GrpSelect", "choice": "0"})", 400, {{"error", "group selector \"GrpSelect\" takes a page number from 1, not \"0\""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(post("/api/press", c.body), std::make_pair(c.status, c.answer));
  }
  const json state = toJson(panel->latest(0).state);
  EXPECT_EQ(state.at("devices").at(0).at("crosspoints").at(1).at("source"), 22) << "routed on 411";
}

TEST_F(WebServerTest, PropertiesAreSetAndReadBack) {
  struct Case {
    const char* message;
    json answer;
  } cases[] = {
      {"myParam=studio A", nullptr},
      {"instance=cam2", nullptr},
      {"return=all", "myParam=studio A"},
      {"_events", "notify=*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const json body = {{"message", c.message}};
    EXPECT_EQ(post("/api/property", body.dump()), std::make_pair(200, json{{"message", c.message}, {"answer", c.answer}}));
  }
  panel->stop();
  EXPECT_EQ(post("/api/property", R"({"message": "return=all"})"),
            std::make_pair(409, json{{"error", "no panel is running"}}));
}

TEST_F(WebServerTest, TheEventStreamStartsWithTheWholeState) {
  // The stream's head, then its first chunk: one event is enough.
  boost::asio::io_context io;
  tcp::socket socket(io);
  socket.connect({boost::asio::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port)});
  const std::string ask = "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
  boost::asio::write(socket, boost::asio::buffer(ask));
  boost::beast::flat_buffer buffer;
  http::response_parser<http::string_body> parser;
  http::read_header(socket, buffer, parser);
  EXPECT_EQ(parser.get()[http::field::content_type], "text/event-stream");
  const std::string& received = parser.get().body();  // the chunks' data, as they come
  boost::system::error_code ec;
  while (!ec && received.find("\n\n") == std::string::npos) http::read_some(socket, buffer, parser, ec);
  ASSERT_EQ(received.rfind("data: ", 0), 0u) << received << ec.message();
  const json message = json::parse(received.substr(6, received.find("\n\n") - 6));
  EXPECT_EQ(message.at("where").at("url"), server->url());
  EXPECT_EQ(message.at("state").at("panel").at("id"), "1");
  EXPECT_FALSE(message.at("log").empty());
}

TEST(WebServer, APortInUseIsRefusedWithAReason) {
  PluginLibrary library;
  const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
  ASSERT_TRUE(opened) << opened.error();
  Quiet quiet;
  LivePanel panel(library.loader(), ".", exampleStudio(), &quiet, false);
  WebServer first(panel, "a.so");
  WebServer second(panel, "b.so");
  const Result<int> port = first.bind(0);
  ASSERT_TRUE(port) << port.error();
  const Result<int> taken = second.bind(*port);
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.error(), "port " + std::to_string(*port) + " is in use (try --port 0 for any free port)");
}

}  // namespace
