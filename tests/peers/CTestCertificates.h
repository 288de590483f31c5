#pragma once

#include <string>

// A throw-away certificate authority and the server certificates it signs, made at run time as
// PEM files in a temporary folder that goes with the object. P-256 keys, valid from an hour ago
// for a day.
class CTestCertificates {
public:
    struct Issued {
        std::string certificateFile;
        std::string keyFile;
    };

    CTestCertificates() = default;
    // Removes the folder with every file in it.
    ~CTestCertificates();
    CTestCertificates(const CTestCertificates&) = delete;
    CTestCertificates& operator=(const CTestCertificates&) = delete;

    // Makes the folder and the authority; false with the reason otherwise.
    bool create(std::string& error);
    // Issues a server certificate for the subject alternative names, e.g. "IP:127.0.0.1" or
    // "DNS:localhost,IP:::1", written as <name>.crt and <name>.key.
    bool issue(const std::string& name, const std::string& altNames, Issued& out,
               std::string& error);

    // The authority's certificate: what SSL_CERT_FILE names to trust this authority alone.
    std::string authorityFile() const { return dir_ + "/ca.crt"; }
    // An empty folder, for SSL_CERT_DIR when nothing else may be trusted.
    std::string emptyFolder() const { return dir_ + "/empty"; }

private:
    std::string dir_;
    std::string authorityKeyFile_;
};
