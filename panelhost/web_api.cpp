// WebApi: the page's files, the state as JSON, presses and properties.
#include "panelhost/web_api.h"

#include <nlohmann/json.hpp>

#include "panelhost/panel_state.h"
#include "panelhost/web_assets.h"

using nlohmann::json;

namespace {

WebReply reply(int status, const json& body) { return {status, "application/json", wireText(body)}; }

WebReply failure(int status, const std::string& error) { return reply(status, {{"error", error}}); }

// The request's JSON object, or the 400 answer.
std::optional<json> requestObject(const std::string& body, WebReply& refusal) {
  json object = json::parse(body, nullptr, false);
  if (object.is_discarded() || !object.is_object()) {
    refusal = failure(400, "the request body is not a JSON object");
    return std::nullopt;
  }
  return object;
}

// A string field, or the 400 answer.
std::optional<std::string> textField(const json& body, const char* name, WebReply& refusal) {
  const auto it = body.find(name);
  if (it == body.end() || !it->is_string()) {
    refusal = failure(400, std::string("the request needs the text \"") + name + "\"");
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

}  // namespace

std::optional<WebReply> WebApi::get(const std::string& path) const {
  if (path == "/") return WebReply{200, "text/html; charset=utf-8", kIndexHtml};
  if (path == "/panel.css") return WebReply{200, "text/css; charset=utf-8", kPanelCss};
  if (path == "/panel.js") return WebReply{200, "text/javascript; charset=utf-8", kPanelJs};
  if (path == "/api/state") return WebReply{200, "application/json", stateMessage(panel_.latest(0))};
  return std::nullopt;
}

std::optional<WebReply> WebApi::post(const std::string& path, const std::string& body) {
  if (path != "/api/press" && path != "/api/property") return std::nullopt;
  WebReply refusal{};
  const std::optional<json> request = requestObject(body, refusal);
  if (!request) return refusal;
  if (path == "/api/press") {
    const std::optional<std::string> control = textField(*request, "control", refusal);
    if (!control) return refusal;
    const Result<std::string> sent = panel_.press(*control, choiceField(*request));
    if (sent) return reply(200, {{"message", *sent}});
    return failure(panel_.running() ? 404 : 409, sent.error());
  }
  const std::optional<std::string> message = textField(*request, "message", refusal);
  if (!message) return refusal;
  const Result<std::optional<std::string>> answer = panel_.property(*message);
  if (!answer) return failure(409, "no panel is running");
  return reply(200, {{"message", *message}, {"answer", *answer ? json(**answer) : json(nullptr)}});
}

std::optional<std::string> WebApi::nextEvent(Stream& stream, std::chrono::milliseconds keepAlive) {
  const std::optional<LivePanel::Update> update = panel_.waitForChange(stream.version, stream.logSeq, keepAlive);
  if (panel_.closed()) return std::nullopt;
  if (!update) return std::string(": keep-alive\n\n");
  stream.version = update->version;
  stream.logSeq = update->logSeq;
  return "data: " + stateMessage(*update) + "\n\n";
}

std::string WebApi::stateMessage(const LivePanel::Update& update) const {
  return wireText({{"where", {{"url", url_}, {"plugin", plugin_}}},
                   {"state", toJson(update.state)},
                   {"log", logJson(update.log)}});
}
