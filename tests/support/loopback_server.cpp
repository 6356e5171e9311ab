#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <openssl/ssl.h>

#include "support/tls_identity.h"

namespace pv::test {
namespace {

struct Stream {
    int fd;
    SSL* ssl;

    long read(char* buffer, std::size_t size) {
        if (ssl) return SSL_read(ssl, buffer, static_cast<int>(size));
        return recv(fd, buffer, size, 0);
    }

    bool writeAll(std::string_view bytes) {
        while (!bytes.empty()) {
            long n = ssl ? SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size()))
                         : send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
};

// Closing with a zero linger time sends a reset. It waits until the peer has acknowledged what
// was sent, so that the reset cannot overtake the bytes before it.
void resetConnection(int fd) {
    for (int i = 0; i < 2000; ++i) {
        int unacknowledged = 0;
        if (ioctl(fd, SIOCOUTQ, &unacknowledged) != 0 || unacknowledged == 0) break;
        usleep(1000);
    }
    const linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

std::size_t contentLength(std::string_view head) {
    std::string lower(head);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::stoul(lower.substr(at + 17));
}

int loopbackListener(int backlog, int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(fd, backlog) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("loopback listener");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// One request into `request`; what the client sent beyond it stays in `pending`.
bool readRequest(Stream& stream, std::string& pending, std::string& request) {
    char buffer[4096];
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
        long n = stream.read(buffer, sizeof buffer);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t total = headEnd + 4 + contentLength(pending.substr(0, headEnd + 2));
    while (pending.size() < total) {
        long n = stream.read(buffer, sizeof buffer);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    request = pending.substr(0, total);
    pending.erase(0, total);
    return true;
}

}  // namespace

Reply httpReply(std::string_view statusLine, std::string_view body,
                const std::vector<std::string>& headers) {
    std::string bytes(statusLine);
    bytes += "\r\n";
    for (const std::string& line : headers)
        bytes += line + "\r\n";
    bytes += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    bytes += body;
    return {bytes};
}

Reply keptAliveReply(std::string_view statusLine, std::string_view body,
                     const std::vector<std::string>& headers) {
    Reply reply = httpReply(statusLine, body, headers);
    const std::string close = "Connection: close\r\n";
    reply.bytes.erase(reply.bytes.find(close), close.size());
    reply.keepAlive = true;
    return reply;
}

Reply generatedReply(std::uint64_t size, bool announced, std::string start) {
    Reply reply;
    reply.bytes = "HTTP/1.1 200 OK\r\n";
    if (announced) reply.bytes += "Content-Length: " + std::to_string(size) + "\r\n";
    reply.bytes += "Connection: close\r\n\r\n";
    reply.stream = [size, start = std::move(start)](ReplyStream& out) {
        std::string piece(std::size_t{1} << 16, 'x');
        for (std::size_t i = 63; i < piece.size(); i += 64)
            piece[i] = '\n';
        const std::size_t lead =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, start.size()));
        if (!out.write(std::string_view(start).substr(0, lead))) return;
        for (std::uint64_t left = size - lead; left > 0;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
            if (!out.write(std::string_view(piece).substr(0, n))) return;
            left -= n;
        }
    };
    return reply;
}

Reply tricklingReply(std::string head, std::string body, std::chrono::milliseconds interval) {
    Reply reply{std::move(head)};
    reply.stream = [body = std::move(body), interval](ReplyStream& out) {
        for (std::size_t i = 0; body.empty() || i < body.size(); ++i) {
            if (!out.pause(interval) || !out.write(body.empty() ? " " : body.substr(i, 1))) return;
        }
    };
    return reply;
}

std::string requestHead(const std::string& request) {
    const std::size_t end = request.find("\r\n\r\n");
    return end == std::string::npos ? request : request.substr(0, end + 4);
}

std::string requestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

LoopbackServer::LoopbackServer(Handler handler, const TlsIdentity* tls)
    : handler_(std::move(handler)), tls_(tls) {
    // A client that hangs up while a reply is being written must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    listenFd_ = loopbackListener(128, port_);
    acceptor_ = std::thread(&LoopbackServer::acceptLoop, this);
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // Wakes every thread blocked on a connection, hanging ones included.
        for (int fd : openFds_)
            shutdown(fd, SHUT_RDWR);
    }
    stopped_.notify_all();
    shutdown(listenFd_, SHUT_RDWR);
    acceptor_.join();
    close(listenFd_);
    for (std::thread& connection : connections_)
        connection.join();
}

std::string LoopbackServer::url(std::string_view path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
           std::string(path);
}

std::vector<std::string> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::size_t LoopbackServer::connections() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
}

bool LoopbackServer::waitForConnectionsClosed(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return openFds_.empty(); });
}

void LoopbackServer::acceptLoop() {
    for (;;) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard lock(mutex_);
        if (stopping_) {
            if (fd >= 0) close(fd);
            return;
        }
        if (fd >= 0) connections_.emplace_back(&LoopbackServer::serve, this, fd);
    }
}

void LoopbackServer::serve(int fd) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            close(fd);
            return;
        }
        openFds_.insert(fd);
    }
    Stream stream{fd, nullptr};
    if (tls_) {
        stream.ssl = SSL_new(tls_->context());
        SSL_set_fd(stream.ssl, fd);
    }
    std::string pending;
    std::string request;
    bool open = !stream.ssl || SSL_accept(stream.ssl) == 1;
    while (open && readRequest(stream, pending, request)) {
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        arrived_.notify_all();
        const Reply reply = handler_(request);
        struct Out final : ReplyStream {
            LoopbackServer& server;
            Stream& stream;
            Out(LoopbackServer& s, Stream& st) : server(s), stream(st) {}
            bool write(std::string_view bytes) override { return stream.writeAll(bytes); }
            bool pause(std::chrono::milliseconds duration) override {
                std::unique_lock lock(server.mutex_);
                return !server.stopped_.wait_for(lock, duration, [&] { return server.stopping_; });
            }
        } out(*this, stream);
        const bool written = out.write(reply.bytes);
        if (written && reply.stream) reply.stream(out);
        open = written && reply.keepAlive;
        char byte;
        while (reply.hang && stream.read(&byte, 1) > 0) {
        }
        if (reply.reset) resetConnection(fd);
    }
    if (stream.ssl) SSL_free(stream.ssl);
    {
        std::lock_guard lock(mutex_);
        openFds_.erase(fd);
    }
    close(fd);
    arrived_.notify_all();
}

UnansweredListener::UnansweredListener() {
    // A backlog of 0 leaves room for one connection that is never accepted; it takes it.
    listenFd_ = loopbackListener(0, port_);
    fillerFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    if (connect(fillerFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("filling the accept queue");
}

UnansweredListener::~UnansweredListener() {
    close(fillerFd_);
    close(listenFd_);
}

std::string UnansweredListener::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

}  // namespace pv::test
