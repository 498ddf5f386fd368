#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A certificate authority that only the tests know, made with the openssl command: its own
// certificate, and a certificate for a server on 127.0.0.1 (or localhost) that it signed, as
// PEM files in `folder` whose names begin with `name`.
struct TestAuthority {
    std::string certificate;
    std::string serverCertificate;
    std::string serverKey;
    bool made = false;

    TestAuthority(const std::filesystem::path& folder, const std::string& name) {
        const std::filesystem::path base = folder / name;
        certificate = base.string() + "-authority.pem";
        serverCertificate = base.string() + "-server.pem";
        serverKey = base.string() + "-server.key";
        const std::string authorityKey = base.string() + "-authority.key";
        const std::string request = base.string() + "-server.csr";
        const std::string extensions = base.string() + "-server.ext";
        std::ofstream(extensions) << "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                                     "basicConstraints=CA:FALSE\n"
                                     "keyUsage=critical,digitalSignature\n"
                                     "extendedKeyUsage=serverAuth\n";
        const std::string newKey = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        made = run("openssl req -x509" + newKey + " -days 30 -keyout " + authorityKey + " -out " +
                   certificate + " -subj '/CN=" + name +
                   " test authority' -addext basicConstraints=critical,CA:TRUE"
                   " -addext keyUsage=critical,keyCertSign,cRLSign") &&
               run("openssl req" + newKey + " -keyout " + serverKey + " -out " + request +
                   " -subj /CN=127.0.0.1") &&
               run("openssl x509 -req -days 30 -in " + request + " -CA " + certificate +
                   " -CAkey " + authorityKey + " -CAcreateserial -out " + serverCertificate +
                   " -extfile " + extensions);
    }

  private:
    static bool run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }
};
