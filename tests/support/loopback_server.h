// A scripted HTTP server on 127.0.0.1 for tests: it binds port 0, records the raw bytes of
// every request and answers each with what the test's handler returns, over plain TCP or TLS.
// One request per connection unless a reply keeps it alive; every connection has its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pv::test {

class TlsIdentity;

// A reply that goes out piece by piece: a body made while it is sent, or a slow one.
class ReplyStream {
  public:
    // False once the client has gone or the server is stopping.
    virtual bool write(std::string_view bytes) = 0;
    // Waits `duration`, the pace of a slow reply; false when the server stops meanwhile.
    virtual bool pause(std::chrono::milliseconds duration) = 0;

  protected:
    ~ReplyStream() = default;
};

struct Reply {
    std::string bytes;  // written as they are; then the connection is closed...
    bool hang = false;  // ...unless it hangs: open and silent until the client or server ends
    // Runs after `bytes` are written, on the connection's thread.
    std::function<void(ReplyStream&)> stream = {};
    // The connection ends with a reset instead of an orderly close, once the client's side has
    // taken in what was written.
    bool reset = false;
    // The connection stays open for the client's next request.
    bool keepAlive = false;
};

// A complete response: the status line (e.g. "HTTP/1.1 200 OK"), the given header lines,
// Content-Length, "Connection: close" and the body.
Reply httpReply(std::string_view statusLine, std::string_view body,
                const std::vector<std::string>& headers = {});

// The same without "Connection: close": the connection serves the client's next request too.
Reply keptAliveReply(std::string_view statusLine, std::string_view body,
                     const std::vector<std::string>& headers = {});
// A 200 response with a body of `size` bytes made as it is sent, never held whole: `start`, then
// lines of x. With `announced` it carries Content-Length; otherwise the end of the connection
// ends the body.
Reply generatedReply(std::uint64_t size, bool announced, std::string start = {});
// `head` at once, then the bytes of `body` one at a time, `interval` apart; an empty body
// trickles blanks until the client or the server ends.
Reply tricklingReply(std::string head, std::string body, std::chrono::milliseconds interval);

// Everything up to the end of the request's header block.
std::string requestHead(const std::string& request);
// The request line, e.g. "GET /a HTTP/1.1".
std::string requestLine(const std::string& request);

class LoopbackServer {
  public:
    using Handler = std::function<Reply(const std::string& request)>;

    // With `tls` the server speaks TLS with that identity; it must outlive the server.
    explicit LoopbackServer(Handler handler, const TlsIdentity* tls = nullptr);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" (https with TLS) followed by `path`.
    std::string url(std::string_view path = "/") const;
    std::vector<std::string> requests() const;
    // True once `count` requests have arrived in full; false when `timeout` passed first.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Connections accepted so far.
    std::size_t connections() const;
    // True once the clients have closed every connection; false when `timeout` passed first.
    bool waitForConnectionsClosed(
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  private:
    void acceptLoop();
    void serve(int fd);

    Handler handler_;
    const TlsIdentity* tls_;
    int listenFd_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::condition_variable stopped_;
    std::vector<std::string> requests_;
    std::set<int> openFds_;
    bool stopping_ = false;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

// A listener on 127.0.0.1 whose accept queue is already full, so that the kernel drops every
// further connection attempt: a client's connect never completes.
class UnansweredListener {
  public:
    UnansweredListener();
    ~UnansweredListener();
    UnansweredListener(const UnansweredListener&) = delete;
    UnansweredListener& operator=(const UnansweredListener&) = delete;

    std::string url(std::string_view path = "/") const;

  private:
    int listenFd_ = -1;
    int fillerFd_ = -1;
    int port_ = 0;
};

}  // namespace pv::test
