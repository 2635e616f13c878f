// The HTTP client against servers on 127.0.0.1: bytes on the wire, the
// response stored verbatim and terminated, the buffer bound, the waits, and
// input refused before anything is sent.
#include "LoopbackServer.h"
#include "lyrics/net/FetchLyric.h"
#include "lyrics/net/HttpGet.h"
#include "lyrics/net/LyricsSite.h"

#include <gtest/gtest.h>

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Result {
    bool ok = false;
    int received = -7;  // left as is when nothing was sent
    std::string text;
};

// One call with its waits given; checks what every successful call promises.
Result Get(unsigned short port, const std::string& path, int capacity = 100000, int waitMs = 5000,
           int totalMs = 20000, const char* host = "127.0.0.1")
{
    std::vector<char> buffer(static_cast<std::size_t>(capacity) + 1, 'x');
    buffer[static_cast<std::size_t>(capacity)] = 'G';  // guard just past the capacity
    Result r;
    r.ok = HttpGetWithin(host, port, path.c_str(), buffer.data(), capacity, &r.received, waitMs, totalMs);
    EXPECT_EQ(buffer[static_cast<std::size_t>(capacity)], 'G') << "wrote past the capacity";
    if (r.ok) {
        EXPECT_TRUE(r.received >= 0 && r.received < capacity) << r.received;
        EXPECT_EQ(buffer[static_cast<std::size_t>(r.received)], '\0') << "response not terminated";
        r.text.assign(buffer.data(), static_cast<std::size_t>(r.received));
    }
    return r;
}

std::string Pattern(std::size_t n)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7) % 26);
    return s;
}
}  // namespace

TEST(HttpGetWire, SendsExactlyTheTemplateWithPathAndHost)
{
    LoopbackServer server([](SOCKET c, const std::string&) { SendAll(c, "HTTP/1.0 200 OK\r\n\r\nhi"); });
    // Bytes above 0x7F go out as they are; the longest request that fits is 1023 bytes.
    const std::string odd = "/n/night-owls/don\x92t stop.html";
    const std::string longest = "/" + std::string(912 - 9 - 1, 'p');
    EXPECT_EQ(Get(server.port(), odd).text, "HTTP/1.0 200 OK\r\n\r\nhi");
    EXPECT_TRUE(Get(server.port(), longest).ok);
    const char tail[] = " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: text/html; \r\n"
                        "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)\r\n\r\n";
    EXPECT_EQ(server.requests(), (std::vector<std::string>{"GET " + odd + tail, "GET " + longest + tail}));
    EXPECT_EQ(server.requests().at(1).size(), 1023u);
}

TEST(HttpGetResponse, StoredVerbatimAndTerminated)
{
    const std::string notFound =
        "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html><body>No such page</body></html>\n";
    const std::string body = Pattern(1500);
    LoopbackServer server([&](SOCKET c, const std::string& request) {
        if (request.rfind("GET /close", 0) == 0) return;  // hang up at once
        if (request.rfind("GET /404", 0) == 0) SendAll(c, notFound);
        for (std::size_t at = 0; request.rfind("GET /chunks", 0) == 0 && at < body.size(); at += 500) {
            SendAll(c, body.substr(at, 500));  // three pieces, apart in time
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const Result closed = Get(server.port(), "/close");
    EXPECT_TRUE(closed.ok);
    EXPECT_EQ(closed.received, 0);
    EXPECT_EQ(Get(server.port(), "/404").text, notFound);
    const Result chunks = Get(server.port(), "/chunks");
    EXPECT_EQ(chunks.received, 1500);
    EXPECT_EQ(chunks.text, body);
}

TEST(HttpGetBound, EndlessResponseStopsBeforeTheCapacityAndHangsUp)
{
    std::atomic<bool> clientHungUp{false};
    const std::string block = Pattern(4096);
    LoopbackServer server([&](SOCKET c, const std::string&) {
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < end && !clientHungUp) clientHungUp = !SendAll(c, block);
    });
    const Result r = Get(server.port(), "/endless");
    ASSERT_TRUE(r.ok);
    // Stopped by the first chunk that left less than a chunk, plus the
    // zero's byte, of room.
    EXPECT_GE(r.received, 100000 - 1 - 1024);
    for (std::size_t i = 0; i < r.text.size(); i += block.size()) {
        const std::size_t n = std::min(block.size(), r.text.size() - i);
        ASSERT_EQ(r.text.compare(i, n, block, 0, n), 0) << "at " << i;
    }
    const auto start = Clock::now();
    while (!clientHungUp && SecondsSince(start) < 15) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(clientHungUp);
}

TEST(HttpGetBound, ResponseAsLongAsTheBufferStillEndsInAZero)
{
    // capacity - 1024 bytes, a pause for the client to take them all, then
    // the last 1024: a client that filled its buffer to the last byte would
    // have no room left for the zero.
    int capacity = 0;
    LoopbackServer server([&](SOCKET c, const std::string&) {
        const std::string all = Pattern(static_cast<std::size_t>(capacity));
        SendAll(c, all.substr(0, all.size() - 1024));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        SendAll(c, all.substr(all.size() - 1024));
    });
    for (int cap : {100000, 1024}) {
        capacity = cap;
        const Result r = Get(server.port(), "/full", cap);  // checks the zero and the guard byte
        ASSERT_TRUE(r.ok);
        EXPECT_GT(r.received, 0);
        EXPECT_EQ(r.text, Pattern(static_cast<std::size_t>(r.received)));
    }
}

TEST(HttpGetTimeout, SilentAndTricklingServersGiveNoAnswerWithinTheirBounds)
{
    // Silent: the request is sent, no byte comes, the receive wait ends it.
    // Trickling: a byte every 100 ms, so only the whole call's bound ends it.
    // Neither is an answer to scrape, however much of it came.
    LoopbackServer server([&](SOCKET c, const std::string& request) {
        if (request.rfind("GET /silent", 0) == 0) {
            WaitForClose(c, 30000);
            return;
        }
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < end && SendAll(c, ".")) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    });
    const struct {
        const char* path;
        int waitMs, totalMs;
        double atLeast, below;
    } cases[] = {{"/silent", 1000, 20000, 0.9, 8.0}, {"/trickle", 1000, 2000, 1.9, 4.0}};
    for (const auto& c : cases) {
        const auto start = Clock::now();
        const Result r = Get(server.port(), c.path, 100000, c.waitMs, c.totalMs);
        const double seconds = SecondsSince(start);
        EXPECT_FALSE(r.ok) << c.path;
        EXPECT_EQ(r.received, -7) << c.path;
        EXPECT_GE(seconds, c.atLeast) << c.path;
        EXPECT_LT(seconds, c.below) << c.path;
    }
}

TEST(HttpGetTimeout, ConnectThatNeverCompletesFails)
{
    // A listener that never accepts, its queue filled: a further connect
    // gets no answer at all.
    LoopbackServer server(nullptr, 0);
    const sockaddr_in address = LoopbackServer::LoopbackAddress(server.port());
    std::vector<SOCKET> fillers(8);
    for (SOCKET& s : fillers) {
        s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        unsigned long on = 1;
        ioctlsocket(s, FIONBIO, &on);
        connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = Clock::now();
    const Result r = Get(server.port(), "/never", 100000, 1000, 20000);
    const double seconds = SecondsSince(start);
    for (SOCKET s : fillers) closesocket(s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.received, -7);
    EXPECT_LT(seconds, 8.0);
}

TEST(HttpGetRefusal, NothingIsSentForOversizedOrControlByteInput)
{
    LoopbackServer server([](SOCKET, const std::string&) {});
    for (const std::string& path : {"/" + std::string(912 - 9, 'p'),  // a request of 1024 bytes
                                    std::string("/a HTTP/1.0\r\nX-Added: 1\r\n"), std::string("/a\nb"),
                                    std::string("/a\rb"), std::string("/a\x01z"), std::string("/a\x7f")})
        EXPECT_FALSE(Get(server.port(), path).ok) << path.size();
    EXPECT_FALSE(Get(server.port(), "/", 100000, 5000, 20000, "127.0.0.1\r\nX-Added: 1").ok);
    EXPECT_EQ(Get(server.port(), "/ok").received, 0);  // the server is there
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(Get(80, "/", 100000, 5000, 20000, "no-such-host.invalid").ok);
    EXPECT_TRUE(Get(server.port(), "/named", 100000, 5000, 20000, "localhost").ok) << "a name, through the resolver";
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(FetchLyricOverLoopback, ProcessWideSiteAndALinkThatWouldAddHeaders)
{
    LoopbackServer server([](SOCKET c, const std::string& request) {
        if (request.rfind("GET /n/night-owls/songs.html ", 0) == 0)
            SendAll(c, "HTTP/1.0 200 OK\r\n\r\n<a href=\"/n/night-owls/blue-hour.html\" title=\"Blue Hour Lyrics\">"
                       "<a href=\"/x HTTP/1.0\r\nX-Added: 1\r\n\" title=\"Bad Link Lyrics\">");
        else
            SendAll(c, "HTTP/1.0 200 OK\r\n\r\n<p>a<br>b<br>c<br></p>");
    });
    SetLyricsSite("127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(FetchLyric("Night Owls", "Blue Hour").lyric, "a  \r\nb  \r\nc  \r\n");
    EXPECT_EQ(FetchLyric("Night Owls", "Bad Link").outcome, LyricOutcome::NotFound);
    SetLyricsSite("");
    EXPECT_EQ(GetLyricsSite().host, kBuiltInLyricsHost);
    EXPECT_EQ(GetLyricsSite().port, 80);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);  // the bad link was never asked for
    EXPECT_EQ(requests[1].substr(0, 34), "GET /n/night-owls/blue-hour.html H");
}
