// relay LISTEN_PORT TARGET_PORT DELAY_MS: a stand-in for a shop's network in front of a Firebird server on this
// machine. Accepts TCP connections on 127.0.0.1:LISTEN_PORT and forwards each to 127.0.0.1:TARGET_PORT; every chunk
// from the client is held back DELAY_MS (fractions allowed, 0.3 for a typical shop) before it goes on, so that each
// request-and-answer round trip costs that much more. Answers go back at once.
//   full-run --server localhost/LISTEN_PORT ...
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

int Connect(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void NoDelay(int fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool WriteAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Copies from one socket to the other until either end closes, each chunk held back by delay nanoseconds.
void Forward(int from, int to, long delay)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (delay > 0) {
            timespec until{};
            clock_gettime(CLOCK_MONOTONIC, &until);
            until.tv_nsec += delay;
            until.tv_sec += until.tv_nsec / 1000000000L;
            until.tv_nsec %= 1000000000L;
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
            }
        }
        if (!WriteAll(to, buffer, got)) break;
    }
    shutdown(to, SHUT_WR);
    shutdown(from, SHUT_RD);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: relay LISTEN_PORT TARGET_PORT DELAY_MS\n");
        return 2;
    }
    const int listenPort = std::atoi(argv[1]);
    const int targetPort = std::atoi(argv[2]);
    const long delay = static_cast<long>(std::atof(argv[3]) * 1e6);

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(listenPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0) {
        std::perror("relay");
        return 1;
    }
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        const int server = Connect(targetPort);
        if (server < 0) {
            close(client);
            continue;
        }
        NoDelay(client);
        NoDelay(server);
        std::thread([client, server, delay] {
            std::thread back(Forward, server, client, 0L);
            Forward(client, server, delay);
            back.join();
            close(client);
            close(server);
        }).detach();
    }
}
