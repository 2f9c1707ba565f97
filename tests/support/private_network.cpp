#include "private_network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string failure;  // why no private network could be made; empty once inside one
bool entered = false;

bool writeProcFile(const std::string& path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

// Root may make a network namespace; anyone else first needs a user namespace, which
// keeps this process's user and group ids.
bool unshareNetwork() {
    if (unshare(CLONE_NEWNET) == 0) return true;
    const std::string uid = std::to_string(getuid());
    const std::string gid = std::to_string(getgid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return false;
    return writeProcFile("/proc/self/setgroups", "deny") &&
           writeProcFile("/proc/self/uid_map", uid + " " + uid + " 1\n") &&
           writeProcFile("/proc/self/gid_map", gid + " " + gid + " 1\n");
}

// A new network namespace has only a loopback device, and it is down.
bool bringLoopbackUp() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return up;
}

bool livePortTaken() {
    for (int port = 3141; port <= 3151; ++port) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool taken = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (taken) return true;
    }
    return false;
}

}  // namespace

std::string enterPrivateNetwork() {
    if (!unshareNetwork())
        failure = std::string("no private network namespace: ") + std::strerror(errno);
    else if (!bringLoopbackUp())
        failure =
            std::string("loopback of the private network stays down: ") + std::strerror(errno);
    else
        entered = true;
    return entered ? "" : failure;
}

std::string livePortsUnusable() {
    if (entered || !livePortTaken()) return "";
    return failure + ", and another program listens on ports 3141 to 3151";
}
