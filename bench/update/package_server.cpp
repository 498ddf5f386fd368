#include "package_server.h"

#include "config/update_key.h"
#include "config/update_policy.h"
#include "support/loopback_server.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The package's content: word i of it, so that a stored package can be checked piece by piece
// without a second copy in memory.
std::uint64_t packageWord(std::uint64_t i) {
    std::uint64_t z = (i + 1) * 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

void fillPackage(char* bytes, std::size_t offset, std::size_t size) {
    for (std::size_t at = 0; at < size; at += 8) {
        const std::uint64_t word = packageWord((offset + at) / 8);
        std::memcpy(bytes + at, &word, std::min<std::size_t>(8, size - at));
    }
}

const char releaseNotes[] = "<body style='background:#223;color:#fc8;font:12px sans-serif'>"
                            "<b>1.1</b> faster start, clearer sound</body>";

[[noreturn]] void serve(std::size_t size, const sorvo::download::testing::PackageSigner& signer,
                        int portPipe) {
    std::vector<char> package(size);
    fillPackage(package.data(), 0, size);
    const std::string signature =
        signer
            .sign({package.data(), package.size()},
                  {.trustedComment =
                       "file:索沃电台_升级包.exe version:" + sorvo::clientVersion() + ".1"})
            .text();
    const sorvo::testing::LoopbackServer server([&](httplib::Server& routes) {
        routes.Get(R"(/download/.*\.minisig)", [&](const auto&, httplib::Response& response) {
            response.set_content(signature, "text/plain");
        });
        routes.Get("/diantai/softpic/soft_v1.0.html", [](const auto&, httplib::Response& response) {
            response.set_content(releaseNotes, "text/html; charset=utf-8");
        });
        routes.Get(R"(/download/.*)", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                size, "application/x-msdownload",
                [&](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(package.data() + offset,
                                      std::min<std::size_t>(length, 1 << 20));
                });
        });
    });
    const int port = server.port();
    if (write(portPipe, &port, sizeof port) != sizeof port) _exit(1);
    close(portPipe);
    // Serves on its own thread until the parent's SIGTERM ends the process.
    while (true)
        pause();
}

} // namespace

PackageServer::PackageServer(std::size_t packageSize) : size_(packageSize) {
    sorvo::updatePublicKey() = signer_.publicKeyLine();
    int portPipe[2];
    if (pipe(portPipe) != 0) std::exit(1);
    pid_ = fork();
    if (pid_ == 0) {
        close(portPipe[0]);
        serve(size_, signer_, portPipe[1]);
    }
    close(portPipe[1]);
    if (read(portPipe[0], &port_, sizeof port_) != sizeof port_) std::exit(1);
    close(portPipe[0]);
}

PackageServer::~PackageServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool PackageServer::isPackage(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    constexpr std::size_t chunk = 1 << 20;
    std::vector<char> stored(chunk), expected(chunk);
    std::size_t offset = 0;
    while (file) {
        file.read(stored.data(), chunk);
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got == 0) break;
        if (offset + got > size_) return false;
        fillPackage(expected.data(), offset, got);
        if (std::memcmp(stored.data(), expected.data(), got) != 0) return false;
        offset += got;
    }
    return offset == size_;
}
