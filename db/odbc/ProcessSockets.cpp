#include "db/odbc/ProcessSockets.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace korvel {

namespace {

bool isSocket(int descriptor, ino_t& inode)
{
    struct stat status = {};
    if (fstat(descriptor, &status) != 0 || !S_ISSOCK(status.st_mode))
        return false;
    inode = status.st_ino;
    return true;
}

} // namespace

std::vector<OpenSocket> openSockets()
{
    std::vector<OpenSocket> sockets;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return sockets;
    while (const dirent* entry = readdir(folder)) {
        char* end = nullptr;
        const long descriptor = std::strtol(entry->d_name, &end, 10);
        OpenSocket socket{static_cast<int>(descriptor), 0};
        if (end != entry->d_name && *end == '\0' && descriptor != dirfd(folder) &&
            isSocket(socket.descriptor, socket.inode))
            sockets.push_back(socket);
    }
    closedir(folder);
    return sockets;
}

std::vector<OpenSocket> socketsAdded(const std::vector<OpenSocket>& before, const std::vector<OpenSocket>& after)
{
    std::vector<OpenSocket> added;
    std::copy_if(after.begin(), after.end(), std::back_inserter(added), [&before](const OpenSocket& socket) {
        return std::find(before.begin(), before.end(), socket) == before.end();
    });
    return added;
}

void shutDownSockets(const std::vector<OpenSocket>& sockets)
{
    for (const OpenSocket& socket : sockets) {
        ino_t inode = 0;
        if (isSocket(socket.descriptor, inode) && inode == socket.inode)
            shutdown(socket.descriptor, SHUT_RDWR);
    }
}

} // namespace korvel
