// The scripted client's process handling and framing.
#include "session.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <sstream>
#include <string>

namespace {

long long nowMs() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

}  // namespace

Session::Session(const std::vector<std::string> &args) {
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    // TESSEL_LSP_SERVER: another server's command (its words separated by
    // spaces), such as the Windows build's tessel.exe under Wine.
    std::vector<std::string> words;
    const char *server = getenv("TESSEL_LSP_SERVER");
    std::istringstream command(server && server[0] ? server : std::string(TESSEL_TEST_BIN_DIR) + "tessel");
    for (std::string word; command >> word;) words.push_back(word);
    words.push_back("lsp");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  in_ = in[1];
  /* Writes never block: sendRaw reads the server's output while its input is
     full, as an editor does, or the two would wait on each other. */
  fcntl(in_, F_SETFL, fcntl(in_, F_GETFL) | O_NONBLOCK);
  out_ = out[0];
  err_ = err[0];
}

Session::~Session() {
  closeInput();
  if (pid_ > 0) wait(5000);
  if (out_ >= 0) close(out_);
  if (err_ >= 0) close(err_);
}

void Session::sendRaw(const std::string &bytes) {
  size_t done = 0;
  while (in_ >= 0 && done < bytes.size()) {
    ssize_t n = write(in_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += (size_t)n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return;
    /* The server's input is full: take what it has written meanwhile (kept
       for next), then wait until either side can move. */
    struct pollfd p[2] = {{in_, POLLOUT, 0}, {out_, POLLIN, 0}};
    if (poll(p, 2, 10000) <= 0) return;
    if (p[1].revents & (POLLIN | POLLHUP)) fill(0);
  }
}

void Session::send(const Json &message) {
  std::string body = message.dump();
  sendRaw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

int Session::request(const std::string &method, const Json &params) {
  int id = nextId_++;
  send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
  return id;
}

void Session::notify(const std::string &method, const Json &params) {
  send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

void Session::closeInput() {
  if (in_ >= 0) close(in_);
  in_ = -1;
}

bool Session::fill(int ms) {
  struct pollfd p = {out_, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return false;
  char block[1 << 16];
  ssize_t n = read(out_, block, sizeof block);
  if (n <= 0) return false;
  buffer_.append(block, (size_t)n);
  return true;
}

Json Session::next(int ms) {
  long long deadline = nowMs() + ms;
  for (;;) {
    size_t headerEnd = buffer_.find("\r\n\r\n");
    if (headerEnd != std::string::npos) {
      size_t length = (size_t)atol(buffer_.c_str() + buffer_.find(':') + 1);
      if (buffer_.size() >= headerEnd + 4 + length) {
        Json message = Json::parse(buffer_.substr(headerEnd + 4, length), nullptr, false);
        buffer_.erase(0, headerEnd + 4 + length);
        return message;
      }
    }
    long long left = deadline - nowMs();
    if (left <= 0 || !fill((int)left)) return Json(Json::value_t::discarded);
  }
}

Json Session::answer(int id, int ms) {
  for (size_t i = 0; i < kept_.size(); i++)
    if (kept_[i].contains("id") && kept_[i]["id"] == id) {
      Json found = kept_[i];
      kept_.erase(kept_.begin() + (long)i);
      return found;
    }
  for (;;) {
    Json m = next(ms);
    if (m.is_discarded()) return m;
    if (m.contains("id") && m["id"] == id && !m.contains("method")) return m;
    kept_.push_back(m);
  }
}

Json Session::diagnostics(const std::string &uri, long long minVersion, int ms) {
  auto fits = [&](const Json &m) {
    return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri &&
           (minVersion < 0 || m["params"].value("version", -1LL) >= minVersion);
  };
  for (size_t i = 0; i < kept_.size(); i++)
    if (fits(kept_[i])) {
      Json found = kept_[i]["params"];
      kept_.erase(kept_.begin() + (long)i);
      return found;
    }
  for (;;) {
    Json m = next(ms);
    if (m.is_discarded()) return m;
    if (fits(m)) return m["params"];
    if (m.value("method", "") != "textDocument/publishDiagnostics") kept_.push_back(m);
  }
}

int Session::wait(int ms) {
  if (pid_ <= 0) return -1;
  long long deadline = nowMs() + ms;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (nowMs() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    usleep(2000);
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Session::errorOutput() {
  std::string text;
  char block[4096];
  struct pollfd p = {err_, POLLIN, 0};
  while (poll(&p, 1, 100) > 0) {
    ssize_t n = read(err_, block, sizeof block);
    if (n <= 0) break;
    text.append(block, (size_t)n);
  }
  return text;
}

Json Session::initialize(const Json &capabilities) {
  int id = request("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", capabilities}});
  Json reply = answer(id);
  notify("initialized", Json::object());
  return reply;
}
