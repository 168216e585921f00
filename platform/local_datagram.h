// One-byte messages between our own processes over local datagram sockets.
// Tested by tests/platform/local_sockets_test.cpp.
#pragma once

#include <string>

// A non-blocking datagram socket bound at path, or -1 (path too long for a
// socket name, or bind failed). The caller closes it and unlinks the path.
int BindLocalDatagram(const std::string& path);

// Sends byte to the socket bound at path; false when nobody is listening.
bool SendLocalDatagram(const std::string& path, unsigned char byte);
