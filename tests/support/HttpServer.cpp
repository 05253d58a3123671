#include "tests/support/HttpServer.h"

#include "SocketApi.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kPollMilliseconds = 50;
// Longer than any pause of a live client in the tests, shorter than their time limits.
constexpr int kSendStallSeconds = 20;
// Bytes sent are counted piece by piece; a piece cut off midway is not counted.
constexpr size_t kCountedPiece = 64 * 1024;

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

// The value of the header name (given in lower case) in the request head, or empty.
std::string HeaderValue(const std::string& head, const std::string& name) {
    size_t line = head.find("\r\n");
    while (line != std::string::npos && line + 2 < head.size()) {
        const size_t begin = line + 2, end = head.find("\r\n", begin);
        const size_t colon = head.find(':', begin);
        if (colon < end && colon - begin == name.size() &&
            std::equal(name.begin(), name.end(), head.begin() + long(begin),
                       [](char a, char b) { return a == tolower((unsigned char)b); })) {
            const size_t value = head.find_first_not_of(' ', colon + 1);
            return value < end ? head.substr(value, end - value) : std::string();
        }
        line = end;
    }
    return std::string();
}

const char* StatusText(int status) {
    switch (status) {
    case 200:
        return " OK";
    case 206:
        return " Partial Content";
    case 416:
        return " Range Not Satisfiable";
    default:
        return " Error";
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
    CloseSocket(listener);
    Sockets::Cleanup();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return LocalUrl(port, path);
}

void TestHttpServer::ServeInTurn(const std::string& path, const std::vector<HttpAnswer>& turns) {
    std::lock_guard<std::mutex> guard(lock);
    answers[path] = turns;
    taken[path] = 0;
}

int TestHttpServer::Hits(const std::string& path) const {
    std::lock_guard<std::mutex> guard(lock);
    const auto found = hits.find(path);
    return found == hits.end() ? 0 : found->second;
}

uint64_t TestHttpServer::BytesSent(const std::string& path) const {
    std::lock_guard<std::mutex> guard(lock);
    const auto found = bytesSent.find(path);
    return found == bytesSent.end() ? 0 : found->second;
}

// The request's path without its leading slash (empty when no request line arrived in time)
// and its range headers.
TestHttpServer::Request TestHttpServer::ReadRequest(uintptr_t socket) {
    const NativeSocket client = NativeSocket(socket);
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(client))
            continue;
        char block[2048];
        const int count = recv(client, block, sizeof block, 0);
        if (count < 0 && Sockets::WouldBlock())
            continue;
        if (count <= 0)
            break;
        head.append(block, size_t(count));
    }
    const size_t start = head.find(' ');
    const size_t end = start == std::string::npos ? start : head.find(' ', start + 1);
    if (end == std::string::npos)
        return Request{};
    return Request{head.substr(start + 2, end - start - 2), HeaderValue(head, "range"),
                   HeaderValue(head, "if-range")};
}

void TestHttpServer::Loop() {
    while (!stopping) {
        if (!WaitReadable(NativeSocket(listener)))
            continue;
        const NativeSocket client = accept(NativeSocket(listener), nullptr, nullptr);
        if (client == kInvalidSocket)
            continue;
        Sockets::SetNonBlocking(client);
        hangingUp = false;
        Reply(uintptr_t(client));
        Sockets::Close(client);
    }
}

void TestHttpServer::Reply(uintptr_t socket) {
    const NativeSocket client = NativeSocket(socket);
    const Request request = ReadRequest(socket);
    const std::string notFound = "<html><head><title>404 Not Found</title></head>"
                                 "<body><h1>Not Found</h1></body></html>\n";
    HttpAnswer answer(notFound, 404);
    {
        std::lock_guard<std::mutex> guard(lock);
        ++hits[request.path];
        const auto found = answers.find(request.path);
        if (found != answers.end())
            answer = found->second[std::min(taken[request.path]++, found->second.size() - 1)];
    }
    const size_t size = answer.body.size();
    size_t start = 0, end = size;
    int status = answer.status;
    std::string range;
    const bool sameFile = request.ifRange.empty() || !answer.ifRange ||
                          request.ifRange == answer.etag || request.ifRange == answer.lastModified;
    if (status == 200 && answer.ranges && !request.range.empty() && sameFile) {
        char* rest = nullptr;
        const bool bytes = request.range.compare(0, 6, "bytes=") == 0;
        start = bytes ? size_t(strtoull(request.range.c_str() + 6, &rest, 10)) : size;
        if (!bytes || *rest != '-' || rest[1] != '\0' || start >= size) {
            status = 416;
            start = end = 0;
            range = "\r\nContent-Range: bytes */" + std::to_string(size);
        } else {
            status = 206;
            start = std::min(start, answer.rangeFrom);
            range = "\r\nContent-Range: bytes " + std::to_string(start) + "-" +
                    std::to_string(size - 1) + "/" + std::to_string(size);
        }
    }
    const bool ok = status / 100 == 2;
    std::string head = "HTTP/1.1 " + std::to_string(status) + StatusText(status) +
                       "\r\nContent-Type: " + (ok ? "application/octet-stream" : "text/html") +
                       "\r\nContent-Length: " + std::to_string(end - start) + range;
    if (!answer.etag.empty())
        head += "\r\nETag: " + answer.etag;
    if (!answer.lastModified.empty())
        head += "\r\nLast-Modified: " + answer.lastModified;
    head += "\r\nConnection: close\r\n\r\n";
    const size_t sent = end - start > answer.cut ? start + answer.cut : end;
    if (!SendAll(client, head.data(), head.size(), stopping) ||
        !SendBody(socket, answer, request.path, start, sent) || !answer.stall)
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

bool TestHttpServer::SendBody(uintptr_t client, const HttpAnswer& answer, const std::string& path,
                              size_t start, size_t end) {
    const size_t piece =
        answer.bytesPerSecond == 0
            ? kCountedPiece
            : std::max<size_t>(answer.bytesPerSecond * kPollMilliseconds / 1000, 1);
    auto due = std::chrono::steady_clock::now();
    for (size_t at = start; at < end && !stopping && !hangingUp; at += piece) {
        if (answer.bytesPerSecond != 0) {
            std::this_thread::sleep_until(due);
            due += std::chrono::milliseconds(kPollMilliseconds);
        }
        const size_t count = std::min(piece, end - at);
        if (!SendAll(NativeSocket(client), answer.body.data() + at, count, stopping))
            return false;
        std::lock_guard<std::mutex> guard(lock);
        bytesSent[path] += count;
    }
    return !stopping && !hangingUp;
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
