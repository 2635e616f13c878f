#pragma once

// A one-thread TCP server on 127.0.0.1 for the HTTP client's tests, written on
// the same socket shim as the client so it runs natively and under Wine. It
// reads and records each request, then hands the connection to the test's
// handler; connections are served one after another, every wait is bounded.
#include "platform/SocketShim.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
inline const bool kWinsockStarted = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}();
const int kNoSignal = 0;
#else
const int kNoSignal = MSG_NOSIGNAL;  // a client that hung up must not kill the test
#endif

inline bool WaitReadable(SOCKET s, int ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(static_cast<int>(s + 1), &set, nullptr, nullptr, &tv) > 0;
}

// Reads a request up to its blank line (or close, or ms without a byte).
inline std::string ReadRequest(SOCKET c, int ms = 5000)
{
    std::string request;
    char chunk[512];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192 && WaitReadable(c, ms)) {
        const int n = recv(c, chunk, sizeof(chunk), 0);
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    return request;
}

inline bool SendAll(SOCKET c, const std::string& data)
{
    for (std::size_t sent = 0; sent < data.size();) {
        const int n = send(c, data.data() + sent, static_cast<int>(data.size() - sent), kNoSignal);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Waits until the client closes (or ms pass); true if it closed.
inline bool WaitForClose(SOCKET c, int ms)
{
    char sink[1024];
    return WaitReadable(c, ms) && recv(c, sink, sizeof(sink), 0) <= 0;
}

class LoopbackServer {
public:
    using Handler = std::function<void(SOCKET client, const std::string& request)>;

    explicit LoopbackServer(Handler handler, int backlog = 4) : handler_(std::move(handler))
    {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = LoopbackAddress(0);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        SocketLength length = sizeof(address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, backlog);
        if (handler_) thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        closesocket(listener_);
    }
    unsigned short port() const { return port_; }
    std::vector<std::string> requests()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return requests_;
    }
    static sockaddr_in LoopbackAddress(unsigned short port)
    {
        sockaddr_in address;
        std::memset(&address, 0, sizeof(address));
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(0x7F000001);
        address.sin_port = htons(port);
        return address;
    }

private:
    void Serve()
    {
        // Ends with the test, or after a minute whatever happens.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            if (!WaitReadable(listener_, 50)) continue;
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) continue;
            const std::string request = ReadRequest(client);
            {
                std::lock_guard<std::mutex> guard(lock_);
                requests_.push_back(request);
            }
            handler_(client, request);
            closesocket(client);
        }
    }

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
