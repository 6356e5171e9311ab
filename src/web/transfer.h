// One HTTP request on its own libcurl easy handle, run to its end on the calling thread. It
// keeps the body (up to the body cap) and the raw header block of the last response, gives up
// on a peer that goes silent, and ends within a fraction of a second once the program is
// shutting down.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include <curl/curl.h>

#include "core/text.h"

namespace pv {

class Transfer {
  public:
    enum class Cookies {
        Off,           // no cookie engine: only a Cookie header line the caller writes is sent
        PerRequest,    // an engine that lives for this request (cookies carried over redirects)
        ProcessStore,  // the process's shared cookie store
    };
    struct Timeouts {
        std::chrono::milliseconds connect;
        std::chrono::milliseconds idle;
    };

    // The time-outs default to the process's transfer limits.
    explicit Transfer(Cookies cookies);
    Transfer(Cookies cookies, Timeouts timeouts);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // False when the handle or one of the common options could not be set up.
    bool valid() const { return valid_; }
    CURL* handle() const { return easy_; }

    // Header lines in the order they go on the wire. libcurl itself necessarily writes the Host
    // line first, then the credentials lines and the agent set as options, Proxy-Connection when
    // a proxy is asked for a plain page and Cookie from a cookie engine; the lines given here
    // follow, each replacing a line of the same name that libcurl would add, and Content-Length
    // of a body comes last.
    bool setHeaders(const TextArray& lines);
    // "GET", "POST", "HEAD" or "PUT" with its body. A GET with a body sends it; a HEAD never
    // carries one.
    bool setRequest(std::string_view verb, std::string body);

    // Keeps at most `bytes` of the body, below the process's body cap.
    void capBody(std::size_t bytes) { bodyCap_ = std::min(bodyCap_, bytes); }

    CURLcode perform();

    const std::string& body() const { return body_; }
    // Hands the body over instead of copying it; body() is empty afterwards.
    std::string takeBody() { return std::move(body_); }
    // The last response's header block: status line first, each line ending in CR LF,
    // the empty line that ends the block included.
    const std::string& headerBlock() const { return headerBlock_; }
    bool gotResponse() const { return gotStatus_; }
    // The request went out in full before the transfer ended.
    bool requestSent() const;
    // The body went past the cap and was cut there.
    bool bodyCut() const { return bodyCut_; }
    // The last response's header block arrived whole, up to the empty line that ends it.
    bool headerComplete() const { return headerComplete_; }

  private:
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                          curl_off_t uploaded);
    bool shouldAbort() const;
    void growBody(std::size_t more);

    CURL* easy_ = nullptr;
    curl_slist* headerList_ = nullptr;
    bool valid_ = false;
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
