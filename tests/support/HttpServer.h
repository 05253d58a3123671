// A small HTTP/1.1 server on 127.0.0.1 for tests, scripted path by path. Each connection gets
// one answer and is closed; paths without a script get a 404 with an HTML page.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();

    // "http://127.0.0.1:<port>/path".
    std::string Url(const std::string& path) const;
    void Serve(const std::string& path, const std::string& body) {
        Script(path, {200, body, body.size(), false, 0});
    }
    // Sends the body at about bytesPerSecond, in pieces every 50 ms.
    void ServeSlowly(const std::string& path, const std::string& body, size_t bytesPerSecond) {
        Script(path, {200, body, body.size(), false, bytesPerSecond});
    }
    // Announces the whole body but closes the connection after its first sentBytes.
    void ServeCutShort(const std::string& path, const std::string& body, size_t sentBytes) {
        Script(path, {200, body, sentBytes, false, 0});
    }
    // Announces the whole body, sends its first sentBytes, then nothing until the client hangs
    // up or the server stops.
    void ServeStalling(const std::string& path, const std::string& body, size_t sentBytes) {
        Script(path, {200, body, sentBytes, true, 0});
    }
    // Requests received for path so far.
    int Hits(const std::string& path) const;

private:
    struct Answer {
        int status;
        std::string body;
        size_t sentBytes;
        bool stall;
        size_t bytesPerSecond; // 0: as fast as the client takes them
    };
    bool SendBody(uintptr_t client, const Answer& answer);
    void Script(const std::string& path, const Answer& answer);
    void Loop();
    void Reply(uintptr_t client);

    uintptr_t listener;
    uint16_t port = 0;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::map<std::string, Answer> answers;
    std::map<std::string, int> hits;
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
