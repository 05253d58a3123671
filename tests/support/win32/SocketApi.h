// Winsock under the names the test server uses.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

typedef SOCKET NativeSocket;
typedef int SocketLength;
constexpr NativeSocket kInvalidSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;

// Winsock counts its users; every server takes one reference for its lifetime.
struct Sockets {
    static void Startup() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    static void Close(NativeSocket socket) { closesocket(socket); }
    static void SetSendTimeout(NativeSocket socket, int milliseconds) {
        const DWORD timeout = DWORD(milliseconds);
        setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, (const char*)&timeout, sizeof timeout);
    }
    static void Cleanup() { WSACleanup(); }
};
