#include "body_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

BodyServer::BodyServer(std::size_t bytes) : bytes_(bytes) {
    while (block_.size() < (1 << 20))
        block_ += "20161201001期 【乾坤】本期杀尾 3 中\r\n";
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listenFd_, 16) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

BodyServer::~BodyServer() {
    stopping_ = true;
    shutdown(listenFd_, SHUT_RDWR);
    thread_.join();
    close(listenFd_);
}

std::string BodyServer::url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/plan.txt";
}

// One connection at a time, which is all the benchmarks make.
void BodyServer::serve() {
    while (!stopping_) {
        pollfd listening{listenFd_, POLLIN, 0};
        if (poll(&listening, 1, 200) <= 0) continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::string request;
        char chunk[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            request.append(chunk, static_cast<std::size_t>(n));
        }
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bytes_) +
                                 "\r\nConnection: close\r\n\r\n";
        bool open =
            send(fd, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size());
        for (std::size_t sent = 0; open && sent < bytes_ && !stopping_;) {
            const std::size_t n = std::min(block_.size(), bytes_ - sent);
            const ssize_t written = send(fd, block_.data(), n, MSG_NOSIGNAL);
            open = written > 0;
            if (open) sent += static_cast<std::size_t>(written);
        }
        close(fd);
    }
}

}  // namespace bench
