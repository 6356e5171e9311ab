#include "web/transfer.h"

#include <algorithm>

#include "core/convert.h"
#include "core/shutdown.h"
#include "core/window_wait.h"
#include "web/curl_global.h"

namespace pv {
namespace {

using Clock = std::chrono::steady_clock;

// Bounds the wait for socket activity, so that the shutdown and idle checks of the progress
// function run at least this often (libcurl's own loop waits up to a second).
constexpr int kPollMs = 50;
constexpr long kMaxRedirects = 30;
// A header block beyond this is a broken or hostile server, not a page.
constexpr std::size_t kHeaderCap = std::size_t{1} << 20;
// libcurl's receive buffer: the largest read a page fetch makes.
constexpr long kReadSize = 102400;

bool startsWithStatusLine(std::string_view line) {
    return line.size() >= 5 && line.substr(0, 5) == "HTTP/";
}

// Drives the transfers of `multi` until none is left running.
CURLcode runToEnd(CURLM* multi) {
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE) result = message->data.result;
            }
            break;
        }
        // Each pass runs the progress function, which gives up on shutdown or a silent peer.
        curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
    return result;
}

}  // namespace

Transfer::Transfer(Cookies cookies)
    : Transfer(cookies, Timeouts{transferLimits().connect, transferLimits().idle}) {}

Transfer::Transfer(Cookies cookies, Timeouts timeouts) {
    const TransferLimits limits = transferLimits();
    bodyCap_ = limits.bodyCap;
    idle_ = timeouts.idle;
    if (!initCurl()) return;
    easy_ = curl_easy_init();
    if (!easy_) return;

    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(easy_, option, value) == CURLE_OK;
    };
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_SHARE, curlShare(cookies == Cookies::ProcessStore));
    if (cookies != Cookies::Off) set(CURLOPT_COOKIEFILE, "");
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    // A direct connection unless the routine names a proxy: no proxy from the environment.
    set(CURLOPT_PROXY, "");
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    set(CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_BUFFERSIZE, kReadSize);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    set(CURLOPT_XFERINFODATA, this);
    if (!limits.caFile.empty()) set(CURLOPT_CAINFO, limits.caFile.c_str());
    valid_ = ok;
}

Transfer::~Transfer() {
    if (easy_) curl_easy_cleanup(easy_);
    curl_slist_free_all(headerList_);
}

bool Transfer::setHeaders(const TextArray& lines) {
    curl_slist* list = nullptr;
    auto append = [&](const std::string& line) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (grown) list = grown;
        return grown != nullptr;
    };
    bool ok = true;
    for (const std::string& line : lines)
        ok = ok && append(line);
    // An empty Expect line keeps libcurl from adding "Expect: 100-continue" to large bodies.
    ok = ok && append("Expect:");
    if (!ok || curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, list) != CURLE_OK) {
        curl_slist_free_all(list);
        return false;
    }
    curl_slist_free_all(headerList_);
    headerList_ = list;
    return true;
}

bool Transfer::setRequest(std::string_view verb, std::string body) {
    requestBody_ = std::move(body);
    if (verb == "HEAD") return curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L) == CURLE_OK;
    if (verb == "GET" && requestBody_.empty())
        return curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    bool ok = curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE,
                               static_cast<curl_off_t>(requestBody_.size())) == CURLE_OK &&
              curl_easy_setopt(easy_, CURLOPT_POSTFIELDS, requestBody_.data()) == CURLE_OK;
    // A plain POST leaves the verb to libcurl, which turns a redirected POST into a GET the way
    // browsers do; a custom verb would be kept on every hop.
    if (verb != "POST")
        ok = ok &&
             curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, std::string(verb).c_str()) == CURLE_OK;
    return ok;
}

CURLcode Transfer::perform() {
    if (!valid_) return CURLE_FAILED_INIT;
    CURLM* multi = curl_multi_init();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    if (curl_multi_add_handle(multi, easy_) != CURLM_OK) {
        curl_multi_cleanup(multi);
        return CURLE_FAILED_INIT;
    }
    lastActivity_ = Clock::now();
    CURLcode result = CURLE_OK;
    // On the window thread the loop runs on a thread of its own while the window serves its
    // events; the callbacks then run there too, and touch nothing but this transfer.
    waitServingWindow([&] { result = runToEnd(multi); });
    curl_multi_remove_handle(multi, easy_);
    curl_multi_cleanup(multi);
    return result;
}

bool Transfer::requestSent() const {
    long size = 0;
    return easy_ && curl_easy_getinfo(easy_, CURLINFO_REQUEST_SIZE, &size) == CURLE_OK && size > 0;
}

std::size_t Transfer::onBody(char* data, std::size_t, std::size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->lastActivity_ = Clock::now();
    const std::size_t room = t->bodyCap_ - std::min(t->bodyCap_, t->body_.size());
    const std::size_t taken = std::min(count, room);
    if (t->body_.capacity() - t->body_.size() < taken) t->growBody(taken);
    t->body_.append(data, taken);
    // Taking less than was offered makes libcurl end the transfer with a write error.
    if (taken < count) t->bodyCut_ = true;
    return taken;
}

// The body is sized once from its Content-Length where the response gives one, so a large body
// is never copied while it grows; otherwise it doubles up to 8 MiB and then takes the cap at once,
// so that no two large buffers are alive together. Never past the cap either way.
void Transfer::growBody(std::size_t more) {
    constexpr std::size_t kLastDoubling = std::size_t{8} << 20;
    const std::size_t needed = body_.size() + more;
    std::size_t size = std::max(needed, body_.capacity() * 2);
    if (size > kLastDoubling) size = bodyCap_;
    curl_off_t announced = -1;
    if (body_.empty() &&
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
        announced > 0) {
        size = std::max(needed, static_cast<std::size_t>(announced));
    }
    reserveBytes(body_, std::max(needed, std::min(size, bodyCap_)));
}

std::size_t Transfer::onHeader(char* data, std::size_t, std::size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->lastActivity_ = Clock::now();
    std::string_view line(data, count);
    // Every hop of a followed redirect and every interim response comes through here; the
    // block that counts is the one of the last response.
    if (startsWithStatusLine(line)) {
        t->headerBlock_.clear();
        t->gotStatus_ = true;
        t->headerComplete_ = false;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.empty()) t->headerComplete_ = true;
    t->headerBlock_.append(line).append("\r\n");
    return t->headerBlock_.size() > kHeaderCap ? 0 : count;
}

int Transfer::onProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                         curl_off_t uploaded) {
    auto* t = static_cast<Transfer*>(self);
    if (downloaded != t->lastDownloaded_ || uploaded != t->lastUploaded_) {
        t->lastDownloaded_ = downloaded;
        t->lastUploaded_ = uploaded;
        t->lastActivity_ = Clock::now();
    }
    return t->shouldAbort() ? 1 : 0;
}

bool Transfer::shouldAbort() const {
    return shuttingDown() || Clock::now() - lastActivity_ > idle_;
}

}  // namespace pv
