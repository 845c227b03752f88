#pragma once

// The sockets of this process, found by what a driver opened while it connected: the ODBC
// interface gives no way to reach the socket of a connection, and only shutting it down
// frees a call blocked reading from a server that no longer answers.

#include <sys/types.h>

#include <vector>

namespace korvel {

// A socket descriptor and the inode that tells it apart from a later socket given the same
// number.
struct OpenSocket
{
    int descriptor = -1;
    ino_t inode = 0;

    bool operator==(const OpenSocket& other) const
    {
        return descriptor == other.descriptor && inode == other.inode;
    }
};

// The sockets this process holds open now.
std::vector<OpenSocket> openSockets();

// The sockets of `after` that `before` does not hold.
std::vector<OpenSocket> socketsAdded(const std::vector<OpenSocket>& before, const std::vector<OpenSocket>& after);

// Shuts both directions of each socket down that is still the one found, so that a read or
// write blocked on it returns at once; the descriptor stays its owner's to close.
void shutDownSockets(const std::vector<OpenSocket>& sockets);

} // namespace korvel
