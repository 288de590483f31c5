#include "tests/peers/CTestCertificates.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Free {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(FILE* p) const { std::fclose(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Certificate = std::unique_ptr<X509, Free>;
using File = std::unique_ptr<FILE, Free>;

std::string opensslError(const std::string& what) {
    char text[256] = "no detail";
    if (const unsigned long code = ERR_get_error())
        ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return what + ": " + text;
}

// A certificate for key, signed by issuerKey in the name of issuer (itself when issuer is null).
Certificate makeCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer,
                            EVP_PKEY* issuerKey,
                            const std::vector<std::pair<int, std::string>>& extensions) {
    Certificate cert(X509_new());
    unsigned char serial[8];
    if (!cert || RAND_bytes(serial, sizeof serial) != 1)
        return nullptr;
    serial[0] &= 0x7F; // a positive serial number
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get()));
    BN_free(number);
    X509_NAME* subject = X509_get_subject_name(cert.get());
    if (!serialSet || X509_set_version(cert.get(), 2) != 1 ||
        !X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600) ||
        !X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 3600) ||
        X509_set_pubkey(cert.get(), key) != 1 ||
        X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                                   -1, 0) != 1 ||
        X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : subject) != 1)
        return nullptr;
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
    for (const auto& [nid, value] : extensions) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
        const bool added = extension && X509_add_ext(cert.get(), extension, -1) == 1;
        X509_EXTENSION_free(extension);
        if (!added)
            return nullptr;
    }
    if (X509_sign(cert.get(), issuerKey, EVP_sha256()) <= 0)
        return nullptr;
    return cert;
}

bool writeCertificate(const std::string& path, X509* cert) {
    File file(std::fopen(path.c_str(), "wb"));
    return file && PEM_write_X509(file.get(), cert) == 1;
}

bool writeKey(const std::string& path, EVP_PKEY* key) {
    File file(std::fopen(path.c_str(), "wb"));
    return file && ::chmod(path.c_str(), 0600) == 0 &&
           PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

Key readKey(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    return Key(file ? PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr) : nullptr);
}

Certificate readCertificate(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    return Certificate(file ? PEM_read_X509(file.get(), nullptr, nullptr, nullptr) : nullptr);
}

} // namespace

CTestCertificates::~CTestCertificates() {
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

bool CTestCertificates::create(std::string& error) {
    std::string dir = "/tmp/maroket-certs-XXXXXX";
    if (!::mkdtemp(dir.data())) {
        error = std::string("mkdtemp: ") + std::strerror(errno);
        return false;
    }
    dir_ = dir;
    // Servers that drop to their own users read the certificates from here.
    ::chmod(dir_.c_str(), 0755);
    if (::mkdir(emptyFolder().c_str(), 0755) != 0) {
        error = emptyFolder() + ": " + std::strerror(errno);
        return false;
    }
    authorityKeyFile_ = dir_ + "/ca.key";
    Key key(EVP_EC_gen("P-256"));
    Certificate cert = key ? makeCertificate(key.get(), "Maroket test CA", nullptr, key.get(),
                                             {{NID_basic_constraints, "critical,CA:TRUE"},
                                              {NID_key_usage, "critical,keyCertSign,cRLSign"},
                                              {NID_subject_key_identifier, "hash"}})
                           : nullptr;
    if (!cert || !writeCertificate(authorityFile(), cert.get()) ||
        !writeKey(authorityKeyFile_, key.get())) {
        error = opensslError("cannot make the test authority");
        return false;
    }
    return true;
}

bool CTestCertificates::issue(const std::string& name, const std::string& altNames, Issued& out,
                              std::string& error) {
    Key authorityKey = readKey(authorityKeyFile_);
    Certificate authority = readCertificate(authorityFile());
    Key key(EVP_EC_gen("P-256"));
    Certificate cert = authorityKey && authority && key
                           ? makeCertificate(key.get(), name, authority.get(), authorityKey.get(),
                                             {{NID_basic_constraints, "critical,CA:FALSE"},
                                              {NID_key_usage, "critical,digitalSignature"},
                                              {NID_ext_key_usage, "serverAuth"},
                                              {NID_subject_alt_name, altNames},
                                              {NID_subject_key_identifier, "hash"},
                                              {NID_authority_key_identifier, "keyid:always"}})
                           : nullptr;
    out.certificateFile = dir_ + "/" + name + ".crt";
    out.keyFile = dir_ + "/" + name + ".key";
    if (!cert || !writeCertificate(out.certificateFile, cert.get()) ||
        !writeKey(out.keyFile, key.get())) {
        error = opensslError("cannot issue a certificate for " + altNames);
        return false;
    }
    return true;
}
