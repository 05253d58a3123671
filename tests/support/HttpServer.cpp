#include "tests/support/HttpServer.h"

#include "SocketApi.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr int kPollMilliseconds = 50;
// Longer than any pause of a live client in the tests, shorter than their time limits.
constexpr int kSendStallSeconds = 20;

std::string LocalUrl(uint16_t port, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + path;
}

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A TCP socket bound to 127.0.0.1 on a free port.
NativeSocket BoundSocket(uint16_t* port) {
    Sockets::Startup();
    const NativeSocket bound = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    SocketLength length = sizeof address;
    if (bound == kInvalidSocket || bind(bound, (sockaddr*)&address, sizeof address) != 0 ||
        getsockname(bound, (sockaddr*)&address, &length) != 0)
        return kInvalidSocket;
    *port = ntohs(address.sin_port);
    return bound;
}

void CloseSocket(uintptr_t socket) {
    if (NativeSocket(socket) != kInvalidSocket)
        Sockets::Close(NativeSocket(socket));
}

// Whether socket becomes readable (or writable) within one poll.
bool WaitReady(NativeSocket socket, bool writable) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    timeval timeout{0, kPollMilliseconds * 1000};
    return select(int(socket + 1), writable ? nullptr : &ready, writable ? &ready : nullptr,
                  nullptr, &timeout) > 0;
}

bool WaitReadable(NativeSocket socket) {
    return WaitReady(socket, false);
}

// Sends on a non-blocking socket. Fails when the client hangs up, when the server stops, and
// when the client takes nothing for kSendStallSeconds: a client that is gone but whose
// connection lingers (a killed program under Wine) must not hold the server's only thread.
bool SendAll(NativeSocket socket, const char* data, size_t length,
             const std::atomic<bool>& stopping) {
    auto progress = std::chrono::steady_clock::now();
    while (length > 0 && !stopping) {
        const int sent =
            send(socket, data, int(length > (1u << 20) ? 1u << 20 : length), kSendFlags);
        if (sent > 0) {
            data += sent;
            length -= size_t(sent);
            progress = std::chrono::steady_clock::now();
        } else if (sent == 0 || !Sockets::WouldBlock() ||
                   std::chrono::steady_clock::now() - progress >
                       std::chrono::seconds(kSendStallSeconds)) {
            return false;
        } else {
            WaitReady(socket, true);
        }
    }
    return length == 0;
}

// The request's path without its leading slash; empty when no request line arrived in time.
std::string ReadRequestPath(NativeSocket client) {
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (request.find("\r\n\r\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(client))
            continue;
        char block[2048];
        const int count = recv(client, block, sizeof block, 0);
        if (count < 0 && Sockets::WouldBlock())
            continue;
        if (count <= 0)
            break;
        request.append(block, size_t(count));
    }
    const size_t start = request.find(' ');
    const size_t end = start == std::string::npos ? start : request.find(' ', start + 1);
    return end == std::string::npos ? std::string() : request.substr(start + 2, end - start - 2);
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
    CloseSocket(listener);
    Sockets::Cleanup();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return LocalUrl(port, path);
}

void TestHttpServer::Script(const std::string& path, const Answer& answer) {
    std::lock_guard<std::mutex> guard(lock);
    answers[path] = answer;
}

int TestHttpServer::Hits(const std::string& path) const {
    std::lock_guard<std::mutex> guard(lock);
    const auto found = hits.find(path);
    return found == hits.end() ? 0 : found->second;
}

void TestHttpServer::Loop() {
    while (!stopping) {
        if (!WaitReadable(NativeSocket(listener)))
            continue;
        const NativeSocket client = accept(NativeSocket(listener), nullptr, nullptr);
        if (client == kInvalidSocket)
            continue;
        Sockets::SetNonBlocking(client);
        Reply(uintptr_t(client));
        Sockets::Close(client);
    }
}

void TestHttpServer::Reply(uintptr_t socket) {
    const NativeSocket client = NativeSocket(socket);
    const std::string path = ReadRequestPath(client);
    const std::string notFound = "<html><head><title>404 Not Found</title></head>"
                                 "<body><h1>Not Found</h1></body></html>\n";
    Answer answer{404, notFound, notFound.size(), false, 0};
    {
        std::lock_guard<std::mutex> guard(lock);
        ++hits[path];
        const auto found = answers.find(path);
        if (found != answers.end())
            answer = found->second;
    }
    const bool ok = answer.status == 200;
    const std::string head =
        "HTTP/1.1 " + std::to_string(answer.status) + (ok ? " OK" : " Error") +
        "\r\nContent-Type: " + (ok ? "application/octet-stream" : "text/html") +
        "\r\nContent-Length: " + std::to_string(answer.body.size()) +
        "\r\nConnection: close\r\n\r\n";
    if (!SendAll(client, head.data(), head.size(), stopping) || !SendBody(socket, answer) ||
        !answer.stall)
        return;
    // Hold the connection open without a byte until the client hangs up.
    char ignored[256];
    while (!stopping)
        if (WaitReadable(client)) {
            const int count = recv(client, ignored, sizeof ignored, 0);
            if (count == 0 || (count < 0 && !Sockets::WouldBlock()))
                return;
        }
}

bool TestHttpServer::SendBody(uintptr_t client, const Answer& answer) {
    if (answer.bytesPerSecond == 0)
        return SendAll(NativeSocket(client), answer.body.data(), answer.sentBytes, stopping);
    const size_t piece = std::max<size_t>(answer.bytesPerSecond * kPollMilliseconds / 1000, 1);
    auto due = std::chrono::steady_clock::now();
    for (size_t sent = 0; sent < answer.sentBytes && !stopping; sent += piece) {
        std::this_thread::sleep_until(due);
        due += std::chrono::milliseconds(kPollMilliseconds);
        if (!SendAll(NativeSocket(client), answer.body.data() + sent,
                     std::min(piece, answer.sentBytes - sent), stopping))
            return false;
    }
    return !stopping;
}

DeadAddress::DeadAddress(bool silent)
    : socket(uintptr_t(BoundSocket(&port))), filler(uintptr_t(kInvalidSocket)) {
    // A queue of one, taken by our own connection: later attempts are not answered.
    if (!silent || NativeSocket(socket) == kInvalidSocket || listen(NativeSocket(socket), 0) != 0)
        return;
    const NativeSocket client = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in address = Loopback(port);
    connect(client, (const sockaddr*)&address, sizeof address);
    filler = uintptr_t(client);
}

DeadAddress::~DeadAddress() {
    CloseSocket(filler);
    CloseSocket(socket);
    Sockets::Cleanup();
}

std::string DeadAddress::Url(const std::string& path) const {
    return LocalUrl(port, path);
}
