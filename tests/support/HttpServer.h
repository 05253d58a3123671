// A small HTTP/1.1 server on 127.0.0.1 for tests, scripted path by path. Each connection gets
// one answer and is closed; paths without a script get a 404 with an HTML page.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// What the server answers for a path. A plain 200 with the whole body unless told otherwise.
struct HttpAnswer {
    explicit HttpAnswer(std::string text = std::string(), int code = 200)
        : body(std::move(text)), status(code) {}

    std::string body;
    int status;
    // Most body bytes sent per answer: the connection is then closed (or held, when stall).
    size_t cut = SIZE_MAX;
    bool stall = false;
    size_t bytesPerSecond = 0; // 0: as fast as the client takes them
    // Validators sent with the answer; empty for none.
    std::string etag;
    std::string lastModified;
    // Whether "Range: bytes=N-" is answered with a 206 of the rest; when it is, an "If-Range"
    // that names neither validator gets the whole body, unless ifRange is off (a server that
    // ignores it).
    bool ranges = false;
    bool ifRange = true;
    // A 206 that sends the body from here on, whatever was asked for (a server that lies).
    size_t rangeFrom = SIZE_MAX;
};

class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();

    // "http://127.0.0.1:<port>/path".
    std::string Url(const std::string& path) const;
    void Serve(const std::string& path, const std::string& body) { Serve(path, HttpAnswer(body)); }
    void Serve(const std::string& path, const HttpAnswer& answer) { ServeInTurn(path, {answer}); }
    // Answers the requests for path with answers in turn, the last one from then on.
    void ServeInTurn(const std::string& path, const std::vector<HttpAnswer>& answers);
    // Sends the body at about bytesPerSecond, in pieces every 50 ms.
    void ServeSlowly(const std::string& path, const std::string& body, size_t bytesPerSecond) {
        HttpAnswer answer{body};
        answer.bytesPerSecond = bytesPerSecond;
        Serve(path, answer);
    }
    // Announces the whole body but closes the connection after its first sentBytes.
    void ServeCutShort(const std::string& path, const std::string& body, size_t sentBytes) {
        HttpAnswer answer{body};
        answer.cut = sentBytes;
        Serve(path, answer);
    }
    // Announces the whole body, sends its first sentBytes, then nothing until the client hangs
    // up or the server stops.
    void ServeStalling(const std::string& path, const std::string& body, size_t sentBytes) {
        HttpAnswer answer{body};
        answer.cut = sentBytes;
        answer.stall = true;
        Serve(path, answer);
    }
    // Requests received for path so far.
    int Hits(const std::string& path) const;
    // Body bytes sent for path so far, over all its requests.
    uint64_t BytesSent(const std::string& path) const;
    // Ends the answer being sent, as a client's death ends it: under Wine a killed program's
    // connection stays open for a while and would take megabytes more into its buffers.
    void HangUp() { hangingUp = true; }

private:
    struct Request {
        std::string path;
        std::string range;   // the value of "Range", or empty
        std::string ifRange; // the value of "If-Range", or empty
    };
    static Request ReadRequest(uintptr_t client);
    bool SendBody(uintptr_t client, const HttpAnswer& answer, const std::string& path, size_t start,
                  size_t end);
    void Loop();
    void Reply(uintptr_t client);

    uintptr_t listener;
    uint16_t port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<bool> hangingUp{false}; // until the next connection
    mutable std::mutex lock;
    std::map<std::string, std::vector<HttpAnswer>> answers;
    std::map<std::string, int> hits;
    std::map<std::string, size_t> taken; // answers of the turns used
    std::map<std::string, uint64_t> bytesSent;
    std::thread thread;
};

// A port on 127.0.0.1 that refuses connections at once (bound, not listening) or, when silent,
// never answers them (a full queue that is never accepted, as behind a firewall).
class DeadAddress {
public:
    explicit DeadAddress(bool silent);
    ~DeadAddress();
    std::string Url(const std::string& path) const;

private:
    uintptr_t socket;
    uintptr_t filler;
    uint16_t port = 0;
};
