// One HTTP request described as a value and run to its end on the calling thread. The request
// keeps the body (up to the body cap) and the raw header block of the last response, gives up on
// a peer that goes silent or on a transfer that outlasts its deadline, and ends within a fraction
// of a second once the program is shutting down. This is the only place that talks to libcurl's
// easy and multi interfaces; the page-fetch routines only describe what they send.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <curl/curl.h>

#include "core/text.h"

namespace pv {

// The verb of a routine's method number: 0 GET, 1 POST, 2 HEAD, 3 PUT, as far as `highest`; any
// other number is GET.
std::string_view verbOf(int method, int highest);

struct Request {
    enum class Cookies {
        Off,           // no cookie engine: only a Cookie header line the caller writes is sent
        PerRequest,    // an engine that lives for this request (cookies carried over redirects)
        ProcessStore,  // the process's shared cookie store
    };
    enum class Version { Http10, Http11 };
    // Basic authentication; sent only when both parts are non-empty.
    struct Credentials {
        std::string user;
        std::string password;
    };
    struct Timeouts {
        std::chrono::milliseconds connect;
        std::chrono::milliseconds idle;
    };

    // An absolute http or https address as libcurl reads it; a user name and password in it go
    // with the request as basic credentials.
    std::string url;
    // "GET", "POST", "HEAD" or "PUT" with its body. A GET with a body sends it; a HEAD never
    // carries one.
    std::string verb = "GET";
    std::string body;
    // Header lines in the order they go on the wire. libcurl itself necessarily writes the Host
    // line first, then the credentials lines and the agent, Proxy-Connection when a proxy is
    // asked for a plain page and Cookie from a cookie engine; these lines follow, each replacing
    // a line of the same name that libcurl would add, and Content-Length of a body comes last.
    TextArray headers;
    // Every request is a reload: "Pragma: no-cache" and "Cache-Control: no-cache" follow the
    // header lines unless they carry lines of those names (in any letter case) already.
    bool reload = false;
    // The agent libcurl writes after the credentials lines; empty: none.
    std::string agent;
    std::string proxy;  // empty: a direct connection, whatever the environment says
    Version version = Version::Http11;
    bool followRedirects = true;
    Credentials server;
    Credentials proxyCredentials;
    Cookies cookies = Cookies::Off;
    // Left out: the process's transfer limits. The overall deadline is the process's either way.
    std::optional<Timeouts> timeouts;
    // At most this much of the body is kept; 0: the process's body cap, which also bounds this.
    std::size_t bodyCap = 0;
};

class Transfer {
  public:
    // The part of the request that could not be handed to libcurl, in the order they are set.
    enum class Setup { Ok, Session, Proxy, Address, Method, Credentials, Redirects, Headers };

    explicit Transfer(const Request& request);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    Setup setup() const { return setup_; }
    bool valid() const { return setup_ == Setup::Ok; }

    // Runs the request to its end on the calling thread. Connections that the server keeps open
    // are kept for the thread's next request to the same site (a request never takes over
    // another's cookies, credentials or proxy with it), and closed when the thread ends.
    CURLcode perform();

    const std::string& body() const { return body_; }
    // Hands the body over instead of copying it; body() is empty afterwards.
    std::string takeBody() { return std::move(body_); }
    // The last response's header block: status line first, each line ending in CR LF, the empty
    // line that ends the block included, and every "Set-Cookie" name, in whatever letter case it
    // came, spelt "Set-Cookie".
    const std::string& headerBlock() const { return headerBlock_; }
    bool gotResponse() const { return gotStatus_; }
    // The request went out in full before the transfer ended.
    bool requestSent() const;
    // The body went past the cap and was cut there.
    bool bodyCut() const { return bodyCut_; }
    // The last response's header block arrived whole, up to the empty line that ends it.
    bool headerComplete() const { return headerComplete_; }

  private:
    Setup configure(const Request& request);
    bool setHeaders(const Request& request);
    bool setMethod(const Request& request);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                          curl_off_t uploaded);
    bool shouldAbort() const;
    void growBody(std::size_t more);

    CURL* easy_ = nullptr;
    curl_slist* headerList_ = nullptr;
    Setup setup_ = Setup::Session;
    // libcurl copies every text option but the body, which it reads during the transfer.
    std::string requestBody_;
    std::string body_;
    std::string headerBlock_;
    bool gotStatus_ = false;
    bool bodyCut_ = false;
    bool headerComplete_ = false;
    std::size_t bodyCap_ = 0;
    std::chrono::milliseconds idle_{0};
    std::chrono::steady_clock::time_point lastActivity_;
    curl_off_t lastDownloaded_ = 0;
    curl_off_t lastUploaded_ = 0;
};

}  // namespace pv
