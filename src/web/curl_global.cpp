#include "web/curl_global.h"

#include <memory>
#include <mutex>

#include "core/log.h"

namespace pv {
namespace {

struct Share {
    CURLSH* handle = nullptr;
    std::mutex locks[CURL_LOCK_DATA_LAST];
};

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void* share) {
    static_cast<Share*>(share)->locks[data].lock();
}

void unlockShare(CURL*, curl_lock_data data, void* share) {
    static_cast<Share*>(share)->locks[data].unlock();
}

// Kept for the life of the process: transfers on worker threads may still be running while
// static destructors run at exit. Null when the share cannot be set up.
Share* makeShare(bool withCookieStore) {
    auto share = std::make_unique<Share>();
    share->handle = curl_share_init();
    if (!share->handle) {
        logFailure("libcurl: no share handle");
        return nullptr;
    }
    CURLSHcode code = CURLSHE_OK;
    auto set = [&](CURLSHoption option, auto value) {
        if (code == CURLSHE_OK) code = curl_share_setopt(share->handle, option, value);
    };
    set(CURLSHOPT_LOCKFUNC, lockShare);
    set(CURLSHOPT_UNLOCKFUNC, unlockShare);
    set(CURLSHOPT_USERDATA, share.get());
    set(CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    set(CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    if (withCookieStore) set(CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    if (code != CURLSHE_OK) {
        logFailure(std::string("libcurl: the shared caches cannot be set up: ") +
                   curl_share_strerror(code));
        curl_share_cleanup(share->handle);
        return nullptr;
    }
    return share.release();
}

std::once_flag g_once;
bool g_ready = false;
Share* g_plain = nullptr;
Share* g_withCookies = nullptr;

std::mutex g_limitsMutex;
TransferLimits g_limits;

}  // namespace

bool initCurl() {
    std::call_once(g_once, [] {
        const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
        if (code != CURLE_OK) {
            logFailure(std::string("libcurl cannot be set up: ") + curl_easy_strerror(code));
            return;
        }
        g_plain = makeShare(false);
        g_withCookies = makeShare(true);
        g_ready = g_plain && g_withCookies;
    });
    return g_ready;
}

std::string absoluteHttpAddress(const std::string& address, bool keepCredentials) {
    initCurl();  // the address parser works either way
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) return {};
    auto part = [&](CURLUPart which) {
        char* text = nullptr;
        if (curl_url_get(url.get(), which, &text, 0) != CURLUE_OK) return std::string();
        std::string copy = text;
        curl_free(text);
        return copy;
    };
    const std::string scheme = part(CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") return {};
    if (!keepCredentials) {
        curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
        curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
    }
    return part(CURLUPART_URL);
}

CURLSH* curlShare(bool withCookieStore) {
    if (!initCurl()) return nullptr;
    return (withCookieStore ? g_withCookies : g_plain)->handle;
}

void clearCookieStore() {
    if (!initCurl()) return;
    CURL* easy = curl_easy_init();
    CURLcode code =
        easy ? curl_easy_setopt(easy, CURLOPT_SHARE, curlShare(true)) : CURLE_OUT_OF_MEMORY;
    if (code == CURLE_OK) code = curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
    if (code != CURLE_OK)
        logFailure(std::string("libcurl: the cookie store cannot be cleared: ") +
                   curl_easy_strerror(code));
    if (easy) curl_easy_cleanup(easy);
}

TransferLimits transferLimits() {
    std::lock_guard lock(g_limitsMutex);
    return g_limits;
}

void setTransferTimeoutsForTesting(std::chrono::milliseconds connect,
                                   std::chrono::milliseconds idle) {
    std::lock_guard lock(g_limitsMutex);
    g_limits.connect = connect;
    g_limits.idle = idle;
}

void setTransferDeadlineForTesting(std::chrono::milliseconds deadline) {
    std::lock_guard lock(g_limitsMutex);
    g_limits.deadline = deadline;
}

void setBodyCapForTesting(std::size_t bytes) {
    std::lock_guard lock(g_limitsMutex);
    g_limits.bodyCap = bytes;
}

void setCaFileForTesting(const std::string& path) {
    std::lock_guard lock(g_limitsMutex);
    g_limits.caFile = path;
}

void resetTransferLimitsForTesting() {
    std::lock_guard lock(g_limitsMutex);
    g_limits = TransferLimits{};
}

}  // namespace pv
