/*
 * JSON-RPC 2.0 messages over nlohmann::json, used without exceptions: a
 * body that is no JSON reads as a discarded value, and every member is
 * looked up by type before it is read.
 */
#include "lsp/rpc.h"

Incoming classify(const std::string &body) {
  Incoming in;
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    in.code = RPC_PARSE_ERROR;
    in.why = "the message body is not valid JSON";
    return in;
  }
  in.code = RPC_INVALID_REQUEST;
  if (!message.is_object()) {
    in.why = "a message must be a JSON object";
    return in;
  }
  const Json *id = member(message, "id");
  if (id && (id->is_number_integer() || id->is_string())) in.id = *id;
  std::string version;
  if (!readString(message, "jsonrpc", &version) || version != "2.0") {
    in.why = "the message lacks \"jsonrpc\": \"2.0\"";
    return in;
  }
  if (id && !id->is_number_integer() && !id->is_string() && !id->is_null()) {
    in.why = "an id must be an integer or a string";
    return in;
  }
  const Json *method = member(message, "method");
  if (!method) {
    if (id && (member(message, "result") || member(message, "error"))) in.kind = MessageKind::Response;
    else in.why = "a message without a method";
    return in;
  }
  if (!method->is_string()) {
    in.why = "a method must be a string";
    return in;
  }
  const Json *params = member(message, "params");
  if (params && params->is_null()) params = nullptr; /* sent by some clients for "no params" */
  if (params && !params->is_object() && !params->is_array()) {
    in.why = "params must be an object or an array";
    return in;
  }
  in.method = method->get<std::string>();
  if (params) in.params = std::move(message["params"]); /* moved: a deeply nested value is never copied */
  in.kind = id ? MessageKind::Request : MessageKind::Notification;
  in.code = 0;
  return in;
}

Json resultMessage(const Json &id, Json result) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

Json errorMessage(const Json &id, int code, const std::string &message) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

Json notificationMessage(const char *method, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

std::string serialize(const Json &message) { return message.dump(-1, ' ', false, Json::error_handler_t::replace); }

const Json *member(const Json &object, const char *key) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

bool readString(const Json &object, const char *key, std::string *out) {
  const Json *m = member(object, key);
  if (!m || !m->is_string()) return false;
  *out = m->get<std::string>();
  return true;
}

bool readInteger(const Json &object, const char *key, long long *out) {
  const Json *m = member(object, key);
  if (!m || !m->is_number_integer()) return false;
  *out = m->get<long long>();
  return true;
}

bool readBool(const Json &object, const char *key, bool *out) {
  const Json *m = member(object, key);
  if (!m || !m->is_boolean()) return false;
  *out = m->get<bool>();
  return true;
}
