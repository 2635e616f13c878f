#pragma once

// One request's exchange as the transport saw it, for the platform-free code
// that decides what the answer means. The transport decides nothing about
// songs: it gives a status and a body, or says that no answer came.
#include <functional>
#include <string>

struct HttpExchange {
    bool answered = false;   // false: no complete answer (reason says why); status and body mean nothing
    int status = 0;          // the HTTP status code
    std::string body;        // the whole body, at most the caller's cap
    std::string retryAfter;  // the Retry-After header's text, when the answer had one
    std::string reason;      // !answered: what failed, in a few words ("connect refused", "timed out", ...)
};

// Sends one GET of pathAndQuery (already percent-encoded, starting with "/")
// to the source and returns what came back. Bounded in time by the transport.
using HttpAskFn = std::function<HttpExchange(const std::string& pathAndQuery)>;
