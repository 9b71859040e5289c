// A scripted client for tessel lsp: runs the binary on a pair of pipes,
// writes framed messages (or raw bytes), reads framed answers with a time
// limit, and waits for its exit status.
#ifndef TESSEL_TESTS_LSP_SESSION_H
#define TESSEL_TESTS_LSP_SESSION_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

using Json = nlohmann::json;

class Session {
 public:
  explicit Session(const std::vector<std::string> &args = {});
  ~Session();

  void sendRaw(const std::string &bytes);
  void send(const Json &message);
  // A request with the next id; returns its id.
  int request(const std::string &method, const Json &params);
  void notify(const std::string &method, const Json &params);
  // Closes the server's standard input.
  void closeInput();

  // The next message, or a discarded value when none comes within ms.
  Json next(int ms = 20000);
  // The answer to request id (notifications met on the way are kept).
  Json answer(int id, int ms = 20000);
  // The next publishDiagnostics for uri (with version at least minVersion).
  Json diagnostics(const std::string &uri, long long minVersion = -1, int ms = 20000);

  // Waits for the process; its exit status, or -1 when it did not end
  // within ms (it is then killed).
  int wait(int ms = 20000);
  std::string errorOutput();

  // initialize (with the capabilities given) and initialized.
  Json initialize(const Json &capabilities = Json::object());

 private:
  bool fill(int ms);
  int pid_ = -1, in_ = -1, out_ = -1, err_ = -1;
  int nextId_ = 1;
  std::string buffer_;
  std::vector<Json> kept_;
};

#endif
