// The web mode's request path: bytes read as one HTTP request the way the
// server reads it (Boost.Beast's parser, with the server's limits), then
// admitted and answered by WebApi over a running ZUV_OZo panel (linked in,
// in its own studio). Whatever the bytes, the answer must be one of the
// statuses WebApi documents, with a body, and the panel must keep the
// host's rules.
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include "framework/vesk_boundary.h"
#include "fuzz/fuzz_check.h"
#include "panels/Studio_A/ZUV_OZo/export.h"
#include "panelhost/live/live_panel.h"
#include "panelhost/support/text_file.h"
#include "panelhost/web/web_api.h"
#include "panelhost/web/web_server.h"

namespace http = boost::beast::http;

namespace {

constexpr int kPort = 8080;

// The panel's own studio table, beside its layout.
Devices panelStudio() {
  const Result<std::string> text = readTextFile(ZUV_OZO_LAYOUT_FOLDER "/studio.json");
  FUZZ_CHECK(text);
  Result<Devices> devices = Devices::fromJson(*text);
  FUZZ_CHECK(devices);
  return std::move(*devices);
}

// One panel for the whole run, as the web mode has.
struct Served {
  Served()
      : panel(load_vesk_client_script, ZUV_OZO_LAYOUT_FOLDER, panelStudio(), nullptr, false),
        api(panel, "ZUV_OZo") {
    api.setPort(kPort);
    FUZZ_CHECK(panel.start());
  }
  LivePanel panel;
  WebApi api;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Served* const served = new Served;  // lives to the end of the process
  http::request_parser<http::string_body> parser;
  parser.header_limit(static_cast<std::uint32_t>(WebServer::kHeaderLimit));
  parser.body_limit(WebApi::kBodyLimit);
  parser.eager(true);
  boost::beast::error_code ec;
  parser.put(boost::asio::buffer(data, size), ec);
  if (ec || !parser.is_header_done()) return 0;
  const http::request<http::string_body>& request = parser.get();
  WebApi::Head head;
  head.method = std::string(request.method_string());
  head.target = std::string(request.target());
  head.host = std::string(request[http::field::host]);
  const auto origin = request.find(http::field::origin);
  if (origin != request.end()) head.origin = std::string(origin->value());
  head.origins = static_cast<std::size_t>(request.count(http::field::origin));
  head.fetchSite = std::string(request["Sec-Fetch-Site"]);
  head.contentType = std::string(request[http::field::content_type]);

  static const std::set<int> kStatuses = {200, 400, 403, 404, 405, 409, 411, 413, 415};
  if (std::optional<WebReply> refusal = served->api.admit(head)) {
    FUZZ_CHECK(kStatuses.count(refusal->status) == 1 && refusal->status != 200);
    FUZZ_CHECK(refusal->body != nullptr && !refusal->body->empty());
    return 0;
  }
  if (head.target.substr(0, head.target.find('?')) == WebApi::kEventsPath) {
    WebApi::Stream stream;
    FUZZ_CHECK(served->api.nextEvent(stream) != nullptr);
    return 0;
  }
  auto answered = std::make_shared<std::promise<WebReply>>();
  std::future<WebReply> reply = answered->get_future();
  served->api.answer(head, request.body(), [answered](WebReply answer) { answered->set_value(std::move(answer)); });
  const WebReply answer = reply.get();
  FUZZ_CHECK(kStatuses.count(answer.status) == 1);
  FUZZ_CHECK(answer.body != nullptr);
  FUZZ_CHECK(served->panel.violations().empty());
  return 0;
}
