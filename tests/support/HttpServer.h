// A small HTTP/1.1 server on 127.0.0.1 for tests, scripted path by path: whole answers with any
// status, bodies cut short, transfers that stall. Each connection gets one answer and is
// closed. Paths without a script get a 404 with an HTML page.
//
// Also: addresses on 127.0.0.1 that refuse connections at once, and ones that never accept.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // "http://127.0.0.1:<port>/path" (path without its leading slash).
    std::string Url(const std::string& path) const;

    // Answers path with status and body.
    void Serve(const std::string& path, const std::string& body, int status = 200);
    // Announces the whole body but closes the connection after its first sentBytes.
    void ServeCutShort(const std::string& path, const std::string& body, size_t sentBytes);
    // Announces the whole body, sends its first sentBytes, then sends nothing more until the
    // client gives up or the server stops.
    void ServeStalling(const std::string& path, const std::string& body, size_t sentBytes);

    // Requests received for path so far.
    int Hits(const std::string& path) const;

private:
    enum class Kind { Whole, CutShort, Stall };
    struct Script {
        Kind kind;
        int status;
        std::string body;
        size_t sentBytes;
    };

    void Loop();
    void Answer(uintptr_t client);
    bool FindScript(const std::string& path, Script* script) const;

    uintptr_t listener;
    uint16_t port = 0;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::map<std::string, Script> scripts;
    std::map<std::string, int> hits;
    std::thread thread;
};

// A port on 127.0.0.1 that is bound but not listening: connections are refused at once.
class RefusingAddress {
public:
    RefusingAddress();
    ~RefusingAddress();
    RefusingAddress(const RefusingAddress&) = delete;
    RefusingAddress& operator=(const RefusingAddress&) = delete;

    std::string Url(const std::string& path) const;

private:
    uintptr_t socket;
    uint16_t port = 0;
};

// A listener that never accepts and whose queue is already full: a connection attempt gets no
// answer at all, as from a server that is down behind a firewall.
class SilentAddress {
public:
    SilentAddress();
    ~SilentAddress();
    SilentAddress(const SilentAddress&) = delete;
    SilentAddress& operator=(const SilentAddress&) = delete;

    std::string Url(const std::string& path) const;

private:
    uintptr_t listener;
    uintptr_t filler;
    uint16_t port = 0;
};
