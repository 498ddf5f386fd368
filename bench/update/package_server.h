#pragma once

#include "support/package_signer.h"

#include <cstddef>
#include <string>
#include <sys/types.h>

// The product web site and download server on 127.0.0.1, run in a child process so that
// serving a package at full speed does not load the process whose UI thread is measured.
// Start it before any thread exists: it forks. The package is signed, as a publisher signs a
// release newer than this client, with a key made for the run that the client is given.
class PackageServer {
  public:
    explicit PackageServer(std::size_t packageSize);
    ~PackageServer();
    PackageServer(const PackageServer&) = delete;
    PackageServer& operator=(const PackageServer&) = delete;

    // host:port, for the program's host settings.
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::size_t packageSize() const { return size_; }

    // Whether the file at `path` is the served package, byte for byte.
    bool isPackage(const std::string& path) const;

  private:
    std::size_t size_;
    sorvo::download::testing::PackageSigner signer_;
    pid_t pid_ = -1;
    int port_ = 0;
};
