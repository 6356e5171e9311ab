#include "web/transfer.h"

#include <algorithm>

#include "core/convert.h"
#include "core/shutdown.h"
#include "core/text.h"
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

// A line of that name among `lines`, the name compared in any letter case.
bool hasLine(const TextArray& lines, std::string_view name) {
    for (const std::string& line : lines) {
        if (compareText(leftText(line, textLength(name)), name, false) == 0) return true;
    }
    return false;
}

// The calling thread's multi handle. It holds the thread's connection cache, so that a thread's
// next request to a site goes over the connection its last one left open; the handle and the
// connections it keeps are closed when the thread ends. libcurl's own rule keeps a request off a
// cached connection made for another proxy or TLS set-up; cookies and server credentials travel
// with each request, never with its connection, and proxy credentials keep off the cache.
class ThreadMulti {
  public:
    ThreadMulti() = default;
    ~ThreadMulti() {
        if (multi_) curl_multi_cleanup(multi_);
    }
    ThreadMulti(const ThreadMulti&) = delete;
    ThreadMulti& operator=(const ThreadMulti&) = delete;

    // Null while a transfer of this thread runs on it (a transfer started from inside another
    // one's callback): that one then gets a multi handle of its own.
    CURLM* take() {
        if (busy_) return nullptr;
        if (!multi_) multi_ = curl_multi_init();
        busy_ = multi_ != nullptr;
        return multi_;
    }
    void give(CURLM* multi) {
        if (multi == multi_) busy_ = false;
    }

  private:
    CURLM* multi_ = nullptr;
    bool busy_ = false;
};

thread_local ThreadMulti t_multi;

// Runs one configured easy handle to its end on whatever thread calls it. Each pass of the loop
// runs the progress function, which gives up on shutdown or a silent peer.
CURLcode runToEnd(CURL* easy) {
    CURLM* multi = t_multi.take();
    CURLM* own = multi ? nullptr : curl_multi_init();
    if (own) multi = own;
    if (!multi) return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_FAILED_INIT;
    if (curl_multi_add_handle(multi, easy) == CURLM_OK) {
        for (bool done = false; !done;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) break;
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                    result = message->data.result;
                    done = true;
                }
            }
            if (running == 0) break;
            if (!done && curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) break;
        }
        curl_multi_remove_handle(multi, easy);
    }
    if (own)
        curl_multi_cleanup(own);
    else
        t_multi.give(multi);
    return result;
}

}  // namespace

std::string_view verbOf(int method, int highest) {
    constexpr std::string_view kVerbs[] = {"GET", "POST", "HEAD", "PUT"};
    return method < 0 || method > highest || method > 3 ? kVerbs[0] : kVerbs[method];
}

Transfer::Transfer(const Request& request) {
    if (!initCurl()) return;
    easy_ = curl_easy_init();
    if (!easy_) return;
    setup_ = configure(request);
}

Transfer::~Transfer() {
    if (easy_) curl_easy_cleanup(easy_);
    curl_slist_free_all(headerList_);
}

Transfer::Setup Transfer::configure(const Request& request) {
    const TransferLimits limits = transferLimits();
    const Request::Timeouts timeouts =
        request.timeouts.value_or(Request::Timeouts{limits.connect, limits.idle});
    bodyCap_ = request.bodyCap > 0 ? std::min(limits.bodyCap, request.bodyCap) : limits.bodyCap;
    idle_ = timeouts.idle;

    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(easy_, option, value) == CURLE_OK;
        return ok;
    };
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_SHARE, curlShare(request.cookies == Request::Cookies::ProcessStore));
    if (request.cookies != Request::Cookies::Off) set(CURLOPT_COOKIEFILE, "");
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    // However steadily a site trickles, the whole transfer ends by the deadline.
    set(CURLOPT_TIMEOUT_MS, static_cast<long>(limits.deadline.count()));
    set(CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_BUFFERSIZE, kReadSize);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    set(CURLOPT_XFERINFODATA, this);
    if (!limits.caFile.empty()) set(CURLOPT_CAINFO, limits.caFile.c_str());
    if (!request.agent.empty()) set(CURLOPT_USERAGENT, request.agent.c_str());
    if (!ok) return Setup::Session;
    // Set even when empty: no proxy from the environment.
    if (!set(CURLOPT_PROXY, request.proxy.c_str())) return Setup::Proxy;
    if (!set(CURLOPT_URL, request.url.c_str())) return Setup::Address;
    if (!set(CURLOPT_HTTP_VERSION, request.version == Request::Version::Http10
                                       ? CURL_HTTP_VERSION_1_0
                                       : CURL_HTTP_VERSION_1_1) ||
        !setMethod(request)) {
        return Setup::Method;
    }
    auto hasBoth = [](const Request::Credentials& c) {
        return !c.user.empty() && !c.password.empty();
    };
    if (hasBoth(request.server) && !(set(CURLOPT_HTTPAUTH, CURLAUTH_BASIC) &&
                                     set(CURLOPT_USERNAME, request.server.user.c_str()) &&
                                     set(CURLOPT_PASSWORD, request.server.password.c_str()))) {
        return Setup::Credentials;
    }
    // Basic credentials to a server go with every request. Those to a proxy may be bound to the
    // tunnel it let through once, so a request with proxy credentials neither takes a kept
    // connection nor leaves its own behind.
    if (hasBoth(request.proxyCredentials) &&
        !(set(CURLOPT_PROXYAUTH, CURLAUTH_BASIC) &&
          set(CURLOPT_PROXYUSERNAME, request.proxyCredentials.user.c_str()) &&
          set(CURLOPT_PROXYPASSWORD, request.proxyCredentials.password.c_str()) &&
          set(CURLOPT_FRESH_CONNECT, 1L) && set(CURLOPT_FORBID_REUSE, 1L))) {
        return Setup::Credentials;
    }
    if (!set(CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L)) return Setup::Redirects;
    if (!setHeaders(request)) return Setup::Headers;
    return Setup::Ok;
}

bool Transfer::setHeaders(const Request& request) {
    curl_slist* list = nullptr;
    auto append = [&](const std::string& line) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (grown) list = grown;
        return grown != nullptr;
    };
    bool ok = true;
    for (const std::string& line : request.headers)
        ok = ok && append(line);
    // No cache on the way may answer in the server's place.
    if (request.reload && !hasLine(request.headers, "Pragma:"))
        ok = ok && append("Pragma: no-cache");
    if (request.reload && !hasLine(request.headers, "Cache-Control:"))
        ok = ok && append("Cache-Control: no-cache");
    // An empty Expect line keeps libcurl from adding "Expect: 100-continue" to large bodies.
    ok = ok && append("Expect:");
    if (!ok || curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, list) != CURLE_OK) {
        curl_slist_free_all(list);
        return false;
    }
    headerList_ = list;
    return true;
}

bool Transfer::setMethod(const Request& request) {
    const std::string_view verb = request.verb;
    requestBody_ = request.body;
    if (verb == "HEAD") return curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L) == CURLE_OK;
    if (verb == "GET" && requestBody_.empty())
        return curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    bool ok = curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE,
                               static_cast<curl_off_t>(requestBody_.size())) == CURLE_OK &&
              curl_easy_setopt(easy_, CURLOPT_POSTFIELDS, requestBody_.data()) == CURLE_OK;
    // A plain POST leaves the verb to libcurl, which turns a redirected POST into a GET the way
    // browsers do; a custom verb would be kept on every hop.
    if (verb != "POST")
        ok = ok && curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, request.verb.c_str()) == CURLE_OK;
    return ok;
}

CURLcode Transfer::perform() {
    if (!valid()) return CURLE_FAILED_INIT;
    lastActivity_ = Clock::now();
    CURLcode result = CURLE_OK;
    // On the window thread the loop runs on a thread of its own while the window serves its
    // events; the callbacks then run there too, and touch nothing but this transfer.
    waitServingWindow([&] { result = runToEnd(easy_); });
    headerBlock_ = replaceText(headerBlock_, "Set-Cookie", "Set-Cookie", 1, -1, false);
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
