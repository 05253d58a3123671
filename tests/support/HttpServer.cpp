#include "tests/support/HttpServer.h"

#include "SocketApi.h"

#include <chrono>
#include <cstring>

namespace {

constexpr int kPollMilliseconds = 50;
constexpr auto kRequestTimeout = std::chrono::seconds(5);

NativeSocket Native(uintptr_t socket) {
    return NativeSocket(socket);
}

// A TCP socket bound to 127.0.0.1 on a free port.
NativeSocket BoundSocket(uint16_t* port) {
    SocketStartup();
    const NativeSocket bound = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    SocketLength length = sizeof address;
    if (bound == kInvalidSocket || bind(bound, (sockaddr*)&address, sizeof address) != 0 ||
        getsockname(bound, (sockaddr*)&address, &length) != 0)
        return kInvalidSocket;
    *port = ntohs(address.sin_port);
    return bound;
}

void CloseBound(uintptr_t socket) {
    if (Native(socket) != kInvalidSocket)
        SocketClose(Native(socket));
    SocketCleanup();
}

bool WaitReadable(NativeSocket socket, int milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    return select(int(socket + 1), &readable, nullptr, nullptr, &timeout) > 0;
}

bool SendAll(NativeSocket socket, const char* data, size_t length) {
    while (length > 0) {
        const int chunk = length > (1u << 20) ? 1 << 20 : int(length);
        const int sent = send(socket, data, chunk, kSendFlags);
        if (sent <= 0)
            return false;
        data += sent;
        length -= size_t(sent);
    }
    return true;
}

// The request's path without its leading slash; empty when no request line arrived in time.
std::string ReadRequestPath(NativeSocket client) {
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    while (request.find("\r\n\r\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(client, kPollMilliseconds))
            continue;
        char block[2048];
        const int count = recv(client, block, sizeof block, 0);
        if (count <= 0)
            break;
        request.append(block, size_t(count));
    }
    const size_t start = request.find(' ');
    const size_t end = start == std::string::npos ? start : request.find(' ', start + 1);
    if (end == std::string::npos)
        return std::string();
    return request.substr(start + 2, end - start - 2);
}

const char* StatusText(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

TestHttpServer::TestHttpServer() {
    const NativeSocket bound = BoundSocket(&port);
    listener = uintptr_t(bound);
    if (bound != kInvalidSocket && listen(bound, 16) == 0)
        thread = std::thread(&TestHttpServer::Loop, this);
}

TestHttpServer::~TestHttpServer() {
    stopping = true;
    if (thread.joinable())
        thread.join();
    CloseBound(listener);
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + path;
}

void TestHttpServer::Serve(const std::string& path, const std::string& body, int status) {
    std::lock_guard<std::mutex> guard(lock);
    scripts[path] = Script{Kind::Whole, status, body, body.size()};
}

void TestHttpServer::ServeCutShort(const std::string& path, const std::string& body,
                                   size_t sentBytes) {
    std::lock_guard<std::mutex> guard(lock);
    scripts[path] = Script{Kind::CutShort, 200, body, sentBytes};
}

void TestHttpServer::ServeStalling(const std::string& path, const std::string& body,
                                   size_t sentBytes) {
    std::lock_guard<std::mutex> guard(lock);
    scripts[path] = Script{Kind::Stall, 200, body, sentBytes};
}

int TestHttpServer::Hits(const std::string& path) const {
    std::lock_guard<std::mutex> guard(lock);
    const auto found = hits.find(path);
    return found == hits.end() ? 0 : found->second;
}

bool TestHttpServer::FindScript(const std::string& path, Script* script) const {
    std::lock_guard<std::mutex> guard(lock);
    const auto found = scripts.find(path);
    if (found == scripts.end())
        return false;
    *script = found->second;
    return true;
}

void TestHttpServer::Loop() {
    while (!stopping) {
        if (!WaitReadable(Native(listener), kPollMilliseconds))
            continue;
        const NativeSocket client = accept(Native(listener), nullptr, nullptr);
        if (client == kInvalidSocket)
            continue;
        Answer(uintptr_t(client));
        SocketClose(client);
    }
}

void TestHttpServer::Answer(uintptr_t socket) {
    const NativeSocket client = Native(socket);
    const std::string path = ReadRequestPath(client);
    {
        std::lock_guard<std::mutex> guard(lock);
        ++hits[path];
    }
    Script script;
    const bool scripted = FindScript(path, &script);
    if (!scripted)
        script = Script{Kind::Whole, 404,
                        "<html><head><title>404 Not Found</title></head>"
                        "<body><h1>Not Found</h1></body></html>\n",
                        0};
    if (!scripted || script.status != 200)
        script.sentBytes = script.body.size();
    const std::string head =
        "HTTP/1.1 " + std::to_string(script.status) + " " + StatusText(script.status) +
        "\r\nContent-Type: " + (script.status == 200 ? "application/octet-stream" : "text/html") +
        "\r\nContent-Length: " + std::to_string(script.body.size()) +
        "\r\nConnection: close\r\n\r\n";
    if (!SendAll(client, head.data(), head.size()) ||
        !SendAll(client, script.body.data(), script.sentBytes) || script.kind != Kind::Stall)
        return;
    // Hold the connection open without a byte until the client hangs up.
    char ignored[256];
    while (!stopping)
        if (WaitReadable(client, kPollMilliseconds) &&
            recv(client, ignored, sizeof ignored, 0) <= 0)
            return;
}

RefusingAddress::RefusingAddress() : socket(uintptr_t(BoundSocket(&port))) {}

RefusingAddress::~RefusingAddress() {
    CloseBound(socket);
}

std::string RefusingAddress::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + path;
}

SilentAddress::SilentAddress() : filler(uintptr_t(kInvalidSocket)) {
    const NativeSocket bound = BoundSocket(&port);
    listener = uintptr_t(bound);
    // A queue of one, taken by our own connection: later attempts are not answered.
    if (bound == kInvalidSocket || listen(bound, 0) != 0)
        return;
    const NativeSocket client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    connect(client, (sockaddr*)&address, sizeof address);
    filler = uintptr_t(client);
}

SilentAddress::~SilentAddress() {
    if (Native(filler) != kInvalidSocket)
        SocketClose(Native(filler));
    CloseBound(listener);
}

std::string SilentAddress::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + path;
}
