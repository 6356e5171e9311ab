#include "support/tls_identity.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace pv::test {
namespace {

void addExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext) throw std::runtime_error("certificate extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

}  // namespace

TlsIdentity::TlsIdentity() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    if (!key || !cert) throw std::runtime_error("key or certificate");
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    addExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert, NID_subject_alt_name, "IP:127.0.0.1");
    if (X509_sign(cert, key, EVP_sha256()) == 0) throw std::runtime_error("signing");

    std::string pattern = (std::filesystem::temp_directory_path() / "pv-tls-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("temporary directory");
    directory_ = pattern;
    certificateFile_ = directory_ + "/certificate.pem";
    FILE* file = std::fopen(certificateFile_.c_str(), "w");
    if (!file || PEM_write_X509(file, cert) != 1) throw std::runtime_error("certificate file");
    std::fclose(file);

    context_ = SSL_CTX_new(TLS_server_method());
    if (!context_ || SSL_CTX_use_certificate(context_, cert) != 1 ||
        SSL_CTX_use_PrivateKey(context_, key) != 1) {
        throw std::runtime_error("TLS context");
    }
    X509_free(cert);
    EVP_PKEY_free(key);
}

TlsIdentity::~TlsIdentity() {
    SSL_CTX_free(context_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

}  // namespace pv::test
