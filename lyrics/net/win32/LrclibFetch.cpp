#include "lyrics/net/LrclibFetch.h"

#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/LrclibRequest.h"
#include "platform/CodePage.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <process.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// The caller waits this much past the deadline for the exchange's own
// answer (its last wait ends at the deadline) before it stops waiting.
const int kLrclibDeadlineSlackMs = 1000;

// Host and path are ASCII by construction (see ParseLrclibUrl, PercentEncode).
std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle()
    {
        if (h_) ::WinHttpCloseHandle(h_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    operator HINTERNET() const { return h_; }

private:
    HINTERNET h_;
};

HttpExchange NotAnswered(const std::string& why)
{
    HttpExchange exchange;
    exchange.reason = why;
    return exchange;
}

HttpExchange Failed(const char* step, DWORD error)
{
    const char* what = nullptr;
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: what = "name not resolved"; break;
    case ERROR_WINHTTP_CANNOT_CONNECT: what = "cannot connect"; break;
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: what = "timed out"; break;  // Wine's WinHTTP gives WinSock's code
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case WSAECONNRESET: what = "connection cut"; break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: what = "TLS or certificate refused"; break;
    default: what = "failed"; break;
    }
    return NotAnswered(std::string(step) + ": " + what + " (error " + std::to_string(error) + ")");
}

DWORD LastError()
{
    const DWORD error = ::GetLastError();
    return error ? error : ERROR_WINHTTP_INTERNAL_ERROR;
}

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The next step waits at most its own bound or until the deadline, whichever
// comes first. False when the deadline has passed.
bool BoundNextStep(HINTERNET request, Clock::time_point deadline)
{
    const int wait = std::min(kLrclibStepMs, MillisecondsLeft(deadline));
    if (wait <= 0) return false;
    ::WinHttpSetTimeouts(request, wait, wait, wait, wait);
    // Waiting for the headers has a bound of its own (90 s by default) on
    // newer systems; older ones do not know the option, and then the receive
    // bound above covers it.
    DWORD headers = static_cast<DWORD>(wait);
    ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headers, sizeof(headers));
    return true;
}

// The process's one WinHTTP session, made by the first request (under the
// request lock) and kept for the process's life: proxy detection happens
// once, not per song.
struct Session {
    HINTERNET handle = nullptr;
    // Before Windows 8.1 with "detect automatically" or a script in the
    // user's Internet Options: the proxy found for the first request, kept.
    bool autoProxy = false;
    bool autoProxyLooked = false;
    WINHTTP_AUTOPROXY_OPTIONS autoProxyOptions = {};
    std::wstring autoConfigUrl;
    std::wstring proxy, bypass;
};

void OpenSession(Session* s)
{
    const std::wstring agent = Widen(kLrclibUserAgent);
    // The system's proxy settings, per user, from Windows 8.1 on.
    s->handle = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    if (!s->handle) {
        // Older systems refuse that: the user's Internet Options proxy then.
        WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie = {};
        if (::WinHttpGetIEProxyConfigForCurrentUser(&ie)) {
            if (ie.lpszProxy && *ie.lpszProxy) {
                s->handle = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NAMED_PROXY, ie.lpszProxy,
                                          ie.lpszProxyBypass ? ie.lpszProxyBypass : WINHTTP_NO_PROXY_BYPASS, 0);
            } else if (ie.fAutoDetect || (ie.lpszAutoConfigUrl && *ie.lpszAutoConfigUrl)) {
                s->autoProxy = true;
                if (ie.lpszAutoConfigUrl && *ie.lpszAutoConfigUrl) {
                    s->autoConfigUrl = ie.lpszAutoConfigUrl;
                    s->autoProxyOptions.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
                    s->autoProxyOptions.lpszAutoConfigUrl = s->autoConfigUrl.c_str();
                } else {
                    s->autoProxyOptions.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
                    s->autoProxyOptions.dwAutoDetectFlags =
                        WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
                }
                s->autoProxyOptions.fAutoLogonIfChallenged = TRUE;
            }
            for (LPWSTR text : {ie.lpszProxy, ie.lpszProxyBypass, ie.lpszAutoConfigUrl})
                if (text) ::GlobalFree(text);
        }
    }
    // Else the machine's WinHTTP proxy setting.
    if (!s->handle)
        s->handle = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
    if (!s->handle) return;
    // TLS 1.2 is asked for by name, since older systems do not offer it
    // unless asked; 1.3 too where the system has it. Nothing older.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!::WinHttpSetOption(s->handle, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols))) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        ::WinHttpSetOption(s->handle, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols));
    }
    // A redirect is an answer of its own (could not ask), never followed.
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    ::WinHttpSetOption(s->handle, WINHTTP_OPTION_REDIRECT_POLICY, &redirects, sizeof(redirects));
}

// Applies the automatically found proxy, looked up once per process.
void ApplyAutoProxy(Session* s, HINTERNET request, const std::wstring& url)
{
    if (!s->autoProxy) return;
    if (!s->autoProxyLooked) {
        s->autoProxyLooked = true;
        WINHTTP_PROXY_INFO info = {};
        if (::WinHttpGetProxyForUrl(s->handle, url.c_str(), &s->autoProxyOptions, &info)) {
            if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && info.lpszProxy) {
                s->proxy = info.lpszProxy;
                if (info.lpszProxyBypass) s->bypass = info.lpszProxyBypass;
            }
            if (info.lpszProxy) ::GlobalFree(info.lpszProxy);
            if (info.lpszProxyBypass) ::GlobalFree(info.lpszProxyBypass);
        }
    }
    if (s->proxy.empty()) return;
    WINHTTP_PROXY_INFO info = {};
    info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    info.lpszProxy = &s->proxy[0];
    info.lpszProxyBypass = s->bypass.empty() ? nullptr : &s->bypass[0];
    ::WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof(info));
}

// One request at a time in the process: held by the exchange's thread from
// before it opens anything until it has closed everything, so that it can
// be released by that thread even after its caller stopped waiting. Both
// live until the process is gone (never destroyed): a watcher left running
// when the window ends may still be asking while statics are torn down.
HANDLE Gate()
{
    static HANDLE gate = ::CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return gate;
}

Session& TheSession()
{
    static Session* session = new Session;
    return *session;
}

// One exchange, shared by its caller and the thread that runs it; the last
// of the two to let go deletes it.
struct Ask {
    LrclibAddress server;
    std::string path;
    Clock::time_point deadline;
    HttpExchange result;
    HANDLE done = nullptr;
    CRITICAL_SECTION lock;
    HINTERNET request = nullptr;  // while the exchange runs, for the caller to close at the deadline
    bool abandoned = false;       // the caller stopped waiting
    LONG references = 2;

    Ask() { ::InitializeCriticalSection(&lock); }
    ~Ask()
    {
        if (done) ::CloseHandle(done);
        ::DeleteCriticalSection(&lock);
    }
    void Release()
    {
        if (::InterlockedDecrement(&references) == 0) delete this;
    }
};

bool QueryText(HINTERNET request, DWORD what, std::wstring* text)
{
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return false;
    text->assign(buffer.data());
    return true;
}

// The body as it arrives: only what is there is read, so one call never
// waits for a buffer to fill.
HttpExchange ReadBody(HINTERNET request, Clock::time_point deadline, HttpExchange exchange)
{
    std::wstring lengthText;
    unsigned long long length = 0;
    const bool hasLength = QueryText(request, WINHTTP_QUERY_CONTENT_LENGTH, &lengthText) && !lengthText.empty() &&
                           lengthText.size() <= 19 &&
                           std::all_of(lengthText.begin(), lengthText.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    if (hasLength) length = std::stoull(lengthText);
    if (hasLength && length > kLrclibBodyMax) return NotAnswered("answer over 1 MiB");

    std::vector<char> chunk;
    for (;;) {
        if (!BoundNextStep(request, deadline)) return NotAnswered("receive: timed out (whole call)");
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request, &available)) return Failed("receive", LastError());
        if (available == 0) break;
        if (available > kLrclibBodyMax - exchange.body.size()) return NotAnswered("answer over 1 MiB");
        chunk.resize(available);
        DWORD read = 0;
        if (!::WinHttpReadData(request, chunk.data(), available, &read)) return Failed("receive", LastError());
        if (read == 0) break;
        exchange.body.append(chunk.data(), read);
    }
    if (hasLength && exchange.body.size() != length) return NotAnswered("answer shorter than its Content-Length");
    return exchange;
}

// The request handle, published for the caller; closed by whichever of the
// two gets there first.
class RequestHandle {
public:
    RequestHandle(Ask* ask, HINTERNET request) : ask_(ask)
    {
        ::EnterCriticalSection(&ask_->lock);
        if (ask_->abandoned)
            ::WinHttpCloseHandle(request);
        else
            ask_->request = request;
        ::LeaveCriticalSection(&ask_->lock);
    }
    ~RequestHandle()
    {
        ::EnterCriticalSection(&ask_->lock);
        if (ask_->request) ::WinHttpCloseHandle(ask_->request);
        ask_->request = nullptr;
        ::LeaveCriticalSection(&ask_->lock);
    }
    RequestHandle(const RequestHandle&) = delete;
    RequestHandle& operator=(const RequestHandle&) = delete;
    bool Abandoned()
    {
        ::EnterCriticalSection(&ask_->lock);
        const bool abandoned = ask_->abandoned;
        ::LeaveCriticalSection(&ask_->lock);
        return abandoned;
    }

private:
    Ask* ask_;
};

HttpExchange Exchange(Ask* ask)
{
    const LrclibAddress& server = ask->server;
    const std::string& path = ask->path;
    const Clock::time_point deadline = ask->deadline;
    Session& session = TheSession();
    if (!session.handle) OpenSession(&session);
    if (!session.handle) return Failed("open", LastError());

    InternetHandle connection(::WinHttpConnect(session.handle, Widen(server.host).c_str(), server.port, 0));
    if (!connection) return Failed("connect", LastError());
    // The path is encoded already: WinHTTP must send it as it is. No flag
    // ever turns the certificate checks off.
    const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                        (server.secure ? WINHTTP_FLAG_SECURE : 0);
    const HINTERNET request = ::WinHttpOpenRequest(connection, L"GET", Widen(path).c_str(), nullptr,
                                                   WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    if (!request) return Failed("request", LastError());
    RequestHandle owner(ask, request);  // the caller may close it at the deadline from here on
    if (owner.Abandoned()) return NotAnswered("timed out (whole call)");
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    ::WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof(noRedirects));
    ApplyAutoProxy(&session, request,
                   Widen((server.secure ? "https://" : "http://") + server.host + ":" + std::to_string(server.port) +
                         path));

    HttpExchange exchange;
    // Every failure after the deadline is the deadline's doing.
    auto failed = [&](const char* step) {
        const DWORD error = LastError();
        return owner.Abandoned() ? NotAnswered(std::string(step) + ": timed out (whole call)") : Failed(step, error);
    };
    if (!BoundNextStep(request, deadline)) return NotAnswered("send: timed out (whole call)");
    if (!::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return failed("send");
    if (!BoundNextStep(request, deadline)) return NotAnswered("receive: timed out (whole call)");
    if (!::WinHttpReceiveResponse(request, nullptr)) return failed("receive");

    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
        return failed("receive");
    exchange.answered = true;
    exchange.status = static_cast<int>(code);
    std::wstring retryAfter;
    if (QueryText(request, WINHTTP_QUERY_RETRY_AFTER, &retryAfter)) exchange.retryAfter = Narrow(retryAfter);
    // Only a 200 carries a lyric; other answers are judged by their status.
    if (exchange.status != 200) return exchange;
    exchange = ReadBody(request, deadline, std::move(exchange));
    if (!exchange.answered && owner.Abandoned()) return NotAnswered("receive: timed out (whole call)");
    return exchange;
}

unsigned __stdcall RunAsk(void* param)
{
    Ask* ask = static_cast<Ask*>(param);
    try {
        ask->result = Exchange(ask);
    } catch (...) {
        ask->result = NotAnswered("out of memory");
    }
    ::ReleaseSemaphore(Gate(), 1, nullptr);
    ::SetEvent(ask->done);
    ask->Release();
    return 0;
}
}  // namespace

HttpExchange LrclibAsk(const LrclibAddress& server, const std::string& pathAndQuery)
{
    if (!server.unusable.empty()) return NotAnswered(server.unusable);
    // The whole call's bound starts now: waiting for an earlier request
    // counts, so a caller never waits longer than one bound.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kLrclibTotalMs);
    if (::WaitForSingleObject(Gate(), static_cast<DWORD>(kLrclibTotalMs)) != WAIT_OBJECT_0)
        return NotAnswered("an earlier request has not ended");

    Ask* ask = nullptr;
    try {
        ask = new Ask;
        ask->server = server;
        ask->path = server.pathPrefix + pathAndQuery;
    } catch (...) {
        delete ask;
        ::ReleaseSemaphore(Gate(), 1, nullptr);
        throw;
    }
    ask->deadline = deadline;
    ask->done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // The exchange runs on a thread of its own, so that the caller can stop
    // waiting at the deadline whatever WinHTTP is waiting for: a server that
    // trickles its headers or a TLS handshake byte by byte keeps every single
    // wait short and would otherwise never end.
    const uintptr_t thread = ask->done ? _beginthreadex(nullptr, 0, &RunAsk, ask, 0, nullptr) : 0;
    if (!thread) {
        const DWORD error = LastError();
        delete ask;
        ::ReleaseSemaphore(Gate(), 1, nullptr);
        return Failed("thread", error);
    }
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));

    HttpExchange result;
    const DWORD wait = static_cast<DWORD>(MillisecondsLeft(deadline)) + kLrclibDeadlineSlackMs;
    if (::WaitForSingleObject(ask->done, wait) == WAIT_OBJECT_0) {
        result = std::move(ask->result);
    } else {
        // Closing the request ends the call waiting on it (on Windows); the
        // thread then closes the rest and opens the gate for the next request.
        ::EnterCriticalSection(&ask->lock);
        ask->abandoned = true;
        if (ask->request) ::WinHttpCloseHandle(ask->request);
        ask->request = nullptr;
        ::LeaveCriticalSection(&ask->lock);
        result = NotAnswered("timed out (whole call)");
    }
    ask->Release();
    return result;
}

LyricResult FetchLrclibLyric(const LrclibAddress& server, const char* artist, const char* title)
{
    if (!server.unusable.empty()) return LyricResult::CouldNotAsk(server.unusable);
    // Nothing to ask for: no request would ever find it.
    if (!*artist || !*title) return LyricResult::NotFound();
    std::string artistUtf8, titleUtf8;
    if (!AnsiToUtf8(artist, &artistUtf8) || !AnsiToUtf8(title, &titleUtf8))
        return LyricResult::CouldNotAsk("artist or title does not convert to UTF-8");
    LyricResult result = LrclibResultFromExchange(LrclibAsk(server, LrclibRequestPath(artistUtf8, titleUtf8)));
    if (result.outcome != LyricOutcome::Found) return result;
    std::string ansi;
    if (!Utf8ToAnsi(result.lyric, &ansi)) return LyricResult::CouldNotAsk("the lyric does not convert to ANSI text");
    return LyricResult::Found(std::move(ansi));
}
