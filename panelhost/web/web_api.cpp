// WebApi: which requests are taken, the page's files, the state as JSON,
// presses and properties.
#include "panelhost/web/web_api.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "panelhost/session/host_session.h"
#include "panelhost/web/panel_state.h"
#include "panelhost/web/web_assets.h"

using nlohmann::json;

namespace {

constexpr const char* kJson = "application/json";

WebReply reply(int status, const json& body) {
  return {status, kJson, std::make_shared<const std::string>(wireText(body)), ""};
}

WebReply file(const char* type, const char* text) { return {200, type, std::make_shared<const std::string>(text), ""}; }

// The path of a request target, without its query.
std::string pathOf(const std::string& target) { return target.substr(0, target.find('?')); }

// The method each path takes.
const char* methodFor(const std::string& path) {
  if (path == "/" || path == "/panel.css" || path == "/panel.js" || path == "/api/state" ||
      path == WebApi::kEventsPath) {
    return "GET";
  }
  if (path == "/api/press" || path == "/api/property") return "POST";
  return nullptr;
}

// A media type without its parameters, in lower case.
std::string mediaType(const std::string& field) {
  std::string type = field.substr(0, field.find(';'));
  type.erase(std::remove_if(type.begin(), type.end(), [](unsigned char c) { return std::isspace(c); }), type.end());
  std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
  return type;
}

// The request's JSON object, or the 400 answer.
std::optional<json> requestObject(const std::string& body, WebReply& refusal) {
  json object = json::parse(body, nullptr, false);
  if (object.is_discarded() || !object.is_object()) {
    refusal = WebApi::failure(400, "the request body is not a JSON object");
    return std::nullopt;
  }
  return object;
}

// A text without NUL, which would cut it where the panel reads it.
bool whole(const std::string& text, const char* name, WebReply& refusal) {
  if (text.find('\0') == std::string::npos) return true;
  refusal = WebApi::failure(400, std::string("the text \"") + name + "\" holds a NUL byte");
  return false;
}

// A string field, or the 400 answer.
std::optional<std::string> textField(const json& body, const char* name, WebReply& refusal) {
  const auto it = body.find(name);
  if (it == body.end() || !it->is_string()) {
    refusal = WebApi::failure(400, std::string("the request needs the text \"") + name + "\"");
    return std::nullopt;
  }
  std::string text = it->get<std::string>();
  if (!whole(text, name, refusal)) return std::nullopt;
  return text;
}

// A choice is text or a whole number; missing or null is no choice.
std::optional<std::string> choiceField(const json& body, WebReply& refusal) {
  const auto it = body.find("choice");
  if (it == body.end() || it->is_null()) return std::string();
  if (it->is_number_integer()) return it->dump();
  if (!it->is_string()) {
    refusal = WebApi::failure(400, "\"choice\" must be text or a whole number, not " + std::string(it->type_name()));
    return std::nullopt;
  }
  std::string choice = it->get<std::string>();
  if (!whole(choice, "choice", refusal)) return std::nullopt;
  return choice;
}

}  // namespace

void WebApi::setPort(int port) {
  const std::string at = ":" + std::to_string(port);
  url_ = "http://127.0.0.1" + at + "/";
  hosts_ = {"127.0.0.1" + at, "localhost" + at};
}

std::optional<WebReply> WebApi::admit(const Head& head) const {
  // A page of another site that had its name resolve to 127.0.0.1 (DNS
  // rebinding) still sends its own name as the Host.
  std::string host = head.host;
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
  if (std::find(hosts_.begin(), hosts_.end(), host) == hosts_.end()) {
    return failure(403, "this server answers only requests for " + hosts_.front());
  }
  // A page of another site may not work the panel, nor hold connections
  // with event streams: a browser names the page a request comes from (a
  // same-origin GET may name none). Programs that name none are taken.
  if (head.origins > 1 || (head.origin && *head.origin != "http://" + host) || head.fetchSite == "cross-site") {
    return failure(403, "requests are taken only from the page on " + url_);
  }
  const std::string path = pathOf(head.target);
  const char* method = methodFor(path);
  if (method == nullptr) return failure(404, "nothing is served at " + path);
  if (head.method != method) {
    WebReply refusal = failure(405, path + " takes " + method + ", not " + head.method);
    refusal.allow = method;
    return refusal;
  }
  if (head.method != "POST") return std::nullopt;
  // A form or a text/plain body can be sent by any page without asking
  // first; JSON cannot.
  if (mediaType(head.contentType) != kJson) return failure(415, "the request body must be application/json");
  return std::nullopt;
}

void WebApi::answer(const Head& head, const std::string& body, std::function<void(WebReply)> reply) {
  const std::string path = pathOf(head.target);
  if (head.method == "GET") {
    if (path == "/") return reply(file("text/html; charset=utf-8", kIndexHtml));
    if (path == "/panel.css") return reply(file("text/css; charset=utf-8", kPanelCss));
    if (path == "/panel.js") return reply(file("text/javascript; charset=utf-8", kPanelJs));
    if (path == "/api/state") return reply({200, kJson, stateText(), ""});
  } else if (path == "/api/press" || path == "/api/property") {
    WebReply refusal;
    const std::optional<json> request = requestObject(body, refusal);
    if (!request) return reply(std::move(refusal));
    return path == "/api/press" ? press(*request, std::move(reply)) : property(*request, std::move(reply));
  }
  reply(failure(404, "nothing is served at " + path));
}

void WebApi::press(const json& request, std::function<void(WebReply)> reply) {
  WebReply refusal;
  const std::optional<std::string> control = textField(request, "control", refusal);
  if (!control) return reply(std::move(refusal));
  const std::optional<std::string> choice = choiceField(request, refusal);
  if (!choice) return reply(std::move(refusal));
  panel_.press(*control, *choice, [this, reply = std::move(reply)](Result<std::string> sent) {
    if (sent) return reply(::reply(200, {{"message", *sent}}));
    const bool noControl = sent.error().rfind(ShownLayouts::kNoControl, 0) == 0;
    reply(failure(!panel_.running() ? 409 : noControl ? 404 : 400, sent.error()));
  });
}

void WebApi::property(const json& request, std::function<void(WebReply)> reply) {
  WebReply refusal;
  const std::optional<std::string> message = textField(request, "message", refusal);
  if (!message) return reply(std::move(refusal));
  // The page asks "_commands" itself to draw its forms; the log says so.
  const auto asker = request.find("asker");
  const bool byPage = asker != request.end() && *asker == "page";
  panel_.property(
      *message,
      [message = *message, reply = std::move(reply)](Result<std::optional<std::string>> answer) {
        if (!answer) return reply(failure(409, "no panel is running"));
        reply(::reply(200, {{"message", message}, {"answer", *answer ? json(**answer) : json(nullptr)}}));
      },
      byPage ? "the page, for its property forms" : "");
}

WebReply WebApi::failure(int status, const std::string& error) { return reply(status, {{"error", error}}); }

const std::vector<std::pair<const char*, const char*>>& WebApi::securityHeaders() {
  static const std::vector<std::pair<const char*, const char*>> kHeaders = {
      {"Cache-Control", "no-store"},
      {"X-Content-Type-Options", "nosniff"},
      {"X-Frame-Options", "DENY"},
      {"Content-Security-Policy",
       "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; img-src 'self'; "
       "form-action 'self'; base-uri 'none'; frame-ancestors 'none'"},
      {"Referrer-Policy", "no-referrer"},
      {"Cross-Origin-Resource-Policy", "same-origin"},
  };
  return kHeaders;
}

std::shared_ptr<const std::string> WebApi::nextEvent(Stream& stream) {
  if (stream.version == 0) return stateText(&stream);
  if (panel_.version() <= stream.version) return nullptr;
  return changeText(stream);
}

json WebApi::where() const {
  return {{"url", url_},
          {"plugin", plugin_},
          {"path", file_.path},
          {"version", file_.version},
          {"sha256", file_.sha256}};
}

void WebApi::remember(std::tuple<Kind, std::uint64_t, std::uint64_t, std::uint64_t> key, Built built) {
  // Texts no one holds any more are forgotten.
  for (auto it = built_.begin(); it != built_.end();) it = it->second.text.expired() ? built_.erase(it) : std::next(it);
  built_[key] = std::move(built);
}

std::shared_ptr<const std::string> WebApi::stateText(Stream* stream) {
  const bool event = stream != nullptr;
  const Kind kind = event ? Kind::StateEvent : Kind::State;
  if (auto found = built_.find({kind, panel_.version(), 0, 0}); found != built_.end()) {
    if (std::shared_ptr<const std::string> text = found->second.text.lock()) {
      if (stream != nullptr) *stream = found->second.next;
      return text;
    }
  }
  const LivePanel::Update update = panel_.latest(0);
  const Stream next{update.version, update.logSeq};
  if (stream != nullptr) *stream = next;
  const std::string state = wireText(stateMessage(where(), update.version, update.state, update.log));
  auto text = std::make_shared<const std::string>(event ? "data: " + state + "\n\n" : state);
  remember({kind, update.version, 0, 0}, {text, next});
  return text;
}

std::shared_ptr<const std::string> WebApi::changeText(Stream& stream) {
  if (auto found = built_.find({Kind::ChangeEvent, panel_.version(), stream.version, stream.logSeq});
      found != built_.end()) {
    if (std::shared_ptr<const std::string> text = found->second.text.lock()) {
      stream = found->second.next;
      return text;
    }
  }
  const Stream from = stream;
  const LivePanel::Changes changes = panel_.changesSince(from.version, from.logSeq);
  stream = {changes.version, changes.logSeq};
  // A stream the journal no longer reaches starts over with the whole state.
  const json message = changes.whole ? stateMessage(where(), changes.version, *changes.whole, changes.log)
                                     : changeMessage(changes.version, changes.change, changes.log);
  auto text = std::make_shared<const std::string>("data: " + wireText(message) + "\n\n");
  remember({Kind::ChangeEvent, changes.version, from.version, from.logSeq}, {text, stream});
  return text;
}
