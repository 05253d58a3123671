// BSD sockets under the names the test server uses.
#pragma once

#include <arpa/inet.h>
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
    static void SetSendTimeout(NativeSocket socket, int milliseconds) {
        const timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
        setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    static void Cleanup() {}
};
