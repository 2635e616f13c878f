#include "lyrics/net/win32/WinHttpGet.h"

#include "core/lyrics/LrclibRequest.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

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

// Host and path are ASCII by construction (see ParseLrclibUrl, PercentEncode).
std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Every wait from here on ends by the next step's bound or the deadline,
// whichever comes first.
bool BoundWaits(HINTERNET h, Clock::time_point deadline)
{
    const int wait = std::min(kWebStepMs, MillisecondsLeft(deadline));
    if (wait <= 0) return false;
    if (!::WinHttpSetTimeouts(h, wait, wait, wait, wait)) return false;
    // Waiting for the headers has a bound of its own (90 s by default) on
    // newer systems; older ones do not know the option, and then the receive
    // bound above covers it.
    DWORD headers = static_cast<DWORD>(wait);
    ::WinHttpSetOption(h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headers, sizeof(headers));
    return true;
}

DWORD Failure()
{
    const DWORD error = ::GetLastError();
    return error ? error : ERROR_WINHTTP_INTERNAL_ERROR;
}

HINTERNET OpenSession()
{
    const std::wstring agent = Widen(kLrclibUserAgent);
    // The system's proxy settings, per user, from Windows 8.1 on; before it,
    // the machine's WinHTTP proxy setting.
    HINTERNET session = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                      WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0);
    return session;
}

// TLS 1.2 is asked for by name, since older systems do not offer it unless
// asked; 1.3 too where the system has it. Nothing older is allowed.
bool RequireModernTls(HINTERNET session)
{
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols))) return true;
    protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    return ::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols)) != FALSE;
}
}  // namespace

unsigned long WinHttpGet(const LrclibAddress& server, const std::string& path, std::size_t bodyMax, int* status,
                         std::string* body)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWebTotalMs);
    body->clear();

    InternetHandle session(OpenSession());
    if (!session) return Failure();
    if (server.secure && !RequireModernTls(session)) return Failure();
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    ::WinHttpSetOption(session, WINHTTP_OPTION_REDIRECT_POLICY, &redirects, sizeof(redirects));
    if (!BoundWaits(session, deadline)) return Failure();

    InternetHandle connection(::WinHttpConnect(session, Widen(server.host).c_str(), server.port, 0));
    if (!connection) return Failure();
    // The path is encoded already: WinHTTP must send it as it is. No flag
    // ever turns the certificate checks off.
    const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                        (server.secure ? WINHTTP_FLAG_SECURE : 0);
    InternetHandle request(::WinHttpOpenRequest(connection, L"GET", Widen(path).c_str(), nullptr,
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) return Failure();
    if (!BoundWaits(request, deadline)) return ERROR_WINHTTP_TIMEOUT;
    if (!::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return Failure();
    if (!BoundWaits(request, deadline)) return ERROR_WINHTTP_TIMEOUT;
    if (!::WinHttpReceiveResponse(request, nullptr)) return Failure();

    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
        return Failure();
    *status = static_cast<int>(code);

    std::vector<char> chunk(64 * 1024);
    for (;;) {
        if (!BoundWaits(request, deadline)) return ERROR_WINHTTP_TIMEOUT;
        DWORD read = 0;
        if (!::WinHttpReadData(request, chunk.data(), static_cast<DWORD>(chunk.size()), &read)) return Failure();
        if (read == 0) break;
        if (read > bodyMax - body->size()) return ERROR_FILE_TOO_LARGE;
        body->append(chunk.data(), read);
    }
    return 0;
}
