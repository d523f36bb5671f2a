// The other end of the host's socket in tests, run as another user: `listen PATH RECORD` listens
// at PATH (open to all) and appends what each connection sends to RECORD, answering "{}";
// `connect PATH TEXT` sends TEXT as one line and prints what came back and how it ended;
// `flood PATH` listens at PATH and answers each connection without end and without a line
// break. Plain sockets, so that it needs nothing of ours.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

sockaddr_un addressOf(const char *path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    return address;
}

int listening(const char *path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = addressOf(path);
    ::unlink(path);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(path, 0777) != 0 || ::listen(fd, 8) != 0) {
        std::perror(path);
        std::exit(1);
    }
    std::puts("listening");
    std::fflush(stdout);
    return fd;
}

} // namespace

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const std::string command = argc > 2 ? argv[1] : "";
    if (command == "listen" && argc == 4) {
        const int server = listening(argv[2]);
        for (;;) {
            const int connection = ::accept(server, nullptr, nullptr);
            std::string received;
            char buffer[65536];
            for (ssize_t n; received.find('\n') == std::string::npos &&
                            (n = ::read(connection, buffer, sizeof buffer)) > 0;) {
                received.append(buffer, static_cast<size_t>(n));
            }
            std::ofstream(argv[3], std::ios::app) << received;
            (void)!::write(connection, "{}\n", 3);
            ::close(connection);
        }
    }
    if (command == "flood" && argc == 3) {
        const int server = listening(argv[2]);
        const std::string endless(65536, 'x');
        for (;;) {
            const int connection = ::accept(server, nullptr, nullptr);
            while (::write(connection, endless.data(), endless.size()) > 0) {
            }
            ::close(connection);
        }
    }
    if (command == "connect" && argc == 4) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = addressOf(argv[2]);
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            std::perror("connect");
            return 1;
        }
        const std::string line = std::string(argv[3]) + "\n";
        (void)!::write(fd, line.data(), line.size());
        std::string answer;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            answer.append(buffer, static_cast<size_t>(n));
        }
        std::printf("answer: [%s]\n", answer.c_str());
        return 0;
    }
    std::fputs("usage: socket-peer listen PATH RECORD | flood PATH | connect PATH TEXT\n", stderr);
    return 2;
}
