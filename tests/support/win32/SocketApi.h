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
    static void SetNonBlocking(NativeSocket socket) {
        u_long on = 1;
        ioctlsocket(socket, FIONBIO, &on);
    }
    // Whether the last call failed only because it would have had to wait.
    static bool WouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
    static void Cleanup() { WSACleanup(); }
};
