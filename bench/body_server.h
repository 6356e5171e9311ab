// A loopback HTTP server for the fetch benchmarks: every GET is answered with 200, a
// Content-Length and `bytes` of plan text, streamed from one small block so that even a
// 1 GiB body costs the server no memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace bench {

class BodyServer {
  public:
    explicit BodyServer(std::size_t bytes);
    ~BodyServer();
    BodyServer(const BodyServer&) = delete;
    BodyServer& operator=(const BodyServer&) = delete;

    int port() const { return port_; }
    std::string url() const;

  private:
    void serve();

    std::size_t bytes_;
    std::string block_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace bench
