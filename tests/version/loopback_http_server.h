// A small HTTP server for the update-check tests: listens on 127.0.0.1 only, on a port the
// system picks, answers each path with what the test set, and records the paths asked
// for. It serves one connection at a time on a thread of its own and stops by itself
// after kLifetimeMs, so a test that goes wrong cannot leave it running.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace orvela::testing {

class LoopbackHttpServer {
 public:
  struct Response {
    int status = 200;
    std::string body;
    // Content-Length as sent; -1: the body's length, -2: none at all (the end of the
    // connection ends the body).
    long long declared_length = -1;
    // Send only this many bytes of the body, then close.
    size_t cut_after = std::string::npos;
    // Pause after every piece of this many bytes (a slow site; a long pause: one that stalls).
    size_t piece = 0;
    DWORD pause_ms = 0;
    std::string location{};  // sent as the Location header (a 3xx status: a redirect)
  };

  static constexpr DWORD kLifetimeMs = 60000;

  LoopbackHttpServer() {
    InitializeCriticalSection(&lock_);
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0)
      return;
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    started_ = GetTickCount();
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }

  ~LoopbackHttpServer() {
    stop_ = true;
    if (thread_) {
      WaitForSingleObject(thread_, 20000);
      CloseHandle(thread_);
    }
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
    DeleteCriticalSection(&lock_);
  }

  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool running() const { return thread_ != nullptr; }
  // "http://127.0.0.1:<port>/"
  std::string base_url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  void Serve(const std::string& path, Response response) {
    EnterCriticalSection(&lock_);
    responses_[path] = std::move(response);
    LeaveCriticalSection(&lock_);
  }

  // The paths of the requests so far, in order.
  std::vector<std::string> requests() const {
    EnterCriticalSection(&lock_);
    std::vector<std::string> copy = requests_;
    LeaveCriticalSection(&lock_);
    return copy;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<LoopbackHttpServer*>(self)->Loop();
    return 0;
  }

  bool Expired() const { return stop_ || GetTickCount() - started_ > kLifetimeMs; }

  void Loop() {
    while (!Expired()) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(listener_, &readable);
      timeval wait{0, 100 * 1000};
      if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      Answer(client);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  void Answer(SOCKET client) {
    DWORD timeout = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) return;
      request.append(buffer, static_cast<size_t>(got));
    }
    // "GET /path HTTP/1.1"
    const size_t first = request.find(' '), second = request.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) return;
    const std::string path = request.substr(first + 1, second - first - 1);
    Response response;
    bool known = false;
    EnterCriticalSection(&lock_);
    requests_.push_back(path);
    if (auto it = responses_.find(path); it != responses_.end()) {
      response = it->second;
      known = true;
    }
    LeaveCriticalSection(&lock_);
    if (!known) response = Response{404, "<html><body>Not Found</body></html>"};

    std::string head = "HTTP/1.1 " + std::to_string(response.status) + (response.status == 200 ? " OK" : " Error") + "\r\n";
    head += "Content-Type: application/octet-stream\r\nConnection: close\r\n";
    if (!response.location.empty()) head += "Location: " + response.location + "\r\n";
    if (response.declared_length != -2)
      head += "Content-Length: " +
              std::to_string(response.declared_length >= 0 ? static_cast<size_t>(response.declared_length)
                                                           : response.body.size()) +
              "\r\n";
    head += "\r\n";
    if (!SendAll(client, head.data(), head.size())) return;
    const size_t total = std::min(response.body.size(), response.cut_after);
    const size_t piece = response.piece ? response.piece : total;
    for (size_t sent = 0; sent < total && !Expired(); sent += piece) {
      if (!SendAll(client, response.body.data() + sent, std::min(piece, total - sent))) return;
      for (DWORD slept = 0; slept < response.pause_ms && !Expired(); slept += 20) Sleep(20);
    }
  }

  static bool SendAll(SOCKET client, const char* data, size_t size) {
    while (size > 0) {
      const int sent = send(client, data, static_cast<int>(size), 0);
      if (sent <= 0) return false;
      data += sent;
      size -= static_cast<size_t>(sent);
    }
    return true;
  }

  mutable CRITICAL_SECTION lock_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  DWORD started_ = 0;
  HANDLE thread_ = nullptr;
  std::atomic<bool> stop_{false};
  std::map<std::string, Response> responses_;
  std::vector<std::string> requests_;
};

}  // namespace orvela::testing
