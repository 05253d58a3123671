// BSD sockets under the names the test server uses.
#pragma once

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

typedef int NativeSocket;
typedef socklen_t SocketLength;
constexpr NativeSocket kInvalidSocket = -1;
// A client that hung up must not end the test process with SIGPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;

struct Sockets {
    static void Startup() {}
    static void Close(NativeSocket socket) { close(socket); }
    static void SetNonBlocking(NativeSocket socket) {
        fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK);
    }
    // Whether the last call failed only because it would have had to wait.
    static bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
    static void Cleanup() {}
};
