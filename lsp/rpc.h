/*
 * JSON-RPC 2.0 as the language server speaks it: what kind of message a
 * body is, the protocol's error codes, the shapes of answers and
 * notifications, and readers of parameters that never throw.
 */
#ifndef TESSEL_LSP_RPC_H
#define TESSEL_LSP_RPC_H

#include <nlohmann/json.hpp>
#include <string>

using Json = nlohmann::json;

/* The protocol's error codes. */
enum RpcError {
  RPC_PARSE_ERROR = -32700,
  RPC_INVALID_REQUEST = -32600,
  RPC_METHOD_NOT_FOUND = -32601,
  RPC_INVALID_PARAMS = -32602,
  RPC_INTERNAL_ERROR = -32603,
  RPC_SERVER_NOT_INITIALIZED = -32002,
  RPC_REQUEST_FAILED = -32803
};

enum class MessageKind {
  Request,      /* method, id and params */
  Notification, /* method and params, no id */
  Response,     /* an answer from the client: the server sends no requests, so it is dropped */
  Invalid,      /* JSON, but no message of the protocol: *code and *why say which error */
};

struct Incoming {
  MessageKind kind = MessageKind::Invalid;
  Json id; /* null when there is none */
  std::string method;
  Json params;     /* an object, an array or null */
  int code = 0;    /* for Invalid */
  std::string why; /* for Invalid */
};

/* Reads a body. */
Incoming classify(const std::string &body);

Json resultMessage(const Json &id, Json result);
Json errorMessage(const Json &id, int code, const std::string &message);
Json notificationMessage(const char *method, Json params);

/* The message as text; strings that are no valid UTF-8 get U+FFFD. */
std::string serialize(const Json &message);

/* Readers of a member of an object: null, or false, when it is missing or
   of another type. */
const Json *member(const Json &object, const char *key);
bool readString(const Json &object, const char *key, std::string *out);
bool readInteger(const Json &object, const char *key, long long *out);
bool readBool(const Json &object, const char *key, bool *out);

#endif
