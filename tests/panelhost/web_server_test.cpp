// The web mode's HTTP side: the page, the state, the event stream, and the
// presses and property messages the page sends, answered over real sockets.
#include "panelhost/web_server.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <httplib.h>

#include "panelhost/panel_state.h"
#include "panelhost/plugin_library.h"

namespace {

using nlohmann::json;

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
                                        Devices::builtIn(), &quiet, false);
    server = std::make_unique<WebServer>(*panel, "ZUV_OZo.so");
    const Result<int> bound = server->bind(0);
    ASSERT_TRUE(bound) << bound.error();
    port = *bound;
    ASSERT_TRUE(panel->start());
    server->start();
    client = std::make_unique<httplib::Client>("127.0.0.1", port);
  }
  void TearDown() override {
    if (server) server->stop();
    if (panel) panel->stop();
  }

  // POSTs `body` to `path`: the status and the JSON answer.
  std::pair<int, json> post(const std::string& path, const std::string& body) {
    const httplib::Result result = client->Post(path.c_str(), body, "application/json");
    if (!result) return {0, json()};
    return {result->status, json::parse(result->body, nullptr, false)};
  }

  Quiet quiet;
  PluginLibrary library;
  std::unique_ptr<LivePanel> panel;
  std::unique_ptr<WebServer> server;
  std::unique_ptr<httplib::Client> client;
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
    const httplib::Result result = client->Get(c.path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), c.type);
    EXPECT_NE(result->body.find(c.holds), std::string::npos);
  }
  const httplib::Result missing = client->Get("/nothing");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

TEST_F(WebServerTest, StateSaysWhereItIsAndHoldsThePanelAndTheLog) {
  const httplib::Result result = client->Get("/api/state");
  ASSERT_TRUE(result);
  ASSERT_EQ(result->status, 200);
  const json body = json::parse(result->body);
  EXPECT_EQ(body.at("where"), (json{{"url", server->url()}, {"plugin", "ZUV_OZo.so"}}));
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
  std::string received;
  const httplib::Result result = client->Get("/api/events", [&](const char* data, size_t length) {
    received.append(data, length);
    return received.find("\n\n") == std::string::npos;  // one event is enough
  });
  ASSERT_EQ(received.rfind("data: ", 0), 0u) << received;
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
  LivePanel panel(library.loader(), ".", Devices::builtIn(), &quiet, false);
  WebServer first(panel, "a.so");
  WebServer second(panel, "b.so");
  const Result<int> port = first.bind(0);
  ASSERT_TRUE(port) << port.error();
  const Result<int> taken = second.bind(*port);
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.error(), "port " + std::to_string(*port) + " is in use (try --port 0 for any free port)");
}

}  // namespace
